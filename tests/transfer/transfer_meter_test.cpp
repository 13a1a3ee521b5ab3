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
// the time that really passed (the first tick: the timer's period), the remaining time from the
// bytes still announced. Ticks without a size or without new bytes: ProgressTest in
// tests/ui/progress_test.cpp.
TEST(TransferMeter, SpeedAndRemainingTimeFollowTheClock) {
    constexpr std::int32_t MiB = 1024 * 1024, Announced = 10 * MiB;
    const struct {
        std::int64_t nowMs;
        std::int32_t announced, received;
        std::optional<double> kilobytesPerSecond; // nothing: no reading
        std::optional<std::int32_t> remainingSeconds;
    } ticks[] = {
        {125'000, Announced, MiB, 1024.0, 9},     // 1 MiB in a second: 9 MiB left
        {125'500, Announced, 2 * MiB, 2048.0, 4}, // an early tick: its own interval
        {126'500, Announced, Announced + 1, 8192.0, std::nullopt}, // more than announced: unknown
        // A crawl against a huge size: a time too long for 32 bits is unknown, not an error.
        {1'126'500, 2'000'000'000, Announced + 2, 0.0, std::nullopt},
    };
    TransferMeter meter(1000);
    for (const auto& tick : ticks) {
        SCOPED_TRACE(tick.nowMs);
        meter.setAnnouncedSize(tick.announced);
        meter.setReceived(tick.received);
        const auto reading = meter.tick(tick.nowMs);
        ASSERT_EQ(reading.has_value(), tick.kilobytesPerSecond.has_value());
        if (reading) {
            EXPECT_NEAR(reading->kilobytesPerSecond, *tick.kilobytesPerSecond, 0.01);
            EXPECT_EQ(reading->remainingSeconds, tick.remainingSeconds);
        }
    }
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

    // The first refused run stops the stream, and with it the network transfer.
    int calls = 0;
    PieceStream refusing([&](QByteArrayView, QByteArrayView) { return ++calls < 2; });
    EXPECT_TRUE(refusing.push(all.data(), 1000));
    EXPECT_FALSE(refusing.push(all.data(), 1000));
    EXPECT_EQ(calls, 2);
}

} // namespace
} // namespace upd
