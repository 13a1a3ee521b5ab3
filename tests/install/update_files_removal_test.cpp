#include "install/update_files_removal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace upd::installation {
namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile(path).open(QIODevice::WriteOnly);
}

// Only what the download put there goes: a sub-directory that is a link loses the link, never
// what it points to, and a version that is no plain name removes nothing.
TEST(UpdateFilesRemoval, DeletesTheDownloadsOwnItemsAndNothingBeyond) {
    QTemporaryDir root;
    const QString updates = root.filePath(QStringLiteral("Updates"));
    const QString elsewhere = root.filePath(QStringLiteral("Praxisdaten"));
    touch(elsewhere + QStringLiteral("/patienten.db"));
    for (const char* name :
         {"UpdateInfo.xml", "lizenz.txt", "Hardware.xml", "3.2.0/setup.sh", "3.2.0/lib/a.dll"})
        touch(updates + u'/' + QString::fromLatin1(name));
    ASSERT_TRUE(QFile::link(elsewhere, updates + QStringLiteral("/3.3.0")));

    std::vector<UpdateEntry> entries(3);
    entries[0].version = QStringLiteral("3.2.0");
    entries[1].version = QStringLiteral("3.3.0");
    entries[2].version = QStringLiteral("..");
    removeUpdateFiles(UpdateDirectory(updates), entries);
    EXPECT_FALSE(QFileInfo::exists(updates));
    EXPECT_TRUE(QFileInfo::exists(elsewhere + QStringLiteral("/patienten.db")));
    EXPECT_TRUE(QFileInfo::exists(root.path()));
}

} // namespace
} // namespace upd::installation
