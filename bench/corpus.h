// The data every format is measured on, written to disk once per run.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

struct Corpus {
    std::string parent;           // folder holding the corpus folder
    std::string name;             // the corpus folder, packed as a whole
    std::string largeFile;        // name (relative to parent) of the file single streams pack
    std::uint64_t bytes = 0;      // all file bytes in the corpus
    std::uint64_t largeBytes = 0; // bytes of largeFile
    int files = 0;
};

// About totalBytes of data under parent/corpus: half text, 40% incompressible, and the rest
// as thousands of small files in nested folders. Written in 1 MiB pieces, so memory stays
// flat whatever the size. Deterministic for a given size.
bool makeCorpus(const std::string& parent, std::uint64_t totalBytes, Corpus& corpus);

} // namespace bench
