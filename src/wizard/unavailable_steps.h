#pragma once

#include "wizard/wizard_steps.h"

namespace upd {

// The wizard's steps in a build that does not contain them yet. Every step says so in the visible
// message area and leaves the wizard where it is: nothing pretends to have succeeded.
class UnavailableWizardSteps final : public WizardSteps {
public:
    void SearchForUpdates(WizardWindow& window) override;
    bool DownloadUpdateFiles(WizardWindow& window, std::int32_t& errNumber,
                             QString& errText) override;
    void InstallProgramUpdates(WizardWindow& window) override;
    bool DownloadAFile(WizardWindow& window, const QString& localPath, const QString& url) override;
    void InstallNewUpdater(WizardWindow& window) override;
    bool QueryDataUpdates(WizardWindow& window, int mode, const QString& version, TextArea& list,
                          QString& errText, std::int32_t& errNumber, bool& downloaded) override;
    void InstallDataUpdates(WizardWindow& window) override;
    bool transferBusy() override { return false; }
    bool ShowUpdateInformation(WizardWindow& window, const QString& callerName,
                               const QString& version) override;
    bool StartHostProgram(const QString& path) override;
};

// The notice these steps show.
inline const QString StepUnavailableText =
    QStringLiteral("Dieser Schritt ist in dieser Version des Internet-Updates nicht verfügbar.");

} // namespace upd
