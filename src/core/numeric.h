#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

// The program's numeric rules, in one place: conversions raise run-time errors (13 for a text that
// is not a number, 6 for a value outside the target type), halves round to the even neighbour.
// Number texts use "." as the decimal point; blanks around the number are allowed, as are a sign
// and an exponent ("1e3", "2.5E-1").
namespace upd::numeric {

// True when the text is a number by the rules above; an empty or blank text is not.
bool isNumeric(QStringView text);

// The value of a numeric text; RuntimeError 13 otherwise.
double toDouble(QStringView text);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

// Conversions to 16- and 32-bit integers: round half to even, RuntimeError 6 on overflow.
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);
std::int16_t toInt16(QStringView text);
std::int32_t toInt32(QStringView text);

} // namespace upd::numeric
