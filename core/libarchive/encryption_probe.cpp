// Whether a rar or 7z holds encrypted entries, found from its headers with a bounded read.
#include "kinds.h"

#include "libarchive/archive_handles.h"
#include "libarchive/kind_reader.h"

#include <archive_entry.h>

#include <cerrno>
#include <cstdio>

namespace cfr {
namespace {

const int kMaxProbedHeaders = 100000;
// Skipping an entry of a solid archive means decompressing it; past the first header the
// probe reads at most this much, so that a probe stays quick on any archive.
const std::int64_t kReadBudget = 16384;
const std::size_t kChunk = 4096;

// The archive file as libarchive reads it: seeks are free, reads are counted once the
// budget is switched on.
class BudgetedFile {
public:
    explicit BudgetedFile(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}
    ~BudgetedFile() {
        if (file_)
            std::fclose(file_);
    }
    BudgetedFile(const BudgetedFile&) = delete;
    BudgetedFile& operator=(const BudgetedFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    void startCounting() { counting_ = true; }

    static la_ssize_t read(archive* reader, void* self, const void** buffer) {
        auto* file = static_cast<BudgetedFile*>(self);
        std::size_t wanted = kChunk;
        if (file->counting_) {
            if (file->budget_ <= 0) {
                archive_set_error(reader, EIO, "probe read budget spent");
                return -1;
            }
            wanted = std::min<std::size_t>(wanted, std::size_t(file->budget_));
        }
        const std::size_t got = std::fread(file->buffer_, 1, wanted, file->file_);
        if (file->counting_)
            file->budget_ -= std::int64_t(got);
        *buffer = file->buffer_;
        return std::ferror(file->file_) ? -1 : la_ssize_t(got);
    }

    static la_int64_t seek(archive*, void* self, la_int64_t offset, int whence) {
        std::FILE* file = static_cast<BudgetedFile*>(self)->file_;
        if (fseeko(file, off_t(offset), whence) != 0)
            return ARCHIVE_FATAL;
        return ftello(file);
    }

private:
    std::FILE* file_;
    bool counting_ = false;
    std::int64_t budget_ = kReadBudget;
    char buffer_[kChunk];
};

bool openBudgeted(archive* reader, BudgetedFile& file) {
    return file.isOpen() &&
           archive_read_set_read_callback(reader, BudgetedFile::read) == ARCHIVE_OK &&
           archive_read_set_seek_callback(reader, BudgetedFile::seek) == ARCHIVE_OK &&
           archive_read_set_callback_data(reader, &file) == ARCHIVE_OK &&
           archive_read_open1(reader) == ARCHIVE_OK;
}

} // namespace

bool libarchiveEncrypted(const std::string& path, int kind) {
    BudgetedFile file(path);
    ArchiveReader reader(archive_read_new());
    if (!reader || !setUpKindReader(reader.get(), kind) || !openBudgeted(reader.get(), file))
        return false;
    for (int i = 0; i < kMaxProbedHeaders; ++i) {
        archive_entry* entry = nullptr;
        const int r = archive_read_next_header(reader.get(), &entry);
        if (r == ARCHIVE_EOF)
            return false;
        if (r < ARCHIVE_WARN)
            return mentionsEncryption(archive_error_string(reader.get()));
        if (archive_entry_is_encrypted(entry) ||
            archive_read_has_encrypted_entries(reader.get()) > 0)
            return true;
        file.startCounting();
    }
    return false;
}

} // namespace cfr
