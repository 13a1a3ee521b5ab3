#include "install/update_directory.h"

#include "package/manifest_writer.h"

#include <QDir>

namespace upd::installation {
namespace {

QString inDirectory(const QString& directory, const QString& name) {
    return directory + QDir::separator() + name;
}

} // namespace

UpdateDirectory UpdateDirectory::ofHost(const QString& hostDirectory) {
    return UpdateDirectory(inDirectory(hostDirectory, QStringLiteral("Updates")));
}

QString UpdateDirectory::manifest() const {
    return inDirectory(path_, QString::fromLatin1(manifest::ManifestFileName));
}

QString UpdateDirectory::termsOfUse() const {
    return inDirectory(path_, QString::fromLatin1(manifest::TermsOfUseFileName));
}

QString UpdateDirectory::hardwareList() const {
    return inDirectory(path_, QString::fromLatin1(manifest::HardwareFileName));
}

QString UpdateDirectory::entryDirectory(const UpdateEntry& entry) const {
    return inDirectory(path_, entry.version);
}

} // namespace upd::installation
