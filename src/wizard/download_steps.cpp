#include "wizard/download_steps.h"

#include "core/error_catalogue.h"
#include "core/runtime_error.h"
#include "install/new_updater_verification.h"
#include "install/self_replacement.h"
#include "package/safe_names.h"
#include "protocol/request_parameters.h"
#include "wizard/authenticity_texts.h"
#include "wizard/updater_install.h"
#include "wizard/wizard_texts.h"

#include <QFile>
#include <optional>

namespace upd {
namespace {

// How the updater's download ended: `ok`, or a failure that is `notGenuine` or not.
struct UpdaterDownload {
    bool ok = false;
    std::optional<NotGenuine> notGenuine;
    QString file;
};

// The new updater beside the running one, named after its version (2.1.0.x.exe), ready to start.
// The version and the file name come from the server and become a name here: a name that would
// leave the directory fails like a download. Errors while writing are failures too. With enforced
// keys nothing unsigned is fetched, and a file that differs from the signed one is deleted.
UpdaterDownload downloadNewUpdater(WizardWindow& window, WizardSteps& steps) {
    const Session& session = window.session();
    if (!safe_names::isSafeName(session.UpdaterFile) ||
        !safe_names::isSafeName(session.UpdaterVersion + QLatin1Char('.') + session.UpdaterFile))
        return {};
    const ReplacementFiles files =
        replacementFiles(ownUpdaterFile(session), session.UpdaterVersion, session.UpdaterFile);
    const TrustedKeys keys = TrustedKeys::fromSetting(session.deployment.signingKeys);
    if (auto why = checkUpdaterSignature(keys, session.UpdaterVersion, session.UpdaterFile,
                                         session.updaterSeal))
        return {false, why, files.newFile};
    const QString url = session.ServerBaseUrl + QLatin1Char('/') + session.UpdaterPath +
                        QLatin1Char('/') + session.UpdaterFile;
    try {
        if (!steps.DownloadAFile(window, files.newFile, url))
            return {};
    } catch (const RuntimeError&) {
        return {};
    }
    if (auto why = verifyNewUpdater(keys, session.UpdaterVersion, session.UpdaterFile,
                                    session.updaterSeal, files.newFile)) {
        QFile::remove(files.newFile);
        return {false, why, files.newFile};
    }
    return {adoptOwnFileMode(files.newFile, files.ownFile), std::nullopt, {}};
}

} // namespace

void DownloadNewUpdater(WizardWindow& window, WizardSteps& steps) {
    Button& start = window.controls().startButton();
    MessageAreas& messages = window.messages();
    start.setEnabled(false);
    messages.visibleMessageArea().setText(QString());
    const UpdaterDownload download = downloadNewUpdater(window, steps);
    if (window.flags().CloseRequested) {
        // The closing message stays.
        start.setEnabled(true);
        return;
    }
    if (!download.ok) {
        start.setEnabled(true);
        messages.visibleMessageArea().show(
            QStringLiteral("Fehler : %1").arg(errcode::DownloadFailed) + CrLf +
                (download.notGenuine ? notGenuineFileText(download.file, *download.notGenuine) +
                                           CrLf + KeptUpdaterText
                                     : DownloadNotFinished),
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
