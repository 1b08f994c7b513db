#include "zip/zip_progress.h"

namespace cfr {

void zipProgressRelay(zip_t*, double progress, void* state) {
    const auto* relay = static_cast<const ZipProgressState*>(state);
    if (!relay || !relay->sink)
        return;
    relay->sink->report(relay->offset + relay->scale * progress);
}

int zipCancelRelay(zip_t*, void* state) {
    const auto* relay = static_cast<const ZipProgressState*>(state);
    return relay && relay->sink && relay->sink->cancelled() ? 1 : 0;
}

} // namespace cfr
