#pragma once

#include "core/event_loop.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace upd {

// True when a listing of the path (wildcards "*" and "?" allowed in its last part) finds at least
// one file; hidden files and directories do not count. Any error gives false.
bool Fexist(const QString& path);

// What a deletion left behind: nothing, or the first file that could not be deleted.
struct Deletion {
    bool done = true;
    QString undeletableFile; // empty when done, or when there was no directory to empty

    explicit operator bool() const { return done; }
};

// Deletes exactly this file (read-only too, a symbolic link but not its target). True when no
// file of that name is left, also when there was none; false for a directory. A name is never
// read as a pattern.
bool removeFile(const QString& path);

// Deletes the file (or the files the pattern matches), read-only ones too. Done when nothing is
// left to delete, also when there was nothing. The caller tells the user about a file that stayed.
Deletion KillFile(const QString& path);

// Deletes every file in the directory; sub-directories and their content stay. Done when no file
// is left; not done when the directory does not exist.
Deletion KillDir(const QString& directory);

// Starts the program with its arguments, each passed as it is (never through a shell, so blanks
// in paths need no quoting), and waits for its end, letting the event loop run between the polls
// when `yieldWhileWaiting` is set; returns the program's exit code. The window style is the
// platform's show-window value where it has one. Raises RuntimeError 53 when the program cannot be
// started.
std::int32_t ShellX(const QString& program, const QStringList& arguments, std::int32_t windowStyle,
                    bool yieldWhileWaiting, EventLoop& loop);

} // namespace upd
