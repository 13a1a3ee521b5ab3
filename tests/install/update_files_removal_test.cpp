#include "install/update_files_removal.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace upd::installation {
namespace {

// Only what the download put there goes: a sub-directory that is a link loses the link, never
// what it points to, and a version that is no plain name removes nothing.
TEST(UpdateFilesRemoval, DeletesTheDownloadsOwnItemsAndNothingBeyond) {
    QTemporaryDir root;
    const QString updates = root.filePath(QStringLiteral("Updates"));
    const QString kept = root.filePath(QStringLiteral("Praxisdaten/patienten.db"));
    test::writeFile(kept);
    for (const char* name :
         {"UpdateInfo.xml", "lizenz.txt", "Hardware.xml", "3.2.0/setup.sh", "3.2.0/lib/a.dll"})
        test::writeFile(updates + u'/' + QString::fromLatin1(name));
    ASSERT_TRUE(QFile::link(QFileInfo(kept).path(), updates + QStringLiteral("/3.3.0")));

    std::vector<UpdateEntry> entries(3);
    entries[0].version = QStringLiteral("3.2.0");
    entries[1].version = QStringLiteral("3.3.0");
    entries[2].version = QStringLiteral("..");
    removeUpdateFiles(UpdateDirectory(updates), entries);
    EXPECT_FALSE(QFileInfo::exists(updates));
    EXPECT_TRUE(QFileInfo::exists(kept));
}

} // namespace
} // namespace upd::installation
