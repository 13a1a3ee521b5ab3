#include "core/runtime_error.h"
#include "platform/file_helpers.h"
#include "support/scripted_prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace upd {
namespace {

void touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write("x");
}

TEST(FileHelpers, FexistSeesVisibleFilesOnly) {
    QTemporaryDir dir;
    touch(dir.filePath("setup.exe"));
    touch(dir.filePath(".hidden"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));

    EXPECT_TRUE(Fexist(dir.filePath("setup.exe")));
    EXPECT_TRUE(Fexist(dir.filePath("*.exe")));
    EXPECT_TRUE(Fexist(dir.filePath("setu?.exe")));
    EXPECT_FALSE(Fexist(dir.filePath("*.zip")));
    EXPECT_FALSE(Fexist(dir.filePath(".hidden")));
    EXPECT_FALSE(Fexist(dir.filePath("sub")));
    EXPECT_FALSE(Fexist(dir.filePath("missing/setup.exe")));
    EXPECT_FALSE(Fexist(QString()));
}

TEST(FileHelpers, KillFileDeletesReadOnlyFilesAndNamesTheOneItCannotDelete) {
    QTemporaryDir dir;
    const QString readOnly = dir.filePath("readonly.dll");
    touch(readOnly);
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner));
    touch(dir.filePath(".hidden"));

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
    touch(dir.filePath("a.txt"));
    touch(dir.filePath("*.txt"));
    EXPECT_TRUE(removeFile(dir.filePath("*.txt")));
    EXPECT_TRUE(QFile::exists(dir.filePath("a.txt")));
    EXPECT_FALSE(QFile::exists(dir.filePath("*.txt")));
    EXPECT_TRUE(removeFile(QStringLiteral("/dev/null")));
    EXPECT_TRUE(QFile::exists(QStringLiteral("/dev/null")));
    EXPECT_FALSE(removeFile(dir.path()));
}

TEST(FileHelpers, KillDirEmptiesTheDirectoryButLeavesSubDirectories) {
    QTemporaryDir dir;
    touch(dir.filePath("a.exe"));
    touch(dir.filePath("b.txt"));
    touch(dir.filePath("odd[1]*.txt"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("sub/deeper"));
    touch(dir.filePath("sub/inner.txt"));

    EXPECT_TRUE(KillDir(dir.path()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());
    EXPECT_TRUE(QFile::exists(dir.filePath("sub/inner.txt")));
    EXPECT_TRUE(QDir(dir.filePath("sub/deeper")).exists());
    EXPECT_TRUE(KillDir(dir.filePath("sub/deeper"))); // empty: done at once
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
    EXPECT_GE(ticks, 5);

    // Without yielding, no handler runs meanwhile.
    ticks = 0;
    EXPECT_EQ(ShellX(shell, {"-c", "sleep 0.2; exit 0"}, 1, false, loop), 0);
    EXPECT_EQ(ticks, 0);

    // Blanks in the program's path and in its argument reach it unsplit.
    QTemporaryDir dir;
    const QString setup = dir.filePath(QStringLiteral("Neuer Ordner/setup prog.sh"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(setup).path()));
    QFile script(setup);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n[ \"$1\" = '/opt/Praxis Programme' ] && exit 7\nexit 1\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    EXPECT_EQ(ShellX(setup, {QStringLiteral("/opt/Praxis Programme")}, 1, true, loop), 7);

    EXPECT_THROW(ShellX(QStringLiteral("/no/such/setup.exe"), {}, 1, true, loop), RuntimeError);
}

} // namespace
} // namespace upd
