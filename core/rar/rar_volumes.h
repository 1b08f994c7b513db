// Multi-volume RAR sets: how their parts are named, and finding them beside one another.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cfr {

// Where a file name sits in a set: name.part1.rar, name.part2.rar … (any number of digits), or
// the older name.rar, name.r00 … name.r99, name.s00 …
struct VolumeName {
    std::string stem;      // the path up to the volume suffix
    std::string partWord;  // ".part" as written, for the newer naming; empty for the older
    std::string extension; // ".rar" as written (case kept)
    int digits = 0;        // width of the part number
    int index = 0;         // 0 for the first part
};

std::optional<VolumeName> parseVolumeName(const std::string& path);
// The path of part index (0 = first) of the set name belongs to.
std::string volumePath(const VolumeName& name, int index);

struct VolumeSet {
    std::vector<std::string> parts; // in order, the first part first
    std::string missing;            // the part that should come next and is not there
    bool encrypted = false;         // some part holds encrypted entries or headers
};

// The set path belongs to, found by the naming rule and each part's headers; just path when it
// is not a volume.
VolumeSet findVolumeSet(const std::string& path);

} // namespace cfr
