#pragma once

#include <string>

namespace cfr {

// n characters drawn uniformly from alphabet (at most 2^32 characters) with the system's
// random source. The one generator of random text in the program.
std::string randomText(int n, const std::string& alphabet);
// n characters from an 80-character alphabet of letters, digits and punctuation.
std::string makePassword(int n);
// 2n lower-case hexadecimal digits.
std::string randomHex(int n);

} // namespace cfr
