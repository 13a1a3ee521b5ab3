#include "ui/open_main_window.h"
#include "ui/window_fixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace upd::test {
namespace {

const QString NothingDownloaded = QStringLiteral(
    "Es konnten keine neuen Versionen heruntergeladen werden. Bitte versuchen Sie es "
    "zu einem späteren Zeitpunkt nochmal.");

QColor colorOf(frmStart& w, const char* box) {
    return named<QPlainTextEdit>(w, box)->palette().color(QPalette::Text);
}
QString textOf(frmStart& w, const char* box) {
    return named<QLineEdit>(w, box)->text();
}

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, OpensOnTheTabAndStateOfEachRunMode) {
    const QString updates = QStringLiteral("/opt/quormed") + QDir::separator() + "Updates";
    const struct {
        std::int16_t runMode;
        int tab;
        std::int32_t state;
        QString offlineDirectory; // "-": the offline controls are hidden
    } cases[] = {
        {0, tab::Search, wizard::Search, "-"},
        {1, tab::Installation, wizard::InstallProgramUpdates, QString()},
        {2, tab::Installation, wizard::InstallProgramUpdates, updates},
        {6, tab::Download, wizard::DownloadNewUpdater, updates},
    };
    session.UpdaterVersion = QStringLiteral("2.2.0");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.runMode);
        frmStart& w = open(c.runMode);
        w.show();
        ASSERT_TRUE(loaded);
        EXPECT_EQ(named<QTabWidget>(w, "SSTab1")->currentIndex(), c.tab);
        EXPECT_EQ(w.wizardState(), c.state);
        for (const char* offline : {"txtOfflineUpdates", "cmdSearch", "cmdInfo"})
            EXPECT_EQ(named<QWidget>(w, offline)->isHidden(), c.offlineDirectory == "-");
        if (c.offlineDirectory != "-") {
            EXPECT_EQ(textOf(w, "txtOfflineUpdates"), c.offlineDirectory);
        }
        EXPECT_TRUE(start()->isEnabled());
        EXPECT_TRUE(prompts.shown().empty()) << "opening tripped the tab guard";
        if (c.runMode == 0) {
            EXPECT_EQ(w.messageArea(tab::Search).text(),
                      QStringLiteral("Bitte starten Sie das Internet-Update ..."));
            EXPECT_EQ(named<QPlainTextEdit>(w, "txtProgExeInternet")->toPlainText(),
                      QStringLiteral(" noch nicht geprüft"));
            EXPECT_EQ(start()->caption(), QStringLiteral("Start"));
        }
        if (c.runMode == 6) {
            EXPECT_EQ(start()->caption(), QStringLiteral("Weiter"));
            EXPECT_EQ(w.boxes().downloadList().text(),
                      QStringLiteral(" quorlan-Internet-Update Programm Version 2.2.0"));
            EXPECT_TRUE(w.messageArea(tab::Download)
                            .text()
                            .startsWith(QStringLiteral("Wir empfehlen Ihnen, diese Version")));
        }
        delete window.data();
    }
}

// Without a version the product's base version stands, and without a display name the host's
// name with a ®. An unknown product without a version opens no window and says whom to call.
TEST_F(MainWindowTest, MissingHostValues) {
    session.host.ExeVers.clear();
    session.host.ExtAppName.clear();
    frmStart& w = open(0);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(textOf(w, "txtProgVersion"), QStringLiteral("5.1.0"));
    EXPECT_EQ(named<QLabel>(w, "lblCallerName")->text(), QStringLiteral("QuorMed® - Update"));
    EXPECT_EQ(session.host.ExtAppName, QStringLiteral("QuorMed"));
    delete window.data();

    session.host.ExeVers.clear();
    session.host.ProgID = QStringLiteral("XYZ");
    session.deployment.supportTelephone = QStringLiteral("0800 555");
    EXPECT_EQ(OpenMainWindow(session, prompts, loop, steps), nullptr);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].icon, MessageIcon::Critical);
    EXPECT_EQ(prompts.shown()[0].title, QStringLiteral("quorlan-Internet-Update"));
    EXPECT_EQ(prompts.shown()[0].text,
              QStringLiteral("Die zuletzt installierte Programm-Version wurde nicht übermittelt "
                             "und konnte auch nicht neu initialisiert werden! \r\nDas "
                             "Update-Programm kann nicht gestartet werden.\r\nBitte kontaktieren "
                             "Sie die quorlan-Hotline unter der Telefonnummer: 0800 555"));
}

