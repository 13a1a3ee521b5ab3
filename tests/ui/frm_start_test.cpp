#include "ui/window_fixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace upd::test {
namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString NothingDownloaded = QStringLiteral(
    "Es konnten keine neuen Versionen heruntergeladen werden. Bitte versuchen Sie es "
    "zu einem späteren Zeitpunkt nochmal.");

QColor colorOf(QPlainTextEdit* box) {
    return box->palette().color(QPalette::Text);
}

using MainWindowTest = WindowTest;

struct RunModeCase {
    std::int16_t runMode;
    int tab;
    std::int32_t state;
    bool offlineControls;
    QString offlineDirectory;
};

TEST_F(MainWindowTest, OpensOnTheTabAndStateOfEachRunMode) {
    const QString updates = QStringLiteral("/opt/quormed") + QDir::separator() + "Updates";
    const std::vector<RunModeCase> cases = {
        {0, tab::Search, wizard::Search, false, QString()},
        {1, tab::Installation, wizard::InstallProgramUpdates, true, QString()},
        {2, tab::Installation, wizard::InstallProgramUpdates, true, updates},
        {3, tab::Installation, wizard::InstallProgramUpdates, true, updates},
        {4, tab::Installation, wizard::InstallProgramUpdates, true, updates},
        {6, tab::Download, wizard::DownloadNewUpdater, true, updates},
    };
    session.UpdaterVersion = QStringLiteral("2.2.0");
    for (const RunModeCase& c : cases) {
        SCOPED_TRACE(c.runMode);
        frmStart& w = open(c.runMode);
        w.show();
        ASSERT_TRUE(loaded);
        EXPECT_EQ(named<QTabWidget>(w, "SSTab1")->currentIndex(), c.tab);
        EXPECT_EQ(w.wizardState(), c.state);
        EXPECT_EQ(!named<QLineEdit>(w, "txtOfflineUpdates")->isHidden(), c.offlineControls);
        EXPECT_EQ(!named<QPushButton>(w, "cmdSearch")->isHidden(), c.offlineControls);
        EXPECT_EQ(!named<QPushButton>(w, "cmdInfo")->isHidden(), c.offlineControls);
        EXPECT_EQ(named<QLineEdit>(w, "txtOfflineUpdates")->text(), c.offlineDirectory);
        EXPECT_FALSE(!named<LabelButton>(w, "lblInfo")->isHidden());
        EXPECT_TRUE(named<LabelButton>(w, "lblStart")->isEnabled());
        EXPECT_EQ(w.windowTitle(), QStringLiteral("quorlan-Internet-Update"));
        EXPECT_EQ(named<QLabel>(w, "lblVersion")->text(),
                  QStringLiteral("Internet-Update Version ") + QStringLiteral("%1.%2.%3")
                                                                   .arg(session.version.major)
                                                                   .arg(session.version.minor)
                                                                   .arg(session.version.revision));
        // Opening the window must not trip the tab guard.
        EXPECT_TRUE(prompts.shown().empty());
        if (c.runMode == 0) {
            EXPECT_EQ(w.messageArea(tab::Search).text(),
                      QStringLiteral("Bitte starten Sie das Internet-Update ..."));
            EXPECT_EQ(colorOf(named<QPlainTextEdit>(w, "txtHinweis(0)")), WorkingColor);
            EXPECT_EQ(named<QPlainTextEdit>(w, "txtProgExeInternet")->toPlainText(),
                      QStringLiteral(" noch nicht geprüft"));
            EXPECT_EQ(named<LabelButton>(w, "lblStart")->caption(), QStringLiteral("Start"));
        }
        if (c.runMode == 6) {
            EXPECT_EQ(named<LabelButton>(w, "lblStart")->caption(), QStringLiteral("Weiter"));
            EXPECT_EQ(w.boxes().downloadList().text(),
                      QStringLiteral(" quorlan-Internet-Update Programm Version 2.2.0"));
            EXPECT_TRUE(w.messageArea(tab::Download)
                            .text()
                            .startsWith(QStringLiteral("Wir empfehlen Ihnen, diese Version")));
        }
        delete window.data();
    }
}

