#include "app/program_steps.h"

#include "ui/frm_update_info.h"
#include "wizard/data_install_step.h"
#include "wizard/data_query.h"
#include "wizard/package_download_step.h"
#include "wizard/program_install.h"
#include "wizard/single_file_download.h"
#include "wizard/transfer_status.h"
#include "wizard/update_search.h"
#include "wizard/updater_install.h"

#include <QProcess>
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

// For the duration of one step, the control's state texts go to the message area of the window the
// step works for, and its requests end when that window is closing; afterwards the control holds
// nothing of the window.
class ProgramWizardSteps::WindowBinding {
public:
    WindowBinding(ProgramWizardSteps& steps, WizardWindow& window) : control_(steps.Inet1_) {
        EventLoop& loop = steps.loop_;
        // While the window closes its closing message stays.
        control_.setStateHandler([&window, &loop](int state) {
            if (!window.flags().CloseRequested)
                Inet1_StateChanged(state, window.messages(), loop);
        });
        control_.setCancelCheck([&window] { return window.flags().CloseRequested; });
    }
    ~WindowBinding() {
        control_.setStateHandler({});
        control_.setCancelCheck({});
    }
    WindowBinding(const WindowBinding&) = delete;
    WindowBinding& operator=(const WindowBinding&) = delete;
    TransferControl& control() { return control_; }

private:
    TransferControl& control_;
};

void ProgramWizardSteps::SearchForUpdates(WizardWindow& window) {
    WindowBinding binding(*this, window);
    upd::SearchForUpdates(window, binding.control());
}

bool ProgramWizardSteps::DownloadUpdateFiles(WizardWindow& window, std::int32_t& errNumber,
                                             QString& errText) {
    WindowBinding binding(*this, window);
    return upd::DownloadUpdateFiles(window, binding.control(), errNumber, errText);
}

void ProgramWizardSteps::InstallProgramUpdates(WizardWindow& window) {
    upd::InstallProgramUpdates(window, store_);
}

bool ProgramWizardSteps::DownloadAFile(WizardWindow& window, const QString& localPath,
                                       const QString& url) {
    WindowBinding binding(*this, window);
    return upd::DownloadAFile(window, binding.control(), localPath, url);
}

void ProgramWizardSteps::InstallNewUpdater(WizardWindow& window) {
    upd::InstallNewUpdater(window, store_);
}

bool ProgramWizardSteps::QueryDataUpdates(WizardWindow& window, int mode, const QString& version,
                                          TextArea& list, QString& errText, std::int32_t& errNumber,
                                          bool& downloaded) {
    WindowBinding binding(*this, window);
    return upd::QueryDataUpdates(window, binding.control(), mode, version, errText, list, errNumber,
                                 downloaded);
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
    return QProcess::startDetached(path, {});
}

} // namespace upd
