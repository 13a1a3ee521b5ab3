#pragma once

#include "core/deployment_settings.h"
#include "updateserver/catalog.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
struct Request;
} // namespace httplib

namespace upd::server {

// The update server: the pages the client asks, the files below the catalog's "files"
// directory, and one access log line per request. Requests are served by a pool of threads; the
// catalog is read-only while serving.
class UpdateServer {
public:
    using LogSink = std::function<void(const std::string& line)>;

    UpdateServer(Catalog catalog, DeploymentSettings deployment, LogSink log);
    ~UpdateServer();
    UpdateServer(const UpdateServer&) = delete;
    UpdateServer& operator=(const UpdateServer&) = delete;

    // Binds to the address; port 0 picks a free one. Returns the port; throws std::runtime_error
    // when the address cannot be bound.
    int bind(const std::string& host, int port);
    // Serves until stop() (from another thread).
    void listen();
    // bind() and listen() in a thread of its own; returns the port once the server accepts.
    int start(const std::string& host, int port);
    void stop();

private:
    void route();
    void logRequest(const httplib::Request& request, int status, std::uintmax_t bytes);

    const Catalog catalog_;
    const DeploymentSettings deployment_;
    const LogSink log_;
    std::unique_ptr<httplib::Server> http_;
    std::thread thread_;
    std::mutex mutex_; // guards arrivals_ and calls of log_
    // Arrival times of the requests being served, by request object.
    std::map<const httplib::Request*, std::pair<std::chrono::system_clock::time_point,
                                                std::chrono::steady_clock::time_point>>
        arrivals_;
};

} // namespace upd::server
