#include "temp_root.h"

#include "cfr.h"

namespace cfr {
namespace {
std::string tempDirOverride;
}

void setTempDir(const char* dir) {
    tempDirOverride = dir ? dir : "";
}

std::filesystem::path tempRoot() {
    if (!tempDirOverride.empty())
        return tempDirOverride;
    std::error_code ec;
    auto dir = std::filesystem::temp_directory_path(ec);
    return ec ? std::filesystem::path("/tmp") : dir;
}

} // namespace cfr
