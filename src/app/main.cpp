// Entry point: creates the application, the session and the platform services, and hands over to
// start-up. The program then lives as long as one of its windows is open.

#include "core/event_loop.h"
#include "core/session.h"
#include "platform/command_line.h"
#include "platform/previous_instance.h"
#include "platform/settings_store.h"
#include "startup/connection_check.h"
#include "startup/startup.h"
#include "ui/frm_start.h"
#include "ui/message_prompts.h"
#include "ui/open_main_window.h"
#include "ui/unavailable_steps.h"

#include <QApplication>
#include <QPointer>
#include <cstdio>

namespace {

class ApplicationStartup final : public upd::StartupActions {
public:
    ApplicationStartup(upd::Session& session, upd::EventLoop& loop, upd::Prompts& prompts)
        : session_(session), loop_(loop), prompts_(prompts) {}
    ~ApplicationStartup() override { delete mainWindow_; }

    bool isInternetReachable() override { return upd::CheckInternetConnection(session_, loop_); }

    bool anotherInstanceRunning() override {
        instanceLock_ = std::make_unique<upd::InstanceLock>();
        return instanceLock_->anotherInstanceRunning();
    }

    void showMainWindow() override {
        mainWindow_ = upd::OpenMainWindow(session_, prompts_, loop_, steps_);
    }

    void runBackgroundCheck() override {
        // The background check (updater-version check, invisible search, notice) plugs in here.
        std::fputs("quorlan-Internet-Update: background check not available in this build\n",
                   stderr);
    }

    bool windowOpen() const { return !mainWindow_.isNull(); }

private:
    upd::Session& session_;
    upd::EventLoop& loop_;
    upd::Prompts& prompts_;
    // The search, downloads and installations are plugged in here as they are built.
    upd::UnavailableWizardSteps steps_;
    QPointer<upd::frmStart> mainWindow_;
    std::unique_ptr<upd::InstanceLock> instanceLock_;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorlan-Internet-Update"));

    upd::Session session;
    upd::QtEventLoop loop;
    upd::NativeSettingsStore store;
    upd::MessagePrompts prompts;
    ApplicationStartup actions(session, loop, prompts);

    upd::Main(session, upd::commandLineText(QCoreApplication::arguments()), store, prompts,
              actions);
    if (!actions.windowOpen())
        return 0;
    return QApplication::exec();
}
