#include "nginx_server.h"

#include "free_port.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace bench {
namespace {

namespace fs = std::filesystem;

std::string findNginx() {
    for (const char* directory : {"/usr/sbin", "/usr/local/sbin", "/usr/bin", "/usr/local/bin"}) {
        const fs::path candidate = fs::path(directory) / "nginx";
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
    }
    return {};
}

bool accepts(int port) {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool connected =
        ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(probe);
    return connected;
}

} // namespace

NginxServer::NginxServer(const std::string& servedDirectory, const std::string& workDirectory,
                         NginxTuning tuning) {
    const std::string program = findNginx();
    if (program.empty()) {
        problem_ = "nginx is not installed (scripts/install-deps)";
        return;
    }
    // The workers may run as another user and must read what they serve.
    for (const fs::path& path : {fs::path(workDirectory), fs::path(servedDirectory)})
        fs::permissions(path,
                        fs::perms::others_read | fs::perms::others_exec | fs::perms::group_read |
                            fs::perms::group_exec,
                        fs::perm_options::add);
    const int port = freePort();
    const std::string& w = workDirectory;
    // The access log goes to /dev/null: written like ours, kept nowhere.
    std::ofstream(w + "/nginx.conf")
        << "daemon off;\nworker_processes " << tuning.workers << ";\nerror_log " << w
        << "/error.log;\npid " << w << "/nginx.pid;\nevents { worker_connections "
        << tuning.connectionsPerWorker << "; }\n"
        << "http {\n  access_log /dev/null;\n"
        << "  sendfile on; tcp_nopush on; keepalive_requests 100000;\n"
        << "  client_body_temp_path " << w << "/b; proxy_temp_path " << w << "/p;\n"
        << "  fastcgi_temp_path " << w << "/f; uwsgi_temp_path " << w << "/u; scgi_temp_path " << w
        << "/s;\n  server { listen 127.0.0.1:" << port << "; root " << servedDirectory
        << "; }\n}\n";
    std::vector<std::string> arguments = {program,          "-p", w, "-e", w + "/error.log", "-c",
                                          w + "/nginx.conf"};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        pid_ = 0;
        problem_ = "nginx could not be started";
        return;
    }
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (accepts(port)) {
            port_ = port;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    problem_ = "nginx did not start serving";
}

NginxServer::~NginxServer() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

std::string NginxServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

} // namespace bench
