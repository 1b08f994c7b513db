// The 7-Zip plugin (7z.so): found and loaded once per process, never unloaded.
#pragma once

#include "p7/p7_interfaces.h"

#include <mutex>

namespace cfr {

struct P7Lib {
    std::once_flag once;
    void* handle = nullptr;
    p7::CreateObjectFn createObject = nullptr;
    // How the plugin's objects, and therefore ours, lay out IUnknown.
    p7::Layout layout = p7::Layout::Plain;
};

// The process's plugin, loaded on the first call. Usable when p7Available() is true.
const P7Lib& p7Lib();

} // namespace cfr
