#include "ui/popup_phases.h"

namespace upd {

void PopupPhases::start(std::int32_t stepInterval, std::int32_t displayTime,
                        std::int32_t closeDelay) {
    displayTime_ = displayTime;
    closeDelay_ = closeDelay;
    height_ = 0;
    interval_ = stepInterval;
    phase_ = RollingOut;
}

bool PopupPhases::tick() {
    switch (phase_) {
    case RollingOut: {
        const double step = StepPixels * twipsPerPixelX_;
        if (height_ + step < RolledOutTwips) {
            height_ += step;
        } else {
            height_ = RolledOutTwips;
            interval_ = displayTime_;
            phase_ = FullyShown;
        }
        return false;
    }
    case FullyShown:
        interval_ = closeDelay_;
        phase_ = Finishing;
        return false;
    case Finishing:
        return true;
    case Idle:
        break;
    }
    return false;
}

void PopupPhases::collapse() {
    height_ = 0;
    phase_ = Idle;
}

} // namespace upd
