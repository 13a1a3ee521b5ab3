#pragma once

#include "app/program_steps.h"
#include "app/startup.h"
#include "platform/previous_instance.h"
#include "ui/frm_start.h"

#include <QPointer>
#include <memory>

namespace upd {

// What start-up hands over to in the program: the main window with the wizard's steps, and the
// background check.
class ApplicationStartup final : public StartupActions {
public:
    ApplicationStartup(Session& session, EventLoop& loop, Prompts& prompts);
    ~ApplicationStartup() override;

    bool isInternetReachable() override;
    bool anotherInstanceRunning() override;
    void showMainWindow() override;
    void runBackgroundCheck() override;

    // The main window while it is open.
    frmStart* mainWindow() const { return mainWindow_.data(); }

private:
    Session& session_;
    EventLoop& loop_;
    Prompts& prompts_;
    ProgramWizardSteps steps_;
    QPointer<frmStart> mainWindow_;
    std::unique_ptr<InstanceLock> instanceLock_;
};

} // namespace upd
