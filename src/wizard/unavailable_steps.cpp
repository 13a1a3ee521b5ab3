#include "wizard/unavailable_steps.h"

#include <QProcess>

namespace upd {
namespace {

void tellUnavailable(WizardWindow& window) {
    window.messages().visibleMessageArea().show(StepUnavailableText, AttentionColor);
    window.controls().startButton().setEnabled(true);
}

} // namespace

void UnavailableWizardSteps::SearchForUpdates(WizardWindow& window) {
    tellUnavailable(window);
}

bool UnavailableWizardSteps::DownloadUpdateFiles(WizardWindow& window, std::int32_t&, QString&) {
    tellUnavailable(window);
    return false;
}

void UnavailableWizardSteps::InstallProgramUpdates(WizardWindow& window) {
    tellUnavailable(window);
}

bool UnavailableWizardSteps::DownloadAFile(WizardWindow& window, const QString&, const QString&) {
    tellUnavailable(window);
    return false;
}

void UnavailableWizardSteps::InstallNewUpdater(WizardWindow& window) {
    tellUnavailable(window);
}

bool UnavailableWizardSteps::QueryDataUpdates(WizardWindow& window, int, const QString&, TextArea&,
                                              QString& errText, std::int32_t&, bool& downloaded) {
    downloaded = false;
    errText = StepUnavailableText;
    window.controls().startButton().setEnabled(true);
    return false;
}

void UnavailableWizardSteps::InstallDataUpdates(WizardWindow& window) {
    tellUnavailable(window);
}

bool UnavailableWizardSteps::ShowUpdateInformation(WizardWindow&, const QString&, const QString&) {
    return false;
}

bool UnavailableWizardSteps::StartHostProgram(const QString& path) {
    return QProcess::startDetached(path, {});
}

} // namespace upd
