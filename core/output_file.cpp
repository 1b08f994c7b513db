#include "output_file.h"

#include <unistd.h>

namespace cfr {

OutputFile::~OutputFile() {
    if (file_)
        std::fclose(file_);
}

bool OutputFile::open(const std::filesystem::path& path) {
    std::error_code ec;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ec);
    // Replace rather than write through: what stood there may be a link to a file outside
    // the destination, or share its data with a file extracted earlier.
    ::unlink(path.c_str());
    file_ = std::fopen(path.c_str(), "wb");
    ok_ = file_ != nullptr;
    return ok_;
}

bool OutputFile::write(const void* data, std::size_t size) {
    if (!file_ || !ok_)
        return false;
    if (size > 0 && std::fwrite(data, 1, size, file_) != size)
        ok_ = false;
    return ok_;
}

bool OutputFile::close() {
    if (!file_)
        return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok_ && closed;
}

} // namespace cfr
