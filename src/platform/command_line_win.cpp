#include "platform/command_line.h"

#include <windows.h>

namespace upd {

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

} // namespace upd
