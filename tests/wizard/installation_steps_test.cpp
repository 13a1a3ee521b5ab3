#include "app/program_steps.h"
#include "dataupdate/sample/sample_host.h"
#include "dataupdate/workgroup_password.h"
#include "support/named_control.h"
#include "support/scripted_prompts.h"
#include "ui/frm_start.h"
#include "updateserver/update_server.h"
#include "wizard/host_closing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
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

// The data update through the real window: search, download, installation into a sample host.
TEST(DataInstallation, ThePayloadReachesTheHostsDatabaseAndTheProgramEnds) {
    server::UpdateServer server(server::Catalog::load(SAMPLE_CATALOG_DIR),
                                DeploymentSettings::fromEnvironment(), {});
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
