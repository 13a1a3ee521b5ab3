#pragma once

#include "app/program_steps.h"
#include "app/startup.h"
#include "platform/previous_instance.h"
#include "ui/frm_notify.h"
#include "ui/frm_start.h"

#include <QPointer>
#include <memory>

namespace upd {

// What start-up hands over to in the program: the main window with the wizard's steps, and the
// background mode with its pop-up. Every instance registers itself for the previous-instance
// test as soon as it starts.
class ApplicationStartup final : public StartupActions {
public:
    ApplicationStartup(Session& session, EventLoop& loop, Prompts& prompts);
    ~ApplicationStartup() override;

    bool isInternetReachable() override;
    bool anotherInstanceRunning() override;
    void showMainWindow() override;
    bool CheckUpdaterVersion() override;
    std::int16_t RunBackgroundCheck() override;
    void ShowUpdateNotice(int kind) override;

    // The main window while it is open.
    frmStart* mainWindow() const { return mainWindow_.data(); }
    // The background mode's pop-up while it exists.
    frmNotify* notice() const { return notice_.data(); }
    // True while a window of the program is open or the pop-up waits as a tray icon.
    bool running() const { return mainWindow_ || notice_; }

private:
    // The pop-up's action. The background mode ends the program itself when the pop-up goes
    // without it or the main window it opened closes: the pop-up may wait hidden as a tray icon,
    // which no count of open windows sees.
    void showMainWindowFromNotice();

    Session& session_;
    EventLoop& loop_;
    Prompts& prompts_;
    InstanceLock instanceLock_;
    ProgramWizardSteps steps_;
    QPointer<frmStart> mainWindow_;
    QPointer<frmNotify> notice_;
};

} // namespace upd
