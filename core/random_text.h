#pragma once

#include <string>

namespace cfr {

// n characters drawn uniformly from an 80-character alphabet, from the system's random source.
std::string makePassword(int n);
// 2n lower-case hexadecimal digits from the system's random source.
std::string randomHex(int n);

} // namespace cfr
