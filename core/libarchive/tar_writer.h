// The writer's per-job state and the functions that turn inputs into entries.
#pragma once

#include "progress_sink.h"
#include "staged_file.h"

#include <archive.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace cfr {

struct TarWriteContext {
    archive* writer = nullptr;
    const ProgressSink* sink = nullptr;
    std::uint64_t totalBytes = 1;
    std::uint64_t doneBytes = 0;
    // The archive being written and the one it replaces, left out of the walk.
    const StagedFile* output = nullptr;
    bool cancelled = false;
    // Entries stored so far, folders included.
    std::uint64_t entries = 0;
    std::vector<char> buffer = std::vector<char>(65536);
};

// Stores path under name: a folder with its whole tree, anything else as one regular file.
bool tarAddPath(TarWriteContext& context, const std::string& name,
                const std::filesystem::path& path);
// Stores one regular file (the target of a link) under name.
bool tarAddFile(TarWriteContext& context, const std::string& name,
                const std::filesystem::path& path);

} // namespace cfr
