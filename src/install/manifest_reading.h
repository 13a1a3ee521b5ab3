#pragma once

#include "core/xml_document.h"
#include "install/update_directory.h"

#include <optional>
#include <vector>

namespace upd::installation {

// The manifest of an update directory, read for an installation run.
struct ManifestReading {
    enum class Status { Read, Missing, NotXml };
    Status status = Status::Read;
    std::vector<UpdateEntry> entries; // in document order
};

// Loads the manifest whole into the document, which keeps it for the run, and reads its entries:
// the update elements among the children of the document's first node. Raises RuntimeError when
// the file cannot be read or is longer than a text the program reads whole, and when an entry
// lacks an element or holds a Boolean that is none.
ManifestReading readManifest(const UpdateDirectory& directory, XmlDocument& document);

// The terms of use to be accepted, or nullopt when the directory has none. Raises RuntimeError
// like readManifest for a file that cannot be read whole.
std::optional<QString> readTermsOfUse(const UpdateDirectory& directory);

} // namespace upd::installation
