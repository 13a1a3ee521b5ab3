#include "process_timing.h"

#include <chrono>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace bench {
namespace {

double seconds(const timeval& time) {
    return double(time.tv_sec) + double(time.tv_usec) / 1e6;
}

} // namespace

Timing runProcess(const std::vector<std::string>& arguments, int& exitCode) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    Timing timing;
    exitCode = -1;
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return timing;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return timing;
    timing.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    timing.userSeconds = seconds(usage.ru_utime);
    timing.systemSeconds = seconds(usage.ru_stime);
    if (WIFEXITED(status))
        exitCode = WEXITSTATUS(status);
    return timing;
}

Timing threadTime() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    Timing timing;
    timing.userSeconds = seconds(usage.ru_utime);
    timing.systemSeconds = seconds(usage.ru_stime);
    return timing;
}

} // namespace bench
