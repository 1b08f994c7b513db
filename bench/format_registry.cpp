#include "bench_format.h"

namespace bench {
namespace {

std::vector<FormatFamily>& families() {
    static std::vector<FormatFamily> registered;
    return registered;
}

} // namespace

FamilyRegistration::FamilyRegistration(FormatFamily family) {
    families().push_back(family);
}

std::vector<BenchFormat> allFormats() {
    std::vector<BenchFormat> all;
    for (FormatFamily family : families())
        for (BenchFormat& format : family())
            all.push_back(std::move(format));
    return all;
}

} // namespace bench
