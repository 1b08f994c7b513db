// The one libFuzzer driver behind every target. FUZZ_SUFFIXES ("|"-separated) names the
// kinds the input is read as; with several, the first byte picks one. FUZZ_PROBE asks the
// format probes instead of extracting.
#include "cfr.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> suffixes() {
    std::vector<std::string> list;
    std::string all = FUZZ_SUFFIXES;
    for (std::size_t start = 0; start <= all.size();) {
        const std::size_t bar = std::min(all.find('|', start), all.size());
        list.push_back(all.substr(start, bar - start));
        start = bar + 1;
    }
    return list;
}

struct Sandbox {
    fs::path root = fs::temp_directory_path() / ("cfr-fuzz-" + std::to_string(::getpid()));
    // Deep enough that "../../x" from the destination still lands inside the sandbox.
    fs::path dest = root / "deep" / "er" / "out";
    fs::path tmp = root / "tmp";

    Sandbox() {
        fs::create_directories(tmp);
        cfr::setTempDir(tmp.c_str());
    }
    ~Sandbox() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    // Anything but the input, the destination's own folders and the (emptied) temporary
    // folder means an entry escaped its destination or a temporary file was left behind.
    void checkNothingOutside(const fs::path& input) const {
        for (const auto& item : fs::recursive_directory_iterator(root)) {
            const fs::path& path = item.path();
            const bool allowed = path == input || path == tmp || path == root / "deep" ||
                                 path == root / "deep" / "er" || path == dest ||
                                 path.native().rfind(dest.native() + "/", 0) == 0;
            if (!allowed)
                std::abort();
        }
    }
};

void noProgress(void*, double) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::string> kinds = suffixes();
    static const Sandbox sandbox;
    std::size_t pick = 0;
    if (kinds.size() > 1) {
        if (size == 0)
            return 0;
        pick = data[0] % kinds.size();
        ++data;
        --size;
    }
    const fs::path input = sandbox.root / ("input" + kinds[pick]);
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
#ifdef FUZZ_PROBE
    cfr::archiveSupported(input.c_str());
    cfr::archiveNeedsPassword(input.c_str());
#else
    cfr::extract(input.c_str(), sandbox.dest.c_str(), "pw", noProgress, nullptr);
#endif
    sandbox.checkNothingOutside(input);
    std::error_code ignored;
    fs::remove_all(sandbox.root / "deep", ignored);
    fs::remove(input, ignored);
    return 0;
}
