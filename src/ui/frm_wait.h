#pragma once

#include "core/session.h"

#include <QWidget>
#include <array>

class QLabel;

namespace upd {

// "Bitte warten ....": shown without blocking while something slow happens; its callers write
// their lines into lblMeldung. A caller that set DialogArg1 to "open" finds "close" there once the
// window is gone. Closing releases the window.
class frmWait final : public QWidget {
    Q_OBJECT
public:
    explicit frmWait(Session& session, QWidget* parent = nullptr);

    std::array<QLabel*, 3> lblMeldung{};
    QLabel* Image1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Session& session_;
};

} // namespace upd
