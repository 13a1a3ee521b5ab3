#pragma once

#include "core/window.h"

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

namespace upd::bench {

// A small real window with a progress bar and the amount label, standing in for the main window
// while a download is measured.
class ProgressWindow final : public QWidget, public TransferWindow, public TextArea {
public:
    ProgressWindow();

    bool closeRequested() const override { return false; }
    void setTransferRunning(bool) override {}
    void setAnnouncedSize(qint32) override {}
    void setSpeedTimerEnabled(bool) override {}
    void showProgress(qint32 expected, qint32 received) override;
    TextArea& visibleMessageArea() override { return *this; }

    QString text() const override { return message_->text(); }
    void setText(const QString& text) override { message_->setText(text); }
    void setTextColor(const QColor&) override {}
    void refresh() override { message_->repaint(); }

private:
    QProgressBar* bar_;
    QLabel* amount_;
    QLabel* message_;
};

} // namespace upd::bench
