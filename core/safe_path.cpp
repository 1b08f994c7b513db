#include "safe_path.h"

namespace cfr {
namespace fs = std::filesystem;

namespace {

// A link already standing in the destination (put there by the user or by some other
// program; extraction never makes links) could carry an entry anywhere on the disk.
bool passesThroughLink(const fs::path& destDir, const fs::path& normal) {
    // "dir/" names the folder itself; only the folders above the last name are passed through.
    const fs::path relative = normal.has_filename() ? normal : normal.parent_path();
    fs::path walked = destDir;
    auto last = relative.end();
    --last;
    for (auto it = relative.begin(); it != last; ++it) {
        walked /= *it;
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(walked, ec)))
            return true;
    }
    return false;
}

} // namespace

std::optional<fs::path> safeTarget(const fs::path& destDir, const std::string& entryName) {
    std::string name = entryName;
    // Archives written on Windows may separate with backslashes.
    for (char& c : name)
        if (c == '\\')
            c = '/';
    const fs::path normal = fs::path(name).lexically_normal();
    if (normal.empty() || normal.has_root_directory() || normal.has_root_name())
        return std::nullopt;
    const auto first = *normal.begin();
    if (first == ".." || first == ".")
        return std::nullopt;
    if (passesThroughLink(destDir, normal))
        return std::nullopt;
    return destDir / normal;
}

} // namespace cfr
