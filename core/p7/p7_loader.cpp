#include "p7/p7_loader.h"
#include "p7/p7_backend.h"

#include <cstdlib>
#include <dlfcn.h>
#include <optional>
#include <string>
#include <vector>

namespace cfr {
namespace {

std::vector<std::string> candidates() {
    std::vector<std::string> list;
    // Set at all, even empty, it goes first: the program points it at its own copy.
    if (const char* chosen = std::getenv("CFR_P7ZIP_LIB"))
        list.emplace_back(chosen);
    for (const char* path : {"/usr/lib/p7zip/7z.so", "/usr/libexec/p7zip/7z.so",
                             "/usr/lib64/p7zip/7z.so", "/usr/local/lib/p7zip/7z.so"})
        list.emplace_back(path);
    // A bare name: the dynamic loader's own search path decides.
    list.emplace_back("7z.so");
    return list;
}

// Plugins without GetModuleProp predate the question and all carry the destructor slots.
std::optional<p7::Layout> layoutOf(void* handle) {
    auto getModuleProp = reinterpret_cast<p7::GetModulePropFn>(dlsym(handle, "GetModuleProp"));
    if (!getModuleProp)
        return p7::Layout::VirtualDestructor;
    p7::PROPVARIANT value{};
    if (getModuleProp(p7::kModulePropInterfaceType, &value) != p7::S_OK || value.vt != p7::VT_UI4)
        return std::nullopt;
    switch (value.ulVal) {
    case p7::kInterfaceTypePlain:
        return p7::Layout::Plain;
    case p7::kInterfaceTypeVirtualDestructor:
        return p7::Layout::VirtualDestructor;
    default:
        return std::nullopt;
    }
}

void load(P7Lib& lib) {
    for (const auto& candidate : candidates()) {
        void* handle = dlopen(candidate.c_str(), RTLD_NOW);
        if (!handle)
            continue;
        auto createObject = reinterpret_cast<p7::CreateObjectFn>(dlsym(handle, "CreateObject"));
        const auto layout = createObject ? layoutOf(handle) : std::nullopt;
        if (layout) {
            lib.handle = handle;
            lib.createObject = createObject;
            lib.layout = *layout;
            return;
        }
        dlclose(handle);
    }
}

P7Lib& processLib() {
    static P7Lib lib;
    return lib;
}

} // namespace

const P7Lib& p7Lib() {
    P7Lib& lib = processLib();
    std::call_once(lib.once, [&lib] {
        try {
            load(lib);
        } catch (...) {
            // Out of memory while listing candidates: the plugin stays unavailable.
        }
    });
    return lib;
}

bool p7Available() {
    const P7Lib& lib = p7Lib();
    return lib.handle && lib.createObject;
}

} // namespace cfr
