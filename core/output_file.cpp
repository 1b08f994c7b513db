#include "output_file.h"

#include <unistd.h>

#include <algorithm>

namespace cfr {

OutputFile::~OutputFile() {
    discard();
}

bool OutputFile::open(const std::filesystem::path& path) {
    discard();
    std::error_code ec;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ec);
    // Replace rather than write through: what stood there may be a link to a file outside
    // the destination, or share its data with a file extracted earlier.
    ::unlink(path.c_str());
    file_ = std::fopen(path.c_str(), "wb");
    ok_ = file_ != nullptr;
    if (ok_)
        path_ = path;
    position_ = end_ = 0;
    return ok_;
}

bool OutputFile::write(const void* data, std::size_t size) {
    return writeAt(position_, data, size);
}

bool OutputFile::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    if (!file_ || !ok_)
        return false;
    if (offset != position_ && fseeko(file_, off_t(offset), SEEK_SET) != 0)
        ok_ = false;
    if (ok_ && size > 0 && std::fwrite(data, 1, size, file_) != size)
        ok_ = false;
    position_ = offset + size;
    end_ = std::max(end_, position_);
    return ok_;
}

bool OutputFile::extendTo(std::uint64_t length) {
    if (!file_ || !ok_)
        return false;
    if (length > end_ &&
        (std::fflush(file_) != 0 || ::ftruncate(fileno(file_), off_t(length)) != 0))
        ok_ = false;
    end_ = std::max(end_, length);
    return ok_;
}

bool OutputFile::close() {
    if (!file_)
        return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!ok_ || !closed) {
        discard();
        return false;
    }
    path_.clear();
    return true;
}

void OutputFile::discard() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!path_.empty())
        ::unlink(path_.c_str());
    path_.clear();
}

} // namespace cfr
