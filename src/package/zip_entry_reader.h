#pragma once

#include "package/zip_extraction.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <memory>
#include <zip.h>

namespace upd {

// A failure while unpacking; the extraction turns it into its outcome.
struct ExtractionFailure {
    ExtractionResult result;
    QString detail;
    QString entry = {};
};

// The content of one archive entry, decrypted, decompressed and verified.
class ZipEntryReader {
public:
    virtual ~ZipEntryReader() = default;

    // Opens entry `index` for reading; `password` (empty: none) is used for encrypted entries.
    // Throws ExtractionFailure.
    static std::unique_ptr<ZipEntryReader> open(zip_t* archive, zip_uint64_t index,
                                                const QByteArray& password);

    // Up to `size` bytes of the content. 0 only once the whole content has been read and its
    // length and CRC or authentication code have been checked: call until then. Throws
    // ExtractionFailure.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

} // namespace upd
