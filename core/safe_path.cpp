#include "safe_path.h"

namespace cfr {

std::optional<std::filesystem::path> safeTarget(const std::filesystem::path& destDir,
                                                const std::string& entryName) {
    std::string name = entryName;
    // Archives written on Windows may separate with backslashes.
    for (char& c : name)
        if (c == '\\')
            c = '/';
    const std::filesystem::path normal = std::filesystem::path(name).lexically_normal();
    if (normal.empty() || normal.has_root_directory() || normal.has_root_name())
        return std::nullopt;
    const auto first = *normal.begin();
    if (first == ".." || first == ".")
        return std::nullopt;
    return destDir / normal;
}

} // namespace cfr
