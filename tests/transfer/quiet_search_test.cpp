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
TEST_F(QuietSearchTest, ProgramUpdatesComeFirstAndServerNumbersCountAsUpdates) {
    const struct {
        const char* what;
        std::string program;
        std::string data;
        FoundUpdates found;
        int dataQueries;
    } rows[] = {
        {"program and data updates", ProgramUpdates, DataUpdate, FoundUpdates::ProgramUpdates, 0},
        {"program updates elsewhere", errorAnswer("500400011"), DataUpdate,
         FoundUpdates::ProgramUpdates, 0},
        {"data updates elsewhere", errorAnswer("500400012"), DataUpdate, FoundUpdates::DataUpdates,
         0},
        {"unknown product", errorAnswer("500400002"), DataUpdate, FoundUpdates::Nothing, 0},
        {"a listing without names", "<updates><update><version>3.2.0</version></update></updates>",
         DataUpdate, FoundUpdates::Nothing, 0},
        {"no XML", "<html>Wartung</html", DataUpdate, FoundUpdates::Nothing, 0},
        {"a data answer not understood", NoProgramUpdates, "<dataupdate><x>1</x></dataupdate>",
         FoundUpdates::Nothing, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(search(row.program, row.data), row.found);
        EXPECT_EQ(queries("update.aspx"), 1);
        EXPECT_EQ(queries("dataupdate.aspx"), row.dataQueries);
    }
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
