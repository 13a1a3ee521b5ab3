#include "updateserver/request_deadlines.h"

#include <sys/socket.h>

namespace upd::server {

RequestDeadlines::RequestDeadlines(std::chrono::milliseconds checkEvery)
    : watcher_([this, checkEvery] { run(checkEvery); }) {}

RequestDeadlines::~RequestDeadlines() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    watcher_.join();
}

RequestDeadlines::Connection* RequestDeadlines::watch(int socket) {
    std::lock_guard lock(mutex_);
    Connection& connection = connections_.emplace_back(socket);
    connection.position = std::prev(connections_.end());
    return &connection;
}

void RequestDeadlines::arm(Connection* connection, Clock::time_point deadline) {
    // 0 means "disarmed", so a deadline can never be tick 0 itself.
    connection->deadline.store(std::max<Clock::rep>(deadline.time_since_epoch().count(), 1),
                               std::memory_order_relaxed);
}

void RequestDeadlines::disarm(Connection* connection) {
    connection->deadline.store(0, std::memory_order_relaxed);
}

void RequestDeadlines::forget(Connection* connection) {
    std::lock_guard lock(mutex_);
    connections_.erase(connection->position);
}

void RequestDeadlines::run(std::chrono::milliseconds checkEvery) {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, checkEvery, [this] { return stopping_; })) {
        const Clock::rep now = Clock::now().time_since_epoch().count();
        for (Connection& connection : connections_) {
            Clock::rep deadline = connection.deadline.load(std::memory_order_relaxed);
            // A request completed in the meantime has disarmed its deadline: leave it be.
            if (deadline == 0 || deadline > now ||
                !connection.deadline.compare_exchange_strong(deadline, 0))
                continue;
            // The socket stays open (and its number taken) until forget() has run, which needs
            // the lock held here.
            ++expired_; // counted before the client can see the close
            ::shutdown(connection.socket, SHUT_RDWR);
        }
    }
}

} // namespace upd::server
