// The writer: tar kinds, plain 7z (without the plugin) and single compressed streams through
// libarchive; gzip and xz compressed by coders of our own on every core.
#include "libarchive/tar_backend.h"

#include "cpu_cores.h"
#include "entry_names.h"
#include "input_walk.h"
#include "libarchive/archive_handles.h"
#include "libarchive/parallel_gzip.h"
#include "libarchive/tar_writer.h"
#include "libarchive/xz_stream.h"
#include "staged_file.h"
#include "utf8_locale.h"

#include <archive_entry.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

namespace cfr {
namespace fs = std::filesystem;
namespace {

bool isSingleStream(int kind) {
    return kind == Gz || kind == Bz2 || kind == Xz || kind == Zst;
}

// Compressed by a coder of ours rather than a libarchive filter.
bool hasOwnCompressor(int kind) {
    return kind == TarGz || kind == Gz || kind == TarXz || kind == Xz;
}

int (*filterFor(int kind))(archive*) {
    switch (kind) {
    case TarBz2:
    case Bz2:
        return archive_write_add_filter_bzip2;
    case TarZst:
    case Zst:
        return archive_write_add_filter_zstd;
    default:
        return nullptr;
    }
}

bool hasSeparateCompressor(int kind) {
    return kind == TarBz2 || kind == TarZst;
}

bool setFormat(archive* writer, int kind) {
    if (isSingleStream(kind))
        return archive_write_set_format_raw(writer) == ARCHIVE_OK;
    if (kind == SevenZip)
        return archive_write_set_format_7zip(writer) == ARCHIVE_OK;
    return kind >= Tar && kind <= TarZst &&
           archive_write_set_format_pax_restricted(writer) == ARCHIVE_OK;
}

// zstd splits its input into jobs (8 MiB at level 3: four times its window) that threads
// compress apart, and the result stays one standard stream. A thread costs its own coder and
// buffers and gains nothing on data smaller than a job: no more threads than jobs, and none
// at all below two. Its close finishes at most a job per thread, a fraction of a second.
void spreadOverCores(archive* writer, int kind, std::uint64_t inputBytes) {
    if (kind != TarZst && kind != Zst)
        return;
    const std::uint64_t jobBytes = 8u << 20;
    const std::uint64_t jobs = (inputBytes + jobBytes - 1) / jobBytes;
    const auto threads = std::min<std::uint64_t>(std::uint64_t(usableCores()), jobs);
    // A library without threads refuses the option and compresses on one, which is no error.
    if (threads > 1)
        archive_write_set_filter_option(writer, "zstd", "threads", std::to_string(threads).c_str());
}

bool addFilter(archive* writer, int kind, std::uint64_t inputBytes) {
    const auto add = filterFor(kind);
    if (!add)
        return true;
    if (add(writer) != ARCHIVE_OK)
        return false;
    spreadOverCores(writer, kind, inputBytes);
    return true;
}

// The entries go into one handle. A compressed tar kind hands its tar stream, as raw data,
// to a second handle that compresses it: a failed or cancelled job can then drop the tar
// handle without finishing its entry (libarchive would pad the rest of it with zeros, and
// compressing those takes seconds for a large file) and still close the compressor, which
// alone releases its coder state. The gzip and xz kinds hand their stream to a compressor of
// ours instead, which can be dropped at any point.
struct Writers {
    // Declared first: the entries handle writes into it until the handle is gone.
    std::unique_ptr<StreamCompressor> ours;
    ArchiveWriter entries;
    ArchiveWriter compressor;
};

la_ssize_t toOurs(archive*, void* ours, const void* buffer, size_t length) {
    return static_cast<StreamCompressor*>(ours)->write(buffer, length) ? la_ssize_t(length) : -1;
}

int openOurs(Writers& writers, int kind, int fd, std::uint64_t inputBytes,
             const ProgressSink* sink) {
    if (kind == TarXz || kind == Xz)
        writers.ours = std::make_unique<XzStream>(fd, usableCores(), inputBytes, sink);
    else
        writers.ours = std::make_unique<ParallelGzip>(fd, usableCores());
    if (!writers.ours->start())
        return Failed;
    archive_write_set_bytes_in_last_block(writers.entries.get(), 1);
    return archive_write_open2(writers.entries.get(), writers.ours.get(), nullptr, toOurs, nullptr,
                               nullptr) == ARCHIVE_OK
               ? Ok
               : OpenFailed;
}

la_ssize_t toCompressor(archive*, void* compressor, const void* buffer, size_t length) {
    return archive_write_data(static_cast<archive*>(compressor), buffer, length);
}

int openCompressor(Writers& writers, int kind, int fd, std::uint64_t inputBytes) {
    archive* compressor = writers.compressor.get();
    if (archive_write_set_format_raw(compressor) != ARCHIVE_OK ||
        !addFilter(compressor, kind, inputBytes))
        return Unsupported;
    // An archive in a file needs no padding to a whole block.
    archive_write_set_bytes_in_last_block(compressor, 1);
    if (archive_write_open_fd(compressor, fd) != ARCHIVE_OK)
        return OpenFailed;
    ArchiveEntry stream(archive_entry_new());
    if (!stream)
        return Failed;
    archive_entry_set_filetype(stream.get(), AE_IFREG);
    archive_entry_set_pathname(stream.get(), "tar");
    if (archive_write_header(compressor, stream.get()) != ARCHIVE_OK)
        return Failed;
    archive_write_set_bytes_in_last_block(writers.entries.get(), 1);
    return archive_write_open2(writers.entries.get(), compressor, nullptr, toCompressor, nullptr,
                               nullptr) == ARCHIVE_OK
               ? Ok
               : OpenFailed;
}

int openWriters(Writers& writers, int kind, const StagedFile& output, std::uint64_t inputBytes,
                const ProgressSink* sink) {
    writers.entries.reset(archive_write_new());
    if (hasSeparateCompressor(kind))
        writers.compressor.reset(archive_write_new());
    if (!writers.entries || (hasSeparateCompressor(kind) && !writers.compressor))
        return Failed;
    archive* entries = writers.entries.get();
    if (!setFormat(entries, kind))
        return Unsupported;
    // Formats that do not know the option ignore it.
    archive_write_set_options(entries, "hdrcharset=UTF-8");
    if (hasOwnCompressor(kind))
        return openOurs(writers, kind, output.fd(), inputBytes, sink);
    if (hasSeparateCompressor(kind))
        return openCompressor(writers, kind, output.fd(), inputBytes);
    if (!addFilter(entries, kind, inputBytes))
        return Unsupported;
    archive_write_set_bytes_in_last_block(entries, 1);
    // Written through the descriptor, which the writer never closes itself: a handle dropped
    // after a failure would otherwise leak it.
    return archive_write_open_fd(entries, output.fd()) == ARCHIVE_OK ? Ok : OpenFailed;
}

bool closeWriters(Writers& writers) {
    if (archive_write_close(writers.entries.get()) != ARCHIVE_OK)
        return false;
    if (writers.ours && !writers.ours->finish())
        return false;
    return !writers.compressor || archive_write_close(writers.compressor.get()) == ARCHIVE_OK;
}

class SizeCounter : public InputVisitor {
public:
    bool directory(const std::string&, const fs::path&) override { return true; }
    bool file(const std::string&, const fs::path& path) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0)
            total += std::uint64_t(info.st_size);
        return true;
    }
    std::uint64_t total = 0;
};

