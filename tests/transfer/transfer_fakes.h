#pragma once

#include "core/event_loop.h"
#include "core/window.h"

#include <QColor>
#include <QString>
#include <utility>
#include <vector>

namespace upd::test {

// A message area that keeps its text and counts repaints.
class RecordingTextArea final : public TextArea {
public:
    QString text() const override { return text_; }
    void setText(const QString& text) override { text_ = text; }
    void setTextColor(const QColor& color) override { color_ = color; }
    void refresh() override { ++refreshes; }

    int refreshes = 0;

private:
    QString text_;
    QColor color_;
};

// The main window as the transfer sees it, recording every call. The close request can be set
// by the test or after a given number of progress calls.
class RecordingTransferWindow final : public TransferWindow {
public:
    bool closeRequested() const override { return close; }
    void setTransferRunning(bool running) override {
        transferRunning = running;
        runningChanges.push_back(running);
    }
    void setAnnouncedSize(qint32 bytes) override { announcedSize = bytes; }
    void setSpeedTimerEnabled(bool enabled) override { speedTimerEnabled = enabled; }
    void showProgress(qint32 expected, qint32 received) override {
        progress.emplace_back(expected, received);
        if (closeAfterProgressCalls > 0 &&
            static_cast<int>(progress.size()) >= closeAfterProgressCalls)
            close = true;
    }
    TextArea& visibleMessageArea() override { return messageArea; }

    bool close = false;
    int closeAfterProgressCalls = 0;
    bool transferRunning = false;
    std::vector<bool> runningChanges;
    qint32 announcedSize = -1;
    bool speedTimerEnabled = false;
    std::vector<std::pair<qint32, qint32>> progress;
    RecordingTextArea messageArea;
};

// The real event loop, counting its yields.
class CountingEventLoop final : public EventLoop {
public:
    void yield() override {
        ++yields;
        loop_.yield();
    }
    void sleep(int milliseconds) override { loop_.sleep(milliseconds); }

    int yields = 0;

private:
    QtEventLoop loop_;
};

} // namespace upd::test
