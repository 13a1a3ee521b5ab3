#include "install/replace_script_text.h"
#include "install/restart_protocol.h"
#include "install/self_replacement.h"

#include <QDir>
#include <QFile>
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
        {"START=6#AppName=X#", QStringLiteral("START=0#AppName=X#")},
        {"AppName=X#START=2#ExeVers=1.0.0", QStringLiteral("AppName=X#START=0#ExeVers=1.0.0")},
        {"AppName=A B #START=#SFA=Müller", QStringLiteral("AppName=A B #START=0#SFA=Müller")},
        // A key that only ends in START is another item.
        {"RESTART=5#START=6#X=1", QStringLiteral("RESTART=5#START=0#X=1")},
        // No "#" after the item, no START item at all: nothing to park.
        {"START=6", std::nullopt},
        {"AppName=X#START=6", std::nullopt},
        {"AppName=X#ExeVers=1.0.0", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parkedArguments(c.given), c.parked) << c.given.toStdString();
}

TEST(ReplaceBatchTest, GivenLinesWithConsolePathsQuotedBlanksAndNoFinalLineEnd) {
    const QString own = QStringLiteral("C:\\Programme\\quorlan Ärzte\\quorlan-update.exe");
    const QString fresh =
        QStringLiteral("C:\\Programme\\quorlan Ärzte\\2.01.0015.quorlan-update.exe");
    // Ä is 0x8E in the console code page, 0xC4 in Windows-1252 (the batch file's own name).
    const QByteArray o = "C:\\Programme\\quorlan \x8E"
                         "rzte\\quorlan-update.exe";
    const QByteArray n = "C:\\Programme\\quorlan \x8E"
                         "rzte\\2.01.0015.quorlan-update.exe";
    const QByteArray expected = "@echo off\r\n"
                                "IF NOT EXIST \"" +
                                n +
                                "\" GOTO NoReplace\r\n"
                                "SET Tries=0\r\n"
                                ":TryDel\r\n"
                                "IF %Tries% GEQ 60 GOTO NoReplace\r\n"
                                "DEL \"" +
                                o +
                                "\"\r\n"
                                "IF EXIST \"" +
                                o +
                                "\" SET /A Tries+=1\r\n"
                                "IF EXIST \"" +
                                o +
                                "\" PING -n 2 127.0.0.1 >NUL\r\n"
                                "IF EXIST \"" +
                                o +
                                "\" GOTO TryDel\r\n"
                                "COPY \"" +
                                n + "\" /B \"" + o +
                                "\" /B\r\n"
                                "IF ERRORLEVEL 1 GOTO NoReplace\r\n"
                                "IF NOT EXIST \"" +
                                o +
                                "\" GOTO NoReplace\r\n"
                                "DEL \"" +
                                n +
                                "\"\r\n"
                                ":NoReplace\r\n"
                                "START C:\\Programme\\quorlan\" \"\x8E"
                                "rzte\\quorlan-update.exe START=7\r\n"
                                "DEL \"C:\\Programme\\quorlan \xC4"
                                "rzte\\2.01.0015.quorlan-update.exe.bat\"";
    EXPECT_EQ(replaceBatchText(fresh, own, RestartArguments), expected);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeProgram(const QString& path, const QByteArray& name, const QString& log) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho \"" + name + " $*\" >> '" + QFile::encodeName(log) + "'\n");
    file.close();
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
}

// Stand-ins for the old and the new updater in a directory with a blank and an umlaut; each
// records its start with its arguments. `running` plays the old updater's process.
class ReplaceScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(base.path()).mkdir(QStringLiteral("Prüf Ordner")));
        dir = base.filePath(QStringLiteral("Prüf Ordner"));
        own = dir + QStringLiteral("/quorlan-update");
        fresh = dir + QStringLiteral("/2.01.0015.quorlan-update");
        started = dir + QStringLiteral("/started.log");
        writeProgram(own, "old", started);
        writeProgram(fresh, "new", started);
        oldBytes = readFile(own);
        newBytes = readFile(fresh);
        running.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        ASSERT_TRUE(running.waitForStarted());
    }
    void TearDown() override {
        running.kill();
        running.waitForFinished();
    }

    // Writes the script and runs it as the updater does; returns once an updater was started.
    QByteArray replace() {
        const QString script = WriteReplaceBatch(fresh, own, RestartArguments, running.processId());
        QProcess sh;
        sh.start(QStringLiteral("/bin/sh"), {script});
        // The script waits for the old updater; nothing is replaced while it runs.
        sh.waitForFinished(1500);
        EXPECT_EQ(readFile(own), oldBytes);
        EXPECT_FALSE(QFile::exists(started));
        running.kill();
        running.waitForFinished();
        EXPECT_TRUE(sh.waitForFinished(30000));
        EXPECT_FALSE(QFile::exists(script));
        for (int i = 0; i < 500 && !QFile::exists(started); ++i)
            QThread::msleep(20);
        return readFile(started);
    }

    QTemporaryDir base;
    QString dir, own, fresh, started;
    QByteArray oldBytes, newBytes;
    QProcess running;
};

TEST_F(ReplaceScriptTest, TheNewUpdaterTakesThePlaceOfTheEndedOneAndStarts) {
    EXPECT_EQ(replace(), "new START=7\n");
    EXPECT_EQ(readFile(own), newBytes);
    EXPECT_TRUE(QFile::permissions(own) & QFileDevice::ExeOwner);
    EXPECT_FALSE(QFile::exists(fresh));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList({"quorlan-update", "started.log"}));
}

TEST_F(ReplaceScriptTest, AFailedCopyKeepsTheOldUpdaterAndTheDownload) {
    // Something in the way of the copy beside the old updater.
    ASSERT_TRUE(QDir(dir).mkdir(QStringLiteral("quorlan-update.part")));
    EXPECT_EQ(replace(), "old START=7\n");
    EXPECT_EQ(readFile(own), oldBytes);
    EXPECT_EQ(readFile(fresh), newBytes);
}

} // namespace
} // namespace upd
