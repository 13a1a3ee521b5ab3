#pragma once

#include "core/session.h"
#include "core/xml_document.h"

#include <QString>

namespace upd {

// The answer of the updater-information page: the newest updater on the server. Its elements
// count wherever they stand; the first of each name is read.
//
// Writes "version", "path" and "file" in this order and stops at the first one missing; then
// requires "size", a 32-bit number that is not used further. True when all four are there.
// Raises RuntimeError for a "size" that is not a 32-bit number, after the three texts were
// written.
bool readUpdaterAnswer(const XmlDocument& answer, QString& path, QString& version, QString& file);

// The texts of the first "size", "sha256" and "signature" elements; "" for each one missing.
UpdaterSeal readUpdaterSeal(const XmlDocument& answer);

} // namespace upd
