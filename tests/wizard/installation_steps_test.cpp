#include "app/program_steps.h"
#include "dataupdate/sample/sample_host.h"
#include "dataupdate/workgroup_password.h"
#include "platform/host_window.h"
#include "platform/settings_store.h"
#include "support/named_control.h"
#include "support/scripted_prompts.h"
#include "support/signed_catalog.h"
#include "ui/frm_lizenz.h"
#include "ui/frm_start.h"
#include "updateserver/update_server.h"
#include "wizard/host_closing.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace upd {
namespace {

// A host program: a real process whose id is its `Hwnd`, which ends on the close request at once,
// after a while, or never.
class HostProcess {
public:
    explicit HostProcess(const QString& script) {
        process_.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
        EXPECT_TRUE(process_.waitForStarted());
    }
    ~HostProcess() {
        process_.kill();
        process_.waitForFinished();
    }
    std::int32_t hwnd() const { return static_cast<std::int32_t>(process_.processId()); }

private:
    QProcess process_;
};

// The wait window as the host closing drives it.
class RecordedWait final : public WaitNotice {
public:
    explicit RecordedWait(std::vector<QString>& lines) : lines_(lines) {}
    void setLine(int index, const QString& text) override {
        lines_.push_back(QString::number(index) + QStringLiteral(": ") + text);
    }
    void show() override { lines_.push_back(QStringLiteral("shown")); }

private:
    std::vector<QString>& lines_;
};

class RecordedDialogs final : public StepDialogs {
public:
    std::unique_ptr<WaitNotice> openWaitNotice() override {
        ++opened;
        return std::make_unique<RecordedWait>(lines);
    }
    bool acceptTermsOfUse(const QString&) override { return false; }
    int opened = 0;
    std::vector<QString> lines;
};

TEST(HostClosing, WaitsForTheHostWithTheGivenChecksAndWarnsWhenItStays) {
    struct Case {
        const char* what;
        QString script; // the host: a shell that ends on the close request, later, or never
        bool closed;
        bool waitWindow;
        QString lastLine;
        int minimumMs;
    };
    const Case cases[] = {
        {"closes at once", QStringLiteral("exec sleep 60"), true, false, {}, 0},
        {"closes after 4.8 s",
         QStringLiteral("trap 'sleep 4.8; kill $!; exit 0' TERM; sleep 60 & wait"), true, true,
         QStringLiteral("1: Versuch 4 von 10 ..."), 4500},
        {"never closes", QStringLiteral("trap '' TERM; exec sleep 60"), false, true,
         QStringLiteral("1: Versuch 10 von 10 ..."), 7900},
    };
    Session session;
    session.host.ExtAppName = QStringLiteral("QuorMed Praxis");
    QtEventLoop loop;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HostProcess host(c.script);
        QThread::msleep(100); // the shell has set its trap
        session.host.Hwnd = host.hwnd();
        test::ScriptedPrompts prompts;
        prompts.answerNext(MessageAnswer::Ok);
        RecordedDialogs dialogs;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(CloseHostApplication(session, prompts, loop, dialogs), c.closed);
        EXPECT_GE(clock.elapsed(), c.minimumMs);
        EXPECT_EQ(dialogs.opened, c.waitWindow ? 1 : 0);
        if (c.waitWindow) {
            ASSERT_GE(dialogs.lines.size(), 3u);
            EXPECT_EQ(dialogs.lines[0], QStringLiteral("0: Es wird versucht QuorMed Praxis zu "
                                                       "beenden,"));
            EXPECT_EQ(dialogs.lines.back(), c.lastLine);
        }
        EXPECT_EQ(prompts.shown().size(), c.closed ? 0u : 1u);
        if (!c.closed) {
            EXPECT_EQ(prompts.shown()[0].text,
                      QStringLiteral("QuorMed Praxis konnte nicht automatisch beendet werden!\r\n"
                                     "Minimieren Sie dieses Update-Fenster und beenden Sie danach "
                                     "QuorMed Praxis manuell.\r\nAnschließend können Sie mit der "
                                     "Installation des Updates fortfahren."));
        }
    }

