// The server program as makers and the demo start it: a real child process.

#include "raw_http_client.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <httplib.h>

namespace {

using namespace std::chrono_literals;

// Starts the program on a free port of 127.0.0.1; returns the port it names, or 0.
int startProgram(QProcess& server, const QStringList& extra = {}) {
    server.start(UPDATE_SERVER_PROGRAM,
                 QStringList{"--catalog", SAMPLE_CATALOG_DIR, "--listen", "127.0.0.1:0"} + extra);
    if (!server.waitForStarted(5000) || !server.waitForReadyRead(10000))
        return 0;
    const QString first = QString::fromUtf8(server.readLine()).trimmed();
    const auto match =
        QRegularExpression(R"(^listening on http://127\.0\.0\.1:(\d+)$)").match(first);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// The most memory the process has held at once, in MiB (VmHWM).
double peakMemoryMiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const auto match =
        QRegularExpression(R"(VmHWM:\s+(\d+) kB)").match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() / 1024 : -1;
}

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

TEST(ServerProgram, AFloodOfHeaderLinesIsRefusedWithinBoundedMemory) {
    QProcess server;
    const int port = startProgram(server);
    ASSERT_GT(port, 0) << server.readAllStandardError().toStdString();
    const double before = peakMemoryMiB(server.processId());

    // 300 MB of 100-byte header lines on one connection, unless the server stops it first.
    upd::server::test::RawConnection flood(port);
    ASSERT_TRUE(flood.send("GET / HTTP/1.1\r\nHost: t\r\n"));
    std::string block;
    while (block.size() < 64 * 1024)
        block += "X-Flut: " + std::string(90, 'f') + "\r\n";
    std::uint64_t sent = 0;
    while (sent < 300'000'000 && flood.send(block))
        sent += block.size();
    const double after = peakMemoryMiB(server.processId());

    EXPECT_LT(sent, 300'000'000u) << "the server never refused";
    // Its memory at rest plus a few MiB of buffers at most; the flood itself is dropped.
    EXPECT_LT(after, 40.0) << "MiB at peak, " << before << " before the flood";
    httplib::Client client("127.0.0.1", port);
    const auto result = client.Get("/");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    server.kill();
    server.waitForFinished(5000);
}

} // namespace
