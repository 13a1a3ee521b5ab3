// The installation steps as the user runs them, with real setup programs, real host processes and
// a real database, and the whole way from the host's start to its restart.

#include "dataupdate/sample/sample_host.h"
#include "dataupdate/workgroup_password.h"
#include "platform/host_window.h"
#include "platform/settings_store.h"
#include "ui/frm_lizenz.h"
#include "ui/frm_update_info.h"
#include "wizard/host_closing.h"
#include "wizard_under_test.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextBrowser>
#include <QTimer>
#include <csignal>
#include <unistd.h>

namespace upd {
namespace {

// A host program: a real process whose id is its `Hwnd`.
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
        return std::make_unique<RecordedWait>(lines);
    }
    bool acceptTermsOfUse(const QString&) override { return false; }
    std::vector<QString> lines; // empty: no wait window opened
};

TEST(HostClosing, WaitsForTheHostWithTheGivenChecksAndWarnsWhenItStays) {
    const struct {
        const char* what;
        QString script; // the host: a shell that ends on the close request, later, or never
        bool closed;
        QString lastLine; // of the wait window; empty: none opens
    } cases[] = {
        {"closes at once", QStringLiteral("exec sleep 60"), true, {}},
        {"closes after 4.8 s",
         QStringLiteral("trap 'sleep 4.8; kill $!; exit 0' TERM; sleep 60 & wait"), true,
         QStringLiteral("1: Versuch 4 von 10 ...")},
        {"never closes", QStringLiteral("trap '' TERM; exec sleep 60"), false,
         QStringLiteral("1: Versuch 10 von 10 ...")},
    };
    Session session;
    session.host.ExtAppName = QStringLiteral("QuorMed Praxis");
    QtEventLoop loop;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HostProcess host(c.script);
        QThread::msleep(100); // the shell has set its trap
        session.host.Hwnd = host.hwnd();
        test::ScriptedPrompts prompts;
        prompts.answerNext(MessageAnswer::Ok);
        RecordedDialogs dialogs;
        EXPECT_EQ(CloseHostApplication(session, prompts, loop, dialogs), c.closed);
        EXPECT_EQ(dialogs.lines.empty(), c.lastLine.isEmpty());
        if (!c.lastLine.isEmpty()) {
            ASSERT_GE(dialogs.lines.size(), 3u);
            EXPECT_EQ(dialogs.lines[0], "0: Es wird versucht QuorMed Praxis zu beenden,");
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

    // Handles that name no single other process are never signalled: -1 would reach every
    // process, our own id the updater itself.
    for (const std::int32_t handle : {-1, static_cast<std::int32_t>(::getpid())}) {
        session.host.Hwnd = handle;
        test::ScriptedPrompts prompts;
        RecordedDialogs dialogs;
        EXPECT_TRUE(CloseHostApplication(session, prompts, loop, dialogs)) << handle;
        EXPECT_TRUE(dialogs.lines.empty());
    }
}

struct Update {
    QString version, min, max;
    QString extra = {}; // more shell lines of the setup
    QString startFile = "setup.sh";
    bool newDlls = true;
    bool executable = true;
};

// An update directory as the package download leaves it, with a file of the practice's own. Each
// setup program writes its version and arguments to the runs file, then runs its extra lines.
void writeUpdateFolder(const QString& path, const QString& runsFile,
                       const std::vector<Update>& updates, bool withTerms) {
    const auto write = [&path](const QString& name, const QString& text) {
        QDir().mkpath(QFileInfo(path + u'/' + name).path());
        QFile file(path + u'/' + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    };
    QString manifest;
    for (const Update& update : updates) {
        const QString setup = update.version + QStringLiteral("/setup.sh");
        write(setup, "#!/bin/sh\nprintf '%s %s\\n' " + update.version + " \"$1\" >> '" + runsFile +
                         "'\n" + update.extra + "\n");
        if (update.executable)
            QFile::setPermissions(path + u'/' + setup,
                                  QFile::permissions(path + u'/' + setup) | QFileDevice::ExeOwner);
        manifest += QStringLiteral("<update><version>%1</version><name>Update %1</name>"
                                   "<min>%2</min><max>%3</max><start_file>%4</start_file>"
                                   "<new_dlls>%5</new_dlls><new_master_version>False"
                                   "</new_master_version><no_startup_args>False"
                                   "</no_startup_args><files>u.zip</files><filestoextract/>"
                                   "<pw/><path>p</path></update>")
                        .arg(update.version, update.min, update.max, update.startFile,
                             update.newDlls ? "True" : "False");
    }
    write(QStringLiteral("UpdateInfo.xml"), "<updates>" + manifest + "</updates>\r\n");
    write(QStringLiteral("Hardware.xml"), QStringLiteral("<hardware/>"));
    write(QStringLiteral("Praxisdaten.txt"), {});
    if (withTerms)
        write(QStringLiteral("lizenz.txt"),
              QStringLiteral("Nutzungsbedingungen der Praxis-Updates"));
}

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

// The installation run in state 3 with real setup programs and a real host process: every way it
// ends or stops, online and offline.
TEST(ProgramInstallation, RunsTheFittingSetupsInOrderAndStopsWithTheGivenTexts) {
    using Icon = MessageIcon;
    using Answer = MessageAnswer;
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
        QStringList runs = {};          // versions whose setups ran, in order
        bool lastRunLogged = true;      // else it failed or was stopped
        // The message area when the final question comes, else at the end: its beginning.
        QString message = {};
        // Every box in order, the terms' "fortfahren?" too: its icon and the user's answer.
        std::vector<std::pair<Icon, Answer>> boxes = {};
        bool startEnabled = false;
        bool ends = false; // the program ends
        bool hostClosed = false;
        QString left = {}; // what stays in the update directory; empty: the first update's
    };
    const QString installed = QStringLiteral("Die Installation der Updates wurde erfolgreich "
                                             "abgeschlossen!");
    const std::pair<Icon, Answer> installedOk{Icon::Information, Answer::Ok};
    const Case cases[] = {
        {.what = "chained online, files kept",
         .runMode = runmode::Online,
         .updates = {first, second},
         .runs = {"3.2.0", "3.3.0"},
         .message = installed,
         .boxes = {{Icon::Question, Answer::No}, installedOk},
         .ends = true,
         .hostClosed = true,
         .left = "3.2.0|3.3.0|" + kept},
        {.what = "in the wrong order only the first fits; deleted, a foreign file stays",
         .updates = {second, first},
         .runs = {"3.2.0"},
         .message = installed,
         .boxes = {{Icon::Question, Answer::Yes}, installedOk},
         .ends = true,
         .hostClosed = true,
         .left = "Praxisdaten.txt"},
        {.what = "run mode 2 without new libraries",
         .runMode = runmode::OfflineNewDlls,
         .updates = {{"3.2.0", "3.1.0", "3.1.9", {}, "setup.sh", false}},
         .message = "Es konnten keine Updates installiert werden ...\r\nVermutliche "
                    "Ursachen:\r\nEs wurden keine passenden Updates gefunden.",
         .boxes = {{Icon::Question, Answer::No}},
         .ends = true},
        {.what = "a setup leaves its flag",
         .updates = {first, {"3.3.0", "3.2.0", "3.2.9", working}},
         .runs = {"3.2.0", "3.3.0"},
         .lastRunLogged = false,
         .message = "Fehler : 800400006",
         .boxes = {{Icon::Critical, Answer::Ok}},
         .startEnabled = true,
         .hostClosed = true,
         .left = "3.2.0|3.3.0|" + kept},
        {.what = "a setup cannot start",
         .updates = {{"3.2.0", "3.1.0", "3.1.9", {}, "setup.sh", true, false}},
         .message = "Fehler : 800400000",
         .boxes = {{Icon::Exclamation, Answer::Ok}},
         .startEnabled = true,
         .hostClosed = true},
        {.what = "a setup outside its directory",
         .updates = {{"3.2.0", "3.1.0", "3.1.9", {}, "../3.2.0/setup.sh"}},
         .message = "Fehler : 800400003",
         .boxes = {{Icon::Critical, Answer::Ok}},
         .startEnabled = true},
        {.what = "closed during a setup",
         .updates = {{"3.2.0", "3.1.0", "3.1.9", "sleep 2"}},
         .closeWhileRunning = true,
         .runs = {"3.2.0"},
         .lastRunLogged = false,
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
         .message = "Die Nutzungsbedingungen wurden nicht akzeptiert!\r\nDie Installation der "
                    "Updates kann deshalb nicht durchgeführt werden.",
         .boxes = {{Icon::Question, Answer::Yes}}},
        {.what = "nothing fits",
         .updates = {second},
         .message = "Im Update-Verzeichnis wurden keine Updates gefunden, die zu Ihrer "
                    "Programm-Version (3.1.0) passen!\r\nDie Update-Installation wird jetzt "
                    "beendet.",
         .boxes = {{Icon::Exclamation, Answer::Ok}},
         .startEnabled = true,
         .left = "3.3.0|" + kept},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir root;
        const QString hostDirectory = root.filePath(QStringLiteral("Praxis Programme"));
        const QString runsFile = root.filePath(QStringLiteral("runs.txt"));
        const QString updateDirectory = hostDirectory + QStringLiteral("/Updates");
        writeUpdateFolder(updateDirectory, runsFile, c.updates, c.withTerms);
        QFile::remove(NativeSettingsStore::location(QStringLiteral("quorlan-Test")));

        HostProcess host(QStringLiteral("exec sleep 60"));
        test::WizardUnderTest app;
        app.session.RunMode = c.runMode;
        app.session.host.Hwnd = host.hwnd();
        app.session.host.AppName = QStringLiteral("quorlan-Test");
        app.session.host.ExtAppName = QStringLiteral("quorlan Testpraxis");
        app.session.host.ExePath = hostDirectory;
        app.session.host.ExeName = QStringLiteral("qtest");
        app.session.deployment.signingKeys.clear(); // hand-made update directories
        for (const auto& box : c.boxes)
            app.prompts.answerNext(box.second);
        app.open().state().moveWizardTo(wizard::InstallProgramUpdates);
        app.window->boxes().offlineDirectory().setText(updateDirectory);
        TermsAnswer terms(c.accept);
        QString message;
        app.prompts.whenShown = [&](const QString& text) {
            if (text.contains(QStringLiteral("Möchten Sie die Update-Dateien")))
                message = app.message(tab::Installation);
        };

        // The close comes once the setup has written its line, while it still sleeps.
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (QFileInfo(runsFile).size() > 0) {
                closer.stop();
                app.window->close();
            }
        });
        if (c.closeWhileRunning)
            closer.start(20);
        app.press();
        if (message.isEmpty())
            message = app.message(tab::Installation);
        EXPECT_TRUE(message.startsWith(c.message)) << message.toStdString();
        EXPECT_EQ(app.startEnabled(), c.startEnabled);
        QStringList logged;
        for (const QString& version : c.runs)
            logged << QStringLiteral(" OK       ") + version + QStringLiteral(" Update ") + version;
        if (!c.lastRunLogged)
            logged.removeLast();
        EXPECT_EQ(app.window->boxes().installationLog().text(),
                  logged.join(QStringLiteral("\r\n")));
        EXPECT_EQ(app.window->flags().HostClosed, c.hostClosed);
        EXPECT_EQ(hostWindowExists(host.hwnd()), !c.hostClosed);
        EXPECT_EQ(c.ends ? app.windowGone() : app.window.isNull(), c.ends);
        app.close();

        QStringList ran;
        QFile runs(runsFile);
        if (runs.open(QIODevice::ReadOnly))
            ran = QString::fromUtf8(runs.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QStringList expectedRuns;
        for (const QString& version : c.runs)
            expectedRuns << version + u' ' + hostDirectory; // the host directory, unsplit
        EXPECT_EQ(ran, expectedRuns);
        std::vector<Icon> icons, expectedIcons;
        for (const auto& box : app.prompts.shown())
            icons.push_back(box.icon);
        for (const auto& box : c.boxes)
            expectedIcons.push_back(box.first);
        EXPECT_EQ(icons, expectedIcons);
        EXPECT_EQ(QDir(updateDirectory)
                      .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)
                      .join(u'|'),
                  c.left.isEmpty() ? "3.2.0|" + kept : c.left);
        EXPECT_TRUE(app.prompts.scriptUsedUp());
    }
}

