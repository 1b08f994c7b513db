// One gzip stream compressed on several threads. The input is cut into chunks that threads
// deflate apart, each primed with the 32 KiB before it so that no match across a cut is lost,
// and the pieces are joined in order into one deflate stream under one CRC: any gzip reader
// reads it as it reads gzip's own. On ordinary data it is within a percent of their size; on
// data that compresses to almost nothing, the few bytes each cut costs add up to a few percent.
#pragma once

#include "libarchive/stream_compressor.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct z_stream_s;

namespace cfr {

class ParallelGzip : public StreamCompressor {
public:
    static constexpr std::size_t kDefaultChunk = 128 * 1024;

    // Writes to fd, which stays the caller's, at zlib's default level.
    ParallelGzip(int fd, int threads, std::size_t chunkBytes = kDefaultChunk);
    // Stops the threads; what was not finished is dropped, unwritten.
    ~ParallelGzip() override;
    ParallelGzip(const ParallelGzip&) = delete;
    ParallelGzip& operator=(const ParallelGzip&) = delete;

    // Writes the header and starts the threads.
    bool start() override;
    // Never holds more than two chunks per thread: beyond that it waits for the oldest.
    bool write(const void* data, std::size_t size) override;
    // Compresses the rest and writes the trailer.
    bool finish() override;

private:
    struct Job;
    void work();
    // A chunk that is not the last ends on a byte boundary with no final block, so that the
    // next one's deflate output simply follows it.
    static bool deflateChunk(z_stream_s& stream, Job& job);
    std::unique_ptr<Job> takeJob();
    bool submit(bool last);
    // Writes out finished chunks in order, waiting for the oldest while more than keep remain.
    bool drain(std::size_t keep);
    bool writeAll(const unsigned char* data, std::size_t size);

    int fd_;
    int threadCount_;
    std::size_t chunkBytes_;
    std::vector<std::thread> threads_;

    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable jobDone_;
    std::deque<std::unique_ptr<Job>> inFlight_; // in stream order; guarded by mutex_
    std::deque<Job*> waiting_;                  // not yet taken by a thread; guarded by mutex_
    bool stopping_ = false;                     // guarded by mutex_

    // The caller's thread alone touches these.
    std::unique_ptr<Job> filling_;
    std::vector<std::unique_ptr<Job>> spare_;
    std::vector<unsigned char> window_; // the last 32 KiB of input
    unsigned long crc_;
    std::uint64_t length_ = 0;
    bool failed_ = false;
};

} // namespace cfr
