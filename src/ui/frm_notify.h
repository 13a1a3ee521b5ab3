#pragma once

#include "ui/popup_phases.h"
#include "ui/screen_twips.h"
#include "wizard/notify_message.h"

#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace upd {

// The notification pop-up: a small window without frame that stays on top, rolls out at a
// screen corner without taking the focus, shows a message on a colour gradient, and then closes
// or, with an action, turns into a tray icon. A click on it, or a left click on the icon, runs
// the action; the icon's menu offers the action and "Beenden". Where the desktop has no
// notification area, a pop-up with an action stays shown instead, so the notice is never lost.
// The pop-up releases itself when it is unloaded.
class frmNotify final : public QWidget, public NotificationPopup {
    Q_OBJECT
public:
    // `trayAvailable`: the desktop has a notification area for the pop-up to end in.
    explicit frmNotify(bool trayAvailable = QSystemTrayIcon::isSystemTrayAvailable());
    ~frmNotify() override;

    void ShowMessage(const NotifyMessage& message) override;

    // Removes the tray icon, shows the target form and unloads the pop-up.
    void RunPopupAction();
    // "Beenden": removes the tray icon, unloads the pop-up and ends the program.
    void EndFromPopup();
    // One tick of Timer1.
    void Timer1_Timer();

    std::int32_t PopupPhase() const { return phases_.phase(); }
    double heightTwips() const { return phases_.heightTwips(); }
    const ScreenTwips& screenTwips() const { return twips_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The controls; each carries the program's name for it as its object name.
    QLabel* lblMsg = nullptr;
    QMenu* mnuMain = nullptr;
    QAction* mnuAction = nullptr;
    QAction* mnuClose = nullptr;
    QTimer* Timer1 = nullptr;
    QSystemTrayIcon* trayIcon = nullptr;

    void placeWindow(std::int16_t position);
    void placeMessage();
    void applyHeight();
    void setHighlighted(bool highlighted);
    void endAsTrayIcon();
    void unload();

    const bool trayAvailable_;
    const ScreenTwips twips_;
    PopupPhases phases_;
    NotifyMessage shown_;
    QPixmap picture_;
    bool HasAction_ = false;
    std::function<void()> TargetForm_;
};

} // namespace upd
