#include "raw_http_client.h"
#include "temp_catalog.h"
#include "updateserver/byte_range.h"
#include "updateserver/update_server.h"

#include <gtest/gtest.h>

namespace upd::server {
namespace {

using namespace std::chrono_literals;

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

TEST(ByteRange, RangesOverHttpNeverAmplifyTheFile) {
    test::TempCatalog catalog;
    std::string content(1u << 20, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>('a' + i % 26);
    catalog.write("files/gross.bin", content);
    catalog.catalog("");
    UpdateServer server(catalog.load(), DeploymentSettings::fromEnvironment(), nullptr);
    const int port = server.start("127.0.0.1", 0);
    const auto get = [&](const std::string& range) {
        test::RawConnection connection(port);
        EXPECT_TRUE(connection.send("GET /gross.bin HTTP/1.1\r\nHost: t\r\n" + range + "\r\n"));
        return connection.readAnswer(10s);
    };

    auto answer = get("Range: bytes=100-199\r\n");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 206);
    EXPECT_EQ(answer->body, content.substr(100, 100));
    EXPECT_EQ(answer->headers["content-range"], "bytes 100-199/1048576");

    answer = get("Range: bytes=-26\r\n");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->body, content.substr(content.size() - 26));

    answer = get("Range: bytes=2000000-\r\n");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 416);
    EXPECT_EQ(answer->headers["content-range"], "bytes */1048576");

    // Eight hundred ranges, overlapping, in an 8 KB request: the file once, nothing more.
    std::string many = "Range: bytes=0-";
    for (int i = 1; i < 800; ++i)
        many += ",0-";
    answer = get(many + "\r\n");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(answer->headers["content-length"], std::to_string(content.size()));
    EXPECT_EQ(answer->body, content);
    EXPECT_EQ(answer->headers.count("content-range"), 0u);

    // A validator the server cannot check gets the whole file as well.
    answer = get("Range: bytes=0-9\r\nIf-Range: \"abc\"\r\n");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(answer->bodyBytes, content.size());
}

} // namespace
} // namespace upd::server
