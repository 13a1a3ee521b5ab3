// The main window's behaviour: initialisation, the wizard's states and steps, the buttons and
// the closing of the window.

#include "core/runtime_error.h"
#include "protocol/products.h"
#include "protocol/versions.h"
#include "ui/frm_config.h"
#include "ui/frm_dir_auswahl.h"
#include "ui/frm_info.h"
#include "ui/frm_lizenz.h"
#include "ui/frm_start.h"
#include "ui/wait_notice.h"
#include "wizard/download_steps.h"
#include "wizard/wizard_texts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace upd {
namespace {

QString nativePath(const QString& directory, const QString& name) {
    return directory + QDir::separator() + name;
}

} // namespace

bool frmStart::Form_Load() {
    if (flags_.FormLoaded)
        return true;
    HostParameters& host = session_.host;

    // The transfer control sets its own request time-out when it is created.
    setPercentWidth(0);
    setWindowTitle(ProgramTitle);
    lblVersion->setText(QStringLiteral("Internet-Update Version ") +
                        DisplayVersion(session_.version));

    if (host.ExeVers.isEmpty() && !GetProductBaseVersion(host.ProgID, host.ExeVers)) {
        prompts_.critical(
            QStringLiteral("Die zuletzt installierte Programm-Version wurde nicht übermittelt und "
                           "konnte auch nicht neu initialisiert werden! ") +
            CrLf + QStringLiteral("Das Update-Programm kann nicht gestartet werden.") + CrLf +
            QStringLiteral("Bitte kontaktieren Sie die quorlan-Hotline unter der Telefonnummer: ") +
            session_.deployment.supportTelephone);
        return false;
    }
    programVersion_.setText(host.ExeVers);

    if (!host.ExtAppName.isEmpty()) {
        lblCallerName->setText(host.ExtAppName + QStringLiteral(" - Update"));
    } else {
        host.ExtAppName = host.AppName;
        lblCallerName->setText(host.AppName + QChar(0x00AE) + QStringLiteral(" - Update"));
    }

    if (session_.RunMode != runmode::Online) {
        // The state first: selecting a tab runs the tab guard, which looks at the state.
        WizardState_ = wizard::InstallProgramUpdates;
        SSTab1->setCurrentIndex(tab::Installation);
        ShowOfflineControls(true);
        offlineDirectory_.setText(nativePath(host.ExePath, QStringLiteral("Updates")));
    } else {
        WizardState_ = wizard::Search;
        SSTab1->setCurrentIndex(tab::Search);
    }
    if (session_.RunMode == runmode::OfflineTypedDirectory)
        offlineDirectory_.setText(QString());
    if (session_.RunMode == runmode::NewUpdater) {
        WizardState_ = wizard::DownloadNewUpdater;
        SSTab1->setCurrentIndex(tab::Download);
    }

    ShowWizardState();
    // The next action is the Start/Next button.
    lblStart->setFocus(Qt::OtherFocusReason);
    flags_.FormLoaded = true;
    return true;
}

void frmStart::ShowWizardState() {
    switch (WizardState_) {
    case wizard::Search:
        messageArea(tab::Search)
            .show(QStringLiteral("Bitte starten Sie das Internet-Update ..."), WorkingColor);
        internetVersion_.setTextColor(WorkingColor);
        internetVersion_.setText(QStringLiteral(" noch nicht geprüft"));
        lblStart->setCaption(QStringLiteral("Start"));
        lblStart->setEnabled(true);
        downloadList_.setText(QString());
        messageArea(tab::Download).setText(QString());
        messageArea(tab::Download).setTextColor(WorkingColor);
        setPercentWidth(1);
        // A data download hides the transfer figures; a new search brings them back.
        for (QLabel* label : lblData)
            label->setVisible(true);
        setInfoButtonVisible(false);
        break;
    case wizard::DownloadNewUpdater:
        messageArea(tab::Download)
            .setText(QStringLiteral(
                "Wir empfehlen Ihnen, diese Version des Programms jetzt herunter zu laden. Wenn "
                "Sie "
                "mit einer alten Version dieses Programms arbeiten, kann das Internet-Update "
                "eventuell nicht korrekt durchgeführt werden."));
        downloadList_.setText(QStringLiteral(" quorlan-Internet-Update Programm Version ") +
                              session_.UpdaterVersion);
        lblStart->setCaption(QStringLiteral("Weiter"));
        break;
    case wizard::InstallDataUpdates:
        lblStart->setCaption(QStringLiteral("Weiter"));
        lblStart->setEnabled(true);
        messageArea(tab::Installation).setText(NextInstallsUpdater);
        break;
    default:
        break;
    }
    loop_.yield();
}

TextArea& frmStart::messageArea(int tabIndex) {
    return *hinweisAreas_.at(static_cast<std::size_t>(tabIndex));
}

