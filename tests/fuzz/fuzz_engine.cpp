// The one libFuzzer driver behind every target. FUZZ_SUFFIXES ("|"-separated) names the
// kinds the input is read as; with several, the first byte picks one. FUZZ_PROBE asks the
// format probes instead of extracting.
#include "cfr.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kRoot = fs::temp_directory_path() / ("cfr-fuzz-" + std::to_string(::getpid()));
// Deep enough that "../../x" from the destination still lands inside the root.
const fs::path kDest = kRoot / "a" / "b" / "out";
const fs::path kTemp = kRoot / "tmp";

// Anything but the input, the destination's folders and the (emptied) temporary folder
// means an entry escaped its destination or a temporary file was left behind.
void checkNothingOutside(const fs::path& input) {
    for (const auto& item : fs::recursive_directory_iterator(kRoot)) {
        const std::string path = item.path().native();
        const bool inDest = path == kDest || path.rfind(kDest.native() + "/", 0) == 0;
        if (!inDest && path != input && path != kTemp && path != kRoot / "a" &&
            path != kRoot / "a" / "b")
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::string> kinds = [] {
        std::vector<std::string> list;
        std::istringstream all(FUZZ_SUFFIXES);
        for (std::string kind; std::getline(all, kind, '|');)
            list.push_back(kind);
        fs::create_directories(kTemp);
        cfr::setTempDir(kTemp.c_str());
        std::atexit([] { fs::remove_all(kRoot); });
        return list;
    }();
    std::size_t pick = 0;
    if (kinds.size() > 1) {
        if (size == 0)
            return 0;
        pick = *data++ % kinds.size();
        --size;
    }
    const fs::path input = kRoot / ("input" + kinds[pick]);
    std::ofstream(input, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
#ifdef FUZZ_PROBE
    cfr::archiveSupported(input.c_str());
    cfr::archiveNeedsPassword(input.c_str());
#else
    cfr::extract(input.c_str(), kDest.c_str(), "pw", nullptr, nullptr);
#endif
    checkNothingOutside(input);
    fs::remove_all(kRoot / "a");
    fs::remove(input);
    return 0;
}
