// Joinable worker threads (see threads.h).
#include "app/threads.h"

#include <atomic>
#include <new>
#include <system_error>
#include <thread>

#include "app/clock.h"

struct WorkerThread {
    std::thread thread;
    std::atomic<bool> ended{false};
    uint32_t result{};  // written by the thread before `ended`, read after the join
};

namespace {

std::atomic<size_t> liveThreads{0};

}  // namespace

WorkerThread *CreateWorkerThread(WorkerRoutine routine, void *context, int /*priority*/)
{
    if (routine == nullptr) {
        return nullptr;
    }
    auto *worker = new (std::nothrow) WorkerThread;
    if (worker == nullptr) {
        return nullptr;
    }
    try {
        worker->thread = std::thread([worker, routine, context] {
            worker->result = routine(context);
            worker->ended.store(true, std::memory_order_release);
        });
    } catch (const std::system_error &) {
        delete worker;
        return nullptr;
    }
    liveThreads.fetch_add(1);
    return worker;
}

uint32_t JoinWorkerThread(WorkerThread *thread)
{
    if (thread == nullptr) {
        return 0;
    }
    thread->thread.join();
    const uint32_t result = thread->result;
    delete thread;
    liveThreads.fetch_sub(1);
    return result;
}

bool HasWorkerThreadEnded(const WorkerThread *thread)
{
    return thread == nullptr || thread->ended.load(std::memory_order_acquire);
}

size_t GetWorkerThreadCount() { return liveThreads.load(); }
