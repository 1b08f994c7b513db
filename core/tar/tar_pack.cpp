// The writer: tar kinds, plain 7z and single compressed streams through libarchive.
#include "tar/tar_backend.h"

#include "entry_names.h"
#include "tar/archive_handles.h"
#include "tar/input_walk.h"
#include "tar/tar_writer.h"
#include "utf8_locale.h"

#include <sys/stat.h>

#include <filesystem>

namespace cfr {
namespace fs = std::filesystem;
namespace {

bool isSingleStream(int kind) {
    return kind == Gz || kind == Bz2 || kind == Xz || kind == Zst;
}

int (*filterFor(int kind))(archive*) {
    switch (kind) {
    case TarGz:
    case Gz:
        return archive_write_add_filter_gzip;
    case TarBz2:
    case Bz2:
        return archive_write_add_filter_bzip2;
    case TarXz:
    case Xz:
        return archive_write_add_filter_xz;
    case TarZst:
    case Zst:
        return archive_write_add_filter_zstd;
    default:
        return nullptr;
    }
}

// Format and filter of a kind; false when this libarchive cannot write it.
bool configureWriter(archive* writer, int kind) {
    int format = ARCHIVE_OK;
    if (isSingleStream(kind))
        format = archive_write_set_format_raw(writer);
    else if (kind == SevenZip)
        format = archive_write_set_format_7zip(writer);
    else if (kind >= Tar && kind <= TarZst)
        format = archive_write_set_format_pax_restricted(writer);
    else
        return false;
    const auto addFilter = filterFor(kind);
    return format == ARCHIVE_OK && (!addFilter || addFilter(writer) == ARCHIVE_OK);
}

class SizeCounter : public InputVisitor {
public:
    bool directory(const std::string&) override { return true; }
    bool file(const std::string&, const fs::path& path) override {
        std::error_code ec;
        const auto size = fs::file_size(path, ec);
        if (!ec)
            total += size;
        return true;
    }
    std::uint64_t total = 0;
};

std::uint64_t totalInputBytes(const std::vector<std::string>& inputs) {
    SizeCounter counter;
    for (const auto& input : inputs)
        InputWalker().walk(std::string(), input, counter);
    return counter.total > 0 ? counter.total : 1;
}

bool isRegularFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool addInputs(TarWriteContext& context, const std::vector<std::string>& inputs, int kind) {
    // A raw stream holds the first file alone and stores no name.
    if (isSingleStream(kind))
        return tarAddFile(context, fs::path(inputs.front()).filename().string(), inputs.front());
    for (const auto& input : nameInputs(inputs))
        if (!tarAddPath(context, input.name, input.path))
            return false;
    return true;
}

int abandon(archive* writer, const std::string& dest, int result) {
    // Freeing closes the filters, which releases their coder state (archive_write_fail
    // would skip that and leak it: close to 100 MB for xz). What the close writes goes
    // with the file.
    archive_write_free(writer);
    std::error_code ec;
    fs::remove(dest, ec);
    return result;
}

} // namespace

int tarPack(const std::vector<std::string>& inputs, const std::string& dest, int kind,
            const ProgressSink* sink) {
    if (inputs.empty())
        return InvalidArgument;
    ensureUtf8Locale();
    if (isSingleStream(kind) && !isRegularFile(inputs.front()))
        return Unsupported;
    ArchiveWriter writer(archive_write_new());
    if (!writer)
        return InvalidArgument;
    if (!configureWriter(writer.get(), kind))
        return Unsupported;
    // Formats that do not know the option ignore it.
    archive_write_set_options(writer.get(), "hdrcharset=UTF-8");
    // libarchive writes to standard output when given no file name.
    if (dest.empty() || archive_write_open_filename(writer.get(), dest.c_str()) != ARCHIVE_OK)
        return OpenFailed;

    const ProgressSink silent;
    TarWriteContext context;
    context.writer = writer.get();
    context.sink = sink ? sink : &silent;
    struct stat destInfo;
    if (::stat(dest.c_str(), &destInfo) == 0) {
        context.destDevice = destInfo.st_dev;
        context.destInode = destInfo.st_ino;
    }
    context.totalBytes = totalInputBytes(inputs);

    if (!addInputs(context, inputs, kind))
        return abandon(writer.release(), dest, context.cancelled ? Cancelled : Failed);
    // A failed close leaves a damaged archive: removed like any other partial output.
    if (archive_write_close(writer.get()) != ARCHIVE_OK)
        return abandon(writer.release(), dest, Failed);
    writer.reset();
    context.sink->report(1.0);
    return Ok;
}

} // namespace cfr
