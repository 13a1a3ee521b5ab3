#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

namespace upd::server {

// Closes connections whose request is not complete by its deadline. The HTTP layer's own
// time-out restarts with every byte that arrives, so a client trickling one byte a second would
// hold its connection for ever; this watch counts from the moment a request may begin.
//
// The HTTP layer registers each connection's socket, arms a deadline whenever it waits for a
// request, disarms it once the request is complete, and forgets the connection before its
// socket is closed. A watcher thread shuts overdue sockets down; the event loop serving the
// connection then sees the end of the stream and closes it as usual.
class RequestDeadlines {
public:
    using Clock = std::chrono::steady_clock;
    struct Connection;

    explicit RequestDeadlines(std::chrono::milliseconds checkEvery);
    ~RequestDeadlines();
    RequestDeadlines(const RequestDeadlines&) = delete;
    RequestDeadlines& operator=(const RequestDeadlines&) = delete;

    Connection* watch(int socket);
    // Neither arm nor disarm takes a lock: they run for every request.
    static void arm(Connection* connection, Clock::time_point deadline);
    static void disarm(Connection* connection);
    // After this the socket is never touched again.
    void forget(Connection* connection);

    // Connections shut down because their request was late, since the start.
    unsigned long expired() const { return expired_; }

private:
    void run(std::chrono::milliseconds checkEvery);

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::list<Connection> connections_;
    std::atomic<unsigned long> expired_{0};
    std::thread watcher_;
};

struct RequestDeadlines::Connection {
    explicit Connection(int socket) : socket(socket) {}
    const int socket;
    // Clock ticks of the deadline; 0 while no request is awaited.
    std::atomic<Clock::rep> deadline{0};
    std::list<Connection>::iterator position;
};

} // namespace upd::server
