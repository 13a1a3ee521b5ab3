#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace upd::test {

// An HTTP peer on 127.0.0.1 that answers every request with exactly the bytes its handler
// writes, then closes the connection: for answers an ordinary server library will not send
// (impossible sizes, a body trickling byte by byte).
class RawHttpServer {
public:
    // Gets the request's head and its number (from 0); writes the answer with `send`, which is
    // false once the client has gone, and returns when done.
    using Handler = std::function<void(const std::string& head, int number,
                                       const std::function<bool(const std::string&)>& send)>;

    explicit RawHttpServer(Handler handler);
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    // "http://127.0.0.1:<port>" followed by `path`.
    std::string url(const std::string& path) const;
    int requests() const { return requests_; }

private:
    void serve();

    Handler handler_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_ = false;
    std::atomic<int> requests_ = 0;
    std::thread thread_;
};

} // namespace upd::test
