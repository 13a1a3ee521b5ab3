#include "core/session.h"
#include "ui/frm_update_info.h"
#include "ui/update_info_fixture.h"

#include <QTextBrowser>
#include <QTimer>
#include <chrono>
#include <gmock/gmock.h>
#include <map>
#include <mutex>

namespace upd::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST_F(UpdateInfoTest, PostsTheDataQueryAndShowsThePage) {
    std::mutex mutex;
    std::string request; // method, content type, body
    server.http().Post(
        "/info/dataupdateframe.aspx", [&](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex);
            request = req.method + ' ' + req.get_header_value("Content-Type") + ' ' + req.body;
            res.set_content("<p>Neu: \xC3\x9C"
                            "belkeit</p>",
                            "text/html; charset=utf-8");
        });
    server.start();
    serveFrom("/info");
    // The query's text and encoding are the data search's (tests/wizard, tests/protocol); here
    // it goes as a form, in the information page's mode.
    frmUpdateInfo window(session, loop);
    ASSERT_TRUE(window.Init(Caller, QStringLiteral("3.1.0")));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Informationen zum QuorMed - Update"));
    {
        std::lock_guard lock(mutex);
        EXPECT_THAT(request,
                    StartsWith("POST application/x-www-form-urlencoded VERS=3v1v0&PID=QGR"));
        EXPECT_THAT(request, HasSubstr("&MODUS=1&"));
    }
    EXPECT_THAT(window.MyBrowser->toPlainText().toStdString(), HasSubstr("Neu: Übelkeit"));
    ASSERT_FALSE(loop.waitLines.isEmpty());
    EXPECT_EQ(loop.waitLines.first(),
              QStringLiteral("Die Informationen zum QuorMed - Update\r\n werden abgerufen ... "));
    EXPECT_EQ(visibleWaitWindow(), nullptr);
    EXPECT_FALSE(window.isVisible()); // the caller shows it
}

// Only a page the view can lay out is shown: not an error page, nor one beyond the view's bounds
// (nesting, tables, cells, size), nor a server that does not answer.
TEST_F(UpdateInfoTest, FailedRequestsAndPagesBeyondTheViewsBoundsShowNothing) {
    const auto repeat = [](const std::string& text, int times) {
        std::string result;
        for (int i = 0; i < times; ++i)
            result += text;
        return result;
    };
    // Within the bounds: nested tables, many paragraphs and list items that are never closed, a
    // script full of tags, comments and quoted ">".
    const std::string fitting =
        "<html><body><!-- <table><table> -->" + repeat("<table><tr><td>", 3) +
        repeat("<p>Absatz<ul><li>a<li title='>'>b</ul>", 300) + "<script>" + repeat("<table>", 50) +
        "</script>" + repeat("</td></tr></table>", 3) + "</body></html>";
    std::map<std::string, std::string> pages = {
        {"/fitting", fitting},
        {"/broken", "<p>Interner Fehler</p>"}, // with status 500
        {"/tables", repeat("<table><tr><td>", 22) + "x" + repeat("</td></tr></table>", 22)},
        {"/divs", repeat("<div>", 100'000) + "x"},
        {"/spans", repeat("<p><span>", 150)},
        {"/cells", "<table><tr>" + repeat("<td>x", 5000) + "</table>"},
        {"/large", repeat("Text ", 220'000)},
    };
    for (const auto& [path, page] : pages)
        server.http().Post(path + "/dataupdateframe.aspx",
                           [&page, status = path == "/broken" ? 500 : 200](const httplib::Request&,
                                                                           httplib::Response& res) {
                               res.status = status;
                               res.set_content(page, "text/html");
                           });
    server.start();
    for (const auto& [path, page] : pages) {
        serveFrom(path);
        frmUpdateInfo window(session, loop);
        EXPECT_EQ(window.Init(Caller, QStringLiteral("3.1.0")), path == "/fitting") << path;
        EXPECT_EQ(window.MyBrowser->toPlainText().isEmpty(), path != "/fitting") << path;
    }
    // The main window's "Info" finds nothing to show, and no window stays behind.
    session.ServerBaseUrl = QStringLiteral("http://127.0.0.1:%1").arg(closedLocalPort());
    EXPECT_FALSE(showUpdateInformation(session, loop, Caller, QStringLiteral("3.1.0")));
    settle();
    EXPECT_EQ(topLevelWindows(), QStringList());
}

// A page that never comes ends with the time-out, which the wait window names, or sooner when
// the user closes the wait window, which then goes at once. Nothing is shown either way.
TEST_F(UpdateInfoTest, APageThatNeverComesEndsWithTheTimeOutOrTheClosedWaitWindow) {
    server.start();
    serveFrom("/stall");
    for (const bool closeWaitWindow : {false, true}) {
        SCOPED_TRACE(closeWaitWindow ? "wait window closed" : "time-out");
        loop.waitLines.clear();
        frmUpdateInfo window(session, loop);
        if (closeWaitWindow)
            QTimer::singleShot(200, &window, [] {
                if (frmWait* wait = visibleWaitWindow())
                    wait->close();
            });
        else
            window.setTimeout(std::chrono::milliseconds(300));
        EXPECT_FALSE(window.Init(Caller, QStringLiteral("3.1.0")));
        ASSERT_FALSE(loop.waitLines.isEmpty());
        EXPECT_EQ(loop.waitLines.last() == QStringLiteral("Zeitüberschreitung ... "),
                  !closeWaitWindow);
        EXPECT_EQ(window.MyBrowser->toPlainText(), QString());
        if (closeWaitWindow) {
            EXPECT_TRUE(session.DialogArg1.toString().isEmpty());
            // Dropped at once, not only once the deferred deletions run.
            for (QWidget* widget : QApplication::topLevelWidgets())
                EXPECT_EQ(qobject_cast<frmWait*>(widget), nullptr);
        } else {
            EXPECT_EQ(visibleWaitWindow(), nullptr);
        }
        settle();
    }
}

} // namespace
} // namespace upd::test
