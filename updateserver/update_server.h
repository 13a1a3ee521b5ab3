#pragma once

#include "core/deployment_settings.h"
#include "updateserver/catalog.h"
#include "updateserver/http_daemon.h"
#include "updateserver/server_limits.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

namespace upd::server {

// The update server: the pages the client asks, the files below the catalog's "files"
// directory, and one access log line per request. The catalog is read-only while serving, so
// every page answers from it alone and instances can run side by side behind a proxy.
class UpdateServer {
public:
    using LogSink = std::function<void(const std::string& line)>;

    UpdateServer(Catalog catalog, DeploymentSettings deployment, LogSink log,
                 ServerLimits limits = {});
    ~UpdateServer();
    UpdateServer(const UpdateServer&) = delete;
    UpdateServer& operator=(const UpdateServer&) = delete;

    // Listens on the address (port 0 picks a free one) and serves from then on. Returns the
    // port; throws std::runtime_error when the address cannot be bound.
    int start(const std::string& host, int port);
    // The same; for the program, which then waits in listen().
    int bind(const std::string& host, int port) { return start(host, port); }
    // Returns once stop() has been called (from another thread).
    void listen();
    void stop();

    // Connections closed because their request did not arrive in time.
    unsigned long lateRequests() const { return http_.lateRequests(); }

private:
    HttpReply handle(const HttpRequest& request) const;
    void writeLog(const HttpExchange& exchange);

    const Catalog catalog_;
    const DeploymentSettings deployment_;
    const LogSink log_;
    std::mutex mutex_; // guards stopped_ and calls of log_
    std::condition_variable stoppedChanged_;
    bool stopped_ = false;
    HttpDaemon http_;
};

} // namespace upd::server
