#include "wizard/download_steps.h"

#include "core/error_catalogue.h"
#include "core/runtime_error.h"
#include "install/self_replacement.h"
#include "package/safe_names.h"
#include "protocol/request_parameters.h"
#include "wizard/updater_install.h"
#include "wizard/wizard_texts.h"

namespace upd {
namespace {

// The new updater beside the running one, named after its version (2.1.0.x.exe), ready to start.
// The version and the file name come from the server and become a name here: a name that would
// leave the directory fails like a download. Errors while writing are failures too.
bool downloadNewUpdater(WizardWindow& window, WizardSteps& steps) {
    const Session& session = window.session();
    if (!safe_names::isSafeName(session.UpdaterFile) ||
        !safe_names::isSafeName(session.UpdaterVersion + QLatin1Char('.') + session.UpdaterFile))
        return false;
    const ReplacementFiles files =
        replacementFiles(ownUpdaterFile(session), session.UpdaterVersion, session.UpdaterFile);
    const QString url = session.ServerBaseUrl + QLatin1Char('/') + session.UpdaterPath +
                        QLatin1Char('/') + session.UpdaterFile;
    try {
        if (!steps.DownloadAFile(window, files.newFile, url))
            return false;
    } catch (const RuntimeError&) {
        return false;
    }
    return adoptOwnFileMode(files.newFile, files.ownFile);
}

} // namespace

void DownloadNewUpdater(WizardWindow& window, WizardSteps& steps) {
    Button& start = window.controls().startButton();
    MessageAreas& messages = window.messages();
    start.setEnabled(false);
    messages.visibleMessageArea().setText(QString());
    const bool downloaded = downloadNewUpdater(window, steps);
    if (window.flags().CloseRequested) {
        // The closing message stays.
        start.setEnabled(true);
        return;
    }
    if (!downloaded) {
        start.setEnabled(true);
        messages.visibleMessageArea().show(
            QStringLiteral("Fehler : %1").arg(errcode::DownloadFailed) + CrLf + DownloadNotFinished,
            AttentionColor);
        return;
    }
    messages.visibleMessageArea().show(DownloadDone + CrLf + NextInstallsUpdater, AttentionColor);
    window.eventLoop().yield();
    start.setEnabled(true);
    window.state().moveWizardTo(wizard::InstallNewUpdater);
    start.setEnabled(true);
}

void DownloadProgramUpdates(WizardWindow& window, WizardSteps& steps) {
    Button& start = window.controls().startButton();
    MessageAreas& messages = window.messages();
    start.setEnabled(false);
    window.eventLoop().yield();
    if (steps.transferBusy()) {
        start.setEnabled(true);
        return;
    }
    messages.visibleMessageArea().setTextColor(WorkingColor);
    std::int32_t errNumber = 0;
    QString errText;
    const bool downloaded = steps.DownloadUpdateFiles(window, errNumber, errText);
    if (window.flags().CloseRequested) {
        start.setEnabled(true);
        return;
    }
    if (downloaded) {
        messages.visibleMessageArea().show(DownloadDone + CrLf + NextInstallsUpdates,
                                           AttentionColor);
        window.eventLoop().yield();
        window.state().moveWizardTo(wizard::InstallProgramUpdates);
        start.setEnabled(true);
        return;
    }
    // Back to the search. The reset comes first: it empties the download tab's message area,
    // where the outcome is to be read.
    window.state().moveWizardTo(wizard::Search);
    TextArea& area = messages.visibleMessageArea();
    area.setText(NothingDownloaded);
    start.setEnabled(true);
    if (errNumber != 0) {
        QString text = area.text() + CrLf + QStringLiteral("Fehler : %1").arg(errNumber);
        if (!errText.isEmpty())
            text += CrLf + errText;
        area.show(text, AttentionColor);
    }
}

void DownloadDataUpdates(WizardWindow& window, WizardSteps& steps) {
    Button& start = window.controls().startButton();
    MessageAreas& messages = window.messages();
    window.controls().tabs().setCurrentTab(tab::Download);
    start.setEnabled(false);
    window.downloadBar().setTransferFiguresVisible(false);
    window.eventLoop().yield();
    if (steps.transferBusy()) {
        start.setEnabled(true);
        return;
    }
    messages.visibleMessageArea().setTextColor(WorkingColor);
    QString errText;
    std::int32_t errNumber = 0;
    bool downloaded = false;
    const bool ok =
        steps.QueryDataUpdates(window, querymode::Download, window.boxes().programVersion().text(),
                               window.boxes().downloadList(), errText, errNumber, downloaded);
    if (window.flags().CloseRequested) {
        // The closing message stays.
        start.setEnabled(true);
        return;
    }
    if (!ok) {
        start.setEnabled(true);
        TextArea& area = messages.visibleMessageArea();
        QString text = area.text();
        if (!text.isEmpty())
            text += CrLf;
        text += QStringLiteral("Fehler");
        if (errNumber != 0)
            text += QStringLiteral(" : %1").arg(errNumber);
        if (!errText.isEmpty())
            text += CrLf + errText;
        area.show(text, AttentionColor);
        return;
    }
    if (downloaded) {
        messages.visibleMessageArea().show(DownloadDone + CrLf + NextInstallsUpdates,
                                           AttentionColor);
        window.eventLoop().yield();
        window.state().moveWizardTo(wizard::InstallDataUpdates);
    } else {
        messages.visibleMessageArea().setText(NothingDownloaded);
        window.state().moveWizardTo(window.state().wizardState());
    }
    start.setEnabled(true);
}

} // namespace upd
