#include "rar/rar_backend.h"

#include "failure_reason.h"
#include "libarchive/tar_backend.h"
#include "rar/rar_volumes.h"

#include <filesystem>

namespace cfr {

int rarExtract(const std::string& archive, const std::string& destDir, const std::string& password,
               const ProgressSink* sink) {
    const VolumeSet set = findVolumeSet(archive);
    if (!set.missing.empty()) {
        noteFailure(MissingVolume, std::filesystem::path(set.missing).filename().string());
        return OpenFailed;
    }
    if (set.encrypted) {
        noteFailure(RarEncryptionUnsupported);
        return Unsupported;
    }
    return tarExtractParts(set.parts, destDir, password, sink);
}

} // namespace cfr
