#include "package/safe_names.h"

#include <gtest/gtest.h>

namespace upd::safe_names {
namespace {

// Names the package download refuses as a whole (climbing versions, separators, patterns) are
// refused there; here the rest of the rule.
TEST(SafeNames, ServerNamesNameOneFileInsideTheirDirectory) {
    const QString longest = QString(251, u'a') + QStringLiteral(".exe");
    for (const char* name :
         {"setup.exe", "1.1.0", ".hidden", "Programm-Update 2024 (Teil 1).zip", "Größen.txt"})
        EXPECT_TRUE(isSafeName(QString::fromUtf8(name))) << name;
    EXPECT_TRUE(isSafeName(longest));
    for (const char* name : {"", "   ", "\t", ".", "..", "...", "a..b", "\\\\server\\share",
                             "sub\\setup.exe", "C:", "C:setup.exe", "setup.exe:stream", "setu?.exe",
                             "a<b", "a|b", "a\"b", "a\nb", "a\x7f", "a\u0085b"})
        EXPECT_FALSE(isSafeName(QString::fromUtf8(name))) << name;
    EXPECT_FALSE(isSafeName(u'a' + longest));
    EXPECT_FALSE(isSafeName(QString::fromUtf16(u"a\0b", 3)));
}

// Entries that climb out are refused by the extraction's test of hostile entries; here the split
// into parts and the names only this rule refuses.
TEST(SafeNames, ArchiveEntriesMayHaveSubDirectoriesButStayInside) {
    const std::tuple<const char*, QStringList, bool> accepted[] = {
        {"setup.sh", {"setup.sh"}, false},
        {"daten/a/b.txt", {"daten", "a", "b.txt"}, false},
        {"daten/", {"daten"}, true},
        {"daten\\b.txt", {"daten", "b.txt"}, false},
    };
    for (const auto& [name, parts, isDirectory] : accepted) {
        const auto path = entryPath(QString::fromUtf8(name));
        ASSERT_TRUE(path) << name;
        EXPECT_EQ(path->parts, parts) << name;
        EXPECT_EQ(path->isDirectory, isDirectory) << name;
    }
    for (const QString& name :
         {QStringLiteral("/"), QStringLiteral("\\etc\\passwd"), QStringLiteral("a/.."),
          QStringLiteral("a//"), QString(), QString(600, u'a') + u'/' + QString(600, u'b')})
        EXPECT_FALSE(entryPath(name)) << name.toStdString();
}

} // namespace
} // namespace upd::safe_names
