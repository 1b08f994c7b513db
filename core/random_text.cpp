#include "random_text.h"

#include <cstdint>
#include <random>

namespace cfr {

std::string makePassword(int n) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                   "0123456789!@#$%^&*()-_=+[]{}";
    static_assert(sizeof(alphabet) - 1 == 80, "the alphabet has 80 characters");
    // 2^32 - 16 is a multiple of 80: rejecting the top 16 values keeps every character
    // equally likely.
    const std::uint32_t limit = 0xFFFFFFF0u;
    std::random_device source("default");
    std::string out;
    out.reserve(n > 0 ? n : 0);
    while (static_cast<int>(out.size()) < n) {
        const std::uint32_t value = source();
        if (value >= limit)
            continue;
        out.push_back(alphabet[value / 53687091u]);
    }
    return out;
}

std::string randomHex(int n) {
    static const char digits[] = "0123456789abcdef";
    std::random_device source("default");
    std::string out;
    for (int i = 0; i < n; ++i) {
        const unsigned byte = source() & 0xFFu;
        out.push_back(digits[byte >> 4]);
        out.push_back(digits[byte & 0xFu]);
    }
    return out;
}

} // namespace cfr
