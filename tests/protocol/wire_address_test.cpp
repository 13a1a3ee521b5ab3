#include "protocol/wire_address.h"

#include <gtest/gtest.h>

namespace upd {
namespace {

// The query strings of a search reach the server as the search's window test expects them; here
// what those cannot hold: letters beyond ASCII, "%", another scheme.
TEST(WireAddress, EncodesWhatAUrlCannotCarry) {
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
