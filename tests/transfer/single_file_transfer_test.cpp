#include "core/runtime_error.h"
#include "support/local_http_server.h"
#include "support/raw_http_server.h"
#include "transfer/curl_handles.h"
#include "transfer/single_file_transfer.h"
#include "transfer/test_peers.h"
#include "transfer/transfer_fakes.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace upd {
namespace {

using test::LocalHttpServer;

std::string randomBytes(int size) {
    std::string bytes(static_cast<size_t>(size), '\0');
    for (char& c : bytes)
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    return bytes;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

class DownloadTest : public ::testing::Test {
protected:
    QString local(const QString& name) const { return dir.filePath(name); }
    QString url(const std::string& path) const { return QString::fromStdString(server.url(path)); }
    bool download(const QString& localFile, const QString& address, bool progress = true) {
        return transfer.DownloadAFile(localFile, address, progress) == DownloadOutcome::Complete;
    }

    QTemporaryDir dir;
    LocalHttpServer server;
    test::RecordingTransferObserver window;
    test::CountingEventLoop loop;
    TransferControl Inet1{loop};
    SingleFileTransfer transfer{loop, window, Inet1};
};

TEST_F(DownloadTest, ReplacesTheLocalFileAndReportsEveryPieceOf512Bytes) {
    const std::string body = randomBytes(100'000);
    server.http().Get("/files/setup.zip", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(body, "application/zip");
    });
    server.start();
    writeFile(local("setup.zip"), "an older copy that is longer than nothing");

    bool runningDuringTransfer = false;
    window.closeAfterProgressCalls = 0;
    ASSERT_TRUE(download(local("setup.zip"), url("/files/setup.zip")));
    runningDuringTransfer = window.runningChanges.front();

    EXPECT_EQ(readFile(local("setup.zip")), QByteArray::fromStdString(body));
    EXPECT_TRUE(runningDuringTransfer);
    EXPECT_FALSE(window.transferRunning);
    EXPECT_FALSE(window.speedTimerEnabled);
    EXPECT_EQ(window.announcedSize, 100'000);
    // 195 full pieces, the short rest (which makes the expected size the total) and the empty
    // read that ends the transfer.
    ASSERT_EQ(window.progressCalls.size(), 197u);
    for (size_t i = 0; i < 195; ++i)
        ASSERT_EQ(window.progressCalls[i],
                  std::make_pair(100'000, static_cast<qint32>(512 * (i + 1))));
    EXPECT_EQ(window.progressCalls[195], std::make_pair(100'000, 100'000));
    EXPECT_EQ(window.progressCalls[196], std::make_pair(100'000, 100'000));
    // The event loop runs once per block the network delivers, not once per piece.
    EXPECT_GT(loop.yields, 0);
    EXPECT_LT(loop.yields, 100);

    // Without progress the display is left alone; the scheme may be written in capitals.
    window.progressCalls.clear();
    ASSERT_TRUE(
        download(local("setup.zip"), url("/files/setup.zip").replace("http", "HTTP"), false));
    EXPECT_TRUE(window.progressCalls.empty());
    EXPECT_EQ(readFile(local("setup.zip")), QByteArray::fromStdString(body));
}

TEST_F(DownloadTest, SmallEmptyAndUnannouncedFilesAreComplete) {
    const std::string small = randomBytes(300);
    const std::string unannounced = randomBytes(5000);
    server.http().Get("/small", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(small, "text/plain");
    });
    server.http().Get("/empty", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("", "text/plain");
    });
    server.http().Get("/unannounced", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("application/octet-stream",
                                         [&](size_t, httplib::DataSink& sink) {
                                             sink.write(unannounced.data(), unannounced.size());
                                             sink.done();
                                             return true;
                                         });
    });
    server.start();

    ASSERT_TRUE(download(local("small"), url("/small")));
    EXPECT_EQ(readFile(local("small")), QByteArray::fromStdString(small));
    // One short read: 100 % at once.
    EXPECT_EQ(window.progressCalls,
              (std::vector<std::pair<qint32, qint32>>{{300, 300}, {300, 300}}));

    window.progressCalls.clear();
    ASSERT_TRUE(download(local("empty"), url("/empty")));
    EXPECT_TRUE(QFile::exists(local("empty")));
    EXPECT_EQ(QFileInfo(local("empty")).size(), 0);
    EXPECT_EQ(window.progressCalls, (std::vector<std::pair<qint32, qint32>>{{0, 0}}));

    window.progressCalls.clear();
    ASSERT_TRUE(download(local("unannounced"), url("/unannounced")));
    EXPECT_EQ(readFile(local("unannounced")), QByteArray::fromStdString(unannounced));
    EXPECT_EQ(window.announcedSize, 0);
    // Expected size 0 until the short rest makes it known.
    ASSERT_EQ(window.progressCalls.size(), 11u);
    EXPECT_EQ(window.progressCalls[0], std::make_pair(0, 512));
    EXPECT_EQ(window.progressCalls[8], std::make_pair(0, 4608));
    EXPECT_EQ(window.progressCalls[9], std::make_pair(5000, 5000));
}

TEST_F(DownloadTest, IncompleteOrMissingFilesAreFailures) {
    std::atomic<int> sizeRequests = 0;
    server.http().Get("/truncated", [](const httplib::Request&, httplib::Response& res) {
        // Announces 10 000 bytes, sends 5 000 and breaks the connection.
        res.set_content_provider(10'000, "application/octet-stream",
                                 [](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset > 0)
                                         return false;
                                     const std::string half(5000, 'x');
                                     sink.write(half.data(), half.size());
                                     return true;
                                 });
    });
    // The size query is told one size, the transfer delivers another.
    server.http().Get("/changed", [&](const httplib::Request&, httplib::Response& res) {
        const bool sizeQuery = sizeRequests++ % 2 == 0;
        res.set_content(std::string(sizeQuery ? 3000 : 2000, 'y'), "text/plain");
    });
    server.http().Get("/grown", [&](const httplib::Request&, httplib::Response& res) {
        const bool sizeQuery = sizeRequests++ % 2 == 0;
        res.set_content(std::string(sizeQuery ? 1000 : 2000, 'z'), "text/plain");
    });
    server.start();

    writeFile(local("missing"), "old");
    EXPECT_FALSE(download(local("missing"), url("/missing")));
    // The old copy is gone (it is deleted before the request), and no error page was saved.
    EXPECT_FALSE(QFile::exists(local("missing")));
    EXPECT_FALSE(window.transferRunning);
    EXPECT_FALSE(window.speedTimerEnabled);

    EXPECT_FALSE(download(local("truncated"), url("/truncated")));
    EXPECT_EQ(window.announcedSize, 10'000);
    EXPECT_FALSE(window.transferRunning);

    sizeRequests = 0;
    EXPECT_FALSE(download(local("changed"), url("/changed")));
    EXPECT_EQ(QFileInfo(local("changed")).size(), 2000);
    sizeRequests = 0;
    EXPECT_FALSE(download(local("grown"), url("/grown")));

    const QString refused = QStringLiteral("http://127.0.0.1:%1/x").arg(test::closedLocalPort());
    EXPECT_FALSE(download(local("refused"), refused));
    EXPECT_FALSE(QFile::exists(local("refused")));
}

TEST_F(DownloadTest, ATricklingServerTimesOut) {
    std::atomic<bool> release = false;
    // A start, then a byte now and then: far less than a kibibyte per time-out period.
    server.http().Get("/stall", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(100'000, "application/octet-stream",
                                 [&](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset == 0) {
                                         const std::string start(500, 's');
                                         sink.write(start.data(), start.size());
                                         return true;
                                     }
                                     for (int i = 0; i < 20 && !release; ++i)
                                         std::this_thread::sleep_for(std::chrono::milliseconds(10));
                                     sink.write("t", 1);
                                     return !release;
                                 });
    });
    server.start();
    transfer.setReadTimeout(1);

    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(download(local("stall"), url("/stall")));
    const auto took = std::chrono::steady_clock::now() - started;
    release = true;
    EXPECT_LT(took, std::chrono::seconds(4));
    EXPECT_FALSE(window.transferRunning);
    // The window kept being served while the server was quiet.
    EXPECT_GT(loop.yields, 50);
}

