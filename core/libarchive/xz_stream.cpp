#include "libarchive/xz_stream.h"

#include <algorithm>

namespace cfr {

XzStream::XzStream(int fd, int threads, std::uint64_t inputBytes, const ProgressSink* sink)
    : fd_(fd), sink_(sink) {
    const std::uint64_t blocks = (inputBytes + kBlockBytes - 1) / kBlockBytes;
    threads_ = int(std::max<std::uint64_t>(1, std::min<std::uint64_t>(threads, blocks)));
}

// Stops liblzma's threads where they are.
XzStream::~XzStream() {
    if (started_)
        lzma_end(&stream_);
}

bool XzStream::start() {
    lzma_ret result;
    if (threads_ > 1) {
        lzma_mt options{};
        options.threads = std::uint32_t(threads_);
        options.preset = LZMA_PRESET_DEFAULT;
        options.check = LZMA_CHECK_CRC64;
        // Returns to us at least this often (in ms) while the threads are busy.
        options.timeout = 100;
        result = lzma_stream_encoder_mt(&stream_, &options);
    } else {
        result = lzma_easy_encoder(&stream_, LZMA_PRESET_DEFAULT, LZMA_CHECK_CRC64);
    }
    started_ = result == LZMA_OK;
    return started_;
}

bool XzStream::write(const void* data, std::size_t size) {
    if (!started_ || failed_)
        return false;
    stream_.next_in = static_cast<const std::uint8_t*>(data);
    stream_.avail_in = size;
    return run(LZMA_RUN);
}

bool XzStream::finish() {
    if (!started_ || failed_)
        return false;
    stream_.next_in = nullptr;
    stream_.avail_in = 0;
    return run(LZMA_FINISH);
}

// Codes until the input is taken (or, finishing, until the stream ends), writing out each
// full buffer.
bool XzStream::run(lzma_action action) {
    for (;;) {
        stream_.next_out = output_.data();
        stream_.avail_out = output_.size();
        const lzma_ret result = lzma_code(&stream_, action);
        if ((result != LZMA_OK && result != LZMA_STREAM_END) || (sink_ && sink_->cancelled())) {
            failed_ = true;
            return false;
        }
        if (!writeFully(fd_, output_.data(), output_.size() - stream_.avail_out)) {
            failed_ = true;
            return false;
        }
        if (result == LZMA_STREAM_END)
            return true;
        if (action == LZMA_RUN && stream_.avail_in == 0 && stream_.avail_out > 0)
            return true;
    }
}

} // namespace cfr
