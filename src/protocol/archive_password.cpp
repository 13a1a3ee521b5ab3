#include "protocol/archive_password.h"

#include <optional>

namespace upd {
namespace {

bool allDigits(QStringView text) {
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// A run of digits as a number; an empty run counts as 0.
std::optional<std::int64_t> digitsValue(QStringView text) {
    if (!allDigits(text) || text.size() > 18)
        return std::nullopt;
    std::int64_t value = 0;
    for (QChar c : text)
        value = value * 10 + (c.unicode() - u'0');
    return value;
}

// The base number: an optional minus sign and digits, inside the signed 32-bit range.
std::optional<std::int64_t> baseNumber(QStringView text) {
    const bool negative = text.startsWith(u'-');
    const QStringView digits = negative ? text.mid(1) : text;
    if (digits.isEmpty())
        return std::nullopt;
    const auto magnitude = digitsValue(digits);
    if (!magnitude)
        return std::nullopt;
    const std::int64_t value = negative ? -*magnitude : *magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return value;
}

} // namespace

bool BuildPasswordKey(const DeploymentSettings& deployment, QString& key,
                      std::int32_t& errorNumber) {
    const QString base =
        deployment.passwordConstant1 + deployment.passwordConstant2 + deployment.passwordConstant3;
    // Start digits come from positions 38 and 39 (1-based); rows of 120 digits start there.
    if (base.size() < 39 || !allDigits(base)) {
        errorNumber = errcode::PasswordKeyError;
        return false;
    }
    const auto startDigit = [&](int position) {
        const int digit = base[position - 1].unicode() - u'0';
        return digit == 0 ? 1 : digit;
    };
    const int a = startDigit(38);
    const int b = startDigit(39);
    if (base.size() < std::max(a, b) - 1 + PasswordKeyLength) {
        errorNumber = errcode::PasswordKeyError;
        return false;
    }
    QString result;
    result.reserve(PasswordKeyLength);
    for (int j = 0; j < PasswordKeyLength; ++j) {
        const int sum = (base[a - 1 + j].unicode() - u'0') + (base[b - 1 + j].unicode() - u'0');
        const int digit = sum % 10;
        result += QChar(u'0' + (digit == 0 ? 1 : digit));
    }
    key = result;
    return true;
}

bool DecodeArchivePassword(const DeploymentSettings& deployment, const QString& coded,
                           std::int16_t& password, std::int32_t& errorNumber) {
    QString key;
    if (!BuildPasswordKey(deployment, key, errorNumber))
        return false;

    const auto fail = [&] {
        errorNumber = errcode::PasswordDecodeError;
        return false;
    };
    const qsizetype n = coded.size();
    if (n < 6)
        return fail();
    const QStringView text(coded);
    const auto base = baseNumber(text.left(n - 5));
    const auto length = digitsValue(text.mid(n - 5, 1));
    const auto position1 = digitsValue(text.mid(n - 4, 2));
    const auto position2 = digitsValue(text.mid(n - 2, 2));
    if (!base || !length || !position1 || !position2 || *position1 == 0 || *position2 == 0)
        return fail();

    const auto piece = [&](std::int64_t position) {
        return *digitsValue(QStringView(key).mid(position - 1, *length));
    };
    const std::int64_t value = *base + piece(*position1) - piece(*position2);
    if (value < INT16_MIN || value > INT16_MAX)
        return fail();
    password = static_cast<std::int16_t>(value);
    return true;
}

} // namespace upd
