// The update search without a window, against a local server that answers as told.

#include "support/local_http_server.h"
#include "transfer/quiet_search.h"
#include "transfer/test_peers.h"

#include <gtest/gtest.h>
#include <memory>

namespace upd {
namespace {

const std::string ProgramUpdates =
    "<updates><update><version>3.2.0</version><name>Programm-Update 3.2.0</name></update>"
    "</updates>";
const std::string NoProgramUpdates = "<updates/>";
const std::string DataUpdate = "<dataupdate><updatefound>1</updatefound></dataupdate>";
const std::string NoDataUpdate = "<dataupdate><updatefound/></dataupdate>";

std::string errorAnswer(const std::string& number) {
    return "<error><number>" + number + "</number><description>Text</description></error>";
}

class QuietSearchTest : public ::testing::Test {
protected:
    // Serves the two answers from a new server and searches there for `version`.
    FoundUpdates search(const std::string& programAnswer, const std::string& dataAnswer,
                        const QString& version = QStringLiteral("3.1.0")) {
        server = std::make_unique<test::LocalHttpServer>();
        server->http().Get("/update.aspx", [=](const httplib::Request&, httplib::Response& r) {
            r.set_content(programAnswer, "text/xml");
        });
        server->http().Get("/dataupdate.aspx", [=](const httplib::Request&, httplib::Response& r) {
            r.set_content(dataAnswer, "text/xml");
        });
        server->start();
        return searchOnServer(version);
    }

    FoundUpdates searchOnServer(const QString& version = QStringLiteral("3.1.0")) {
        Session session;
        session.ServerBaseUrl = QString::fromStdString(server->url());
        session.host.ProgID = QStringLiteral("QGR");
        return findUpdatesQuietly(session, Inet1, version);
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

TEST_F(QuietSearchTest, ProgramUpdatesComeFirstAndServerNumbersCountAsUpdates) {
    const struct {
        const char* what;
        std::string program;
        std::string data;
        FoundUpdates found;
        int dataQueries;
    } rows[] = {
        {"program and data updates", ProgramUpdates, DataUpdate, FoundUpdates::ProgramUpdates, 0},
        {"data updates", NoProgramUpdates, DataUpdate, FoundUpdates::DataUpdates, 1},
        {"nothing", NoProgramUpdates, NoDataUpdate, FoundUpdates::Nothing, 1},
        {"program updates elsewhere", errorAnswer("500400011"), DataUpdate,
         FoundUpdates::ProgramUpdates, 0},
        {"data updates elsewhere", errorAnswer("500400012"), DataUpdate, FoundUpdates::DataUpdates,
         0},
        {"unknown product", errorAnswer("500400002"), DataUpdate, FoundUpdates::Nothing, 0},
        {"data elsewhere in the data query", NoProgramUpdates, errorAnswer("500400012"),
         FoundUpdates::DataUpdates, 1},
        {"a listing without names", "<updates><update><version>3.2.0</version></update></updates>",
         DataUpdate, FoundUpdates::Nothing, 0},
        {"no XML", "<html>Wartung</html", DataUpdate, FoundUpdates::Nothing, 0},
        {"a data answer not understood", NoProgramUpdates, "<dataupdate><x>1</x></dataupdate>",
         FoundUpdates::Nothing, 1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(search(row.program, row.data), row.found) << row.what;
        EXPECT_EQ(queries("update.aspx"), 1) << row.what;
        EXPECT_EQ(queries("dataupdate.aspx"), row.dataQueries) << row.what;
    }
}

TEST_F(QuietSearchTest, AVersionOfOtherThanThreeNumbersAsksNothing) {
    for (const char* version : {"3.1", "3.1.0.0", "3.a.0", ""}) {
        EXPECT_EQ(search(ProgramUpdates, DataUpdate, QString::fromLatin1(version)),
                  FoundUpdates::Nothing)
            << version;
        EXPECT_TRUE(server->requests().empty()) << version;
    }
}

TEST_F(QuietSearchTest, AnAnswerTrickledPastTheDeadlineFindsNothing) {
    // Complete, this answer would offer program updates.
    server = std::make_unique<test::LocalHttpServer>();
    test::serveTrickle(server->http(), "/update.aspx", ProgramUpdates, 0, 1, 50);
    server->start();
    Inet1.setTotalTimeout(1);
    EXPECT_EQ(searchOnServer(), FoundUpdates::Nothing);
}

} // namespace
} // namespace upd
