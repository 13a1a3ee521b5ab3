#include "protocol/products.h"
#include "protocol/versions.h"
#include "support/pe_builder.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace upd {
namespace {

TEST(Products, BaseVersionsByExactProductCode) {
    QString version = QStringLiteral("stale");
    EXPECT_TRUE(GetProductBaseVersion(QStringLiteral("QHR"), version));
    EXPECT_EQ(version, QStringLiteral("3.1.0"));
    EXPECT_TRUE(GetProductBaseVersion(QStringLiteral("QGR"), version));
    EXPECT_EQ(version, QStringLiteral("3.1.0"));
    EXPECT_TRUE(GetProductBaseVersion(QStringLiteral("QJRK"), version));
    EXPECT_EQ(version, QStringLiteral("4.0.0"));
    EXPECT_TRUE(GetProductBaseVersion(QStringLiteral("QPR"), version));
    EXPECT_EQ(version, QStringLiteral("6.1.0"));
    for (const char* code : {"qar", "", "QXR", "QAR "}) {
        version = QStringLiteral("stale");
        EXPECT_FALSE(GetProductBaseVersion(QString::fromLatin1(code), version)) << code;
        EXPECT_EQ(version, QString()) << code;
    }
}

TEST(Versions, TheUpdatersOwnVersionInItsThreeForms) {
    const ProgramVersion v{2, 1, 14};
    EXPECT_EQ(DisplayVersion(v), QStringLiteral("2.1.14"));
    EXPECT_EQ(QueryVersion(v), QStringLiteral("2v1v14"));
    EXPECT_EQ(FixedWidthVersion(v), QStringLiteral("2.01.0014"));
    EXPECT_EQ(FixedWidthVersion({1, 0, 5}), QStringLiteral("1.00.0005"));
    EXPECT_EQ(FixedWidthVersion({10, 123, 12345}), QStringLiteral("10.123.12345"));
}

TEST(Versions, ComparisonIsByCharacterCodes) {
    EXPECT_TRUE(isVersionGreater(QStringLiteral("2.01.0015"), QStringLiteral("2.01.0014")));
    EXPECT_TRUE(isVersionGreater(QStringLiteral("2.1.15"), QStringLiteral("2.01.0014")));
    EXPECT_FALSE(isVersionGreater(QStringLiteral("10.00.0000"), QStringLiteral("9.00.0000")));
    EXPECT_TRUE(isVersionGreater(QStringLiteral("3.9.0"), QStringLiteral("3.10.0")));
    EXPECT_FALSE(isVersionGreater(QStringLiteral("3.1.0"), QStringLiteral("3.1.0")));
}

TEST(Versions, HiWordAndSignedLoWord) {
    EXPECT_EQ(HiWord(0x00050001), 5);
    EXPECT_EQ(HiWord(0xFFFF0000), 65535);
    EXPECT_EQ(LoWord(0x00050001), 1);
    EXPECT_EQ(LoWord(0x00007FFF), 32767);
    EXPECT_EQ(LoWord(0x00008000), -32768);
    EXPECT_EQ(LoWord(0x0000FFFF), -1);
}

TEST(Versions, FileVersionsOfProgramFiles) {
    QTemporaryDir dir;
    struct Case {
        bool pe32Plus;
        std::uint32_t ms, ls;
        const char* text;
        const char* dotted;
    };
    int index = 0;
    for (const Case& c : {Case{false, 0x00050001, 0x00000000, "5.01.0000", "5.1.0"},
                          Case{true, 0x00050001, 0x00020003, "5.01.02.03", "5.1.2.3"},
                          Case{false, 0x00040000, 0x00000000, "4.00.0000", "4.0.0"},
                          Case{true, 0x00040002, 0x000A0007, "4.02.10.07", "4.2.10.7"},
                          Case{false, 0x000C0022, 0x00000001, "12.34.00.01", "12.34.0.1"}}) {
        const QString path = dir.filePath(QStringLiteral("prog%1.exe").arg(index++));
        test::writePeFile(path, {c.pe32Plus, true, c.ms, c.ls});
        EXPECT_EQ(GetFileVersionString(path), QString::fromLatin1(c.text)) << c.text;
        EXPECT_EQ(GetFileVersionDotted(path), QString::fromLatin1(c.dotted)) << c.text;
    }
}

TEST(Versions, AWindowsProgramFileFromADebianPackage) {
    // mscorlib.dll of Debian 12's Mono (package libmono-corlib4.5-dll): a PE32 file built by
    // another toolchain, with file version 4.6.57.0 in its version resource.
    const QString path = QStringLiteral("/usr/lib/mono/4.5/mscorlib.dll");
    ASSERT_TRUE(QFile::exists(path)) << "scripts/install-deps installs it";
    EXPECT_EQ(GetFileVersionString(path), QStringLiteral("4.06.57.00"));
    EXPECT_EQ(GetFileVersionDotted(path), QStringLiteral("4.6.57.0"));
}

TEST(Versions, FilesWithoutVersionInformationGiveEmptyText) {
    QTemporaryDir dir;
    const QString noVersion = dir.filePath(QStringLiteral("icon-only.exe"));
    test::writePeFile(noVersion, {false, false, 0x00010000, 0});
    const QString script = dir.filePath(QStringLiteral("setup.sh"));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho MZ\n");
    file.close();
    // A truncated program file must not be read past its end.
    const QString truncated = dir.filePath(QStringLiteral("truncated.exe"));
    test::writePeFile(truncated, {true, true, 0x00010000, 0});
    ASSERT_TRUE(QFile::resize(truncated, 0x230));

    for (const QString& path :
         {noVersion, script, truncated, dir.filePath(QStringLiteral("missing.exe")),
          QStringLiteral("/usr/bin/env")}) {
        EXPECT_EQ(GetFileVersionString(path), QString()) << path.toStdString();
        EXPECT_EQ(GetFileVersionDotted(path), QString()) << path.toStdString();
    }
}

} // namespace
} // namespace upd
