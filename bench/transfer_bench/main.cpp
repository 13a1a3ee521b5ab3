// Downloads a 256 MiB file with DownloadAFile (progress in the program's main window, offscreen)
// and with curl, alternately, each side starting without its target file, in the same
// directory, from the same server:
// - in process: DownloadAFile here against `curl -s -o` as a process, both from an HTTP server in
//   this process; speed and processor time of each download;
// - whole processes: this program started to download one address (`--download URL FILE`)
//   against `curl -s -o`, both from nginx (skipped, saying so, when nginx is missing).
// The last line is "ratio R": DownloadAFile's speed over curl's in process (medians).

#include "common/nginx_server.h"
#include "offscreen_download.h"
#include "process_timing.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <httplib.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t FileSize = size_t{256} * 1024 * 1024;
constexpr int Rounds = 5;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double mibPerSecond(double seconds) {
    return (static_cast<double>(FileSize) / (1024.0 * 1024.0)) / seconds;
}

// Neither side finds a file to overwrite, nor the previous round's writes still going to disk.
void startClean(const std::vector<QString>& files) {
    for (const QString& file : files)
        QFile::remove(file);
    ::sync();
}

bool complete(const QString& file) {
    return QFileInfo(file).size() == static_cast<qint64>(FileSize);
}

struct Side {
    std::vector<double> speeds;
    std::vector<double> cpu;
    std::vector<double> user;
    void add(const bench::Timing& timing) {
        speeds.push_back(mibPerSecond(timing.wallSeconds));
        cpu.push_back(timing.cpuSeconds());
        user.push_back(timing.userSeconds);
    }
};

bench::Timing curl(const QString& file, const QString& url) {
    int exitCode = -1;
    const bench::Timing timing =
        bench::runProcess({"curl", "-s", "-o", file.toStdString(), url.toStdString()}, exitCode);
    if (exitCode != 0 || !complete(file)) {
        std::fprintf(stderr, "curl failed\n");
        std::exit(1);
    }
    return timing;
}

// `Rounds` rounds of both sides, each going first in every other round and starting without
// either target file; `afterRound` sees each round's number once both have run.
void alternate(Side& ours, Side& theirs, const std::function<bench::Timing()>& runOurs,
               const std::function<bench::Timing()>& runCurl, const std::vector<QString>& files,
               const std::function<void(int)>& afterRound = {}) {
    const auto runSide = [&](Side& side, const std::function<bench::Timing()>& run) {
        startClean(files);
        side.add(run());
    };
    for (int round = 0; round < Rounds; ++round) {
        if (round % 2 == 0) {
            runSide(ours, runOurs);
            runSide(theirs, runCurl);
        } else {
            runSide(theirs, runCurl);
            runSide(ours, runOurs);
        }
        if (afterRound)
            afterRound(round);
    }
}

// The program's own download as a process of its own: this program with "--download".
int downloadOne(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_transfer --download URL FILE\n");
        return 2;
    }
    QApplication app(argc, argv);
    bench::OffscreenDownload window;
    const bool ok =
        window.download(QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[2])) ==
        upd::DownloadOutcome::Complete;
    return ok ? 0 : 1;
}