TEST_F(MainWindowTest, VersionAndCallerNameComeFromTheHost) {
    session.host.ExeVers.clear();
    session.host.ExtAppName.clear();
    frmStart& w = open(0);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(named<QLineEdit>(w, "txtProgVersion")->text(), QStringLiteral("5.1.0"));
    EXPECT_EQ(named<QLabel>(w, "lblCallerName")->text(), QStringLiteral("QuorMed® - Update"));
    EXPECT_EQ(session.host.ExtAppName, QStringLiteral("QuorMed"));
    EXPECT_EQ(session.host.ExeVers, QStringLiteral("5.1.0"));
    delete window.data();

    session.host.ExtAppName = QStringLiteral("QuorMed Praxis");
    open(0);
    EXPECT_EQ(named<QLabel>(*window, "lblCallerName")->text(),
              QStringLiteral("QuorMed Praxis - Update"));
    EXPECT_TRUE(window->Form_Load()); // a second initialisation does nothing
}

TEST_F(MainWindowTest, UnknownProductWithoutVersionEndsWithTheHotlineMessage) {
    session.host.ExeVers.clear();
    session.host.ProgID = QStringLiteral("XYZ");
    session.deployment.supportTelephone = QStringLiteral("0800 555");
    open(5); // also the hidden window of the background check
    EXPECT_FALSE(loaded);
    ASSERT_EQ(prompts.shown().size(), 1u);
    const auto& box = prompts.shown()[0];
    EXPECT_EQ(box.icon, MessageIcon::Critical);
    EXPECT_EQ(box.title, QStringLiteral("quorlan-Internet-Update"));
    EXPECT_EQ(box.text,
              QStringLiteral("Die zuletzt installierte Programm-Version wurde nicht "
                             "übermittelt und konnte auch nicht neu initialisiert "
                             "werden! ") +
                  CrLf + QStringLiteral("Das Update-Programm kann nicht gestartet werden.") + CrLf +
                  QStringLiteral("Bitte kontaktieren Sie die quorlan-Hotline unter der "
                                 "Telefonnummer: 0800 555"));
}

TEST_F(MainWindowTest, TabGuardKeepsTheWizardInOrder) {
    frmStart& w = open(0);
    w.show();

    // Before a search neither download nor installation may be chosen.
    named<QTabWidget>(w, "SSTab1")->setCurrentIndex(tab::Download);
    EXPECT_EQ(named<QTabWidget>(w, "SSTab1")->currentIndex(), tab::Search);
    named<QTabWidget>(w, "SSTab1")->setCurrentIndex(tab::Installation);
    EXPECT_EQ(named<QTabWidget>(w, "SSTab1")->currentIndex(), tab::Search);
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].text,
              QStringLiteral("Bevor Sie mit dem Download beginnen können, müssen die "
                             "Update-Informationen abgefragt werden!"));
    EXPECT_EQ(prompts.shown()[1].text,
              QStringLiteral("Bevor Sie mit der Update-Installation beginnen können, müssen die "
                             "Update-Informationen abgefragt werden!"));
    for (const auto& box : prompts.shown()) {
        EXPECT_EQ(box.icon, MessageIcon::Exclamation);
        EXPECT_EQ(box.title, QStringLiteral("quorlan-Internet-Update"));
    }

    // Updates found: installing needs the download first.
    w.state().moveWizardTo(wizard::DownloadProgramUpdates);
    named<LabelButton>(w, "lblStart")->setCaption(QStringLiteral("Weiter"));
    named<QTabWidget>(w, "SSTab1")->setCurrentIndex(tab::Installation);
    EXPECT_EQ(named<QTabWidget>(w, "SSTab1")->currentIndex(), tab::Download);
    ASSERT_EQ(prompts.shown().size(), 3u);
    EXPECT_EQ(prompts.shown()[2].text,
              QStringLiteral("Bevor Sie mit der Update-Installation beginnen können, müssen die "
                             "Updates herunter geladen werden!"));
    EXPECT_EQ(w.wizardState(), wizard::DownloadProgramUpdates);

    // Back to the first tab: the wizard starts over.
    named<QTabWidget>(w, "SSTab1")->setCurrentIndex(tab::Search);
    EXPECT_EQ(w.wizardState(), wizard::Search);
    EXPECT_EQ(named<LabelButton>(w, "lblStart")->caption(), QStringLiteral("Start"));

    // Ready to install: no guard, and the download tab enables the button.
    w.state().moveWizardTo(wizard::InstallProgramUpdates);
    named<LabelButton>(w, "lblStart")->setEnabled(false);
    named<QTabWidget>(w, "SSTab1")->setCurrentIndex(tab::Download);
    EXPECT_TRUE(named<LabelButton>(w, "lblStart")->isEnabled());
    named<QTabWidget>(w, "SSTab1")->setCurrentIndex(tab::Installation);
    EXPECT_EQ(named<QTabWidget>(w, "SSTab1")->currentIndex(), tab::Installation);
    EXPECT_EQ(prompts.shown().size(), 3u);
}

