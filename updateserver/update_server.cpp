#include "updateserver/update_server.h"

#include "updateserver/access_log.h"
#include "updateserver/answers.h"
#include "updateserver/byte_range.h"
#include "updateserver/file_area.h"
#include "updateserver/query_parameters.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>

namespace upd::server {
namespace {

std::string_view rawPath(std::string_view target) {
    return target.substr(0, target.find('?'));
}

std::string_view rawQuery(std::string_view target) {
    const auto question = target.find('?');
    return question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
}

HttpReply reply(int status, std::string contentType, std::string body) {
    return {status, std::move(contentType), {}, std::move(body)};
}

HttpReply pageReply(Answer answer) {
    HttpReply page{answer.status,
                   std::move(answer.contentType),
                   {{"Cache-Control", "no-cache"}},
                   std::move(answer.body)};
    for (auto& header : answer.headers)
        page.headers.push_back(std::move(header));
    if (!answer.parts.empty())
        page.body = std::move(answer.parts);
    return page;
}

HttpReply statusOnly(int status) {
    return reply(status, "text/plain; charset=utf-8", std::to_string(status) + "\n");
}

std::string contentTypeOf(const std::filesystem::path& file) {
    const std::string extension = file.extension().string();
    if (extension == ".zip")
        return "application/zip";
    if (extension == ".txt")
        return "text/plain; charset=windows-1252"; // the program's text files
    if (extension == ".xml")
        return "text/xml";
    if (extension == ".htm" || extension == ".html")
        return "text/html";
    return "application/octet-stream";
}

// The file, or the one range of it that the request asks for.
HttpReply fileReply(const std::filesystem::path& file, std::string_view rangeHeader) {
    OpenFile opened(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (opened.descriptor() < 0 || ::fstat(opened.descriptor(), &status) != 0 ||
        !S_ISREG(status.st_mode))
        return statusOnly(404);
    const auto size = static_cast<std::uint64_t>(status.st_size);
    const RangeChoice range = chooseRange(rangeHeader, size);
    if (range.kind == RangeChoice::Unsatisfiable) {
        HttpReply refused = statusOnly(416);
        refused.headers.emplace_back("Content-Range", "bytes */" + std::to_string(size));
        return refused;
    }
    HttpReply answer{200, contentTypeOf(file), {{"Accept-Ranges", "bytes"}}, {}};
    FileSlice slice{std::move(opened), 0, size};
    if (range.kind == RangeChoice::Part) {
        answer.status = 206;
        answer.headers.emplace_back("Content-Range",
                                    "bytes " + std::to_string(range.first) + "-" +
                                        std::to_string(range.first + range.length - 1) + "/" +
                                        std::to_string(size));
        slice.offset = range.first;
        slice.length = range.length;
    }
    answer.body = std::move(slice);
    return answer;
}

const char* const RootPage = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                             "<title>quorlan Update-Server</title></head>"
                             "<body><p>quorlan Update-Server</p></body></html>\n";

} // namespace

UpdateServer::UpdateServer(Catalog catalog, DeploymentSettings deployment, LogSink log,
                           ServerLimits limits)
    : catalog_(std::move(catalog)), deployment_(std::move(deployment)), log_(std::move(log)),
      http_(
          limits, [this](const HttpRequest& request) { return handle(request); },
          [this](const HttpExchange& exchange) { writeLog(exchange); }) {}

UpdateServer::~UpdateServer() {
    stop();
}

HttpReply UpdateServer::handle(const HttpRequest& request) const {
    const bool post = request.method == "POST";
    if (request.method != "GET" && request.method != "HEAD" && !post) {
        HttpReply refused = statusOnly(405);
        refused.headers.emplace_back("Allow", "GET, HEAD, POST");
        return refused;
    }
    const std::string_view path = rawPath(request.target);
    const auto query = [&] {
        return QueryParameters::parse(rawQuery(request.target));
    };
    if (path == "/dataupdateframe.aspx") {
        // The update-information window sends the parameters as the body of a POST.
        return pageReply(dataInformationPage(
            catalog_, QueryParameters::parse(post ? request.body : rawQuery(request.target))));
    }
    if (post)
        return statusOnly(405);
    if (path == "/")
        return reply(200, "text/html; charset=utf-8", RootPage);
    if (path == "/update.aspx")
        return pageReply(programUpdateAnswer(catalog_, deployment_, query()));
    if (path == "/dataupdate.aspx")
        return pageReply(dataUpdateAnswer(catalog_, query()));
    if (path == "/updateproginfo.aspx")
        return pageReply(updaterInformation(catalog_));
    const auto file = resolveServedFile(catalog_.filesRoot, path);
    if (!file)
        return statusOnly(404);
    // A validator the server cannot check asks for the whole file.
    const bool conditional = !request.header("If-Range").empty();
    return fileReply(*file, conditional ? std::string_view() : request.header("Range"));
}

void UpdateServer::writeLog(const HttpExchange& exchange) {
    if (!log_)
        return;
    const std::string line = accessLogLine(exchange.arrival, exchange.method, exchange.target,
                                           exchange.status, exchange.bytes, exchange.taken);
    std::lock_guard lock(mutex_);
    log_(line);
}

int UpdateServer::start(const std::string& host, int port) {
    {
        std::lock_guard lock(mutex_);
        stopped_ = false;
    }
    try {
        return http_.start(host, port);
    } catch (const std::runtime_error&) {
        throw std::runtime_error("Die Adresse " + host + ":" + std::to_string(port) +
                                 " kann nicht belegt werden");
    }
}

void UpdateServer::listen() {
    std::unique_lock lock(mutex_);
    stoppedChanged_.wait(lock, [this] { return stopped_; });
}

void UpdateServer::stop() {
    http_.stop();
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    stoppedChanged_.notify_all();
}

} // namespace upd::server