    // Handles that name no single other process are never signalled: 0 and -1 would reach a whole
    // process group, our own id the updater itself.
    for (const std::int32_t handle : {0, -1, 1, static_cast<std::int32_t>(::getpid())}) {
        session.host.Hwnd = handle;
        test::ScriptedPrompts prompts;
        RecordedDialogs dialogs;
        EXPECT_TRUE(CloseHostApplication(session, prompts, loop, dialogs)) << handle;
        EXPECT_EQ(dialogs.opened, 0);
    }
}

// An update directory as the package download leaves it. Each setup program writes its version
// and arguments to a runs file, then does what its case asks of it.
class UpdateFolder {
public:
    struct Update {
        QString version, min, max;
        QString extra = {}; // more shell lines of the setup
        QString startFile = "setup.sh";
        bool newDlls = true;
        bool executable = true;
    };

    UpdateFolder(const QString& path, const QString& runsFile) : path_(path), runs_(runsFile) {
        QDir().mkpath(path);
    }
    void add(const Update& update) {
        const QString directory = path_ + u'/' + update.version;
        QDir().mkpath(directory);
        QFile setup(directory + QStringLiteral("/setup.sh"));
        EXPECT_TRUE(setup.open(QIODevice::WriteOnly));
        setup.write(("#!/bin/sh\nprintf '%s %s\\n' " + update.version + " \"$1\" >> '" + runs_ +
                     "'\n" + update.extra + "\n")
                        .toUtf8());
        setup.close();
        if (update.executable)
            setup.setPermissions(setup.permissions() | QFileDevice::ExeOwner);
        manifest_ += QStringLiteral("<update><version>%1</version><name>Update %1</name>"
                                    "<min>%2</min><max>%3</max><start_file>%4</start_file>"
                                    "<new_dlls>%5</new_dlls><new_master_version>False"
                                    "</new_master_version><no_startup_args>False"
                                    "</no_startup_args><files>u.zip</files><filestoextract/>"
                                    "<pw/><path>p</path></update>")
                         .arg(update.version, update.min, update.max, update.startFile,
                              update.newDlls ? "True" : "False");
    }
    void finish(bool withTerms) {
        write(QStringLiteral("UpdateInfo.xml"), "<updates>" + manifest_ + "</updates>\r\n");
        write(QStringLiteral("Hardware.xml"), "<hardware/>");
        if (withTerms)
            write(QStringLiteral("lizenz.txt"), "Nutzungsbedingungen der Praxis-Updates");
    }
    QStringList entries() const {
        return QDir(path_).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }

private:
    void write(const QString& name, const QString& text) {
        QFile file(path_ + u'/' + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toLatin1());
    }
    QString path_, runs_, manifest_;
};

// Answers the terms of use when the dialog opens, as a user would: the choice, then "Weiter".
class TermsAnswer {
public:
    explicit TermsAnswer(bool accept) {
        QObject::connect(&timer_, &QTimer::timeout, [this, accept] {
            auto* dialog = qobject_cast<frmLizenz*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            timer_.stop();
            (accept ? dialog->Option1 : dialog->Option2)->setChecked(true);
            dialog->lblCMD->click();
        });
        timer_.start(20);
    }

private:
    QTimer timer_;
};

void waitUntilGone(const QPointer<frmStart>& window) {
    for (int i = 0; i < 500 && window; ++i) {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(10);
    }
}

