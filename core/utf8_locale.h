#pragma once

namespace cfr {

// libarchive converts entry names through LC_CTYPE; the engine speaks UTF-8.
// Switches LC_CTYPE to a UTF-8 locale once per process when it is not one already.
void ensureUtf8Locale();

} // namespace cfr
