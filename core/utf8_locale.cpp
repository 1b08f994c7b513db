#include "utf8_locale.h"

#include <clocale>
#include <cstring>
#include <mutex>

namespace cfr {
namespace {

bool namesUtf8(const char* locale) {
    return locale && (std::strstr(locale, "UTF-8") || std::strstr(locale, "utf8") ||
                      std::strstr(locale, "UTF8"));
}

void switchToUtf8() {
    if (namesUtf8(std::setlocale(LC_CTYPE, nullptr)))
        return;
    // The environment's own choice first; the last attempt stands if none is UTF-8.
    for (const char* candidate : {"", "C.UTF-8", "en_US.UTF-8", "UTF-8"})
        if (namesUtf8(std::setlocale(LC_CTYPE, candidate)))
            return;
}

} // namespace

void ensureUtf8Locale() {
    static std::once_flag once;
    std::call_once(once, switchToUtf8);
}

} // namespace cfr
