#pragma once

#include "core/session.h"
#include "protocol/trusted_keys.h"
#include "protocol/update_entry.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Whether what arrived is what the maker signed. Every check answers nothing when there is
// nothing to object to, and always nothing when the keys are not enforced (an empty setting): then
// the updater works as before signed updates.
namespace upd {

// Why something is not a genuine update of the maker.
enum class NotGenuine {
    SignatureMissing, // no signature, or no size and digest for a file
    SignatureWrong,   // a signature, but not a trusted key's over these values
    FileMissing,      // a signed file is not there or cannot be read
    FileChanged,      // a file's size or digest differs from the signed ones
    Unsigned,         // the setup program is none of the signed files
};

// An entry of a program-update answer or of the manifest, for the product `product`.
std::optional<NotGenuine> checkEntrySignature(const TrustedKeys& keys, const QString& product,
                                              const UpdateEntry& entry);

// The newer updater as the updater-information page announced it.
std::optional<NotGenuine> checkUpdaterSignature(const TrustedKeys& keys, const QString& version,
                                                const QString& file, const UpdaterSeal& seal);

// A data payload's exact bytes with the signature from its response header, for the product and
// database version the request named.
std::optional<NotGenuine> checkPayloadSignature(const TrustedKeys& keys, const QString& product,
                                                const QString& databaseVersion,
                                                const QByteArray& body, const QString& signature);

} // namespace upd
