#include "core/event_loop.h"
#include "core/runtime_error.h"
#include "support/raw_http_server.h"
#include "transfer/curl_handles.h"
#include "transfer/single_file_transfer.h"
#include "transfer/test_peers.h"
#include "transfer/transfer_observer.h"

#include <QEventLoop>
#include <QTimer>
#include <atomic>

namespace upd {
namespace {

// The transfer display, recording every call; it asks to close once `closeAfter` progress calls
// have arrived (0: from the start).
class RecordingTransferObserver final : public TransferObserver {
public:
    bool cancelRequested() const override {
        return closeAfter >= 0 && progressCalls.size() >= size_t(closeAfter);
    }
    void transferStarted() override { runningChanges.push_back(true); }
    void sizeAnnounced(std::int32_t bytes) override { announcedSize = bytes; }
    void dataArriving() override {}
    void progress(std::int32_t expected, std::int32_t received) override {
        progressCalls.emplace_back(expected, received);
    }
    void transferEnded() override { runningChanges.push_back(false); }
    bool running() const { return !runningChanges.empty() && runningChanges.back(); }

    int closeAfter = -1;
    std::vector<bool> runningChanges;
    std::int32_t announcedSize = -1;
    std::vector<std::pair<qint32, qint32>> progressCalls;
};

class DownloadTest : public ::testing::Test {
protected:
    // Whatever happened, the display is told that the transfer has ended.
    void TearDown() override { EXPECT_FALSE(window.running()); }
    QString local(const QString& name) const { return dir.filePath(name); }
    QString url(const std::string& path) const { return QString::fromStdString(server.url(path)); }
    bool download(const QString& localFile, const QString& address, bool progress = true) {
        return transfer.DownloadAFile(localFile, address, progress) == DownloadOutcome::Complete;
    }
    bool download(const QString& localFile, const std::string& address) {
        return download(localFile, QString::fromStdString(address));
    }

    QTemporaryDir dir;
    test::LocalHttpServer server;
    RecordingTransferObserver window;
    QtEventLoop loop;
    TransferControl Inet1{loop};
    SingleFileTransfer transfer{loop, window, Inet1};
};

// How the pieces are cut whatever the network's blocks: PieceStream in transfer_meter_test.cpp.
TEST_F(DownloadTest, FilesReplaceTheOldCopyAndProgressCountsPiecesOf512Bytes) {
    const struct {
        std::string path;
        QByteArray body;
        bool announced;
    } rows[] = {{"/large", test::randomBytes(100'000), true},
                {"/small", test::randomBytes(300), true},
                {"/empty", {}, true},
                {"/unannounced", test::randomBytes(5000), false}};
    for (const auto& row : rows) {
        if (row.announced)
            test::serve(server.http(), row.path, row.body.toStdString());
        else
            test::serveTrickle(server.http(), row.path, row.body.toStdString(),
                               size_t(row.body.size()), 1, 0);
    }
    server.start();

    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        window.runningChanges.clear();
        window.progressCalls.clear();
        test::writeFile(local("file"), "an older copy that is longer than nothing");
        ASSERT_TRUE(download(local("file"), url(row.path)));
        EXPECT_EQ(test::readFile(local("file")), row.body);
        EXPECT_EQ(window.runningChanges, (std::vector<bool>{true, false}));
        const qint32 size = qint32(row.body.size());
        EXPECT_EQ(window.announcedSize, row.announced ? size : 0);
        // The first whole piece is shown against the announced size (unannounced: 0), the end
        // with the total.
        ASSERT_FALSE(window.progressCalls.empty());
        if (size >= 512) {
            EXPECT_EQ(window.progressCalls.front(), std::pair(window.announcedSize, 512));
        }
        EXPECT_EQ(window.progressCalls.back(), std::pair(size, size));
    }

    // Without progress the display is left alone; the scheme may be written in capitals.
    window.progressCalls.clear();
    ASSERT_TRUE(download(local("file"), url("/large").replace("http", "HTTP"), false));
    EXPECT_TRUE(window.progressCalls.empty());
    EXPECT_EQ(test::readFile(local("file")), rows[0].body);
}

// What arrived stays for the caller to see; other schemes, also behind a redirect, are refused
// before anything is touched.
TEST_F(DownloadTest, IncompleteMissingChangedOrForeignFilesAreFailures) {
    // Announces 10 000 bytes, sends 5 000 and breaks the connection.
    server.http().Get("/truncated", [](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(10'000, "application/octet-stream",
                                 [](size_t offset, size_t, httplib::DataSink& sink) {
                                     const std::string half(5000, 'x');
                                     return offset == 0 && sink.write(half.data(), half.size());
                                 });
    });
    // The size query (every other request) is told one size, the transfer delivers another.
    std::atomic<int> requests = 0;
    server.http().Get("/smaller", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(requests++ % 2 == 0 ? 3000 : 2000, 'y'), "text/plain");
    });
    server.http().Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("file:///etc/hostname");
    });
    server.start();

    const struct {
        const char* what;
        QString address;
        qint64 left; // -1: no file, neither the old copy nor an error page
    } rows[] = {
        {"missing", url("/missing"), -1},
        {"truncated", url("/truncated"), 5000},
        {"smaller than announced", url("/smaller"), 2000},
        {"refused", QStringLiteral("http://127.0.0.1:%1/x").arg(test::closedLocalPort()), -1},
        {"redirected to a file", url("/to-file"), -1},
        {"a blank before the scheme", " http://127.0.0.1/x", 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        requests = 0;
        test::writeFile(local("file"), "old");
        EXPECT_FALSE(download(local("file"), row.address));
        EXPECT_EQ(QFile::exists(local("file")) ? QFileInfo(local("file")).size() : -1, row.left);
    }
}

