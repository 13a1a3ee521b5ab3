#include "protocol/archive_password.h"

#include <gtest/gtest.h>

namespace upd {
namespace {

class ArchivePassword : public ::testing::Test {
protected:
    DeploymentSettings deployment = DeploymentSettings::compiledDefaults();

    QString key() {
        QString result;
        std::int32_t error = 0;
        EXPECT_TRUE(BuildPasswordKey(deployment, result, error));
        return result;
    }
    // Decodes; on failure returns the error number in place of the password.
    std::pair<bool, int> decode(const QString& coded) {
        std::int16_t password = 4242;
        std::int32_t error = 0;
        const bool ok = DecodeArchivePassword(deployment, coded, password, error);
        if (!ok) {
            EXPECT_EQ(password, 4242) << "the password is written only on success";
        }
        return {ok, ok ? password : error};
    }
};

TEST_F(ArchivePassword, KeyHas120DigitsNeverZeroAndFollowsTheConstants) {
    const QString k = key();
    ASSERT_EQ(k.size(), 120);
    for (QChar c : k)
        EXPECT_TRUE(c >= u'1' && c <= u'9') << k.toStdString();

    // Constants made so that many column sums are 10 or 0: the key still holds no "0".
    deployment.passwordConstant1 = QString(31, u'5');
    deployment.passwordConstant2 = QString(59, u'5');
    deployment.passwordConstant3 = QString(42, u'0');
    EXPECT_EQ(key().count(u'0'), 0);
    EXPECT_TRUE(key().startsWith(QStringLiteral("1111111111")));

    // A different constant gives a different key: the constants matter.
    DeploymentSettings other = DeploymentSettings::compiledDefaults();
    other.passwordConstant2[10] = other.passwordConstant2[10] == u'1' ? u'2' : u'1';
    QString otherKey;
    std::int32_t error = 0;
    ASSERT_TRUE(BuildPasswordKey(other, otherKey, error));
    EXPECT_NE(otherKey, k);
}

TEST_F(ArchivePassword, DecodesBaseNumberPlusAndMinusKeyPieces) {
    const QString k = key();
    EXPECT_EQ(decode(QStringLiteral("1234"
                                    "3"
                                    "01"
                                    "01")),
              std::make_pair(true, 1234))
        << "S1 == S2";
    EXPECT_EQ(decode(QStringLiteral("777"
                                    "0"
                                    "05"
                                    "17")),
              std::make_pair(true, 777))
        << "L = 0";
    EXPECT_EQ(decode(QStringLiteral("-50"
                                    "0"
                                    "99"
                                    "99")),
              std::make_pair(true, -50));
    const int s1 = k.mid(4, 4).toInt(); // position 5, four digits
    const int s2 = k.mid(19, 4).toInt();
    const int expected = 10000 + s1 - s2;
    EXPECT_EQ(decode(QStringLiteral("10000"
                                    "4"
                                    "05"
                                    "20")),
              std::make_pair(true, expected));
}

TEST_F(ArchivePassword, MalformedCodedTextsFailWith900400032) {
    const std::pair<bool, int> failed{false, errcode::PasswordDecodeError};
    for (const char* coded :
         {"", "30101", "x30101", "12a0101", "12 0101", "1230100", "1230001", "123x101", "1231x01",
          "99999999999"
          "30101",
          "2147483648"
          "30101",
          "40000"
          "00101",
          "-40000"
          "00101",
          "+5"
          "00101"})
        EXPECT_EQ(decode(QString::fromLatin1(coded)), failed) << coded;
    EXPECT_EQ(decode(QStringLiteral("2147483647"
                                    "30101")),
              failed)
        << "fits 32 bits, not 16";
    EXPECT_EQ(decode(QStringLiteral("32767"
                                    "30101")),
              std::make_pair(true, 32767));
    EXPECT_EQ(decode(QStringLiteral("-32768"
                                    "30101")),
              std::make_pair(true, -32768));
}

TEST_F(ArchivePassword, BrokenConstantsFailWith900400019) {
    deployment.passwordConstant2 = QStringLiteral("12x");
    std::int16_t password = 1;
    std::int32_t error = 0;
    EXPECT_FALSE(DecodeArchivePassword(deployment, QStringLiteral("1230101"), password, error));
    EXPECT_EQ(error, errcode::PasswordKeyError);
    deployment = DeploymentSettings::compiledDefaults();
    deployment.passwordConstant3.clear();
    QString k;
    EXPECT_FALSE(BuildPasswordKey(deployment, k, error));
    EXPECT_EQ(error, errcode::PasswordKeyError);
}

} // namespace
} // namespace upd
