#include "updateserver/http_daemon.h"

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstring>
#include <microhttpd.h>
#include <netdb.h>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace upd::server {

std::string_view HttpRequest::header(const char* name) const {
    const char* value = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
    return value ? std::string_view(value) : std::string_view();
}

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
    if (this != &other) {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

OpenFile::~OpenFile() {
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

// One request from its request line to the end of its answer.
struct HttpDaemon::Exchange {
    std::string target;
    std::chrono::system_clock::time_point arrival = std::chrono::system_clock::now();
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    std::string method;
    std::string body;
    bool headRead = false;
    bool bodyTooLarge = false;
    bool answered = false;
    int status = 0;
    std::uint64_t bytes = 0;
};

namespace {

using Clock = std::chrono::steady_clock;

HttpReply plainReply(int status, const char* text) {
    return {status, "text/plain; charset=utf-8", {}, std::string(text)};
}

RequestDeadlines::Connection* watchedConnection(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<RequestDeadlines::Connection*>(info->socket_context) : nullptr;
}

struct HeaderTally {
    std::size_t count = 0;
    std::size_t bytes = 0;
};

MHD_Result tallyHeader(void* tally, MHD_ValueKind, const char* key, const char* value) {
    auto& sum = *static_cast<HeaderTally*>(tally);
    ++sum.count;
    sum.bytes += std::strlen(key) + (value ? std::strlen(value) : 0);
    return MHD_YES;
}

MHD_Response* responseFor(HttpReply& reply) {
    if (auto* text = std::get_if<std::string>(&reply.body)) {
        auto* owned = new std::string(std::move(*text));
        MHD_Response* response = MHD_create_response_from_buffer_with_free_callback_cls(
            owned->size(), owned->data(),
            [](void* bytes) { delete static_cast<std::string*>(bytes); }, owned);
        if (!response)
            delete owned;
        return response;
    }
    if (auto* parts = std::get_if<std::vector<SharedBytes>>(&reply.body)) {
        auto* owned = new std::vector<SharedBytes>(std::move(*parts));
        std::vector<MHD_IoVec> pieces;
        for (const SharedBytes& part : *owned)
            if (!part->empty())
                pieces.push_back({part->data(), part->size()});
        MHD_Response* response = MHD_create_response_from_iovec(
            pieces.data(), static_cast<unsigned>(pieces.size()),
            [](void* kept) { delete static_cast<std::vector<SharedBytes>*>(kept); }, owned);
        if (!response)
            delete owned;
        return response;
    }
    auto& slice = std::get<FileSlice>(reply.body);
    MHD_Response* response = MHD_create_response_from_fd_at_offset64(
        slice.length, slice.file.descriptor(), static_cast<std::int64_t>(slice.offset));
    if (response)
        slice.file.release(); // the response closes it
    return response;
}

std::uint64_t bodySize(const HttpReply& reply) {
    if (const auto* text = std::get_if<std::string>(&reply.body))
        return text->size();
    if (const auto* parts = std::get_if<std::vector<SharedBytes>>(&reply.body)) {
        std::uint64_t size = 0;
        for (const SharedBytes& part : *parts)
            size += part->size();
        return size;
    }
    return std::get<FileSlice>(reply.body).length;
}

} // namespace

struct HttpDaemon::Callbacks {
    // Runs once the request line is read, before anything of it is decoded.
    static void* onRequestLine(void*, const char* target, MHD_Connection*) {
        auto* exchange = new Exchange;
        exchange->target = target;
        return exchange;
    }

    // Called when the head is complete, for each piece of the body, and once more at its end.
    static MHD_Result onRequest(void* cls, MHD_Connection* connection, const char*,
                                const char* method, const char* version, const char* upload,
                                std::size_t* uploadSize, void** context) {
        auto& self = *static_cast<HttpDaemon*>(cls);
        auto& exchange = *static_cast<Exchange*>(*context);
        const auto request = [&] {
            return HttpRequest{exchange.method, exchange.target, exchange.body, connection};
        };
        if (!exchange.headRead) {
            exchange.headRead = true;
            exchange.method = method;
            // A refusal ends the connection; an answer queued now, before the library has
            // seen the end of the request, would end it as well, so the answer waits for the
            // call that follows the body (at once when there is none).
            if (auto refusal = self.checkHead(request(), version))
                return self.answer(connection, exchange, std::move(*refusal)) ? MHD_YES : MHD_NO;
            return MHD_YES;
        }
        if (*uploadSize > 0) {
            // A body without an announced length that grows too large is dropped as it comes
            // (the request's deadline bounds how long) and refused at its end: the library
            // cannot send an answer while a body is still arriving.
            const std::size_t size = std::exchange(*uploadSize, 0);
            exchange.bodyTooLarge =
                exchange.bodyTooLarge || exchange.body.size() + size > self.limits_.maxBodyBytes;
            if (!exchange.bodyTooLarge)
                exchange.body.append(upload, size);
            return MHD_YES;
        }
        if (exchange.answered)
            return MHD_YES;
        if (exchange.bodyTooLarge)
            return self.answer(connection, exchange, plainReply(413, "413\n")) ? MHD_YES : MHD_NO;
        HttpReply reply;
        try {
            reply = self.handler_(request());
        } catch (const std::exception&) {
            reply = plainReply(500, "Interner Fehler des Update-Servers\n");
        }
        return self.answer(connection, exchange, std::move(reply)) ? MHD_YES : MHD_NO;
    }

    static void onCompleted(void* cls, MHD_Connection* connection, void** context,
                            MHD_RequestTerminationCode code) {
        auto& self = *static_cast<HttpDaemon*>(cls);
        auto* exchange = static_cast<Exchange*>(std::exchange(*context, nullptr));
        if (exchange && self.log_) {
            HttpExchange entry{exchange->arrival, exchange->method, exchange->target,
                               exchange->status,  exchange->bytes,  std::nullopt};
            if (exchange->answered) {
                entry.taken = Clock::now() - exchange->started;
            } else if (const MHD_ConnectionInfo* info =
                           MHD_get_connection_info(connection, MHD_CONNECTION_INFO_HTTP_STATUS)) {
                entry.status = static_cast<int>(info->http_status); // refused by the library
            }
            self.log_(entry);
        }
        delete exchange;
        if (code != MHD_REQUEST_TERMINATED_COMPLETED_OK)
            return;
        // The connection now waits for its next request.
        if (auto* watched = watchedConnection(connection))
            RequestDeadlines::arm(watched, Clock::now() + self.limits_.requestDeadline);
        MHD_set_connection_option(connection, MHD_CONNECTION_OPTION_TIMEOUT,
                                  self.limits_.keepAliveIdleSeconds);
    }

    static void onConnection(void* cls, MHD_Connection* connection, void** socketContext,
                             MHD_ConnectionNotificationCode code) {
        auto& self = *static_cast<HttpDaemon*>(cls);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            const MHD_ConnectionInfo* info =
                MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            if (!info)
                return;
            auto* watched = self.deadlines_.watch(info->connect_fd);
            RequestDeadlines::arm(watched, Clock::now() + self.limits_.requestDeadline);
            *socketContext = watched;
        } else if (*socketContext) {
            self.deadlines_.forget(
                static_cast<RequestDeadlines::Connection*>(std::exchange(*socketContext, nullptr)));
        }
    }

    // The path is used as it arrived; the pages decode what they need themselves.
    static std::size_t keepEscaped(void*, MHD_Connection*, char* text) { return std::strlen(text); }
};

HttpDaemon::HttpDaemon(ServerLimits limits, Handler handler, ExchangeLog log)
    : limits_(limits), handler_(std::move(handler)), log_(std::move(log)),
      deadlines_(std::chrono::milliseconds(100)) {}

HttpDaemon::~HttpDaemon() {
    stop();
}

std::optional<HttpReply> HttpDaemon::checkHead(const HttpRequest& request,
                                               std::string_view version) const {
    const std::size_t lineLength =
        request.method.size() + 1 + request.target.size() + 1 + version.size();
    if (lineLength > limits_.maxRequestLine)
        return plainReply(414, "414\n");
    HeaderTally tally;
    MHD_get_connection_values(request.connection, MHD_HEADER_KIND, tallyHeader, &tally);
    if (tally.count > limits_.maxHeaderCount || tally.bytes > limits_.maxHeaderBytes)
        return plainReply(431, "431\n");
    const std::string_view length = request.header(MHD_HTTP_HEADER_CONTENT_LENGTH);
    std::uint64_t announced = 0;
    if (!length.empty() &&
        std::from_chars(length.data(), length.data() + length.size(), announced).ec != std::errc())
        return plainReply(400, "400\n");
    if (announced > limits_.maxBodyBytes)
        return plainReply(413, "413\n");
    return std::nullopt;
}

bool HttpDaemon::answer(MHD_Connection* connection, Exchange& exchange, HttpReply reply) {
    exchange.answered = true;
    exchange.status = reply.status;
    exchange.bytes = exchange.method == MHD_HTTP_METHOD_HEAD ? 0 : bodySize(reply);
    // The request is complete: its deadline no longer applies, only the answer's progress.
    if (auto* watched = watchedConnection(connection))
        RequestDeadlines::disarm(watched);
    MHD_set_connection_option(connection, MHD_CONNECTION_OPTION_TIMEOUT,
                              limits_.stalledAnswerSeconds);

    MHD_Response* response = responseFor(reply);
    if (!response)
        return false;
    if (!reply.contentType.empty())
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType.c_str());
    for (const auto& [name, value] : reply.headers)
        MHD_add_response_header(response, name.c_str(), value.c_str());
    const MHD_Result queued =
        MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
    MHD_destroy_response(response);
    return queued == MHD_YES;
}

