// Entry point: creates the application, the session and the platform services, and hands over to
// start-up. The program then lives as long as one of its windows is open.

#include "app/test_hooks.h"
#include "app/updater_run.h"
#include "platform/command_line.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    upd::UpdaterRun run;
    run.start(upd::commandLineText(QCoreApplication::arguments()));
    if (!run.actions.running())
        return 0;
    upd::runTestHooks(*run.actions.mainWindow());
    return QApplication::exec();
}
