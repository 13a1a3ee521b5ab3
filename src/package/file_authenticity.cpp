#include "package/file_authenticity.h"

#include "core/sha256.h"

namespace upd {

std::optional<NotGenuine> checkFileContent(const QString& path, const FileChecksum& checksum) {
    const std::optional<FileDigest> digest = digestOfFile(path);
    if (!digest)
        return NotGenuine::FileMissing;
    if (digest->size != checksum.size || digest->sha256 != checksum.sha256)
        return NotGenuine::FileChanged;
    return std::nullopt;
}

} // namespace upd
