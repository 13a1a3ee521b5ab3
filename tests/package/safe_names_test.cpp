#include "package/safe_names.h"

#include <gtest/gtest.h>

namespace upd::safe_names {
namespace {

TEST(SafeNames, ServerNamesNameOneFileInsideTheirDirectory) {
    const std::vector<std::pair<QString, bool>> cases{
        {QStringLiteral("setup.exe"), true},
        {QStringLiteral("1.1.0"), true},
        {QStringLiteral("Programm-Update 2024 (Teil 1).zip"), true},
        {QStringLiteral("Größen.txt"), true},
        {QStringLiteral(".hidden"), true},
        {QString(256 - 4, u'a') + QStringLiteral(".exe"), false},
        {QString(255 - 4, u'a') + QStringLiteral(".exe"), true},
        {QString(), false},
        {QStringLiteral("   "), false},
        {QStringLiteral("\t"), false},
        {QStringLiteral("."), false},
        {QStringLiteral(".."), false},
        {QStringLiteral("..."), false},
        {QStringLiteral("a..b"), false},
        {QStringLiteral("/etc/passwd"), false},
        {QStringLiteral("sub/setup.exe"), false},
        {QStringLiteral("\\\\server\\share"), false},
        {QStringLiteral("sub\\setup.exe"), false},
        {QStringLiteral("C:"), false},
        {QStringLiteral("C:setup.exe"), false},
        {QStringLiteral("setup.exe:stream"), false},
        {QStringLiteral("*.exe"), false},
        {QStringLiteral("setu?.exe"), false},
        {QStringLiteral("a<b"), false},
        {QStringLiteral("a|b"), false},
        {QStringLiteral("a\"b"), false},
        {QString::fromUtf16(u"a\0b", 3), false},
        {QStringLiteral("a\nb"), false},
        {QStringLiteral("a\x7f"), false},
        {QString::fromUtf16(u"a\u0085b"), false}, // a C1 control
    };
    for (const auto& [name, safe] : cases)
        EXPECT_EQ(isSafeName(name), safe) << name.toStdString();
}

TEST(SafeNames, ArchiveEntriesMayHaveSubDirectoriesButStayInside) {
    struct Case {
        QString name;
        std::optional<QStringList> parts;
        bool isDirectory = false;
    };
    const std::vector<Case> cases{
        {QStringLiteral("setup.sh"), QStringList{QStringLiteral("setup.sh")}},
        {QStringLiteral("daten/a/b.txt"),
         QStringList{QStringLiteral("daten"), QStringLiteral("a"), QStringLiteral("b.txt")}},
        {QStringLiteral("daten/"), QStringList{QStringLiteral("daten")}, true},
        {QStringLiteral("daten\\b.txt"),
         QStringList{QStringLiteral("daten"), QStringLiteral("b.txt")}},
        {QStringLiteral("/"), std::nullopt},
        {QStringLiteral("/etc/passwd"), std::nullopt},
        {QStringLiteral("\\etc\\passwd"), std::nullopt},
        {QStringLiteral("../x"), std::nullopt},
        {QStringLiteral("a/../../x"), std::nullopt},
        {QStringLiteral("a/.."), std::nullopt},
        {QStringLiteral("./x"), std::nullopt},
        {QStringLiteral("a//x"), std::nullopt},
        {QStringLiteral("a//"), std::nullopt},
        {QStringLiteral("C:/x"), std::nullopt},
        {QStringLiteral("C:x"), std::nullopt},
        {QString(), std::nullopt},
        {QStringLiteral("a/*"), std::nullopt},
        {QString(600, u'a') + u'/' + QString(600, u'b'), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const auto path = entryPath(c.name);
        ASSERT_EQ(path.has_value(), c.parts.has_value());
        if (path) {
            EXPECT_EQ(path->parts, *c.parts);
            EXPECT_EQ(path->isDirectory, c.isDirectory);
        }
    }
}

} // namespace
} // namespace upd::safe_names
