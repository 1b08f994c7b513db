// Archive kinds by file name, the two file probes, and per-kind capabilities.
#pragma once

#include <string>

namespace cfr {

int kindOfFileName(const std::string& path);
// Tar and the compressed tar kinds, and the single-stream kinds: libarchive's writer, no password.
bool isTarFamily(int kind);

// Both read path as the given kind. The encryption probe answers from headers alone and reads
// a bounded amount beyond the first.
bool libarchiveReadable(const std::string& path, int kind);
bool libarchiveEncrypted(const std::string& path, int kind);
bool zipReadable(const std::string& path);
bool zipEncrypted(const std::string& path);
bool writeFilterAvailable(int kind);

} // namespace cfr
