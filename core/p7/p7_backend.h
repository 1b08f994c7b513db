// 7z through the 7-Zip plugin (7z.so), loaded at run time.
#pragma once

#include "progress_sink.h"

#include <string>
#include <vector>

namespace cfr {

// Loads the plugin once per process; true when it can be used.
bool p7Available();

// Writes a 7z, or a zip (kind Zip; AES-256 with a password). An empty password encrypts
// nothing. A zip password must be one the plugin takes.
int p7Pack(const std::vector<std::string>& inputs, const std::string& dest,
           const std::string& password, const ProgressSink* sink, int kind = SevenZip);
int p7Extract(const std::string& archive, const std::string& destDir, const std::string& password,
              const ProgressSink* sink);
// A zip password the plugin encrypts and decrypts with: not empty, and ASCII (it refuses any
// other for zip).
bool p7TakesZipPassword(const std::string& password);

// Zip archives libzip cannot read, and WinZip AES archives with a password the plugin takes:
// methods it lacks, a stub or padding before the archive, names flagged UTF-8 that are not.
int p7ExtractZip(const std::string& archive, const std::string& destDir,
                 const std::string& password, const ProgressSink* sink);

struct P7Probe {
    bool opened = false;
    bool encrypted = false; // some entry is
};
// Opens a zip through the plugin without extracting anything.
P7Probe p7ProbeZip(const std::string& archive);

} // namespace cfr