TEST_F(MainWindowTest, VersionInputBoxSetsTheVersionAndReturnsToTheSearch) {
    frmStart& w = open(0);
    w.state().moveWizardTo(wizard::DownloadDataUpdates);
    prompts.typeNext(QStringLiteral("4.1.0"));
    QTest::mouseClick(named<QPushButton>(w, "cmdOldVersion"), Qt::LeftButton);
    EXPECT_EQ(named<QLineEdit>(w, "txtProgVersion")->text(), QStringLiteral("4.1.0"));
    EXPECT_EQ(w.wizardState(), wizard::Search);
    ASSERT_EQ(prompts.shown().size(), 1u);
    const auto& box = prompts.shown()[0];
    EXPECT_TRUE(box.isInput);
    EXPECT_EQ(box.title, QStringLiteral("quorlan-Internet-Update"));
    EXPECT_EQ(box.defaultText, QString());
    EXPECT_EQ(box.text,
              QStringLiteral("Geben Sie bitte die Programm-Version ein, für die nach Updates "
                             "gesucht werden soll.\r\nAchten Sie bei der Eingabe auf das Format! "
                             "\r\nEine korrekte Versions-Angabe ist folgendermaßen aufgebaut: drei "
                             "Ziffern, die jeweils durch einen Punkt getrennt sind.\r\nBeispiele: "
                             "2.1.0 oder 3.1.9 oder 4.1.0\r\n\r\nKlicken Sie anschließlich auf den "
                             "Button 'Start' um die Suche zu starten"));

    // Cancel gives an empty text; the search will refuse it.
    w.cmdOldVersion_Click();
    EXPECT_EQ(named<QLineEdit>(w, "txtProgVersion")->text(), QString());
    EXPECT_EQ(w.wizardState(), wizard::Search);
}

TEST_F(MainWindowTest, StartButtonRunsTheStepOfEachStateWhileDisabled) {
    frmStart& w = open(0);
    const std::vector<std::pair<std::int32_t, QString>> steps_by_state = {
        {wizard::Search, QStringLiteral("SearchForUpdates")},
        {wizard::InstallProgramUpdates, QStringLiteral("InstallProgramUpdates")},
        {wizard::InstallNewUpdater, QStringLiteral("InstallNewUpdater")},
        {wizard::InstallDataUpdates, QStringLiteral("InstallDataUpdates")},
    };
    for (const auto& [state, step] : steps_by_state) {
        steps.calls.clear();
        w.state().moveWizardTo(state);
        named<LabelButton>(w, "lblStart")->setEnabled(true);
        QTest::mouseClick(named<LabelButton>(w, "lblStart"), Qt::LeftButton);
        EXPECT_EQ(steps.calls, QStringList{step});
        EXPECT_FALSE(steps.startEnabledDuringStep) << step.toStdString();
    }
    // A state without a step leaves the button disabled.
    steps.calls.clear();
    w.state().moveWizardTo(9);
    named<LabelButton>(w, "lblStart")->setEnabled(true);
    w.StartAskForUpdates();
    EXPECT_TRUE(steps.calls.isEmpty());
    EXPECT_FALSE(named<LabelButton>(w, "lblStart")->isEnabled());
}

