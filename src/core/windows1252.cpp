#include "core/windows1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace upd::windows1252 {
namespace {

// 0x80..0x9F; every other byte is the Latin-1 character of the same value. Unassigned bytes
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value, as the platform does.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Each byte's character as UTF-8: one byte below 0x80, two or three above.
struct Utf8Sequence {
    std::uint8_t size;
    std::array<char, 3> bytes;
};

constexpr std::array<Utf8Sequence, 256> Utf8Sequences = [] {
    std::array<Utf8Sequence, 256> sequences{};
    for (unsigned b = 0; b < 256; ++b) {
        const char16_t c = b >= 0x80 && b < 0xA0 ? HighControls[b - 0x80] : char16_t(b);
        Utf8Sequence& sequence = sequences[b];
        if (c < 0x80) {
            sequence = {1, {char(c), 0, 0}};
        } else if (c < 0x800) {
            sequence = {2, {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F)), 0}};
        } else {
            sequence = {
                3,
                {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))}};
        }
    }
    return sequences;
}();

char toByte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QString decode(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text += QChar(b >= 0x80 && b < 0xA0 ? HighControls[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray toUtf8(QByteArrayView bytes) {
    // Sized exactly first: a payload of many megabytes is not grown step by step.
    qsizetype size = 0;
    for (const char byte : bytes)
        size += Utf8Sequences[static_cast<unsigned char>(byte)].size;
    QByteArray utf8(size, Qt::Uninitialized);
    char* out = utf8.data();
    for (const char byte : bytes) {
        const Utf8Sequence& sequence = Utf8Sequences[static_cast<unsigned char>(byte)];
        std::memcpy(out, sequence.bytes.data(), sequence.size);
        out += sequence.size;
    }
    return utf8;
}

QByteArray encode(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A surrogate pair is one character that the code page cannot hold.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes += c.isSurrogate() ? '?' : toByte(c.unicode());
    }
    return bytes;
}

} // namespace upd::windows1252
