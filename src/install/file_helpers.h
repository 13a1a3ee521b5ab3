#pragma once

#include "core/event_loop.h"
#include "core/prompts.h"

#include <QString>
#include <cstdint>

namespace upd {

// True when a listing of the path (wildcards "*" and "?" allowed in its last part) finds at least
// one file; hidden files and directories do not count. Any error gives false.
bool Fexist(const QString& path);

// Deletes the file (or the files the pattern matches), read-only ones too. True when nothing is
// left to delete, also when there was nothing; otherwise tells the user which file cannot be
// deleted and reports false.
bool KillFile(const QString& path, Prompts& prompts);

// Deletes every file in the directory; sub-directories and their content stay. True when no file
// is left.
bool KillDir(const QString& directory, Prompts& prompts);

// Starts the command line and waits for its end, letting the event loop run between the polls
// when `yieldWhileWaiting` is set; returns the program's exit code. The window style is the
// platform's show-window value where it has one. Raises RuntimeError when the program cannot be
// started.
std::int32_t ShellX(const QString& commandLine, std::int32_t windowStyle, bool yieldWhileWaiting,
                    EventLoop& loop);

} // namespace upd