// The installation run in state 3 with real setup programs and a real host process: every way it
// ends or stops, online and offline.
TEST(ProgramInstallation, RunsTheFittingSetupsInOrderAndStopsWithTheGivenTexts) {
    using Update = UpdateFolder::Update;
    using Icon = MessageIcon;
    const QString working =
        QStringLiteral("d=\"$XDG_CONFIG_HOME/VB and VBA Program Settings\"; mkdir -p \"$d\"; "
                       "printf '[UpdateSetup]\\nWorking=3.3.0\\n' > \"$d/quorlan-Test.ini\"");
    const Update first{"3.2.0", "3.1.0", "3.1.9"};
    const Update second{"3.3.0", "3.2.0", "3.2.9"};
    const QString kept = QStringLiteral("Hardware.xml|Praxisdaten.txt|UpdateInfo.xml|lizenz.txt");
    struct Case {
        const char* what;
        std::int16_t runMode = runmode::OfflineAll;
        std::vector<Update> updates = {};
        bool withTerms = true;
        bool accept = true;
        bool closeWhileRunning = false; // the user closes the window during the first setup
        std::vector<MessageAnswer> answers = {}; // every box in order, the terms' "fortfahren?" too
        QStringList runs = {};                   // versions whose setups ran, in order
        QStringList logged = {};                 // versions in the installation log
        // The message area when the final question comes, else at the end: its beginning.
        QString message = {};
        std::vector<Icon> boxes = {};
        bool startEnabled = false;
        bool ends = false; // the program ends
        bool hostClosed = false;
        QString left = {}; // what stays in the update directory; empty: the first update's
    };
    const QString installed = QStringLiteral("Die Installation der Updates wurde erfolgreich "
                                             "abgeschlossen!");
    const std::vector<Icon> questionThenEnd{Icon::Question, Icon::Information};
    const std::vector<MessageAnswer> keepThenEnd{MessageAnswer::No, MessageAnswer::Ok};
    const Case cases[] = {
        {.what = "chained online, files kept",
         .runMode = runmode::Online,
         .updates = {first, second},
         .answers = keepThenEnd,
         .runs = {"3.2.0", "3.3.0"},
         .logged = {"3.2.0", "3.3.0"},
         .message = installed,
         .boxes = questionThenEnd,
         .ends = true,
         .hostClosed = true,
         .left = "3.2.0|3.3.0|" + kept},
        {.what = "chained in the wrong order: only the first fits",
         .updates = {second, first},
         .answers = keepThenEnd,
         .runs = {"3.2.0"},
         .logged = {"3.2.0"},
         .message = installed,
         .boxes = questionThenEnd,
         .ends = true,
         .hostClosed = true,
         .left = "3.2.0|3.3.0|" + kept},
        {.what = "offline, deleted: a foreign file stays",
         .updates = {first, {"3.9.0", "9", "9"}},
         .answers = {MessageAnswer::Yes, MessageAnswer::Ok},
         .runs = {"3.2.0"},
         .logged = {"3.2.0"},
         .message = installed,
         .boxes = questionThenEnd,
         .ends = true,
         .hostClosed = true,
         .left = "Praxisdaten.txt"},
        {.what = "run mode 2 without new libraries",
         .runMode = runmode::OfflineNewDlls,
         .updates = {{"3.2.0", "3.1.0", "3.1.9", {}, "setup.sh", false}},
         .answers = {MessageAnswer::No},
         .message = "Es konnten keine Updates installiert werden ...\r\nVermutliche "
                    "Ursachen:\r\nEs wurden keine passenden Updates gefunden.",
         .boxes = {Icon::Question},
         .ends = true},
        {.what = "a setup leaves its flag",
         .updates = {first, {"3.3.0", "3.2.0", "3.2.9", working}},
         .answers = {MessageAnswer::Ok},
         .runs = {"3.2.0", "3.3.0"},
         .logged = {"3.2.0"},
         .message = "Fehler : 800400006",
         .boxes = {Icon::Critical},
         .startEnabled = true,
         .hostClosed = true,
         .left = "3.2.0|3.3.0|" + kept},
        {.what = "a setup cannot start",
         .updates = {{"3.2.0", "3.1.0", "3.1.9", {}, "setup.sh", true, false}},
         .answers = {MessageAnswer::Ok},
         .message = "Fehler : 800400000",
         .boxes = {Icon::Exclamation},
         .startEnabled = true,
         .hostClosed = true},
        {.what = "a setup outside its directory",
         .updates = {{"3.2.0", "3.1.0", "3.1.9", {}, "../3.2.0/setup.sh"}},
         .answers = {MessageAnswer::Ok},
         .message = "Fehler : 800400003",
         .boxes = {Icon::Critical},
         .startEnabled = true},
        {.what = "closed during a setup",
         .updates = {{"3.2.0", "3.1.0", "3.1.9", "sleep 2"}},
         .closeWhileRunning = true,
         .runs = {"3.2.0"},
         .message = "Bitte warten! Die Anwendung wird geschlossen ...",
         .ends = true,
         .hostClosed = true},
        {.what = "no terms of use",
         .runMode = runmode::OfflineTypedDirectory,
         .updates = {first},
         .withTerms = false,
         .message = "Fehler 800400005\r\nDie Nutzungsbedingungen-Datei konnten nicht gefunden "
                    "werden!\r\nÜberprüfen Sie bitte",
         .startEnabled = true,
         .left = "3.2.0|Hardware.xml|Praxisdaten.txt|UpdateInfo.xml"},
        {.what = "terms declined",
         .updates = {first},
         .accept = false,
         .answers = {MessageAnswer::Yes},
         .message = "Die Nutzungsbedingungen wurden nicht akzeptiert!\r\nDie Installation der "
                    "Updates kann deshalb nicht durchgeführt werden.",
         .boxes = {Icon::Question}},
        {.what = "nothing fits",
         .updates = {second},
         .answers = {MessageAnswer::Ok},
         .message = "Im Update-Verzeichnis wurden keine Updates gefunden, die zu Ihrer "
                    "Programm-Version (3.1.0) passen!\r\nDie Update-Installation wird jetzt "
                    "beendet.",
         .boxes = {Icon::Exclamation},
         .startEnabled = true,
         .left = "3.3.0|" + kept},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir root;
        const QString hostDirectory = root.filePath(QStringLiteral("Praxis Programme"));
        const QString updateDirectory = hostDirectory + QStringLiteral("/Updates");
        const QString runsFile = root.filePath(QStringLiteral("runs.txt"));
        UpdateFolder folder(updateDirectory, runsFile);
        for (const Update& update : c.updates)
            folder.add(update);
        folder.finish(c.withTerms);
        QFile(updateDirectory + QStringLiteral("/Praxisdaten.txt")).open(QIODevice::WriteOnly);
        QFile::remove(NativeSettingsStore::location(QStringLiteral("quorlan-Test")));

        HostProcess host(QStringLiteral("exec sleep 60"));
        Session session;
        session.RunMode = c.runMode;
        session.host.Hwnd = host.hwnd();
        session.host.ExeVers = QStringLiteral("3.1.0");
        session.host.AppName = QStringLiteral("quorlan-Test");
        session.host.ExtAppName = QStringLiteral("quorlan Testpraxis");
        session.host.ExePath = hostDirectory;
        session.host.ExeName = QStringLiteral("qtest");
        session.host.ProgID = QStringLiteral("QGR");
        session.deployment.signingKeys.clear(); // hand-made update directories
        test::ScriptedPrompts prompts;
        for (const MessageAnswer answer : c.answers)
            prompts.answerNext(answer);
        QtEventLoop loop;
        ProgramWizardSteps steps(loop, prompts);
        QPointer<frmStart> window = new frmStart(session, prompts, loop, steps);
        ASSERT_TRUE(window->Form_Load());
        window->state().moveWizardTo(wizard::InstallProgramUpdates);
        window->boxes().offlineDirectory().setText(updateDirectory);
        TermsAnswer terms(c.accept);
        QString message;
        prompts.whenShown = [&](const QString& text) {
            if (text.contains(QStringLiteral("Möchten Sie die Update-Dateien")))
                message = window->messageArea(tab::Installation).text();
        };

        // The close comes once the setup has written its line, while it still sleeps.
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (QFileInfo(runsFile).size() > 0) {
                closer.stop();
                window->close();
            }
        });
        if (c.closeWhileRunning)
            closer.start(20);
        window->StartAskForUpdates();
        if (message.isEmpty())
            message = window->messageArea(tab::Installation).text();
        EXPECT_TRUE(message.startsWith(c.message)) << message.toStdString();
        EXPECT_EQ(test::named<LabelButton>(*window, "lblStart")->isEnabled(), c.startEnabled);
        QStringList logged;
        for (const QString& version : c.logged)
            logged << QStringLiteral(" OK       ") + version + QStringLiteral(" Update ") + version;
        EXPECT_EQ(window->boxes().installationLog().text(), logged.join(QStringLiteral("\r\n")));
        EXPECT_EQ(window->flags().HostClosed, c.hostClosed);
        EXPECT_EQ(hostWindowExists(host.hwnd()), !c.hostClosed);
        waitUntilGone(c.ends ? window : QPointer<frmStart>());
        EXPECT_EQ(window.isNull(), c.ends);
        delete window.data();

        QStringList ran;
        QFile runs(runsFile);
        if (runs.open(QIODevice::ReadOnly))
            ran = QString::fromUtf8(runs.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QStringList expectedRuns;
        for (const QString& version : c.runs)
            expectedRuns << version + u' ' + hostDirectory; // the host directory, unsplit
        EXPECT_EQ(ran, expectedRuns);
        std::vector<Icon> icons;
        for (const auto& box : prompts.shown())
            icons.push_back(box.icon);
        EXPECT_EQ(icons, c.boxes);
        EXPECT_EQ(folder.entries().join(u'|'), c.left.isEmpty() ? "3.2.0|" + kept : c.left);
        EXPECT_TRUE(prompts.scriptUsedUp());
    }
}

