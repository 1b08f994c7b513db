// Archive kinds by file name, the two file probes, and per-kind capabilities.
#pragma once

#include <string>

namespace cfr {

int kindOfFileName(const std::string& path);

bool libarchiveReadable(const std::string& path);
bool libarchiveEncrypted(const std::string& path);
bool zipReadable(const std::string& path);
bool zipEncrypted(const std::string& path);
bool writeFilterAvailable(int kind);

} // namespace cfr
