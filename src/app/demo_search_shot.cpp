// For the demo on a machine without a screen: starts the updater as the host would, presses
// "Start" once the window is up, and saves a picture of the window after the search; given a
// second picture, presses "Weiter" too and saves the window after the download of the updates.
// Usage: quorlan-update-demo-shot PICTURE.png HOST-PARAMETER-STRING [DOWNLOAD-PICTURE.png]

#include "app/updater_run.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3 && arguments.size() != 4) {
        std::fputs("usage: quorlan-update-demo-shot PICTURE.png HOST-PARAMETER-STRING "
                   "[DOWNLOAD-PICTURE.png]\n",
                   stderr);
        return 2;
    }

    upd::UpdaterRun run;
    upd::ApplicationStartup& actions = run.actions;
    upd::QtEventLoop& loop = run.loop;
    run.start(arguments[2]);
    upd::frmStart* window = actions.mainWindow();
    if (!window) {
        std::fputs("the updater ended without a window (no connection to the server?)\n", stderr);
        return 1;
    }
    int status = 1;
    // One press of the Start/Next button and a picture of what it left.
    const auto pressAndSnap = [&](const QString& picture) {
        window->StartAskForUpdates();
        loop.yield();
        if (!window->grab().save(picture))
            return false;
        std::printf("%s\n", qPrintable(window->visibleMessageArea().text()));
        return true;
    };
    QTimer::singleShot(500, window, [&] {
        if (pressAndSnap(arguments[1]) && (arguments.size() == 3 || pressAndSnap(arguments[3])))
            status = 0;
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}
