// The server program as makers and the demo start it: a real child process.

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <httplib.h>

namespace {

TEST(ServerProgram, StartsOnAFreePortAndNamesItOnTheFirstLine) {
    QProcess server;
    server.start(UPDATE_SERVER_PROGRAM,
                 {"--catalog", SAMPLE_CATALOG_DIR, "--listen", "127.0.0.1:0"});
    ASSERT_TRUE(server.waitForStarted(5000));
    ASSERT_TRUE(server.waitForReadyRead(10000)) << server.readAllStandardError().toStdString();
    const QString first = QString::fromUtf8(server.readLine()).trimmed();
    const auto match =
        QRegularExpression(R"(^listening on http://127\.0\.0\.1:(\d+)$)").match(first);
    ASSERT_TRUE(match.hasMatch()) << first.toStdString();
    const int port = match.captured(1).toInt();
    ASSERT_GT(port, 0);

    httplib::Client client("127.0.0.1", port);
    const auto result = client.Get("/updateproginfo.aspx");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);

    // Its access log line follows on standard output.
    ASSERT_TRUE(server.canReadLine() || server.waitForReadyRead(10000));
    EXPECT_TRUE(QString::fromUtf8(server.readLine()).contains(" GET /updateproginfo.aspx 200 "));
    server.kill();
    server.waitForFinished(5000);
}

TEST(ServerProgram, RefusesBadArgumentsAndBrokenCatalogs) {
    const auto run = [](const QStringList& arguments) {
        QProcess server;
        server.start(UPDATE_SERVER_PROGRAM, arguments);
        server.waitForFinished(10000);
        return std::make_pair(server.exitCode(), QString::fromUtf8(server.readAllStandardError()));
    };
    auto [code, errors] = run({});
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(errors.contains("--catalog fehlt"));
    std::tie(code, errors) = run({"--catalog", SAMPLE_CATALOG_DIR, "--listen", "127.0.0.1"});
    EXPECT_EQ(code, 2);
    std::tie(code, errors) = run({"--catalog", SAMPLE_CATALOG_DIR, "--listen", "127.0.0.1:99999"});
    EXPECT_EQ(code, 2);
    std::tie(code, errors) = run({"--catalog", "/nonexistent", "--listen", "127.0.0.1:0"});
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(errors.contains("Verzeichnis \"files\" fehlt")) << errors.toStdString();
}

} // namespace
