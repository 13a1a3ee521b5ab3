#include "protocol/wire_address.h"

#include "core/windows1252.h"

namespace upd::wire_address {
namespace {

bool passesAsIs(unsigned char byte) {
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9'))
        return true;
    switch (byte) {
    case '-':
    case '.':
    case '_':
    case '~':
    case '&':
    case '=':
    case '?':
    case '/':
    case ':':
    case ',':
    case ';':
    case '@':
    case '!':
    case '$':
    case '(':
    case ')':
    case '*':
    case '+':
    case '\'':
        return true;
    default:
        return false;
    }
}

} // namespace

QByteArray encode(const QString& address) {
    // Only the "#" goes: a blank before it may end the last value and is data.
    return encodeParameters(address.endsWith(u'#') ? address.chopped(1) : address);
}

QByteArray encodeParameters(const QString& parameters) {
    const QByteArray bytes = windows1252::encode(parameters);
    QByteArray wire;
    wire.reserve(bytes.size());
    static constexpr char Hex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (passesAsIs(byte)) {
            wire += c;
        } else {
            wire += '%';
            wire += Hex[byte >> 4];
            wire += Hex[byte & 0x0F];
        }
    }
    return wire;
}

} // namespace upd::wire_address
