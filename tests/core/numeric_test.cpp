#include "core/numeric.h"
#include "core/runtime_error.h"

#include <gtest/gtest.h>

namespace upd {
namespace {

int errorNumberOf(const std::function<void()>& conversion) {
    try {
        conversion();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

TEST(Numeric, NumericTestAcceptsBlanksSignsAndExponents) {
    for (const char* text : {"12", " 12", "12 ", "-3", "+3", ".5", "5.", "1e3", "2.5E-1", "1D2"})
        EXPECT_TRUE(numeric::isNumeric(QString::fromLatin1(text))) << text;
    for (const char* text : {"", " ", "-", ".", "e3", "1e", "1.2.3", "12a", "1 2", "0x10", "1,5"})
        EXPECT_FALSE(numeric::isNumeric(QString::fromLatin1(text))) << text;
}

TEST(Numeric, HalvesRoundToTheEvenNeighbour) {
    EXPECT_EQ(numeric::toInt16(QStringLiteral("2.5")), 2);
    EXPECT_EQ(numeric::toInt16(QStringLiteral("3.5")), 4);
    EXPECT_EQ(numeric::toInt16(QStringLiteral("-2.5")), -2);
    EXPECT_EQ(numeric::toInt16(QStringLiteral("2.51")), 3);
    EXPECT_EQ(numeric::toInt32(QStringLiteral("1e3")), 1000);
    EXPECT_EQ(numeric::roundHalfEven(0.5), 0.0);
    EXPECT_EQ(numeric::roundHalfEven(1.5), 2.0);
}

TEST(Numeric, ConversionsRaiseOverflowAndTypeErrorsAtTheTypeLimits) {
    EXPECT_EQ(numeric::toInt16(QStringLiteral("32767")), 32767);
    EXPECT_EQ(numeric::toInt16(QStringLiteral("-32768")), -32768);
    EXPECT_EQ(numeric::toInt16(QStringLiteral("32766.5")), 32766);
    // The half rounds up to the even 32768, which no longer fits.
    EXPECT_EQ(errorNumberOf([] { numeric::toInt16(QStringLiteral("32767.5")); }), errnum::Overflow);
    EXPECT_EQ(errorNumberOf([] { numeric::toInt16(QStringLiteral("32768")); }), errnum::Overflow);
    EXPECT_EQ(errorNumberOf([] { numeric::toInt16(QStringLiteral("-32769")); }), errnum::Overflow);
    EXPECT_EQ(numeric::toInt32(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(errorNumberOf([] { numeric::toInt32(QStringLiteral("2147483648")); }),
              errnum::Overflow);
    EXPECT_EQ(errorNumberOf([] { numeric::toInt16(QString()); }), errnum::TypeMismatch);
    EXPECT_EQ(errorNumberOf([] { numeric::toInt32(QStringLiteral("abc")); }), errnum::TypeMismatch);
}

TEST(Numeric, ErrorsCarryGermanDescriptionsAndTrapText) {
    const RuntimeError overflow(errnum::Overflow);
    EXPECT_EQ(overflow.description(), QStringLiteral("Überlauf"));
    EXPECT_EQ(overflow.trapText(), QStringLiteral("Überlauf (6)"));
    EXPECT_EQ(RuntimeError(errnum::TypeMismatch).description(),
              QStringLiteral("Typen unverträglich"));
}

} // namespace
} // namespace upd
