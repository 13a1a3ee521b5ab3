#include "updateserver/request_deadlines.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace upd::server {
namespace {

using namespace std::chrono_literals;

// The peer's end of a socket pair sees the end of the stream within `timeout`.
bool peerSeesEnd(int peer, std::chrono::milliseconds timeout) {
    pollfd ready{peer, POLLIN, 0};
    char byte;
    return ::poll(&ready, 1, static_cast<int>(timeout.count())) == 1 &&
           ::recv(peer, &byte, 1, MSG_DONTWAIT) == 0;
}

TEST(RequestDeadlines, ShutsDownOnlyArmedConnectionsPastTheirDeadline) {
    int late[2], disarmed[2], future[2], forgotten[2];
    for (int* pair : {late, disarmed, future, forgotten})
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    {
        RequestDeadlines deadlines(10ms);
        const auto soon = RequestDeadlines::Clock::now() + 50ms;
        RequestDeadlines::arm(deadlines.watch(late[0]), soon);
        auto* completed = deadlines.watch(disarmed[0]);
        RequestDeadlines::arm(completed, soon);
        RequestDeadlines::disarm(completed);
        RequestDeadlines::arm(deadlines.watch(future[0]), soon + 1h);
        auto* closed = deadlines.watch(forgotten[0]);
        RequestDeadlines::arm(closed, soon);
        deadlines.forget(closed);

        EXPECT_TRUE(peerSeesEnd(late[1], 2000ms));
        EXPECT_FALSE(peerSeesEnd(disarmed[1], 200ms));
        EXPECT_FALSE(peerSeesEnd(future[1], 1ms));
        EXPECT_FALSE(peerSeesEnd(forgotten[1], 1ms));
        EXPECT_EQ(deadlines.expired(), 1u);
    }
    for (int* pair : {late, disarmed, future, forgotten}) {
        ::close(pair[0]);
        ::close(pair[1]);
    }
}

} // namespace
} // namespace upd::server
