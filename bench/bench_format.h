// What the benchmark runs for one format: our engine on one side, a peer tool on the other.
//
// Adding a family of formats: write <family>_formats.cpp in this folder defining a function
// that returns its formats and registering it with COFFRET_BENCH_FORMATS(thatFunction);
// then list the file in bench/CMakeLists.txt. Nothing else changes.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct BenchFormat {
    std::string name;        // shown in the table: "tar.gz"
    std::string suffix;      // of the archive we write: ".tar.gz"
    std::string password;    // handed to cfr::pack and cfr::extract; empty = none
    bool singleFile = false; // packs one large file instead of the whole corpus
    // Shell commands for the peer doing the same work on the same data, with
    // "$1" = archive, "$2" = folder holding the input, "$3" = input name, "$4" = output folder.
    // The peer extracts the archive we wrote. An empty command means no peer.
    std::string peerName;
    std::string peerPack;
    std::string peerExtract;
};

using FormatFamily = std::vector<BenchFormat> (*)();

// Every registered family's formats, in registration order.
std::vector<BenchFormat> allFormats();

struct FamilyRegistration {
    explicit FamilyRegistration(FormatFamily family);
};

} // namespace bench

#define COFFRET_BENCH_FORMATS(family)                                                              \
    static const ::bench::FamilyRegistration family##Registration(family)
