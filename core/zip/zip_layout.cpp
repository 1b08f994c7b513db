#include "zip/zip_layout.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace cfr {
namespace {

const std::uint32_t kEndSignature = 0x06054b50;
const std::uint32_t kEnd64LocatorSignature = 0x07064b50;
const std::uint32_t kEnd64Signature = 0x06064b50;
const std::uint32_t kCentralSignature = 0x02014b50;
const std::uint32_t kLocalSignature = 0x04034b50;
const std::size_t kEndSize = 22;
const std::size_t kEndSearch = kEndSize + 65535;
const std::size_t kCentralSize = 46;
const std::size_t kLocalSize = 30;
const std::uint32_t kMax32 = 0xffffffff;
const std::uint16_t kZip64ExtraId = 0x0001;

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

std::uint64_t little(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

bool readAt(std::FILE* file, std::uint64_t offset, void* data, std::size_t size) {
    return fseeko(file, off_t(offset), SEEK_SET) == 0 && std::fread(data, 1, size, file) == size;
}

struct Directory {
    std::uint64_t offset = 0;
    std::uint64_t entries = 0;
};

// The directory's place from the end record, or from its zip64 form where the end record
// only says "see there".
std::optional<Directory> findDirectory(std::FILE* file) {
    if (fseeko(file, 0, SEEK_END) != 0)
        return std::nullopt;
    const std::uint64_t size = std::uint64_t(ftello(file));
    if (size < kEndSize)
        return std::nullopt;
    const std::uint64_t start = size > kEndSearch ? size - kEndSearch : 0;
    std::vector<unsigned char> tail(size - start);
    if (!readAt(file, start, tail.data(), tail.size()))
        return std::nullopt;
    for (std::size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
        const unsigned char* end = tail.data() + at;
        if (little(end, 4) != kEndSignature)
            continue;
        Directory directory{little(end + 16, 4), little(end + 10, 2)};
        const std::uint64_t endOffset = start + at;
        std::array<unsigned char, 20> locator;
        if ((directory.offset == kMax32 || directory.entries == 0xffff) && endOffset >= 20 &&
            readAt(file, endOffset - 20, locator.data(), locator.size()) &&
            little(locator.data(), 4) == kEnd64LocatorSignature) {
            std::array<unsigned char, 56> end64;
            if (!readAt(file, little(locator.data() + 8, 8), end64.data(), end64.size()) ||
                little(end64.data(), 4) != kEnd64Signature)
                return std::nullopt;
            directory = {little(end64.data() + 48, 8), little(end64.data() + 32, 8)};
        }
        return directory;
    }
    return std::nullopt;
}

// Sizes and offsets too large for their 32-bit fields are in the zip64 extra field, in
// this order, each present only when its field says so.
void applyZip64(const std::vector<unsigned char>& extra, std::uint64_t& compressed,
                std::uint64_t& local, bool uncompressedMissing) {
    for (std::size_t at = 0; at + 4 <= extra.size();) {
        const std::uint64_t id = little(&extra[at], 2);
        const std::size_t length = std::size_t(little(&extra[at + 2], 2));
        std::size_t field = at + 4;
        const std::size_t fieldEnd = std::min(field + length, extra.size());
        if (id == kZip64ExtraId) {
            if (uncompressedMissing)
                field += 8;
            if (compressed == kMax32 && field + 8 <= fieldEnd) {
                compressed = little(&extra[field], 8);
                field += 8;
            }
            if (local == kMax32 && field + 8 <= fieldEnd)
                local = little(&extra[field], 8);
            return;
        }
        at += 4 + length;
    }
}

// [start, end) of each entry: its local header, name, extra field and data.
std::optional<std::vector<std::pair<std::uint64_t, std::uint64_t>>> entrySpans(std::FILE* file) {
    const auto directory = findDirectory(file);
    if (!directory || fseeko(file, off_t(directory->offset), SEEK_SET) != 0)
        return std::nullopt;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> spans;
    std::vector<unsigned char> extra;
    for (std::uint64_t i = 0; i < directory->entries; ++i) {
        std::array<unsigned char, kCentralSize> central;
        if (std::fread(central.data(), 1, central.size(), file) != central.size() ||
            little(central.data(), 4) != kCentralSignature)
            return std::nullopt;
        std::uint64_t compressed = little(&central[20], 4);
        std::uint64_t local = little(&central[42], 4);
        const long nameLength = long(little(&central[28], 2));
        extra.resize(std::size_t(little(&central[30], 2)));
        const long commentLength = long(little(&central[32], 2));
        if (std::fseek(file, nameLength, SEEK_CUR) != 0 ||
            std::fread(extra.data(), 1, extra.size(), file) != extra.size() ||
            std::fseek(file, commentLength, SEEK_CUR) != 0)
            return std::nullopt;
        applyZip64(extra, compressed, local, little(&central[24], 4) == kMax32);
        spans.emplace_back(local, compressed);
    }
    // The local header's own name and extra lengths decide where its data starts.
    for (auto& [start, end] : spans) {
        std::array<unsigned char, kLocalSize> header;
        if (!readAt(file, start, header.data(), header.size()) ||
            little(header.data(), 4) != kLocalSignature)
            return std::nullopt;
        end += start + kLocalSize + little(&header[26], 2) + little(&header[28], 2);
    }
    return spans;
}

} // namespace

bool zipEntriesOverlap(const std::string& path) {
    const File file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    auto spans = entrySpans(file.get());
    if (!spans)
        return false;
    std::sort(spans->begin(), spans->end());
    std::uint64_t reached = 0;
    for (std::size_t i = 0; i < spans->size(); ++i) {
        if (i > 0 && (*spans)[i].first < reached)
            return true;
        reached = std::max(reached, (*spans)[i].second);
    }
    return false;
}

} // namespace cfr
