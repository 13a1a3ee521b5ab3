#pragma once

#include <string>
#include <sys/types.h>

namespace bench {

struct NginxTuning {
    unsigned workers = 1;
    unsigned connectionsPerWorker = 64;
};

// nginx serving the files of one directory on a free port of 127.0.0.1, for as long as the object
// lives, tuned for static files as a production site would be. Its configuration, logs and
// temporary files go to `workDirectory`.
class NginxServer {
public:
    NginxServer(const std::string& servedDirectory, const std::string& workDirectory,
                NginxTuning tuning = {});
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    // False when nginx is not installed or did not start; `problem()` says which.
    bool serving() const { return port_ > 0; }
    const std::string& problem() const { return problem_; }
    int port() const { return port_; }
    std::string url(const std::string& path) const;

private:
    pid_t pid_ = 0;
    int port_ = 0;
    std::string problem_;
};

} // namespace bench
