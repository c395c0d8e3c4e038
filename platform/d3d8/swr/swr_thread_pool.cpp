// A small persistent pool: workers sleep on a condition variable between job sets and
// take indices from a shared ticket, so a job set costs one wake-up per worker.
#include "swr_thread_pool.h"

#include "swr_draw.h"

#include <emmintrin.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace swr {
namespace {

// How long a thread keeps looking before it sleeps: a worker for the next job set, the
// caller for the last jobs of its own. A frame's job sets follow each other faster than
// a sleeping thread wakes (here 25-40 microseconds, each time, for each worker), so a
// thread spins for kSpin, then keeps looking for up to `awake` more, giving its
// processor to any other thread that wants it between looks (so that on a busy machine
// another process loses little to it) before it sleeps.
constexpr auto kSpin = std::chrono::microseconds(20);
// A worker stays awake this long while job sets keep coming within it (a frame's
// draws); after a longer wait it sleeps after kSpin, as between frames.
constexpr auto kKeepAwake = std::chrono::microseconds(400);
// The caller waits this long for its set's last jobs, which are running elsewhere,
// before it sleeps.
constexpr auto kAwaitJobs = std::chrono::microseconds(2000);

// Spins until `ready` holds, or kSpin and then `awake` more have passed; true when it holds.
template <class Ready>
bool SpinUntil(const Ready &ready, std::chrono::microseconds awake) {
    const auto start = std::chrono::steady_clock::now();
    const auto spinUntil = start + kSpin, awakeUntil = spinUntil + awake;
    bool spinning = true;
    for (uint32_t i = 1;; ++i) {
        if (ready()) return true;
        if (spinning) {
            _mm_pause();
            if (i % 64 != 0) continue;
            const auto now = std::chrono::steady_clock::now();
            spinning = now <= spinUntil;
            if (spinning) continue;
        }
        if (std::chrono::steady_clock::now() > awakeUntil) return false;
        sched_yield();
    }
}

// The processors this process may run on: a process pinned to two cores (taskset, a
// container's CPU set) draws with two threads, not with one for every core of the machine.
uint32_t UsableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return static_cast<uint32_t>(count);
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

// Read once: asking the system for its processor count is not free, and draws ask often.
uint32_t DefaultThreadCount() {
    static const uint32_t count = [] {
        if (const char *env = std::getenv("SWR_THREADS")) {
            const int32_t n = std::atoi(env);
            if (n > 0) return static_cast<uint32_t>(std::min(n, 64));
        }
        return std::min(64u, UsableProcessors());
    }();
    return count;
}

// Job indices are handed out by a ticket that carries the job set's number, so that a
// worker waking late (after the set's indices are all taken, or after the next set has
// begun) takes nothing of a set it was not woken for; and the caller waits for the
// set's jobs to finish, not for every worker to have looked: when the workers are slow
// to wake (a busy machine), the caller runs the whole set itself and goes on.
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
        uint32_t set;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            job_ = &job;
            count_ = count;
            set = set_.load() + 1;
            remaining_.store(count);
            ticket_.store(uint64_t{set} << 32);
            set_.store(set);
        }
        wake_.notify_all();
        Work(set, &job, count);
        if (SpinUntil([this] { return remaining_.load() == 0; }, kAwaitJobs)) return;
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return remaining_.load() == 0; });
    }

private:
    // Runs the indices of set `set` still to be taken. `job` is only called for an index
    // taken, and a set's caller waits for every index taken to finish, so it is alive
    // then (a late worker may hold a pointer to a set's job that has gone, unused).
    void Work(uint32_t set, const std::function<void(uint32_t)> *job, uint32_t count) {
        uint64_t t = ticket_.load();
        for (;;) {
            if (static_cast<uint32_t>(t >> 32) != set || static_cast<uint32_t>(t) >= count) return;
            if (!ticket_.compare_exchange_weak(t, t + 1)) continue;
            (*job)(static_cast<uint32_t>(t));
            if (remaining_.fetch_sub(1) == 1) {
                std::lock_guard<std::mutex> lock(mutex_);
                done_.notify_one();
            }
            t = ticket_.load();
        }
    }

    void WorkerLoop() {
        uint32_t seen = 0;
        // Whether the last job set came within kKeepAwake of the one before.
        bool busy = false;
        for (;;) {
            const std::function<void(uint32_t)> *job;
            uint32_t count, set;
            const auto waiting = std::chrono::steady_clock::now();
            SpinUntil([&] { return set_.load() != seen || stopping_.load(); },
                      busy ? kKeepAwake : std::chrono::microseconds(0));
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [&] { return stopping_ || set_ != seen; });
                if (stopping_) return;
                seen = set = set_;
                job = job_;
                count = count_;
            }
            busy = std::chrono::steady_clock::now() - waiting < kKeepAwake;
            Work(set, job, count);
        }
    }

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const std::function<void(uint32_t)> *job_ = nullptr;
    uint32_t count_ = 0;
    std::atomic<uint32_t> set_{0};  // the current job set's number (changed under the mutex)
    std::atomic<bool> stopping_{false};
    std::atomic<uint64_t> ticket_{0};      // set number << 32 | next index
    std::atomic<uint32_t> remaining_{0};   // jobs of the current set not yet finished
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
