#include "jobs/pack_function.h"

#include <atomic>

namespace {
// Set on the main thread, read on the job's.
std::atomic<PackFunction> replacement{nullptr};
} // namespace

void setPackFunction(PackFunction function) {
    replacement.store(function);
}

PackFunction packFunction() {
    const PackFunction function = replacement.load();
    return function ? function : cfr::pack;
}
