#include "protocol/request_parameters.h"

#include <gtest/gtest.h>

namespace upd {
namespace {

Session sampleSession() {
    Session session;
    session.version = {2, 1, 14};
    HostParameters& h = session.host;
    h.ProgID = QStringLiteral("QGR");
    h.MachineID = QStringLiteral("PC-7");
    h.SFA = QStringLiteral("Müller & Söhne");
    h.SNN = QStringLiteral("O'Neill");
    h.SVN = QStringLiteral("Jörg");
    h.SST = QStringLiteral("Straße 1+2");
    h.SPL = QStringLiteral("A&B");
    h.SOR = QStringLiteral("Öhringen");
    h.REG = QStringLiteral("R+1");
    h.DBVers = QStringLiteral("2024.2");
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

TEST(RequestParameters, ProgramQueryInItsOrderWithOptionalKeyAndParameter) {
    Session session = sampleSession();
    EXPECT_EQ(BuildProgramQuery(session, QStringLiteral("3.1.0")),
              QStringLiteral("VERS=3v1v0&PID=QGR&MID=PC-7&SFA=Mueller [0] Soehne&SNN=O[2]Neill"
                             "&SVN=Joerg&SST=Stra#e 1[1]2&SPL=A&B&SOR=Oehringen&REG=R[1]1"
                             "&IUVERS=2v1v14"));
    session.ControlKey = QStringLiteral("K1");
    session.ServerParameter = QStringLiteral("P'2");
    EXPECT_TRUE(BuildProgramQuery(session, QStringLiteral("3.1.0"))
                    .endsWith(QStringLiteral("&REG=R[1]1&KEY=K1&PARAMETER=P[2]2&IUVERS=2v1v14")));
}

TEST(RequestParameters, DataQueryAlwaysCarriesKeySearchDateAndTwelveHostValues) {
    Session session = sampleSession();
    session.host.SD[0] = QStringLiteral("x");
    session.host.SD[11] = QStringLiteral("ä");
    const QString expectedHead =
        QStringLiteral("VERS=4v1v0&PID=QGR&MachineID=PC-7&SFA=Mueller [0] Soehne&SNN=O[2]Neill"
                       "&SVN=Joerg&SST=Stra#e 1[1]2&SPL=A&B&SOR=Oehringen&REG=R[1]1&IUVERS=2v1v14"
                       "&DBVers=2024.2&MODUS=2&KEY=&SEARCHDATE=");
    const QString expectedTail =
        QStringLiteral("&SD0=x&SD1=&SD2=&SD3=&SD4=&SD5=&SD6=&SD7=&SD8=&SD9=&SD10=&SD11=ae");
    EXPECT_EQ(BuildDataQuery(session, QStringLiteral("4.1.0"), querymode::Download),
              expectedHead + expectedTail);

    session.ControlKey = QStringLiteral("K");
    session.SearchDate = QStringLiteral("01.02.2005");
    EXPECT_TRUE(BuildDataQuery(session, QStringLiteral("4.1.0"), querymode::Search)
                    .contains(QStringLiteral("&MODUS=0&KEY=K&SEARCHDATE=01.02.2005&SD0=x")));
}

} // namespace
} // namespace upd