TEST_F(DownloadTest, TransfersMoveOnInWhateverEventLoopRuns) {
    const std::string body = randomBytes(600 * 512); // whole pieces: the last one ends it
    // Slow enough that the download is still running when the nested loop starts.
    server.http().Get("/paced", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(body.size(), "application/octet-stream",
                                 [&](size_t offset, size_t, httplib::DataSink& sink) {
                                     std::this_thread::sleep_for(std::chrono::milliseconds(20));
                                     const size_t size =
                                         std::min<size_t>(30'000, body.size() - offset);
                                     sink.write(body.data() + offset, size);
                                     return true;
                                 });
    });
    server.start();

    // Once data flows, a modal dialog's loop runs on top of the waiting download until the last
    // piece has arrived (or 10 s have passed).
    bool completedInNestedLoop = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (window.progressCalls.empty())
            return;
        watch.stop();
        QEventLoop dialog;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            completedInNestedLoop = !window.progressCalls.empty() &&
                                    window.progressCalls.back().second == qint32(body.size());
            if (completedInNestedLoop)
                dialog.quit();
        });
        poll.start(5);
        QTimer::singleShot(10'000, &dialog, &QEventLoop::quit);
        dialog.exec();
    });
    watch.start(5);
    ASSERT_TRUE(download(local("paced"), url("/paced")));
    EXPECT_TRUE(completedInNestedLoop);
    EXPECT_EQ(readFile(local("paced")), QByteArray::fromStdString(body));
}

