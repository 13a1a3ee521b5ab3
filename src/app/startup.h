#pragma once

#include "core/event_loop.h"
#include "core/prompts.h"
#include "core/session.h"
#include "platform/settings_store.h"

#include <QString>

namespace upd {

// What start-up hands on to the rest of the program once the run mode is known. The entry point
// implements it with the real windows and the background check.
class StartupActions {
public:
    virtual ~StartupActions() = default;

    virtual bool isInternetReachable() = 0;
    // Every run mode but 5: show the main window; the program lives while it is open.
    virtual void showMainWindow() = 0;
    // The previous-instance test of the background mode: any other instance, interactive ones
    // included.
    virtual bool anotherInstanceRunning() = 0;
    // The background mode's steps: true when the server offers a newer updater (its path,
    // version and file then are in the session); the invisible search (1 program updates, 2 data
    // updates, 0 nothing); the pop-up notice of a kind (wizard/update_notice.h).
    virtual bool CheckUpdaterVersion() = 0;
    virtual std::int16_t RunBackgroundCheck() = 0;
    virtual void ShowUpdateNotice(int kind) = 0;
};

// How start-up ended.
enum class StartupResult {
    NoConnection,     // ended silently
    MalformedCommand, // the parser showed its fatal message
    RuntimeError,     // the trap showed "UNEXPECTED SYSEM ERROR: ..." (not in run mode 5)
    WindowShown,
    AlreadyRunning, // run mode 5 while another instance runs: ended silently
    NoticeShown,    // run mode 5: the pop-up is open
    NothingFound,   // run mode 5: nothing to tell, the program ends
};

// The program's start-up routine.
StartupResult Main(Session& session, const QString& commandLine, SettingsStore& store,
                   Prompts& prompts, StartupActions& actions);

} // namespace upd