// Both whole processes from nginx, alternately; prints their figures or why they are skipped.
void compareWholeProcesses(const QString& program, const QTemporaryDir& dir) {
    const QString served = dir.filePath(QStringLiteral("www"));
    QDir().mkpath(served);
    {
        std::ofstream out((served + QStringLiteral("/big.bin")).toStdString(), std::ios::binary);
        const std::string block(1024 * 1024, 'b');
        for (size_t written = 0; written < FileSize; written += block.size())
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    const bench::NginxServer nginx(served.toStdString(), dir.path().toStdString());
    if (!nginx.serving()) {
        std::printf("whole processes from nginx: skipped, %s\n", nginx.problem().c_str());
        return;
    }
    const QString url = QString::fromStdString(nginx.url("/big.bin"));
    const QString oursFile = dir.filePath(QStringLiteral("ours-process.bin"));
    const QString curlFile = dir.filePath(QStringLiteral("curl-process.bin"));
    Side ours;
    Side theirs;
    const auto runOurs = [&] {
        int exitCode = -1;
        const bench::Timing timing = bench::runProcess(
            {program.toStdString(), "--download", url.toStdString(), oursFile.toStdString()},
            exitCode);
        if (exitCode != 0 || !complete(oursFile)) {
            std::fprintf(stderr, "the program's download failed\n");
            std::exit(1);
        }
        return timing;
    };
    alternate(ours, theirs, runOurs, [&] { return curl(curlFile, url); }, {oursFile, curlFile});
    std::printf("whole processes from nginx: the program %.0f MiB/s, %.2f s processor; "
                "curl -s -o %.0f MiB/s, %.2f s processor; process ratio %.2f\n",
                median(ours.speeds), median(ours.cpu), median(theirs.speeds), median(theirs.cpu),
                median(ours.speeds) / median(theirs.speeds));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's remarks are not figures.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    if (argc > 1 && std::string(argv[1]) == "--download")
        return downloadOne(argc, argv);
    QApplication app(argc, argv);
    if (QStandardPaths::findExecutable(QStringLiteral("curl")).isEmpty()) {
        std::fprintf(stderr, "curl is needed (scripts/install-deps)\n");
        return 1;
    }

    const std::string block(1024 * 1024, 'b');
    httplib::Server server;
    server.Get("/big.bin", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(
            FileSize, "application/octet-stream",
            [&](size_t offset, size_t length, httplib::DataSink& sink) {
                const size_t n = std::min({length, block.size(), FileSize - offset});
                return sink.write(block.data(), n);
            });
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const QString url = QStringLiteral("http://127.0.0.1:%1/big.bin").arg(port);

    bench::OffscreenDownload window;
    QTemporaryDir dir;
    const QString oursFile = dir.filePath(QStringLiteral("ours.bin"));
    const QString curlFile = dir.filePath(QStringLiteral("curl.bin"));
    std::printf("256 MiB from a local HTTP server, %d rounds; both sides start without their "
                "target file\n",
                Rounds);

    Side ours;
    Side theirs;
    int ticks = 0;
    const auto runOurs = [&] {
        // A 10 ms timer shows that the window answers while the download runs.
        ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        const bench::Timing before = bench::threadTime();
        QElapsedTimer wall;
        wall.start();
        const bool ok = window.download(oursFile, url) == upd::DownloadOutcome::Complete;
        bench::Timing timing = bench::threadTime();
        timing.wallSeconds = double(wall.nsecsElapsed()) / 1e9;
        timing.userSeconds -= before.userSeconds;
        timing.systemSeconds -= before.systemSeconds;
        if (!ok || !complete(oursFile)) {
            std::fprintf(stderr, "DownloadAFile failed\n");
            std::exit(1);
        }
        return timing;
    };
    alternate(
        ours, theirs, runOurs, [&] { return curl(curlFile, url); }, {oursFile, curlFile},
        [&](int round) {
            std::printf("round %d: DownloadAFile %.0f MiB/s, %.3f s processor (%d ticks of "
                        "a 10 ms timer in %.0f ms); curl %.0f MiB/s, %.3f s processor\n",
                        round + 1, ours.speeds.back(), ours.cpu.back(), ticks,
                        FileSize / (1024.0 * 1024.0) / ours.speeds.back() * 1000,
                        theirs.speeds.back(), theirs.cpu.back());
            std::fflush(stdout);
        });
    server.stop();
    serving.join();

    compareWholeProcesses(QCoreApplication::applicationFilePath(), dir);

    std::printf("processor time per 256 MiB (medians): DownloadAFile %.3f s (user %.3f s), "
                "curl's whole process %.3f s (user %.3f s)\n",
                median(ours.cpu), median(ours.user), median(theirs.cpu), median(theirs.user));
    std::printf("cpu ratio %.2f (user %.2f)\n", median(ours.cpu) / median(theirs.cpu),
                median(ours.user) / median(theirs.user));
    std::printf("DownloadAFile median %.0f MiB/s\n", median(ours.speeds));
    std::printf("curl median %.0f MiB/s\n", median(theirs.speeds));
    std::printf("ratio %.2f\n", median(ours.speeds) / median(theirs.speeds));
    return 0;
}
