// 7z through the 7-Zip plugin (7z.so), loaded at run time.
#pragma once

#include "cfr.h"

#include <string>
#include <vector>

namespace cfr {

// Loads the plugin once per process; true when it can be used.
bool p7Available();

int p7Pack(const std::vector<std::string>& inputs, const std::string& dest,
           const std::string& password, const ProgressSink* sink);
int p7Extract(const std::string& archive, const std::string& destDir, const std::string& password,
              const ProgressSink* sink);

} // namespace cfr
