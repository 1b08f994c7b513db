#pragma once

#include <filesystem>
#include <string>

namespace cfr {

// The folder for intermediate files: the one set with cfr::setTempDir, else the system's.
std::filesystem::path tempRoot();

} // namespace cfr