TEST_F(MainWindowTest, ProgramUpdateDownloadOutcomes) {
    frmStart& w = open(0);
    w.show();
    const auto downloadTab = [&] {
        // What the package download does first: it selects the download tab.
        w.state().moveWizardTo(wizard::DownloadProgramUpdates);
        named<QTabWidget>(w, "SSTab1")->setCurrentIndex(tab::Download);
    };

    // Failure without a number: only the "nothing downloaded" text, back to the search.
    steps.downloadUpdateFiles = [&](WizardWindow&, std::int32_t& number, QString&) {
        downloadTab();
        number = 0;
        return false;
    };
    w.state().moveWizardTo(wizard::DownloadProgramUpdates);
    w.StartAskForUpdates();
    EXPECT_EQ(w.wizardState(), wizard::Search);
    EXPECT_EQ(w.messageArea(tab::Download).text(), NothingDownloaded);
    EXPECT_TRUE(named<LabelButton>(w, "lblStart")->isEnabled());
    EXPECT_EQ(named<LabelButton>(w, "lblStart")->caption(), QStringLiteral("Start"));

    // Failure with number and text: both follow in red.
    steps.downloadUpdateFiles = [&](WizardWindow&, std::int32_t& number, QString& text) {
        downloadTab();
        number = 5;
        text = QStringLiteral("x");
        return false;
    };
    w.state().moveWizardTo(wizard::DownloadProgramUpdates);
    w.StartAskForUpdates();
    EXPECT_EQ(w.messageArea(tab::Download).text(),
              NothingDownloaded + CrLf + QStringLiteral("Fehler : 5") + CrLf + QStringLiteral("x"));
    EXPECT_EQ(colorOf(named<QPlainTextEdit>(w, "txtHinweis(1)")), AttentionColor);

    // Success: ready to install.
    steps.downloadUpdateFiles = [&](WizardWindow&, std::int32_t&, QString&) {
        downloadTab();
        return true;
    };
    w.state().moveWizardTo(wizard::DownloadProgramUpdates);
    w.StartAskForUpdates();
    EXPECT_EQ(w.wizardState(), wizard::InstallProgramUpdates);
    EXPECT_EQ(w.messageArea(tab::Download).text(),
              QStringLiteral("Download erfolgreich abgeschlossen!\r\nKlicken Sie bitte auf "
                             "'Weiter', um die Installation der Updates zu starten."));
    EXPECT_TRUE(named<LabelButton>(w, "lblStart")->isEnabled());

    // A busy transfer control: nothing is started.
    steps.calls.clear();
    steps.busy = true;
    w.state().moveWizardTo(wizard::DownloadProgramUpdates);
    w.StartAskForUpdates();
    EXPECT_TRUE(steps.calls.isEmpty());
    EXPECT_TRUE(named<LabelButton>(w, "lblStart")->isEnabled());
}

TEST_F(MainWindowTest, UpdaterDownloadOutcomes) {
    session.ServerBaseUrl = QStringLiteral("http://127.0.0.1:8470");
    session.UpdaterPath = QStringLiteral("downloads/updater");
    session.UpdaterFile = QStringLiteral("x.exe");
    session.UpdaterVersion = QStringLiteral("2.1.0");
    // The running updater's own file: the new one is stored beside it.
    QTemporaryDir dir;
    session.OwnFile = dir.filePath(QStringLiteral("quorlan-update"));
    QFile(session.OwnFile).open(QIODevice::WriteOnly);
    frmStart& w = open(6);
    w.show();

    w.StartAskForUpdates();
    EXPECT_EQ(steps.lastUrl, QStringLiteral("http://127.0.0.1:8470/downloads/updater/x.exe"));
    EXPECT_EQ(steps.lastLocalPath, QDir::toNativeSeparators(dir.filePath("2.1.0.x.exe")));
    EXPECT_EQ(w.wizardState(), wizard::DownloadNewUpdater);
    EXPECT_EQ(w.messageArea(tab::Download).text(),
              QStringLiteral("Fehler : 800400002\r\nDer Download konnten nicht beendet werden! "
                             "Versuchen Sie es bitte später nochmal!"));
    EXPECT_EQ(colorOf(named<QPlainTextEdit>(w, "txtHinweis(1)")), AttentionColor);
    EXPECT_TRUE(named<LabelButton>(w, "lblStart")->isEnabled());

    steps.downloadAFileResult = true;
    w.StartAskForUpdates();
    EXPECT_EQ(w.wizardState(), wizard::InstallNewUpdater);
    EXPECT_EQ(w.messageArea(tab::Download).text(),
              QStringLiteral("Download erfolgreich abgeschlossen!\r\nKlicken Sie bitte auf "
                             "'Weiter', um die Installation des Updates zu starten."));
    EXPECT_TRUE(named<LabelButton>(w, "lblStart")->isEnabled());
}

