// Building a zip archive with libzip: the rules shared by plain zips and both package passes.
#pragma once

#include "progress_sink.h"
#include "staged_file.h"
#include "zip/zip_handle.h"

#include <filesystem>
#include <string>
#include <vector>

namespace cfr {

// Opens path as a new, empty archive; an existing file is replaced only by a successful close.
ZipHandle createZip(const std::string& path);

// Every input under its unique top-level name, folder trees beneath it with "/"; only empty
// folders get entries of their own. Ok, Failed when an input cannot be taken (missing, a
// dangling link, refused by libzip), or Cancelled. The archive being written and the one it
// replaces are left out.
int zipAddInputs(zip_t* archive, const std::vector<std::string>& inputs, bool encrypt,
                 const ProgressSink* sink, const StagedFile& output);

int zipAddFile(zip_t* archive, const std::string& entryName, const std::filesystem::path& file,
               bool encrypt);

// Writes the archive, reporting offset + scale × libzip's progress. The handle is consumed
// on every path; on failure or cancellation nothing is left at the destination.
int closeZip(ZipHandle archive, const ProgressSink* sink, double offset, double scale);

} // namespace cfr
