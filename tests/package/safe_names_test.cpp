#include "package/safe_names.h"

#include <gtest/gtest.h>

namespace upd::safe_names {
namespace {

// Names the package download refuses as a whole (climbing versions, separators, patterns) are
// refused there; here the rest of the rule.
TEST(SafeNames, ServerNamesNameOneFileInsideTheirDirectory) {
    for (const QString& name :
         {QStringLiteral("setup.exe"), QStringLiteral("1.1.0"), QStringLiteral(".hidden"),
          QStringLiteral("Programm-Update 2024 (Teil 1).zip"), QStringLiteral("Größen.txt"),
          QString(255 - 4, u'a') + QStringLiteral(".exe")})
        EXPECT_TRUE(isSafeName(name)) << name.toStdString();
    for (const QString& name : {QString(256 - 4, u'a') + QStringLiteral(".exe"),
                                QString(),
                                QStringLiteral("   "),
                                QStringLiteral("\t"),
                                QStringLiteral("."),
                                QStringLiteral(".."),
                                QStringLiteral("..."),
                                QStringLiteral("a..b"),
                                QStringLiteral("\\\\server\\share"),
                                QStringLiteral("sub\\setup.exe"),
                                QStringLiteral("C:"),
                                QStringLiteral("C:setup.exe"),
                                QStringLiteral("setup.exe:stream"),
                                QStringLiteral("setu?.exe"),
                                QStringLiteral("a<b"),
                                QStringLiteral("a|b"),
                                QStringLiteral("a\"b"),
                                QString::fromUtf16(u"a\0b", 3),
                                QStringLiteral("a\nb"),
                                QStringLiteral("a\x7f"),
                                QString::fromUtf16(u"a\u0085b")})
        EXPECT_FALSE(isSafeName(name)) << name.toStdString();
}

// Entries that climb out are refused by the extraction's test of hostile entries; here the split
// into parts and the names only this rule refuses.
TEST(SafeNames, ArchiveEntriesMayHaveSubDirectoriesButStayInside) {
    const QString daten = QStringLiteral("daten");
    const std::tuple<QString, QStringList, bool> accepted[] = {
        {QStringLiteral("setup.sh"), {QStringLiteral("setup.sh")}, false},
        {QStringLiteral("daten/a/b.txt"),
         {daten, QStringLiteral("a"), QStringLiteral("b.txt")},
         false},
        {QStringLiteral("daten/"), {daten}, true},
        {QStringLiteral("daten\\b.txt"), {daten, QStringLiteral("b.txt")}, false},
    };
    for (const auto& [name, parts, isDirectory] : accepted) {
        const auto path = entryPath(name);
        ASSERT_TRUE(path) << name.toStdString();
        EXPECT_EQ(path->parts, parts);
        EXPECT_EQ(path->isDirectory, isDirectory);
    }
    for (const QString& name :
         {QStringLiteral("/"), QStringLiteral("\\etc\\passwd"), QStringLiteral("a/.."),
          QStringLiteral("a//"), QString(), QString(600, u'a') + u'/' + QString(600, u'b')})
        EXPECT_FALSE(entryPath(name)) << name.toStdString();
}

} // namespace
} // namespace upd::safe_names
