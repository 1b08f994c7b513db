#include "libarchive/archive_handles.h"

#include <archive_entry.h>

#include <cstring>

namespace cfr {

void ArchiveEntryFree::operator()(archive_entry* e) const {
    archive_entry_free(e);
}

bool mentionsEncryption(const char* errorText) {
    // Matches "passphrase"/"Passphrase" and "encrypted"/"Encryption" alike.
    return errorText && (std::strstr(errorText, "assphrase") || std::strstr(errorText, "ncrypt"));
}

} // namespace cfr
