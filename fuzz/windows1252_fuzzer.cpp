// The code page of the program's text files, both ways.

#include "core/windows1252.h"
#include "fuzz_check.h"

#include <QList>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // Every byte has a character, and that character its byte.
    const QString text = upd::windows1252::decode(bytes);
    FUZZ_CHECK(text.size() == bytes.size());
    FUZZ_CHECK(upd::windows1252::encode(text) == bytes);
    // Any text becomes one byte per character ("?" where the code page has none).
    const QString any = QString::fromUtf8(bytes);
    FUZZ_CHECK(upd::windows1252::encode(any).size() == any.toUcs4().size());
    return 0;
}
