#include "core/numeric.h"
#include "core/runtime_error.h"

#include <gtest/gtest.h>

namespace upd {
namespace {

TEST(Numeric, NumericTestAcceptsBlanksSignsAndExponents) {
    for (const char* text : {" 12 ", "-3", "+3", ".5", "5.", "2.5E-1", "1D2"})
        EXPECT_TRUE(numeric::isNumeric(QString::fromLatin1(text))) << text;
    for (const char* text : {"", "-", ".", "e3", "1e", "1.2.3", "1 2", "0x10", "1,5"})
        EXPECT_FALSE(numeric::isNumeric(QString::fromLatin1(text))) << text;
}

// What toInt16 and toInt32 make of a text: halves round to the even neighbour ("32767.5" up to the
// overflowing 32768), text that is no number is a type mismatch.
TEST(Numeric, ConversionsRoundHalvesToEvenAndRaiseAtTheTypeLimits) {
    const auto outcome = [](bool wide, const char* text) -> std::string {
        const QString number = QString::fromLatin1(text);
        try {
            return std::to_string(wide ? numeric::toInt32(number) : numeric::toInt16(number));
        } catch (const RuntimeError& error) {
            return error.number() == errnum::Overflow       ? "overflow"
                   : error.number() == errnum::TypeMismatch ? "mismatch"
                                                            : std::to_string(error.number());
        }
    };
    const char* const cases[][3] = {
        {"2.5", "2", "2"},
        {"3.5", "4", "4"},
        {"-2.5", "-2", "-2"},
        {"2.51", "3", "3"},
        {"32767", "32767", "32767"},
        {"-32768", "-32768", "-32768"},
        {"32767.5", "overflow", "32768"},
        {"-32769", "overflow", "-32769"},
        {"2147483647", "overflow", "2147483647"},
        {"2147483648", "overflow", "overflow"},
        {"abc", "mismatch", "mismatch"},
    };
    for (const auto& [text, int16, int32] : cases) {
        EXPECT_EQ(outcome(false, text), int16) << text;
        EXPECT_EQ(outcome(true, text), int32) << text;
    }
}

} // namespace
} // namespace upd