// A copy of a downloaded update directory that was changed afterwards, installed offline: the
// check right before the setup finds it, the host stays open and nothing runs.
TEST(ProgramInstallation, AnUpdateDirectoryChangedAfterItsDownloadRunsNothing) {
    const test::BundledServer bundled;
    test::WizardUnderTest app;
    HostProcess host(QStringLiteral("exec sleep 60"));
    app.session.host.Hwnd = host.hwnd();
    app.open(bundled.url);
    app.press();
    app.press();
    ASSERT_EQ(app.window->wizardState(), wizard::InstallProgramUpdates);

    const QString changed = test::NotGenuine + "Der Inhalt wurde nach der Signatur verändert.";
    const struct {
        const char* what;
        const char* change; // a shell command in the copy
        QString text;       // of 800400003
    } cases[] = {
        {"the setup program edited", "echo 'exit 0' >> 3.2.0/setup.sh",
         "Die Datei setup.sh" + changed},
        {"a signed file deleted", "rm 3.2.0/liesmich.txt",
         "Die Datei liesmich.txt" + test::NotGenuine +
             "Die Datei fehlt oder kann nicht gelesen werden."},
        {"the manifest's max widened", "sed -i 's/<max>3.1.9</<max>3.1.99</' UpdateInfo.xml",
         "Die Datei qgr-3.2.0.zip" + test::NotGenuine +
             "Die Signatur des Herstellers ist ungültig."},
    };
    app.session.RunMode = runmode::OfflineAll;
    QTemporaryDir stick;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(stick.path()).removeRecursively();
        ASSERT_EQ(
            QProcess::execute(
                "sh", {"-c", "cp -r \"$0\" \"$1\" && cd \"$1\" && " + QString::fromLatin1(c.change),
                       app.hostDir.filePath("Updates"), stick.path()}),
            0);
        app.window->boxes().offlineDirectory().setText(stick.path());
        app.prompts.answerNext(MessageAnswer::Ok);
        TermsAnswer terms(true);
        app.press();
        ASSERT_FALSE(app.prompts.shown().empty());
        EXPECT_EQ(app.prompts.shown().back().text,
                  "Während der Update-Installation ist folgender Fehler aufgetreten: "
                  "\r\n800400003. " +
                      c.text + "\r\nDas Update wird nicht installiert.");
        EXPECT_EQ(app.message(tab::Installation), QStringLiteral("Fehler : 800400003"));
        EXPECT_FALSE(app.window->flags().HostClosed);
        EXPECT_TRUE(hostWindowExists(host.hwnd()));
        EXPECT_FALSE(QFile::exists(app.hostDir.filePath("update-setup.log"))) << "no setup ran";
    }
}

