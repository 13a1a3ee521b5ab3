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
    // Only what changes is written and repainted: the bar and the amount once per percent.
    const int percent = expected > 0 ? static_cast<int>(100.0 * received / expected) : 0;
    if (bar_->value() == percent)
        return;
    bar_->setValue(percent);
    bar_->repaint();
    amount_->setText(QStringLiteral("übertragen: %1 Kb").arg(received / 1000));
    amount_->repaint();
}

} // namespace upd::bench
