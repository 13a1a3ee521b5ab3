#include "app/application_startup.h"

#include "app/background_check.h"
#include "transfer/connection_check.h"
#include "transfer/updater_version_check.h"
#include "ui/open_main_window.h"
#include "wizard/update_notice.h"

#include <QApplication>

namespace upd {

ApplicationStartup::ApplicationStartup(Session& session, EventLoop& loop, Prompts& prompts)
    : session_(session), loop_(loop), prompts_(prompts), steps_(loop, prompts) {}

ApplicationStartup::~ApplicationStartup() {
    delete notice_;
    delete mainWindow_;
}

bool ApplicationStartup::isInternetReachable() {
    return CheckInternetConnection(session_, loop_);
}

bool ApplicationStartup::anotherInstanceRunning() {
    return instanceLock_.anotherInstanceRunning();
}

void ApplicationStartup::showMainWindow() {
    // A host may start run mode 6 itself, without the background check that asks which updater
    // the server offers: the window's download needs its values all the same.
    if (session_.RunMode == runmode::NewUpdater && session_.UpdaterFile.isEmpty())
        CheckUpdaterVersion();
    mainWindow_ = OpenMainWindow(session_, prompts_, loop_, steps_);
}

bool ApplicationStartup::CheckUpdaterVersion() {
    return upd::CheckUpdaterVersion(session_, loop_, session_.UpdaterPath, session_.UpdaterVersion,
                                    session_.UpdaterFile, session_.updaterSeal);
}

std::int16_t ApplicationStartup::RunBackgroundCheck() {
    return upd::RunBackgroundCheck(session_, loop_);
}

void ApplicationStartup::ShowUpdateNotice(int kind) {
    QApplication::setQuitOnLastWindowClosed(false);
    notice_ = new frmNotify();
    // Gone without its action: nothing more to do.
    QObject::connect(notice_, &QObject::destroyed, [this] {
        if (!mainWindow_)
            QCoreApplication::quit();
    });
    upd::ShowUpdateNotice(*notice_, session_, kind, [this] { showMainWindowFromNotice(); });
    if (!notice_->isVisible())
        delete notice_;
}

void ApplicationStartup::showMainWindowFromNotice() {
    showMainWindow();
    if (mainWindow_)
        QObject::connect(mainWindow_, &QObject::destroyed, [] { QCoreApplication::quit(); });
}

} // namespace upd
