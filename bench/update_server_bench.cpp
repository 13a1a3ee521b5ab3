// Figures of the update server: program queries per second over HTTP against building the same
// answer in-process, and the download rate of a large update file against reading it from disk.

#include "updateserver/answers.h"
#include "updateserver/update_server.h"

#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <httplib.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main() {
    using namespace upd::server;
    constexpr int Queries = 5000;
    constexpr std::size_t FileSize = 256u << 20;
    const std::string query = "VERS=3v1v0&PID=QGR&MID=1&SFA=M%FCller&IUVERS=2v1v14";

    // A copy of nothing but what the figures need: the sample catalog plus one large file.
    QTemporaryDir dir;
    const std::filesystem::path root = dir.path().toStdString();
    std::filesystem::copy(SAMPLE_CATALOG_DIR, root, std::filesystem::copy_options::recursive);
    {
        std::ofstream big(root / "files/downloads/gross.bin", std::ios::binary);
        const std::vector<char> block(1 << 20, 'x');
        for (std::size_t written = 0; written < FileSize; written += block.size())
            big.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    const auto deployment = upd::DeploymentSettings::fromEnvironment();
    const Catalog catalog = Catalog::load(root);

    auto start = Clock::now();
    for (int i = 0; i < Queries; ++i)
        programUpdateAnswer(catalog, deployment, QueryParameters::parse(query));
    const double inProcess = Queries / seconds(start);

    UpdateServer server(Catalog::load(root), deployment, nullptr);
    const int port = server.start("127.0.0.1", 0);
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true); // as libcurl does
    start = Clock::now();
    for (int i = 0; i < Queries; ++i)
        client.Get(("/update.aspx?" + query).c_str());
    const double overHttp = Queries / seconds(start);

    start = Clock::now();
    {
        std::ifstream file(root / "files/downloads/gross.bin", std::ios::binary);
        std::vector<char> block(1 << 16);
        while (file.read(block.data(), static_cast<std::streamsize>(block.size())))
            ;
    }
    const double diskRate = FileSize / seconds(start) / 1e6;
    start = Clock::now();
    std::size_t received = 0;
    client.Get("/downloads/gross.bin", [&](const char*, std::size_t length) {
        received += length;
        return true;
    });
    const double httpRate = received / seconds(start) / 1e6;

    std::printf("update.aspx: %.0f answers/s over HTTP, %.0f/s built in-process (ratio %.2f)\n",
                overHttp, inProcess, overHttp / inProcess);
    std::printf("download of %zu MB: %.0f MB/s over HTTP, %.0f MB/s read from disk (ratio %.2f)\n",
                received >> 20, httpRate, diskRate, httpRate / diskRate);
    server.stop();
    return received == FileSize ? 0 : 1;
}
