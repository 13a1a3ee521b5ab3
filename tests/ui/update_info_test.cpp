#include "core/session.h"
#include "ui/frm_update_info.h"
#include "ui/update_info_fixture.h"
#include "updateserver/update_server.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTextBrowser>
#include <QTimer>
#include <chrono>
#include <gmock/gmock.h>
#include <map>
#include <mutex>

namespace upd::test {
namespace {

using ::testing::HasSubstr;

TEST_F(UpdateInfoTest, PostsTheDataQueryAndShowsThePage) {
    std::mutex mutex;
    std::string method, contentType, body;
    server.http().Post("/info/dataupdateframe.aspx",
                       [&](const httplib::Request& req, httplib::Response& res) {
                           {
                               std::lock_guard lock(mutex);
                               method = req.method;
                               contentType = req.get_header_value("Content-Type");
                               body = req.body;
                           }
                           res.set_content("<html><body><h1>Daten-Updates</h1>"
                                           "<p>Neu: \xC3\x9C"
                                           "belkeit</p></body></html>",
                                           "text/html; charset=utf-8");
                       });
    server.start();
    serveFrom("/info");
    session.version = ProgramVersion{2, 1, 14};
    HostParameters& host = session.host;
    host.MachineID = QStringLiteral("M-1");
    host.SFA = QStringLiteral("Müller & Söhne");
    host.SNN = QStringLiteral("O'Neill");
    host.SVN = QStringLiteral("Jörg");
    host.SST = QStringLiteral("Straße 1+2");
    host.SPL = QStringLiteral("A&B");
    host.SOR = QStringLiteral("Köln");
    host.REG = QStringLiteral("R1");
    host.DBVers = QStringLiteral("2024.01");
    host.SD[0] = QStringLiteral("x y");
    host.SD[11] = QStringLiteral("Maß");

    frmUpdateInfo window(session, loop);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Update Informationen"));
    EXPECT_EQ(window.lblClose->text(), QStringLiteral("&Weiter"));
    EXPECT_EQ(window.lblEnd->text(), QStringLiteral("Beenden"));
    ASSERT_TRUE(window.Init(Caller, QStringLiteral("3.1.0")));

    EXPECT_EQ(window.windowTitle(), QStringLiteral("Informationen zum QuorMed - Update"));
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(method, "POST");
        EXPECT_EQ(contentType, "application/x-www-form-urlencoded");
        EXPECT_EQ(body, "VERS=3v1v0&PID=QGR&MachineID=M-1&SFA=Mueller%20%5B0%5D%20Soehne"
                        "&SNN=O%5B2%5DNeill&SVN=Joerg&SST=Stra%23e%201%5B1%5D2&SPL=A&B"
                        "&SOR=Koeln&REG=R1&IUVERS=2v1v14&DBVers=2024.01&MODUS=1&KEY="
                        "&SEARCHDATE=&SD0=x%20y&SD1=&SD2=&SD3=&SD4=&SD5=&SD6=&SD7=&SD8=&SD9="
                        "&SD10=&SD11=Ma%23");
    }
    EXPECT_THAT(window.MyBrowser->toPlainText().toStdString(), HasSubstr("Neu: Übelkeit"));
    ASSERT_FALSE(loop.waitLines.isEmpty());
    EXPECT_EQ(loop.waitLines.first(),
              QStringLiteral("Die Informationen zum QuorMed - Update\r\n werden abgerufen ... "));
    EXPECT_EQ(visibleWaitWindow(), nullptr);
    EXPECT_FALSE(window.isVisible()); // the caller shows it
}

TEST_F(UpdateInfoTest, FailedRequestsAndErrorPagesShowNothing) {
    server.http().Post("/broken/dataupdateframe.aspx",
                       [](const httplib::Request&, httplib::Response& res) {
                           res.status = 500;
                           res.set_content("<p>Interner Fehler</p>", "text/html");
                       });
    server.start();

    serveFrom("/broken");
    {
        frmUpdateInfo window(session, loop);
        EXPECT_FALSE(window.Init(Caller, QStringLiteral("3.1.0")));
        EXPECT_EQ(window.MyBrowser->toPlainText(), QString());
    }
    session.ServerBaseUrl =
        QStringLiteral("http://127.0.0.1:") + QString::number(closedLocalPort());
    {
        frmUpdateInfo window(session, loop);
        EXPECT_FALSE(window.Init(Caller, QStringLiteral("3.1.0")));
    }
    // The main window's "Info" finds nothing to show, and no window stays behind.
    EXPECT_FALSE(showUpdateInformation(session, loop, Caller, QStringLiteral("3.1.0")));
    settle();
    EXPECT_EQ(topLevelWindows(), QStringList());
}

TEST_F(UpdateInfoTest, PagesBeyondWhatTheViewCanLayOutAreNotShown) {
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
        {"/tables", repeat("<table><tr><td>", 22) + "x" + repeat("</td></tr></table>", 22)},
        {"/divs", repeat("<div>", 100'000) + "x"},
        {"/spans", repeat("<p><span>", 150)},
        {"/cells", "<table><tr>" + repeat("<td>x", 5000) + "</table>"},
        {"/large", repeat("Text ", 220'000)},
    };
    for (const auto& [path, page] : pages)
        server.http().Post(path + "/dataupdateframe.aspx",
                           [&page](const httplib::Request&, httplib::Response& res) {
                               res.set_content(page, "text/html");
                           });
    server.start();
    for (const auto& [path, page] : pages) {
        serveFrom(path);
        frmUpdateInfo window(session, loop);
        EXPECT_EQ(window.Init(Caller, QStringLiteral("3.1.0")), path == "/fitting") << path;
        EXPECT_EQ(window.MyBrowser->toPlainText().isEmpty(), path != "/fitting") << path;
    }
}

TEST_F(UpdateInfoTest, APageThatNeverComesTimesOut) {
    server.start();
    serveFrom("/stall");
    frmUpdateInfo window(session, loop);
    window.setTimeout(std::chrono::milliseconds(300));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(window.Init(Caller, QStringLiteral("3.1.0")));
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(clock.elapsed(), 4000); // long before the server would answer
    // The wait window said why before it went.
    ASSERT_GE(loop.waitLines.size(), 2);
    EXPECT_EQ(loop.waitLines.last(), QStringLiteral("Zeitüberschreitung ... "));
    EXPECT_EQ(visibleWaitWindow(), nullptr);
    EXPECT_EQ(window.MyBrowser->toPlainText(), QString());
}

TEST_F(UpdateInfoTest, ClosingTheWaitWindowCancels) {
    server.start();
    serveFrom("/stall");
    frmUpdateInfo window(session, loop);
    QTimer closer;
    closer.setSingleShot(true);
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (frmWait* wait = visibleWaitWindow())
            wait->close();
    });
    closer.start(200);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(window.Init(Caller, QStringLiteral("3.1.0")));
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_TRUE(session.DialogArg1.toString().isEmpty());
    ASSERT_FALSE(loop.waitLines.isEmpty());
    EXPECT_NE(loop.waitLines.last(), QStringLiteral("Zeitüberschreitung ... "));
    // Dropped at once, not only once the deferred deletions run.
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<frmWait*>(widget), nullptr);
}

TEST(UpdateInfoFromTheUpdateServer, ShowsTheSampleDescriptionAndClosesWithWeiter) {
    server::UpdateServer updateServer(server::Catalog::load(SAMPLE_CATALOG_DIR),
                                      DeploymentSettings::fromEnvironment(), {});
    const int port = updateServer.start("127.0.0.1", 0);
    Session session;
    QtEventLoop loop;
    session.ServerBaseUrl = QStringLiteral("http://127.0.0.1:") + QString::number(port);
    session.host.ProgID = QStringLiteral("QGR");
    session.host.DBVers = QStringLiteral("2024.01");

    ASSERT_TRUE(showUpdateInformation(session, loop, Caller, QStringLiteral("3.1.0")));
    QPointer<frmUpdateInfo> window;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* info = qobject_cast<frmUpdateInfo*>(widget))
            window = info;
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
    const std::string page = window->MyBrowser->toPlainText().toStdString();
    EXPECT_THAT(page, HasSubstr("Datenstand 2024.06"));
    EXPECT_THAT(page, HasSubstr("Lexikon-Eintrag „Migräne“"));

    window->lblClose->click();
    settle();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(topLevelWindows(), QStringList());
    updateServer.stop();
}

} // namespace
} // namespace upd::test
