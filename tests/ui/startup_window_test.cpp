#include "app/host_parameters.h"
#include "app/startup.h"
#include "platform/settings_store.h"
#include "ui/open_main_window.h"
#include "ui/window_fixture.h"

#include <QLineEdit>
#include <QTabWidget>
#include <map>

namespace upd::test {
namespace {

class MemorySettingsStore final : public SettingsStore {
public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) const override {
        const auto found = values.find(application + '/' + section + '/' + key);
        return found == values.end() ? defaultValue : found->second;
    }
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override {
        values[application + '/' + section + '/' + key] = value;
    }
    void remove(const QString& application, const QString& section, const QString& key) override {
        values.erase(application + '/' + section + '/' + key);
    }
    std::map<QString, QString> values;
};

// Start-up handing over to the real main window.
class WindowStartup final : public StartupActions {
public:
    WindowStartup(Session& session, Prompts& prompts, EventLoop& loop, WizardSteps& steps)
        : session_(session), prompts_(prompts), loop_(loop), steps_(steps) {}
    bool isInternetReachable() override { return true; }
    void showMainWindow() override { window = OpenMainWindow(session_, prompts_, loop_, steps_); }
    bool anotherInstanceRunning() override { return false; }
    bool CheckUpdaterVersion() override { return false; }
    std::int16_t RunBackgroundCheck() override { return 0; }
    void ShowUpdateNotice(int) override {}

    QPointer<frmStart> window;

private:
    Session& session_;
    Prompts& prompts_;
    EventLoop& loop_;
    WizardSteps& steps_;
};

class StartupWindowTest : public ::testing::Test {
protected:
    void TearDown() override {
        delete startup.window.data();
        settle();
        EXPECT_EQ(topLevelWindows(), QStringList());
    }

    Session session;
    ScriptedPrompts prompts;
    QtEventLoop loop;
    FakeWizardSteps steps;
    MemorySettingsStore store;
    WindowStartup startup{session, prompts, loop, steps};
};

TEST_F(StartupWindowTest, RestartFormOpensTheWindowFromTheParkedString) {
    store.write(ConfigApplication, ConfigSection, ParkedArgumentsKey,
                QStringLiteral("AppName=QuorMed#ExeVers=5.1.0#ExePath=/opt/q#START=3"));
    EXPECT_EQ(Main(session, QStringLiteral("START=7"), store, prompts, startup),
              StartupResult::WindowShown);
    ASSERT_FALSE(startup.window.isNull());
    EXPECT_TRUE(startup.window->isVisible());
    EXPECT_EQ(session.RunMode, 3);
    EXPECT_EQ(named<QTabWidget>(*startup.window, "SSTab1")->currentIndex(), tab::Installation);
    EXPECT_EQ(startup.window->wizardState(), wizard::InstallProgramUpdates);
    EXPECT_TRUE(store.values.empty()); // the parked string is taken back once
}

TEST_F(StartupWindowTest, OnlineModeOpensOnTheSearch) {
    EXPECT_EQ(Main(session, QStringLiteral("AppName=QuorMed#ProgID=QAR#START=0"), store, prompts,
                   startup),
              StartupResult::WindowShown);
    ASSERT_FALSE(startup.window.isNull());
    EXPECT_EQ(named<QLineEdit>(*startup.window, "txtProgVersion")->text(), QStringLiteral("5.1.0"));
    EXPECT_EQ(startup.window->wizardState(), wizard::Search);
}

TEST_F(StartupWindowTest, UnknownProductOpensNoWindow) {
    Main(session, QStringLiteral("AppName=QuorMed#ProgID=NOPE#START=0"), store, prompts, startup);
    EXPECT_TRUE(startup.window.isNull());
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].icon, MessageIcon::Critical);
}

} // namespace
} // namespace upd::test
