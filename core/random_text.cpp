#include "random_text.h"

#include <cstdint>
#include <random>

namespace cfr {

std::string randomText(int n, const std::string& alphabet) {
    std::string out;
    if (n <= 0 || alphabet.empty())
        return out;
    // Values from the largest multiple of the alphabet's size up are drawn again, so every
    // character is equally likely; for 80 characters that rejects the top 16 of 2^32.
    const std::uint64_t range = std::uint64_t(1) << 32;
    const std::uint64_t limit = range - range % alphabet.size();
    const std::uint64_t step = limit / alphabet.size();
    std::random_device source("default");
    out.reserve(n);
    while (static_cast<int>(out.size()) < n) {
        const std::uint64_t value = std::uint32_t(source());
        if (value < limit)
            out.push_back(alphabet[value / step]);
    }
    return out;
}

std::string makePassword(int n) {
    return randomText(n, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                         "0123456789!@#$%^&*()-_=+[]{}");
}

std::string randomHex(int n) {
    return randomText(2 * n, "0123456789abcdef");
}

} // namespace cfr
