#include "measure.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace bench {
namespace {

Measurement waitFor(pid_t child, std::chrono::steady_clock::time_point started) {
    Measurement m;
    m.ran = true;
    if (child < 0)
        return m;
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child)
        return m;
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    m.peakKiB = usage.ru_maxrss;
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

} // namespace

Measurement measureInChild(const std::function<int()>& job) {
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(job() == 0 ? 0 : 1);
    return waitFor(child, started);
}

Measurement measureShell(const std::string& script, const std::vector<std::string>& args) {
    std::vector<const char*> argv{"sh", "-c", script.c_str(), "sh"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    argv.push_back(nullptr);
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp("sh", const_cast<char* const*>(argv.data()));
        ::_exit(127);
    }
    return waitFor(child, started);
}

} // namespace bench
