// What the benchmark runs for one format: our engine on one side, a peer tool on the other.
//
// Adding a family of formats: write <family>_formats.cpp in this folder defining a function
// that returns its formats and registering it with COFFRET_BENCH_FORMATS(thatFunction);
// then list the file in bench/CMakeLists.txt. Nothing else changes.
#pragma once

#include <string>
#include <vector>

namespace bench {

// A peer tool doing the same work on the same data: shell commands with "$1" = archive,
// "$2" = folder holding the input, "$3" = input name, "$4" = output folder. The peer extracts
// the archive we wrote. An empty command means this peer does not do that step.
struct Peer {
    std::string name;
    std::string pack;
    std::string extract;
};

struct BenchFormat {
    std::string name;        // shown in the table: "tar.gz"
    std::string suffix;      // of the archive we write: ".tar.gz"
    std::string password;    // handed to cfr::pack and cfr::extract; empty = none
    bool singleFile = false; // packs one large file instead of the whole corpus
    // Each one gets a row of its own beside ours, in this order.
    std::vector<Peer> peers;
};

// Whether a program of that name is on the PATH: peers that are not installed are left out.
bool installed(const std::string& program);

using FormatFamily = std::vector<BenchFormat> (*)();

// Every registered family's formats, in registration order.
std::vector<BenchFormat> allFormats();

struct FamilyRegistration {
    explicit FamilyRegistration(FormatFamily family);
};

} // namespace bench

#define COFFRET_BENCH_FORMATS(family)                                                              \
    static const ::bench::FamilyRegistration family##Registration(family)
