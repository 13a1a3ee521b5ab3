#pragma once

#include "core/deployment_settings.h"

#include <QString>
#include <cstdint>

namespace upd {

// The updater's own version in its three textual forms.
QString DisplayVersion(const ProgramVersion& v);    // "2.1.14": the main window's version line
QString QueryVersion(const ProgramVersion& v);      // "2v1v14": IUVERS in queries
QString FixedWidthVersion(const ProgramVersion& v); // "2.01.0014": the updater-version check

// Versions are compared as text by character codes, never numerically ("3.10.0" < "3.9.0").
bool isVersionGreater(const QString& left, const QString& right);

// Upper 16 bits, 0..65535.
std::uint16_t HiWord(std::uint32_t word);
// Lower 16 bits read as a signed number.
std::int16_t LoWord(std::uint32_t word);

// A program file's version, e.g. "5.01.0000" for 5.1.0.0 and "5.01.02.03" for 5.1.2.3; "" for a
// missing file or one without version information.
QString GetFileVersionString(const QString& path);
// The same with each part as a plain number: "5.1.0", "5.1.2.3"; "" without version information.
QString GetFileVersionDotted(const QString& path);

} // namespace upd
