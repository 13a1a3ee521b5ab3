#include "package/pbkdf2_sha1.h"

#include <QRandomGenerator>
#include <cstring>
#include <gtest/gtest.h>
#include <openssl/evp.h>

namespace upd {
namespace {

// OpenSSL's derivation is the reference; passwords longer than a SHA-1 block are hashed first,
// and outputs longer than one digest take several blocks.
TEST(Pbkdf2Sha1, MatchesOpenSslForShortLongAndEmptyPasswords) {
    QRandomGenerator random(7);
    for (const int passwordLength : {0, 1, 6, 63, 64, 65, 200})
        for (const int outLength : {2, 20, 34, 66})
            for (const int iterations : {1, 2, 1000}) {
                SCOPED_TRACE(testing::Message()
                             << passwordLength << " " << outLength << " " << iterations);
                QByteArray password(passwordLength, Qt::Uninitialized);
                for (char& c : password)
                    c = char(random.generate());
                unsigned char salt[16], ours[66] = {}, reference[66] = {};
                random.fillRange(reinterpret_cast<quint32*>(salt), 4);
                pbkdf2HmacSha1(password, salt, sizeof salt, iterations, ours, outLength);
                ASSERT_EQ(PKCS5_PBKDF2_HMAC_SHA1(password.constData(), passwordLength, salt,
                                                 sizeof salt, iterations, outLength, reference),
                          1);
                EXPECT_EQ(0, memcmp(ours, reference, sizeof ours)); // nothing beyond outLength
            }
}

} // namespace
} // namespace upd