TEST_F(DownloadTest, OnlyASuccessfulAnswerAnnouncesASizeAndItMustFit) {
    const std::string body = randomBytes(100'000);
    const std::string close = "Connection: close\r\n\r\n";
    // The size query meets a 503 with a small error page of its own; the file follows.
    test::RawHttpServer busyFirst([&](const std::string&, int number, const auto& send) {
        if (number == 0)
            send("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 19\r\n" + close +
                 "Service Unavailable");
        else
            send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n" + close + body);
    });
    ASSERT_TRUE(download(local("busy"), QString::fromStdString(busyFirst.url("/busy"))));
    EXPECT_EQ(window.announcedSize, 0);
    EXPECT_EQ(readFile(local("busy")), QByteArray::fromStdString(body));

    // A size beyond any count cannot be checked: the file is not fetched at all.
    test::RawHttpServer huge([&](const std::string&, int, const auto& send) {
        send("HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n" + close +
             std::string(1000, 'h'));
    });
    const QString address = QString::fromStdString(huge.url("/huge"));
    EXPECT_EQ(transfer.queryRemoteSize(address).kind, RemoteSize::Kind::Unrepresentable);
    EXPECT_EQ(transfer.GetRemoteFileSize(address), 0);
    EXPECT_FALSE(download(local("huge"), address));
    EXPECT_FALSE(QFile::exists(local("huge")));
    EXPECT_EQ(huge.requests(), 3); // the size queries only
}

TEST_F(DownloadTest, TheCloseRequestCancelsBetweenPiecesAndDeletesThePartialFile) {
    const std::string body = randomBytes(200'000);
    std::atomic<int> served = 0;
    server.http().Get("/big", [&](const httplib::Request&, httplib::Response& res) {
        ++served;
        res.set_content(body, "application/octet-stream");
    });
    server.start();

    window.closeAfterProgressCalls = 3;
    EXPECT_FALSE(download(local("big"), url("/big")));
    // The piece after the close request is not handed on.
    EXPECT_EQ(window.progressCalls.size(), 3u);
    EXPECT_FALSE(QFile::exists(local("big")));
    EXPECT_FALSE(window.transferRunning);

    // A close request before the transfer starts: nothing is fetched, the old file is deleted.
    window.closeAfterProgressCalls = 0;
    window.close = true;
    window.progressCalls.clear();
    writeFile(local("big"), "old");
    const int servedBefore = served;
    EXPECT_FALSE(download(local("big"), url("/big")));
    EXPECT_TRUE(window.progressCalls.empty());
    EXPECT_FALSE(QFile::exists(local("big")));
    EXPECT_EQ(served, servedBefore);
}

TEST_F(DownloadTest, OtherSchemesAreRefusedBeforeAnythingIsTouched) {
    server.http().Get("/secret", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("secret", "text/plain");
    });
    server.http().Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("file:///etc/hostname");
    });
    server.http().Get("/to-secret", [&](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(server.url("/secret"));
    });
    server.start();
    writeFile(local("keep"), "keep me");

    for (const QString& address :
         {QStringLiteral("file:///etc/hostname"), QStringLiteral("gopher://127.0.0.1/x"),
          QStringLiteral("scp://127.0.0.1/x"), QStringLiteral(""),
          QStringLiteral(" http://127.0.0.1/x")}) {
        EXPECT_FALSE(download(local("keep"), address)) << address.toStdString();
        EXPECT_EQ(readFile(local("keep")), QByteArray("keep me"));
    }
    EXPECT_FALSE(window.transferRunning);
    EXPECT_TRUE(server.requests().empty());

    // Redirects lead on to http, https or ftp only.
    EXPECT_FALSE(download(local("redirected"), url("/to-file")));
    EXPECT_FALSE(QFile::exists(local("redirected")));
    EXPECT_TRUE(download(local("redirected"), url("/to-secret")));
    EXPECT_EQ(readFile(local("redirected")), QByteArray("secret"));
}

