#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace cfr {

// Where an archive entry lands inside destDir, or nothing when the entry must be skipped:
// its lexically normal name is empty, absolute, or climbs out with "..".
std::optional<std::filesystem::path> safeTarget(const std::filesystem::path& destDir,
                                                const std::string& entryName);

} // namespace cfr
