#include "platform/command_line.h"

namespace upd {

QString commandLineText(const QStringList& arguments) {
    // The words after the program's name, joined by single blanks: the host's string for the usual
    // case of blanks inside values.
    return arguments.mid(1).join(u' ');
}

} // namespace upd
