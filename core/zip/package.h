// The .cfr package: a zip holding one AES-256-encrypted inner zip.
#pragma once

#include "progress_sink.h"
#include "random_text.h"

#include <string>
#include <vector>

namespace cfr {

int packagePack(const std::vector<std::string>& inputs, const std::string& dest,
                const std::string& password, const ProgressSink* sink);
// Also extracts plain zip archives: what the file holds decides, not its name.
int packageExtract(const std::string& archive, const std::string& destDir,
                   const std::string& password, const ProgressSink* sink);

std::string lowerExtension(const std::string& name);

} // namespace cfr