TextArea& frmStart::visibleMessageArea() {
    return messageArea(SSTab1->currentIndex());
}

void frmStart::setInfoButtonVisible(bool visible) {
    lblInfo->setVisible(visible);
}

std::unique_ptr<WaitNotice> frmStart::openWaitNotice() {
    return std::make_unique<FrmWaitNotice>(session_, this);
}

bool frmStart::acceptTermsOfUse(const QString& terms) {
    frmLizenz dialog(session_, prompts_, this);
    dialog.txtLizenz->setPlainText(terms);
    dialog.exec();
    return session_.DialogArg1.toBool();
}

void frmStart::moveWizardTo(std::int32_t state) {
    WizardState_ = state;
    ShowWizardState();
}

void frmStart::ShowOfflineControls(bool visible) {
    lblOfflineUpdates->setVisible(visible);
    txtOfflineUpdates->setVisible(visible);
    cmdSearch->setVisible(visible);
    cmdInfo->setVisible(visible);
    loop_.yield();
}

void frmStart::StartAskForUpdates() {
    // A step enables lblStart shortly before its end; a click meanwhile starts no second step
    // inside the first.
    if (stepRunning_)
        return;
    const HandlerScope scope(*this);
    stepRunning_ = true;
    // Disabled for the step's duration, so that a second click cannot start a second step.
    lblStart->setEnabled(false);
    try {
        runStep();
    } catch (const RuntimeError&) {
        // The step's error trap ends it quietly; the button must not stay dead.
        lblStart->setEnabled(true);
    }
    stepRunning_ = false;
    focusNextStep();
}

void frmStart::focusNextStep() {
    // Disabling the button for the step moved the focus on to "Beenden", where the next Space
    // or Enter meant for "Weiter" would end the program.
    if (lblStart->isEnabled())
        lblStart->setFocus(Qt::OtherFocusReason);
}

bool frmStart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblStart && event->type() == QEvent::EnabledChange)
        setStepControlsEnabled(lblStart->isEnabled());
    return QWidget::eventFilter(watched, event);
}

void frmStart::setStepControlsEnabled(bool enabled) {
    // The tab bar only: the pages' message areas stay readable.
    SSTab1->tabBar()->setEnabled(enabled);
    for (QWidget* control :
         std::initializer_list<QWidget*>{cmdOldVersion, cmdSearch, cmdInfo, lblInfo})
        control->setEnabled(enabled);
    for (QShortcut* chord : configurationChords_)
        chord->setEnabled(enabled);
}

void frmStart::runStep() {
    switch (WizardState_) {
    case wizard::Search:
        steps_.SearchForUpdates(*this);
        break;
    case wizard::DownloadProgramUpdates:
        upd::DownloadProgramUpdates(*this, steps_);
        break;
    case wizard::InstallProgramUpdates:
        steps_.InstallProgramUpdates(*this);
        break;
    case wizard::DownloadNewUpdater:
        upd::DownloadNewUpdater(*this, steps_);
        break;
    case wizard::InstallNewUpdater:
        steps_.InstallNewUpdater(*this);
        break;
    case wizard::DownloadDataUpdates:
        upd::DownloadDataUpdates(*this, steps_);
        break;
    case wizard::InstallDataUpdates:
        steps_.InstallDataUpdates(*this);
        break;
    default:
        break;
    }
}

void frmStart::SSTab1_Click() {
    const HandlerScope scope(*this);
    const auto guard = [this](const QString& text, int back) {
        prompts_.messageBox(text, MessageButtons::Ok, MessageIcon::Exclamation, ProgramTitle);
        SSTab1->setCurrentIndex(back);
    };
    switch (SSTab1->currentIndex()) {
    case tab::Search:
        // Going back to the first tab always returns the wizard to the search.
        WizardState_ = wizard::Search;
        ShowWizardState();
        break;
    case tab::Download:
        if (WizardState_ == wizard::Search)
            guard(QStringLiteral("Bevor Sie mit dem Download beginnen können, müssen die "
                                 "Update-Informationen abgefragt werden!"),
                  tab::Search);
        else if (WizardState_ == wizard::InstallProgramUpdates)
            lblStart->setEnabled(true);
        break;
    case tab::Installation:
        if (WizardState_ == wizard::Search)
            guard(QStringLiteral("Bevor Sie mit der Update-Installation beginnen können, müssen "
                                 "die Update-Informationen abgefragt werden!"),
                  tab::Search);
        else if (WizardState_ == wizard::DownloadProgramUpdates)
            guard(QStringLiteral("Bevor Sie mit der Update-Installation beginnen können, müssen "
                                 "die Updates herunter geladen werden!"),
                  tab::Download);
        break;
    default:
        break;
    }
}

