// Where a zip's entries lie in the file, read from its central directory.
#pragma once

#include <string>

namespace cfr {

// True when two entries claim the same bytes of the file: the central directory points
// several entries at one piece of compressed data, which is how a small archive inflates
// to gigabytes. An archive whose directory cannot be read here is not judged (false); its
// reader reports the damage.
bool zipEntriesOverlap(const std::string& path);

} // namespace cfr
