// Password-protected 7z through the 7-Zip plugin, measured against the 7z tool running the
// same compression code with the same password.
#include "bench_format.h"

namespace bench {
namespace {

std::vector<BenchFormat> p7Formats() {
    BenchFormat format;
    format.name = "7z+pw";
    format.suffix = ".7z";
    format.password = "bench-password";
    format.peers = {{"7z", "cd \"$2\" && 7z a -bso0 -bsp0 -pbench-password \"$1\" \"$3\"",
                     "7z x -bso0 -bsp0 -pbench-password -o\"$4\" \"$1\""}};
    return {format};
}

} // namespace

COFFRET_BENCH_FORMATS(p7Formats);

} // namespace bench
