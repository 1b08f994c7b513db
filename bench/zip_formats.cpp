// The libzip family: plain zip against Info-ZIP, AES zip against 7z writing WinZip AES-256,
// and the .cfr package against that same one-pass AES zip (its second pass is the format's
// cost).
#include "bench_format.h"

namespace bench {
namespace {

const char* const password = "bench-password";

// 7z's one-pass AES-256 zip of the same input.
std::string sevenZipAesPack() {
    return std::string("cd \"$2\" && 7z a -tzip -mem=AES256 -bso0 -bsp0 -p") + password +
           " \"$1\" \"$3\"";
}

std::string sevenZipExtract(const std::string& archive) {
    return std::string("7z x -bso0 -bsp0 -p") + password + " -o\"$4\" \"" + archive + "\"";
}

std::vector<BenchFormat> zipFormats() {
    BenchFormat plain;
    plain.name = "zip";
    plain.suffix = ".zip";
    plain.peers = {{"zip", "cd \"$2\" && zip -q -r \"$1\" \"$3\"", "unzip -q \"$1\" -d \"$4\""}};

    BenchFormat aes;
    aes.name = "zip+aes";
    aes.suffix = ".zip";
    aes.password = password;
    aes.peers = {{"7z", sevenZipAesPack(), sevenZipExtract("$1")}};

    BenchFormat package;
    package.name = "cfr";
    package.suffix = ".cfr";
    package.password = password;
    // 7z would only unwrap our package's outer layer; the fair peer unpacks its own
    // one-pass AES zip, written beside ours by the pack step.
    package.peers = {{"7z", sevenZipAesPack(), sevenZipExtract("$(dirname \"$1\")/peer.cfr")}};
    return {plain, aes, package};
}

} // namespace

COFFRET_BENCH_FORMATS(zipFormats);

} // namespace bench
