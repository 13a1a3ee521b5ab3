#pragma once

#include "core/session.h"

#include <QString>

namespace upd {

// The program's own replacement of characters in query values, used instead of URL encoding.
// Mode 1: German umlauts; 2: "ß", "+", "'"; 3: "&"; 4: mode 1 then mode 2; other modes give "".
QString EncodeQueryText(const QString& text, int mode);

// Data query modes (MODUS).
namespace querymode {
inline constexpr int Search = 0;
inline constexpr int InformationPage = 1;
inline constexpr int Download = 2;
} // namespace querymode

// The encoded parameter string of "update.aspx" for the version (with ".") the search runs with.
QString BuildProgramQuery(const Session& session, const QString& version);

// The encoded parameter string of "dataupdate.aspx" and "dataupdateframe.aspx".
QString BuildDataQuery(const Session& session, const QString& version, int queryMode);

// The whole addresses of the two queries on the session's server, with the "#" the program
// appends.
QString ProgramQueryAddress(const Session& session, const QString& version);
QString DataQueryAddress(const Session& session, const QString& version, int queryMode);

} // namespace upd
