// The libarchive family, measured against bsdtar (single streams against their compressor).
#include "bench_format.h"

namespace bench {
namespace {

BenchFormat tarKind(const std::string& name, const std::string& option) {
    BenchFormat format;
    format.name = name;
    format.suffix = "." + name;
    format.peerName = "bsdtar";
    format.peerPack = "bsdtar -c " + option + " -f \"$1\" -C \"$2\" \"$3\"";
    format.peerExtract = "bsdtar -x -f \"$1\" -C \"$4\"";
    return format;
}

BenchFormat stream(const std::string& name, const std::string& tool) {
    BenchFormat format;
    format.name = name;
    format.suffix = "." + name;
    format.singleFile = true;
    format.peerName = tool;
    format.peerPack = tool + " -c \"$2/$3\" > \"$1\"";
    format.peerExtract = tool + " -dc \"$1\" > \"$4/out\"";
    return format;
}

std::vector<BenchFormat> tarFormats() {
    return {
        tarKind("tar", ""),       tarKind("tar.gz", "-z"),      tarKind("tar.bz2", "-j"),
        tarKind("tar.xz", "-J"),  tarKind("tar.zst", "--zstd"), tarKind("7z", "--format 7zip"),
        stream("gz", "gzip"),     stream("bz2", "bzip2"),       stream("xz", "xz"),
        stream("zst", "zstd -q"),
    };
}

} // namespace

COFFRET_BENCH_FORMATS(tarFormats);

} // namespace bench
