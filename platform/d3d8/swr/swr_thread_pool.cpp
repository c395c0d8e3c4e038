// A small persistent pool: workers sleep on a condition variable between job sets and
// take indices from a shared counter, so a job set costs one wake-up per worker.
#include "swr_thread_pool.h"

#include "swr_draw.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace swr {
namespace {

// Read once: asking the system for its processor count is not free, and draws ask often.
uint32_t DefaultThreadCount() {
    static const uint32_t count = [] {
        if (const char *env = std::getenv("SWR_THREADS")) {
            const int32_t n = std::atoi(env);
            if (n > 0) return static_cast<uint32_t>(std::min(n, 64));
        }
        return std::min(64u, std::max(1u, std::thread::hardware_concurrency()));
    }();
    return count;
}

class Pool {
public:
    explicit Pool(uint32_t threads) {
        for (uint32_t i = 1; i < threads; ++i) workers_.emplace_back([this] { WorkerLoop(); });
    }
    ~Pool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        for (std::thread &t : workers_) t.join();
    }
    uint32_t Threads() const { return static_cast<uint32_t>(workers_.size()) + 1; }

    void Run(uint32_t count, const std::function<void(uint32_t)> &job) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            job_ = &job;
            count_ = count;
            next_.store(0);
            busy_ = static_cast<uint32_t>(workers_.size());
            ++generation_;
        }
        wake_.notify_all();
        Work(job, count);
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return busy_ == 0; });
        job_ = nullptr;
    }

private:
    void Work(const std::function<void(uint32_t)> &job, uint32_t count) {
        for (uint32_t i = next_.fetch_add(1); i < count; i = next_.fetch_add(1)) job(i);
    }

    void WorkerLoop() {
        uint64_t seen = 0;
        for (;;) {
            const std::function<void(uint32_t)> *job;
            uint32_t count;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
                if (stopping_) return;
                seen = generation_;
                job = job_;
                count = count_;
            }
            Work(*job, count);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                --busy_;
            }
            done_.notify_one();
        }
    }

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const std::function<void(uint32_t)> *job_ = nullptr;
    uint32_t count_ = 0;
    uint32_t busy_ = 0;
    uint64_t generation_ = 0;
    bool stopping_ = false;
    std::atomic<uint32_t> next_{0};
};

std::mutex gConfigMutex;
uint32_t gRequested = 0;  // 0: the default
std::unique_ptr<Pool> gPool;

}  // namespace

uint32_t ThreadCount() {
    std::lock_guard<std::mutex> lock(gConfigMutex);
    return gRequested ? gRequested : DefaultThreadCount();
}

void SetThreadCount(uint32_t count) {
    std::lock_guard<std::mutex> lock(gConfigMutex);
    gRequested = std::min(count, 64u);
}

void RunJobs(uint32_t jobCount, const std::function<void(uint32_t)> &job) {
    // The lock also keeps the pool from being replaced while a job set runs; jobs never
    // take it.
    std::unique_lock<std::mutex> lock(gConfigMutex);
    const uint32_t wanted = gRequested ? gRequested : DefaultThreadCount();
    if (wanted <= 1 || jobCount <= 1) {
        lock.unlock();
        for (uint32_t i = 0; i < jobCount; ++i) job(i);
        return;
    }
    if (!gPool || gPool->Threads() != wanted) gPool = std::make_unique<Pool>(wanted);
    gPool->Run(jobCount, job);
}

}  // namespace swr
