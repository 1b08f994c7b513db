// coffret-bench: packs and extracts a generated corpus in every format, next to peer tools
// doing the same work on the same data, and prints times, throughput and peak memory.
#include "bench_format.h"
#include "cfr.h"
#include "corpus.h"
#include "measure.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

namespace fs = std::filesystem;
using namespace bench;

namespace {

struct Options {
    std::uint64_t sizeMiB = 64;
    int repeat = 3;
    std::string only; // comma-separated format names; empty = all
    std::string workDir;
    bool keep = false;
};

void usage() {
    std::printf(
        "usage: coffret-bench [--size MiB] [--repeat N] [--formats a,b] [--work DIR] [--keep]\n"
        "  Packs and extracts a generated corpus (text, incompressible data, thousands of small\n"
        "  files; --size MiB in all, default 64) in every format, next to peer tools (bsdtar\n"
        "  for archives, the compressor for single streams, and the multi-threaded pigz,\n"
        "  xz -T0, zstd -T0 and 7z where installed) doing the same work, one row per peer.\n"
        "  Each side runs in its own process; the best of --repeat runs (default 3) is shown\n"
        "  with its peak resident memory. --formats picks formats by name (e.g. tar.gz,7z).\n");
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--size" && hasValue)
            options.sizeMiB = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--repeat" && hasValue)
            options.repeat = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--formats" && hasValue)
            options.only = "," + std::string(argv[++i]) + ",";
        else if (arg == "--work" && hasValue)
            options.workDir = argv[++i];
        else if (arg == "--keep")
            options.keep = true;
        else
            return false;
    }
    return options.sizeMiB > 0;
}

void clearFolder(const std::string& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
    fs::create_directories(path, ec);
    // Earlier runs' dirty pages would otherwise be flushed on the next run's time.
    ::sync();
}

void keepBest(Measurement& best, const Measurement& run, bool first) {
    best.ran = run.ran;
    if (!run.ok || (!first && !best.ok)) {
        best.ok = false;
        return;
    }
    best.seconds = first ? run.seconds : std::min(best.seconds, run.seconds);
    best.peakKiB = std::max(best.peakKiB, run.peakKiB);
    best.ok = true;
}

// Best of several runs of each job (ours first, then each peer's), taken in turn so that
// whatever else the machine is doing weighs on all alike. The output folder is emptied and
// the job's archive (archives[j], where given) removed before each run, untimed.
std::vector<Measurement> bestOf(int repeat, const std::string& outDir,
                                const std::vector<std::string>& archives,
                                const std::vector<std::function<Measurement()>>& jobs) {
    std::vector<Measurement> best(jobs.size());
    for (int i = 0; i < repeat; ++i)
        for (std::size_t j = 0; j < jobs.size(); ++j) {
            clearFolder(outDir);
            std::error_code ec;
            if (j < archives.size())
                fs::remove(archives[j], ec);
            keepBest(best[j], jobs[j](), i == 0);
        }
    return best;
}

void printRow(const std::string& format, const char* op, double mib, const Measurement& ours,
              const Measurement& peer, const std::string& peerName) {
    auto cell = [](const Measurement& m, double mib) {
        static char text[2][64];
        static int which = 0;
        which ^= 1;
        if (!m.ok)
            std::snprintf(text[which], sizeof text[which], "%8s %8s", m.ran ? "FAILED" : "-", "-");
        else
            std::snprintf(text[which], sizeof text[which], "%8.3f %8.1f", m.seconds,
                          mib / m.seconds);
        return text[which];
    };
    char ratio[16] = "-";
    if (ours.ok && peer.ok)
        std::snprintf(ratio, sizeof ratio, "%.2f", ours.seconds / peer.seconds);
    std::printf("%-8s %-7s %s %s %-16s %6s %9.1f %9.1f\n", format.c_str(), op, cell(ours, mib),
                cell(peer, mib), peerName.c_str(), ratio, ours.peakKiB / 1024.0,
                peer.peakKiB / 1024.0);
    std::fflush(stdout);
}

void benchFormat(const BenchFormat& format, const Corpus& corpus, const Options& options,
                 const std::string& work) {
    const std::string archive = work + "/ours" + format.suffix;
    const std::string peerArchive = work + "/peer" + format.suffix;
    const std::string out = work + "/out";
    const std::string input =
        corpus.parent + "/" + (format.singleFile ? corpus.largeFile : corpus.name);
    const double mib = double(format.singleFile ? corpus.largeBytes : corpus.bytes) / 1048576.0;
    const fs::path inputPath(input);
    const std::vector<std::string> peerArgs{peerArchive, inputPath.parent_path().string(),
                                            inputPath.filename().string(), out};
    const char* password = format.password.empty() ? nullptr : format.password.c_str();

    std::vector<std::function<Measurement()>> packs{[&] {
        return measureInChild([&] {
            const char* inputs[] = {input.c_str()};
            return cfr::pack(inputs, 1, archive.c_str(), password, nullptr, nullptr);
        });
    }};
    for (const Peer& peer : format.peers)
        packs.push_back(
            [&] { return peer.pack.empty() ? Measurement() : measureShell(peer.pack, peerArgs); });
    std::vector<std::string> written(packs.size(), peerArchive);
    written[0] = archive;
    const auto pack = bestOf(options.repeat, out, written, packs);
    for (std::size_t i = 0; i < format.peers.size(); ++i)
        printRow(format.name, "pack", mib, pack[0], pack[i + 1], format.peers[i].name);

    // Every side extracts the archive we wrote.
    std::vector<std::string> extractArgs = peerArgs;
    extractArgs[0] = archive;
    std::vector<std::function<Measurement()>> extracts{[&] {
        return measureInChild(
            [&] { return cfr::extract(archive.c_str(), out.c_str(), password, nullptr, nullptr); });
    }};
    for (const Peer& peer : format.peers)
        extracts.push_back([&] {
            return peer.extract.empty() ? Measurement() : measureShell(peer.extract, extractArgs);
        });
    const auto extract = bestOf(options.repeat, out, {}, extracts);
    for (std::size_t i = 0; i < format.peers.size(); ++i)
        printRow(format.name, "extract", mib, extract[0], extract[i + 1], format.peers[i].name);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        usage();
        return argc > 1 && std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    std::string work = options.workDir;
    if (work.empty()) {
        std::string pattern = (fs::temp_directory_path() / "coffret-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            return 1;
        }
        work = pattern;
    }
    fs::create_directories(work);

    Corpus corpus;
    std::printf("corpus: %llu MiB in %s ...\n", (unsigned long long)options.sizeMiB, work.c_str());
    if (!makeCorpus(work, options.sizeMiB << 20, corpus)) {
        std::fprintf(stderr, "cannot write the corpus in %s\n", work.c_str());
        return 1;
    }
    std::printf("%d files, %.1f MiB; single streams use %s (%.1f MiB); best of %d runs\n\n",
                corpus.files, corpus.bytes / 1048576.0, corpus.largeFile.c_str(),
                corpus.largeBytes / 1048576.0, options.repeat);
    std::printf("%-8s %-7s %8s %8s %8s %8s %-16s %6s %9s %9s\n", "format", "op", "ours s", "MiB/s",
                "peer s", "MiB/s", "peer", "ratio", "ours MiB", "peer MiB");

    for (const BenchFormat& format : allFormats())
        if (options.only.empty() || options.only.find("," + format.name + ",") != std::string::npos)
            benchFormat(format, corpus, options, work);

    if (!options.keep) {
        std::error_code ec;
        fs::remove_all(work, ec);
    }
    return 0;
}
