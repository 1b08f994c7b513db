#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace cfr {

// A file being extracted. Every write and the close are checked, so a short write or a
// full disk is seen by the caller instead of passing for success. The file is kept only
// when close() succeeds: a failed, cancelled or abandoned entry leaves nothing behind,
// whichever reader wrote it.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the parent folders, then creates or truncates the file.
    bool open(const std::filesystem::path& path);
    bool write(const void* data, std::size_t size);
    // Writes at a given offset; the gap before it stays a hole that reads as zeros.
    bool writeAt(std::uint64_t offset, const void* data, std::size_t size);
    // Grows the file to length without writing, for a hole at its end.
    bool extendTo(std::uint64_t length);
    // How far into the file data has been written.
    std::uint64_t end() const { return end_; }
    // True only when every write and the close itself succeeded; otherwise the file is gone.
    bool close();
    // Removes the file whatever was written: its content is known to be wrong.
    void discard();

private:
    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
    std::uint64_t position_ = 0;
    std::uint64_t end_ = 0;
    bool ok_ = true;
};

} // namespace cfr
