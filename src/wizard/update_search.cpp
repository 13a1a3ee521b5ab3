#include "wizard/update_search.h"

#include "core/error_catalogue.h"
#include "core/numeric.h"
#include "protocol/request_parameters.h"
#include "wizard/data_query.h"
#include "wizard/program_query.h"
#include "wizard/wizard_texts.h"

#include <QStringList>

namespace upd {
namespace {

// The transfer control still runs a request: nothing is sent.
void reportBusy(WizardWindow& window) {
    window.messages().visibleMessageArea().setText(
        QStringLiteral("Die Internetkommunikations-Komponente ist beschäftigt. Bitte warten ..."));
    window.controls().startButton().setEnabled(true);
}

// The version box must hold three numeric parts; otherwise the user is told (not in the
// background) and nothing is sent.
bool versionIsWellFormed(WizardWindow& window, const QString& version) {
    const QStringList parts = version.split(u'.');
    const bool quiet = window.flags().BackgroundCheck;
    if (parts.size() != 3) {
        if (!quiet)
            window.prompts().messageBox(
                QStringLiteral("Überprüfen Sie bitte Ihre Eingabe zur Programm-Version! ") + CrLf +
                    QStringLiteral("Sie wurde nicht im richtigen Format eingegeben.") + CrLf +
                    QStringLiteral("Eine korrekte Versions-Angabe ist folgendermaßen aufgebaut:") +
                    CrLf +
                    QStringLiteral("drei Ziffern, die jeweils durch einen Punkt getrennt sind.") +
                    CrLf + QStringLiteral("Beispiele: 2.1.0 oder 3.1.9 oder 4.1.0"),
                MessageButtons::Ok, MessageIcon::Exclamation, ProgramTitle);
        return false;
    }
    for (const QString& part : parts) {
        if (!numeric::isNumeric(part)) {
            if (!quiet)
                window.prompts().messageBox(
                    QStringLiteral("Überprüfen Sie bitte Ihre Programm-Version Angabe! ") + CrLf +
                        QStringLiteral("Diese wurde nicht im richtigen Format eingegeben."),
                    MessageButtons::Ok, MessageIcon::Exclamation, ProgramTitle);
            return false;
        }
    }
    return true;
}

// The window is closing: the search ends quietly, asks nothing more and opens nothing.
bool closing(WizardWindow& window) {
    if (!window.flags().CloseRequested)
        return false;
    window.controls().startButton().setEnabled(true);
    return true;
}

void showWorking(WizardWindow& window, const QString& text) {
    window.messages().visibleMessageArea().show(text, WorkingColor);
    window.eventLoop().yield();
}

void showError(WizardWindow& window, std::int32_t errNumber, const QString& errText) {
    window.controls().startButton().setEnabled(true);
    WizardFlags& flags = window.flags();
    if (flags.CloseRequested)
        return;
    TextArea& message = window.messages().visibleMessageArea();
    message.setTextColor(AttentionColor);
    if (errNumber == errcode::ProgramUpdatesElsewhere)
        flags.ProgramUpdatesFound = true;
    if (errNumber == errcode::DataUpdatesElsewhere)
        flags.DataUpdatesFound = true;
    message.setText(searchErrorText(errNumber, errText));
}

void showSuccess(WizardWindow& window, bool programUpdates, bool dataUpdate) {
    EventLoop& loop = window.eventLoop();
    TextArea& message = window.messages().visibleMessageArea();
    message.setText(
        QStringLiteral("Die Update-Informationen wurden erfolgreich abgerufen! Bitte warten ..."));
    message.refresh();
    loop.yield();
    loop.yield();
    window.controls().startButton().setEnabled(true);
    loop.yield();

    const QString next =
        QStringLiteral("Klicken Sie bitte auf 'Weiter', um mit dem Download zu beginnen ...");
    WizardFlags& flags = window.flags();
    if (programUpdates) {
        message.setTextColor(AttentionColor);
        message.setText(QStringLiteral("Es wurden neue Versionen gefunden! ") + CrLf + next);
        window.controls().startButton().setCaption(QStringLiteral("Weiter"));
        message.refresh();
        loop.yield();
        window.state().moveWizardTo(wizard::DownloadProgramUpdates);
        flags.ProgramUpdatesFound = true;
    } else if (dataUpdate) {
        message.setTextColor(AttentionColor);
        message.setText(QStringLiteral("Es wurden neue Daten gefunden! ") + CrLf + next + CrLf +
                        QStringLiteral("Klicken Sie bitte auf 'Info', um die "
                                       "Update-Informationen anzusehen ..."));
        window.controls().startButton().setCaption(QStringLiteral("Weiter"));
        message.refresh();
        loop.yield();
        window.state().moveWizardTo(wizard::DownloadDataUpdates);
        flags.DataUpdatesFound = true;
        window.controls().setInfoButtonVisible(true);
        if (window.controls().isWindowVisible())
            window.controls().clickInfoButton();
    } else {
        message.setText(QStringLiteral("Es wurden keine Updates gefunden. Bitte versuchen Sie es "
                                       "zu einem späteren Zeitpunkt nochmal."));
    }
}

} // namespace

QString searchErrorText(std::int32_t errNumber, const QString& errText) {
    QString text = QStringLiteral("Fehler ");
    if (errNumber != 0)
        text += QStringLiteral(": ") + QString::number(errNumber);
    if (!errText.isEmpty())
        text += CrLf + errText;
    return text;
}

void SearchForUpdates(WizardWindow& window, TransferControl& Inet1) {
    WizardFlags& flags = window.flags();
    flags.ProgramUpdatesFound = false;
    flags.DataUpdatesFound = false;
    TextArea& results = window.boxes().internetVersion();
    results.setText(QString());

    const QString version = window.boxes().programVersion().text();
    if (!versionIsWellFormed(window, version)) {
        window.controls().startButton().setEnabled(true);
        return;
    }
    if (Inet1.stillExecuting()) {
        reportBusy(window);
        return;
    }

    showWorking(
        window,
        QStringLiteral("Die Programm-Update-Informationen werden abgerufen. Bitte warten ..."));
    std::int32_t errNumber = 0;
    QString errText;
    bool programUpdates = false;
    if (!QueryProgramUpdates(window, Inet1, version, errText, results, errNumber, programUpdates)) {
        showError(window, errNumber, errText);
        return;
    }
    if (closing(window))
        return;
    if (programUpdates) {
        showSuccess(window, true, false);
        return;
    }
    if (Inet1.stillExecuting()) {
        reportBusy(window);
        return;
    }

    results.setText(results.text() + CrLf + QStringLiteral(" Daten-Updates werden gesucht ..."));
    showWorking(window, QStringLiteral(
                            "Die Daten-Update-Informationen werden abgerufen. Bitte warten ..."));
    bool dataUpdate = false;
    if (!QueryDataUpdates(window, Inet1, querymode::Search, version, errText, results, errNumber,
                          dataUpdate)) {
        showError(window, errNumber, errText);
        return;
    }
    if (closing(window))
        return;
    showSuccess(window, false, dataUpdate);
}

} // namespace upd
