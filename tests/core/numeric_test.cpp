#include "core/numeric.h"
#include "core/runtime_error.h"

#include <gtest/gtest.h>

namespace upd {
namespace {

TEST(Numeric, NumericTestAcceptsBlanksSignsAndExponents) {
    for (const char* text : {"12", " 12", "12 ", "-3", "+3", ".5", "5.", "1e3", "2.5E-1", "1D2"})
        EXPECT_TRUE(numeric::isNumeric(QString::fromLatin1(text))) << text;
    for (const char* text : {"", " ", "-", ".", "e3", "1e", "1.2.3", "12a", "1 2", "0x10", "1,5"})
        EXPECT_FALSE(numeric::isNumeric(QString::fromLatin1(text))) << text;
}

// Halves round to the even neighbour; beyond the type's limits the conversion overflows, text
// that is no number is a type mismatch.
TEST(Numeric, ConversionsRoundHalvesToEvenAndRaiseAtTheTypeLimits) {
    const auto int16 = +[](const char* text) {
        return int(numeric::toInt16(QString::fromLatin1(text)));
    };
    const auto int32 = +[](const char* text) {
        return int(numeric::toInt32(QString::fromLatin1(text)));
    };
    const struct {
        int (*convert)(const char*);
        const char* text;
        int expected; // the value, or the error's number
        bool raises = false;
    } cases[] = {
        {int16, "2.5", 2},
        {int16, "3.5", 4},
        {int16, "-2.5", -2},
        {int16, "2.51", 3},
        {int32, "1e3", 1000},
        {int16, "32767", 32767},
        {int16, "-32768", -32768},
        {int16, "32766.5", 32766},
        {int16, "32767.5", errnum::Overflow, true}, // the half rounds up to the even 32768
        {int16, "32768", errnum::Overflow, true},
        {int16, "-32769", errnum::Overflow, true},
        {int32, "2147483647", 2147483647},
        {int32, "2147483648", errnum::Overflow, true},
        {int16, "", errnum::TypeMismatch, true},
        {int32, "abc", errnum::TypeMismatch, true},
    };
    for (const auto& c : cases) {
        std::pair<int, bool> result;
        try {
            result = {c.convert(c.text), false};
        } catch (const RuntimeError& error) {
            result = {error.number(), true};
        }
        EXPECT_EQ(result, std::pair(c.expected, c.raises)) << c.text;
    }
    EXPECT_EQ(numeric::roundHalfEven(0.5), 0.0);
    EXPECT_EQ(numeric::roundHalfEven(1.5), 2.0);
}

} // namespace
} // namespace upd
