// The updater-version check against answers of a real local server.

#include "support/local_http_server.h"
#include "transfer/updater_version_check.h"

#include <gtest/gtest.h>
#include <optional>

namespace upd {
namespace {

std::string updaterAnswer(const std::string& version,
                          const std::string& tail = "<size>1234</size>") {
    return "<updater><version>" + version +
           "</version><path>downloads/updater</path><file>quorlan-update</file>" + tail +
           "</updater>";
}

// What one check gave.
struct Check {
    bool newer = false;
    QString path;
    QString version;
    QString file;
    std::string agent;
};

// Serves `answer` as the updater-information page and runs the check of a program of version
// `own`; without an answer the page's address leads nowhere.
Check check(const std::optional<std::string>& answer, ProgramVersion own = {2, 1, 14}) {
    test::LocalHttpServer server;
    std::string agent;
    server.http().Get("/updateproginfo.aspx",
                      [&](const httplib::Request& request, httplib::Response& response) {
                          agent = request.get_header_value("User-Agent");
                          response.set_content(*answer, "text/xml; charset=utf-8");
                      });
    server.start();
    Session session;
    session.version = own;
    // Answers without signatures, read as before signed updates.
    session.deployment.signingKeys.clear();
    session.deployment.updaterInfoUrl =
        answer ? QString::fromStdString(server.url("/updateproginfo.aspx"))
               : QStringLiteral("http://127.0.0.1:%1/updateproginfo.aspx")
                     .arg(test::closedLocalPort());
    QtEventLoop loop;
    Check result;
    UpdaterSeal seal;
    result.newer =
        CheckUpdaterVersion(session, loop, result.path, result.version, result.file, seal);
    server.stop();
    result.agent = agent;
    return result;
}

TEST(CheckUpdaterVersion, ReadsTheFirstElementsOfAnAnswerOfManyBlocks) {
    // More than 512 bytes before the elements; the second "version" does not count; the bytes
    // are Windows-1252 whatever the server says.
    const std::string answer = "<?xml version=\"1.0\"?><info><!--" + std::string(2000, 'x') +
                               "--><a><version>2.01.0015</version></a><path>downloads/\xE4nderung"
                               "</path><file>quorlan-update</file><size> 99 </size>"
                               "<version>1.00.0000</version></info>";
    const Check result = check(answer);
    EXPECT_TRUE(result.newer);
    EXPECT_EQ(result.version, QStringLiteral("2.01.0015"));
    EXPECT_EQ(result.path, QStringLiteral("downloads/änderung"));
    EXPECT_EQ(result.file, QStringLiteral("quorlan-update"));
    EXPECT_EQ(result.agent, "quorlan-Internet-Update");
}

TEST(CheckUpdaterVersion, AnOlderVersionOrAFailureIsFalseWithTheValuesReadSoFar) {
    const QString version = QStringLiteral("2.01.0015");
    const QString path = QStringLiteral("downloads/updater");
    const QString file = QStringLiteral("quorlan-update");
    const struct {
        const char* what;
        std::optional<std::string> answer;
        QString version, path, file;
    } rows[] = {
        // The own version 2.1.14 is compared as "2.01.0014".
        {"the same version", updaterAnswer("2.01.0014"), QStringLiteral("2.01.0014"), path, file},
        {"no size", updaterAnswer("2.01.0015", ""), version, path, file},
        {"size not a number", updaterAnswer("2.01.0015", "<size>viel</size>"), version, path, file},
        {"size beyond 32 bits", updaterAnswer("2.01.0015", "<size>3000000000</size>"), version,
         path, file},
        {"no file",
         "<updater><version>2.01.0015</version><path>downloads/updater</path><size>1</size>"
         "</updater>",
         version,
         path,
         {}},
        {"no version", "<updater><path>p</path><file>f</file><size>1</size></updater>", {}, {}, {}},
        {"not XML", "<html><body>Wartungsarbeiten", {}, {}, {}},
        {"larger than any such answer",
         updaterAnswer("2.01.0015", std::string(70000, ' ')),
         {},
         {},
         {}},
        {"page unreachable", std::nullopt, {}, {}, {}},
    };
    for (const auto& row : rows) {
        const Check result = check(row.answer);
        EXPECT_FALSE(result.newer) << row.what;
        EXPECT_EQ(result.version, row.version) << row.what;
        EXPECT_EQ(result.path, row.path) << row.what;
        EXPECT_EQ(result.file, row.file) << row.what;
    }
}

} // namespace
} // namespace upd
