#pragma once

#include <atomic>
#include <httplib.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace upd::test {

// An HTTP server on 127.0.0.1 with an ephemeral port, serving in a thread of its own for the life
// of the object. Tests add handlers to `http()` before calling start().
class LocalHttpServer {
public:
    LocalHttpServer() = default;
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    httplib::Server& http() { return server_; }
    void start();
    void stop();

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by `path`.
    std::string url(const std::string& path = "") const;
    // Every request's target (path and query) as it arrived on the wire, in arrival order.
    std::vector<std::string> requests() const;

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
};

// A port on 127.0.0.1 on which nothing listens.
int closedLocalPort();

} // namespace upd::test
