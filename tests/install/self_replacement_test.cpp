#include "install/replace_script_text.h"
#include "install/restart_protocol.h"
#include "install/self_replacement.h"
#include "support/test_files.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace upd {
namespace {

TEST(ParkedArgumentsTest, TheStartItemBecomesZeroAndEverythingElseStays) {
    const struct {
        QString given;
        std::optional<QString> parked;
    } cases[] = {
        {"AppName=X#START=2#ExeVers=1.0.0", QStringLiteral("AppName=X#START=0#ExeVers=1.0.0")},
        {"AppName=A B #START=#SFA=Müller", QStringLiteral("AppName=A B #START=0#SFA=Müller")},
        // A key that only ends in START is another item.
        {"RESTART=5#START=6#X=1", QStringLiteral("RESTART=5#START=0#X=1")},
        // No "#" after the item, no START item at all: nothing to park.
        {"AppName=X#START=6", std::nullopt},
        {"AppName=X#ExeVers=1.0.0", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parkedArguments(c.given), c.parked) << c.given.toStdString();
}

TEST(ReplaceBatchTest, GivenLinesWithConsolePathsQuotedBlanksAndNoFinalLineEnd) {
    // <850> is Ä in the console code page, <1252> in Windows-1252 (the batch file's own name).
    QByteArray expected = R"(@echo off
IF NOT EXIST "<new>" GOTO NoReplace
SET Tries=0
:TryDel
IF %Tries% GEQ 60 GOTO NoReplace
DEL "<own>"
IF EXIST "<own>" SET /A Tries+=1
IF EXIST "<own>" PING -n 2 127.0.0.1 >NUL
IF EXIST "<own>" GOTO TryDel
COPY "<new>" /B "<own>" /B
IF ERRORLEVEL 1 GOTO NoReplace
IF NOT EXIST "<own>" GOTO NoReplace
DEL "<new>"
:NoReplace
START C:\Programme\quorlan" "<850>rzte\quorlan-update.exe START=7
DEL "C:\Programme\quorlan <1252>rzte\2.01.0015.quorlan-update.exe.bat")";
    expected.replace("\n", "\r\n")
        .replace("<new>", R"(C:\Programme\quorlan <850>rzte\2.01.0015.quorlan-update.exe)")
        .replace("<own>", R"(C:\Programme\quorlan <850>rzte\quorlan-update.exe)")
        .replace("<850>", "\x8E")
        .replace("<1252>", "\xC4");
    EXPECT_EQ(replaceBatchText(
                  QStringLiteral("C:\\Programme\\quorlan Ärzte\\2.01.0015.quorlan-update.exe"),
                  QStringLiteral("C:\\Programme\\quorlan Ärzte\\quorlan-update.exe"),
                  RestartArguments),
              expected);
}

// Stand-ins for the old and the new updater, in a directory with a blank and an umlaut, note
// their start. The replacement as a whole runs in the self-replacement test of the built updater;
// here the waiting, a failed copy and a repeat.
TEST(ReplaceScript, WaitsForTheOldUpdaterAndKeepsBothFilesWhenTheCopyFails) {
    QTemporaryDir base;
    const QString dir = base.filePath(QStringLiteral("Prüf Ordner"));
    const QString own = dir + "/quorlan-update", fresh = dir + "/2.01.0015.quorlan-update";
    const QString started = dir + "/started.log";
    const auto program = [&](const char* name) {
        return "#!/bin/sh\necho \"" + QByteArray(name) + " $*\" >> '" + QFile::encodeName(started) +
               "'\n";
    };
    test::writeFile(own, program("old"), true);
    test::writeFile(fresh, program("new"), true);
    // Runs the script for a stand-in of the old updater's process; gives what it started.
    const auto replace = [&] {
        QProcess running;
        running.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        EXPECT_TRUE(running.waitForStarted());
        const QString script = WriteReplaceBatch(fresh, own, RestartArguments, running.processId());
        QProcess sh;
        sh.start(QStringLiteral("/bin/sh"), {script});
        sh.waitForFinished(1500);
        EXPECT_EQ(test::readFile(own), program("old")) << "replaced while the old one runs";
        EXPECT_FALSE(QFile::exists(started));
        running.kill();
        running.waitForFinished();
        EXPECT_TRUE(sh.waitForFinished(30000));
        EXPECT_FALSE(QFile::exists(script));
        // The log exists as soon as the shell opens it, before the line is written.
        for (int i = 0; i < 500 && !test::readFile(started).endsWith('\n'); ++i)
            QThread::msleep(20);
        const QByteArray log = test::readFile(started);
        QFile::remove(started);
        return log;
    };
    // Something in the way of the copy beside the old updater.
    ASSERT_TRUE(QDir(dir).mkdir(QStringLiteral("quorlan-update.part")));
    EXPECT_EQ(replace(), "old START=7\n");
    EXPECT_EQ(test::readFile(fresh), program("new"));

    ASSERT_TRUE(QDir(dir + "/quorlan-update.part").removeRecursively());
    EXPECT_EQ(replace(), "new START=7\n");
    EXPECT_EQ(test::readFile(own), program("new"));
    EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"quorlan-update"});
}

} // namespace
} // namespace upd
