// Relays libzip's close-time progress and cancellation polls to the job's sink.
#pragma once

#include "progress_sink.h"

#include <zip.h>

namespace cfr {

struct ZipProgressState {
    const ProgressSink* sink = nullptr;
    double offset = 0;
    double scale = 1;
    double lastReported = -1;
};

void zipProgressRelay(zip_t* archive, double progress, void* state);
int zipCancelRelay(zip_t* archive, void* state);

} // namespace cfr
