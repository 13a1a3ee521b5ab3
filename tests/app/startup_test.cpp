#include "app/host_parameters.h"
#include "app/startup.h"
#include "support/local_http_server.h"
#include "support/memory_settings_store.h"
#include "support/scripted_prompts.h"
#include "transfer/connection_check.h"

#include <gtest/gtest.h>
#include <vector>

namespace upd {
namespace {

// Records what start-up asked for; the connection test is the real one. The background mode's
// steps answer as told.
class RecordingActions final : public StartupActions {
public:
    RecordingActions(Session& session, bool otherInstance = false)
        : session_(session), otherInstance_(otherInstance) {}

    bool isInternetReachable() override {
        ++connectionTests;
        return CheckInternetConnection(session_, loop_);
    }
    void showMainWindow() override { ++windowsShown; }
    bool anotherInstanceRunning() override { return otherInstance_; }
    bool CheckUpdaterVersion() override {
        ++updaterChecks;
        return newerUpdater;
    }
    std::int16_t RunBackgroundCheck() override {
        ++backgroundChecks;
        return searchResult;
    }
    void ShowUpdateNotice(int kind) override { notices.push_back(kind); }

    bool newerUpdater = false;
    std::int16_t searchResult = 0;
    int connectionTests = 0;
    int windowsShown = 0;
    int updaterChecks = 0;
    int backgroundChecks = 0;
    std::vector<int> notices;

private:
    Session& session_;
    bool otherInstance_;
    QtEventLoop loop_;
};

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        site_.http().Get("/", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<html>quorlan</html>", "text/html");
        });
        site_.start();
    }

    void useReachableSite() {
        session_.deployment.connectionTestUrl = QString::fromStdString(site_.url("/"));
    }
    void useUnreachableSite() {
        session_.deployment.connectionTestUrl =
            QStringLiteral("http://127.0.0.1:%1/").arg(test::closedLocalPort());
    }

    StartupResult start(const QString& commandLine, RecordingActions& actions) {
        return Main(session_, commandLine, store_, prompts_, actions);
    }

    test::LocalHttpServer site_;
    Session session_;
    test::MemorySettingsStore store_;
    test::ScriptedPrompts prompts_;
};

TEST_F(StartupTest, OnlineModesNeedTheConnectionAndShowTheWindow) {
    useReachableSite();
    // A setting that ends in "/" loses it, so that addresses get no "//".
    session_.deployment.serverUrl = QStringLiteral("http://127.0.0.1:1234/");
    RecordingActions actions(session_);
    EXPECT_EQ(start(QStringLiteral("AppName=A#START=0"), actions), StartupResult::WindowShown);
    EXPECT_EQ(actions.connectionTests, 1);
    EXPECT_EQ(actions.windowsShown, 1);
    EXPECT_EQ(session_.ServerBaseUrl, QStringLiteral("http://127.0.0.1:1234"));
    EXPECT_EQ(site_.requests().size(), 1u);
    EXPECT_TRUE(prompts_.shown().empty());
}

TEST_F(StartupTest, WithoutConnectionOnlineModesEndSilentlyAndOfflineModesStillRun) {
    useUnreachableSite();
    for (const char* commandLine :
         {"AppName=A#START=0", "AppName=A#START=5", "AppName=A#START=6"}) {
        Session fresh;
        session_ = fresh;
        useUnreachableSite();
        RecordingActions actions(session_);
        EXPECT_EQ(start(QString::fromUtf8(commandLine), actions), StartupResult::NoConnection);
        EXPECT_EQ(actions.windowsShown + actions.backgroundChecks, 0) << commandLine;
    }
    for (const char* commandLine :
         {"AppName=A#START=1", "AppName=A#START=2", "AppName=A#START=3", "AppName=A#START=4"}) {
        RecordingActions actions(session_);
        EXPECT_EQ(start(QString::fromUtf8(commandLine), actions), StartupResult::WindowShown);
        EXPECT_EQ(actions.connectionTests, 0) << commandLine;
    }
    EXPECT_TRUE(prompts_.shown().empty());
}

