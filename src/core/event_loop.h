#pragma once

namespace upd {

// The one place where long operations let other handlers run: timers, the close box, the End
// button and transfer events all arrive during a yield.
class EventLoop {
public:
    virtual ~EventLoop() = default;

    // Runs the events that are pending now, then returns.
    virtual void yield() = 0;

    // Waits about `milliseconds` without handling events (the platform's Sleep).
    virtual void sleep(int milliseconds) = 0;
};

// The Qt application's event loop.
class QtEventLoop final : public EventLoop {
public:
    void yield() override;
    void sleep(int milliseconds) override;
};

} // namespace upd
