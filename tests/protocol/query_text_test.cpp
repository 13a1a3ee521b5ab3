// The texts of the queries: their parameters and how they travel on the wire.

#include "protocol/request_parameters.h"
#include "protocol/wire_address.h"

#include <gtest/gtest.h>

namespace upd {
namespace {

TEST(EncodeQueryText, ReplacesExactlyTheListedCharactersPerMode) {
    const QString text = QStringLiteral("üÜäÄöÖß+'& =?%/é");
    EXPECT_EQ(EncodeQueryText(text, 1), QStringLiteral("ueUeaeAeoeOeß+'& =?%/é"));
    EXPECT_EQ(EncodeQueryText(text, 2), QStringLiteral("üÜäÄöÖ#[1][2]& =?%/é"));
    EXPECT_EQ(EncodeQueryText(text, 3), QStringLiteral("üÜäÄöÖß+'[0] =?%/é"));
    EXPECT_EQ(EncodeQueryText(text, 4), QStringLiteral("ueUeaeAeoeOe#[1][2]& =?%/é"));
    EXPECT_EQ(EncodeQueryText(EncodeQueryText(text, 4), 4), EncodeQueryText(text, 4));
    EXPECT_EQ(EncodeQueryText(text, 5), QString());
}

// Both queries without key, parameter and search date reach the server as the search's window test
// expects them; here the optional parts and the download mode.
TEST(RequestParameters, KeyParameterSearchDateAndModeTakeTheirPlaces) {
    Session session;
    session.version = {2, 1, 14};
    session.host.REG = QStringLiteral("R+1");
    session.host.DBVers = QStringLiteral("2024.2");
    session.ControlKey = QStringLiteral("K1");
    session.ServerParameter = QStringLiteral("P'2");
    EXPECT_TRUE(BuildProgramQuery(session, QStringLiteral("3.1.0"))
                    .endsWith(QStringLiteral("&REG=R[1]1&KEY=K1&PARAMETER=P[2]2&IUVERS=2v1v14")));
    session.SearchDate = QStringLiteral("01.02.2005");
    session.host.SD[11] = QStringLiteral("ä");
    EXPECT_TRUE(BuildDataQuery(session, QStringLiteral("4.1.0"), querymode::Download)
                    .endsWith(QStringLiteral("&DBVers=2024.2&MODUS=2&KEY=K1&SEARCHDATE=01.02.2005"
                                             "&SD0=&SD1=&SD2=&SD3=&SD4=&SD5=&SD6=&SD7=&SD8=&SD9="
                                             "&SD10=&SD11=ae")));
}

// The server reads back what a query address carries (its request reading test); here the
// structure characters that stay, and the final "#", which only an address drops.
TEST(WireAddress, StructureStaysAndOnlyAnAddressDropsItsLastHash) {
    EXPECT_EQ(wire_address::encode(QStringLiteral("ftp://h:21/d/f.zip?a=1&b=%")),
              QByteArray("ftp://h:21/d/f.zip?a=1&b=%25"));
    // A body has no fragment: the "#" of a final "Maß" and the blank before it are data.
    EXPECT_EQ(wire_address::encodeParameters(QStringLiteral("SD10=a b&SD11=Ma #")),
              QByteArray("SD10=a%20b&SD11=Ma%20%23"));
    // In an address only that "#" goes; the blanks that end the last value stay.
    EXPECT_EQ(wire_address::encode(QStringLiteral("SD11=Ma #")), QByteArray("SD11=Ma%20"));
    EXPECT_EQ(wire_address::encode(QStringLiteral("SD11=a  ##")), QByteArray("SD11=a%20%20%23"));
}

} // namespace
} // namespace upd
