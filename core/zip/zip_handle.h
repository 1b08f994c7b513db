// Owning handles for libzip objects, so every path frees them.
#pragma once

#include <zip.h>

#include <memory>
#include <string>

namespace cfr {

struct ZipDiscard {
    // Discarding never writes: an archive being created is dropped, a read-only one freed.
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipFileHandle = std::unique_ptr<zip_file_t, ZipFileClose>;

inline ZipHandle openZip(const std::string& path, int flags) {
    int error = 0;
    return ZipHandle(zip_open(path.c_str(), flags, &error));
}

} // namespace cfr
