#include "zip/package.h"

#include "p7/p7_backend.h"
#include "safe_path.h"
#include "temp_root.h"
#include "zip/temporary_item.h"
#include "zip/winzip_aes_check.h"
#include "zip/zip_backend.h"
#include "zip/zip_layout.h"
#include "zip/zip_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <optional>

namespace cfr {
namespace fs = std::filesystem;

namespace {

// The inner archive holds the user's data unencrypted: it is created for the owner alone
// before libzip writes it, and libzip keeps that mode when it replaces the file at close.
bool createPrivateFile(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool createPrivateFolder(const fs::path& path) {
    std::error_code ignored;
    fs::create_directories(path.parent_path(), ignored);
    return ::mkdir(path.c_str(), 0700) == 0;
}

// The name of the package's single entry, or nothing when the archive is some other zip:
// one entry, encrypted, whose name ends in ".zip" in any case.
std::optional<std::string> packageEntry(zip_t* archive) {
    if (zip_get_num_entries(archive, ZIP_FL_UNCHANGED) != 1)
        return std::nullopt;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive, 0, ZIP_FL_UNCHANGED, &st) != 0 || !(st.valid & ZIP_STAT_NAME) ||
        !st.name)
        return std::nullopt;
    if (!(st.valid & ZIP_STAT_ENCRYPTION_METHOD) || st.encryption_method == ZIP_EM_NONE)
        return std::nullopt;
    if (lowerExtension(st.name) != "zip")
        return std::nullopt;
    return std::string(st.name);
}

int writeInner(const std::vector<std::string>& inputs, const fs::path& inner,
               const StagedFile& output, const ProgressSink* sink) {
    ZipHandle archive = createZip(inner.string());
    if (!archive)
        return OpenFailed;
    const int added = zipAddInputs(archive.get(), inputs, false, sink, output);
    if (added != Ok)
        return added;
    // Made only now, so that a walk through the temporary folder cannot meet it.
    if (!createPrivateFile(inner))
        return OpenFailed;
    return closeZip(std::move(archive), sink, 0, 0.5);
}

int writeOuter(const fs::path& inner, const StagedFile& output, const std::string& password,
               const ProgressSink* sink) {
    ZipHandle archive = createZip(output.path());
    if (!archive)
        return OpenFailed;
    if (zip_set_default_password(archive.get(), password.c_str()) != 0)
        return Failed;
    if (zipAddFile(archive.get(), inner.filename().string(), inner, true) != Ok)
        return Failed;
    return closeZip(std::move(archive), sink, 0.5, 0.5);
}

} // namespace

int packagePack(const std::vector<std::string>& inputs, const std::string& dest,
                const std::string& password, const ProgressSink* sink) {
    // libzip would accept an empty password and fail only at close, having written nothing
    // readable.
    if (password.empty())
        return InvalidArgument;
    StagedFile output(dest);
    if (!output.create())
        return OpenFailed;
    const TemporaryItem inner(tempRoot() / (randomHex(8) + ".zip"));
    const int first = writeInner(inputs, inner.path(), output, sink);
    if (first != Ok)
        return first;
    const int second = writeOuter(inner.path(), output, password, sink);
    return second == Ok ? commitStaged(output, sink) : second;
}

int packageExtract(const std::string& archive, const std::string& destDir,
                   const std::string& password, const ProgressSink* sink) {
    std::optional<std::string> entry;
    bool libzipReads = false;
    bool winzipAes = false;
    {
        ZipHandle zip = openZip(archive, ZIP_RDONLY);
        if (zip) {
            entry = packageEntry(zip.get());
            libzipReads = libzipDecodesAll(zip.get());
            winzipAes = holdsWinzipAes(zip.get());
        }
    }
    // What libzip cannot open or decode, the plugin's zip reader may: a package never needs it.
    // It also decrypts WinZip AES in a fraction of libzip's time (the key derivation through
    // OpenSSL is the cost, and libzip derives twice for 7-Zip's own AES entries). Overlapping
    // entries are refused on that road too.
    const bool pluginFaster = !entry && winzipAes && p7TakesZipPassword(password);
    if ((!libzipReads || pluginFaster) && p7Available())
        return zipEntriesOverlap(archive) ? Failed : p7ExtractZip(archive, destDir, password, sink);
    if (!entry)
        return zipExtract(archive, destDir, password, sink, 0, 1);

    const TemporaryItem work(tempRoot() / ("cfr_" + randomHex(8)));
    if (!createPrivateFolder(work.path()))
        return Failed;
    const int first = zipExtract(archive, work.path().string(), password, sink, 0, 0.5);
    if (first != Ok)
        return first;
    // Found where the first pass put it; a name that would leave the folder was not written,
    // and opening it then fails.
    const auto inner = safeTarget(work.path(), *entry);
    if (!inner)
        return OpenFailed;
    return zipExtract(inner->string(), destDir, "", sink, 0.5, 0.5);
}

std::string lowerExtension(const std::string& name) {
    const auto dot = name.find_last_of('.');
    const auto separator = name.find_last_of("/\\");
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return {};
    std::string extension = name.substr(dot + 1);
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

} // namespace cfr
