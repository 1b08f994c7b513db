// Archive kinds by file-name suffix, the two file probes and per-kind capabilities.
#include "kinds.h"

#include "cfr.h"
#include "libarchive/archive_handles.h"
#include "libarchive/kind_reader.h"
#include "p7/p7_backend.h"
#include "rar/rar_volumes.h"

#include <archive.h>
#include <archive_entry.h>
#include <zip.h>

#include <cctype>

namespace cfr {
namespace {

struct SuffixKind {
    const char* suffix;
    int kind;
};

// First hit wins: the compound tar suffixes must come before their single-stream tails.
const SuffixKind kSuffixes[] = {
    {".tar.gz", TarGz}, {".tgz", TarGz}, {".tar.bz2", TarBz2}, {".tbz2", TarBz2}, {".tbz", TarBz2},
    {".tar.xz", TarXz}, {".txz", TarXz}, {".tar.zst", TarZst}, {".tzst", TarZst}, {".tar", Tar},
    {".cfr", Package},  {".zip", Zip},   {".rar", Rar},        {".7z", SevenZip}, {".gz", Gz},
    {".bz2", Bz2},      {".xz", Xz},     {".zst", Zst},
};

std::string lowerBaseName(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool isLibarchiveKind(int kind) {
    return kind == Rar || kind == SevenZip || isTarFamily(kind);
}

bool isZipKind(int kind) {
    return kind == Package || kind == Zip || kind == Unknown;
}

// libarchive reports a filter it was built without only when the filter is added.
int probeWriteFilter(int (*addFilter)(archive*)) {
    ArchiveWriter writer(archive_write_new());
    if (!writer)
        return ARCHIVE_FATAL;
    return addFilter(writer.get());
}

// The later parts of an old-style RAR set: name.r00 … name.r99.
bool isRarPartSuffix(const std::string& name) {
    const std::size_t n = name.size();
    return n >= 4 && name[n - 4] == '.' && name[n - 3] == 'r' &&
           std::isdigit(static_cast<unsigned char>(name[n - 2])) &&
           std::isdigit(static_cast<unsigned char>(name[n - 1]));
}

// The probes read a RAR set from its first part, whichever part they are given.
std::string rarProbeTarget(const std::string& path) {
    const VolumeSet set = findVolumeSet(path);
    return set.parts.empty() ? path : set.parts.front();
}

} // namespace

int kindOfFileName(const std::string& path) {
    const std::string name = lowerBaseName(path);
    for (const auto& entry : kSuffixes)
        if (endsWith(name, entry.suffix))
            return entry.kind;
    return isRarPartSuffix(name) ? Rar : Unknown;
}

bool libarchiveReadable(const std::string& path, int kind) {
    ArchiveReader reader = openKindReader({path}, kind, std::string());
    archive_entry* entry = nullptr;
    return reader && archive_read_next_header(reader.get(), &entry) >= ARCHIVE_WARN;
}

// Zips libzip refuses (a stub before the archive, names flagged UTF-8 that are not) are asked of
// the plugin, which extraction falls back on.
bool zipReadable(const std::string& path) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive)
        return p7ProbeZip(path).opened;
    zip_close(archive);
    return true;
}

bool zipEncrypted(const std::string& path) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive)
        return p7ProbeZip(path).encrypted;
    bool encrypted = false;
    const zip_int64_t count = zip_get_num_entries(archive, ZIP_FL_UNCHANGED);
    for (zip_int64_t i = 0; i < count && !encrypted; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        encrypted =
            zip_stat_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_UNCHANGED, &stat) == 0 &&
            (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE;
    }
    zip_close(archive);
    return encrypted;
}

bool writeFilterAvailable(int kind) {
    // Probed once per process, bzip2 first; the answers cannot change while it runs.
    static const int bzip2 = probeWriteFilter(archive_write_add_filter_bzip2);
    static const int zstd = probeWriteFilter(archive_write_add_filter_zstd);
    switch (kind) {
    case TarBz2:
    case Bz2:
        return bzip2 == ARCHIVE_OK;
    case TarZst:
    case Zst:
        return zstd == ARCHIVE_OK;
    default:
        return true;
    }
}

bool isTarFamily(int kind) {
    return kind >= Tar && kind <= Zst;
}

int archiveKind(const char* path) {
    if (!path)
        return Unknown;
    try {
        return kindOfFileName(path);
    } catch (...) {
        return Unknown;
    }
}

const char* archiveKindName(int kind) {
    // The first suffix listed for a kind is its usual one.
    for (const auto& entry : kSuffixes)
        if (entry.kind == kind)
            return entry.suffix + 1;
    return "unknown";
}

int archiveSupported(const char* path) {
    if (!path)
        return 0;
    try {
        const int kind = kindOfFileName(path);
        if (kind == Rar)
            return libarchiveReadable(rarProbeTarget(path), Rar) ? 1 : 0;
        if (isLibarchiveKind(kind))
            return libarchiveReadable(path, kind) ? 1 : 0;
        return isZipKind(kind) && zipReadable(path) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int archiveNeedsPassword(const char* path) {
    if (!path)
        return 0;
    try {
        const int kind = kindOfFileName(path);
        // Nothing in the tar family or a single stream can be encrypted.
        if (isTarFamily(kind))
            return 0;
        // libarchive does not see RAR 5 encryption; the headers show it.
        if (kind == Rar) {
            const VolumeSet set = findVolumeSet(path);
            const std::string first = set.parts.empty() ? path : set.parts.front();
            return set.encrypted || libarchiveEncrypted(first, Rar) ? 1 : 0;
        }
        if (isLibarchiveKind(kind))
            return libarchiveEncrypted(path, kind) ? 1 : 0;
        return isZipKind(kind) && zipEncrypted(path) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int archiveFirstVolume(const char* path, char* buffer, int size) {
    if (!path || !buffer || size <= 0)
        return -1;
    try {
        const std::string first = kindOfFileName(path) == Rar ? rarProbeTarget(path) : path;
        if (int(first.size()) >= size)
            return -1;
        first.copy(buffer, first.size());
        buffer[first.size()] = '\0';
        return int(first.size());
    } catch (...) {
        return -1;
    }
}

int formatCaps(int kind) {
    switch (kind) {
    case Package:
    case Zip:
        return CapPack | CapExtract | CapEncrypt;
    case Rar:
        return CapExtract;
    case SevenZip:
        return p7Available() ? CapPack | CapExtract | CapEncrypt : CapPack | CapExtract;
    default:
        if (isTarFamily(kind))
            return writeFilterAvailable(kind) ? CapPack | CapExtract : 0;
        return 0;
    }
}

} // namespace cfr
