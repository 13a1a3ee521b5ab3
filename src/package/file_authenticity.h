#pragma once

#include "protocol/authenticity.h"

#include <QString>
#include <optional>

namespace upd {

// Whether the file holds exactly the bytes the checksum names: nothing when it does, FileMissing
// when it cannot be read, FileChanged when its size or digest differs.
std::optional<NotGenuine> checkFileContent(const QString& path, const FileChecksum& checksum);

} // namespace upd
