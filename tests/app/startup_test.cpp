// Start-up with the real connection test and recorded actions. What the background mode does
// after the connection test is followed against the bundled server in background_mode_test.cpp.

#include "app/host_parameters.h"
#include "app/startup.h"
#include "support/local_http_server.h"
#include "support/memory_settings_store.h"
#include "support/scripted_prompts.h"
#include "transfer/connection_check.h"

#include <gtest/gtest.h>

namespace upd {
namespace {

// Counts the connection tests; the result names the step start-up took after them.
class RecordingActions final : public StartupActions {
public:
    explicit RecordingActions(Session& session) : session_(session) {}

    bool isInternetReachable() override {
        ++connectionTests;
        return CheckInternetConnection(session_, loop_);
    }
    void showMainWindow() override {}
    bool anotherInstanceRunning() override { return false; }
    bool CheckUpdaterVersion() override { return false; }
    std::int16_t RunBackgroundCheck() override { return 0; }
    void ShowUpdateNotice(int) override {}

    int connectionTests = 0;

private:
    Session& session_;
    QtEventLoop loop_;
};

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        // An error status is an answer all the same: the site is reachable.
        site_.http().Get("/", [](const httplib::Request&, httplib::Response& response) {
            response.status = 500;
            response.set_content(std::string(100000, 'x'), "text/plain");
        });
        site_.start();
    }

    void useSite(bool reachable) {
        session_.deployment.connectionTestUrl =
            reachable ? QString::fromStdString(site_.url("/"))
                      : QStringLiteral("http://127.0.0.1:%1/").arg(test::closedLocalPort());
    }

    StartupResult start(const QString& commandLine, RecordingActions& actions) {
        return Main(session_, commandLine, store_, prompts_, actions);
    }

    test::LocalHttpServer site_;
    Session session_;
    test::MemorySettingsStore store_;
    test::ScriptedPrompts prompts_;
};

// Online modes need the connection (and end silently without it); offline modes never test it.
TEST_F(StartupTest, OnlineModesNeedTheConnectionOfflineModesRunWithoutIt) {
    const struct {
        const char* commandLine;
        bool reachable;
        StartupResult result;
        int connectionTests;
    } rows[] = {
        {"AppName=A#START=0", true, StartupResult::WindowShown, 1},
        {"AppName=A#START=0", false, StartupResult::NoConnection, 1},
        {"AppName=A#START=1", false, StartupResult::WindowShown, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.commandLine);
        session_ = Session();
        useSite(row.reachable);
        // A setting that ends in "/" loses it, so that addresses get no "//".
        session_.deployment.serverUrl = QStringLiteral("http://127.0.0.1:1234/");
        RecordingActions actions(session_);
        EXPECT_EQ(start(QString::fromUtf8(row.commandLine), actions), row.result);
        EXPECT_EQ(actions.connectionTests, row.connectionTests);
        if (row.reachable) {
            EXPECT_EQ(session_.ServerBaseUrl, QStringLiteral("http://127.0.0.1:1234"));
        }
    }
    EXPECT_EQ(site_.requests().size(), 1u);
    EXPECT_TRUE(prompts_.shown().empty());
}

TEST_F(StartupTest, ARestartWithoutConnectionKeepsTheParkedParameters) {
    useSite(false);
    const QString parked = QStringLiteral("AppName=A#START=0#ProgID=QGR");
    store_.write(ConfigApplication, ConfigSection, ParkedArgumentsKey, parked);
    RecordingActions actions(session_);
    EXPECT_EQ(start(QStringLiteral("START=7"), actions), StartupResult::NoConnection);
    EXPECT_EQ(store_.read(ConfigApplication, ConfigSection, ParkedArgumentsKey), parked);

    useSite(true);
    EXPECT_EQ(start(QStringLiteral("START=7"), actions), StartupResult::WindowShown);
    EXPECT_FALSE(store_.contains(ConfigApplication, ConfigSection, ParkedArgumentsKey));
    EXPECT_EQ(session_.host.ProgID, QStringLiteral("QGR"));
}

TEST_F(StartupTest, RunTimeErrorsShowTheSystemErrorExceptInBackgroundMode) {
    useSite(true);
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
}

} // namespace
} // namespace upd
