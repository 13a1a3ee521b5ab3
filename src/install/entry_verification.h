#pragma once

#include "core/deployment_settings.h"
#include "install/update_directory.h"
#include "protocol/authenticity.h"

#include <QString>
#include <optional>

namespace upd::installation {

// Why an entry of the update directory may not run, and the file concerned.
struct EntryObjection {
    NotGenuine why = NotGenuine::SignatureMissing;
    QString file;
};

// The check right before an entry's setup program runs; an offline copy may have been changed
// since its download. With enforced keys: the entry's signature over its values, every file's
// size and digest, the files unpacked from its archive against the archive, and the setup program
// one of the files checked. Nothing when the setup may run. Reads only; writes nothing.
std::optional<EntryObjection> verifyEntryBeforeSetup(const UpdateDirectory& directory,
                                                     const UpdateEntry& entry,
                                                     const TrustedKeys& keys,
                                                     const QString& product,
                                                     const DeploymentSettings& deployment);

} // namespace upd::installation