TEST_F(DownloadTest, HttpsIsVerifiedAgainstTheConfiguredCa) {
    test::TestCertificates certificates;
    test::LocalHttpsServer https(certificates);
    const std::string body = randomBytes(70'000);
    https.https().Get("/secure.zip", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(body, "application/zip");
    });
    https.start();
    const QString address = QString::fromStdString(https.url("/secure.zip"));

    // The system's store does not know the test CA.
    EXPECT_FALSE(download(local("secure.zip"), address));
    EXPECT_FALSE(QFile::exists(local("secure.zip")));

    qputenv(CaFileVariable, certificates.caFile().toLocal8Bit());
    const bool ok = download(local("secure.zip"), address);
    qunsetenv(CaFileVariable);
    ASSERT_TRUE(ok);
    EXPECT_EQ(readFile(local("secure.zip")), QByteArray::fromStdString(body));
    EXPECT_EQ(window.announcedSize, 70'000);
}

TEST_F(DownloadTest, FtpFilesComeWithTheSizeTheServerReports) {
    QTemporaryDir served;
    const QByteArray body = QByteArray::fromStdString(randomBytes(12'345));
    writeFile(served.filePath(QStringLiteral("update.zip")), body);
    test::LocalFtpServer ftp(served.path());
    const QString address = QString::fromStdString(ftp.url("/update.zip"));

    EXPECT_EQ(transfer.GetRemoteFileSize(address), 12'345);
    ASSERT_TRUE(download(local("update.zip"), address));
    EXPECT_EQ(readFile(local("update.zip")), body);
    EXPECT_EQ(window.announcedSize, 12'345);
    EXPECT_EQ(window.progressCalls.back(), std::make_pair(12'345, 12'345));

    EXPECT_EQ(transfer.GetRemoteFileSize(QString::fromStdString(ftp.url("/none.zip"))), 0);
    EXPECT_FALSE(download(local("none.zip"), QString::fromStdString(ftp.url("/none.zip"))));
    EXPECT_FALSE(QFile::exists(local("none.zip")));
}

TEST_F(DownloadTest, ErrorsWhileWritingReachTheCaller) {
    server.http().Get("/file", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(2000, 'f'), "text/plain");
    });
    server.http().Get("/large", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(300'000, 'l'), "text/plain");
    });
    server.start();
    // The directory of the local file does not exist.
    EXPECT_THROW(download(local("no-such-dir/file"), url("/file")), RuntimeError);
    EXPECT_FALSE(window.transferRunning);
    // A full disk, for a small file (buffered until the end) and a large one.
    window.transferRunning = true;
    EXPECT_THROW(download(QStringLiteral("/dev/full"), url("/file")), RuntimeError);
    EXPECT_FALSE(window.transferRunning);
    window.transferRunning = true;
    EXPECT_THROW(download(QStringLiteral("/dev/full"), url("/large")), RuntimeError);
    EXPECT_FALSE(window.transferRunning);
}

TEST_F(DownloadTest, OnlyTheTargetItselfIsReplaced) {
    server.http().Get("/file", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("new", "text/plain");
    });
    server.start();
    // A target named like a pattern replaces that one file; its neighbours stay.
    writeFile(local("host.exe"), "host");
    writeFile(local("data.mdb"), "data");
    ASSERT_TRUE(download(local("*.*"), url("/file")));
    EXPECT_EQ(readFile(local("*.*")), QByteArray("new"));
    EXPECT_EQ(readFile(local("host.exe")), QByteArray("host"));
    EXPECT_EQ(readFile(local("data.mdb")), QByteArray("data"));

    // A target that cannot be cleared is reported before any request.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("occupied")));
    const auto requestsBefore = server.requests().size();
    EXPECT_EQ(transfer.DownloadAFile(local("occupied"), url("/file"), true),
              DownloadOutcome::TargetNotRemovable);
    EXPECT_EQ(server.requests().size(), requestsBefore);
    EXPECT_FALSE(window.transferRunning);
}

} // namespace
} // namespace upd

namespace upd {
namespace {

TEST_F(DownloadTest, TheProxyOfTheEnvironmentIsUsed) {
    std::vector<std::string> targets;
    std::mutex mutex;
    server.http().Get(R"(.*/via-proxy\.bin)",
                      [&](const httplib::Request& req, httplib::Response& res) {
                          std::lock_guard lock(mutex);
                          targets.push_back(req.target);
                          res.set_content("proxied", "application/octet-stream");
                      });
    server.start();

    // Without the proxy this address reaches a closed local port; through it, the proxy answers.
    const std::string address =
        "http://localhost:" + std::to_string(test::closedLocalPort()) + "/via-proxy.bin";
    const QByteArray noProxy = qgetenv("no_proxy");
    qunsetenv("no_proxy");
    qputenv("http_proxy", QByteArray::fromStdString(server.url("")));
    const bool ok = download(local("via-proxy.bin"), QString::fromStdString(address));
    qunsetenv("http_proxy");
    if (!noProxy.isEmpty())
        qputenv("no_proxy", noProxy);
    ASSERT_TRUE(ok);
    EXPECT_EQ(readFile(local("via-proxy.bin")), QByteArray("proxied"));
    std::lock_guard lock(mutex);
    EXPECT_EQ(targets, (std::vector<std::string>{address, address})); // size query, transfer
}

} // namespace
} // namespace upd
