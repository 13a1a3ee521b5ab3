#pragma once

#include <string>
#include <vector>

namespace bench {

// Wall and processor time of one piece of work.
struct Timing {
    double wallSeconds = 0;
    double userSeconds = 0;
    double systemSeconds = 0;
    double cpuSeconds() const { return userSeconds + systemSeconds; }
};

// Runs a program (looked up in PATH) to its end, as a whole process: its wall time and the
// processor time the kernel accounted to it. `exitCode` is -1 when it could not start or died.
Timing runProcess(const std::vector<std::string>& arguments, int& exitCode);

// The processor time of the calling thread so far (its user and system time).
Timing threadTime();

} // namespace bench
