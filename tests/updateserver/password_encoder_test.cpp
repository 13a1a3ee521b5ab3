#include "protocol/archive_password.h"
#include "updateserver/password_encoder.h"

#include <gtest/gtest.h>
#include <set>

namespace upd::server {
namespace {

TEST(PasswordEncoder, EveryPasswordDecodesBackWithTheClientsDecoder) {
    const DeploymentSettings standard = DeploymentSettings::fromEnvironment();
    DeploymentSettings other = standard;
    other.passwordConstant1 = QString(31, u'0');
    other.passwordConstant2 = QString(59, u'9');
    other.passwordConstant3 = QStringLiteral("123456789012345678901234567890123456789012");
    const std::pair<DeploymentSettings, std::uint32_t> runs[] = {
        {standard, 0u},   {standard, 1u},          {standard, 494u},
        {standard, 495u}, {standard, 0xFFFFFFFFu}, {standard, passwordVariant("QGR", "3.3.0")},
        {other, 12345u}};
    for (const auto& [deployment, variant] : runs) {
        for (int value = INT16_MIN; value <= INT16_MAX; ++value) {
            const auto coded =
                EncodeArchivePassword(deployment, static_cast<std::int16_t>(value), variant);
            ASSERT_TRUE(coded) << value << " in variant " << variant;
            std::int16_t decoded = 0;
            std::int32_t errorNumber = 0;
            ASSERT_TRUE(DecodeArchivePassword(deployment, *coded, decoded, errorNumber))
                << value << " as " << coded->toStdString() << " (" << errorNumber << ")";
            ASSERT_EQ(decoded, value) << coded->toStdString();
        }
    }
}

// Equal passwords of different updates must not give the same text away; broken constants of a
// deployment give none at all.
TEST(PasswordEncoder, EqualPasswordsOfDifferentUpdatesLookDifferent) {
    DeploymentSettings deployment = DeploymentSettings::fromEnvironment();
    std::set<QString> texts;
    for (const char* version : {"3.2.0", "3.3.0", "4.2.0", "5.2.0", "5.3.0"})
        texts.insert(*EncodeArchivePassword(deployment, 4711, passwordVariant("QGR", version)));
    texts.insert(*EncodeArchivePassword(deployment, 4712, passwordVariant("QGR", "3.2.0")));
    EXPECT_EQ(texts.size(), 6u);
    deployment.passwordConstant2 = QStringLiteral("12x");
    EXPECT_FALSE(EncodeArchivePassword(deployment, 4711, 1u));
}

} // namespace
} // namespace upd::server
