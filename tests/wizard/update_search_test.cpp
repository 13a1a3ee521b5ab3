// The update search as the user runs it: the real main window with the program's steps against
// hand-made answers.

#include "support/local_http_server.h"
#include "wizard_under_test.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <atomic>

namespace upd {
namespace {

class SearchTest : public ::testing::Test, public test::WizardUnderTest {
protected:
    QString message() { return WizardUnderTest::message(0); }
};

// A server whose pages answer with fixed texts.
class HandMadeServer : public test::LocalHttpServer {
public:
    HandMadeServer(std::string programAnswer, std::string dataAnswer) {
        http().Get("/update.aspx", [programAnswer](const httplib::Request&, httplib::Response& r) {
            r.set_content(programAnswer, "text/xml");
        });
        http().Get("/dataupdate.aspx", [dataAnswer](const httplib::Request&, httplib::Response& r) {
            r.set_content(dataAnswer, "text/xml");
        });
        start();
    }
    QString base() const { return QString::fromStdString(url()); }
};

// Each answer becomes its lines in the result box, its message, its flags and the wizard's state.
TEST_F(SearchTest, AnswersBecomeTheirListsMessagesAndStates) {
    struct Case {
        const char* answer;
        const char* dataAnswer;
        QString expected; // the message
        bool program, data;
        std::int32_t state = wizard::Search;
        QString results = {}; // checked when given
    };
    const QString unusable =
        QStringLiteral("Fehler : 800400001\r\nDie Update-Informationen konnten nicht abgerufen "
                       "werden! Versuchen Sie es bitte später nochmal!");
    for (const Case& c : {
             Case{"<updates/>", "<dataupdate><updatefound></updatefound></dataupdate>",
                  QStringLiteral("Es wurden keine Updates gefunden. Bitte versuchen Sie es zu "
                                 "einem späteren Zeitpunkt nochmal."),
                  false, false, wizard::Search,
                  QStringLiteral(" Kein Programm-Update vorhanden.\r\n"
                                 " Daten-Updates werden gesucht ...\r\n"
                                 " Kein Daten-Update vorhanden.")},
             // A declaration and a comment before the root never hide the updates.
             Case{"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- Antwort -->\n"
                  "<updates><update><version>3.2.0</version><name>Release A</name></update>"
                  "<update><version>3.3.0</version><name>Release B</name></update></updates>",
                  "<x/>",
                  QStringLiteral("Es wurden neue Versionen gefunden! \r\nKlicken Sie bitte auf "
                                 "'Weiter', um mit dem Download zu beginnen ..."),
                  true, false, wizard::DownloadProgramUpdates,
                  QStringLiteral(" 3.2.0   Release A\r\n 3.3.0   Release B")},
             Case{"<error><nr>500400011</nr><text>Bitte CD anfordern</text></error>", "<x/>",
                  QStringLiteral("Fehler : 500400011\r\nBitte CD anfordern"), true, false},
             Case{"<error><nr>500400012</nr><text>Daten per Post</text></error>", "<x/>",
                  QStringLiteral("Fehler : 500400012\r\nDaten per Post"), false, true},
             Case{"<error><nr>0</nr><text></text></error>", "<x/>", QStringLiteral("Fehler "),
                  false, false},
             Case{"<html><body>Server Error</html>", "<x/>", unusable, false, false},
             // Answers that are not well-formed are never read as answers.
             Case{"<updates>&nbsp;</updates>", "<x/>", unusable, false, false},
             Case{"<updates/>", "Fehler<dataupdate><updatefound>1</updatefound></dataupdate>",
                  QStringLiteral("Fehler : 800400001\r\nDie Update-Daten konnten nicht abgerufen "
                                 "werden! Versuchen Sie es bitte später nochmal!"),
                  false, false},
             Case{"<error><nr>x</nr><text>t</text></error>", "<x/>",
                  QStringLiteral("Fehler : 800400001\r\nTypen unverträglich (13)"), false, false},
         }) {
        SCOPED_TRACE(c.answer);
        HandMadeServer server(c.answer, c.dataAnswer);
        open(server.base());
        press();
        EXPECT_EQ(message(), c.expected);
        if (!c.results.isEmpty()) {
            EXPECT_EQ(window->boxes().internetVersion().text(), c.results);
        }
        EXPECT_EQ(window->flags().ProgramUpdatesFound, c.program);
        EXPECT_EQ(window->flags().DataUpdatesFound, c.data);
        EXPECT_EQ(window->wizardState(), c.state);
        EXPECT_TRUE(startEnabled());
        if (c.state == wizard::DownloadProgramUpdates) {
            EXPECT_EQ(server.requests().size(), 1u) << "no data query beside program updates";
            EXPECT_EQ(test::named<LabelButton>(*window, "lblStart")->caption(),
                      QStringLiteral("Weiter"));
        }
    }
    EXPECT_TRUE(prompts.shown().empty());
}

// A time-out is a run-time error of the transfer control like the refused connection here
// (TransferControlTest.FailuresStallsAndTricklesRaiseRunTimeErrorsWhileSlowLinesWork).
TEST_F(SearchTest, TransferFailuresAreShownWithTheirDescription) {
    open(QStringLiteral("http://127.0.0.1:%1").arg(test::closedLocalPort()));
    press();
    EXPECT_TRUE(message().startsWith(QStringLiteral("Fehler : 800400001\r\n")))
        << message().toStdString();
    EXPECT_TRUE(message().endsWith(u')')) << "description (number)";
}

TEST_F(SearchTest, MalformedVersionsAreRefusedBeforeAnyRequest) {
    HandMadeServer server("<updates/>", "<x/>");
    open(server.base());
    const QString longMessage = QStringLiteral(
        "Überprüfen Sie bitte Ihre Eingabe zur Programm-Version! \r\nSie wurde nicht im richtigen "
        "Format eingegeben.\r\nEine korrekte Versions-Angabe ist folgendermaßen aufgebaut:\r\ndrei "
        "Ziffern, die jeweils durch einen Punkt getrennt sind.\r\nBeispiele: 2.1.0 oder 3.1.9 oder "
        "4.1.0");
    const QString shortMessage = QStringLiteral(
        "Überprüfen Sie bitte Ihre Programm-Version Angabe! \r\nDiese wurde nicht im richtigen "
        "Format eingegeben.");
    for (const auto& [version, expected] :
         {std::pair{"3.1.0.0", longMessage}, std::pair{"3.a.0", shortMessage}}) {
        test::named<QLineEdit>(*window, "txtProgVersion")->setText(QString::fromLatin1(version));
        press();
        ASSERT_FALSE(prompts.shown().empty());
        EXPECT_EQ(prompts.shown().back().text, expected) << version;
        EXPECT_EQ(prompts.shown().back().icon, MessageIcon::Exclamation);
        EXPECT_TRUE(startEnabled());
    }
    EXPECT_TRUE(server.requests().empty());

    // Blanks and exponents pass the numeric test; the search then runs.
    test::named<QLineEdit>(*window, "txtProgVersion")->setText(QStringLiteral(" 3.1e0.0"));
    press();
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST_F(SearchTest, ABusyTransferControlSendsNothing) {
    test::LocalHttpServer stalling;
    stalling.http().Get("/slow", [](const httplib::Request&, httplib::Response& r) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        r.set_content("x", "text/plain");
    });
    stalling.start();
    open(QString::fromStdString(stalling.url()));
    steps.Inet1().execute(QString::fromStdString(stalling.url("/slow")), QStringLiteral("GET"));
    press();
    EXPECT_EQ(message(), QStringLiteral("Die Internetkommunikations-Komponente ist beschäftigt. "
                                        "Bitte warten ..."));
    EXPECT_TRUE(startEnabled());
    steps.Inet1().cancel();
    for (const std::string& request : stalling.requests())
        EXPECT_EQ(request, "/slow");
}

// Every page answers at once, except the held one, which waits until the test releases it.
class HoldingServer : public test::LocalHttpServer {
public:
    explicit HoldingServer(std::string held) : held_(std::move(held)) {
        http().Get(R"(/(update|dataupdate)\.aspx|/downloads/updater/x\.exe)",
                   [this](const httplib::Request& req, httplib::Response& res) {
                       const std::string page = req.path == "/dataupdate.aspx"
                                                    ? "MODUS=" + req.get_param_value("MODUS")
                                                    : req.path;
                       if (page == held_) {
                           waiting = true;
                           for (int i = 0; i < 500 && !release; ++i)
                               std::this_thread::sleep_for(std::chrono::milliseconds(10));
                       }
                       if (page == "/update.aspx")
                           res.set_content("<updates/>", "text/xml");
                       else if (page == "MODUS=0")
                           res.set_content("<d><updatefound>1</updatefound></d>", "text/xml");
                       else if (page == "MODUS=2")
                           res.set_content("<daten><satz/></daten>", "text/xml");
                       else
                           res.set_content(std::string(100'000, 'u'), "application/octet-stream");
                   });
        start();
    }
    std::atomic<bool> waiting = false;
    std::atomic<bool> release = false;

private:
    std::string held_;
};

TEST_F(SearchTest, AStepRunningWhenTheWindowClosesEndsQuietlyBeforeTheWindowGoes) {
    struct Case {
        const char* step;
        std::int16_t runMode;
        std::int32_t state;
        std::string held; // the request during which the window closes; "" for the bar's show
    };
    session.UpdaterPath = QStringLiteral("downloads/updater");
    session.UpdaterFile = QStringLiteral("x.exe");
    session.UpdaterVersion = QStringLiteral("9.9.9");
    session.deployment.signingKeys.clear(); // the held answers are not signed
    // Beenden and the close box meet in the same wait for the step: each row takes one of them.
    bool closeBox = false;
    for (const Case& c : {
             Case{"program query", 0, wizard::Search, "/update.aspx"},
             Case{"data query", 0, wizard::Search, "MODUS=0"},
             Case{"data download", 0, wizard::DownloadDataUpdates, "MODUS=2"},
             Case{"bar after the data download", 0, wizard::DownloadDataUpdates, ""},
             Case{"updater download", 6, wizard::DownloadNewUpdater, "/downloads/updater/x.exe"},
         }) {
        closeBox = !closeBox;
        SCOPED_TRACE(std::string(c.step) + (closeBox ? " (close box)" : " (Beenden)"));
        HoldingServer server(c.held);
        session.AbortRequested = false;
        session.RunMode = c.runMode;
        frmStart& w = open(QString::fromStdString(server.url()));
        w.show();
        w.state().moveWizardTo(c.state);

        bool stepRunning = false;
        bool destroyedDuringStep = false;
        QObject::connect(&w, &QObject::destroyed, [&] { destroyedDuringStep = stepRunning; });
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            const bool due = c.held.empty() ? !test::named<QLabel>(w, "Percent")->text().isEmpty()
                                            : server.waiting.load();
            if (!due)
                return;
            closer.stop();
            if (closeBox)
                w.close();
            else
                test::named<LabelButton>(w, "lblEnd")->click();
            server.release = true;
        });
        closer.start(5);
        stepRunning = true;
        press();
        stepRunning = false;
        server.release = true;

        EXPECT_FALSE(destroyedDuringStep);
        ASSERT_FALSE(window.isNull());
        EXPECT_EQ(window->visibleMessageArea().text(),
                  QStringLiteral("Bitte warten! Die Anwendung wird geschlossen ..."));
        EXPECT_TRUE(windowGone()) << "the window goes once the step has ended";
    }
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(SearchTest, TheQueryStringsReachTheServerExactly) {
    HandMadeServer server("<updates/>", "<dataupdate><updatefound/></dataupdate>");
    HostParameters& h = session.host;
    h.MachineID = QStringLiteral("PC-1");
    h.SFA = QStringLiteral("Müller & Söhne");
    h.SNN = QStringLiteral("O'Neill");
    h.SVN = QStringLiteral("Ärztin");
    h.SST = QStringLiteral("Straße 1+2");
    h.SPL = QStringLiteral("A&B");
    h.SOR = QStringLiteral("Köln");
    h.REG = QStringLiteral("R+1");
    h.SD[3] = QStringLiteral("Größe");
    h.SD[11] = QStringLiteral("Ma "); // the last value ends with a blank
    session.version = {2, 1, 14};
    open(server.base());
    press();
    const std::string common =
        "VERS=3v1v0&PID=QGR&MID=PC-1&SFA=Mueller%20%5B0%5D%20Soehne&SNN=O%5B2%5DNeill"
        "&SVN=Aerztin&SST=Stra%23e%201%5B1%5D2&SPL=A&B&SOR=Koeln&REG=R%5B1%5D1";
    ASSERT_EQ(server.requests().size(), 2u);
    // The program query appends " #": only the "#" stays off the wire.
    EXPECT_EQ(server.requests()[0], "/update.aspx?" + common + "&IUVERS=2v1v14%20");
    std::string data =
        common + "&IUVERS=2v1v14&DBVers=2024.01&MODUS=0&KEY=&SEARCHDATE="
                 "&SD0=&SD1=&SD2=&SD3=Groe%23e&SD4=&SD5=&SD6=&SD7=&SD8=&SD9=&SD10=&SD11=Ma%20";
    data.replace(data.find("MID="), 4, "MachineID=");
    EXPECT_EQ(server.requests()[1], "/dataupdate.aspx?" + data);
}

} // namespace
} // namespace upd