// A copy of a downloaded update directory that was changed afterwards, installed offline: the
// check right before the setup finds it, the host stays open and nothing runs.
TEST(ProgramInstallation, AnUpdateDirectoryChangedAfterItsDownloadRunsNothing) {
    server::UpdateServer server(test::signedCatalog(), DeploymentSettings::fromEnvironment(), {});
    QTemporaryDir root;
    Session session;
    session.ServerBaseUrl = QStringLiteral("http://127.0.0.1:%1").arg(server.start("127.0.0.1", 0));
    session.host.ProgID = QStringLiteral("QGR");
    session.host.ExeVers = QStringLiteral("3.1.0");
    session.host.AppName = QStringLiteral("quorlan-Test");
    session.host.ExePath = root.filePath(QStringLiteral("host"));
    HostProcess host(QStringLiteral("exec sleep 60"));
    session.host.Hwnd = host.hwnd();
    test::ScriptedPrompts prompts;
    QtEventLoop loop;
    ProgramWizardSteps steps(loop, prompts);
    frmStart window(session, prompts, loop, steps);
    ASSERT_TRUE(window.Form_Load());
    window.StartAskForUpdates();
    window.StartAskForUpdates();
    ASSERT_EQ(window.wizardState(), wizard::InstallProgramUpdates);
    const QString downloaded = session.host.ExePath + QStringLiteral("/Updates");

    const QString notGenuine = QStringLiteral(" ist kein echtes Update des Herstellers.\r\n");
    const struct {
        const char* what;
        const char* change; // a shell command in the copy
        QString text;       // of 800400003
    } cases[] = {
        {"the setup program edited", "echo 'exit 0' >> 3.2.0/setup.sh",
         "Die Datei setup.sh" + notGenuine + "Der Inhalt wurde nach der Signatur verändert."},
        {"the archive changed", "printf x >> 3.2.0/qgr-3.2.0.zip",
         "Die Datei qgr-3.2.0.zip" + notGenuine + "Der Inhalt wurde nach der Signatur verändert."},
        {"a signed file deleted", "rm 3.2.0/liesmich.txt",
         "Die Datei liesmich.txt" + notGenuine + "Die Datei fehlt oder kann nicht gelesen werden."},
        {"the manifest's max widened", "sed -i 's/<max>3.1.9</<max>3.1.99</' UpdateInfo.xml",
         "Die Datei qgr-3.2.0.zip" + notGenuine + "Die Signatur des Herstellers ist ungültig."},
    };
    session.RunMode = runmode::OfflineAll;
    const QString copy = root.filePath(QStringLiteral("USB-Stick"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(copy).removeRecursively();
        ASSERT_EQ(
            QProcess::execute(
                "sh", {"-c", "cp -r \"$0\" \"$1\" && cd \"$1\" && " + QString::fromLatin1(c.change),
                       downloaded, copy}),
            0);
        window.boxes().offlineDirectory().setText(copy);
        prompts.answerNext(MessageAnswer::Ok);
        TermsAnswer terms(true);
        window.StartAskForUpdates();
        ASSERT_FALSE(prompts.shown().empty());
        EXPECT_EQ(prompts.shown().back().text,
                  QStringLiteral("Während der Update-Installation ist folgender Fehler "
                                 "aufgetreten: \r\n800400003. ") +
                      c.text + QStringLiteral("\r\nDas Update wird nicht installiert."));
        EXPECT_EQ(window.messageArea(tab::Installation).text(),
                  QStringLiteral("Fehler : 800400003"));
        EXPECT_FALSE(window.flags().HostClosed);
        EXPECT_TRUE(hostWindowExists(host.hwnd()));
        EXPECT_FALSE(QFile::exists(session.host.ExePath + QStringLiteral("/update-setup.log")))
            << "no setup ran";
    }
}

// The whole way as a practice meets it: the sample host starts the updater (the demo's, which
// walks through its steps by itself) against the bundled server; the host is closed, both chained
// setups run, and the restarted host shows its new version.
TEST(EndToEnd, TheSampleHostIsClosedUpdatedAndRestartedWithItsNewVersion) {
    server::UpdateServer server(test::signedCatalog(), DeploymentSettings::fromEnvironment(), {});
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(server.start("127.0.0.1", 0));
    QTemporaryDir root;
    const QDir host(root.filePath(QStringLiteral("Praxis Programme")));
    dataupdate::sample::createSampleHost(
        host.path(), QStringLiteral("qgr.db"), dataupdate::sample::ProductFamily::IndikLexikonShg,
        dataupdate::workgroupPassword(DeploymentSettings::fromEnvironment().workgroupPassword),
        true);
    ASSERT_TRUE(QFile::copy(QStringLiteral(SAMPLE_HOST_PROGRAM), host.filePath("qgr")));
    const auto write = [&host](const char* name, const QString& text) {
        QFile file(host.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    };
    write("version.txt", QStringLiteral("3.1.0\n"));
    write("sample-host.ini",
          QStringLiteral("[Host]\nProgID=QGR\nAppName=quorlan-Gesundheitsratgeber\n"
                         "ExtAppName=quorlan Gesundheitsratgeber\nDBName=qgr.db\nDBVers=2024.01\n"
                         "Updater=%1\nUpdaterOptions=%2\n")
              .arg(QStringLiteral(WALKING_UPDATER_PROGRAM), root.filePath("pictures")));

    QProcess firstHost;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUORLAN_UPDATE_SERVER_URL"), base);
    environment.insert(QStringLiteral("QUORLAN_UPDATE_CONNECTION_TEST_URL"), base + u'/');
    environment.insert(QStringLiteral("QUORLAN_UPDATE_INFO_URL"),
                       base + QStringLiteral("/updateproginfo.aspx"));
    environment.insert(QStringLiteral("QUORLAN_UPDATE_LOCAL_SERVER_URL"), base);
    firstHost.setProcessEnvironment(environment);
    firstHost.start(host.filePath("qgr"), {QStringLiteral("--start-update")});
    ASSERT_TRUE(firstHost.waitForStarted());

    // The host's log: a line for each start with its version and process id.
    QStringList starts;
    for (int i = 0; i < 1200 && starts.size() < 2; ++i) {
        QThread::msleep(100);
        QFile log(host.filePath("host.log"));
        if (log.open(QIODevice::ReadOnly))
            starts = QString::fromUtf8(log.readAll()).split(u'\n').filter(u"gestartet");
    }
    ASSERT_EQ(starts.size(), 2) << "the host was not restarted after the update";
    EXPECT_TRUE(starts[0].contains(QStringLiteral("Version 3.1.0")));
    EXPECT_TRUE(starts[1].contains(QStringLiteral("Version 3.3.0"))) << starts[1].toStdString();
    EXPECT_TRUE(firstHost.waitForFinished(5000)) << "the first host ended on the close request";
    EXPECT_TRUE(QFileInfo::exists(host.filePath("programm-qgr.txt")));
    const qint64 restarted = starts[1].section(QStringLiteral("Prozess "), 1).toLongLong();
    ASSERT_GT(restarted, 1);
    ::kill(static_cast<pid_t>(restarted), SIGTERM);
}

// The data update through the real window: search, download, installation into a sample host.
TEST(DataInstallation, ThePayloadReachesTheHostsDatabaseAndTheProgramEnds) {
    server::UpdateServer server(test::signedCatalog(), DeploymentSettings::fromEnvironment(), {});
    const int port = server.start("127.0.0.1", 0);
    QTemporaryDir hostDirectory;
    Session session;
    session.ServerBaseUrl = QStringLiteral("http://127.0.0.1:%1").arg(port);
    session.host.ProgID = QStringLiteral("QGR");
    session.host.ExeVers = QStringLiteral("3.3.0"); // no newer program
    session.host.AppName = session.host.ExtAppName = QStringLiteral("quorlan-Gesundheitsratgeber");
    session.host.ExePath = hostDirectory.path();
    session.host.DBName = QStringLiteral("qgr.db");
    HostProcess host(QStringLiteral("exec sleep 60"));
    session.host.Hwnd = host.hwnd();
    // First a workgroup file with another password: the installation fails and may be repeated.
    const auto makeHost = [&](const QString& password) {
        dataupdate::sample::createSampleHost(hostDirectory.path(), session.host.DBName,
                                             dataupdate::sample::ProductFamily::IndikLexikonShg,
                                             password, true);
    };
    makeHost(QStringLiteral("falsch"));

    test::ScriptedPrompts prompts;
    QtEventLoop loop;
    ProgramWizardSteps steps(loop, prompts);
    QPointer<frmStart> window = new frmStart(session, prompts, loop, steps);
    ASSERT_TRUE(window->Form_Load());
    window->StartAskForUpdates(); // the search finds data
    window->StartAskForUpdates(); // the download
    ASSERT_EQ(window->wizardState(), wizard::InstallDataUpdates);

    window->StartAskForUpdates();
    EXPECT_TRUE(window->flags().HostClosed);
    const QString failure = window->messageArea(tab::Installation).text();
    EXPECT_TRUE(failure.startsWith(QStringLiteral(
        "Es konnten keine Updates installiert werden bzw. die Installation wurde nicht "
        "vollständig durchgeführt.\r\nVermutliche Ursachen:\r\nmodDataUpdate: ")))
        << failure.toStdString();
    EXPECT_TRUE(test::named<LabelButton>(*window, "lblStart")->isEnabled());
    EXPECT_EQ(window->wizardState(), wizard::InstallDataUpdates);

    makeHost(dataupdate::workgroupPassword(session.deployment.workgroupPassword));
    prompts.answerNext(MessageAnswer::Ok); // "Das Update-Programm wird jetzt beendet!"
    window->StartAskForUpdates();
    EXPECT_TRUE(window->boxes().installationLog().text().endsWith(
        QStringLiteral(" OK\r\n Installation beendet.")));
    // "Beenden" during the step: the window goes once the step has ended.
    for (int i = 0; i < 300 && window; ++i) {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(10);
    }
    EXPECT_TRUE(window.isNull()) << "success ends the program as Beenden does";
    ASSERT_FALSE(prompts.shown().empty());
    EXPECT_EQ(prompts.shown().back().text,
              QStringLiteral("Das Update-Programm wird jetzt beendet!"));

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "check");
        db.setDatabaseName(hostDirectory.filePath(session.host.DBName));
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(
            query.exec(QStringLiteral("SELECT Name FROM Indikationsnamen WHERE ID = 'O''9005'")));
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toString(), QStringLiteral("Morbus O'Brien"));
    }
    QSqlDatabase::removeDatabase("check");
}

} // namespace
} // namespace upd