TEST_F(MainWindowTest, DataDownloadOutcomes) {
    frmStart& w = open(0);
    w.show();
    named<QLineEdit>(w, "txtProgVersion")->setText(QStringLiteral("5.1.2"));
    w.state().moveWizardTo(wizard::DownloadDataUpdates);
    w.messageArea(tab::Download).setText(QStringLiteral("vorher"));

    steps.queryErrNumber = 500400012;
    steps.queryErrText = QStringLiteral("kaputt");
    w.StartAskForUpdates();
    EXPECT_EQ(named<QTabWidget>(w, "SSTab1")->currentIndex(), tab::Download);
    EXPECT_EQ(steps.lastMode, 2);
    EXPECT_EQ(steps.lastVersion, QStringLiteral("5.1.2"));
    EXPECT_FALSE(!named<QLabel>(w, "lblData(0)")->isHidden());
    EXPECT_EQ(w.messageArea(tab::Download).text(),
              QStringLiteral("vorher\r\nFehler : 500400012\r\nkaputt"));
    EXPECT_EQ(w.wizardState(), wizard::DownloadDataUpdates);

    steps.queryResult = true;
    w.StartAskForUpdates();
    EXPECT_EQ(w.messageArea(tab::Download).text(), NothingDownloaded);
    EXPECT_EQ(w.wizardState(), wizard::DownloadDataUpdates);

    steps.queryDownloaded = true;
    w.StartAskForUpdates();
    EXPECT_EQ(w.wizardState(), wizard::InstallDataUpdates);
    EXPECT_EQ(named<LabelButton>(w, "lblStart")->caption(), QStringLiteral("Weiter"));
    EXPECT_EQ(w.messageArea(tab::Installation).text(),
              QStringLiteral("Klicken Sie bitte auf 'Weiter', um die Installation des Updates zu "
                             "starten."));
    EXPECT_TRUE(named<LabelButton>(w, "lblStart")->isEnabled());

    // A new search brings the transfer figures back.
    named<QTabWidget>(w, "SSTab1")->setCurrentIndex(tab::Search);
    EXPECT_TRUE(!named<QLabel>(w, "lblData(0)")->isHidden());
}

