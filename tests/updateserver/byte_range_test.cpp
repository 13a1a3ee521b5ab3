#include "updateserver/byte_range.h"

#include <gtest/gtest.h>

namespace upd::server {
namespace {

TEST(ByteRange, OneRangeIsServedAnythingElseGetsTheWholeFileOr416) {
    constexpr std::uint64_t Size = 1000;
    const struct {
        const char* header;
        RangeChoice::Kind kind;
        std::uint64_t first, length;
    } cases[] = {
        {"", RangeChoice::WholeFile, 0, 0},
        {"bytes=0-99", RangeChoice::Part, 0, 100},
        {"Bytes=10-19 ", RangeChoice::Part, 10, 10},
        {"bytes = 10-19", RangeChoice::WholeFile, 0, 0},
        {"bytes=990-5000", RangeChoice::Part, 990, 10}, // cut at the end
        {"bytes=100-", RangeChoice::Part, 100, 900},
        {"bytes=-100", RangeChoice::Part, 900, 100},
        {"bytes=-5000", RangeChoice::Part, 0, 1000},
        {"bytes=999-999", RangeChoice::Part, 999, 1},
        {"bytes=1000-", RangeChoice::Unsatisfiable, 0, 0},
        {"bytes=-0", RangeChoice::Unsatisfiable, 0, 0},
        {"bytes=0-1,5-6", RangeChoice::WholeFile, 0, 0},
        {"bytes=0-,0-", RangeChoice::WholeFile, 0, 0},
        {"bytes=5-2", RangeChoice::WholeFile, 0, 0},
        {"bytes=a-b", RangeChoice::WholeFile, 0, 0},
        {"bytes=-", RangeChoice::WholeFile, 0, 0},
        {"bytes=0x10-20", RangeChoice::WholeFile, 0, 0},
        {"bytes=99999999999999999999-", RangeChoice::WholeFile, 0, 0},
        {"items=0-1", RangeChoice::WholeFile, 0, 0},
    };
    for (const auto& c : cases) {
        const RangeChoice choice = chooseRange(c.header, Size);
        EXPECT_EQ(choice.kind, c.kind) << c.header;
        if (c.kind == RangeChoice::Part) {
            EXPECT_EQ(choice.first, c.first) << c.header;
            EXPECT_EQ(choice.length, c.length) << c.header;
        }
    }
    EXPECT_EQ(chooseRange("bytes=-10", 0).kind, RangeChoice::Unsatisfiable);
}

} // namespace
} // namespace upd::server
