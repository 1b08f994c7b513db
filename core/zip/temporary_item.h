// A temporary file or folder that is removed, with everything in it, when the scope ends.
#pragma once

#include <filesystem>

namespace cfr {

class TemporaryItem {
public:
    explicit TemporaryItem(std::filesystem::path path) : path_(std::move(path)) {}
    ~TemporaryItem() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryItem(const TemporaryItem&) = delete;
    TemporaryItem& operator=(const TemporaryItem&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace cfr
