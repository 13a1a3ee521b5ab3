// The server program as makers and the demo start it: a real child process.

#include "core/xml_document.h"
#include "protocol/authenticity.h"
#include "protocol/updater_answer.h"
#include "raw_http_client.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <httplib.h>

namespace {

// The most memory the process has held at once, in MiB (VmHWM).
double peakMemoryMiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const auto match =
        QRegularExpression(R"(VmHWM:\s+(\d+) kB)").match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() / 1024 : -1;
}

TEST(ServerProgram, RefusesBadArgumentsAndBrokenCatalogs) {
    const struct {
        QStringList arguments;
        int exitCode;
        const char* error;
    } cases[] = {
        {{}, 2, "--catalog fehlt"},
        {{"--catalog", SAMPLE_CATALOG_DIR, "--listen", "127.0.0.1:99999"},
         2,
         "--listen braucht die Form HOST:PORT"},
        {{"--catalog", "/nonexistent", "--listen", "127.0.0.1:0"},
         1,
         "Verzeichnis \"files\" fehlt"},
        {{"--catalog", SAMPLE_CATALOG_DIR, "--listen", "127.0.0.1:0", "--signing-key",
          SAMPLE_CATALOG_DIR "/catalog.xml"},
         1,
         "enthält keinen Ed25519-Schlüssel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QProcess server;
        server.start(UPDATE_SERVER_PROGRAM, c.arguments);
        EXPECT_TRUE(server.waitForFinished(10000));
        EXPECT_EQ(server.exitCode(), c.exitCode);
        EXPECT_TRUE(QString::fromUtf8(server.readAllStandardError()).contains(c.error));
    }
}

// The maker's way: a key pair made by the program, the catalog served signed with it. What it
// signs is checked the way the updater checks it, with the printed public key.
TEST(ServerProgram, GeneratesAKeyAndSignsUpdatesUpdaterAndPayloadsWithIt) {
    QTemporaryDir work;
    const QString keyFile = work.filePath(QStringLiteral("signing-key"));
    QProcess generate;
    generate.start(UPDATE_SERVER_PROGRAM, {"--generate-key", keyFile});
    ASSERT_TRUE(generate.waitForFinished(10000));
    ASSERT_EQ(generate.exitCode(), 0) << generate.readAllStandardError().toStdString();
    const upd::TrustedKeys keys =
        upd::TrustedKeys::fromSetting(QString::fromLatin1(generate.readAllStandardOutput()));
    EXPECT_EQ(QFile::permissions(keyFile), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ReadUser | QFileDevice::WriteUser);
    QProcess again;
    again.start(UPDATE_SERVER_PROGRAM, {"--generate-key", keyFile});
    ASSERT_TRUE(again.waitForFinished(10000));
    EXPECT_EQ(again.exitCode(), 1) << "an existing key is never overwritten";

    upd::server::test::ServerProgram program({"--signing-key", keyFile});
    ASSERT_GT(program.port, 0) << program.process.readAllStandardError().toStdString();
    httplib::Client client("127.0.0.1", program.port);
    const auto document = [&](const char* target) {
        upd::XmlDocument answer;
        EXPECT_TRUE(answer.loadXml(QString::fromStdString(client.Get(target)->body))) << target;
        return answer;
    };

    const upd::XmlDocument updates = document("/update.aspx?VERS=3v1v0&PID=QGR");
    const auto entries = upd::readProgramUpdateAnswer(updates.documentElement()).updates;
    ASSERT_EQ(entries.size(), 2u);
    for (const upd::UpdateEntry& entry : entries) {
        EXPECT_EQ(upd::checkEntrySignature(keys, QStringLiteral("QGR"), entry), std::nullopt);
        EXPECT_EQ(upd::checkEntrySignature(keys, QStringLiteral("QHR"), entry),
                  upd::NotGenuine::SignatureWrong);
    }
    const upd::XmlDocument updater = document("/updateproginfo.aspx");
    QString path, version, file;
    ASSERT_TRUE(upd::readUpdaterAnswer(updater, path, version, file));
    EXPECT_EQ(upd::checkUpdaterSignature(keys, version, file, upd::readUpdaterSeal(updater)),
              std::nullopt);
    const auto payload = client.Get("/dataupdate.aspx?VERS=3v3v0&PID=QGR&DBVers=2024.01&MODUS=2");
    const auto check = [&](const char* databaseVersion) {
        return upd::checkPayloadSignature(
            keys, QStringLiteral("QGR"), QString::fromLatin1(databaseVersion),
            QByteArray::fromStdString(payload->body),
            QString::fromStdString(payload->get_header_value(upd::PayloadSignatureHeader)));
    };
    EXPECT_EQ(check("2024.01"), std::nullopt);
    EXPECT_EQ(check("2023.01"), upd::NotGenuine::SignatureWrong);
}

TEST(ServerProgram, RefusesAFloodOfHeaderLinesWithinBoundedMemoryAndLogsEachRequest) {
    upd::server::test::ServerProgram program;
    QProcess& server = program.process;
    const int port = program.port;
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
    // It carries on and logs each request, with bytes outside printable ASCII as %XX.
    httplib::Client client("127.0.0.1", port);
    client.set_url_encode(false);
    ASSERT_EQ(client.Get("/update.aspx?VERS=3v1v0&PID=QGR&SNN=M%FCller")->status, 200);
    ASSERT_EQ(client.Get("/nix%0Ada")->status, 404);
    const QString search = "GET /update.aspx?VERS=3v1v0&PID=QGR&SNN=M%FCller 200 ",
                  missing = "GET /nix%0Ada 404 ";
    QString log = QString::fromUtf8(server.readAllStandardOutput());
    while (!(log.contains(search) && log.contains(missing)) && server.waitForReadyRead(5000))
        log += QString::fromUtf8(server.readAllStandardOutput());
    EXPECT_TRUE(log.contains(search)) << log.toStdString();
    EXPECT_TRUE(log.contains(missing));
}

} // namespace