TEST_F(MainWindowTest, TabGuardKeepsTheWizardInOrder) {
    frmStart& w = open(0);
    w.show();
    auto* tabs = named<QTabWidget>(w, "SSTab1");
    const QString before = QStringLiteral("Bevor Sie mit ");
    const QString needsSearch =
        QStringLiteral(" beginnen können, müssen die Update-Informationen abgefragt werden!");
    const struct {
        std::int32_t state;
        int chosen, shown;
        QString text;
    } refused[] = {
        {wizard::Search, tab::Download, tab::Search, before + "dem Download" + needsSearch},
        {wizard::Search, tab::Installation, tab::Search,
         before + "der Update-Installation" + needsSearch},
        {wizard::DownloadProgramUpdates, tab::Installation, tab::Download,
         before + "der Update-Installation beginnen können, müssen die Updates herunter geladen "
                  "werden!"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.text.toStdString());
        w.state().moveWizardTo(c.state);
        tabs->setCurrentIndex(c.chosen);
        EXPECT_EQ(tabs->currentIndex(), c.shown);
        ASSERT_FALSE(prompts.shown().empty());
        EXPECT_EQ(prompts.shown().back().text, c.text);
    }

    // Back to the first tab: the wizard starts over.
    start()->setCaption(QStringLiteral("Weiter"));
    tabs->setCurrentIndex(tab::Search);
    EXPECT_EQ(w.wizardState(), wizard::Search);
    EXPECT_EQ(start()->caption(), QStringLiteral("Start"));

    // Ready to install: no guard, and the download tab enables the button.
    w.state().moveWizardTo(wizard::InstallProgramUpdates);
    start()->setEnabled(false);
    tabs->setCurrentIndex(tab::Download);
    EXPECT_TRUE(start()->isEnabled());
    tabs->setCurrentIndex(tab::Installation);
    EXPECT_EQ(tabs->currentIndex(), tab::Installation);
    EXPECT_EQ(prompts.shown().size(), 3u);
}

TEST_F(MainWindowTest, VersionInputBoxSetsTheVersionAndReturnsToTheSearch) {
    frmStart& w = open(0);
    w.state().moveWizardTo(wizard::DownloadDataUpdates);
    prompts.typeNext(QStringLiteral("4.1.0"));
    QTest::mouseClick(named<QPushButton>(w, "cmdOldVersion"), Qt::LeftButton);
    EXPECT_EQ(textOf(w, "txtProgVersion"), QStringLiteral("4.1.0"));
    EXPECT_EQ(w.wizardState(), wizard::Search);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text,
              QStringLiteral("Geben Sie bitte die Programm-Version ein, für die nach Updates "
                             "gesucht werden soll.\r\nAchten Sie bei der Eingabe auf das Format! "
                             "\r\nEine korrekte Versions-Angabe ist folgendermaßen aufgebaut: drei "
                             "Ziffern, die jeweils durch einen Punkt getrennt sind.\r\nBeispiele: "
                             "2.1.0 oder 3.1.9 oder 4.1.0\r\n\r\nKlicken Sie anschließlich auf den "
                             "Button 'Start' um die Suche zu starten"));
    w.cmdOldVersion_Click(); // cancelled: an empty text, which the search will refuse
    EXPECT_EQ(textOf(w, "txtProgVersion"), QString());
}

