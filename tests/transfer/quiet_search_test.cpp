// The update search without a window, against a local server that answers as told.

#include "transfer/quiet_search.h"
#include "transfer/test_peers.h"

namespace upd {
namespace {

const std::string ProgramUpdates =
    "<updates><update><version>3.2.0</version><name>Programm-Update 3.2.0</name></update>"
    "</updates>";
const std::string NoProgramUpdates = "<updates/>";
const std::string DataUpdate = "<dataupdate><updatefound>1</updatefound></dataupdate>";

std::string errorAnswer(const std::string& number) {
    return "<error><number>" + number + "</number><description>Text</description></error>";
}

class QuietSearchTest : public ::testing::Test {
protected:
    // Searches for `version` on a new server that gives these answers (a trickle, if asked).
    FoundUpdates search(const std::string& programAnswer, const std::string& dataAnswer,
                        const char* version = "3.1.0", bool trickle = false) {
        server = std::make_unique<test::LocalHttpServer>();
        if (trickle)
            test::serveTrickle(server->http(), "/update.aspx", programAnswer, 0, 1, 50);
        else
            test::serve(server->http(), "/update.aspx", programAnswer, "text/xml");
        test::serve(server->http(), "/dataupdate.aspx", dataAnswer, "text/xml");
        server->start();
        Session session;
        session.ServerBaseUrl = QString::fromStdString(server->url());
        session.host.ProgID = QStringLiteral("QGR");
        return findUpdatesQuietly(session, Inet1, QString::fromLatin1(version));
    }
    // The queries of the page the last server received.
    int queries(const std::string& page) const {
        int count = 0;
        for (const std::string& target : server->requests())
            count += target.rfind("/" + page + "?", 0) == 0;
        return count;
    }

    std::unique_ptr<test::LocalHttpServer> server;
    QtEventLoop loop;
    TransferControl Inet1{loop};
};

// Plain data updates and nothing found: BackgroundMode.ShowsTheNoticeOfWhatTheServerOffers.
// After these program answers the data query, which would find updates, is never asked.
TEST_F(QuietSearchTest, ProgramUpdatesComeFirstAndServerNumbersCountAsUpdates) {
    const struct {
        const char* what;
        std::string program;
        FoundUpdates found;
    } rows[] = {
        {"program and data updates", ProgramUpdates, FoundUpdates::ProgramUpdates},
        {"program updates elsewhere", errorAnswer("500400011"), FoundUpdates::ProgramUpdates},
        {"data updates elsewhere", errorAnswer("500400012"), FoundUpdates::DataUpdates},
        {"unknown product", errorAnswer("500400002"), FoundUpdates::Nothing},
        {"a listing without names", "<updates><update><version>3.2.0</version></update></updates>",
         FoundUpdates::Nothing},
        {"no XML", "<html>Wartung</html", FoundUpdates::Nothing},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(search(row.program, DataUpdate), row.found);
        EXPECT_EQ(queries("update.aspx"), 1);
        EXPECT_EQ(queries("dataupdate.aspx"), 0);
    }
    // Without program updates the data query is asked; an answer it does not understand finds
    // nothing.
    EXPECT_EQ(search(NoProgramUpdates, "<dataupdate><x>1</x></dataupdate>"), FoundUpdates::Nothing);
    EXPECT_EQ(queries("dataupdate.aspx"), 1);
}

TEST_F(QuietSearchTest, AVersionOfOtherThanThreeNumbersAsksNothing) {
    for (const char* version : {"3.1.0.0", "3.a.0"}) {
        SCOPED_TRACE(version);
        EXPECT_EQ(search(ProgramUpdates, DataUpdate, version), FoundUpdates::Nothing);
        EXPECT_TRUE(server->requests().empty());
    }
}

TEST_F(QuietSearchTest, AnAnswerTrickledPastTheDeadlineFindsNothing) {
    Inet1.setTotalTimeout(1);
    // Complete, this answer would offer program updates.
    EXPECT_EQ(search(ProgramUpdates, DataUpdate, "3.1.0", true), FoundUpdates::Nothing);
}

} // namespace
} // namespace upd
