#include "job_threads.h"

#include <chrono>

namespace cfr {

JobThreads::~JobThreads() {
    finish([] {});
}

bool JobThreads::start(const std::function<void()>& task) {
    try {
        threads_.reserve(threads_.size() + 1);
        threads_.emplace_back([this, task] {
            task();
            std::lock_guard<std::mutex> lock(mutex_);
            ++endedCount_;
            ended_.notify_one();
        });
        return true;
    } catch (...) {
        return false;
    }
}

void JobThreads::finish(const std::function<void()>& poll) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (endedCount_ < threads_.size()) {
        ended_.wait_for(lock, std::chrono::milliseconds(50));
        lock.unlock();
        poll();
        lock.lock();
    }
    lock.unlock();
    for (std::thread& thread : threads_)
        if (thread.joinable())
            thread.join();
}

} // namespace cfr
