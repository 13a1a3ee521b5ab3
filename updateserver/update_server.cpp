#include "updateserver/update_server.h"

#include "updateserver/access_log.h"
#include "updateserver/answers.h"
#include "updateserver/file_area.h"
#include "updateserver/query_parameters.h"

#include <fstream>
#include <httplib.h>
#include <stdexcept>

namespace upd::server {
namespace {

// The client's queries are far below this; a larger POST body is refused with 413.
constexpr std::size_t MaxBodySize = 64 * 1024;
constexpr std::size_t FileBlockSize = 64 * 1024;

std::string_view rawPath(const httplib::Request& request) {
    const std::string_view target = request.target;
    return target.substr(0, target.find('?'));
}

std::string_view rawQuery(const httplib::Request& request) {
    const std::string_view target = request.target;
    const auto question = target.find('?');
    return question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
}

void send(httplib::Response& response, const Answer& answer) {
    response.status = answer.status;
    response.set_header("Cache-Control", "no-cache");
    response.set_content(answer.body, answer.contentType);
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

// Streams the file in blocks with its size announced up front.
void sendFile(httplib::Response& response, const std::filesystem::path& file) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    auto stream = std::make_shared<std::ifstream>(file, std::ios::binary);
    if (error || !*stream) {
        response.status = 404;
        return;
    }
    response.set_content_provider(
        static_cast<std::size_t>(size), contentTypeOf(file),
        [stream](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            std::vector<char> block(std::min(length, FileBlockSize));
            stream->seekg(static_cast<std::streamoff>(offset));
            stream->read(block.data(), static_cast<std::streamsize>(block.size()));
            const auto got = static_cast<std::size_t>(stream->gcount());
            // A file that shrank while it was sent ends the connection, not the server.
            return got > 0 && sink.write(block.data(), got);
        });
}

} // namespace

UpdateServer::UpdateServer(Catalog catalog, DeploymentSettings deployment, LogSink log)
    : catalog_(std::move(catalog)), deployment_(std::move(deployment)), log_(std::move(log)),
      http_(std::make_unique<httplib::Server>()) {
    route();
}

UpdateServer::~UpdateServer() {
    stop();
}

void UpdateServer::route() {
    httplib::Server& http = *http_;
    http.set_payload_max_length(MaxBodySize);
    // Headers and body go out in separate writes; without this each small answer waits for the
    // peer's delayed acknowledgement (some 40 ms).
    http.set_tcp_nodelay(true);
    http.set_keep_alive_max_count(100);

    http.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        std::lock_guard lock(mutex_);
        arrivals_[&request] = {std::chrono::system_clock::now(), std::chrono::steady_clock::now()};
        return httplib::Server::HandlerResponse::Unhandled;
    });
    http.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
        std::uintmax_t bytes = response.body.size();
        if (request.method == "HEAD")
            bytes = 0;
        else if (bytes == 0 && response.has_header("Content-Length"))
            bytes = std::stoull(response.get_header_value("Content-Length"));
        logRequest(request, response.status, bytes);
    });
    http.set_exception_handler([](const httplib::Request&, httplib::Response& response,
                                  std::exception_ptr) {
        response.status = 500;
        response.set_content("Interner Fehler des Update-Servers\n", "text/plain; charset=utf-8");
    });
    http.set_error_handler([](const httplib::Request&, httplib::Response& response) {
        if (response.body.empty())
            response.set_content(std::to_string(response.status) + "\n",
                                 "text/plain; charset=utf-8");
    });

    http.Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                             "<title>quorlan Update-Server</title></head>"
                             "<body><p>quorlan Update-Server</p></body></html>\n",
                             "text/html; charset=utf-8");
    });
    http.Get("/update.aspx", [this](const httplib::Request& request, httplib::Response& response) {
        send(response,
             programUpdateAnswer(catalog_, deployment_, QueryParameters::parse(rawQuery(request))));
    });
    http.Get(
        "/dataupdate.aspx", [this](const httplib::Request& request, httplib::Response& response) {
            send(response, dataUpdateAnswer(catalog_, QueryParameters::parse(rawQuery(request))));
        });
    const auto informationPage = [this](const httplib::Request& request,
                                        httplib::Response& response) {
        // The update-information window sends the parameters as the body of a POST.
        const std::string_view parameters =
            request.method == "POST" ? std::string_view(request.body) : rawQuery(request);
        send(response, dataInformationPage(catalog_, QueryParameters::parse(parameters)));
    };
    http.Post("/dataupdateframe.aspx", informationPage);
    http.Get("/dataupdateframe.aspx", informationPage);
    http.Get("/updateproginfo.aspx", [this](const httplib::Request&, httplib::Response& response) {
        send(response, updaterInformation(catalog_));
    });
    http.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        const auto file = resolveServedFile(catalog_.filesRoot, rawPath(request));
        if (!file) {
            response.status = 404;
            return;
        }
        sendFile(response, *file);
    });
}

void UpdateServer::logRequest(const httplib::Request& request, int status, std::uintmax_t bytes) {
    std::lock_guard lock(mutex_);
    auto arrival = std::chrono::system_clock::now();
    std::optional<std::chrono::nanoseconds> taken;
    if (const auto found = arrivals_.find(&request); found != arrivals_.end()) {
        arrival = found->second.first;
        taken = std::chrono::steady_clock::now() - found->second.second;
        arrivals_.erase(found);
    }
    if (log_)
        log_(accessLogLine(arrival, request.method, request.target, status, bytes, taken));
}

int UpdateServer::bind(const std::string& host, int port) {
    const bool bound =
        port == 0 ? (port = http_->bind_to_any_port(host)) > 0 : http_->bind_to_port(host, port);
    if (!bound)
        throw std::runtime_error("Die Adresse " + host + ":" + std::to_string(port) +
                                 " kann nicht belegt werden");
    return port;
}

void UpdateServer::listen() {
    http_->listen_after_bind();
}

int UpdateServer::start(const std::string& host, int port) {
    const int bound = bind(host, port);
    thread_ = std::thread([this] { listen(); });
    while (!http_->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return bound;
}

void UpdateServer::stop() {
    http_->stop();
    if (thread_.joinable())
        thread_.join();
}

} // namespace upd::server
