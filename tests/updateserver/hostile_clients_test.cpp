// Slow, idle, greedy and malformed clients against the server on 127.0.0.1: each costs at most
// its connection's memory, never the service of the others.

#include "raw_http_client.h"
#include "server_fixture.h"
#include "updateserver/request_deadlines.h"

#include <atomic>
#include <deque>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace upd::server {
namespace {

using namespace std::chrono_literals;
using test::RawConnection;

constexpr std::size_t LargeFileSize = 4u << 20;
const std::string Search = "GET /update.aspx?VERS=1v0v0&PID=QAR HTTP/1.1\r\nHost: t\r\n\r\n";

// A catalog with one program update and a large file to download.
class HostileClients : public ::testing::Test {
protected:
    HostileClients() {
        catalog_.write("files/u/1.1.0/a.zip", "zip");
        catalog_.write("files/gross.bin", std::string(LargeFileSize, 'x'));
        catalog_.catalog("<product code=\"QAR\">" + test::programUpdate("1.1.0", "1.0.0", "1.0.9") +
                         "</product>");
    }
    // The server with these limits; returns its port.
    int start(ServerLimits limits = {}) { return server_.emplace(catalog_.load(), limits).port; }

    test::TempCatalog catalog_;
    std::optional<test::RunningServer> server_;
};

// All from 127.0.0.1, so the per-address limit is lifted for the crowd tests.
const ServerLimits Crowd{.connectionsPerAddress = 0};

bool answersSearch(RawConnection& connection) {
    const auto answer = connection.send(Search) ? connection.readAnswer(5s) : std::nullopt;
    return answer && answer->status == 200 &&
           answer->body.find("<version>1.1.0") != std::string::npos;
}

TEST_F(HostileClients, SlowIdleAndNonReadingClientsDoNotDelaySearches) {
    const int port = start(Crowd);
    std::deque<RawConnection> slowHeaders, slowReaders, idle;
    for (int i = 0; i < 64; ++i) {
        slowHeaders.emplace_back(port);
        ASSERT_TRUE(slowHeaders.back().send("GET / HTTP/1.1\r\nHost: t\r\n"));
        // A small receive buffer: the answer jams in the socket after a few hundred KiB.
        slowReaders.emplace_back(port, 4096);
        ASSERT_TRUE(slowReaders.back().send("GET /gross.bin HTTP/1.1\r\nHost: t\r\n\r\n"));
    }
    for (int i = 0; i < 48; ++i) {
        idle.emplace_back(port);
        ASSERT_TRUE(answersSearch(idle.back())); // then it stays open and silent
    }
    // The slow clients keep trickling one header line each while the searches run.
    std::atomic<bool> searching = true;
    std::thread trickle([&] {
        for (int round = 0; searching && round < 200; ++round) {
            for (RawConnection& connection : slowHeaders)
                connection.send("X-Langsam: " + std::to_string(round) + "\r\n");
            std::this_thread::sleep_for(50ms);
        }
    });

    // Fifty searches from five clients at once, all answered meanwhile.
    std::atomic<int> answered = 0;
    std::vector<std::thread> searchers;
    for (int t = 0; t < 5; ++t)
        searchers.emplace_back([&] {
            for (int i = 0; i < 10; ++i) {
                RawConnection client(port);
                answered += answersSearch(client);
            }
        });
    for (std::thread& searcher : searchers)
        searcher.join();
    searching = false;
    trickle.join();
    EXPECT_EQ(answered, 50);
    // Nobody was thrown out meanwhile: the slow clients are still connected and can finish.
    ASSERT_TRUE(slowHeaders.front().send("\r\n"));
    EXPECT_EQ(slowHeaders.front().readAnswer(5s).value_or(test::RawAnswer{}).status, 200);
    EXPECT_EQ(slowReaders.front().readAnswer(10s).value_or(test::RawAnswer{}).body.size(),
              LargeFileSize);
}

TEST_F(HostileClients, AThousandSimultaneousClientsAreAllAnswered) {
    // Enough descriptors for a thousand connections at both ends.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    limit.rlim_cur = std::max(limit.rlim_cur, std::min<rlim_t>(limit.rlim_max, 4096));
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur < 2200)
        GTEST_SKIP() << "only " << limit.rlim_cur << " descriptors allowed";
    const int port = start(Crowd);
    std::deque<RawConnection> clients;
    for (int i = 0; i < 1000; ++i) {
        clients.emplace_back(port);
        ASSERT_TRUE(clients.back().connected()) << "connection " << i;
    }
    for (RawConnection& client : clients)
        ASSERT_TRUE(client.send(Search));
    int answered = 0;
    for (RawConnection& client : clients) {
        const auto answer = client.readAnswer(30s);
        answered += answer && answer->status == 200;
    }
    EXPECT_EQ(answered, 1000);
}

