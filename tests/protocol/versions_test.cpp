#include "protocol/products.h"
#include "protocol/versions.h"
#include "support/pe_builder.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace upd {
namespace {

// The table of base versions itself is not restated here: one product, and codes that are not
// exactly one.
TEST(Products, BaseVersionsByExactProductCode) {
    for (const auto& [code, expected] :
         {std::pair{"QGR", "3.1.0"}, std::pair{"qgr", ""}, std::pair{"QGR ", ""}}) {
        QString version = QStringLiteral("stale");
        EXPECT_EQ(GetProductBaseVersion(QString::fromLatin1(code), version), *expected != 0);
        EXPECT_EQ(version, QString::fromLatin1(expected)) << code;
    }
}

TEST(Versions, TheUpdatersOwnVersionInItsThreeFormsComparedByCharacterCodes) {
    EXPECT_EQ(DisplayVersion({2, 1, 14}), QStringLiteral("2.1.14"));
    EXPECT_EQ(QueryVersion({2, 1, 14}), QStringLiteral("2v1v14"));
    EXPECT_EQ(FixedWidthVersion({2, 1, 14}), QStringLiteral("2.01.0014"));
    EXPECT_EQ(FixedWidthVersion({10, 123, 12345}), QStringLiteral("10.123.12345"));
    for (const auto& [greater, than, is] :
         {std::tuple{"2.01.0015", "2.01.0014", true}, std::tuple{"2.1.15", "2.01.0014", true},
          std::tuple{"10.00.0000", "9.00.0000", false}, std::tuple{"3.9.0", "3.10.0", true},
          std::tuple{"3.1.0", "3.1.0", false}})
        EXPECT_EQ(isVersionGreater(QLatin1String(greater), QLatin1String(than)), is) << greater;
    EXPECT_EQ(HiWord(0xFFFF0000), 65535);
    EXPECT_EQ(LoWord(0x00057FFF), 32767);
    EXPECT_EQ(LoWord(0x00008000), -32768);
}

TEST(Versions, FileVersionsOfProgramFiles) {
    QTemporaryDir dir;
    const auto peFile = [&](const char* name, test::PeFileOptions options) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        test::writePeFile(path, options);
        return path;
    };
    const QString truncated = peFile("truncated.exe", {true, true, 0x00010000, 0});
    // A truncated program file must not be read past its end.
    EXPECT_TRUE(QFile::resize(truncated, 0x230));
    const QString script = dir.filePath(QStringLiteral("setup.sh"));
    test::writeFile(script, "#!/bin/sh\necho MZ\n");
    const std::tuple<QString, const char*, const char*> cases[] = {
        {peFile("a.exe", {false, true, 0x00050001, 0x00000000}), "5.01.0000", "5.1.0"},
        {peFile("b.exe", {true, true, 0x00050001, 0x00020003}), "5.01.02.03", "5.1.2.3"},
        {peFile("d.exe", {false, true, 0x000C0022, 0x00000001}), "12.34.00.01", "12.34.0.1"},
        // mscorlib.dll of Debian 12's Mono (package libmono-corlib4.5-dll, installed by
        // scripts/install-deps): a PE32 file built by another toolchain.
        {QStringLiteral("/usr/lib/mono/4.5/mscorlib.dll"), "4.06.57.00", "4.6.57.0"},
        // Files without version information give empty texts.
        {peFile("icon-only.exe", {false, false, 0x00010000, 0}), "", ""},
        {script, "", ""},
        {truncated, "", ""},
        {dir.filePath(QStringLiteral("missing.exe")), "", ""},
    };
    for (const auto& [path, text, dotted] : cases) {
        EXPECT_EQ(GetFileVersionString(path), QString::fromLatin1(text)) << path.toStdString();
        EXPECT_EQ(GetFileVersionDotted(path), QString::fromLatin1(dotted)) << path.toStdString();
    }
}

} // namespace
} // namespace upd
