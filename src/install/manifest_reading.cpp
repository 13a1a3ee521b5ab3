#include "install/manifest_reading.h"

#include "core/ansi_text_file.h"
#include "platform/file_helpers.h"

namespace upd::installation {

ManifestReading readManifest(const UpdateDirectory& directory, XmlDocument& document) {
    ManifestReading reading;
    if (!Fexist(directory.manifest())) {
        reading.status = ManifestReading::Status::Missing;
        return reading;
    }
    if (!document.loadXml(ansi_text_file::readWhole(directory.manifest()))) {
        reading.status = ManifestReading::Status::NotXml;
        return reading;
    }
    reading.entries = readManifestEntries(document.firstChild());
    return reading;
}

std::optional<QString> readTermsOfUse(const UpdateDirectory& directory) {
    if (!Fexist(directory.termsOfUse()))
        return std::nullopt;
    return ansi_text_file::readWhole(directory.termsOfUse());
}

} // namespace upd::installation
