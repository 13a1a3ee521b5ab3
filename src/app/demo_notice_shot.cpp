// For the demo: starts the updater in the background mode as the host would, and saves a picture
// of the notification pop-up once it has rolled out. Without --keep-running the program ends
// then (a virtual screen has no notification area, so the pop-up would wait there for ever);
// with it, the pop-up lives on as in the real program.
// Usage: quorlan-update-demo-notice-shot PICTURE.png HOST-PARAMETER-STRING [--keep-running]

#include "app/updater_run.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const bool keepRunning =
        arguments.size() == 4 && arguments[3] == QStringLiteral("--keep-running");
    if (arguments.size() != 3 && !keepRunning) {
        std::fputs("usage: quorlan-update-demo-notice-shot PICTURE.png HOST-PARAMETER-STRING "
                   "[--keep-running]\n",
                   stderr);
        return 2;
    }

    upd::UpdaterRun run;
    upd::ApplicationStartup& actions = run.actions;
    const upd::StartupResult result = run.start(arguments[2]);
    if (result != upd::StartupResult::NoticeShown) {
        std::fputs("the background check found nothing to tell (or no connection to the server)\n",
                   stderr);
        return 1;
    }
    int status = 1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        upd::frmNotify* notice = actions.notice();
        if (notice && notice->PopupPhase() == upd::PopupPhases::RollingOut)
            return;
        poll.stop();
        if (notice && notice->grab().save(arguments[1])) {
            std::printf("%s\n%s\n", qPrintable(notice->windowTitle()),
                        qPrintable(notice->findChild<QLabel*>(QStringLiteral("lblMsg"))->text()));
            status = 0;
        }
        if (!keepRunning)
            QApplication::quit();
    });
    poll.start(50);
    const int exitCode = QApplication::exec();
    return keepRunning ? exitCode : status;
}
