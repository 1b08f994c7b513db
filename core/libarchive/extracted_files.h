// The files one extraction job has written, so that a hard-link entry can be recreated
// from its target instead of ending up empty.
#pragma once

#include <filesystem>
#include <string>
#include <unordered_set>

namespace cfr {

class ExtractedFiles {
public:
    void add(const std::filesystem::path& target) { written_.insert(target.native()); }
    bool contains(const std::filesystem::path& target) const {
        return written_.count(target.native()) > 0;
    }
    // Makes link a hard link to source, one of the files above (a copy where linking
    // fails). False when neither worked.
    bool relink(const std::filesystem::path& source, const std::filesystem::path& link);

private:
    std::unordered_set<std::string> written_;
};

} // namespace cfr
