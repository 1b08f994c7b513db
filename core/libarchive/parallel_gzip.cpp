#include "libarchive/parallel_gzip.h"

#include <zlib.h>

#include <algorithm>

namespace cfr {
namespace {

constexpr std::size_t kWindow = 32 * 1024;

// No name, no time (zero: none recorded), written on Unix.
constexpr unsigned char kHeader[10] = {0x1f, 0x8b, 8, 0, 0, 0, 0, 0, 0, 3};

} // namespace

struct ParallelGzip::Job {
    std::vector<unsigned char> input;
    std::vector<unsigned char> dictionary;
    std::vector<unsigned char> output;
    unsigned long crc = 0;
    bool last = false;
    bool done = false;
    bool ok = false;
};

ParallelGzip::ParallelGzip(int fd, int threads, std::size_t chunkBytes)
    : fd_(fd), threadCount_(std::max(1, threads)),
      chunkBytes_(std::max<std::size_t>(1, chunkBytes)), crc_(crc32(0L, Z_NULL, 0)) {}

ParallelGzip::~ParallelGzip() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    workReady_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

bool ParallelGzip::start() {
    if (!writeAll(kHeader, sizeof kHeader))
        return false;
    try {
        for (int i = 0; i < threadCount_; ++i)
            threads_.emplace_back(&ParallelGzip::work, this);
    } catch (...) {
        // Fewer threads than asked for still do the work.
    }
    return !threads_.empty();
}

void ParallelGzip::work() {
    z_stream stream{};
    const bool ready = deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                                    Z_DEFAULT_STRATEGY) == Z_OK;
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            workReady_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (stopping_)
                break;
            job = waiting_.front();
            waiting_.pop_front();
        }
        bool ok = false;
        try {
            ok = ready && deflateChunk(stream, *job);
        } catch (...) {
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            job->ok = ok;
            job->done = true;
        }
        jobDone_.notify_all();
    }
    if (ready)
        deflateEnd(&stream);
}

bool ParallelGzip::deflateChunk(z_stream& stream, Job& job) {
    if (deflateReset(&stream) != Z_OK)
        return false;
    if (!job.dictionary.empty() &&
        deflateSetDictionary(&stream, job.dictionary.data(), uInt(job.dictionary.size())) != Z_OK)
        return false;
    job.crc = crc32(0L, job.input.data(), uInt(job.input.size()));
    job.output.resize(deflateBound(&stream, uLong(job.input.size())) + 64);
    stream.next_in = job.input.data();
    stream.avail_in = uInt(job.input.size());
    stream.next_out = job.output.data();
    stream.avail_out = uInt(job.output.size());
    const int flush = job.last ? Z_FINISH : Z_SYNC_FLUSH;
    for (;;) {
        const int result = deflate(&stream, flush);
        if (job.last ? result == Z_STREAM_END : (result == Z_OK && stream.avail_out > 0))
            break;
        if ((result != Z_OK && result != Z_BUF_ERROR) || stream.avail_out > 0)
            return false;
        const std::size_t used = job.output.size();
        job.output.resize(used * 2);
        stream.next_out = job.output.data() + used;
        stream.avail_out = uInt(job.output.size() - used);
    }
    job.output.resize(job.output.size() - stream.avail_out);
    return true;
}

std::unique_ptr<ParallelGzip::Job> ParallelGzip::takeJob() {
    std::unique_ptr<Job> job;
    if (spare_.empty()) {
        job = std::make_unique<Job>();
        job->input.reserve(chunkBytes_);
    } else {
        job = std::move(spare_.back());
        spare_.pop_back();
        job->input.clear();
    }
    job->done = job->ok = job->last = false;
    return job;
}

bool ParallelGzip::write(const void* data, std::size_t size) {
    if (failed_ || threads_.empty())
        return false;
    try {
        auto bytes = static_cast<const unsigned char*>(data);
        while (size > 0) {
            if (!filling_)
                filling_ = takeJob();
            const std::size_t take = std::min(size, chunkBytes_ - filling_->input.size());
            filling_->input.insert(filling_->input.end(), bytes, bytes + take);
            bytes += take;
            size -= take;
            if (filling_->input.size() == chunkBytes_ && !submit(false))
                return false;
        }
        return true;
    } catch (...) {
        failed_ = true;
        return false;
    }
}

bool ParallelGzip::submit(bool last) {
    if (!filling_)
        filling_ = takeJob();
    Job* job = filling_.get();
    job->last = last;
    job->dictionary = window_;
    const auto& input = job->input;
    if (input.size() >= kWindow) {
        window_.assign(input.end() - kWindow, input.end());
    } else {
        window_.insert(window_.end(), input.begin(), input.end());
        if (window_.size() > kWindow)
            window_.erase(window_.begin(), window_.end() - kWindow);
    }
    length_ += input.size();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        inFlight_.push_back(std::move(filling_));
        waiting_.push_back(job);
    }
    workReady_.notify_one();
    return drain(2 * threads_.size() - 1);
}

bool ParallelGzip::drain(std::size_t keep) {
    for (;;) {
        std::unique_ptr<Job> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (inFlight_.empty())
                return true;
            if (inFlight_.size() > keep)
                jobDone_.wait(lock, [this] { return inFlight_.front()->done; });
            else if (!inFlight_.front()->done)
                return true;
            job = std::move(inFlight_.front());
            inFlight_.pop_front();
        }
        if (!job->ok || !writeAll(job->output.data(), job->output.size())) {
            failed_ = true;
            return false;
        }
        crc_ = crc32_combine(crc_, job->crc, z_off_t(job->input.size()));
        spare_.push_back(std::move(job));
    }
}

bool ParallelGzip::finish() {
    if (failed_ || threads_.empty())
        return false;
    try {
        if (!submit(true) || !drain(0))
            return false;
    } catch (...) {
        failed_ = true;
        return false;
    }
    unsigned char trailer[8];
    for (int i = 0; i < 4; ++i) {
        trailer[i] = static_cast<unsigned char>(crc_ >> (8 * i));
        trailer[4 + i] = static_cast<unsigned char>(length_ >> (8 * i));
    }
    return writeAll(trailer, sizeof trailer);
}

bool ParallelGzip::writeAll(const unsigned char* data, std::size_t size) {
    if (writeFully(fd_, data, size))
        return true;
    failed_ = true;
    return false;
}

} // namespace cfr
