#include "core/runtime_error.h"
#include "support/local_http_server.h"
#include "transfer/transfer_control.h"
#include "transfer/transfer_fakes.h"
#include "wizard/transfer_status.h"

#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace upd {
namespace {

using test::LocalHttpServer;

class TransferControlTest : public ::testing::Test {
protected:
    QString url(const std::string& path) const { return QString::fromStdString(server.url(path)); }

    int errorNumberOf(const QString& address) {
        try {
            Inet1.openUrl(address);
        } catch (const RuntimeError& error) {
            return error.number();
        }
        return 0;
    }

    LocalHttpServer server;
    test::CountingEventLoop loop;
    TransferControl Inet1{loop};
};

TEST_F(TransferControlTest, FetchesTextInTheDeclaredEncoding) {
    server.http().Get("/ansi", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<r>Gr\xFC\xDF"
                        "e \x80</r>",
                        "text/xml");
    });
    server.http().Get("/utf8-header", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<r>Gr\xC3\xBC\xC3\x9F"
                        "e</r>",
                        "text/xml; charset=UTF-8");
    });
    server.http().Get("/utf8-declaration", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<?xml version=\"1.0\" encoding=\"utf-8\"?><r>\xC3\xBC</r>", "text/xml");
    });
    server.http().Get("/error-page", [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content("<html>Fehler</html>", "text/html");
    });
    server.http().Get("/update.aspx", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.get_param_value("SNN"), "text/plain");
    });
    server.start();

    EXPECT_EQ(Inet1.openUrl(url("/ansi")), QStringLiteral("<r>Grüße €</r>"));
    EXPECT_EQ(Inet1.openUrl(url("/utf8-header")), QStringLiteral("<r>Grüße</r>"));
    EXPECT_EQ(Inet1.openUrl(url("/utf8-declaration")),
              QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><r>ü</r>"));
    // An error page is an answer like any other; the caller finds it is no XML.
    EXPECT_EQ(Inet1.openUrl(url("/error-page")), QStringLiteral("<html>Fehler</html>"));
    // The address goes on the wire without the appended "#", with its blanks encoded.
    EXPECT_EQ(Inet1.openUrl(url("/update.aspx?SNN=M\u00fcller Sohn #")),
              QStringLiteral("M\u00fcller Sohn "));
    EXPECT_EQ(server.requests().back(), "/update.aspx?SNN=M%FCller%20Sohn%20");
}

TEST_F(TransferControlTest, FailuresRaiseRuntimeErrors) {
    std::atomic<bool> release = false;
    server.http().Get("/stall", [&](const httplib::Request&, httplib::Response& res) {
        for (int i = 0; i < 500 && !release; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        res.set_content("late", "text/plain");
    });
    server.http().Get("/large", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(5000, 'l'), "text/plain");
    });
    server.start();
    Inet1.setRequestTimeout(1);

    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(errorNumberOf(url("/stall")), errnum::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
    release = true;

    EXPECT_EQ(errorNumberOf(QStringLiteral("http://127.0.0.1:%1/").arg(test::closedLocalPort())),
              errnum::ConnectFailed);
    EXPECT_EQ(errorNumberOf(QStringLiteral("file:///etc/hostname")), errnum::BadUrl);

    Inet1.setTextLimit(4096);
    EXPECT_EQ(errorNumberOf(url("/large")), errnum::ResponseTooLarge);
    Inet1.setTextLimit(5000);
    EXPECT_EQ(Inet1.openUrl(url("/large")).size(), 5000);
}

TEST_F(TransferControlTest, ATricklingAnswerTimesOutWhileASlowLineKeepsWorking) {
    std::atomic<bool> release = false;
    // A byte every 20 ms: well below a kibibyte per time-out period, for ten seconds.
    server.http().Get("/trickle", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [&](size_t offset, httplib::DataSink& sink) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            sink.write("t", 1);
            if (offset >= 500 || release)
                sink.done();
            return true;
        });
    });
    // Two kibibytes every 300 ms: slow, but more than a kibibyte in every period.
    server.http().Get("/slow-line", [](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            const std::string piece(2048, 's');
            sink.write(piece.data(), piece.size());
            if (offset >= 4 * piece.size())
                sink.done();
            return true;
        });
    });
    server.start();
    Inet1.setRequestTimeout(1);

    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(errorNumberOf(url("/trickle")), errnum::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
    release = true;
    EXPECT_EQ(Inet1.openUrl(url("/slow-line")).size(), 5 * 2048);
}

TEST_F(TransferControlTest, ReportsItsStatesAndCanBeCancelledMeanwhile) {
    std::atomic<bool> release = false;
    server.http().Get("/answer", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<ok/>", "text/xml");
    });
    server.http().Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
        for (int i = 0; i < 500 && !release; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        res.set_content("late", "text/plain");
    });
    server.start();

    std::vector<int> states;
    Inet1.setStateHandler([&](int state) { states.push_back(state); });

    EXPECT_EQ(Inet1.openUrl(url("/answer")), QStringLiteral("<ok/>"));
    EXPECT_EQ(states, (std::vector<int>{1, 2, 3, 4, 12}));

    states.clear();
    EXPECT_THROW(Inet1.openUrl(QStringLiteral("http://127.0.0.1:%1/").arg(test::closedLocalPort())),
                 RuntimeError);
    EXPECT_EQ(states.back(), 11);

    // While a fetch waits, the control is busy; a timer that cancels it ends the wait.
    bool busySeen = false;
    QTimer::singleShot(100, [&] {
        busySeen = Inet1.stillExecuting();
        Inet1.cancel();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(Inet1.openUrl(url("/slow")), RuntimeError);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    release = true;
    EXPECT_TRUE(busySeen);
    EXPECT_FALSE(Inet1.stillExecuting());
}

TEST_F(TransferControlTest, ExecuteGetFetchesOnlyTheResponseHead) {
    server.http().Get("/file.zip", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(1'000'000, 'z'), "application/zip");
    });
    server.start();

    Inet1.execute(url("/file.zip"), QStringLiteral("GET"));
    EXPECT_THROW(Inet1.openUrl(url("/file.zip")), RuntimeError); // one request at a time
    int polls = 0;
    while (Inet1.stillExecuting() && polls < 1000)
        ++polls;
    EXPECT_GT(polls, 0);
    EXPECT_EQ(Inet1.getHeader(QStringLiteral("content-length")), QStringLiteral("1000000"));
    EXPECT_EQ(Inet1.getHeader(QStringLiteral("X-None")), QString());

    // Cancelled before its end, it leaves no headers behind.
    Inet1.execute(url("/file.zip"), QStringLiteral("GET"));
    Inet1.cancel();
    EXPECT_FALSE(Inet1.stillExecuting());
    EXPECT_EQ(Inet1.getHeader(QStringLiteral("Content-Length")), QString());
}

} // namespace
} // namespace upd
