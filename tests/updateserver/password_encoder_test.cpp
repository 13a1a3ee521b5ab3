#include "protocol/archive_password.h"
#include "updateserver/password_encoder.h"

#include <gtest/gtest.h>
#include <set>

namespace upd::server {
namespace {

void expectRoundTrips(const DeploymentSettings& deployment, std::uint32_t variant) {
    for (int value = INT16_MIN; value <= INT16_MAX; ++value) {
        const auto password = static_cast<std::int16_t>(value);
        const auto coded = EncodeArchivePassword(deployment, password, variant);
        ASSERT_TRUE(coded) << value;
        std::int16_t decoded = 0;
        std::int32_t errorNumber = 0;
        ASSERT_TRUE(DecodeArchivePassword(deployment, *coded, decoded, errorNumber))
            << value << " as " << coded->toStdString() << " (" << errorNumber << ")";
        ASSERT_EQ(decoded, password) << coded->toStdString();
    }
}

TEST(PasswordEncoder, EveryPasswordDecodesBackWithTheClientsDecoder) {
    const auto deployment = DeploymentSettings::fromEnvironment();
    for (const std::uint32_t variant :
         {0u, 1u, 494u, 495u, 0xFFFFFFFFu, passwordVariant("QGR", "3.3.0")})
        expectRoundTrips(deployment, variant);
}

TEST(PasswordEncoder, RoundTripsWithOtherConstantsToo) {
    DeploymentSettings deployment = DeploymentSettings::fromEnvironment();
    deployment.passwordConstant1 = QString(31, u'0');
    deployment.passwordConstant2 = QString(59, u'9');
    deployment.passwordConstant3 = QStringLiteral("123456789012345678901234567890123456789012");
    expectRoundTrips(deployment, 12345u);
}

TEST(PasswordEncoder, VariantsAndPasswordsGiveDifferentTexts) {
    const auto deployment = DeploymentSettings::fromEnvironment();
    std::set<QString> texts;
    for (const char* version : {"3.2.0", "3.3.0", "4.2.0", "5.2.0", "5.3.0"})
        texts.insert(*EncodeArchivePassword(deployment, 4711, passwordVariant("QGR", version)));
    EXPECT_EQ(texts.size(), 5u);
    const std::uint32_t variant = passwordVariant("QBR", "4.2.0");
    EXPECT_NE(*EncodeArchivePassword(deployment, 1, variant),
              *EncodeArchivePassword(deployment, 2, variant));
    EXPECT_EQ(*EncodeArchivePassword(deployment, 1, variant),
              *EncodeArchivePassword(deployment, 1, variant));
}

TEST(PasswordEncoder, BrokenConstantsGiveNoText) {
    DeploymentSettings deployment = DeploymentSettings::fromEnvironment();
    deployment.passwordConstant2 = QStringLiteral("12x");
    EXPECT_FALSE(EncodeArchivePassword(deployment, 4711, 1u));
}

} // namespace
} // namespace upd::server
