// RAR archives and multi-volume sets, read by libarchive once their parts are found.
#pragma once

#include "progress_sink.h"

#include <string>

namespace cfr {

// Any part of a set extracts the whole set. A missing part, or encryption (which libarchive
// cannot undo for RAR), fails before anything is written, with the reason noted.
int rarExtract(const std::string& archive, const std::string& destDir, const std::string& password,
               const ProgressSink* sink);

} // namespace cfr