// The data update through the real, visible window: the search finds it and shows its
// information, the download fills the document, the installation writes it into a sample host's
// database and the program ends.
TEST(DataUpdate, IsFoundDownloadedAndInstalledIntoTheHostsDatabase) {
    const test::BundledServer bundled;
    test::WizardUnderTest app;
    HostParameters& h = app.session.host;
    h.ExeVers = QStringLiteral("3.3.0"); // no newer program
    h.ExtAppName = h.AppName;
    h.DBName = QStringLiteral("qgr.db");
    HostProcess host(QStringLiteral("exec sleep 60"));
    h.Hwnd = host.hwnd();
    // First a workgroup file with another password: the installation fails and may be repeated.
    const auto makeHost = [&](const QString& password) {
        dataupdate::sample::createSampleHost(app.hostDir.path(), h.DBName,
                                             dataupdate::sample::ProductFamily::IndikLexikonShg,
                                             password, true);
    };
    makeHost(QStringLiteral("falsch"));

    app.open(bundled.url).show();
    app.press();
    // In a visible window the update information opens at once, with the server's page.
    frmUpdateInfo* info = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        info = info ? info : qobject_cast<frmUpdateInfo*>(widget);
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->MyBrowser->toPlainText().contains(QStringLiteral("Datenstand 2024.06")));
    info->close();
    EXPECT_EQ(app.window->boxes().internetVersion().text(),
              QStringLiteral(" Kein Programm-Update vorhanden.\r\n Daten-Updates werden gesucht "
                             "...\r\n Ein Daten-Update ist vorhanden."));
    EXPECT_EQ(app.message(0), QStringLiteral("Es wurden neue Daten gefunden! \r\nKlicken Sie "
                                             "bitte auf 'Weiter', um mit dem Download zu "
                                             "beginnen ...\r\nKlicken Sie bitte auf 'Info', um "
                                             "die Update-Informationen anzusehen ..."));
    EXPECT_EQ(app.steps.Inet1().requestTimeout(), 45) << "the data query raises the time-out";

    app.press(); // "Weiter": the download
    ASSERT_EQ(app.window->wizardState(), wizard::InstallDataUpdates);
    EXPECT_EQ(app.window->boxes().downloadList().text(),
              QStringLiteral(" Download der Daten ...\r\n Datenübertragung erfolgreich ..."));

    app.press();
    EXPECT_TRUE(app.window->flags().HostClosed);
    const QString failure = app.message(tab::Installation);
    EXPECT_TRUE(failure.startsWith(QStringLiteral(
        "Es konnten keine Updates installiert werden bzw. die Installation wurde nicht "
        "vollständig durchgeführt.\r\nVermutliche Ursachen:\r\nmodDataUpdate: ")))
        << failure.toStdString();
    EXPECT_TRUE(app.startEnabled());

    makeHost(dataupdate::workgroupPassword(app.session.deployment.workgroupPassword));
    app.prompts.answerNext(MessageAnswer::Ok);
    app.press();
    EXPECT_TRUE(app.window->boxes().installationLog().text().endsWith(
        QStringLiteral(" OK\r\n Installation beendet.")));
    EXPECT_TRUE(app.windowGone()) << "success ends the program as Beenden does";
    ASSERT_FALSE(app.prompts.shown().empty());
    EXPECT_EQ(app.prompts.shown().back().text,
              QStringLiteral("Das Update-Programm wird jetzt beendet!"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "check");
        db.setDatabaseName(app.hostDir.filePath(h.DBName));
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(
            query.exec(QStringLiteral("SELECT Name FROM Indikationsnamen WHERE ID = 'O''9005'")));
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toString(), QStringLiteral("Morbus O'Brien"));
    }
    QSqlDatabase::removeDatabase("check");
}

// The whole way as a practice meets it: the sample host starts the updater (the demo's, which
// walks through its steps by itself) against the bundled server; the host is closed, both chained
// setups run, and the restarted host shows its new version.
TEST(EndToEnd, TheSampleHostIsClosedUpdatedAndRestartedWithItsNewVersion) {
    const test::BundledServer bundled;
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
    environment.insert(QStringLiteral("QUORLAN_UPDATE_SERVER_URL"), bundled.url);
    environment.insert(QStringLiteral("QUORLAN_UPDATE_CONNECTION_TEST_URL"), bundled.url + u'/');
    environment.insert(QStringLiteral("QUORLAN_UPDATE_INFO_URL"),
                       bundled.url + QStringLiteral("/updateproginfo.aspx"));
    environment.insert(QStringLiteral("QUORLAN_UPDATE_LOCAL_SERVER_URL"), bundled.url);
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

} // namespace
} // namespace upd
