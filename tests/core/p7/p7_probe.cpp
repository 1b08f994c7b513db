// Loads the plugin the way the engine does, in a process of its own (the load happens once
// per process), and reports what it found or the result of one job.
//   p7_probe -> "available <0|1> layout <plain|destructor> from <library file>"
//   p7_probe pack <dest> <password> <input>... -> "result <n>"
//   p7_probe extract <archive> <dest> <password> -> "result <n>"
#include "cfr.h"
#include "p7/p7_backend.h"
#include "p7/p7_loader.h"

#include <cstdio>
#include <cstring>
#include <dlfcn.h>

int main(int argc, char** argv) {
    if (argc >= 5 && std::strcmp(argv[1], "pack") == 0) {
        std::printf("result %d\n",
                    cfr::pack(argv + 4, argc - 4, argv[2], argv[3], nullptr, nullptr));
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "extract") == 0) {
        std::printf("result %d\n", cfr::extract(argv[2], argv[3], argv[4], nullptr, nullptr));
        return 0;
    }
    const bool available = cfr::p7Available();
    const bool plain = cfr::p7Lib().layout == p7::Layout::Plain;
    Dl_info where{};
    const bool located =
        available && dladdr(reinterpret_cast<void*>(cfr::p7Lib().createObject), &where) != 0;
    std::printf("available %d layout %s from %s\n", available ? 1 : 0,
                plain ? "plain" : "destructor", located ? where.dli_fname : "-");
    return 0;
}
