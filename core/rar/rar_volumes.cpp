#include "rar/rar_volumes.h"

#include "rar/rar_headers.h"

#include <cctype>
#include <filesystem>

namespace cfr {
namespace {

const int kMostParts = 10000;

bool sameLetters(const std::string& text, std::size_t at, const char* lower) {
    for (std::size_t i = 0; lower[i]; ++i)
        if (at + i >= text.size() ||
            std::tolower(static_cast<unsigned char>(text[at + i])) != lower[i])
            return false;
    return true;
}

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// name.part<digits>.rar
std::optional<VolumeName> parsePartNaming(const std::string& path) {
    if (path.size() < 4 || !sameLetters(path, path.size() - 4, ".rar"))
        return std::nullopt;
    std::size_t start = path.size() - 4;
    while (start > 0 && isDigit(path[start - 1]))
        --start;
    const int digits = int(path.size() - 4 - start);
    if (digits == 0 || digits > 5 || start < 5 || !sameLetters(path, start - 5, ".part"))
        return std::nullopt;
    const int number = std::stoi(path.substr(start, std::size_t(digits)));
    if (number < 1)
        return std::nullopt;
    return VolumeName{path.substr(0, start - 5), path.substr(start - 5, 5),
                      path.substr(path.size() - 4), digits, number - 1};
}

// name.rar, then name.r00 … name.r99, name.s00 …
std::optional<VolumeName> parseOldNaming(const std::string& path) {
    if (path.size() < 4 || path[path.size() - 4] != '.')
        return std::nullopt;
    const std::size_t at = path.size() - 3;
    const std::string stem = path.substr(0, at - 1);
    if (sameLetters(path, at, "rar"))
        return VolumeName{stem, "", path.substr(at - 1), 2, 0};
    const char letter = char(std::tolower(static_cast<unsigned char>(path[at])));
    if (letter < 'r' || letter > 'z' || !isDigit(path[at + 1]) || !isDigit(path[at + 2]))
        return std::nullopt;
    const bool upper = std::isupper(static_cast<unsigned char>(path[at])) != 0;
    const int index = (letter - 'r') * 100 + std::stoi(path.substr(at + 1)) + 1;
    return VolumeName{stem, "", upper ? ".RAR" : ".rar", 2, index};
}

std::string padded(int number, int digits) {
    std::string text = std::to_string(number);
    if (int(text.size()) < digits)
        text.insert(0, std::size_t(digits) - text.size(), '0');
    return text;
}

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace

std::optional<VolumeName> parseVolumeName(const std::string& path) {
    if (auto name = parsePartNaming(path))
        return name;
    return parseOldNaming(path);
}

std::string volumePath(const VolumeName& name, int index) {
    if (!name.partWord.empty())
        return name.stem + name.partWord + padded(index + 1, name.digits) + name.extension;
    if (index == 0)
        return name.stem + name.extension;
    const bool upper = name.extension[1] == 'R';
    const char letter = char((upper ? 'R' : 'r') + (index - 1) / 100);
    return name.stem + "." + letter + padded((index - 1) % 100, 2);
}

VolumeSet findVolumeSet(const std::string& path) {
    VolumeSet set;
    const RarHeaders given = readRarHeaders(path);
    const auto name = parseVolumeName(path);
    if (!given.volume || !name) {
        set.parts.push_back(path);
        set.encrypted = given.encrypted;
        return set;
    }
    for (int index = 0; index < kMostParts; ++index) {
        const std::string part = volumePath(*name, index);
        if (!exists(part)) {
            set.missing = part;
            break;
        }
        set.parts.push_back(part);
        const RarHeaders headers = readRarHeaders(part);
        set.encrypted = set.encrypted || headers.encrypted;
        if (!headers.continues)
            break;
    }
    return set;
}

} // namespace cfr
