#include "transfer/transfer_meter.h"

#include "core/numeric.h"
#include "core/runtime_error.h"

namespace upd {

std::optional<TransferReading> TransferMeter::tick(std::int64_t nowMs) {
    std::int64_t elapsedMs = lastTickMs_ ? nowMs - *lastTickMs_ : nominalIntervalMs_;
    if (elapsedMs <= 0)
        elapsedMs = nominalIntervalMs_;
    lastTickMs_ = nowMs;
    const std::int64_t delta = static_cast<std::int64_t>(received_) - previous_;
    previous_ = received_;
    if (delta <= 0)
        return std::nullopt;

    TransferReading reading;
    reading.kilobytesPerSecond =
        static_cast<double>(delta) * 1000.0 / static_cast<double>(elapsedMs) / 1024.0;
    if (announced_ > 0 && announced_ >= received_) {
        try {
            reading.remainingSeconds =
                numeric::toInt32((static_cast<double>(announced_) - received_) /
                                 reading.kilobytesPerSecond / 1024.0);
        } catch (const RuntimeError&) {
            // Too long to show: the time stays unknown.
        }
    }
    return reading;
}

} // namespace upd
