#pragma once

namespace upd {

// The one place where long operations let other handlers run: timers, the close box, the End
// button and transfer events all arrive during a yield.
class EventLoop {
public:
    virtual ~EventLoop() = default;

    // Runs the events that are pending now, then returns.
    virtual void yield() = 0;

    // Runs the events that are pending or that arrive within about `milliseconds`, then returns:
    // how a step waits for a transfer, which advances in whatever event loop runs, without
    // spinning. The default only yields.
    virtual void waitForEvents(int milliseconds) {
        (void)milliseconds;
        yield();
    }

    // Waits about `milliseconds` without handling events (the platform's Sleep).
    virtual void sleep(int milliseconds) = 0;
};

// The Qt application's event loop.
class QtEventLoop final : public EventLoop {
public:
    void yield() override;
    void waitForEvents(int milliseconds) override;
    void sleep(int milliseconds) override;
};

} // namespace upd
