// What the server reads from a request: the query's parameters and the byte range.

#include "protocol/wire_address.h"
#include "updateserver/byte_range.h"
#include "updateserver/query_parameters.h"

#include <gtest/gtest.h>
#include <optional>

namespace upd::server {
namespace {

TEST(QueryParameters, ReadsBackWhatTheClientPutsOnTheWire) {
    // The client's address text (after its own character replacement) through its wire form.
    const QByteArray wire = wire_address::encode(
        QString::fromUtf8("http://h/update.aspx?VERS=3v1v0&SFA=Mueller [0] Soehne&SST=Stra#e 1[1]2"
                          "&SNN=Jos\u00e9 \u20ac 100%&SOR=a/b:c?d #"));
    const std::string sent = wire.mid(wire.indexOf('?') + 1).toStdString();
    const struct {
        std::string query;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {sent, "SFA", "Mueller [0] Soehne"},
        {sent, "SST", "Stra#e 1[1]2"},
        {sent, "SNN", "Jos\u00e9 \u20ac 100%"},
        {sent, "SOR", "a/b:c?d "}, // only the appended "#" is gone
        {"SNN=M%FCller", "SNN", "M\u00fcller"},
        {"SOR=a+b", "SOR", "a+b"},             // "+" is never a blank
        {"REG=100%&KEY=", "REG", "100%"},      // a "%" that starts no escape stays
        {"SD0=%E2%80", "SD0", "\u00e2\u20ac"}, // bytes E2 80 read as Windows-1252
        {"KEY=&X=1", "KEY", ""},
        // SPL is sent unencoded: "A&PID=QBR" splits, and the first PID stays.
        {"PID=QGR&SPL=A&PID=QBR&B&=x", "PID", "QGR"},
        {"PID=QGR&SPL=A&PID=QBR&B&=x", "SPL", "A"},
        {"PID=QGR&SPL=A&PID=QBR&B&=x", "B", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query + " " + c.key);
        const auto query = QueryParameters::parse(c.query);
        EXPECT_EQ(query.has(c.key), c.value.has_value());
        if (c.value) {
            EXPECT_EQ(query.text(c.key), *c.value);
        }
    }
}

TEST(QueryParameters, DottedVersionAcceptsOnlyThreeDigitParts) {
    EXPECT_EQ(dottedVersion("3v1v0"), "3.1.0");
    EXPECT_EQ(dottedVersion("10v02v0003"), "10.02.0003");
    for (const char* bad : {"", "3v1", "3v1v0v0", "3vv0", "3v1v", "3.1.0", "3v1vx", " 3v1v0"})
        EXPECT_FALSE(dottedVersion(bad)) << bad;
}

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
        {"bytes=5-2", RangeChoice::WholeFile, 0, 0},
        {"bytes=a-b", RangeChoice::WholeFile, 0, 0},
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
