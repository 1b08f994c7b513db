// The libarchive family, measured against bsdtar (single streams against their compressor)
// and, where they are installed, against the tools that compress on every core.
#include "bench_format.h"

namespace bench {
namespace {

Peer bsdtar(const std::string& option) {
    return {"bsdtar", "bsdtar -c " + option + " -f \"$1\" -C \"$2\" \"$3\"",
            "bsdtar -x -f \"$1\" -C \"$4\""};
}

// GNU tar piping through a compressor command (which must be installed).
void addTarThrough(BenchFormat& format, const std::string& program, const std::string& command) {
    if (installed("tar") && installed(program))
        format.peers.push_back({"tar -I " + command,
                                "tar -I '" + command + "' -cf \"$1\" -C \"$2\" \"$3\"",
                                "tar -I '" + command + "' -xf \"$1\" -C \"$4\""});
}

BenchFormat tarKind(const std::string& name, const std::string& option,
                    const std::string& program = std::string(),
                    const std::string& parallel = std::string()) {
    BenchFormat format;
    format.name = name;
    format.suffix = "." + name;
    format.peers = {bsdtar(option)};
    if (!parallel.empty())
        addTarThrough(format, program, parallel);
    return format;
}

Peer compressor(const std::string& command) {
    return {command, command + " -c \"$2/$3\" > \"$1\"", command + " -dc \"$1\" > \"$4/out\""};
}

BenchFormat stream(const std::string& name, const std::string& tool,
                   const std::string& program = std::string(),
                   const std::string& parallel = std::string()) {
    BenchFormat format;
    format.name = name;
    format.suffix = "." + name;
    format.singleFile = true;
    format.peers = {compressor(tool)};
    if (!parallel.empty() && installed(program))
        format.peers.push_back(compressor(parallel));
    return format;
}

// 7-Zip writing its own format, multi-threaded LZMA2, as the plugin we pack through does.
BenchFormat sevenZip() {
    BenchFormat format = tarKind("7z", "--format 7zip");
    if (installed("7z"))
        format.peers.push_back({"7z", "cd \"$2\" && 7z a -bso0 -bsp0 \"$1\" \"$3\"",
                                "7z x -bso0 -bsp0 -o\"$4\" \"$1\""});
    return format;
}

std::vector<BenchFormat> tarFormats() {
    return {
        tarKind("tar", ""),
        tarKind("tar.gz", "-z", "pigz", "pigz"),
        tarKind("tar.bz2", "-j"),
        tarKind("tar.xz", "-J", "xz", "xz -T0"),
        tarKind("tar.zst", "--zstd", "zstd", "zstd -T0"),
        sevenZip(),
        stream("gz", "gzip", "pigz", "pigz"),
        stream("bz2", "bzip2"),
        stream("xz", "xz", "xz", "xz -T0"),
        stream("zst", "zstd -q", "zstd", "zstd -q -T0"),
    };
}

} // namespace

COFFRET_BENCH_FORMATS(tarFormats);

} // namespace bench
