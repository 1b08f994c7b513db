// What a zip entry is called, decided from the bytes stored in the archive.
#pragma once

#include <zip.h>

#include <string>

namespace cfr {

// The entry's name in UTF-8: the Info-ZIP Unicode path field when its checksum matches the
// header name (a stale one, left by a tool that renamed the entry, is ignored), else the header
// name's own bytes, decoded from the user's legacy code page when they are not UTF-8.
std::string zipEntryName(zip_t* archive, zip_uint64_t index);

// A folder entry: its name ends in a separator, or it carries the MS-DOS folder attribute or a
// Unix folder mode (some tools write folder names without the trailing slash).
bool zipEntryIsFolder(zip_t* archive, zip_uint64_t index, const std::string& name);

} // namespace cfr
