#pragma once

#include "core/event_loop.h"
#include "transfer/transfer_observer.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace upd::test {

// The transfer display as the transfer sees it, recording every call. The close request can be
// set by the test or after a given number of progress calls.
class RecordingTransferObserver final : public TransferObserver {
public:
    bool cancelRequested() const override { return close; }
    void transferStarted() override {
        transferRunning = true;
        runningChanges.push_back(true);
    }
    void sizeAnnounced(std::int32_t bytes) override { announcedSize = bytes; }
    void dataArriving() override { speedTimerEnabled = true; }
    void progress(std::int32_t expected, std::int32_t received) override {
        progressCalls.emplace_back(expected, received);
        if (closeAfterProgressCalls > 0 &&
            static_cast<int>(progressCalls.size()) >= closeAfterProgressCalls)
            close = true;
    }
    void transferEnded() override {
        transferRunning = false;
        speedTimerEnabled = false;
        runningChanges.push_back(false);
    }

    bool close = false;
    int closeAfterProgressCalls = 0;
    bool transferRunning = false;
    std::vector<bool> runningChanges;
    std::int32_t announcedSize = -1;
    bool speedTimerEnabled = false;
    std::vector<std::pair<std::int32_t, std::int32_t>> progressCalls;
};

// The real event loop, counting its yields and waits.
class CountingEventLoop final : public EventLoop {
public:
    void yield() override {
        ++yields;
        loop_.yield();
    }
    void waitForEvents(int milliseconds) override {
        ++yields;
        loop_.waitForEvents(milliseconds);
    }
    void sleep(int milliseconds) override { loop_.sleep(milliseconds); }

    int yields = 0;

private:
    QtEventLoop loop_;
};

} // namespace upd::test
