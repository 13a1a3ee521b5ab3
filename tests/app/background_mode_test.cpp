// The background mode against the bundled update server: which notice it shows, and what the
// main window opened from the notice starts with. Then two real updaters side by side.

#include "app/background_fixture.h"
#include "support/hostile_proxy.h"
#include "support/named_control.h"

#include <QLabel>
#include <QProcess>
#include <optional>

namespace upd::test {
namespace {

TEST(BackgroundMode, ShowsTheNoticeOfWhatTheServerOffers) {
    const QString host = QStringLiteral("quorlan Gesundheitsratgeber Update Hinweis");

    // The updater-information page as a hostile network may change it.
    const auto changedUpdater = [](std::function<void(std::string&)> change) {
        return [change](HostileProxy::Answer& answer) {
            if (answer.path == "/updateproginfo.aspx")
                change(answer.body);
        };
    };
    const struct {
        const char* what;
        std::string updater; // the catalog's
        QString exeVers, dbVers;
        StartupResult result;
        QString title;
        QString firstLine;
        std::int32_t wizardState; // of the main window the notice opens
        HostileProxy::Tamper tamper = {};
    } rows[] = {
        {"the sample catalog offers a newer updater", "2.01.0015", "3.1.0", "2024.01",
         StartupResult::NoticeShown, "quorlan-Internet-Update Hinweis", "Eine neue Version des",
         wizard::DownloadNewUpdater},
        {"an unsigned updater is not offered", "2.01.0015", "3.1.0", "2024.01",
         StartupResult::NoticeShown, host, "Es sind Programm-Updates verfügbar!", wizard::Search,
         changedUpdater([](std::string& body) { removeElement(body, "signature"); })},
        {"nor one whose version was changed", "2.01.0014", "3.1.0", "2024.01",
         StartupResult::NoticeShown, host, "Es sind Programm-Updates verfügbar!", wizard::Search,
         changedUpdater([](std::string& body) { replaceFirst(body, "2.01.0014", "2.01.0016"); })},
        {"no newer updater, program updates", "2.01.0014", "3.1.0", "2024.01",
         StartupResult::NoticeShown, host, "Es sind Programm-Updates verfügbar!", wizard::Search},
        {"only data updates", "2.01.0014", "3.3.0", "2024.01", StartupResult::NoticeShown, host,
         "Es sind Daten-Updates verfügbar!", wizard::Search},
        {"nothing", "2.01.0014", "3.3.0", "2024.06", StartupResult::NothingFound, {}, {}, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        BundledServer server(row.updater);
        std::optional<HostileProxy> proxy;
        if (row.tamper)
            proxy.emplace(row.tamper);
        BackgroundStart start;
        EXPECT_EQ(start.run(server, row.exeVers, row.dbVers), row.result);
        EXPECT_TRUE(start.prompts.shown().empty());
        frmNotify* notice = start.actions->notice();
        if (row.title.isEmpty()) {
            EXPECT_EQ(notice, nullptr);
            EXPECT_FALSE(start.actions->running()) << "the program ends";
            continue;
        }
        ASSERT_NE(notice, nullptr);
        EXPECT_TRUE(notice->isVisible());
        EXPECT_EQ(notice->windowTitle(), row.title);
        EXPECT_EQ(named<QLabel>(*notice, "lblMsg")->text().section(u'\n', 0, 0), row.firstLine);

        notice->RunPopupAction();
        ASSERT_NE(start.actions->mainWindow(), nullptr);
        EXPECT_TRUE(start.actions->mainWindow()->isVisible());
        EXPECT_EQ(start.actions->mainWindow()->wizardState(), row.wizardState);
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(start.actions->notice(), nullptr);
    }
}

// A real updater of this build, started as a host starts it.
class Updater {
public:
    Updater(const BundledServer& server, const char* runMode) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QUORLAN_UPDATE_SERVER_URL"), server.url());
        environment.insert(QStringLiteral("QUORLAN_UPDATE_CONNECTION_TEST_URL"),
                           server.url() + u'/');
        environment.insert(QStringLiteral("QUORLAN_UPDATE_INFO_URL"),
                           server.url() + QStringLiteral("/updateproginfo.aspx"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(UPDATER_EXECUTABLE),
                      {QStringLiteral("AppName=quorlan-Gesundheitsratgeber#ExeVers=3.1.0#"
                                      "ProgID=QGR#START=") +
                       QString::fromLatin1(runMode)});
        EXPECT_TRUE(process.waitForStarted());
    }
    ~Updater() {
        process.kill();
        process.waitForFinished();
    }
    QProcess process;
};

TEST(BackgroundMode, ABackgroundStartBesideARunningInteractiveUpdaterDoesNothing) {
    BundledServer server; // offers a newer updater: a background check would ask for it
    auto interactive = std::make_unique<Updater>(server, "0");
    // Its connection test comes after it registered as a running instance.
    ASSERT_EQ(server.requestsFor("/", 1), 1);

    Updater beside(server, "5");
    ASSERT_TRUE(beside.process.waitForFinished(30000));
    EXPECT_EQ(beside.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(beside.process.exitCode(), 0);
    EXPECT_EQ(server.requestsFor("/", 2), 2);
    EXPECT_EQ(server.requestsFor("/updateproginfo.aspx"), 0);

    // Killed, the interactive updater leaves its lock behind, which no longer counts.
    interactive.reset();
    Updater alone(server, "5");
    EXPECT_EQ(server.requestsFor("/updateproginfo.aspx", 1), 1);
}

} // namespace
} // namespace upd::test
