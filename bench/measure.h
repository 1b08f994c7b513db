// Runs one job in a child process and reports its wall time and peak memory, so that our
// engine and a peer tool are measured the same way.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace bench {

struct Measurement {
    bool ran = false; // false: nothing was run (no peer for this format)
    bool ok = false;
    double seconds = 0;
    long peakKiB = 0; // the child's maximum resident set
};

// job runs in a forked child; its return value 0 means success.
Measurement measureInChild(const std::function<int()>& job);
// script runs under "sh -c" with args as "$1", "$2", ...
Measurement measureShell(const std::string& script, const std::vector<std::string>& args);

} // namespace bench
