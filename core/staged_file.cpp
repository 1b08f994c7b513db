#include "staged_file.h"

#include "random_text.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <utility>

namespace cfr {
namespace fs = std::filesystem;
namespace {

// The room a file name leaves for the temporary's dot, random part and suffix.
const std::size_t longestNameKept = 200;

// umask() cannot be read without being set, which would race other threads creating files.
mode_t newFileMode() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0)
            return 0666 & ~mode_t(std::stoul(line.substr(6), nullptr, 8));
    return 0644;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

StagedFile::StagedFile(const std::string& destination) {
    // A link is followed: the file it points to is replaced and the link kept, as writing
    // through it would.
    std::error_code ec;
    const fs::path target = fs::canonical(destination, ec);
    destination_ = ec ? destination : target.string();
}

StagedFile::~StagedFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (committed_ || path_.empty() || ::unlink(path_.c_str()) == 0)
        return;
    // A folder made read-only meanwhile keeps the temporary; it need not keep the space.
    const int fd = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
}

bool StagedFile::create() {
    if (destination_.empty() || !path_.empty())
        return false;
    struct stat info {};
    replacesFile_ = ::stat(destination_.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    if (replacesFile_)
        destinationInfo_ = info;
    const fs::path destination(destination_);
    const std::string name = destination.filename().string().substr(0, longestNameKept);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const fs::path candidate =
            destination.parent_path() / ("." + name + "." + randomHex(4) + ".part");
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            path_ = candidate.string();
            return ::fstat(fd_, &temporaryInfo_) == 0;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool StagedFile::isOutput(const struct stat& info) const {
    return (replacesFile_ && sameFile(info, destinationInfo_)) ||
           (!path_.empty() && sameFile(info, temporaryInfo_));
}

bool StagedFile::commit() {
    if (path_.empty() || committed_)
        return false;
    const bool written = ::close(std::exchange(fd_, -1)) == 0;
    // Opened anew: a library may have put a file of its own in the temporary's place.
    const int fd = written ? ::open(path_.c_str(), O_RDWR | O_CLOEXEC) : -1;
    if (fd < 0)
        return false;
    const mode_t mode = replacesFile_ ? destinationInfo_.st_mode & 07777 : newFileMode();
    // A full disk may show only now, when delayed writes are given their blocks.
    const bool flushed = ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!flushed || !closed || ::rename(path_.c_str(), destination_.c_str()) != 0)
        return false;
    committed_ = true;
    return true;
}

int commitStaged(StagedFile& staged, const ProgressSink* sink) {
    if (sink && sink->cancelled())
        return Cancelled;
    return staged.commit() ? Ok : Failed;
}

} // namespace cfr
