#include "core/file_version_resource.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <vector>

namespace upd {
namespace {

constexpr std::uint32_t FixedFileInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t VersionResourceType = 16; // RT_VERSION
constexpr std::uint32_t SubdirectoryFlag = 0x80000000;
constexpr std::size_t FixedFileInfoSize = 13 * 4;

// Bounds-checked little-endian reads from the file's bytes.
class Bytes {
public:
    explicit Bytes(QByteArray data) : data_(std::move(data)) {}

    bool has(std::uint64_t offset, std::uint64_t length) const {
        return offset <= std::uint64_t(data_.size()) &&
               length <= std::uint64_t(data_.size()) - offset;
    }
    std::optional<std::uint32_t> u16(std::uint64_t offset) const { return read(offset, 2); }
    std::optional<std::uint32_t> u32(std::uint64_t offset) const { return read(offset, 4); }

private:
    std::optional<std::uint32_t> read(std::uint64_t offset, int length) const {
        if (!has(offset, std::uint64_t(length)))
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = length - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(data_[qsizetype(offset) + i]);
        return value;
    }
    QByteArray data_;
};

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t virtualSize;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

class PeImage {
public:
    explicit PeImage(QByteArray data) : bytes_(std::move(data)) {}

    // The file offset and size of the version resource's data, when there is one.
    std::optional<std::pair<std::uint64_t, std::uint32_t>> versionResource() {
        if (!readHeaders())
            return std::nullopt;
        const auto resourceOffset = fileOffset(resourceRva_);
        if (!resourceOffset)
            return std::nullopt;
        // Type RT_VERSION, then the first name, then the first language.
        auto entry = findEntry(*resourceOffset, *resourceOffset, VersionResourceType);
        for (int level = 0; entry && level < 2; ++level) {
            if (!(*entry & SubdirectoryFlag))
                return std::nullopt;
            entry = findEntry(*resourceOffset, *resourceOffset + (*entry & ~SubdirectoryFlag),
                              std::nullopt);
        }
        if (!entry || (*entry & SubdirectoryFlag))
            return std::nullopt;
        const std::uint64_t dataEntry = *resourceOffset + *entry;
        const auto dataRva = bytes_.u32(dataEntry);
        const auto dataSize = bytes_.u32(dataEntry + 4);
        if (!dataRva || !dataSize)
            return std::nullopt;
        const auto dataOffset = fileOffset(*dataRva);
        if (!dataOffset || !bytes_.has(*dataOffset, *dataSize))
            return std::nullopt;
        return std::make_pair(*dataOffset, *dataSize);
    }

    const Bytes& bytes() const { return bytes_; }

private:
    bool readHeaders() {
        if (bytes_.u16(0) != 0x5A4D) // "MZ"
            return false;
        const auto pe = bytes_.u32(0x3C);
        if (!pe || bytes_.u32(*pe) != 0x00004550) // "PE\0\0"
            return false;
        const std::uint64_t coff = *pe + 4;
        const auto sectionCount = bytes_.u16(coff + 2);
        const auto optionalSize = bytes_.u16(coff + 16);
        const std::uint64_t optional = coff + 20;
        const auto magic = bytes_.u16(optional);
        if (!sectionCount || !optionalSize || !magic)
            return false;
        const bool pe32Plus = *magic == 0x20B;
        if (!pe32Plus && *magic != 0x10B)
            return false;
        const std::uint64_t directoryCountOffset = optional + (pe32Plus ? 108 : 92);
        const auto directoryCount = bytes_.u32(directoryCountOffset);
        if (!directoryCount || *directoryCount < 3)
            return false;
        const auto resourceRva = bytes_.u32(directoryCountOffset + 4 + 2 * 8);
        if (!resourceRva || *resourceRva == 0)
            return false;
        resourceRva_ = *resourceRva;
        const std::uint64_t sectionTable = optional + *optionalSize;
        for (std::uint32_t i = 0; i < *sectionCount; ++i) {
            const std::uint64_t s = sectionTable + 40ull * i;
            const auto vsize = bytes_.u32(s + 8), va = bytes_.u32(s + 12),
                       rsize = bytes_.u32(s + 16), roff = bytes_.u32(s + 20);
            if (!vsize || !va || !rsize || !roff)
                return false;
            sections_.push_back({*va, *vsize, *rsize, *roff});
        }
        return true;
    }

    std::optional<std::uint64_t> fileOffset(std::uint32_t rva) const {
        for (const Section& s : sections_) {
            const std::uint32_t extent = std::max(s.virtualSize, s.rawSize);
            if (rva >= s.virtualAddress && rva - s.virtualAddress < extent &&
                rva - s.virtualAddress < s.rawSize)
                return std::uint64_t(s.rawOffset) + (rva - s.virtualAddress);
        }
        return std::nullopt;
    }

    // The OffsetToData of the entry with this id in a resource directory, or of its first entry.
    std::optional<std::uint32_t> findEntry(std::uint64_t resourceBase, std::uint64_t directory,
                                           std::optional<std::uint32_t> id) const {
        const auto named = bytes_.u16(directory + 12);
        const auto ids = bytes_.u16(directory + 14);
        if (!named || !ids || directory < resourceBase)
            return std::nullopt;
        const std::uint32_t count = *named + *ids;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t entry = directory + 16 + 8ull * i;
            const auto name = bytes_.u32(entry);
            const auto offset = bytes_.u32(entry + 4);
            if (!name || !offset)
                return std::nullopt;
            if (!id || (!(*name & SubdirectoryFlag) && *name == *id))
                return offset;
        }
        return std::nullopt;
    }

    Bytes bytes_;
    std::uint32_t resourceRva_ = 0;
    std::vector<Section> sections_;
};

} // namespace

std::optional<FixedFileInfo> readFixedFileInfo(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readFixedFileInfoOfImage(file.readAll());
}

std::optional<FixedFileInfo> readFixedFileInfoOfImage(const QByteArray& fileBytes) {
    PeImage image(fileBytes);
    const auto resource = image.versionResource();
    if (!resource)
        return std::nullopt;
    const auto [offset, size] = *resource;
    const Bytes& bytes = image.bytes();
    // VS_VERSIONINFO: length, value length, type, the key "VS_VERSION_INFO" in UTF-16 with its
    // terminator, padding to 32 bits, then the fixed file information.
    const auto valueLength = bytes.u16(offset + 2);
    constexpr std::uint64_t fixedInfoOffset = (6 + 16 * 2 + 3) & ~std::uint64_t(3);
    if (!valueLength || *valueLength < FixedFileInfoSize ||
        size < fixedInfoOffset + FixedFileInfoSize)
        return std::nullopt;
    std::uint32_t words[13];
    for (int i = 0; i < 13; ++i)
        words[i] = *bytes.u32(offset + fixedInfoOffset + 4ull * i);
    if (words[0] != FixedFileInfoSignature)
        return std::nullopt;
    FixedFileInfo info;
    static_assert(sizeof(FixedFileInfo) == sizeof(words));
    std::memcpy(&info, words, sizeof(words));
    return info;
}

} // namespace upd