int HttpDaemon::start(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found)
        throw std::runtime_error("unknown address " + host);
    const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> address(found, ::freeaddrinfo);

    // Where the library cannot keep a vanished peer from raising SIGPIPE, nobody wants it.
    if (MHD_is_feature_supported(MHD_FEATURE_AUTOSUPPRESS_SIGPIPE) != MHD_YES)
        std::signal(SIGPIPE, SIG_IGN);

    const unsigned threads =
        limits_.threads != 0 ? limits_.threads : std::max(2u, std::thread::hardware_concurrency());
    // poll(), not epoll: with epoll and a thread pool, libmicrohttpd 0.9.75 now and then misses
    // the request of a connection accepted in a burst, which then waits for the idle time-out and
    // is dropped unanswered (about one burst of a thousand in a hundred). poll() answered every
    // such burst at the same throughput.
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_POLL;
    if (address->ai_family == AF_INET6)
        flags |= MHD_USE_IPv6;
    daemon_ = MHD_start_daemon(
        flags, 0, nullptr, nullptr, &Callbacks::onRequest, this, MHD_OPTION_SOCK_ADDR,
        address->ai_addr, MHD_OPTION_THREAD_POOL_SIZE, threads, MHD_OPTION_CONNECTION_LIMIT,
        limits_.maxConnections, MHD_OPTION_PER_IP_CONNECTION_LIMIT, limits_.connectionsPerAddress,
        MHD_OPTION_CONNECTION_TIMEOUT, limits_.keepAliveIdleSeconds,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, limits_.connectionMemory,
        MHD_OPTION_LISTEN_BACKLOG_SIZE, limits_.listenBacklog, MHD_OPTION_URI_LOG_CALLBACK,
        &Callbacks::onRequestLine, this, MHD_OPTION_UNESCAPE_CALLBACK, &Callbacks::keepEscaped,
        nullptr, MHD_OPTION_NOTIFY_COMPLETED, &Callbacks::onCompleted, this,
        MHD_OPTION_NOTIFY_CONNECTION, &Callbacks::onConnection, this, MHD_OPTION_END);
    if (!daemon_)
        throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port));
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
    return info ? info->port : port;
}

void HttpDaemon::stop() {
    if (daemon_)
        MHD_stop_daemon(std::exchange(daemon_, nullptr));
}

} // namespace upd::server
