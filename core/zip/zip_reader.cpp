#include "zip/winzip_aes_check.h"
#include "zip/zip_backend.h"
#include "zip/zip_entry_name.h"
#include "zip/zip_handle.h"
#include "zip/zip_layout.h"

#include "cpu_cores.h"
#include "failure_reason.h"
#include "job_threads.h"
#include "output_file.h"
#include "safe_path.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <limits>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace cfr {
namespace fs = std::filesystem;

namespace {

const zip_uint64_t chunkSize = 32768;

// One extraction job: where entries go and how far it has come. The entries are shared out
// among threads, one per usable core, each with a libzip handle of its own (a handle serves
// one thread at a time): an AES entry spends most of its time deriving its key, and that is
// per entry. Progress and the cancel stay on the job's thread, which extracts too and
// reports what all of them have done.
class ZipExtraction {
public:
    ZipExtraction(const std::string& path, zip_t* archive, const fs::path& destDir,
                  const std::string& password, const ProgressSink* sink, double offset,
                  double scale)
        : path_(path), archive_(archive), destDir_(destDir), password_(password), sink_(sink),
          offset_(offset), scale_(scale) {}

    int run(zip_int64_t count) {
        count_ = zip_uint64_t(count);
        const bool namesUnique = measure();
        // Entries that share a name are written in archive order, the last one kept.
        const int helpers =
            namesUnique ? int(std::min<zip_uint64_t>(zip_uint64_t(usableCores()), count_)) - 1 : 0;
        std::vector<ZipHandle> handles;
        JobThreads threads;
        for (int i = 0; i < helpers; ++i) {
            ZipHandle handle = openZip(path_, ZIP_RDONLY);
            if (!handle)
                break;
            if (!password_.empty())
                zip_set_default_password(handle.get(), password_.c_str());
            zip_t* own = handle.get();
            handles.push_back(std::move(handle));
            if (!threads.start([this, own] { work(own); }))
                break;
        }
        work(archive_);
        // The job's thread reports and hears the cancel while the others finish.
        threads.finish([this] {
            if (reportProgress() && sink_->cancelled())
                finishWith(Cancelled, 0);
        });
        if (result_ != Ok)
            return result_;
        if (unsupported_ > 0) {
            noteFailure(MethodUnsupported);
            return Unsupported;
        }
        // Data that fails its check after the password check passed is put down to the
        // password only when no encrypted entry came out right with it.
        if (unreadable_ > 0 || (failedChecks_ > 0 && !passwordProven_))
            return BadPassword;
        if (failedChecks_ > 0)
            return Failed;
        // Skipped entries and empty files leave the count short of the total; the job is
        // done all the same.
        if (sink_ && lastReported_ < offset_ + scale_)
            sink_->report(offset_ + scale_);
        return Ok;
    }

private:
    // Sums the sizes; false when two entries share a name.
    bool measure() {
        std::unordered_set<std::string> names;
        bool unique = true;
        for (zip_uint64_t index = 0; index < count_; ++index) {
            zip_stat_t st;
            zip_stat_init(&st);
            if (zip_stat_index(archive_, index, ZIP_FL_UNCHANGED, &st) == 0 &&
                (st.valid & ZIP_STAT_SIZE))
                total_ += st.size;
            unique = names.insert(zipEntryName(archive_, index)).second && unique;
        }
        if (total_ == 0)
            total_ = 1;
        return unique;
    }

    // Takes the next entry not yet taken until none is left or the job stops.
    void work(zip_t* archive) {
        for (;;) {
            const zip_uint64_t index = next_++;
            if (index >= count_ || index >= stopFrom_)
                return;
            int result = Failed;
            try {
                result = extractEntry(archive, index);
            } catch (...) {
            }
            if (result != Ok) {
                finishWith(result, index);
                return;
            }
        }
    }

    // Ends the job as one thread would have: the entries before the one at index are finished
    // and kept, those after it stop at their next chunk, and the earliest entry's result
    // wins. What a failed extraction leaves is then the same on any number of cores.
    void finishWith(int result, zip_uint64_t index) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (index < stopFrom_) {
            stopFrom_ = index;
            result_ = result;
        }
    }

    bool onJobThread() const { return std::this_thread::get_id() == jobThread_; }

    // On the job's thread only; false elsewhere and without a sink.
    bool reportProgress() {
        if (!sink_ || !onJobThread())
            return false;
        const double fraction = offset_ + scale_ * double(done_.load()) / double(total_);
        if (fraction > lastReported_) {
            lastReported_ = fraction;
            sink_->report(lastReported_);
        }
        return true;
    }

    int extractEntry(zip_t* archive, zip_uint64_t index) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, index, ZIP_FL_UNCHANGED, &st) != 0)
            return Ok;
        const std::string name = zipEntryName(archive, index);
        const auto target = safeTarget(destDir_, name);
        if (!target)
            return Ok;
        if (zipEntryIsFolder(archive, index, name)) {
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
                ? zip_fopen_index(archive, index, ZIP_FL_UNCHANGED)
                : zip_fopen_index_encrypted(archive, index, ZIP_FL_UNCHANGED, password_.c_str()));
        if (!entry) {
            // Wrong or missing password, an unknown method or damage: the other entries
            // still come out, and the job says the password may be at fault.
            ++unreadable_;
            return Ok;
        }
        const int result = copyEntry(archive, entry.get(), index, st, *target);
        if (result == BadPassword) {
            ++failedChecks_;
            return Ok;
        }
        if (result == Ok && isEncrypted(st))
            passwordProven_ = true;
        return result;
    }

    int copyEntry(zip_t* archive, zip_file_t* entry, zip_uint64_t index, const zip_stat_t& st,
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
                    if (!winzipAesAuthentic(archive, index, st, password_))
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
            if (reportProgress() && sink_->cancelled())
                return Cancelled;
            if (index >= stopFrom_)
                return Cancelled;
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

    const std::string& path_;
    zip_t* archive_;
    fs::path destDir_;
    const std::string& password_;
    const ProgressSink* sink_;
    double offset_;
    double scale_;
    const std::thread::id jobThread_ = std::this_thread::get_id();
    zip_uint64_t count_ = 0;
    zip_uint64_t total_ = 0;
    double lastReported_ = -1; // the job's thread alone
    std::atomic<zip_uint64_t> next_{0};
    std::atomic<zip_uint64_t> done_{0};
    std::atomic<int> unreadable_{0};
    std::atomic<int> failedChecks_{0};
    std::atomic<bool> passwordProven_{false};
    std::atomic<int> unsupported_{0};
    // Entries from this index on stop: the earliest that failed, 0 once cancelled.
    std::atomic<zip_uint64_t> stopFrom_{std::numeric_limits<zip_uint64_t>::max()};
    std::mutex mutex_;
    int result_ = Ok; // guarded by mutex_ until the helpers are joined
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
    return ZipExtraction(archive, zip.get(), destDir, password, sink, offset, scale).run(count);
}

} // namespace cfr