TEST_F(HostileClients, LateRequestsAndIdleConnectionsAreClosedBusyOnesStay) {
    // The deadline is longer than the idle time, shorter than the busy run.
    const int port = start({.requestDeadline = 1500ms, .keepAliveIdleSeconds = 1});
    // One more byte every 100 ms, of the head or of the body after it: each byte is in time, the
    // request is not. A server without the deadline would keep both open for the eight seconds.
    for (const char* head : {"GET / HTTP/1.1\r\n", "POST /dataupdateframe.aspx HTTP/1.1\r\n"
                                                   "Content-Length: 1000\r\n\r\nVERS="}) {
        RawConnection trickling(port);
        ASSERT_TRUE(trickling.send(head));
        bool open = true;
        for (int i = 0; open && i < 80; ++i)
            open = trickling.send("1") && !trickling.closedWithin(100ms);
        EXPECT_FALSE(open) << head;
    }
    // The watcher counts a late request as it closes it; the client may see the close first.
    for (int i = 0; i < 200 && server_->server.lateRequests() < 2u; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(server_->server.lateRequests(), 2u);

    // An idle kept-alive connection is closed; a busy one stays as long as it keeps asking, longer
    // than one request may take.
    RawConnection idle(port);
    ASSERT_TRUE(answersSearch(idle));
    EXPECT_TRUE(idle.closedWithin(3s));
    RawConnection busy(port);
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(answersSearch(busy)) << "request " << i;
        std::this_thread::sleep_for(250ms);
    }
    EXPECT_EQ(server_->server.lateRequests(), 2u);
}

TEST_F(HostileClients, OneAddressGetsOnlySoManyConnections) {
    const int port = start({.connectionsPerAddress = 4});
    std::deque<RawConnection> allowed;
    for (int i = 0; i < 4; ++i) {
        allowed.emplace_back(port);
        ASSERT_TRUE(answersSearch(allowed.back()));
    }
    RawConnection surplus(port);
    EXPECT_TRUE(!surplus.send(Search) || surplus.closedWithin(2s));
    allowed.pop_back();
    // The slot is free again once the server has seen the close.
    bool served = false;
    for (int attempt = 0; !served && attempt < 20; ++attempt) {
        RawConnection again(port);
        served = answersSearch(again);
        if (!served)
            std::this_thread::sleep_for(50ms);
    }
    EXPECT_TRUE(served);
}

TEST_F(HostileClients, OversizedRequestHeadsAreRefused) {
    const int port = start();
    const auto status = [&](const std::string& request) {
        RawConnection connection(port);
        const auto answer = connection.send(request) ? connection.readAnswer(5s) : std::nullopt;
        return answer ? answer->status : 0;
    };
    const auto withFields = [](int count, std::size_t valueSize) {
        std::string request = "GET / HTTP/1.1\r\nHost: t\r\n";
        for (int i = 1; i < count; ++i)
            request += "X-" + std::to_string(i) + ": " + std::string(valueSize, 'v') + "\r\n";
        return request + "\r\n";
    };
    const std::string target = "/update.aspx?VERS=1v0v0&PID=QAR&SD0=";
    const std::size_t fitting = 8192 - std::string("GET  HTTP/1.1").size() - target.size();
    const struct {
        const char* what;
        std::string request;
        int status;
    } cases[] = {
        {"100 header fields", withFields(100, 10), 200},
        {"101 header fields", withFields(101, 10), 431},
        {"7 KB of header fields", withFields(8, 1000), 200},
        {"more than 8 KiB of header fields", withFields(10, 1000), 431},
        {"request line of 8 KiB", "GET " + target + std::string(fitting, 'x') + " HTTP/1.1\r\n\r\n",
         200},
        {"request line over 8 KiB",
         "GET " + target + std::string(fitting + 1, 'x') + " HTTP/1.1\r\n\r\n", 414},
        {"announced body over 64 KiB",
         "POST /dataupdateframe.aspx HTTP/1.1\r\nContent-Length: 65537\r\n\r\n", 413},
        {"chunked body over 64 KiB",
         "POST /dataupdateframe.aspx HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n10001\r\n" +
             std::string(65537, 'x') + "\r\n0\r\n\r\n",
         413},
        {"PUT", "PUT / HTTP/1.1\r\nContent-Length: 0\r\n\r\n", 405},
    };
    for (const auto& c : cases)
        EXPECT_EQ(status(c.request), c.status) << c.what;
}

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
