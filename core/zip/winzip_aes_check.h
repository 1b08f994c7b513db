// Our own check of a WinZip AES entry's authentication code.
//
// WinZip's AE-2 variant, which 7-Zip writes for every entry, stores a zero CRC and relies
// on the authentication code alone. libzip 1.7 still compares that zero CRC for entries of
// 20 bytes or more, so every such entry ends in a CRC error after all of its (correct) data
// was delivered. The error cannot be told apart from a failed authentication; this check
// settles it.
#pragma once

#include <zip.h>

#include <string>

namespace cfr {

// True when some entry is encrypted with WinZip AES.
bool holdsWinzipAes(zip_t* archive);

// True for an entry whose end-of-data CRC error libzip may report wrongly.
bool crcUnreliable(const zip_stat_t& st);

// True when the entry's stored data carries the authentication code that the password
// gives. Reads the raw entry once.
bool winzipAesAuthentic(zip_t* archive, zip_uint64_t index, const zip_stat_t& st,
                        const std::string& password);

} // namespace cfr