TEST_F(StartupTest, ARestartWithoutConnectionKeepsTheParkedParameters) {
    useUnreachableSite();
    const QString parked = QStringLiteral("AppName=A#START=0#ProgID=QGR");
    store_.write(ConfigApplication, ConfigSection, ParkedArgumentsKey, parked);
    RecordingActions actions(session_);
    EXPECT_EQ(start(QStringLiteral("START=7"), actions), StartupResult::NoConnection);
    EXPECT_EQ(store_.read(ConfigApplication, ConfigSection, ParkedArgumentsKey), parked);

    useReachableSite();
    EXPECT_EQ(start(QStringLiteral("START=7"), actions), StartupResult::WindowShown);
    EXPECT_FALSE(store_.contains(ConfigApplication, ConfigSection, ParkedArgumentsKey));
    EXPECT_EQ(session_.host.ProgID, QStringLiteral("QGR"));
}

TEST_F(StartupTest, BackgroundModeChecksTheUpdaterFirstAndSearchesOnlyWithoutANewerOne) {
    useReachableSite();
    const struct {
        bool newerUpdater;
        std::int16_t searchResult;
        StartupResult result;
        std::vector<int> notices;
        int searches;
        std::int16_t runMode;
    } rows[] = {
        {true, 1, StartupResult::NoticeShown, {0}, 0, runmode::NewUpdater},
        {false, 1, StartupResult::NoticeShown, {1}, 1, runmode::Background},
        {false, 2, StartupResult::NoticeShown, {2}, 1, runmode::Background},
        {false, 0, StartupResult::NothingFound, {}, 1, runmode::Background},
    };
    for (const auto& row : rows) {
        Session session = session_;
        RecordingActions actions(session);
        actions.newerUpdater = row.newerUpdater;
        actions.searchResult = row.searchResult;
        EXPECT_EQ(Main(session, QStringLiteral("AppName=A#START=5"), store_, prompts_, actions),
                  row.result);
        EXPECT_EQ(actions.updaterChecks, 1);
        EXPECT_EQ(actions.backgroundChecks, row.searches);
        EXPECT_EQ(actions.notices, row.notices) << row.newerUpdater << row.searchResult;
        // The invisible search sets the run mode itself; start-up only marks the new updater.
        EXPECT_EQ(session.RunMode, row.runMode);
        EXPECT_EQ(actions.windowsShown, 0);
    }

    RecordingActions beside(session_, /*otherInstance=*/true);
    beside.searchResult = 1;
    EXPECT_EQ(start(QStringLiteral("AppName=A#START=5"), beside), StartupResult::AlreadyRunning);
    EXPECT_EQ(beside.updaterChecks + beside.backgroundChecks, 0);
    EXPECT_TRUE(beside.notices.empty());
    EXPECT_TRUE(prompts_.shown().empty());
}

TEST_F(StartupTest, RunTimeErrorsShowTheSystemErrorExceptInBackgroundMode) {
    useReachableSite();
    RecordingActions actions(session_);
    EXPECT_EQ(start(QStringLiteral("Hwnd=abc#ExeVers=1.0.0"), actions),
              StartupResult::RuntimeError);
    EXPECT_EQ(prompts_.texts(),
              std::vector<QString>{QStringLiteral("UNEXPECTED SYSEM ERROR: Typen unverträglich")});
    EXPECT_EQ(prompts_.shown().front().icon, MessageIcon::Critical);

    // START=5 is stored before the faulty Hwnd is reached: the background mode stays silent.
    Session background;
    RecordingActions quiet(background);
    test::ScriptedPrompts silent;
    EXPECT_EQ(Main(background, QStringLiteral("START=5#Hwnd=abc"), store_, silent, quiet),
              StartupResult::RuntimeError);
    EXPECT_TRUE(silent.shown().empty());
    EXPECT_EQ(actions.windowsShown + quiet.windowsShown, 0);
}

TEST_F(StartupTest, ConnectionTestCountsAnyAnswerOfTheServer) {
    // A server that answers with an error status is still reachable.
    test::LocalHttpServer failing;
    failing.http().Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.status = 500;
        response.set_content(std::string(100000, 'x'), "text/plain");
    });
    failing.start();
    session_.deployment.connectionTestUrl = QString::fromStdString(failing.url("/"));
    QtEventLoop loop;
    EXPECT_TRUE(CheckInternetConnection(session_, loop));
    useUnreachableSite();
    EXPECT_FALSE(CheckInternetConnection(session_, loop));
}

} // namespace
} // namespace upd
