#include "platform/host_window.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace upd {
namespace {

// Only a single other process may be named: 0, -1 and negative numbers would signal whole
// process groups, 1 is the system's init, and our own id would end the updater itself.
bool namesAnotherProcess(std::int32_t pid) {
    return pid > 1 && pid != static_cast<std::int32_t>(::getpid());
}

// A zombie has ended; only its parent has not collected its exit code yet.
bool isZombie(std::int32_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.read(512);
    // "pid (name) S ...": the state follows the last ")", since the name may hold one.
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() && line.at(close + 2) == 'Z';
}

} // namespace

void requestHostClose(std::int32_t hwnd) {
    if (namesAnotherProcess(hwnd))
        ::kill(static_cast<pid_t>(hwnd), SIGTERM);
}

bool hostWindowExists(std::int32_t hwnd) {
    if (!namesAnotherProcess(hwnd))
        return false;
    if (::kill(static_cast<pid_t>(hwnd), 0) != 0 && errno != EPERM)
        return false;
    return !isZombie(hwnd);
}

} // namespace upd
