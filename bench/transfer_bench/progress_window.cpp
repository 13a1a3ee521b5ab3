#include "transfer_bench/progress_window.h"

#include <QVBoxLayout>

namespace upd::bench {

ProgressWindow::ProgressWindow()
    : bar_(new QProgressBar(this)), amount_(new QLabel(this)), message_(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(bar_);
    layout->addWidget(amount_);
    bar_->setRange(0, 100);
}

void ProgressWindow::showProgress(qint32 expected, qint32 received) {
    if (received == 0)
        return;
    // Like the main window: only what changes is written and repainted.
    const int percent = expected > 0 ? static_cast<int>(100.0 * received / expected) : 0;
    if (bar_->value() != percent) {
        bar_->setValue(percent);
        bar_->repaint();
    }
    const QString amount = QStringLiteral("übertragen: %1 Kb").arg(received / 1000);
    if (amount_->text() != amount && received % (1000 * 1024) < 512) {
        amount_->setText(amount);
        amount_->repaint();
    }
}

} // namespace upd::bench
