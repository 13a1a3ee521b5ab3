#pragma once

#include "updateserver/http_exchange.h"
#include "updateserver/request_deadlines.h"
#include "updateserver/server_limits.h"

#include <functional>
#include <string>

struct MHD_Daemon;

namespace upd::server {

// The HTTP layer: libmicrohttpd with a few event loops, each serving any number of
// connections, so slow or idle clients cost memory and never a worker. It enforces the
// ServerLimits and hands every complete request to one handler, which must answer at once
// (it runs on an event loop).
class HttpDaemon {
public:
    using Handler = std::function<HttpReply(const HttpRequest&)>;
    using ExchangeLog = std::function<void(const HttpExchange&)>;

    HttpDaemon(ServerLimits limits, Handler handler, ExchangeLog log);
    ~HttpDaemon();
    HttpDaemon(const HttpDaemon&) = delete;
    HttpDaemon& operator=(const HttpDaemon&) = delete;

    // Listens on the address (port 0: a free one) and serves from then on. Returns the port;
    // throws std::runtime_error when the address cannot be used.
    int start(const std::string& host, int port);
    void stop();

    // Connections closed because their request did not arrive in time.
    unsigned long lateRequests() const { return deadlines_.expired(); }

private:
    struct Exchange;
    // The library's callbacks, with its exact signatures.
    struct Callbacks;
    friend struct Callbacks;

    // A refusal when the request breaks a limit of its head (line, header fields, length).
    std::optional<HttpReply> checkHead(const HttpRequest& request, std::string_view version) const;
    bool answer(MHD_Connection* connection, Exchange& exchange, HttpReply reply);

    const ServerLimits limits_;
    const Handler handler_;
    const ExchangeLog log_;
    RequestDeadlines deadlines_;
    MHD_Daemon* daemon_ = nullptr;
};

} // namespace upd::server
