#include "corpus.h"

#include <cstdio>
#include <filesystem>
#include <vector>

namespace bench {
namespace {

const std::size_t kPiece = 1 << 20;
const int kSmallFiles = 3000;

// xorshift64*: fast, deterministic, good enough to defeat compressors.
class Noise {
public:
    explicit Noise(std::uint64_t seed) : state_(seed | 1) {}
    std::uint64_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }

private:
    std::uint64_t state_;
};

void fillNoise(std::vector<char>& piece, Noise& noise) {
    for (std::size_t i = 0; i + 8 <= piece.size(); i += 8) {
        const std::uint64_t value = noise.next();
        for (int b = 0; b < 8; ++b)
            piece[i + b] = char(value >> (8 * b));
    }
}

// Words drawn unevenly from a small vocabulary: compresses about as well as prose.
void fillText(std::vector<char>& piece, Noise& noise) {
    static const char* const words[] = {
        "the",     "archive", "of",    "and",     "coffret", "file", "folder", "a",
        "to",      "packed",  "in",    "is",      "data",    "with", "for",    "password",
        "extract", "stream",  "block", "library", "entry",   "name", "that",   "on",
        "vault",   "zip",     "it",    "tar",     "bytes",   "when", "by",     "progress"};
    std::size_t at = 0;
    while (at < piece.size()) {
        const std::uint64_t r = noise.next();
        const char* word = words[(r & 31) & ((r >> 5) & 31)];
        for (const char* c = word; *c && at < piece.size(); ++c)
            piece[at++] = *c;
        if (at < piece.size())
            piece[at++] = (r >> 10) % 13 == 0 ? '\n' : ' ';
    }
}

bool writeFile(const std::filesystem::path& path, std::uint64_t size, bool text, Noise& noise) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::vector<char> piece(kPiece);
    bool ok = true;
    for (std::uint64_t left = size; left > 0 && ok;) {
        const std::size_t n = left < kPiece ? std::size_t(left) : kPiece;
        piece.resize(n);
        text ? fillText(piece, noise) : fillNoise(piece, noise);
        ok = std::fwrite(piece.data(), 1, n, file) == n;
        left -= n;
    }
    return std::fclose(file) == 0 && ok;
}

} // namespace

bool makeCorpus(const std::string& parent, std::uint64_t totalBytes, Corpus& corpus) {
    namespace fs = std::filesystem;
    corpus = Corpus();
    corpus.parent = parent;
    corpus.name = "corpus";
    const fs::path root = fs::path(parent) / corpus.name;
    std::error_code ec;
    fs::remove_all(root, ec);
    fs::create_directories(root / "text", ec);
    fs::create_directories(root / "binary", ec);
    Noise noise(totalBytes);

    const std::uint64_t textBytes = totalBytes / 2;
    const std::uint64_t noiseBytes = totalBytes * 2 / 5;
    const std::uint64_t smallBytes = totalBytes - textBytes - noiseBytes;
    bool ok = true;
    for (int i = 0; i < 4 && ok; ++i)
        ok = writeFile(root / "text" / ("book" + std::to_string(i) + ".txt"), textBytes / 4, true,
                       noise);
    for (int i = 0; i < 2 && ok; ++i)
        ok = writeFile(root / "binary" / ("blob" + std::to_string(i) + ".bin"), noiseBytes / 2,
                       false, noise);
    for (int i = 0; i < kSmallFiles && ok; ++i) {
        const fs::path folder =
            root / "small" / ("d" + std::to_string(i % 40)) / ("e" + std::to_string(i % 7));
        fs::create_directories(folder, ec);
        ok = writeFile(folder / ("f" + std::to_string(i) + ".txt"), smallBytes / kSmallFiles,
                       i % 3 != 0, noise);
    }
    corpus.largeFile = corpus.name + "/text/book0.txt";
    corpus.largeBytes = textBytes / 4;
    corpus.bytes = textBytes / 4 * 4 + noiseBytes / 2 * 2 + smallBytes / kSmallFiles * kSmallFiles;
    corpus.files = 4 + 2 + kSmallFiles;
    return ok;
}

} // namespace bench
