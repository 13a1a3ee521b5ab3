#include "updateserver/password_encoder.h"

#include "protocol/archive_password.h"

namespace upd::server {
namespace {

std::int64_t pieceValue(const QString& key, int position, int length) {
    std::int64_t value = 0;
    for (const QChar c : QStringView(key).mid(position - 1, length))
        value = value * 10 + (c.unicode() - u'0');
    return value;
}

} // namespace

std::optional<QString> EncodeArchivePassword(const DeploymentSettings& deployment,
                                             std::int16_t password, std::uint32_t variant) {
    QString key;
    std::int32_t errorNumber = 0;
    if (!BuildPasswordKey(deployment, key, errorNumber))
        return std::nullopt;

    // Pieces of 3 to 7 digits at two different positions between 1 and 99; with at most 7 digits
    // the base number stays far inside the 32-bit range the decoder accepts.
    const int length = 3 + static_cast<int>(variant % 5);
    const int position1 = 1 + static_cast<int>((variant / 5) % 99);
    int position2 = 1 + static_cast<int>((variant / 495) % 99);
    if (position2 == position1)
        position2 = position1 % 99 + 1;

    // The decoder computes N + S1 - S2.
    const std::int64_t base =
        password - pieceValue(key, position1, length) + pieceValue(key, position2, length);
    return QString::number(base) + QString::number(length) +
           QStringLiteral("%1").arg(position1, 2, 10, QChar(u'0')) +
           QStringLiteral("%1").arg(position2, 2, 10, QChar(u'0'));
}

std::uint32_t passwordVariant(std::string_view product, std::string_view version) {
    // FNV-1a over "product/version".
    std::uint32_t hash = 2166136261u;
    const auto mix = [&hash](std::string_view text) {
        for (const char c : text) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 16777619u;
        }
    };
    mix(product);
    mix("/");
    mix(version);
    return hash;
}

} // namespace upd::server
