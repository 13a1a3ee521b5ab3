#include "ui/wait_notice.h"

#include "ui/frm_wait.h"

#include <QApplication>
#include <QLabel>

namespace upd {

FrmWaitNotice::FrmWaitNotice(Session& session, QWidget* parent)
    : window_(new frmWait(session, parent)) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

FrmWaitNotice::~FrmWaitNotice() {
    if (window_)
        window_->close(); // releases the window and, as it closes, the pointer
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void FrmWaitNotice::setLine(int index, const QString& text) {
    if (window_ && index >= 0 && index < static_cast<int>(window_->lblMeldung.size()))
        window_->lblMeldung[static_cast<std::size_t>(index)]->setText(text);
}

void FrmWaitNotice::show() {
    if (window_)
        window_->show();
}

} // namespace upd
