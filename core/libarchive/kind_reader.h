// A libarchive reader that reads a file as exactly the kind its name says.
#pragma once

#include "libarchive/archive_handles.h"

#include <string>
#include <vector>

namespace cfr {

// Enables the formats of kind and appends the one filter layer it names, so that nothing
// is detected beyond them: a disk image inside a .gz stays the image, and a stream that
// decompresses into itself is undone once instead of without end. False when libarchive
// lacks that filter or the kind is not read by libarchive.
bool setUpKindReader(archive* reader, int kind);

// A reader set up for kind and opened on the parts of one archive, read one after the
// other; null when either step failed.
ArchiveReader openKindReader(const std::vector<std::string>& parts, int kind,
                             const std::string& password);

} // namespace cfr
