// Owning handles for libarchive readers and writers, so every path frees them.
#pragma once

#include <archive.h>

#include <memory>

namespace cfr {

struct ArchiveReadFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct ArchiveWriteFree {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct ArchiveEntryFree {
    void operator()(archive_entry* e) const;
};

using ArchiveReader = std::unique_ptr<archive, ArchiveReadFree>;
using ArchiveWriter = std::unique_ptr<archive, ArchiveWriteFree>;
using ArchiveEntry = std::unique_ptr<archive_entry, ArchiveEntryFree>;

// libarchive reports a missing or wrong passphrase, and encrypted content it cannot
// read, only through its error text.
bool mentionsEncryption(const char* errorText);

} // namespace cfr
