#include "core/runtime_error.h"
#include "transfer/form_post.h"
#include "transfer/test_peers.h"
#include "transfer/transfer_control.h"

#include <QTimer>
#include <atomic>

namespace upd {
namespace {

// A transfer control (with the form POST) and a server whose "/stall" page answers only after
// five seconds.
class TransferControlTest : public ::testing::Test {
protected:
    TransferControlTest() {
        server.http().Get("/stall", [this](const httplib::Request&, httplib::Response& res) {
            for (int i = 0; i < 500 && !release; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            res.set_content("late", "text/plain");
        });
    }
    void TearDown() override { release = true; }

    QString url(const std::string& path) const { return QString::fromStdString(server.url(path)); }
    QString closedPort() const {
        return QStringLiteral("http://127.0.0.1:%1/").arg(test::closedLocalPort());
    }
    int errorNumberOf(const QString& address) {
        try {
            Inet1.openUrl(address);
        } catch (const RuntimeError& error) {
            return error.number();
        }
        return 0;
    }

    std::atomic<bool> release = false;
    test::LocalHttpServer server;
    QtEventLoop loop;
    TransferControl Inet1{loop};
};

TEST_F(TransferControlTest, FetchesTextInTheDeclaredEncoding) {
    const struct {
        const char* path;
        const char* body;
        const char* type;
        QString text;
    } rows[] = {
        {"/ansi",
         "<r>Gr\xFC\xDF"
         "e \x80</r>",
         "text/xml", QStringLiteral("<r>Grüße €</r>")},
        {"/utf8-header",
         "<r>Gr\xC3\xBC\xC3\x9F"
         "e</r>",
         "text/xml; charset=UTF-8", QStringLiteral("<r>Grüße</r>")},
        {"/utf8-declaration", "<?xml version=\"1.0\" encoding=\"utf-8\"?><r>\xC3\xBC</r>",
         "text/xml", QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><r>ü</r>")},
        {"/utf8-mark-malformed", "\xEF\xBB\xBF<r>\xC3(</r>", "text/xml",
         QStringLiteral("<r>\uFFFD(</r>")},
    };
    for (const auto& row : rows)
        test::serve(server.http(), row.path, row.body, row.type);
    server.http().Get("/status-500", [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content("<html>Fehler</html>", "text/html");
    });
    server.start();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(Inet1.openUrl(url(row.path)), row.text);
        // The bytes for the XML parser are the same text.
        const QByteArray body = Inet1.openUrlBytes(url(row.path));
        EXPECT_EQ(answerTextAsUtf8(body, Inet1.getHeader("Content-Type").toLatin1()),
                  row.text.toUtf8());
    }
    // An error page is an answer like any other; the caller finds it is no XML.
    EXPECT_EQ(Inet1.openUrl(url("/status-500")), QStringLiteral("<html>Fehler</html>"));
}

TEST_F(TransferControlTest, FailuresStallsAndTricklesRaiseRunTimeErrorsWhileSlowLinesWork) {
    // A byte every 20 ms: well below a kibibyte per time-out period, for ten seconds.
    test::serveTrickle(server.http(), "/trickle", std::string(500, 't'), 0, 1, 20);
    // Two kibibytes every 300 ms: slow, but more than a kibibyte in every period.
    test::serveTrickle(server.http(), "/slow-line", std::string(5 * 2048, 's'), 0, 2048, 300);
    test::serve(server.http(), "/large", std::string(5000, 'l'));
    server.start();
    Inet1.setRequestTimeout(1);
    Inet1.setTextLimit(4096);

    const std::pair<QString, int> rows[] = {
        {url("/stall"), errnum::TimedOut},
        {url("/trickle"), errnum::TimedOut},
        {closedPort(), errnum::ConnectFailed},
        {QStringLiteral("file:///etc/hostname"), errnum::BadUrl},
        {url("/large"), errnum::ResponseTooLarge},
    };
    for (const auto& [address, number] : rows)
        EXPECT_EQ(errorNumberOf(address), number) << address.toStdString();

    Inet1.setTextLimit(5000);
    EXPECT_EQ(Inet1.openUrl(url("/large")).size(), 5000);
    Inet1.setTextLimit(5 * 2048);
    EXPECT_EQ(Inet1.openUrl(url("/slow-line")).size(), 5 * 2048);
}

TEST_F(TransferControlTest, ReportsItsStatesAndCanBeCancelledMeanwhile) {
    test::serve(server.http(), "/answer", "<ok/>", "text/xml");
    server.start();

    std::vector<int> states;
    Inet1.setStateHandler([&](int state) { states.push_back(state); });
    EXPECT_EQ(Inet1.openUrl(url("/answer")), QStringLiteral("<ok/>"));
    EXPECT_EQ(states, (std::vector<int>{1, 2, 3, 4, 12}));
    states.clear();
    EXPECT_THROW(Inet1.openUrl(closedPort()), RuntimeError);
    EXPECT_EQ(states.back(), 11);

    // While a fetch waits, the control is busy; a timer that cancels it ends the wait.
    bool busySeen = false;
    QTimer::singleShot(100, [&] {
        busySeen = Inet1.stillExecuting();
        Inet1.cancel();
    });
    EXPECT_THROW(Inet1.openUrl(url("/stall")), RuntimeError);
    EXPECT_TRUE(busySeen);
    EXPECT_FALSE(Inet1.stillExecuting());
}

TEST_F(TransferControlTest, ExecuteGetFetchesOnlyTheResponseHead) {
    test::serve(server.http(), "/file.zip", std::string(1'000'000, 'z'), "application/zip");
    server.start();

    // That it returns at once and keeps the control busy:
    // SearchTest.ABusyTransferControlSendsNothing.
    Inet1.execute(url("/file.zip"), "GET");
    while (Inet1.stillExecuting())
        loop.yield();
    EXPECT_EQ(Inet1.getHeader("content-length"), QStringLiteral("1000000"));
    EXPECT_EQ(Inet1.getHeader("X-None"), QString());

    // Cancelled before its end, it leaves no headers behind.
    Inet1.execute(url("/file.zip"), "GET");
    Inet1.cancel();
    EXPECT_FALSE(Inet1.stillExecuting());
    EXPECT_EQ(Inet1.getHeader("Content-Length"), QString());
}

TEST_F(TransferControlTest, AFormPostSendsTheBodyAsItIsAndRefusesOversizedAnswers) {
    server.http().Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
        // No charset: the page is read as Windows-1252.
        res.set_content("<p>" + req.body + " \xFC</p>", "text/html");
    });
    server.http().Post("/large", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(5000, 'l'), "text/html");
    });
    server.start();

    // A "+" in the body is data, never a blank; nothing is encoded a second time.
    const FormPostAnswer echo = postForm(url("/echo"), "A=x%20y&B=1+2", loop, {}, 4096);
    EXPECT_TRUE(echo.succeeded());
    EXPECT_EQ(echo.text(), QStringLiteral("<p>A=x%20y&B=1+2 \u00fc</p>"));

    const FormPostAnswer large = postForm(url("/large"), "", loop, {}, 4096);
    EXPECT_EQ(large.code, CURLE_WRITE_ERROR);
    EXPECT_EQ(postForm(url("/large"), "", loop, {}, 5000).body.size(), 5000);
}

} // namespace
} // namespace upd
