// Everything that goes through libarchive: tar family, single streams, plain 7z, rar.
#pragma once

#include "progress_sink.h"

#include <string>
#include <vector>

namespace cfr {

int tarExtract(const std::string& archive, const std::string& destDir, const std::string& password,
               const ProgressSink* sink);
// The parts of a multi-volume archive, read as one, in order; named after the first.
int tarExtractParts(const std::vector<std::string>& parts, const std::string& destDir,
                    const std::string& password, const ProgressSink* sink);
int tarPack(const std::vector<std::string>& inputs, const std::string& dest, int kind,
            const ProgressSink* sink);

} // namespace cfr
