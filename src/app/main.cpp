// Entry point: creates the application, the session and the platform services, and hands over to
// start-up. The program then lives as long as one of its windows is open.

#include "app/application_startup.h"
#include "app/test_hooks.h"
#include "platform/command_line.h"
#include "platform/settings_store.h"
#include "ui/message_prompts.h"
#include "ui/program_windows.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorlan-Internet-Update"));
    upd::prepareProgramWindows();

    upd::Session session;
    upd::QtEventLoop loop;
    upd::NativeSettingsStore store;
    upd::MessagePrompts prompts;
    upd::ApplicationStartup actions(session, loop, prompts);

    upd::Main(session, upd::commandLineText(QCoreApplication::arguments()), store, prompts,
              actions);
    if (!actions.running())
        return 0;
    upd::runTestHooks(*actions.mainWindow());
    return QApplication::exec();
}
