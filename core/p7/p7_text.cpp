#include "p7/p7_text.h"

#include "legacy_names.h"

#include <cstdlib>
#include <cwchar>

namespace cfr {

std::wstring utf8ToWide(const std::string& text) {
    std::wstring wide;
    wide.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i++]);
        int following = 0;
        char32_t code = lead;
        if ((lead & 0xE0) == 0xC0) {
            following = 1;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            following = 2;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            following = 3;
            code = lead & 0x07;
        }
        for (; following > 0 && i < text.size(); --following)
            code = (code << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
        wide.push_back(static_cast<wchar_t>(code));
    }
    return wide;
}

std::string wideToUtf8(const wchar_t* text) {
    std::string utf8;
    for (; text && *text; ++text) {
        const auto code = static_cast<std::uint32_t>(*text);
        if (code < 0x80) {
            utf8.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            utf8.push_back(static_cast<char>(0xE0 | (code >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xF0 | ((code >> 18) & 0x07)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return utf8;
}

std::string entryNameToUtf8(const wchar_t* name) {
    std::string raw;
    std::wstring run;
    for (; name && *name; ++name) {
        const auto code = static_cast<std::uint32_t>(*name);
        if (code >= 0xEF80 && code <= 0xEFFF) {
            raw += wideToUtf8(run.c_str());
            run.clear();
            raw.push_back(static_cast<char>(code - 0xEF00));
        } else {
            run.push_back(*name);
        }
    }
    return decodeEntryName(raw + wideToUtf8(run.c_str()));
}

p7::BSTR allocBstr(const std::wstring& text) {
    // Only what comes before a zero character is the string.
    const std::size_t count = std::wcslen(text.c_str());
    const std::size_t bytes = count * sizeof(wchar_t);
    auto* block = static_cast<unsigned char*>(std::malloc(bytes + 8));
    if (!block)
        return nullptr;
    const auto length = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &length, sizeof length);
    auto* chars = reinterpret_cast<wchar_t*>(block + 4);
    std::memcpy(chars, text.c_str(), bytes);
    chars[count] = 0;
    return chars;
}

p7::HRESULT handOver(const std::wstring& text, p7::BSTR* out) {
    if (!out)
        return p7::E_FAIL;
    *out = allocBstr(text);
    return *out ? p7::S_OK : p7::E_FAIL;
}

void freeBstr(p7::BSTR text) {
    if (text)
        std::free(reinterpret_cast<unsigned char*>(text) - 4);
}

} // namespace cfr