TEST_F(MainWindowTest, EndWithoutClosedHostEndsWithoutQuestion) {
    frmStart& w = open(0);
    w.show();
    QTest::mouseClick(named<LabelButton>(w, "lblEnd"), Qt::LeftButton);
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_TRUE(session.AbortRequested);
    settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(MainWindowTest, EndAfterClosedHostOffersToStartItAgain) {
    QTemporaryDir host;
    ASSERT_TRUE(host.isValid());
    session.host.ExePath = host.path();
    QFile program(host.filePath(session.host.ExeName));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.close();

    frmStart& w = open(0);
    w.show();
    w.flags().HostClosed = true;
    steps.hostStarts = false;
    prompts.answerNext(MessageAnswer::Yes);
    w.lblEnd_Click();
    EXPECT_EQ(steps.startedHost, host.path() + QDir::separator() + session.host.ExeName);
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].text,
              QStringLiteral("Das Update-Programm wird jetzt beendet! Möchten Sie, dass QuorMed "
                             "Praxis jetzt gestartet werden soll?"));
    EXPECT_EQ(prompts.shown()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(prompts.shown()[0].icon, MessageIcon::Question);
    EXPECT_EQ(prompts.shown()[1].text,
              QStringLiteral("QuorMed Praxis konnte leider nicht gestartet werden, versuchen Sie "
                             "es bitte manuell zu starten."));
    EXPECT_EQ(prompts.shown()[1].icon, MessageIcon::Information);
    settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(MainWindowTest, EndAfterClosedHostWithoutHostFileOnlySaysGoodbye) {
    session.host.ExePath = QStringLiteral("/nonexistent/quormed");
    frmStart& w = open(0);
    w.flags().HostClosed = true;
    w.lblEnd_Click();
    ASSERT_EQ(prompts.texts(), std::vector<QString>{QStringLiteral("Das Update-Programm wird jetzt "
                                                                   "beendet!")});
    EXPECT_EQ(prompts.shown()[0].icon, MessageIcon::Information);
    EXPECT_TRUE(steps.startedHost.isEmpty());
    settle();
    EXPECT_TRUE(window.isNull());
}

TEST_F(MainWindowTest, ClosingDuringATransferWaitsForTheTransfer) {
    frmStart& w = open(0);
    w.show();
    bool stillOpenDuringTransfer = false;
    QString messageDuringTransfer;
    steps.downloadUpdateFiles = [&](WizardWindow& ww, std::int32_t&, QString&) {
        ww.transferDisplay().transferStarted();
        ww.transferDisplay().dataArriving();
        w.close(); // the window's close box
        stillOpenDuringTransfer = w.isVisible();
        messageDuringTransfer = ww.messages().visibleMessageArea().text();
        // The transfer loop sees the close at its next chunk and cancels; the speed timer ticks
        // meanwhile and must not take the window away under it.
        waitFor([] { return false; }, 700);
        EXPECT_TRUE(ww.transferDisplay().cancelRequested());
        ww.transferDisplay().transferEnded();
        return false;
    };
    w.state().moveWizardTo(wizard::DownloadProgramUpdates);
    w.StartAskForUpdates();
    EXPECT_TRUE(stillOpenDuringTransfer);
    EXPECT_EQ(messageDuringTransfer,
              QStringLiteral("Bitte warten! Die Anwendung wird geschlossen ..."));
    EXPECT_TRUE(session.AbortRequested);
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->speedTimerTag(), QStringLiteral("CLOSEAPP"));
    // The closing message stays: the step writes no result.
    EXPECT_EQ(window->visibleMessageArea().text(),
              QStringLiteral("Bitte warten! Die Anwendung wird geschlossen ..."));
    // Once the transfer has stopped the timer closes the window.
    EXPECT_TRUE(waitFor([&] { return window.isNull(); }));
}

TEST_F(MainWindowTest, EndDuringATransferAlsoWaits) {
    frmStart& w = open(0);
    w.show();
    bool stillAlive = false;
    steps.downloadUpdateFiles = [&](WizardWindow& ww, std::int32_t&, QString&) {
        ww.transferDisplay().transferStarted();
        w.lblEnd_Click();
        waitFor([] { return false; }, 700);
        stillAlive = !window.isNull() && window->isVisible();
        ww.transferDisplay().transferEnded();
        return false;
    };
    w.state().moveWizardTo(wizard::DownloadProgramUpdates);
    w.StartAskForUpdates();
    EXPECT_TRUE(stillAlive);
    EXPECT_TRUE(waitFor([&] { return window.isNull(); }));
}

TEST_F(MainWindowTest, ClosingWhileTheUpdateInformationLoadsWaitsForIt) {
    for (const bool closeBox : {true, false}) {
        SCOPED_TRACE(closeBox ? "close box" : "Beenden");
        session.AbortRequested = false;
        frmStart& w = open(0);
        w.show();
        bool loading = false;
        bool destroyedWhileLoading = false;
        QObject::connect(&w, &QObject::destroyed, [&] { destroyedWhileLoading = loading; });
        steps.whileShowingUpdateInformation = [&] {
            if (closeBox)
                w.close();
            else
                named<LabelButton>(w, "lblEnd")->click();
            // The page's request lets the events run, deferred deletions included.
            waitFor([] { return false; }, 100);
        };
        loading = true;
        w.lblInfo_Click();
        loading = false;
        EXPECT_FALSE(destroyedWhileLoading);
        EXPECT_TRUE(prompts.shown().empty()) << "nothing more is said while the program ends";
        EXPECT_TRUE(waitFor([&] { return window.isNull(); }));
    }
}

