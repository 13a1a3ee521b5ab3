// The speed meter on a fake clock. How transfers cut what arrives into pieces of 512 bytes is
// followed through real downloads in single_file_transfer_test.cpp.

#include "transfer/transfer_meter.h"

#include <gtest/gtest.h>
#include <optional>

namespace upd {
namespace {

// Ticks of the speed timer on a fake clock: the speed comes from the bytes between two ticks and
// the time that really passed, the remaining time from the bytes still announced.
TEST(TransferMeter, SpeedAndRemainingTimeFollowTheClock) {
    struct Tick {
        std::int64_t nowMs;
        std::int32_t received;
        std::optional<double> kilobytesPerSecond; // nothing: no reading
        std::optional<std::int32_t> remainingSeconds;
    };
    TransferMeter meter;
    meter.setAnnouncedSize(10 * 1024 * 1024);
    const Tick ticks[] = {
        {1000, 0, std::nullopt, std::nullopt}, // nothing arrived yet
        {2000, 1024 * 1024, 1024.0, 9},        // 1 MiB in a second: 9 MiB left
        {2500, 2 * 1024 * 1024, 2048.0, 4},    // a late tick measures its own interval
        {3500, 2 * 1024 * 1024, std::nullopt, std::nullopt}, // a stalled second shows nothing new
        {4500, 10 * 1024 * 1024 + 1, 8192.0, std::nullopt},  // more than announced: unknown
    };
    for (const Tick& tick : ticks) {
        meter.setReceived(tick.received);
        const auto reading = meter.tick(tick.nowMs);
        ASSERT_EQ(reading.has_value(), tick.kilobytesPerSecond.has_value()) << tick.nowMs;
        if (!reading)
            continue;
        EXPECT_NEAR(reading->kilobytesPerSecond, *tick.kilobytesPerSecond, 0.01) << tick.nowMs;
        EXPECT_EQ(reading->remainingSeconds, tick.remainingSeconds) << tick.nowMs;
    }
}

TEST(TransferMeter, UnknownSizeAndTheFirstTickMeasureOverTheTimersPeriod) {
    TransferMeter meter(1000);
    meter.setReceived(2048);
    const auto first = meter.tick(123'456);
    ASSERT_TRUE(first);
    EXPECT_DOUBLE_EQ(first->kilobytesPerSecond, 2.0);
    EXPECT_FALSE(first->remainingSeconds);

    // A crawl against a huge announced size: a time too long for 32 bits is unknown, not an error.
    meter.setAnnouncedSize(2'000'000'000);
    meter.setReceived(2049);
    const auto crawl = meter.tick(123'456 + 1000 * 1000);
    ASSERT_TRUE(crawl);
    EXPECT_FALSE(crawl->remainingSeconds);
}

} // namespace
} // namespace upd