// The downloads' outcomes that end short of the next step: what the download tab says (a number
// in red), where the wizard stands; the button is always usable again.
TEST_F(MainWindowTest, DownloadsThatBringNothing) {
    const struct {
        const char* what;
        std::int32_t state;
        bool busy;
        std::int32_t number;
        bool result;
        QString message;
        std::int32_t stateAfter;
    } cases[] = {
        {"busy transfer control", wizard::DownloadProgramUpdates, true, 0, false, "vorher",
         wizard::DownloadProgramUpdates},
        {"program updates, no number", wizard::DownloadProgramUpdates, false, 0, false,
         NothingDownloaded, wizard::Search},
        {"data query", wizard::DownloadDataUpdates, false, 500400012, false,
         "vorher\r\nFehler : 500400012\r\nx", wizard::DownloadDataUpdates},
        {"no data", wizard::DownloadDataUpdates, false, 0, true, NothingDownloaded,
         wizard::DownloadDataUpdates},
    };
    std::int32_t number = 0;
    steps.downloadUpdateFiles = [&](WizardWindow& ww, std::int32_t& errNumber, QString& errText) {
        ww.controls().tabs().setCurrentTab(tab::Download); // as the package download does first
        errNumber = number;
        errText = QStringLiteral("x");
        return false;
    };
    steps.queryErrText = QStringLiteral("x");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        number = steps.queryErrNumber = c.number;
        steps.busy = c.busy;
        steps.queryResult = c.result;
        steps.calls.clear();
        frmStart& w = open(0);
        w.show();
        w.state().moveWizardTo(c.state);
        w.messageArea(tab::Download).setText(QStringLiteral("vorher"));
        w.StartAskForUpdates();
        EXPECT_EQ(steps.calls.isEmpty(), c.busy);
        EXPECT_EQ(w.messageArea(tab::Download).text(), c.message);
        EXPECT_EQ(colorOf(w, "txtHinweis(1)"), c.number ? AttentionColor : WorkingColor);
        EXPECT_EQ(w.wizardState(), c.stateAfter);
        EXPECT_TRUE(start()->isEnabled());
        delete window.data();
    }
}

TEST_F(MainWindowTest, DownloadedDataAreReadyToInstall) {
    frmStart& w = open(0);
    w.show();
    named<QLineEdit>(w, "txtProgVersion")->setText(QStringLiteral("5.1.2"));
    w.state().moveWizardTo(wizard::DownloadDataUpdates);
    steps.queryResult = steps.queryDownloaded = true;
    w.StartAskForUpdates();
    EXPECT_EQ(steps.lastMode, 2);
    EXPECT_EQ(steps.lastVersion, QStringLiteral("5.1.2"));
    EXPECT_TRUE(named<QLabel>(w, "lblData(0)")->isHidden());
    EXPECT_EQ(start()->caption(), QStringLiteral("Weiter"));
    EXPECT_TRUE(start()->isEnabled());
    EXPECT_EQ(w.messageArea(tab::Installation).text(),
              QStringLiteral("Klicken Sie bitte auf 'Weiter', um die Installation des Updates zu "
                             "starten."));
    // A new search brings the transfer figures back.
    named<QTabWidget>(w, "SSTab1")->setCurrentIndex(tab::Search);
    EXPECT_FALSE(named<QLabel>(w, "lblData(0)")->isHidden());
}

