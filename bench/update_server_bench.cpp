// Figures of the update server program against nginx on the same machine, in the same run:
// "update.aspx" with keep-alive at 1, 50 and 500 clients (wrk) against nginx serving the same
// small answer as a static file; a 256 MB update file; a 50 MB data answer fetched eight times
// at once, with the server's memory. The last line is "ratio R": our answers per second over
// nginx's for the small answer at 50 clients (medians).

#include "common/free_port.h"
#include "common/nginx_server.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <httplib.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int Rounds = 3;
constexpr int WrkSeconds = 3;
constexpr std::size_t LargeFileSize = 256u << 20;
constexpr std::size_t DataAnswerTarget = 50u << 20;
const std::string Search = "/update.aspx?VERS=3v1v0&PID=QGR&MID=1&SFA=M%FCller&IUVERS=2v1v14";
const std::string DataQuery = "/dataupdate.aspx?VERS=3v1v0&PID=QGR&DBVers=2024.01&MODUS=2";

struct Spread {
    double min, median, max;
};

Spread spread(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2], values.back()};
}

std::string run(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char block[4096];
        while (std::size_t got = std::fread(block, 1, sizeof block, pipe))
            output.append(block, got);
        ::pclose(pipe);
    }
    return output;
}

// Requests per second and the 99th percentile of the latency in ms, from wrk's report.
std::pair<double, double> wrk(int port, const std::string& target, int clients) {
    const int threads = std::min(clients, 2);
    const std::string report =
        run("wrk --latency -t" + std::to_string(threads) + " -c" + std::to_string(clients) + " -d" +
            std::to_string(WrkSeconds) + "s 'http://127.0.0.1:" + std::to_string(port) + target +
            "' 2>&1");
    const QString text = QString::fromStdString(report);
    const auto rate = QRegularExpression(R"(Requests/sec:\s+([\d.]+))").match(text);
    const auto p99 = QRegularExpression(R"(\n\s+99%\s+([\d.]+)(us|ms|s)\b)").match(text);
    double latency = p99.hasMatch() ? p99.captured(1).toDouble() : -1;
    if (p99.captured(2) == "us")
        latency /= 1000;
    else if (p99.captured(2) == "s")
        latency *= 1000;
    if (!rate.hasMatch())
        std::fprintf(stderr, "wrk gave no figures:\n%s\n", report.c_str());
    return {rate.hasMatch() ? rate.captured(1).toDouble() : 0, latency};
}

// Seconds for `clients` simultaneous GETs of `target`; every byte is read and counted.
double fetchAtOnce(int port, const std::string& target, int clients, std::size_t expected) {
    std::atomic<bool> complete = true;
    const auto start = Clock::now();
    std::vector<std::thread> fetchers;
    for (int i = 0; i < clients; ++i)
        fetchers.emplace_back([&] {
            httplib::Client client("127.0.0.1", port);
            client.set_url_encode(false);
            client.set_read_timeout(120);
            std::size_t received = 0;
            const auto result = client.Get(target.c_str(), [&](const char*, std::size_t length) {
                received += length;
                return true;
            });
            if (!result || result->status != 200 || received != expected)
                complete = false;
        });
    for (std::thread& fetcher : fetchers)
        fetcher.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!complete)
        std::fprintf(stderr, "a download of %s was incomplete\n", target.c_str());
    return seconds;
}

double memoryMiB(qint64 pid, const char* field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(std::strlen(field) + 1)) / 1024;
    return -1;
}

// A data payload of about `size` bytes with the sets of the QGR driver.
void writeLargePayload(const fs::path& file, std::size_t size) {
    std::ofstream out(file, std::ios::binary);
    out << "<dataupdate><new_indik><datensaetze>";
    for (std::size_t i = 0, written = 0; written < size; ++i) {
        const std::string record =
            "<datensatz><id_item>" + std::to_string(100000 + i) +
            "</id_item><id_synonim>901</id_synonim><Name>Kopfschmerz Nummer " + std::to_string(i) +
            " mit Übelkeit &amp; Schwindel</Name><Hauptname>1</Hauptname><createdate>2024-06-01"
            "</createdate><lastupdate>2024-06-01</lastupdate></datensatz>";
        out << record;
        written += record.size();
    }
    out << "</datensaetze></new_indik></dataupdate>";
}

struct Program {
    QProcess process;
    ~Program() {
        process.kill();
        process.waitForFinished(5000);
    }
};

bool waitUntilServing(int port) {
    httplib::Client client("127.0.0.1", port);
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (client.Get("/"))
            return true;
        QThread::msleep(25);
    }
    return false;
}

} // namespace

