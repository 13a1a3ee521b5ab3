// The updater-version check against answers of a real local server.

#include "support/local_http_server.h"
#include "transfer/updater_version_check.h"

#include <gtest/gtest.h>
#include <optional>

namespace upd {
namespace {

std::string updaterAnswer(const std::string& version, const std::string& tail = "<size>12</size>") {
    return "<updater><version>" + version +
           "</version><path>downloads/updater</path><file>quorlan-update</file>" + tail +
           "</updater>";
}

// The own version 2.1.14 compares as "2.01.0014" (the same version offered:
// BackgroundMode.ShowsTheNoticeOfWhatTheServerOffers). Whatever the check gives, `path`,
// `version` and `file` hold the answer's values as far as it was read.
TEST(CheckUpdaterVersion, OnlyACompleteAnswerWithANewerVersionIsAnUpdate) {
    const struct {
        const char* what;
        std::optional<std::string> answer; // nothing: the page is unreachable
        bool newer;
        QString read; // version|path|file
    } rows[] = {
        // More than 512 bytes before the elements; the second "version" does not count; the
        // bytes are Windows-1252 whatever the server says.
        {"an answer of many blocks",
         "<?xml version=\"1.0\"?><info><!--" + std::string(2000, 'x') +
             "--><a><version>2.01.0015</version></a><path>downloads/\xE4nderung</path>"
             "<file>quorlan-update</file><size> 99 </size><version>1.00.0000</version></info>",
         true, QStringLiteral("2.01.0015|downloads/änderung|quorlan-update")},
        {"no size", updaterAnswer("2.01.0015", ""), false,
         "2.01.0015|downloads/updater|quorlan-update"},
        {"size beyond 32 bits", updaterAnswer("2.01.0015", "<size>3000000000</size>"), false,
         "2.01.0015|downloads/updater|quorlan-update"},
        {"no file",
         "<updater><version>2.01.0015</version><path>downloads/updater</path><size>1</size>"
         "</updater>",
         false, "2.01.0015|downloads/updater|"},
        {"no version", "<updater><path>p</path><file>f</file><size>1</size></updater>", false,
         "||"},
        {"not XML", "<html><body>Wartungsarbeiten", false, "||"},
        {"larger than any such answer", updaterAnswer("2.01.0015", std::string(70000, ' ')), false,
         "||"},
        {"page unreachable", std::nullopt, false, "||"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        test::LocalHttpServer server;
        std::string agent;
        server.http().Get("/updateproginfo.aspx",
                          [&](const httplib::Request& request, httplib::Response& response) {
                              agent = request.get_header_value("User-Agent");
                              response.set_content(*row.answer, "text/xml; charset=utf-8");
                          });
        server.start();
        Session session;
        session.version = {2, 1, 14};
        session.deployment.signingKeys.clear(); // answers read as before signed updates
        session.deployment.updaterInfoUrl =
            row.answer ? QString::fromStdString(server.url("/updateproginfo.aspx"))
                       : QStringLiteral("http://127.0.0.1:%1/").arg(test::closedLocalPort());
        QtEventLoop loop;
        QString path, version, file;
        UpdaterSeal seal;
        EXPECT_EQ(CheckUpdaterVersion(session, loop, path, version, file, seal), row.newer);
        EXPECT_EQ(version + u'|' + path + u'|' + file, row.read);
        server.stop();
        EXPECT_EQ(agent, row.answer ? "quorlan-Internet-Update" : "");
    }
}

} // namespace
} // namespace upd
