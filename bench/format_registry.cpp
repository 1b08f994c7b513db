#include "bench_format.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace bench {
namespace {

std::vector<FormatFamily>& families() {
    static std::vector<FormatFamily> registered;
    return registered;
}

} // namespace

FamilyRegistration::FamilyRegistration(FormatFamily family) {
    families().push_back(family);
}

bool installed(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':'))
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0)
            return true;
    return false;
}

std::vector<BenchFormat> allFormats() {
    std::vector<BenchFormat> all;
    for (FormatFamily family : families())
        for (BenchFormat& format : family())
            all.push_back(std::move(format));
    return all;
}

} // namespace bench
