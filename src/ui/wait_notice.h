#pragma once

#include "core/session.h"
#include "wizard/window_roles.h"

#include <QPointer>

class QWidget;

namespace upd {

class frmWait;

// A new frmWait for a slow step, with the hourglass pointer while it exists.
class FrmWaitNotice final : public WaitNotice {
public:
    FrmWaitNotice(Session& session, QWidget* parent);
    ~FrmWaitNotice() override;
    FrmWaitNotice(const FrmWaitNotice&) = delete;
    FrmWaitNotice& operator=(const FrmWaitNotice&) = delete;

    void setLine(int index, const QString& text) override;
    void show() override;

private:
    QPointer<frmWait> window_;
};

} // namespace upd