int main() {
    if (QStandardPaths::findExecutable("wrk").isEmpty()) {
        std::fprintf(stderr, "wrk is needed (scripts/install-deps)\n");
        return 1;
    }
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString();
    const fs::path catalog = root / "catalog";
    fs::copy(SAMPLE_CATALOG_DIR, catalog, fs::copy_options::recursive);
    {
        std::ofstream big(catalog / "files/downloads/gross.bin", std::ios::binary);
        const std::vector<char> block(1 << 20, 'x');
        for (std::size_t written = 0; written < LargeFileSize; written += block.size())
            big.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    writeLargePayload(catalog / "data/qgr-2024.06.xml", DataAnswerTarget);

    const int ourPort = bench::freePort();
    Program server;
    server.process.setStandardOutputFile(QProcess::nullDevice()); // the access log, written
    server.process.start(UPDATE_SERVER_PROGRAM,
                         {"--catalog", QString::fromStdString(catalog.string()), "--listen",
                          QStringLiteral("127.0.0.1:%1").arg(ourPort), "--connections-per-address",
                          "0"});
    if (!waitUntilServing(ourPort)) {
        std::fprintf(stderr, "the update server did not start\n");
        return 1;
    }
    const qint64 pid = server.process.processId();
    const double loadPeak = memoryMiB(pid, "VmHWM:");

    // nginx serves the very bytes of our answers as static files.
    const fs::path statics = root / "static";
    fs::create_directories(statics);
    httplib::Client ours("127.0.0.1", ourPort);
    ours.set_url_encode(false);
    const auto small = ours.Get(Search);
    const auto data = ours.Get(DataQuery);
    if (!small || !data) {
        std::fprintf(stderr, "the update server gave no answer\n");
        return 1;
    }
    std::ofstream(statics / "small.xml", std::ios::binary) << small->body;
    std::ofstream(statics / "data.xml", std::ios::binary) << data->body;
    fs::create_symlink(catalog / "files/downloads/gross.bin", statics / "gross.bin");
    const bench::NginxServer nginx(statics.string(), root.string(),
                                   {std::max(2u, std::thread::hardware_concurrency()), 4096});
    if (!nginx.serving()) {
        std::fprintf(stderr, "%s\n", nginx.problem().c_str());
        return 1;
    }
    const int nginxPort = nginx.port();
    const auto copy = httplib::Client("127.0.0.1", nginxPort).Get("/small.xml");
    if (!copy || copy->status != 200 || copy->body != small->body) {
        std::fprintf(stderr, "nginx does not serve the copied answer\n");
        return 1;
    }

    std::printf("conditions: %u cores, load average %s", std::thread::hardware_concurrency(),
                run("cut -d' ' -f1-3 /proc/loadavg").c_str());
    std::printf("wrk %d s per round, keep-alive, %d rounds each, min / median / max; "
                "both servers write an access log (nginx to /dev/null)\n",
                WrkSeconds, Rounds);
    std::printf("small answer: %zu bytes (update.aspx; nginx: the same bytes as a file)\n",
                small->body.size());
    double ratio50 = 0;
    for (const int clients : {1, 50, 500}) {
        std::vector<double> ourRate, nginxRate, ourP99, nginxP99;
        for (int round = 0; round < Rounds; ++round) {
            auto [rate, p99] = wrk(ourPort, Search, clients);
            ourRate.push_back(rate);
            ourP99.push_back(p99);
            std::tie(rate, p99) = wrk(nginxPort, "/small.xml", clients);
            nginxRate.push_back(rate);
            nginxP99.push_back(p99);
        }
        const Spread a = spread(ourRate), b = spread(nginxRate);
        const Spread la = spread(ourP99), lb = spread(nginxP99);
        std::printf("%3d clients: ours %.0f / %.0f / %.0f req/s, p99 %.1f / %.1f / %.1f ms; "
                    "nginx %.0f / %.0f / %.0f req/s, p99 %.1f / %.1f / %.1f ms; ratio %.2f\n",
                    clients, a.min, a.median, a.max, la.min, la.median, la.max, b.min, b.median,
                    b.max, lb.min, lb.median, lb.max, a.median / b.median);
        if (clients == 50)
            ratio50 = a.median / b.median;
    }

    std::vector<double> ourLarge, nginxLarge;
    for (int round = 0; round < Rounds; ++round) {
        ourLarge.push_back(LargeFileSize / 1e6 /
                           fetchAtOnce(ourPort, "/downloads/gross.bin", 1, LargeFileSize));
        nginxLarge.push_back(LargeFileSize / 1e6 /
                             fetchAtOnce(nginxPort, "/gross.bin", 1, LargeFileSize));
    }
    const Spread a = spread(ourLarge), b = spread(nginxLarge);
    std::printf("256 MB file, one client: ours %.0f / %.0f / %.0f MB/s; nginx %.0f / %.0f / %.0f "
                "MB/s; ratio %.2f\n",
                a.min, a.median, a.max, b.min, b.median, b.max, a.median / b.median);

    // Eight at once, while the server's resident memory is sampled.
    const double restingMiB = memoryMiB(pid, "VmRSS:");
    std::vector<double> ourData, nginxData;
    double busiestMiB = restingMiB;
    for (int round = 0; round < Rounds; ++round) {
        std::atomic<bool> fetching = true;
        std::thread sampler([&] {
            while (fetching) {
                busiestMiB = std::max(busiestMiB, memoryMiB(pid, "VmRSS:"));
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
        ourData.push_back(fetchAtOnce(ourPort, DataQuery, 8, data->body.size()));
        fetching = false;
        sampler.join();
        nginxData.push_back(fetchAtOnce(nginxPort, "/data.xml", 8, data->body.size()));
    }
    const Spread c = spread(ourData), d = spread(nginxData);
    const double answerMiB = data->body.size() / 1048576.0;
    std::printf("data answer of %.1f MiB, 8 clients at once: ours %.3f / %.3f / %.3f s; nginx "
                "%.3f / %.3f / %.3f s; time ratio %.2f\n",
                answerMiB, c.min, c.median, c.max, d.min, d.median, d.max, c.median / d.median);
    std::printf("server memory: %.0f MiB at rest (the answer built once included), %.0f MiB at "
                "most while sending = %.2f x the answer; %.0f MiB peak while loading the "
                "catalog\n",
                restingMiB, busiestMiB, busiestMiB / answerMiB, loadPeak);
    std::printf("ratio %.2f\n", ratio50);
    return 0;
}
