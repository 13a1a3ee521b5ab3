#include "core/runtime_error.h"
#include "dataupdate/host_fixture.h"
#include "dataupdate/text_conversions.h"
#include "dataupdate/workgroup_file.h"
#include "dataupdate/workgroup_password.h"

#include <QThread>
#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

TEST(ConvChars, MapsByFirstPositionAndPassesOthersThrough) {
    struct Case {
        const char16_t* source;
        const char16_t* text;
        const char16_t* target;
        const char16_t* expected;
    };
    const Case cases[] = {
        {u"abc", u"cab!", u"xyz", u"zxy!"},     {u"abc", u"", u"xyz", u""},
        {u"aba", u"ab", u"xyz", u"xy"},   // "a" maps by its first occurrence
        {u"abc", u"cba", u"xy", u"yx"},   // no target for "c": dropped
        {u"abc", u"ABC", u"xyz", u"ABC"}, // case-sensitive
        {u"äöü", u"Müller", u"aou", u"Muller"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConvChars(QString::fromUtf16(c.source), QString::fromUtf16(c.text),
                            QString::fromUtf16(c.target)),
                  QString::fromUtf16(c.expected))
            << QString::fromUtf16(c.text).toStdString();
}

TEST(ConvToHtml, ReplacesTypographicCharactersAndDiscBullets) {
    for (const auto& [text, html] : {
             std::pair{"„Zitat“ – kurz…", "&bdquo;Zitat&ldquo; &ndash; kurz..."},
             std::pair{"a—b ”c”", "a&ndash;b &ldquo;c&ldquo;"},
             std::pair{"<ul type=disc>type=disc TYPE=DISC",
                       "<ul type=circle>type=circle TYPE=DISC"},
             std::pair{"a < b & c > d", "a < b & c > d"},
         })
        EXPECT_EQ(ConvToHtml(QString::fromUtf8(text)), QString::fromUtf8(html)) << text;
}

TEST(WorkgroupPassword, FormsThePasswordFromFourCharacterCodes) {
    EXPECT_EQ(workgroupPassword(QStringLiteral("113,76,55,100")), QStringLiteral("qL7d"));
    EXPECT_EQ(workgroupPassword(QStringLiteral(" 65, 66 ,67,68")), QStringLiteral("ABCD"));
    for (const char* bad : {"", "65,66,67", "65,66,67,68,69", "65,x,67,68", "65,66,67,10"})
        EXPECT_THROW(workgroupPassword(QString::fromLatin1(bad)), RuntimeError) << bad;
}

TEST(WorkgroupFile, KeyDerivationMatchesThePublishedVector) {
    // PBKDF2-HMAC-SHA256, "passwd", "salt", one round (RFC 7914, first 32 bytes).
    EXPECT_EQ(pbkdf2Sha256("passwd", "salt", 1).toHex(),
              QByteArray("55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"));
    EXPECT_EQ(pbkdf2Sha256("password", "salt", 4096).toHex(),
              QByteArray("c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a"));
}

TEST(RecordProgress, ShowsTheFirstTheNewestEveryTenMillisecondsAndTheLast) {
    EXPECT_EQ(recordProgressText(5, 20), QStringLiteral(" Übertrage Datensatz 5 von 20"));
    test::RecordingSink sink;
    {
        RecordProgress progress(sink, 1000);
        for (int i = 0; i < 1000; ++i) {
            progress.next();
            if (i == 500)
                QThread::msleep(12);
        }
    }
    ASSERT_GE(sink.progress.size(), 3u);
    EXPECT_EQ(sink.progress.front(), std::make_pair(std::int64_t(1), std::int64_t(1000)));
    EXPECT_EQ(sink.progress.back(), std::make_pair(std::int64_t(1000), std::int64_t(1000)));
    EXPECT_LT(sink.progress.size(), 100u); // not once per record
    bool sawAfterPause = false;
    for (const auto& [record, records] : sink.progress)
        sawAfterPause = sawAfterPause || record == 502;
    EXPECT_TRUE(sawAfterPause); // the first record after the pause is due at once
}

} // namespace
} // namespace upd::dataupdate
