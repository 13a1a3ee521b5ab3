#include "platform/command_line.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace upd {

#ifdef Q_OS_WIN
QString commandLineText(const QStringList&) {
    // Skip the program's own name, quoted or not, and the blanks after it.
    const QString line = QString::fromWCharArray(GetCommandLineW());
    qsizetype i = 0;
    if (line.startsWith(u'"')) {
        i = line.indexOf(u'"', 1);
        i = i < 0 ? line.size() : i + 1;
    } else {
        while (i < line.size() && line[i] != u' ' && line[i] != u'\t')
            ++i;
    }
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
        ++i;
    return line.mid(i);
}
#else
QString commandLineText(const QStringList& arguments) {
    return arguments.mid(1).join(u' ');
}
#endif

} // namespace upd
