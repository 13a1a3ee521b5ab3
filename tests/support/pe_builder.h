#pragma once

#include <QString>
#include <cstdint>

namespace upd::test {

// Writes a small but well-formed Windows program file (PE32 or PE32+) whose resources hold a
// version resource with the given file version words, as a resource compiler lays it out.
struct PeFileOptions {
    bool pe32Plus = false;
    bool withVersionResource = true; // otherwise the resources hold only an icon entry
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
};

void writePeFile(const QString& path, const PeFileOptions& options);

} // namespace upd::test
