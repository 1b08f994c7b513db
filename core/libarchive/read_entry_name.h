#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <string>

namespace cfr {

// The name an entry is extracted under, before any safety check. A compressed stream
// without a container has no name of its own (or libarchive's "data"): it takes the
// archive's file name without its last extension, so report.txt.gz gives report.txt.
std::string readEntryName(archive* reader, archive_entry* entry, const std::string& archivePath);

} // namespace cfr
