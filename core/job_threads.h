// Threads that share a job's work while the job's own thread keeps reporting its progress
// and listening for a cancel.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace cfr {

class JobThreads {
public:
    JobThreads() = default;
    JobThreads(const JobThreads&) = delete;
    JobThreads& operator=(const JobThreads&) = delete;
    ~JobThreads();

    // Starts the task on a thread of its own; false when no thread can be had, and the task
    // did not start. The task must not throw.
    bool start(const std::function<void()>& task);
    // Calls poll on this thread every 50 ms until every task has ended, then joins them.
    void finish(const std::function<void()>& poll);

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    std::size_t endedCount_ = 0; // guarded by mutex_
    std::vector<std::thread> threads_;
};

} // namespace cfr
