#include "app/program_steps.h"

#include "ui/frm_update_info.h"
#include "wizard/data_install_step.h"
#include "wizard/data_query.h"
#include "wizard/package_download_step.h"
#include "wizard/single_file_download.h"
#include "wizard/transfer_status.h"
#include "wizard/update_search.h"
#include "wizard/updater_install.h"

#include <QWidget>

namespace upd {
namespace {

// The request time-out from the main window's start; the data queries raise it for the rest of
// the run.
constexpr int InitialRequestTimeoutSeconds = 30;

} // namespace

ProgramWizardSteps::ProgramWizardSteps(EventLoop& loop, Prompts& prompts, SettingsStore* store)
    : loop_(loop), prompts_(prompts), Inet1_(loop), store_(store ? *store : nativeStore_) {
    Inet1_.setRequestTimeout(InitialRequestTimeoutSeconds);
}

TransferControl& ProgramWizardSteps::controlFor(WizardWindow& window) {
    Inet1_.setStateHandler(
        [&window, this](int state) { Inet1_StateChanged(state, window.messages(), loop_); });
    return Inet1_;
}

void ProgramWizardSteps::SearchForUpdates(WizardWindow& window) {
    upd::SearchForUpdates(window, controlFor(window));
}

bool ProgramWizardSteps::DownloadUpdateFiles(WizardWindow& window, std::int32_t& errNumber,
                                             QString& errText) {
    return upd::DownloadUpdateFiles(window, controlFor(window), errNumber, errText);
}

void ProgramWizardSteps::InstallProgramUpdates(WizardWindow& window) {
    unavailable_.InstallProgramUpdates(window);
}

bool ProgramWizardSteps::DownloadAFile(WizardWindow& window, const QString& localPath,
                                       const QString& url) {
    return upd::DownloadAFile(window, controlFor(window), localPath, url);
}

void ProgramWizardSteps::InstallNewUpdater(WizardWindow& window) {
    upd::InstallNewUpdater(window, store_);
}

bool ProgramWizardSteps::QueryDataUpdates(WizardWindow& window, int mode, const QString& version,
                                          TextArea& list, QString& errText, std::int32_t& errNumber,
                                          bool& downloaded) {
    return upd::QueryDataUpdates(window, controlFor(window), mode, version, errText, list,
                                 errNumber, downloaded);
}

void ProgramWizardSteps::InstallDataUpdates(WizardWindow& window) {
    upd::InstallDataUpdates(window);
}

bool ProgramWizardSteps::transferBusy() {
    return Inet1_.stillExecuting();
}

bool ProgramWizardSteps::ShowUpdateInformation(WizardWindow& window, const QString& callerName,
                                               const QString& version) {
    // The window that asks is the main window; the information opens over it.
    return showUpdateInformation(window.session(), loop_, callerName, version,
                                 dynamic_cast<const QWidget*>(&window));
}

bool ProgramWizardSteps::StartHostProgram(const QString& path) {
    return unavailable_.StartHostProgram(path);
}

} // namespace upd
