#include "zip/zip_progress.h"

namespace cfr {

void zipProgressRelay(zip_t*, double progress, void* state) {
    auto* relay = static_cast<ZipProgressState*>(state);
    if (!relay || !relay->sink)
        return;
    relay->lastReported = relay->offset + relay->scale * progress;
    relay->sink->report(relay->lastReported);
}

int zipCancelRelay(zip_t*, void* state) {
    const auto* relay = static_cast<const ZipProgressState*>(state);
    return relay && relay->sink && relay->sink->cancelled() ? 1 : 0;
}

} // namespace cfr