std::uint64_t totalInputBytes(const std::vector<std::string>& inputs, const StagedFile& output) {
    SizeCounter counter;
    for (const auto& input : inputs)
        InputWalker(&output).walk(std::string(), input, counter);
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

// A handle with a filter of its own (bz2 and zst streams) is closed: only that releases its
// coder state, and a raw stream has no entry to finish. Any other entries handle is dropped
// as it is; the libarchive compressor behind it is then closed on what it already holds, and
// one of ours stops its threads and drops the rest.
int abandon(Writers& writers, int kind, int result) {
    if (writers.entries && (!isSingleStream(kind) || writers.ours))
        archive_write_fail(writers.entries.get());
    writers.entries.reset();
    writers.ours.reset();
    writers.compressor.reset();
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
    StagedFile output(dest);
    if (!output.create())
        return OpenFailed;
    const ProgressSink silent;
    TarWriteContext context;
    context.sink = sink ? sink : &silent;
    context.output = &output;
    context.totalBytes = totalInputBytes(inputs, output);

    Writers writers;
    const int opened = openWriters(writers, kind, output, context.totalBytes, context.sink);
    if (opened != Ok)
        return abandon(writers, kind, opened);
    context.writer = writers.entries.get();

    // A compressor may have stopped on the cancel itself, before the next report.
    if (!addInputs(context, inputs, kind))
        return abandon(writers, kind,
                       context.cancelled || context.sink->cancelled() ? Cancelled : Failed);
    // Inputs that hold nothing storable (a pipe, or only the archive being replaced) would
    // otherwise put an empty archive in the destination's place, as zip and 7z refuse to.
    if (context.entries == 0)
        return abandon(writers, kind, Failed);
    if (!closeWriters(writers))
        return abandon(writers, kind, context.sink->cancelled() ? Cancelled : Failed);
    writers = Writers();
    const int committed = commitStaged(output, context.sink);
    if (committed == Ok)
        context.sink->report(1.0);
    return committed;
}

} // namespace cfr
