// The fixed version information of a program file, read from whatever file lies there.

#include "core/file_version_resource.h"
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray image(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto info = upd::readFixedFileInfoOfImage(image))
        FUZZ_CHECK(info->signature == 0xFEEF04BD);
    return 0;
}
