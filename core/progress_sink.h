// How a job reports progress and hears a cancel request inside the engine: the two callbacks
// and their context, passed down as one.
#pragma once

#include "cfr.h"

namespace cfr {

struct ProgressSink {
    ProgressFn fn = nullptr;
    void* context = nullptr;
    CancelFn cancel = nullptr;

    void report(double fraction) const {
        if (fn)
            fn(context, fraction);
    }
    bool cancelled() const { return cancel && cancel(context) != 0; }
};

} // namespace cfr
