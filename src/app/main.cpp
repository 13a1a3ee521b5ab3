// Entry point: creates the application, the session and the platform services, and hands over to
// start-up. The program then lives as long as one of its windows is open.

#include "core/event_loop.h"
#include "core/session.h"
#include "platform/command_line.h"
#include "platform/previous_instance.h"
#include "platform/settings_store.h"
#include "startup/connection_check.h"
#include "startup/startup.h"
#include "ui/message_prompts.h"

#include <QApplication>
#include <cstdio>

namespace {

class ApplicationStartup final : public upd::StartupActions {
public:
    ApplicationStartup(upd::Session& session, upd::EventLoop& loop)
        : session_(session), loop_(loop) {}

    bool isInternetReachable() override { return upd::CheckInternetConnection(session_, loop_); }

    bool anotherInstanceRunning() override {
        instanceLock_ = std::make_unique<upd::InstanceLock>();
        return instanceLock_->anotherInstanceRunning();
    }

    void showMainWindow() override {
        // The main window plugs in here.
        std::fputs("quorlan-Internet-Update: main window not available in this build\n", stderr);
    }

    void runBackgroundCheck() override {
        // The background check (updater-version check, invisible search, notice) plugs in here.
        std::fputs("quorlan-Internet-Update: background check not available in this build\n",
                   stderr);
    }

    bool windowOpen() const { return false; }

private:
    upd::Session& session_;
    upd::EventLoop& loop_;
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
    ApplicationStartup actions(session, loop);

    upd::Main(session, upd::commandLineText(QCoreApplication::arguments()), store, prompts,
              actions);
    if (!actions.windowOpen())
        return 0;
    return QApplication::exec();
}
