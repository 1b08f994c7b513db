// What a RAR file's block headers say about it, read without decompressing anything.
// libarchive does not report RAR 5 encryption, and nothing reports where a volume set ends.
#pragma once

#include <string>

namespace cfr {

struct RarHeaders {
    bool volume = false;    // one part of a multi-volume set
    bool continues = false; // another part must follow this one
    bool encrypted = false; // some entry, or the headers themselves
};

// Reads RAR 4 (1.5 to 4.x) and RAR 5 headers, skipping the data between them.
RarHeaders readRarHeaders(const std::string& path);

} // namespace cfr
