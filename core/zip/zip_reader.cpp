#include "zip/winzip_aes_check.h"
#include "zip/zip_backend.h"
#include "zip/zip_entry_name.h"
#include "zip/zip_handle.h"
#include "zip/zip_layout.h"

#include "failure_reason.h"
#include "output_file.h"
#include "safe_path.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace cfr {
namespace fs = std::filesystem;

namespace {

const zip_uint64_t chunkSize = 32768;

// One extraction job: where entries go and how far it has come.
class ZipExtraction {
public:
    ZipExtraction(zip_t* archive, const fs::path& destDir, const std::string& password,
                  const ProgressSink* sink, double offset, double scale)
        : archive_(archive), destDir_(destDir), password_(password), sink_(sink), offset_(offset),
          scale_(scale) {}

    int run(zip_int64_t count) {
        measure(count);
        for (zip_int64_t index = 0; index < count; ++index) {
            const int result = extractEntry(zip_uint64_t(index));
            if (result != Ok)
                return result;
        }
        if (unsupported_ > 0) {
            noteFailure(MethodUnsupported);
            return Unsupported;
        }
        if (unreadable_ > 0)
            return BadPassword;
        // Skipped entries and empty files leave the count short of the total; the job is
        // done all the same.
        if (sink_ && lastReported_ < offset_ + scale_)
            sink_->report(offset_ + scale_);
        return Ok;
    }

private:
    void measure(zip_int64_t count) {
        for (zip_int64_t index = 0; index < count; ++index) {
            zip_stat_t st;
            zip_stat_init(&st);
            if (zip_stat_index(archive_, zip_uint64_t(index), ZIP_FL_UNCHANGED, &st) == 0 &&
                (st.valid & ZIP_STAT_SIZE))
                total_ += st.size;
        }
        if (total_ == 0)
            total_ = 1;
    }

    int extractEntry(zip_uint64_t index) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive_, index, ZIP_FL_UNCHANGED, &st) != 0)
            return Ok;
        const std::string name = zipEntryName(archive_, index);
        const auto target = safeTarget(destDir_, name);
        if (!target)
            return Ok;
        if (zipEntryIsFolder(archive_, index, name)) {
            std::error_code ignored;
            fs::create_directories(*target, ignored);
            return Ok;
        }
        // Asked first: libzip 1.7 leaks inside its open call for ciphers it cannot decrypt
        // (strong encryption, flags 0x41).
        if (!libzipDecodes(st)) {
            ++unsupported_;
            return Ok;
        }
        ZipFileHandle entry(
            password_.empty()
                ? zip_fopen_index(archive_, index, ZIP_FL_UNCHANGED)
                : zip_fopen_index_encrypted(archive_, index, ZIP_FL_UNCHANGED, password_.c_str()));
        if (!entry) {
            // Wrong or missing password, an unknown method or damage: the other entries
            // still come out, and the job says the password may be at fault.
            ++unreadable_;
            return Ok;
        }
        const int result = copyEntry(entry.get(), index, st, *target);
        if (result == BadPassword) {
            ++unreadable_;
            return Ok;
        }
        return result;
    }

    int copyEntry(zip_file_t* entry, zip_uint64_t index, const zip_stat_t& st,
                  const fs::path& target) {
        OutputFile out;
        if (!out.open(target))
            return Failed;
        std::array<char, chunkSize> buffer;
        const bool sized = st.valid & ZIP_STAT_SIZE;
        zip_uint64_t copied = 0;
        for (;;) {
            // One byte past the declared size is enough to know the entry lies about it.
            const zip_uint64_t wanted =
                sized ? std::min<zip_uint64_t>(buffer.size(), st.size - copied + 1) : buffer.size();
            const zip_int64_t got = zip_fread(entry, buffer.data(), wanted);
            if (got == 0)
                break;
            if (got < 0) {
                if (misjudgedCrc(entry, st, copied)) {
                    if (!winzipAesAuthentic(archive_, index, st, password_))
                        return BadPassword;
                    break;
                }
                // Decryption that passes the short password check with a wrong password
                // only fails here, on the authentication code or checksum.
                return isEncrypted(st) ? BadPassword : Failed;
            }
            if (!out.write(buffer.data(), std::size_t(got)))
                return Failed;
            copied += zip_uint64_t(got);
            if (sized && copied > st.size)
                return Failed;
            done_ += zip_uint64_t(got);
            if (sink_) {
                lastReported_ = offset_ + scale_ * double(done_) / double(total_);
                sink_->report(lastReported_);
                if (sink_->cancelled())
                    return Cancelled;
            }
        }
        if (sized && copied != st.size)
            return Failed;
        return out.close() ? Ok : Failed;
    }

    static bool isEncrypted(const zip_stat_t& st) {
        return (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
    }

    static bool misjudgedCrc(zip_file_t* entry, const zip_stat_t& st, zip_uint64_t copied) {
        return crcUnreliable(st) && copied == st.size &&
               zip_error_code_zip(zip_file_get_error(entry)) == ZIP_ER_CRC;
    }

    zip_t* archive_;
    fs::path destDir_;
    const std::string& password_;
    const ProgressSink* sink_;
    double offset_;
    double scale_;
    zip_uint64_t total_ = 0;
    zip_uint64_t done_ = 0;
    double lastReported_ = -1;
    int unreadable_ = 0;
    int unsupported_ = 0;
};

} // namespace

bool libzipDecodes(const zip_stat_t& st) {
    const bool methodKnown =
        !(st.valid & ZIP_STAT_COMP_METHOD) || zip_compression_method_supported(st.comp_method, 0);
    const bool cipherKnown = !(st.valid & ZIP_STAT_ENCRYPTION_METHOD) ||
                             zip_encryption_method_supported(st.encryption_method, 0);
    return methodKnown && cipherKnown;
}

bool libzipDecodesAll(zip_t* archive) {
    const zip_int64_t count = zip_get_num_entries(archive, ZIP_FL_UNCHANGED);
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, zip_uint64_t(index), ZIP_FL_UNCHANGED, &st) == 0 &&
            !libzipDecodes(st))
            return false;
    }
    return true;
}

int zipExtract(const std::string& archive, const std::string& destDir, const std::string& password,
               const ProgressSink* sink, double offset, double scale) {
    ZipHandle zip = openZip(archive, ZIP_RDONLY);
    if (!zip)
        return OpenFailed;
    if (zipEntriesOverlap(archive))
        return Failed;
    if (!password.empty())
        zip_set_default_password(zip.get(), password.c_str());
    const zip_int64_t count = zip_get_num_entries(zip.get(), ZIP_FL_UNCHANGED);
    if (count < 1)
        return Ok;
    return ZipExtraction(zip.get(), destDir, password, sink, offset, scale).run(count);
}

} // namespace cfr
