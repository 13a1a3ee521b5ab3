#pragma once

#include <QString>
#include <QStringList>

namespace upd {

// The command-line text after the program's own name, as the host passed it. Windows hands over
// the raw text; POSIX systems hand over words, which are joined again with single blanks.
QString commandLineText(const QStringList& arguments);

} // namespace upd
