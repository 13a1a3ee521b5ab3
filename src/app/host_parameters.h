#pragma once

#include "core/prompts.h"
#include "core/session.h"
#include "install/restart_protocol.h"
#include "platform/settings_store.h"

#include <QString>

namespace upd {

struct ParseOutcome {
    // False when the command line was malformed: its message was shown and the program ends.
    bool proceed = false;
    // The parameter string that was taken back from the settings store by the restart form; empty
    // otherwise.
    QString restoredFromStore;
};

// Turns the host's parameter string ("key=value#key=value...") into the session's host values and
// run mode. The restart form "START=7" takes the real string from the settings store and deletes
// it there. Malformed command lines are reported with their fatal message; run-time errors (an
// empty item, a non-numeric Hwnd or START) are raised as RuntimeError for the start-up trap.
ParseOutcome ParseHostParameters(Session& session, const QString& commandLine, SettingsStore& store,
                                 Prompts& prompts);

} // namespace upd
