#pragma once

#include "protocol/update_entry.h"

#include <QString>
#include <QStringList>
#include <vector>

// The files the package download leaves in the update directory besides the updates themselves.
// Both are written in Windows-1252 through a temporary file that replaces the old one only when
// complete, so a failure leaves the previous file as it was.
namespace upd::manifest {

inline constexpr char ManifestFileName[] = "UpdateInfo.xml";
inline constexpr char HardwareFileName[] = "Hardware.xml";
inline constexpr char TermsOfUseFileName[] = "lizenz.txt";

// The manifest's text: "<updates>", each entry's XML as serialised, "</updates>", CR LF.
QString manifestText(const std::vector<UpdateEntry>& entries);

// Writes "UpdateInfo.xml" in the directory, replacing an older one. Without entries nothing is
// written and an older manifest stays. RuntimeError 75 when the file cannot be written.
void writeManifest(const QString& updateDirectory, const std::vector<UpdateEntry>& entries);

// Appends the hardware elements' XML texts, one after the other, and CR LF to "Hardware.xml" in
// the directory, creating it when missing. Without elements the file is neither created nor
// changed. RuntimeError 75 when the file cannot be read or written.
void appendHardware(const QString& updateDirectory, const QStringList& hardwareXml);

} // namespace upd::manifest
