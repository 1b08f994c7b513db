// What the callbacks read: one record per entry, built and owned by the operation.
#pragma once

#include <cstdint>
#include <string>

namespace cfr {

struct UpdateItem {
    std::wstring name;  // path inside the archive, components joined by "/"
    std::string fsPath; // where the data is read from
    bool isDir = false;
    std::uint64_t size = 0;
    std::int64_t mtime = 0; // whole seconds since 1970-01-01 UTC
};

struct ExtractItem {
    std::string path; // where the entry lands; empty when it must not be written
    bool isDir = false;
    bool encrypted = false;
    bool sizeKnown = false;
    std::uint64_t size = 0; // what the archive says the entry holds, when known
};

} // namespace cfr
