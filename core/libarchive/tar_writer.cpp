#include "libarchive/tar_writer.h"

#include "input_walk.h"
#include "libarchive/archive_handles.h"

#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace cfr {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

ArchiveEntry makeEntry(const std::string& name, mode_t type, mode_t permissions, la_int64_t size) {
    ArchiveEntry entry(archive_entry_new());
    if (entry) {
        // Where the locale cannot express the name, libarchive would be left without one
        // (and crash on it): the bytes go in as they are.
        if (!archive_entry_update_pathname_utf8(entry.get(), name.c_str()))
            archive_entry_copy_pathname(entry.get(), name.c_str());
        archive_entry_set_size(entry.get(), size);
        archive_entry_set_filetype(entry.get(), type);
        archive_entry_set_perm(entry.get(), permissions);
    }
    return entry;
}

void reportBlock(TarWriteContext& context, std::size_t bytes) {
    context.doneBytes += bytes;
    const double fraction = double(context.doneBytes) / double(context.totalBytes);
    context.sink->report(std::min(fraction, 1.0));
    context.cancelled = context.sink->cancelled();
}

// Copies exactly size bytes: a file that grows meanwhile is cut where its header said. One
// that shrinks fails the job: the format would pad it with zeros, a copy that is not the file.
bool copyData(TarWriteContext& context, int fd, std::uint64_t size) {
    std::uint64_t left = size;
    while (left > 0) {
        const std::size_t want = std::min<std::uint64_t>(left, context.buffer.size());
        const ssize_t got = ::read(fd, context.buffer.data(), want);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        if (archive_write_data(context.writer, context.buffer.data(), std::size_t(got)) != got)
            return false;
        left -= std::uint64_t(got);
        reportBlock(context, std::size_t(got));
        if (context.cancelled)
            return false;
    }
    return left == 0;
}

class EntryWriter : public InputVisitor {
public:
    explicit EntryWriter(TarWriteContext& context) : context_(context) {}

    bool directory(const std::string& name, const std::filesystem::path&) override {
        ArchiveEntry entry = makeEntry(name + "/", AE_IFDIR, 0755, 0);
        if (!entry)
            return false;
        // A folder entry that cannot be written is not worth failing the job for.
        if (archive_write_header(context_.writer, entry.get()) == ARCHIVE_OK)
            ++context_.entries;
        return true;
    }

    bool file(const std::string& name, const std::filesystem::path& path) override {
        return tarAddFile(context_, name, path);
    }

private:
    TarWriteContext& context_;
};

} // namespace

bool tarAddPath(TarWriteContext& context, const std::string& name,
                const std::filesystem::path& path) {
    EntryWriter writer(context);
    return InputWalker(context.output).walk(name, path, writer);
}

bool tarAddFile(TarWriteContext& context, const std::string& name,
                const std::filesystem::path& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info;
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0)
        return false;
    const std::uint64_t size = std::uint64_t(info.st_size);
    ArchiveEntry entry = makeEntry(name, AE_IFREG, 0644, la_int64_t(size));
    if (!entry || archive_write_header(context.writer, entry.get()) != ARCHIVE_OK)
        return false;
    ++context.entries;
    return copyData(context, fd.get(), size);
}

} // namespace cfr
