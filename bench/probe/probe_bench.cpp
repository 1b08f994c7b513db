// coffret-bench-probe: how long the two format probes take on archives that would be slow to
// read whole: a tar.gz and an xz holding 1 GiB, a 7z and a zip of 3,000 files (plain and
// encrypted), made by the peer tools in a temporary folder. Prints the best of five runs.
#include "cfr.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

double bestMs(int (*probe)(const char*), const std::string& path) {
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        probe(path.c_str());
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

} // namespace

int main() {
    const fs::path work = fs::temp_directory_path() / "coffret-bench-probe";
    fs::remove_all(work);
    fs::create_directories(work / "many");
    const bool made =
        run("cd '" + work.string() +
            "' && head -c 1G /dev/zero > big && tar czf big.tar.gz big && "
            "xz -T2 -k big && rm big && cd many && for i in $(seq 3000); do echo $i > f$i; done && "
            "7z a -bd ../many.7z . >/dev/null && "
            "7z a -bd -ppw ../many_pw.7z . >/dev/null && zip -qr ../many.zip .");
    if (!made) {
        std::fprintf(stderr, "could not make the archives (tar, xz, 7z, zip)\n");
        return 1;
    }
    std::printf("%-14s %18s %16s\n", "archive", "needs password ms", "supported ms");
    for (const char* name : {"big.tar.gz", "big.xz", "many.7z", "many_pw.7z", "many.zip"}) {
        const std::string path = (work / name).string();
        std::printf("%-14s %18.2f %16.2f\n", name, bestMs(cfr::archiveNeedsPassword, path),
                    bestMs(cfr::archiveSupported, path));
    }
    fs::remove_all(work);
    return 0;
}
