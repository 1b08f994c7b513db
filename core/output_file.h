#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>

namespace cfr {

// A file being extracted. Every write and the close are checked, so a short write or a
// full disk is seen by the caller instead of passing for success.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the parent folders, then creates or truncates the file.
    bool open(const std::filesystem::path& path);
    bool write(const void* data, std::size_t size);
    // True only when every write and the close itself succeeded.
    bool close();

private:
    std::FILE* file_ = nullptr;
    bool ok_ = true;
};

} // namespace cfr
