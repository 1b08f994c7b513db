#include "libarchive/read_entry_name.h"

#include <cstring>

namespace cfr {
namespace {

std::string rawStreamName(const std::string& archivePath) {
    const auto slash = archivePath.find_last_of('/');
    std::string name = slash == std::string::npos ? archivePath : archivePath.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name.empty() ? "data" : name;
}

} // namespace

std::string readEntryName(archive* reader, archive_entry* entry, const std::string& archivePath) {
    const char* name = archive_entry_pathname_utf8(entry);
    if (!name)
        name = archive_entry_pathname(entry);
    const char* format = archive_format_name(reader);
    if (!name || !*name || std::strcmp(name, "data") == 0 || (format && std::strstr(format, "raw")))
        return rawStreamName(archivePath);
    return name;
}

} // namespace cfr
