// Text at the plugin boundary: UTF-8 on our side, UTF-32 and BSTR on the plugin's.
#pragma once

#include "p7/p7_types.h"

#include <string>

namespace cfr {

// Never rejects input: a stray byte stands for the character of the same value, and a
// sequence cut short yields the bits gathered so far.
std::wstring utf8ToWide(const std::string& text);
// Up to the first zero character.
std::string wideToUtf8(const wchar_t* text);

// An entry name from the plugin. Bytes it could not read as UTF-8 reach us as U+EF80 + (byte -
// 0x80); they are put back and the name decoded as the zip reader decodes raw names.
std::string entryNameToUtf8(const wchar_t* name);

// A BSTR in one malloc block, so the plugin can release it with free().
p7::BSTR allocBstr(const std::wstring& text);
// Stores a new BSTR copy of text in out, for the plugin to release.
p7::HRESULT handOver(const std::wstring& text, p7::BSTR* out);
// Releases a BSTR allocated by the plugin (or by allocBstr); null is fine.
void freeBstr(p7::BSTR text);

} // namespace cfr
