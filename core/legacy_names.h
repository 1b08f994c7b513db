// Entry names from before UTF-8: which code page they are in, and their text in UTF-8.
#pragma once

#include <string>

namespace cfr {

bool isValidUtf8(const std::string& text);

// The OEM code page Windows wrote names in for a language ("zh_CN.UTF-8", "ja", "ru_RU"):
// CP936 for Chinese (CP950 in Taiwan and Hong Kong), CP932 for Japanese, CP949 for Korean,
// CP866 for Russian, Ukrainian and Belarusian, CP437 for everything else.
const char* legacyCodePage(const std::string& language);

// The language set with cfr::setNameLanguage, else the locale's from the environment.
std::string nameLanguage();

// A name that is valid UTF-8 stays as it is; anything else is decoded whole (so that no
// multi-byte character is cut at a byte that looks like a slash) from the code page of the
// name language, or from CP437, which maps every byte, where that fails.
std::string decodeEntryName(const std::string& raw);

} // namespace cfr
