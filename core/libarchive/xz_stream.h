// An xz stream written by liblzma: on several threads when the input has more than one
// block for them (each thread holds some 100 MB at the default level), on one otherwise.
#pragma once

#include "libarchive/stream_compressor.h"
#include "progress_sink.h"

#include <lzma.h>

#include <cstdint>
#include <vector>

namespace cfr {

class XzStream : public StreamCompressor {
public:
    // Writes to fd, which stays the caller's; inputBytes is what is expected in all. The
    // threads may keep a write waiting for seconds: meanwhile it asks sink (if any) whether
    // to stop, and fails if so.
    XzStream(int fd, int threads, std::uint64_t inputBytes, const ProgressSink* sink);
    ~XzStream() override;
    XzStream(const XzStream&) = delete;
    XzStream& operator=(const XzStream&) = delete;

    bool start() override;
    bool write(const void* data, std::size_t size) override;
    bool finish() override;

    // liblzma's block at the default level: three times its 8 MiB dictionary.
    static constexpr std::uint64_t kBlockBytes = 24u << 20;

private:
    bool run(lzma_action action);

    int fd_;
    int threads_;
    const ProgressSink* sink_;
    lzma_stream stream_ = LZMA_STREAM_INIT;
    bool started_ = false;
    bool failed_ = false;
    std::vector<std::uint8_t> output_ = std::vector<std::uint8_t>(1 << 16);
};

} // namespace cfr
