#pragma once

#include <QString>
#include <cstdint>

namespace upd {

// A number with at least one integer digit and exactly one decimal, with the user's decimal
// separator and no thousands separator ("###0.0": 1234.56 -> "1234,6" in German).
QString formatOneDecimal(double value);

// The remaining-time text: "geschätzte Restzeit: 2 Minuten 5 Sekunden". There is no hour unit.
QString ConvSeconds(std::int32_t seconds);

// The remaining-time text when the size of the transfer is not known.
inline const QString UnknownRemainingTime = QStringLiteral("geschätzte Restzeit: unbekannt");

} // namespace upd
