#include "core/runtime_error.h"
#include "dataupdate/host_fixture.h"
#include "dataupdate/text_conversions.h"
#include "dataupdate/workgroup_file.h"
#include "dataupdate/workgroup_password.h"

#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>

namespace upd::dataupdate {
namespace {

TEST(ConvChars, MapsByFirstPositionAndPassesOthersThrough) {
    // Source characters, text, target characters, and what the text becomes.
    const char16_t* const cases[][4] = {
        {u"abc", u"cab!", u"xyz", u"zxy!"},     {u"abc", u"", u"xyz", u""},
        {u"aba", u"ab", u"xyz", u"xy"},   // "a" maps by its first occurrence
        {u"abc", u"cba", u"xy", u"yx"},   // no target for "c": dropped
        {u"abc", u"ABC", u"xyz", u"ABC"}, // case-sensitive
        {u"äöü", u"Müller", u"aou", u"Muller"},
    };
    for (const auto& [source, text, target, expected] : cases)
        EXPECT_EQ(ConvChars(QString::fromUtf16(source), QString::fromUtf16(text),
                            QString::fromUtf16(target)),
                  QString::fromUtf16(expected))
            << QString::fromUtf16(text).toStdString();
}

// The usual typographic characters reach the texts through the table procedures' test.
TEST(ConvToHtml, ReplacesTypographicCharactersAndDiscBullets) {
    for (const auto& [text, html] : {
             std::pair{"a—b ”c”", "a&ndash;b &ldquo;c&ldquo;"},
             std::pair{"<ul type=disc>type=disc TYPE=DISC",
                       "<ul type=circle>type=circle TYPE=DISC"},
             std::pair{"a < b & c > d", "a < b & c > d"},
         })
        EXPECT_EQ(ConvToHtml(QString::fromUtf8(text)), QString::fromUtf8(html)) << text;
}

TEST(WorkgroupPassword, FormsThePasswordFromFourCharacterCodes) {
    EXPECT_EQ(workgroupPassword(QStringLiteral(" 65, 66 ,67,68")), QStringLiteral("ABCD"));
    for (const char* bad : {"", "65,66,67", "65,66,67,68,69", "65,x,67,68", "65,66,67,10"})
        EXPECT_THROW(workgroupPassword(QString::fromLatin1(bad)), RuntimeError) << bad;
}

TEST(WorkgroupFile, KeyDerivationMatchesThePublishedVector) {
    // PBKDF2-HMAC-SHA256 of "password" and "salt" in 4096 rounds: a published test vector.
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
    using Shown = std::pair<std::int64_t, std::int64_t>;
    const test::Progress& shown = sink.progress;
    ASSERT_FALSE(shown.empty());
    EXPECT_LT(shown.size(), 100u); // not once per record
    EXPECT_EQ(shown.front(), Shown(1, 1000));
    EXPECT_EQ(shown.back(), Shown(1000, 1000));
    // The first record after the pause is due at once.
    EXPECT_NE(std::ranges::find(shown, Shown(502, 1000)), shown.end());
}

} // namespace
} // namespace upd::dataupdate
