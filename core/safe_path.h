#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace cfr {

// Where an archive entry lands inside destDir, or nothing when the entry must be skipped:
// its lexically normal name is empty, absolute, climbs out with "..", or passes through a
// symbolic link that already stands inside destDir.
std::optional<std::filesystem::path> safeTarget(const std::filesystem::path& destDir,
                                                const std::string& entryName);

} // namespace cfr
