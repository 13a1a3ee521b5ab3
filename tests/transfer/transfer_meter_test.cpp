// The speed meter on a fake clock, and how what arrives is cut into runs of whole 512-byte
// pieces whatever the network's block sizes (real downloads: single_file_transfer_test.cpp).

#include "transfer/piece_stream.h"
#include "transfer/transfer_meter.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

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

TEST(PieceStream, HandsOnTheWholePiecesOfEachBlockAsOneRunUntilARunIsRefused) {
    std::vector<std::string> runs;
    PieceStream stream([&](QByteArrayView held, QByteArrayView fresh) {
        runs.push_back(held.toByteArray().toStdString() + fresh.toByteArray().toStdString());
        return true;
    });
    std::string all;
    for (int i = 0; i < 3000; ++i)
        all += static_cast<char>('a' + i % 26);
    // Blocks that do not line up with the pieces: 100, 1000, 700, 1200 bytes.
    size_t offset = 0;
    for (size_t block : {100u, 1000u, 700u, 1200u}) {
        ASSERT_TRUE(stream.push(all.data() + offset, static_cast<qsizetype>(block)));
        offset += block;
    }
    ASSERT_TRUE(stream.finish());

    // The first block completes no piece; then two, one and two pieces, the rest, the empty end.
    std::vector<size_t> sizes;
    std::string joined;
    for (const std::string& run : runs) {
        sizes.push_back(run.size());
        joined += run;
    }
    EXPECT_EQ(sizes, (std::vector<size_t>{1024, 512, 1024, 440, 0}));
    EXPECT_EQ(joined, all);

    // The first refused run stops the stream.
    int calls = 0;
    PieceStream refusing([&](QByteArrayView, QByteArrayView) { return ++calls < 2; });
    EXPECT_TRUE(refusing.push(all.data(), 1000));
    EXPECT_FALSE(refusing.push(all.data(), 1000));
    EXPECT_EQ(calls, 2);
}

} // namespace
} // namespace upd
