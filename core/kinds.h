// Archive kinds by file name, the two file probes, and per-kind capabilities.
#pragma once

#include <string>

namespace cfr {

int kindOfFileName(const std::string& path);
// Tar and the compressed tar kinds, and the single-stream kinds: libarchive's writer, no password.
bool isTarFamily(int kind);

bool libarchiveReadable(const std::string& path);
bool libarchiveEncrypted(const std::string& path);
bool zipReadable(const std::string& path);
bool zipEncrypted(const std::string& path);
bool writeFilterAvailable(int kind);

} // namespace cfr