// "Beenden" asks only after the host was closed whether to start it again; the program ends in
// every case.
TEST_F(MainWindowTest, EndAsksAboutTheHostOnlyOnceItWasClosed) {
    QTemporaryDir host;
    ASSERT_TRUE(QFile(host.filePath(session.host.ExeName)).open(QIODevice::WriteOnly));
    session.host.ExePath = host.path();
    const std::vector<QString> texts = {
        QStringLiteral("Das Update-Programm wird jetzt beendet! Möchten Sie, dass QuorMed "
                       "Praxis jetzt gestartet werden soll?"),
        QStringLiteral("QuorMed Praxis konnte leider nicht gestartet werden, versuchen Sie "
                       "es bitte manuell zu starten.")};
    steps.hostStarts = false;
    for (const bool hostClosed : {false, true}) {
        SCOPED_TRACE(hostClosed);
        prompts = ScriptedPrompts();
        prompts.answerNext(MessageAnswer::Yes);
        session.AbortRequested = false;
        frmStart& w = open(0);
        w.show();
        w.flags().HostClosed = hostClosed;
        QTest::mouseClick(named<LabelButton>(w, "lblEnd"), Qt::LeftButton);
        EXPECT_TRUE(session.AbortRequested);
        settle();
        EXPECT_TRUE(window.isNull());
        if (!hostClosed) {
            EXPECT_TRUE(prompts.shown().empty());
            EXPECT_EQ(steps.startedHost, QString());
            continue;
        }
        ASSERT_EQ(prompts.texts(), texts);
        EXPECT_EQ(prompts.shown()[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(steps.startedHost, host.path() + QDir::separator() + session.host.ExeName);
    }
}

// The close waits for the page's request, which lets the events run, deferred deletions included.
TEST_F(MainWindowTest, ClosingWhileTheUpdateInformationLoadsWaitsForIt) {
    frmStart& w = open(0);
    w.show();
    bool loading = false, destroyedWhileLoading = false;
    QObject::connect(&w, &QObject::destroyed, [&] { destroyedWhileLoading = loading; });
    steps.showUpdateInformation = [&] {
        w.close();
        return waitFor([] { return false; }, 100);
    };
    loading = true;
    w.lblInfo_Click();
    loading = false;
    EXPECT_FALSE(destroyedWhileLoading);
    EXPECT_TRUE(prompts.shown().empty()) << "nothing more is said while the program ends";
    EXPECT_TRUE(waitFor([&] { return window.isNull(); }));
}

// While a step runs only "Beenden" is usable; afterwards the controls and the configuration's
// key chords (in a box as well) are back. A plain K is just a letter.
TEST_F(MainWindowTest, WhileAStepRunsOnlyBeendenIsUsable) {
    frmStart& w = open(3);
    activate(w);
    named<LabelButton>(w, "lblInfo")->setVisible(true);
    QTabBar* tabBar = named<QTabWidget>(w, "SSTab1")->tabBar();
    const std::vector<QWidget*> blockable = {
        tabBar, named<QPushButton>(w, "cmdOldVersion"), named<QPushButton>(w, "cmdSearch"),
        named<QPushButton>(w, "cmdInfo"), named<LabelButton>(w, "lblInfo")};
    int configurationsOpened = 0;
    const auto press = [&](QWidget* target, Qt::KeyboardModifiers modifiers) {
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (dialog && dialog->objectName() == QStringLiteral("frmConfig")) {
                ++configurationsOpened;
                dialog->close();
            }
        });
        QTest::keyClick(target, Qt::Key_K, modifiers);
        settle();
        activate(w);
    };
    const auto pressChords = [&] {
        press(named<QLineEdit>(w, "txtOfflineUpdates"), Qt::ControlModifier | Qt::ShiftModifier);
        press(&w, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    };
    steps.downloadUpdateFiles = [&](WizardWindow&, std::int32_t&, QString&) {
        for (QWidget* control : blockable)
            EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        QTest::mouseClick(tabBar, Qt::LeftButton, {}, tabBar->tabRect(tab::Search).center());
        pressChords();
        EXPECT_EQ(w.wizardState(), wizard::DownloadProgramUpdates);
        EXPECT_TRUE(named<LabelButton>(w, "lblEnd")->isEnabled());
        return true;
    };
    w.state().moveWizardTo(wizard::DownloadProgramUpdates);
    w.StartAskForUpdates();
    EXPECT_EQ(configurationsOpened, 0);
    EXPECT_EQ(w.wizardState(), wizard::InstallProgramUpdates);
    ASSERT_TRUE(start()->isEnabled());
    for (QWidget* control : blockable)
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    pressChords();
    EXPECT_EQ(configurationsOpened, 2);
    press(named<QLineEdit>(w, "txtOfflineUpdates"), Qt::NoModifier);
    EXPECT_EQ(configurationsOpened, 2);
}

// "..." takes the chosen directory over, "Info" explains the offline installation, the update
// information that cannot be shown is reported.
TEST_F(MainWindowTest, ButtonsOfTheInstallationTabAndTheInfoButton) {
    frmStart& w = open(3);
    w.show();
    const auto answerDialog = [](const char* name, const std::function<void(QWidget*)>& answer) {
        QTimer::singleShot(0, [name, answer] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->objectName(), QString::fromLatin1(name));
            answer(dialog);
        });
    };
    answerDialog("frmDirAuswahl", [](QWidget* d) { d->findChild<QPushButton*>()->click(); });
    w.cmdSearch_Click();
    EXPECT_EQ(textOf(w, "txtOfflineUpdates"), QDir::toNativeSeparators(QDir::rootPath()));

    answerDialog("frmInfo", [](QWidget* d) { QTest::mouseClick(d, Qt::LeftButton); });
    w.cmdInfo_Click();
    EXPECT_EQ(session.DialogArg2.toString(), QStringLiteral("QuorMed Praxis"));

    w.lblInfo_Click();
    EXPECT_EQ(steps.calls.last(),
              QStringLiteral("ShowUpdateInformation QuorMed Praxis - Update 5.1.0"));
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text,
              QStringLiteral("Die Update-Informationen können leider nicht angezeigt werden!"));
    steps.showUpdateInformation = [] {
        return true;
    };
    w.lblInfo_Click();
    EXPECT_EQ(prompts.shown().size(), 1u);
}

} // namespace
} // namespace upd::test
