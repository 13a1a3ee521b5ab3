#include "app/application_startup.h"

#include "app/updater_offer.h"
#include "transfer/connection_check.h"
#include "ui/open_main_window.h"

#include <cstdio>

namespace upd {

ApplicationStartup::ApplicationStartup(Session& session, EventLoop& loop, Prompts& prompts)
    : session_(session), loop_(loop), prompts_(prompts), steps_(loop, prompts) {}

ApplicationStartup::~ApplicationStartup() {
    delete mainWindow_;
}

bool ApplicationStartup::isInternetReachable() {
    return CheckInternetConnection(session_, loop_);
}

bool ApplicationStartup::anotherInstanceRunning() {
    instanceLock_ = std::make_unique<InstanceLock>();
    return instanceLock_->anotherInstanceRunning();
}

void ApplicationStartup::showMainWindow() {
    if (session_.RunMode == runmode::NewUpdater && session_.UpdaterFile.isEmpty())
        takeUpdaterOffer(session_, loop_);
    mainWindow_ = OpenMainWindow(session_, prompts_, loop_, steps_);
}

void ApplicationStartup::runBackgroundCheck() {
    // The background check (updater-version check, invisible search, notice) plugs in here.
    std::fputs("quorlan-Internet-Update: background check not available in this build\n", stderr);
}

} // namespace upd
