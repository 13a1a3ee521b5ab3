#pragma once

#include <cstdint>
#include <optional>

namespace upd {

// What the speed display shows after a tick.
struct TransferReading {
    double kilobytesPerSecond = 0;
    // Unknown without an announced size, when more came than announced, or when the figure
    // does not fit the display's 32-bit seconds.
    std::optional<std::int32_t> remainingSeconds;
};

// Speed and remaining time of a transfer from the bytes counted between two ticks of the speed
// timer. The time is passed in, so that the arithmetic is testable with a fake clock.
class TransferMeter {
public:
    // The interval the first tick is measured over: the speed timer's period.
    explicit TransferMeter(std::int64_t nominalIntervalMs = 1000)
        : nominalIntervalMs_(nominalIntervalMs) {}

    void setAnnouncedSize(std::int32_t bytes) { announced_ = bytes; }
    void setReceived(std::int32_t bytes) { received_ = bytes; }

    // One tick at `nowMs`: a reading when bytes arrived since the previous tick, else nothing.
    std::optional<TransferReading> tick(std::int64_t nowMs);

private:
    std::int64_t nominalIntervalMs_;
    std::optional<std::int64_t> lastTickMs_;
    std::int32_t announced_ = 0;
    std::int32_t received_ = 0;
    std::int32_t previous_ = 0;
};

} // namespace upd