TEST_F(MainWindowTest, WhileAStepRunsOnlyBeendenIsUsable) {
    frmStart& w = open(3);
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    named<LabelButton>(w, "lblInfo")->setVisible(true);
    QTabBar* tabBar = named<QTabWidget>(w, "SSTab1")->tabBar();
    const auto blockable = [&] {
        return std::vector<QWidget*>{
            tabBar, named<QPushButton>(w, "cmdOldVersion"), named<QPushButton>(w, "cmdSearch"),
            named<QPushButton>(w, "cmdInfo"), named<LabelButton>(w, "lblInfo")};
    };
    int configurationsOpened = 0;
    steps.downloadUpdateFiles = [&](WizardWindow&, std::int32_t&, QString&) {
        for (QWidget* control : blockable())
            EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        for (QShortcut* chord : w.findChildren<QShortcut*>())
            EXPECT_FALSE(chord->isEnabled());
        // The user tries the first tab and the configuration while the download runs.
        QTest::mouseClick(tabBar, Qt::LeftButton, {}, tabBar->tabRect(tab::Search).center());
        QTimer::singleShot(0, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                ++configurationsOpened;
                dialog->close();
            }
        });
        QTest::keyClick(&w, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        settle();
        EXPECT_EQ(w.wizardState(), wizard::DownloadProgramUpdates);
        EXPECT_FALSE(named<LabelButton>(w, "lblStart")->isEnabled());
        EXPECT_TRUE(named<LabelButton>(w, "lblEnd")->isEnabled());
        return true;
    };
    w.state().moveWizardTo(wizard::DownloadProgramUpdates);
    w.StartAskForUpdates();
    EXPECT_EQ(configurationsOpened, 0);
    EXPECT_EQ(w.wizardState(), wizard::InstallProgramUpdates);
    // With lblStart they come back.
    ASSERT_TRUE(named<LabelButton>(w, "lblStart")->isEnabled());
    for (QWidget* control : blockable())
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    for (QShortcut* chord : w.findChildren<QShortcut*>())
        EXPECT_TRUE(chord->isEnabled());
}

TEST_F(MainWindowTest, ButtonsOfTheInstallationTabAndTheInfoButton) {
    frmStart& w = open(3);
    w.show();

    // "..." takes over the chosen directory.
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), QStringLiteral("frmDirAuswahl"));
        dialog->findChild<QPushButton*>()->click();
    });
    w.cmdSearch_Click();
    EXPECT_EQ(named<QLineEdit>(w, "txtOfflineUpdates")->text(),
              QDir::toNativeSeparators(QDir::rootPath()));

    // "Info" explains the offline installation and leaves DialogArg1 empty.
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), QStringLiteral("frmInfo"));
        QTest::mouseClick(dialog, Qt::LeftButton);
    });
    w.cmdInfo_Click();
    EXPECT_EQ(session.DialogArg1.toString(), QString());
    EXPECT_EQ(session.DialogArg2.toString(), QStringLiteral("QuorMed Praxis"));

    // The update information that cannot be shown is reported.
    w.lblInfo_Click();
    EXPECT_EQ(steps.calls.last(),
              QStringLiteral("ShowUpdateInformation QuorMed Praxis - Update 5.1.0"));
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text,
              QStringLiteral("Die Update-Informationen können leider nicht angezeigt werden!"));
    EXPECT_EQ(prompts.shown()[0].icon, MessageIcon::Information);
    steps.updateInformationShown = true;
    w.lblInfo_Click();
    EXPECT_EQ(prompts.shown().size(), 1u);
}

TEST_F(MainWindowTest, ConfigurationChordOpensTheConfiguration) {
    frmStart& w = open(0);
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    int opened = 0;
    const auto closeConfiguration = [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog && dialog->objectName() == QStringLiteral("frmConfig")) {
            ++opened;
            dialog->close();
        }
    };
    QTimer::singleShot(0, closeConfiguration);
    QTest::keyClick(named<QLineEdit>(w, "txtProgVersion"), Qt::Key_K,
                    Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTimer::singleShot(0, closeConfiguration);
    QTest::keyClick(&w, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    settle();
    EXPECT_EQ(opened, 2);
    // A plain K is just a letter.
    QTest::keyClick(named<QLineEdit>(w, "txtProgVersion"), Qt::Key_K);
    settle();
    EXPECT_EQ(opened, 2);
}

} // namespace
} // namespace upd::test
