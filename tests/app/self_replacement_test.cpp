#include "install/restart_protocol.h"
#include "platform/settings_store.h"
#include "updateserver/update_server.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <signal.h>

namespace upd {
namespace {

const QString BuiltUpdater = QStringLiteral(BUILT_UPDATER);
const QString HostArguments =
    QStringLiteral("AppName=quorlan Test#ExeVers=3.1.0#START=6#ProgID=QGR#SFA=Praxis Müller");

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool waitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 1200; ++i) {
        if (done())
            return true;
        QThread::msleep(50);
    }
    return done();
}

// The process whose executable is `path`, with its arguments; 0 when none runs.
qint64 processRunning(const QString& path, QByteArray& arguments) {
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number && QFile::symLinkTarget("/proc/" + entry + "/exe") == path) {
            arguments = readFile("/proc/" + entry + "/cmdline");
            return pid;
        }
    }
    return 0;
}

// A copy of the built updater, in a directory with a blank and an umlaut, is started in run mode 6
// against the bundled server, whose catalog offers the built updater again under a higher version
// (with a few bytes more, to tell the two apart). It clicks through the download and the
// installation itself and ends; its script starts the updater again with START=7.
class SelfReplacementTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        const fs::path catalogDir = fs::path(work.path().toStdString()) / "catalog";
        fs::copy(SAMPLE_CATALOG_DIR, catalogDir, fs::copy_options::recursive);
        const QString offered = QString::fromStdString(
            (catalogDir / "files/downloads/updater/quorlan-update").string());
        QFile::remove(offered);
        newerBuild = readFile(BuiltUpdater) + "\nnewer build\n";
        QFile file(offered);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(newerBuild);
        file.close();

        server = std::make_unique<server::UpdateServer>(
            server::Catalog::load(catalogDir), DeploymentSettings::fromEnvironment(),
            [this](const std::string& line) {
                std::lock_guard lock(logMutex);
                log += QString::fromStdString(line) + '\n';
            });
        base = QStringLiteral("http://127.0.0.1:%1").arg(server->start("127.0.0.1", 0));

        ASSERT_TRUE(QDir(work.path()).mkdir(QStringLiteral("Update Prüfung")));
        dir = work.filePath(QStringLiteral("Update Prüfung"));
        own = dir + QStringLiteral("/quorlan-update");
        ASSERT_TRUE(QFile::copy(BuiltUpdater, own));
        report = work.filePath(QStringLiteral("report.txt"));
    }
    void TearDown() override {
        QByteArray arguments;
        if (const qint64 pid = processRunning(own, arguments))
            ::kill(static_cast<pid_t>(pid), SIGKILL);
    }

    // Runs the old updater to its end and waits for the restarted one; the restart's report.
    QByteArray replaceAndRestart() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORLAN_UPDATE_SERVER_URL", base);
        env.insert("QUORLAN_UPDATE_CONNECTION_TEST_URL", base + "/");
        env.insert("QUORLAN_UPDATE_INFO_URL", base + "/updateproginfo.aspx");
        env.insert("QUORLAN_UPDATE_START_REPORT", report);
        env.insert("QUORLAN_UPDATE_TEST_CLICKS", "2");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess old;
        old.setProcessEnvironment(env);
        old.setStandardOutputFile(work.filePath("old.out"));
        old.setStandardErrorFile(work.filePath("old.err"));
        old.start(own, {HostArguments});
        EXPECT_TRUE(old.waitForFinished(240000)) << readFile(work.filePath("old.err")).data();
        EXPECT_EQ(old.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(old.exitCode(), 0) << readFile(work.filePath("old.err")).data();

        EXPECT_TRUE(waitFor([&] { return readFile(report).startsWith("state=1 "); }))
            << readFile(report).data();
        QByteArray arguments;
        const qint64 restarted = processRunning(own, arguments);
        EXPECT_NE(restarted, 0);
        EXPECT_EQ(arguments, QFile::encodeName(own) + '\0' + "START=7" + '\0');
        return readFile(report);
    }

    // The parked string: the host's with START 0, every other item unchanged.
    QByteArray restartedReport() const {
        return "state=1 tab=0\n" + parkedArguments(HostArguments).value().toUtf8() + '\n';
    }
    QStringList filesLeft() const {
        return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
    QString serverLog() {
        std::lock_guard lock(logMutex);
        return log;
    }

    QTemporaryDir work;
    std::unique_ptr<server::UpdateServer> server;
    std::mutex logMutex;
    QString log;
    QString base, dir, own, report;
    QByteArray newerBuild;
    NativeSettingsStore store;
};

TEST_F(SelfReplacementTest, TheNewUpdaterReplacesTheOldOneAndContinuesWithTheHostsValues) {
    EXPECT_EQ(replaceAndRestart(), restartedReport());
    EXPECT_EQ(readFile(own), newerBuild);
    EXPECT_EQ(filesLeft(), QStringList{"quorlan-update"});
    EXPECT_EQ(store.read(ConfigApplication, ConfigSection, ParkedArgumentsKey), QString());
    EXPECT_TRUE(serverLog().contains(" GET /downloads/updater/quorlan-update 200 "))
        << serverLog().toStdString();
}

TEST_F(SelfReplacementTest, WhenTheCopyCannotBeWrittenTheOldUpdaterStaysAndStarts) {
    const QByteArray oldBuild = readFile(own);
    // Something in the way of the copy beside the old updater.
    ASSERT_TRUE(QDir(dir).mkdir(QStringLiteral("quorlan-update.part")));
    EXPECT_EQ(replaceAndRestart(), restartedReport());
    EXPECT_EQ(readFile(own), oldBuild);
    EXPECT_EQ(readFile(dir + "/2.01.0015.quorlan-update"), newerBuild);
}

} // namespace
} // namespace upd
