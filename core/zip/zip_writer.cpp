#include "zip/zip_writer.h"

#include "entry_names.h"
#include "input_walk.h"
#include "zip/zip_progress.h"

#include <utility>

namespace cfr {
namespace fs = std::filesystem;

namespace {

// Turns the walk of the inputs into entries. A folder with files exists in the archive only
// as their names' prefix; an empty one needs an entry of its own to survive. The walk is
// depth first, so a folder is empty exactly when the next name visited is not inside it.
class ZipEntryVisitor : public InputVisitor {
public:
    ZipEntryVisitor(zip_t* archive, bool encrypt, const ProgressSink* sink)
        : archive_(archive), encrypt_(encrypt), sink_(sink) {}

    bool directory(const std::string& name, const fs::path&) override {
        if (!settlePendingFolder(name))
            return false;
        pendingFolder_ = name;
        return true;
    }

    bool file(const std::string& name, const fs::path& path) override {
        if (!settlePendingFolder(name))
            return false;
        result_ = zipAddFile(archive_, name, path, encrypt_);
        return result_ == Ok;
    }

    // Call once the walk is over.
    int finish() {
        if (result_ == Ok)
            settlePendingFolder(std::string());
        return result_;
    }

private:
    bool settlePendingFolder(const std::string& next) {
        if (sink_ && sink_->cancelled()) {
            result_ = Cancelled;
            return false;
        }
        if (pendingFolder_.empty())
            return true;
        const std::string folder = std::exchange(pendingFolder_, std::string());
        if (next.rfind(folder + "/", 0) == 0)
            return true;
        if (zip_dir_add(archive_, folder.c_str(), ZIP_FL_ENC_UTF_8) < 0) {
            result_ = Failed;
            return false;
        }
        return true;
    }

    zip_t* archive_;
    bool encrypt_;
    const ProgressSink* sink_;
    std::string pendingFolder_;
    int result_ = Ok;
};

} // namespace

ZipHandle createZip(const std::string& path) {
    return openZip(path, ZIP_CREATE | ZIP_TRUNCATE);
}

int zipAddInputs(zip_t* archive, const std::vector<std::string>& inputs, bool encrypt,
                 const ProgressSink* sink, const StagedFile& output) {
    ZipEntryVisitor visitor(archive, encrypt, sink);
    InputWalker walker(&output);
    for (const NamedInput& input : nameInputs(inputs))
        if (!walker.walk(input.name, input.path, visitor))
            break;
    const int result = visitor.finish();
    // Inputs that hold nothing storable (a pipe, a socket) leave libzip nothing to write,
    // and it would then create no file at all while reporting success.
    if (result == Ok && zip_get_num_entries(archive, 0) < 1)
        return Failed;
    return result;
}

int zipAddFile(zip_t* archive, const std::string& entryName, const fs::path& file, bool encrypt) {
    // A dangling link or anything but a regular file has no content libzip can read.
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return Failed;
    zip_source_t* source = zip_source_file(archive, file.c_str(), 0, 0);
    if (!source)
        return Failed;
    // Names are unique by construction, so no overwrite flag: a clash would fail here
    // instead of silently dropping an earlier input.
    const zip_int64_t index = zip_file_add(archive, entryName.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return Failed;
    }
    // libzip's default is deflate's slowest level, three times the time of zlib's usual
    // level 6 for half a percent of size.
    if (zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 6) != 0)
        return Failed;
    if (encrypt &&
        zip_file_set_encryption(archive, zip_uint64_t(index), ZIP_EM_AES_256, nullptr) != 0)
        return Failed;
    return Ok;
}

int closeZip(ZipHandle archive, const ProgressSink* sink, double offset, double scale) {
    ZipProgressState state{sink, offset, scale};
    zip_register_progress_callback_with_state(archive.get(), 0.01, zipProgressRelay, nullptr,
                                              &state);
    zip_register_cancel_callback_with_state(archive.get(), zipCancelRelay, nullptr, &state);
    if (zip_close(archive.get()) == 0) {
        archive.release(); // closing freed it
        // libzip skips a final step smaller than its precision; the caller sees the end.
        if (sink && state.lastReported < offset + scale)
            sink->report(offset + scale);
        return Ok;
    }
    const bool cancelled = zip_error_code_zip(zip_get_error(archive.get())) == ZIP_ER_CANCELLED;
    // Discarded here, while the state the callbacks point at still exists.
    archive.reset();
    return cancelled ? Cancelled : Failed;
}

} // namespace cfr
