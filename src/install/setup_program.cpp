#include "install/setup_program.h"

#include "package/safe_names.h"
#include "platform/file_helpers.h"

#include <QDir>

namespace upd::installation {
namespace {

// The platform's show-window value for a normal window with the focus.
constexpr std::int32_t NormalWindowWithFocus = 1;

} // namespace

SetupCommand setupCommand(const UpdateDirectory& directory, const UpdateEntry& entry,
                          const QString& hostDirectory) {
    SetupCommand command;
    command.program = directory.entryDirectory(entry) + QDir::separator() + entry.startFile;
    if (!entry.noStartupArgs)
        command.arguments = {hostDirectory};
    return command;
}

bool hasSafeVersion(const UpdateEntry& entry) {
    return safe_names::isSafeName(entry.version);
}

bool hasSafeStartFile(const UpdateEntry& entry) {
    return safe_names::isSafeName(entry.startFile);
}

void runSetup(const SetupCommand& command, EventLoop& loop) {
    ShellX(command.program, command.arguments, NormalWindowWithFocus, true, loop);
}

bool setupLeftWorkingFlag(const SettingsStore& store, const QString& hostApplication) {
    return !store.read(hostApplication, QStringLiteral("UpdateSetup"), QStringLiteral("Working"))
                .isEmpty();
}

} // namespace upd::installation
