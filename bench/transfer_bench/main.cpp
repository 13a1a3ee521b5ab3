// Downloads a 256 MiB file from a local HTTP server with DownloadAFile (progress in a real
// offscreen window) and with curl, alternately, and prints both throughputs and their ratio.

#include "core/event_loop.h"
#include "core/prompts.h"
#include "transfer/single_file_transfer.h"
#include "ui/frm_start.h"
#include "wizard/unavailable_steps.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <httplib.h>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr size_t FileSize = size_t{256} * 1024 * 1024;
constexpr int Rounds = 5;

class SilentPrompts final : public upd::Prompts {
public:
    upd::MessageAnswer messageBox(const QString&, upd::MessageButtons, upd::MessageIcon,
                                  const QString&) override {
        return upd::MessageAnswer::Ok;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double mibPerSecond(qint64 nanoseconds) {
    return (static_cast<double>(FileSize) / (1024.0 * 1024.0)) / (nanoseconds / 1e9);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's remarks are not figures.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication app(argc, argv);

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

    // The program's own main window shows the progress, on its download tab.
    upd::QtEventLoop loop;
    SilentPrompts prompts;
    upd::Session session;
    session.host.ProgID = QStringLiteral("QGR");
    upd::UnavailableWizardSteps steps;
    upd::frmStart window(session, prompts, loop, steps);
    window.Form_Load();
    window.show();
    window.state().moveWizardTo(upd::wizard::DownloadNewUpdater);
    window.controls().tabs().setCurrentTab(upd::tab::Download);
    upd::TransferControl Inet1(loop);
    upd::SingleFileTransfer transfer(loop, window.transferDisplay(), Inet1);
    QTemporaryDir dir;

    std::vector<double> ours;
    std::vector<double> curls;
    for (int round = 0; round < Rounds; ++round) {
        const QString oursFile = dir.filePath(QStringLiteral("ours.bin"));
        // A 10 ms timer shows that the window answers while the download runs.
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        QElapsedTimer timer;
        timer.start();
        const bool ok =
            transfer.DownloadAFile(oursFile, url, true) == upd::DownloadOutcome::Complete;
        const qint64 oursTime = timer.nsecsElapsed();
        ticker.stop();
        if (!ok || QFileInfo(oursFile).size() != static_cast<qint64>(FileSize)) {
            std::fprintf(stderr, "DownloadAFile failed\n");
            return 1;
        }
        ours.push_back(mibPerSecond(oursTime));

        const QString curlFile = dir.filePath(QStringLiteral("curl.bin"));
        timer.restart();
        const int curlExit = QProcess::execute(
            QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-o"), curlFile, url});
        const qint64 curlTime = timer.nsecsElapsed();
        if (curlExit != 0) {
            std::fprintf(stderr, "curl failed\n");
            return 1;
        }
        curls.push_back(mibPerSecond(curlTime));
        std::printf("round %d: DownloadAFile %.0f MiB/s (%d ticks of a 10 ms timer in %.0f ms), "
                    "curl %.0f MiB/s\n",
                    round + 1, ours.back(), ticks, oursTime / 1e6, curls.back());
        std::fflush(stdout);
    }

    server.stop();
    serving.join();
    std::printf("DownloadAFile median %.0f MiB/s\n", median(ours));
    std::printf("curl median %.0f MiB/s\n", median(curls));
    std::printf("ratio %.2f\n", median(ours) / median(curls));
    return 0;
}
