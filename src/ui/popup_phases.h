#pragma once

#include <cstdint>

namespace upd {

// The course of the notification pop-up, one timer tick at a time: it rolls out by 4 screen
// pixels per step interval until it is 1600 twips high, stays for the display time, and takes
// its final step after the close delay. Heights are in twips.
class PopupPhases {
public:
    enum Phase : std::int32_t {
        Idle = 0,
        RollingOut = 1,
        FullyShown = 2,
        Finishing = 3,
    };
    static constexpr double RolledOutTwips = 1600;
    static constexpr int StepPixels = 4;

    explicit PopupPhases(double twipsPerPixelX) : twipsPerPixelX_(twipsPerPixelX) {}

    // Rolling out from height 0; the timer runs at the step interval.
    void start(std::int32_t stepInterval, std::int32_t displayTime, std::int32_t closeDelay);
    // One tick of the timer. True for the final step, which the pop-up repeats on every later
    // tick until it is gone: it ends as a tray icon, or it collapses.
    bool tick();
    // Height 0 and idle: the pop-up without an action ends so.
    void collapse();

    Phase phase() const { return phase_; }
    double heightTwips() const { return height_; }
    // The timer's interval for the next tick, in milliseconds.
    std::int32_t interval() const { return interval_; }

private:
    double twipsPerPixelX_;
    Phase phase_ = Idle;
    double height_ = 0;
    std::int32_t interval_ = 0;
    std::int32_t displayTime_ = 0;
    std::int32_t closeDelay_ = 0;
};

} // namespace upd