TEST_F(DownloadTest, ATricklingServerTimesOut) {
    // A start, then 100 bytes every 200 ms: less than a kibibyte per second, but the whole file
    // within the default time-out.
    test::serveTrickle(server.http(), "/stall", std::string(2500, 's'), 500, 100, 200);
    server.start();
    transfer.setReadTimeout(1);

    EXPECT_FALSE(download(local("stall"), url("/stall")));
}

TEST_F(DownloadTest, TransfersMoveOnInWhateverEventLoopRuns) {
    const QByteArray body = test::randomBytes(600 * 512);
    // Slow enough that the download is still running when the nested loop starts.
    test::serveTrickle(server.http(), "/paced", body.toStdString(), 30'000, 30'000, 20);
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
            completedInNestedLoop = window.progressCalls.back().second == body.size();
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
    EXPECT_EQ(test::readFile(local("paced")), body);
}

TEST_F(DownloadTest, OnlyASuccessfulAnswerAnnouncesASizeAndItMustFit) {
    const std::string body = test::randomBytes(100'000).toStdString();
    const std::string close = "Connection: close\r\n\r\n";
    // The size query meets a 503 with a small error page of its own; the file follows.
    test::RawHttpServer busyFirst([&](const std::string&, int number, const auto& send) {
        send(number == 0 ? "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 19\r\n" + close +
                               "Service Unavailable"
                         : "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n" + close + body);
    });
    ASSERT_TRUE(download(local("busy"), busyFirst.url("/busy")));
    EXPECT_EQ(window.announcedSize, 0);
    EXPECT_EQ(test::readFile(local("busy")).toStdString(), body);

    // A size beyond any count cannot be checked: the file is not fetched at all.
    test::RawHttpServer huge([&](const std::string&, int, const auto& send) {
        send("HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n" + close +
             std::string(1000, 'h'));
    });
    const QString address = QString::fromStdString(huge.url("/huge"));
    EXPECT_EQ(transfer.GetRemoteFileSize(address), 0);
    EXPECT_FALSE(download(local("huge"), address));
    EXPECT_FALSE(QFile::exists(local("huge")));
}

TEST_F(DownloadTest, TheCloseRequestCancelsBetweenPiecesAndDeletesThePartialFile) {
    test::serve(server.http(), "/big", std::string(200'000, 'b'));
    server.start();

    window.closeAfter = 2;
    EXPECT_EQ(transfer.DownloadAFile(local("big"), url("/big"), true), DownloadOutcome::Cancelled);
    EXPECT_EQ(window.progressCalls.size(), 2u); // none after the close request
    EXPECT_FALSE(QFile::exists(local("big")));

    // A close request before the transfer starts: nothing is fetched, the old file is deleted.
    window.closeAfter = 0;
    test::writeFile(local("big"), "old");
    const auto requestsBefore = server.requests().size();
    EXPECT_EQ(transfer.DownloadAFile(local("big"), url("/big"), true), DownloadOutcome::Cancelled);
    EXPECT_FALSE(QFile::exists(local("big")));
    EXPECT_EQ(server.requests().size(), requestsBefore);
}

TEST_F(DownloadTest, HttpsIsVerifiedAgainstTheConfiguredCa) {
    test::LocalHttpsServer https;
    const QByteArray body = test::randomBytes(70'000);
    test::serve(https.https(), "/secure.zip", body.toStdString());
    https.start();

    // The system's store does not know the test certificate.
    EXPECT_FALSE(download(local("secure.zip"), https.url("/secure.zip")));
    EXPECT_FALSE(QFile::exists(local("secure.zip")));

    qputenv(CaFileVariable, https.caFile());
    const bool verified = download(local("secure.zip"), https.url("/secure.zip"));
    qunsetenv(CaFileVariable);
    ASSERT_TRUE(verified);
    EXPECT_EQ(test::readFile(local("secure.zip")), body);
}

TEST_F(DownloadTest, FtpFilesComeWithTheSizeTheServerReports) {
    QTemporaryDir served;
    const QByteArray body = test::randomBytes(12'345);
    test::writeFile(served.filePath(QStringLiteral("update.zip")), body);
    test::LocalFtpServer ftp(served.path());
    const QString address = QString::fromStdString(ftp.url("/update.zip"));

    EXPECT_EQ(transfer.GetRemoteFileSize(address), 12'345);
    ASSERT_TRUE(download(local("update.zip"), address));
    EXPECT_EQ(test::readFile(local("update.zip")), body);

    const QString none = QString::fromStdString(ftp.url("/none.zip"));
    EXPECT_EQ(transfer.GetRemoteFileSize(none), 0);
    EXPECT_FALSE(download(local("none.zip"), none));
    EXPECT_FALSE(QFile::exists(local("none.zip")));
}

// A target that cannot be cleared fails before any request; a target named like a pattern
// replaces that one file. Errors while writing reach the caller, and the display hears of the
// end each time.
TEST_F(DownloadTest, OnlyTheTargetIsWritten) {
    test::serve(server.http(), "/file", "new");
    test::serve(server.http(), "/large", std::string(300'000, 'l'));
    server.http().Get("/to-file-ok", [&](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(server.url("/file"));
    });
    server.start();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("occupied")));
    EXPECT_EQ(transfer.DownloadAFile(local("occupied"), url("/file"), true),
              DownloadOutcome::TargetNotRemovable);
    EXPECT_TRUE(server.requests().empty());

    EXPECT_TRUE(download(local("redirected"), url("/to-file-ok")));
    EXPECT_EQ(test::readFile(local("redirected")), "new");

    test::writeFile(local("host.exe"), "host");
    ASSERT_TRUE(download(local("*.*"), url("/file")));
    EXPECT_EQ(test::readFile(local("*.*")), "new");
    EXPECT_EQ(test::readFile(local("host.exe")), "host");

    // A missing directory, and a full disk for a small file (buffered until the end) and a large
    // one.
    for (const auto& [target, path] : {std::pair{local("no-such-dir/file"), "/file"},
                                       std::pair{QStringLiteral("/dev/full"), "/file"},
                                       std::pair{QStringLiteral("/dev/full"), "/large"}}) {
        EXPECT_THROW(download(target, url(path)), RuntimeError) << path;
        EXPECT_FALSE(window.running()) << path;
    }
}

} // namespace
} // namespace upd
