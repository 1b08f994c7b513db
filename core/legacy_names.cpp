#include "legacy_names.h"

#include "cfr.h"

#include <iconv.h>

#include <cctype>
#include <cstdlib>
#include <mutex>
#include <optional>

namespace cfr {
namespace {

std::mutex languageLock;
std::optional<std::string> chosenLanguage;

struct CodePage {
    const char* prefix;
    const char* codePage;
};

// Longest prefixes first: the first hit decides.
const CodePage kCodePages[] = {
    {"zh_tw", "CP950"}, {"zh_hk", "CP950"}, {"zh", "CP936"}, {"ja", "CP932"},
    {"ko", "CP949"},    {"ru", "CP866"},    {"uk", "CP866"}, {"be", "CP866"},
};

std::string environmentLanguage() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return {};
}

std::optional<std::string> convert(const std::string& raw, const char* codePage) {
    iconv_t cd = iconv_open("UTF-8", codePage);
    if (cd == iconv_t(-1))
        return std::nullopt;
    std::string out(raw.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(raw.data());
    std::size_t inLeft = raw.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == std::size_t(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

void setNameLanguage(const char* language) {
    std::lock_guard<std::mutex> lock(languageLock);
    if (language)
        chosenLanguage = language;
    else
        chosenLanguage.reset();
}

std::string nameLanguage() {
    {
        std::lock_guard<std::mutex> lock(languageLock);
        if (chosenLanguage)
            return *chosenLanguage;
    }
    return environmentLanguage();
}

bool isValidUtf8(const std::string& text) {
    // Lead byte pattern, its payload bits, continuation bytes, least value (no overlong forms).
    struct Sequence {
        unsigned char mask, pattern, payload;
        int following;
        char32_t least;
    };
    static const Sequence kSequences[] = {
        {0xE0, 0xC0, 0x1F, 1, 0x80}, {0xF0, 0xE0, 0x0F, 2, 0x800}, {0xF8, 0xF0, 0x07, 3, 0x10000}};
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i++]);
        if (lead < 0x80)
            continue;
        const Sequence* sequence = nullptr;
        for (const auto& candidate : kSequences)
            if ((lead & candidate.mask) == candidate.pattern)
                sequence = &candidate;
        if (!sequence || text.size() - i < std::size_t(sequence->following))
            return false;
        char32_t code = lead & sequence->payload;
        for (int k = 0; k < sequence->following; ++k) {
            const auto next = static_cast<unsigned char>(text[i++]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        // UTF-16 surrogates and values past Unicode are not characters either.
        if (code < sequence->least || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
    }
    return true;
}

const char* legacyCodePage(const std::string& language) {
    std::string lower;
    for (char c : language)
        lower.push_back(c == '-' ? '_' : char(std::tolower(static_cast<unsigned char>(c))));
    for (const auto& entry : kCodePages)
        if (lower.compare(0, std::char_traits<char>::length(entry.prefix), entry.prefix) == 0)
            return entry.codePage;
    return "CP437";
}

std::string decodeEntryName(const std::string& raw) {
    if (isValidUtf8(raw))
        return raw;
    if (auto text = convert(raw, legacyCodePage(nameLanguage())))
        return *text;
    if (auto text = convert(raw, "CP437"))
        return *text;
    return raw;
}

} // namespace cfr
