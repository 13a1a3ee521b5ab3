#include "install/restart_protocol.h"
#include "platform/settings_store.h"
#include "support/signed_catalog.h"
#include "support/test_files.h"
#include "updateserver/update_server.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>

namespace upd {
namespace {

const QString BuiltUpdater = QStringLiteral(BUILT_UPDATER);
const QString HostArguments =
    QStringLiteral("AppName=quorlan Test#ExeVers=3.1.0#START=6#ProgID=QGR#SFA=Praxis Müller");

using test::readFile;

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
// installation itself and ends; its script replaces it and starts the new one with START=7,
// which takes the host's values over from the parked string. A copy that fails is the script's
// own case (tests/install).
TEST(SelfReplacement, TheNewUpdaterReplacesTheOldOneAndContinuesWithTheHostsValues) {
    namespace fs = std::filesystem;
    QTemporaryDir work;
    const fs::path catalogDir = fs::path(work.path().toStdString()) / "catalog";
    fs::copy(SAMPLE_CATALOG_DIR, catalogDir, fs::copy_options::recursive);
    const QString offered =
        QString::fromStdString((catalogDir / "files/downloads/updater/quorlan-update").string());
    QFile::remove(offered);
    const QByteArray newerBuild = readFile(BuiltUpdater) + "\nnewer build\n";
    QFile file(offered);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(newerBuild);
    file.close();

    server::UpdateServer server(test::signedCatalog(catalogDir),
                                DeploymentSettings::fromEnvironment(), {});
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(server.start("127.0.0.1", 0));

    ASSERT_TRUE(QDir(work.path()).mkdir(QStringLiteral("Update Prüfung")));
    const QString dir = work.filePath(QStringLiteral("Update Prüfung"));
    const QString own = dir + QStringLiteral("/quorlan-update");
    ASSERT_TRUE(QFile::copy(BuiltUpdater, own));
    const QString report = work.filePath(QStringLiteral("report.txt"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORLAN_UPDATE_SERVER_URL", base);
    env.insert("QUORLAN_UPDATE_CONNECTION_TEST_URL", base + "/");
    env.insert("QUORLAN_UPDATE_INFO_URL", base + "/updateproginfo.aspx");
    env.insert("QUORLAN_UPDATE_START_REPORT", report);
    env.insert("QUORLAN_UPDATE_TEST_CLICKS", "2");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess old;
    old.setProcessEnvironment(env);
    old.setStandardOutputFile(QProcess::nullDevice());
    old.setStandardErrorFile(work.filePath("old.err"));
    old.start(own, {HostArguments});
    EXPECT_TRUE(old.waitForFinished(240000)) << readFile(work.filePath("old.err")).data();
    EXPECT_EQ(old.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(old.exitCode(), 0) << readFile(work.filePath("old.err")).data();

    // The restarted updater reports its window's state once it stands.
    for (int i = 0; i < 1200 && !readFile(report).startsWith("state=1 "); ++i)
        QThread::msleep(50);
    QByteArray arguments;
    const qint64 restarted = processRunning(own, arguments);
    ASSERT_NE(restarted, 0);
    ::kill(static_cast<pid_t>(restarted), SIGKILL);
    EXPECT_EQ(arguments, QFile::encodeName(own) + '\0' + "START=7" + '\0');
    // The parked string: the host's with START 0, every other item unchanged.
    EXPECT_EQ(readFile(report),
              "state=1 tab=0\n" + parkedArguments(HostArguments).value().toUtf8() + '\n');
    EXPECT_EQ(readFile(own), newerBuild);
    EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"quorlan-update"});
    EXPECT_EQ(NativeSettingsStore().read(ConfigApplication, ConfigSection, ParkedArgumentsKey),
              QString());
}

} // namespace
} // namespace upd
