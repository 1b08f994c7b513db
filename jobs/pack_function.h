// The engine call a pack job makes. Tests hand in a stand-in here (one that ignores
// cancellation, say) to see what the controller does with a job stuck in a library call.
#pragma once

#include "core/cfr.h"

using PackFunction = int (*)(const char* const* inputs, int count, const char* dest,
                             const char* password, cfr::ProgressFn fn, void* context,
                             cfr::CancelFn cancel);

// The function jobs started from now on call; null restores cfr::pack.
void setPackFunction(PackFunction function);
PackFunction packFunction();
