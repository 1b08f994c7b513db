#include "libarchive/extracted_files.h"

#include <unistd.h>

namespace cfr {
namespace fs = std::filesystem;

bool ExtractedFiles::relink(const fs::path& source, const fs::path& link) {
    if (source == link)
        return true;
    std::error_code ec;
    fs::create_directories(link.parent_path(), ec);
    // Never through whatever stood there before: it may be a link to elsewhere.
    ::unlink(link.c_str());
    fs::create_hard_link(source, link, ec);
    if (ec) {
        ec.clear();
        fs::copy_file(source, link, fs::copy_options::overwrite_existing, ec);
    }
    if (ec)
        return false;
    add(link);
    return true;
}

} // namespace cfr
