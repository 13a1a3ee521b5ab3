#pragma once

#include "core/runtime_error.h"

#include <QSqlError>
#include <QString>

namespace upd::dataupdate {

// Numbers of the database engine's errors, as the hosts' engine numbers them; the description
// is what the installation reports after "modDataUpdate: ".
namespace dberr {
inline constexpr int DuplicateKey = 3022;
inline constexpr int FileNotFound = 3024;
inline constexpr int WorkgroupUnusable = 3028;
inline constexpr int InvalidAccount = 3029;
inline constexpr int DatabaseLocked = 3045;
inline constexpr int TableNotFound = 3078;
inline constexpr int ItemNotFound = 3265;
inline constexpr int FieldRequired = 3314;
inline constexpr int UnrecognizedFormat = 3343;
inline constexpr int ConversionError = 3421;
inline constexpr int DiskError = 3043;
inline constexpr int EngineError = 3146;
} // namespace dberr

// A failed statement, connection or transaction as a run-time error with a German description:
// the engine's own text follows in parentheses for support staff.
RuntimeError engineError(const QSqlError& error);

// The same for a file the engine could not use, naming the file.
RuntimeError databaseFileError(int number, const QString& path);

} // namespace upd::dataupdate
