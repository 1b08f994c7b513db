#include "libarchive/kind_reader.h"

#include "cfr.h"

namespace cfr {
namespace {

const int kReadBlockSize = 65536;

int filterOfKind(int kind) {
    switch (kind) {
    case TarGz:
    case Gz:
        return ARCHIVE_FILTER_GZIP;
    case TarBz2:
    case Bz2:
        return ARCHIVE_FILTER_BZIP2;
    case TarXz:
    case Xz:
        return ARCHIVE_FILTER_XZ;
    case TarZst:
    case Zst:
        return ARCHIVE_FILTER_ZSTD;
    default:
        return ARCHIVE_FILTER_NONE;
    }
}

bool enableFormats(archive* reader, int kind) {
    switch (kind) {
    case Rar:
        return archive_read_support_format_rar(reader) == ARCHIVE_OK &&
               archive_read_support_format_rar5(reader) == ARCHIVE_OK;
    case SevenZip:
        return archive_read_support_format_7zip(reader) == ARCHIVE_OK;
    case Tar:
    case TarGz:
    case TarBz2:
    case TarXz:
    case TarZst:
        return archive_read_support_format_tar(reader) == ARCHIVE_OK;
    case Gz:
    case Bz2:
    case Xz:
    case Zst:
        return archive_read_support_format_raw(reader) == ARCHIVE_OK;
    default:
        return false;
    }
}

} // namespace

bool setUpKindReader(archive* reader, int kind) {
    if (!enableFormats(reader, kind))
        return false;
    // No filter is enabled for detection, so only the appended layer is ever undone.
    const int filter = filterOfKind(kind);
    return filter == ARCHIVE_FILTER_NONE ||
           archive_read_append_filter(reader, filter) == ARCHIVE_OK;
}

ArchiveReader openKindReader(const std::vector<std::string>& parts, int kind,
                             const std::string& password) {
    ArchiveReader reader(archive_read_new());
    // libarchive reads standard input when given no file name.
    if (!reader || parts.empty() || parts.front().empty() || !setUpKindReader(reader.get(), kind))
        return nullptr;
    if (!password.empty())
        archive_read_add_passphrase(reader.get(), password.c_str());
    std::vector<const char*> names;
    for (const auto& part : parts)
        names.push_back(part.c_str());
    names.push_back(nullptr);
    if (archive_read_open_filenames(reader.get(), names.data(), kReadBlockSize) != ARCHIVE_OK)
        return nullptr;
    return reader;
}

} // namespace cfr
