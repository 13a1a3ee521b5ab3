#include "core/runtime_error.h"
#include "platform/file_helpers.h"
#include "support/scripted_prompts.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace upd {
namespace {

TEST(FileHelpers, FexistSeesVisibleFilesOnly) {
    QTemporaryDir dir;
    test::writeFile(dir.filePath("setup.exe"));
    test::writeFile(dir.filePath(".hidden"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    for (const char* name : {"setup.exe", "*.exe"})
        EXPECT_TRUE(Fexist(dir.filePath(name))) << name;
    for (const char* name : {"*.zip", ".hidden", "sub", "missing/setup.exe"})
        EXPECT_FALSE(Fexist(dir.filePath(name))) << name;
    EXPECT_FALSE(Fexist(QString()));
}

TEST(FileHelpers, KillFileDeletesReadOnlyFilesAndNamesTheOneItCannotDelete) {
    QTemporaryDir dir;
    const QString readOnly = dir.filePath("readonly.dll");
    test::writeFile(readOnly);
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner));
    test::writeFile(dir.filePath(".hidden"));

    EXPECT_TRUE(KillFile(readOnly));
    EXPECT_FALSE(QFile::exists(readOnly));
    EXPECT_TRUE(KillFile(dir.filePath("never-there.txt")));
    // A hidden file does not count as existing: reported gone, left in place.
    EXPECT_TRUE(KillFile(dir.filePath(".hidden")));
    EXPECT_TRUE(QFile::exists(dir.filePath(".hidden")));
    // A file of the kernel's own file system cannot be deleted, not even by root.
    const Deletion stuck = KillFile(QStringLiteral("/proc/version"));
    EXPECT_FALSE(stuck);
    EXPECT_EQ(stuck.undeletableFile, QStringLiteral("/proc/version"));

    // removeFile takes the name literally and leaves devices and directories alone.
    test::writeFile(dir.filePath("a.txt"));
    test::writeFile(dir.filePath("*.txt"));
    EXPECT_TRUE(removeFile(dir.filePath("*.txt")));
    EXPECT_TRUE(QFile::exists(dir.filePath("a.txt")));
    EXPECT_FALSE(QFile::exists(dir.filePath("*.txt")));
    EXPECT_TRUE(removeFile(QStringLiteral("/dev/null")));
    EXPECT_TRUE(QFile::exists(QStringLiteral("/dev/null")));
    EXPECT_FALSE(removeFile(dir.path()));
}

TEST(FileHelpers, KillDirEmptiesTheDirectoryButLeavesSubDirectories) {
    QTemporaryDir dir;
    for (const char* name : {"a.exe", "b.txt", "odd[1]*.txt", "sub/inner.txt"})
        test::writeFile(dir.filePath(name));
    ASSERT_TRUE(QDir(dir.path()).mkpath("sub/deeper"));

    EXPECT_TRUE(KillDir(dir.path()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
    EXPECT_TRUE(QFile::exists(dir.filePath("sub/inner.txt")));
    EXPECT_TRUE(KillDir(dir.filePath("sub/deeper"))); // empty: done at once
    EXPECT_TRUE(QDir(dir.filePath("sub/deeper")).exists());
    EXPECT_FALSE(KillDir(dir.filePath("missing")));
}

TEST(FileHelpers, ShellXWaitsForTheExitCodeWhileTheEventLoopRuns) {
    QtEventLoop loop;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    const QString shell = QStringLiteral("/bin/sh");
    EXPECT_EQ(ShellX(shell, {"-c", "sleep 0.3; exit 3"}, 1, true, loop), 3);
    EXPECT_GT(ticks, 0);
    // Without yielding, no handler runs meanwhile.
    ticks = 0;
    EXPECT_EQ(ShellX(shell, {"-c", "sleep 0.2; exit 0"}, 1, false, loop), 0);
    EXPECT_EQ(ticks, 0);

    // Blanks in the program's path and in its argument reach it unsplit.
    QTemporaryDir dir;
    const QString setup = dir.filePath(QStringLiteral("Neuer Ordner/setup prog.sh"));
    test::writeFile(setup, "#!/bin/sh\n[ \"$1\" = '/opt/Praxis Programme' ] && exit 7\nexit 1\n",
                    true);
    EXPECT_EQ(ShellX(setup, {QStringLiteral("/opt/Praxis Programme")}, 1, true, loop), 7);
    EXPECT_THROW(ShellX(QStringLiteral("/no/such/setup.exe"), {}, 1, true, loop), RuntimeError);
}

} // namespace
} // namespace upd
