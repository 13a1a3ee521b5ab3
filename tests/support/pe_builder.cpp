#include "support/pe_builder.h"

#include <QFile>
#include <stdexcept>

namespace upd::test {
namespace {

class Writer {
public:
    explicit Writer(int size) : bytes_(size, '\0') {}
    void u16(int offset, std::uint32_t value) { put(offset, value, 2); }
    void u32(int offset, std::uint32_t value) { put(offset, value, 4); }
    void text(int offset, const char* ascii) {
        for (int i = 0; ascii[i]; ++i)
            bytes_[offset + i] = ascii[i];
    }
    void wide(int offset, const char* ascii) {
        for (int i = 0; ascii[i]; ++i)
            u16(offset + 2 * i, static_cast<unsigned char>(ascii[i]));
    }
    const QByteArray& bytes() const { return bytes_; }

private:
    void put(int offset, std::uint32_t value, int length) {
        for (int i = 0; i < length; ++i)
            bytes_[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    QByteArray bytes_;
};

} // namespace

void writePeFile(const QString& path, const PeFileOptions& options) {
    constexpr int PeHeader = 0x40;
    constexpr int RawData = 0x200;
    constexpr std::uint32_t SectionRva = 0x1000;
    constexpr std::uint32_t Subdirectory = 0x80000000;
    Writer w(RawData + 0x200);

    w.text(0, "MZ");
    w.u32(0x3C, PeHeader);
    w.text(PeHeader, "PE");
    const int coff = PeHeader + 4;
    const int optionalSize = options.pe32Plus ? 240 : 224;
    w.u16(coff, options.pe32Plus ? 0x8664 : 0x14C);
    w.u16(coff + 2, 1); // one section
    w.u16(coff + 16, optionalSize);
    w.u16(coff + 18, 0x0102);
    const int optional = coff + 20;
    w.u16(optional, options.pe32Plus ? 0x20B : 0x10B);
    const int directoryCount = optional + (options.pe32Plus ? 108 : 92);
    w.u32(directoryCount, 16);
    constexpr std::uint32_t ResourceSize = 0x58 + 92;
    w.u32(directoryCount + 4 + 2 * 8, SectionRva);
    w.u32(directoryCount + 4 + 2 * 8 + 4, ResourceSize);

    const int section = optional + optionalSize;
    w.text(section, ".rsrc");
    w.u32(section + 8, ResourceSize);
    w.u32(section + 12, SectionRva);
    w.u32(section + 16, 0x200);
    w.u32(section + 20, RawData);

    // Resource tree: type -> name 1 -> language 0x409 -> data entry.
    const int r = RawData;
    w.u16(r + 14, 1);
    w.u32(r + 16, options.withVersionResource ? 16 : 3);
    w.u32(r + 20, 0x18 | Subdirectory);
    w.u16(r + 0x18 + 14, 1);
    w.u32(r + 0x18 + 16, 1);
    w.u32(r + 0x18 + 20, 0x30 | Subdirectory);
    w.u16(r + 0x30 + 14, 1);
    w.u32(r + 0x30 + 16, 0x409);
    w.u32(r + 0x30 + 20, 0x48);
    w.u32(r + 0x48, SectionRva + 0x58);
    w.u32(r + 0x48 + 4, 92);

    // VS_VERSIONINFO with its fixed file information.
    const int v = r + 0x58;
    w.u16(v, 92);
    w.u16(v + 2, 52);
    w.wide(v + 6, "VS_VERSION_INFO");
    const int fixed = v + 40;
    w.u32(fixed, 0xFEEF04BD);
    w.u32(fixed + 4, 0x00010000);
    w.u32(fixed + 8, options.fileVersionMS);
    w.u32(fixed + 12, options.fileVersionLS);
    w.u32(fixed + 16, options.fileVersionMS);
    w.u32(fixed + 20, options.fileVersionLS);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(w.bytes()) != w.bytes().size())
        throw std::runtime_error("cannot write the PE file");
}

} // namespace upd::test
