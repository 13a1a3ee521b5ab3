#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace upd {

// The fixed part of a program file's version information (VS_FIXEDFILEINFO).
struct FixedFileInfo {
    std::uint32_t signature = 0;
    std::uint32_t structVersion = 0;
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
    std::uint32_t fileFlagsMask = 0;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    std::uint32_t fileDateMS = 0;
    std::uint32_t fileDateLS = 0;
};

// Reads the fixed version information of a Windows program file (PE32 or PE32+) on any platform.
// Nothing for a missing file, a file that is not a PE file, or one without version information.
std::optional<FixedFileInfo> readFixedFileInfo(const QString& path);
// The same for the bytes of such a file.
std::optional<FixedFileInfo> readFixedFileInfoOfImage(const QByteArray& fileBytes);

} // namespace upd
