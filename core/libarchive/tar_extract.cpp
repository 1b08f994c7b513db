// The reader: everything libarchive can open (tar family, single streams, rar, plain 7z).
#include "libarchive/tar_backend.h"

#include "kinds.h"
#include "libarchive/archive_handles.h"
#include "libarchive/extracted_files.h"
#include "libarchive/kind_reader.h"
#include "libarchive/read_entry_name.h"
#include "output_file.h"
#include "safe_path.h"
#include "utf8_locale.h"

#include <archive_entry.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace cfr {
namespace fs = std::filesystem;
namespace {

// Progress without a total: B / (B + 4 MiB) is 0.5 after the first 4 MiB.
const double kProgressHalfway = 4194304.0;

class TarExtraction {
public:
    TarExtraction(archive* reader, const std::string& archivePath, const fs::path& destDir,
                  const ProgressSink& sink)
        : reader_(reader), archivePath_(archivePath), destDir_(destDir), sink_(sink) {}

    int run() {
        for (;;) {
            archive_entry* entry = nullptr;
            const int r = archive_read_next_header(reader_, &entry);
            if (r == ARCHIVE_EOF) {
                sink_.report(1.0);
                return Ok;
            }
            if (r < ARCHIVE_WARN)
                return readFailure();
            const auto target = safeTarget(destDir_, readEntryName(reader_, entry, archivePath_));
            if (!target) {
                archive_read_data_skip(reader_);
                continue;
            }
            if (archive_entry_filetype(entry) == AE_IFDIR) {
                std::error_code ec;
                fs::create_directories(*target, ec);
                continue;
            }
            const int result = extractFile(entry, *target);
            if (result != Ok)
                return result;
            sink_.report(
                std::min(double(extractedBytes_) / (extractedBytes_ + kProgressHalfway), 0.99));
            if (sink_.cancelled())
                return Cancelled;
        }
    }

private:
    // Data of an entry flagged as encrypted that cannot be read is a password problem,
    // whatever the decoder then complained about.
    int readFailure(archive_entry* entry = nullptr) const {
        const bool encrypted = entry && archive_entry_is_encrypted(entry);
        return encrypted || mentionsEncryption(archive_error_string(reader_)) ? BadPassword
                                                                              : Failed;
    }

    // Everything that is not a folder becomes a regular file: links and devices are never
    // recreated as such, they hold their (empty) data.
    int extractFile(archive_entry* entry, const fs::path& target) {
        if (const auto source = hardLinkSource(entry); source && files_.contains(*source))
            return files_.relink(*source, target) ? Ok : Failed;
        OutputFile out;
        if (!out.open(target))
            return Failed;
        for (;;) {
            const void* block = nullptr;
            std::size_t size = 0;
            la_int64_t offset = 0;
            const int r = archive_read_data_block(reader_, &block, &size, &offset);
            if (r == ARCHIVE_EOF)
                break;
            if (r < ARCHIVE_WARN)
                return readFailure(entry);
            // Sparse entries come as blocks at their offsets; the gaps are holes.
            if (offset < 0 || !out.writeAt(std::uint64_t(offset), block, size))
                return Failed;
            extractedBytes_ += size;
            if (sink_.cancelled())
                return Cancelled;
        }
        if (!matchesDeclaredSize(entry, out) || !out.close())
            return Failed;
        files_.add(target);
        return Ok;
    }

    // An entry that comes out shorter or longer than its header says is not the file the
    // archive holds. A sparse one may end in a hole, which no data block covers.
    static bool matchesDeclaredSize(archive_entry* entry, OutputFile& out) {
        if (!archive_entry_size_is_set(entry))
            return true;
        const la_int64_t declared = archive_entry_size(entry);
        if (declared < 0 || out.end() > std::uint64_t(declared))
            return false;
        if (archive_entry_sparse_count(entry) > 0)
            return out.extendTo(std::uint64_t(declared));
        return out.end() == std::uint64_t(declared);
    }

    // Where a data-less hard-link entry points, when that lies inside the destination.
    std::optional<fs::path> hardLinkSource(archive_entry* entry) const {
        const char* link = archive_entry_hardlink_utf8(entry);
        if (!link)
            link = archive_entry_hardlink(entry);
        // Some formats carry the data on a hard-link entry: that data is the content.
        if (!link || (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0))
            return std::nullopt;
        return safeTarget(destDir_, link);
    }

    archive* reader_;
    const std::string& archivePath_;
    const fs::path destDir_;
    const ProgressSink& sink_;
    std::uint64_t extractedBytes_ = 0;
    ExtractedFiles files_;
};

} // namespace

int tarExtract(const std::string& archivePath, const std::string& destDir,
               const std::string& password, const ProgressSink* sink) {
    return tarExtractParts({archivePath}, destDir, password, sink);
}

int tarExtractParts(const std::vector<std::string>& parts, const std::string& destDir,
                    const std::string& password, const ProgressSink* sink) {
    if (parts.empty() || parts.front().empty())
        return OpenFailed;
    const std::string& archivePath = parts.front();
    if (destDir.empty())
        return InvalidArgument;
    ensureUtf8Locale();
    ArchiveReader reader = openKindReader(parts, kindOfFileName(archivePath), password);
    if (!reader)
        return OpenFailed;
    std::error_code ec;
    fs::create_directories(destDir, ec);
    if (!fs::is_directory(destDir, ec))
        return Failed;
    const ProgressSink silent;
    return TarExtraction(reader.get(), archivePath, destDir, sink ? *sink : silent).run();
}

} // namespace cfr
