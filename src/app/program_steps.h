#pragma once

#include "platform/settings_store.h"
#include "transfer/transfer_control.h"
#include "wizard/wizard_steps.h"

namespace upd {

// The wizard's steps of this build. The main window's transfer control `Inet1` lives here, with
// every procedure that uses it; a step that is not built yet says so.
class ProgramWizardSteps final : public WizardSteps {
public:
    // `store` holds the parked parameter string across a self-replacement; the user's own store
    // when none is given.
    ProgramWizardSteps(EventLoop& loop, Prompts& prompts, SettingsStore* store = nullptr);

    void SearchForUpdates(WizardWindow& window) override;
    bool DownloadUpdateFiles(WizardWindow& window, std::int32_t& errNumber,
                             QString& errText) override;
    void InstallProgramUpdates(WizardWindow& window) override;
    bool DownloadAFile(WizardWindow& window, const QString& localPath, const QString& url) override;
    void InstallNewUpdater(WizardWindow& window) override;
    bool QueryDataUpdates(WizardWindow& window, int mode, const QString& version, TextArea& list,
                          QString& errText, std::int32_t& errNumber, bool& downloaded) override;
    void InstallDataUpdates(WizardWindow& window) override;
    bool transferBusy() override;
    bool ShowUpdateInformation(WizardWindow& window, const QString& callerName,
                               const QString& version) override;
    bool StartHostProgram(const QString& path) override;

    TransferControl& Inet1() { return Inet1_; }

private:
    class WindowBinding;

    EventLoop& loop_;
    Prompts& prompts_;
    TransferControl Inet1_;
    NativeSettingsStore nativeStore_;
    SettingsStore& store_;
};

} // namespace upd
