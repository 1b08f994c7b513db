#include "zip/zip_entry_name.h"

#include "legacy_names.h"

#include <sys/stat.h>

namespace cfr {
namespace {

const zip_uint32_t kDosFolderAttribute = 0x10;

} // namespace

std::string zipEntryName(zip_t* archive, zip_uint64_t index) {
    // libzip puts a Unicode path field in place of the header name, even for raw names, only
    // when the field's CRC-32 matches that name.
    const char* raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
    return raw ? decodeEntryName(raw) : std::string();
}

bool zipEntryIsFolder(zip_t* archive, zip_uint64_t index, const std::string& name) {
    if (!name.empty() && (name.back() == '/' || name.back() == '\\'))
        return true;
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, ZIP_FL_UNCHANGED, &system, &attributes) !=
        0)
        return false;
    // Unix tools keep the mode in the high half; the low byte holds MS-DOS attributes.
    if (system == ZIP_OPSYS_UNIX && (attributes >> 16) != 0)
        return S_ISDIR(attributes >> 16);
    return (attributes & kDosFolderAttribute) != 0;
}

} // namespace cfr
