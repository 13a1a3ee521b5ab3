#pragma once

#include "protocol/authenticity.h"

#include <QString>

namespace upd {

// What the user reads when something is not a genuine update of the maker: which file, and why.
// The caller adds what follows from it (deleted, not installed, nothing taken over).
QString notGenuineFileText(const QString& file, NotGenuine why);

// What follows when a new updater is refused.
inline const QString KeptUpdaterText = QStringLiteral("Das bisherige Programm bleibt erhalten.");

// The same for a data payload, which has no file name of its own.
QString notGenuineDataText(NotGenuine why);

} // namespace upd
