#include "protocol/wire_address.h"
#include "updateserver/query_parameters.h"

#include <gtest/gtest.h>

namespace upd::server {
namespace {

TEST(QueryParameters, DecodesValuesAsTheClientEncodesThem) {
    // "ß" travels as "#" (%23), "ü" as its Windows-1252 byte, a blank as %20; "+" is a plus.
    const auto query = QueryParameters::parse(
        "VERS=3v1v0&SST=Stra%23e%201%5B1%5D2&SNN=M%FCller&SOR=a+b&REG=100%&KEY=&SD0=%E2%80");
    EXPECT_EQ(query.text("VERS"), "3v1v0");
    EXPECT_EQ(query.text("SST"), "Stra#e 1[1]2");
    EXPECT_EQ(query.text("SNN"), "M\u00fcller");
    EXPECT_EQ(query.text("SOR"), "a+b");
    EXPECT_EQ(query.text("REG"), "100%"); // a "%" that starts no escape stays
    EXPECT_TRUE(query.has("KEY"));
    EXPECT_EQ(query.text("KEY"), "");
    EXPECT_EQ(query.text("SD0"), "\u00e2\u20ac"); // bytes E2 80 read as Windows-1252
    EXPECT_FALSE(query.has("MISSING"));
}

TEST(QueryParameters, ReadsBackWhatTheClientPutsOnTheWire) {
    // The client's address text (after its own character replacement) through its wire form.
    const QString address =
        QString::fromUtf8("http://h/update.aspx?VERS=3v1v0&SFA=Mueller [0] Soehne&SST=Stra#e 1[1]2"
                          "&SNN=Jos\u00e9 \u20ac 100%&SOR=a/b:c?d #");
    const QByteArray wire = wire_address::encode(address);
    const auto query = QueryParameters::parse(wire.mid(wire.indexOf('?') + 1).toStdString());
    EXPECT_EQ(query.text("VERS"), "3v1v0");
    EXPECT_EQ(query.text("SFA"), "Mueller [0] Soehne");
    EXPECT_EQ(query.text("SST"), "Stra#e 1[1]2");
    EXPECT_EQ(query.text("SNN"), "Jos\u00e9 \u20ac 100%");
    EXPECT_EQ(query.text("SOR"), "a/b:c?d "); // only the appended "#" is gone
}

TEST(QueryParameters, AnAmpersandInsideALateValueCannotReplaceAnEarlierKey) {
    // SPL is sent unencoded: "A&PID=QBR" splits, and the first PID stays.
    const auto query = QueryParameters::parse("PID=QGR&SPL=A&PID=QBR&B&=x");
    EXPECT_EQ(query.text("PID"), "QGR");
    EXPECT_EQ(query.text("SPL"), "A");
    EXPECT_FALSE(query.has("B"));
}

TEST(QueryParameters, DottedVersionAcceptsOnlyThreeDigitParts) {
    EXPECT_EQ(dottedVersion("3v1v0"), "3.1.0");
    EXPECT_EQ(dottedVersion("10v02v0003"), "10.02.0003");
    for (const char* bad : {"", "3v1", "3v1v0v0", "3vv0", "3v1v", "3.1.0", "3v1vx", " 3v1v0"})
        EXPECT_FALSE(dottedVersion(bad)) << bad;
}

} // namespace
} // namespace upd::server
