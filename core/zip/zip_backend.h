// Plain and WinZip AES-256 zip archives through libzip.
#pragma once

#include "progress_sink.h"

#include <zip.h>

#include <string>
#include <vector>

namespace cfr {

int zipPack(const std::vector<std::string>& inputs, const std::string& dest,
            const std::string& password, const ProgressSink* sink);
// Progress is reported as offset + scale × (fraction of this archive).
int zipExtract(const std::string& archive, const std::string& destDir, const std::string& password,
               const ProgressSink* sink, double offset, double scale);
// Whether libzip can decompress and decrypt the entry; the 7-Zip plugin reads more methods.
bool libzipDecodes(const zip_stat_t& st);
bool libzipDecodesAll(zip_t* archive);

} // namespace cfr
