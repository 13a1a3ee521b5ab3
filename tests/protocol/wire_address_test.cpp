#include "protocol/wire_address.h"

#include <gtest/gtest.h>

namespace upd {
namespace {

TEST(WireAddress, DropsTheAppendedFragmentAndEncodesWhatAUrlCannotCarry) {
    // The query's own "#" (an encoded "ß") is data; only the appended one at the end is dropped.
    EXPECT_EQ(wire_address::encode(QStringLiteral(
                  "http://h/update.aspx?VERS=3v1v0&SST=Stra#e 1[1]2&SFA=Mueller [0] Soehne #")),
              QByteArray("http://h/update.aspx?VERS=3v1v0&SST=Stra%23e%201%5B1%5D2"
                         "&SFA=Mueller%20%5B0%5D%20Soehne%20"));
    EXPECT_EQ(wire_address::encode(QStringLiteral("http://h/dataupdate.aspx?KEY=&SD0=#")),
              QByteArray("http://h/dataupdate.aspx?KEY=&SD0="));
    // Non-ASCII letters travel as their Windows-1252 byte; "%" itself is escaped.
    EXPECT_EQ(wire_address::encode(QStringLiteral("http://h/p?SNN=Jos\u00e9&SOR=100%")),
              QByteArray("http://h/p?SNN=Jos%E9&SOR=100%25"));
    EXPECT_EQ(wire_address::encode(QStringLiteral("ftp://h:21/dir/file.zip")),
              QByteArray("ftp://h:21/dir/file.zip"));
}

TEST(WireAddress, ParametersOfABodyKeepTheirLastHash) {
    // A body has no fragment: the "#" of a final "Maß" and the blank before it are data.
    EXPECT_EQ(wire_address::encodeParameters(QStringLiteral("SD10=a b&SD11=Ma #")),
              QByteArray("SD10=a%20b&SD11=Ma%20%23"));
    // In an address only that "#" goes; the blanks that end the last value stay.
    EXPECT_EQ(wire_address::encode(QStringLiteral("SD11=Ma #")), QByteArray("SD11=Ma%20"));
    EXPECT_EQ(wire_address::encode(QStringLiteral("SD11=a  ##")), QByteArray("SD11=a%20%20%23"));
}

} // namespace
} // namespace upd
