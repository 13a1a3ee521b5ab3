#pragma once

#include <QString>

namespace upd {

// Sets `version` to the version assumed for a product whose host passed no ExeVers and returns
// true; for an unknown product code (codes are case-sensitive) sets "" and returns false.
bool GetProductBaseVersion(const QString& productCode, QString& version);

} // namespace upd
