#include "core/ansi_text_file.h"
#include "core/runtime_error.h"
#include "core/windows1252.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace upd {
namespace {

TEST(AnsiTextFile, WritesWindows1252ReadsAtMostTheLimitAndRaisesOnFailure) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lizenz.txt"));
    const QString text = QStringLiteral("Größe: 5 € – „Zitat“ ÄÖÜäöüß\r\n");
    ansi_text_file::write(path, text);
    EXPECT_EQ(test::readFile(path),
              QByteArray("Gr\xF6\xDF"
                         "e: 5 \x80 \x96 \x84Zitat\x93 \xC4\xD6\xDC\xE4\xF6\xFC\xDF\r\n"));
    EXPECT_EQ(ansi_text_file::read(path), text);
    // Characters outside the code page become "?".
    EXPECT_EQ(windows1252::encode(QStringLiteral("a\u0416b\U0001F600c")), QByteArray("a?b?c"));
    ansi_text_file::write(path, QString(40000, u'x'));
    EXPECT_EQ(ansi_text_file::read(path).size(), ansi_text_file::MaxReadBytes);

    try {
        ansi_text_file::read(dir.filePath(QStringLiteral("missing.txt")));
        ADD_FAILURE() << "a missing file must raise";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), errnum::FileNotFound);
    }
    EXPECT_THROW(ansi_text_file::write(dir.filePath("no/such/dir/x.txt"), "x"), RuntimeError);
}

TEST(Windows1252, EveryByteBecomesTheSameUtf8StraightAsThroughText) {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    EXPECT_EQ(windows1252::toUtf8(bytes), windows1252::decode(bytes).toUtf8());
}

} // namespace
} // namespace upd
