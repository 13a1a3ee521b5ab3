#include "protocol/archive_password.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace upd {
namespace {

QString keyOf(const DeploymentSettings& deployment) {
    QString key;
    std::int32_t error = 0;
    EXPECT_TRUE(BuildPasswordKey(deployment, key, error));
    return key;
}

TEST(ArchivePassword, KeyHas120DigitsNeverZeroAndFollowsTheConstants) {
    DeploymentSettings deployment = DeploymentSettings::compiledDefaults();
    const QString key = keyOf(deployment);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[1-9]{120}$")).match(key).hasMatch())
        << key.toStdString();
    // A different constant gives a different key: the constants matter.
    DeploymentSettings other = deployment;
    other.passwordConstant2[10] = other.passwordConstant2[10] == u'1' ? u'2' : u'1';
    EXPECT_NE(keyOf(other), key);
    // Constants made so that many column sums are 10 or 0: the key still holds no "0".
    deployment.passwordConstant1 = QString(31, u'5');
    deployment.passwordConstant2 = QString(59, u'5');
    deployment.passwordConstant3 = QString(42, u'0');
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^1{10}[1-9]{110}$"))
                    .match(keyOf(deployment))
                    .hasMatch());
}

// Every password decodes back from the update server's coding (its round trip of all 16-bit
// values) and the sample update's archive opens with it; here the texts that are no coding.
TEST(ArchivePassword, MalformedCodedTextsFailWith900400032) {
    const DeploymentSettings deployment = DeploymentSettings::compiledDefaults();
    for (const char* coded :
         {"30101", "x30101", "12 0101", "1230100", "1230001", "123x101",
          "214748364730101" /* fits 32 bits, not 16 */, "-4000000101", "+500101"}) {
        std::int16_t password = 4242;
        std::int32_t error = 0;
        EXPECT_FALSE(DecodeArchivePassword(deployment, QString::fromLatin1(coded), password, error))
            << coded;
        EXPECT_EQ(error, errcode::PasswordDecodeError) << coded;
        EXPECT_EQ(password, 4242) << "written only on success";
    }
}

// A constant that is no number, and constants too short for the key's rows.
TEST(ArchivePassword, BrokenConstantsFailWith900400019) {
    DeploymentSettings noNumber = DeploymentSettings::compiledDefaults();
    noNumber.passwordConstant2 = QStringLiteral("12x");
    DeploymentSettings tooShort = DeploymentSettings::compiledDefaults();
    tooShort.passwordConstant3.clear();
    for (const DeploymentSettings& deployment : {noNumber, tooShort}) {
        std::int16_t password = 1;
        std::int32_t error = 0;
        EXPECT_FALSE(DecodeArchivePassword(deployment, QStringLiteral("1230101"), password, error));
        EXPECT_EQ(error, errcode::PasswordKeyError);
    }
}

} // namespace
} // namespace upd
