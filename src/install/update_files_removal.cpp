#include "install/update_files_removal.h"

#include "install/setup_program.h"
#include "platform/file_helpers.h"

#include <QDir>
#include <QFileInfo>

namespace upd::installation {
namespace {

// A sub-directory with everything in it; a link in its place goes, but never what it points to.
void removeTree(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isDir())
        removeFile(path);
    else
        QDir(path).removeRecursively();
}

} // namespace

void removeUpdateFiles(const UpdateDirectory& directory, const std::vector<UpdateEntry>& entries) {
    removeFile(directory.manifest());
    removeFile(directory.termsOfUse());
    removeFile(directory.hardwareList());
    for (const UpdateEntry& entry : entries) {
        if (hasSafeVersion(entry))
            removeTree(directory.entryDirectory(entry));
    }
    // Removes the directory only when it is empty now.
    QDir().rmdir(directory.path());
}

} // namespace upd::installation
