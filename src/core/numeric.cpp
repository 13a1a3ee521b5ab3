#include "core/numeric.h"

#include "core/runtime_error.h"

#include <cmath>
#include <limits>
#include <optional>

namespace upd::numeric {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Accepts: blanks, sign, digits with at most one ".", at least one digit, an optional exponent
// [eEdD][+-]digits, blanks.
std::optional<double> parse(QStringView text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    QString normalized;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        normalized += text[i++];
    bool anyDigit = false;
    bool seenPoint = false;
    for (; i < n; ++i) {
        if (isDigit(text[i])) {
            anyDigit = true;
        } else if (text[i] == u'.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        normalized += text[i];
    }
    if (!anyDigit)
        return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        normalized += u'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            normalized += text[i++];
        bool exponentDigit = false;
        for (; i < n && isDigit(text[i]); ++i) {
            normalized += text[i];
            exponentDigit = true;
        }
        if (!exponentDigit)
            return std::nullopt;
    }
    while (i < n && isBlank(text[i]))
        ++i;
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double value = normalized.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

template <typename Int> Int toInteger(double value) {
    const double rounded = roundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < double(std::numeric_limits<Int>::min()) ||
        rounded > double(std::numeric_limits<Int>::max()))
        throw RuntimeError(errnum::Overflow);
    return static_cast<Int>(rounded);
}

} // namespace

bool isNumeric(QStringView text) {
    return parse(text).has_value();
}

double toDouble(QStringView text) {
    const auto value = parse(text);
    if (!value)
        throw RuntimeError(errnum::TypeMismatch);
    return *value;
}

double roundHalfEven(double value) {
    return std::nearbyint(value);
}

std::int16_t toInt16(double value) {
    return toInteger<std::int16_t>(value);
}
std::int32_t toInt32(double value) {
    return toInteger<std::int32_t>(value);
}
std::int16_t toInt16(QStringView text) {
    return toInt16(toDouble(text));
}
std::int32_t toInt32(QStringView text) {
    return toInt32(toDouble(text));
}

} // namespace upd::numeric
