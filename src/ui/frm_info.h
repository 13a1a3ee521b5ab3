#pragma once

#include "core/session.h"

#include <QDialog>
#include <array>

class QLabel;

namespace upd {

// How downloaded updates reach another computer. Opened with AppName in DialogArg1 and ExtAppName
// in DialogArg2; a click anywhere closes it.
class frmInfo final : public QDialog {
    Q_OBJECT
public:
    explicit frmInfo(Session& session, QWidget* parent = nullptr);

    std::array<QLabel*, 6> lblInfo{};
    QLabel* lblPath = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;

    void done(int result) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    Session& session_;
};

} // namespace upd
