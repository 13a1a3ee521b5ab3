#pragma once

#include "core/event_loop.h"
#include "install/update_directory.h"
#include "platform/settings_store.h"

#include <QStringList>

namespace upd::installation {

// How an update's setup program is started: the program in the entry's directory, with the host's
// directory as its only argument unless the entry says it takes none.
struct SetupCommand {
    QString program;
    QStringList arguments;
};
SetupCommand setupCommand(const UpdateDirectory& directory, const UpdateEntry& entry,
                          const QString& hostDirectory);

// True when the entry's version and setup program name a sub-directory and a file in it: a name
// from the manifest never reaches beyond the update directory.
bool hasSafeVersion(const UpdateEntry& entry);
bool hasSafeStartFile(const UpdateEntry& entry);

// Runs the setup and waits for its end while the event loop runs; its exit code says nothing the
// run relies on. Raises RuntimeError 53 when it cannot be started.
void runSetup(const SetupCommand& command, EventLoop& loop);

// The flag the setup programs keep in the host's settings (section "UpdateSetup", key "Working")
// while they work: still set after a setup means that setup did not complete.
bool setupLeftWorkingFlag(const SettingsStore& store, const QString& hostApplication);

} // namespace upd::installation