void frmStart::cmdOldVersion_Click() {
    const HandlerScope scope(*this);
    const QString prompt =
        QStringLiteral("Geben Sie bitte die Programm-Version ein, für die nach Updates gesucht "
                       "werden soll.") +
        CrLf + QStringLiteral("Achten Sie bei der Eingabe auf das Format! ") + CrLf +
        QStringLiteral("Eine korrekte Versions-Angabe ist folgendermaßen aufgebaut: ") +
        QStringLiteral("drei Ziffern, die jeweils durch einen Punkt getrennt sind.") + CrLf +
        QStringLiteral("Beispiele: 2.1.0 oder 3.1.9 oder 4.1.0") + CrLf + CrLf +
        QStringLiteral("Klicken Sie anschließlich auf den Button 'Start' um die Suche zu starten");
    // Cancel gives an empty text, which the search then refuses.
    programVersion_.setText(prompts_.inputBox(prompt, ProgramTitle, QString()));
    WizardState_ = wizard::Search;
    ShowWizardState();
}

void frmStart::cmdSearch_Click() {
    const HandlerScope scope(*this);
    session_.DialogArg1 = QString();
    frmDirAuswahl chooser(session_, this);
    chooser.exec();
    offlineDirectory_.setText(session_.DialogArg1.toString());
}

void frmStart::cmdInfo_Click() {
    const HandlerScope scope(*this);
    session_.DialogArg1 = session_.host.AppName;
    session_.DialogArg2 = session_.host.ExtAppName;
    frmInfo info(session_, this);
    info.exec();
}

void frmStart::lblInfo_Click() {
    const HandlerScope scope(*this);
    // When the user closed the program while the page was loading, nothing more is shown.
    if (!steps_.ShowUpdateInformation(*this, lblCallerName->text(), programVersion_.text()) &&
        !session_.AbortRequested)
        prompts_.messageBox(
            QStringLiteral("Die Update-Informationen können leider nicht angezeigt werden!"),
            MessageButtons::Ok, MessageIcon::Information, ProgramTitle);
}

void frmStart::showConfiguration() {
    const HandlerScope scope(*this);
    frmConfig config(session_, prompts_, this);
    config.exec();
}

void frmStart::lblEnd_Click() {
    endQuestions();
    session_.AbortRequested = true;
    flags_.CloseRequested = true;
    unloadFromCode();
}

void frmStart::endQuestions() {
    const HandlerScope scope(*this);
    const HostParameters& host = session_.host;
    if (flags_.HostClosed) {
        const QString hostProgram = nativePath(host.ExePath, host.ExeName);
        if (QFileInfo(hostProgram).isFile()) {
            const MessageAnswer answer = prompts_.messageBox(
                QStringLiteral("Das Update-Programm wird jetzt beendet! Möchten Sie, dass ") +
                    host.ExtAppName + QStringLiteral(" jetzt gestartet werden soll?"),
                MessageButtons::YesNo, MessageIcon::Question, ProgramTitle);
            if (answer == MessageAnswer::Yes && !steps_.StartHostProgram(hostProgram))
                prompts_.messageBox(
                    host.ExtAppName + QStringLiteral(" konnte leider nicht gestartet werden, "
                                                     "versuchen Sie es bitte manuell zu starten."),
                    MessageButtons::Ok, MessageIcon::Information, ProgramTitle);
        } else {
            prompts_.messageBox(QStringLiteral("Das Update-Programm wird jetzt beendet!"),
                                MessageButtons::Ok, MessageIcon::Information, ProgramTitle);
        }
    }
}

void frmStart::unloadFromCode() {
    unloadingFromCode_ = true;
    close();
    unloadingFromCode_ = false;
}

void frmStart::closeEvent(QCloseEvent* event) {
    const bool fromCloseBox = !unloadingFromCode_;
    if (flags_.ReplacementPending) {
        // The countdown to the restart sees the request and ends the program itself.
        flags_.CloseRequested = true;
        session_.AbortRequested = true;
        event->ignore();
        return;
    }
    if (flags_.TransferRunning || runningHandlers_ > 0) {
        // A transfer or a step still runs on this window: the close waits for it. The speed
        // timer unloads the window once both have ended.
        flags_.CloseRequested = true;
        tmrSpeedTestTag_ = QStringLiteral("CLOSEAPP");
        tmrSpeedTest->setInterval(500);
        tmrSpeedTest->start();
        session_.AbortRequested = true;
        event->ignore();
        visibleMessageArea().setText(
            QStringLiteral("Bitte warten! Die Anwendung wird geschlossen ..."));
        visibleMessageArea().refresh();
        loop_.yield();
        return;
    }
    if (fromCloseBox) {
        session_.AbortRequested = true;
        flags_.CloseRequested = true;
    }
    Form_Unload();
    event->accept();
}

void frmStart::Form_Unload() {
    tmrSpeedTest->stop();
    // Every other window of the program goes with the main window.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->objectName().startsWith(QStringLiteral("frm")) &&
            window->isVisible())
            window->close();
    }
    loop_.yield();
}

} // namespace upd
