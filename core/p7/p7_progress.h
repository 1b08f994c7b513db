// Progress and cancellation as the plugin reports them through IProgress.
#pragma once

#include "p7/p7_types.h"
#include "progress_sink.h"

#include <atomic>

namespace cfr {

// Turns the plugin's byte counts into fractions for the sink, and its progress points into
// places where a cancelled job stops.
class PluginProgress {
public:
    explicit PluginProgress(const ProgressSink* sink) : sink_(sink) {}

    p7::HRESULT setTotal(std::uint64_t total) {
        total_ = total;
        return p7::S_OK;
    }
    p7::HRESULT setCompleted(const std::uint64_t* completed) {
        if (checkCancelled())
            return p7::E_ABORT;
        if (completed && total_ != 0 && sink_)
            sink_->report(static_cast<double>(*completed) / static_cast<double>(total_));
        return p7::S_OK;
    }
    // True, from now on, once the job's owner asked it to stop.
    bool checkCancelled() {
        if (!cancelled_ && sink_ && sink_->cancelled())
            cancelled_ = true;
        return cancelled_;
    }
    bool cancelled() const { return cancelled_; }

private:
    const ProgressSink* sink_;
    std::uint64_t total_ = 0;
    // The plugin may report from its coder threads while another one asks for a stream.
    std::atomic<bool> cancelled_{false};
};

} // namespace cfr
