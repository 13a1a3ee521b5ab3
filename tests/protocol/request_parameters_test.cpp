#include "protocol/request_parameters.h"

#include <gtest/gtest.h>

namespace upd {
namespace {

Session sampleSession() {
    Session session;
    session.version = {2, 1, 14};
    session.host.REG = QStringLiteral("R+1");
    session.host.DBVers = QStringLiteral("2024.2");
    return session;
}

TEST(EncodeQueryText, ReplacesExactlyTheListedCharactersPerMode) {
    const QString text = QStringLiteral("üÜäÄöÖß+'& =?%/é");
    EXPECT_EQ(EncodeQueryText(text, 1), QStringLiteral("ueUeaeAeoeOeß+'& =?%/é"));
    EXPECT_EQ(EncodeQueryText(text, 2), QStringLiteral("üÜäÄöÖ#[1][2]& =?%/é"));
    EXPECT_EQ(EncodeQueryText(text, 3), QStringLiteral("üÜäÄöÖß+'[0] =?%/é"));
    EXPECT_EQ(EncodeQueryText(text, 4), QStringLiteral("ueUeaeAeoeOe#[1][2]& =?%/é"));
    EXPECT_EQ(EncodeQueryText(EncodeQueryText(text, 4), 4), EncodeQueryText(text, 4));
    EXPECT_EQ(EncodeQueryText(text, 0), QString());
    EXPECT_EQ(EncodeQueryText(text, 5), QString());
}

// Both queries without key, parameter and search date reach the server as the search's window test
// expects them; here the optional parts and the download mode.
TEST(RequestParameters, KeyParameterSearchDateAndModeTakeTheirPlaces) {
    Session session = sampleSession();
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

} // namespace
} // namespace upd
