// The allocator (counted, never null), the two recursive locks with their
// order, and worker threads that are joined before what they use is freed.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>

#include "app/clock.h"
#include "app/locks.h"
#include "app/memory.h"
#include "app/threads.h"

namespace memory_threads_test {

namespace {

TEST(Allocator, CountsTheBytesInUse)
{
    const size_t before = zuGetBytesInUse();
    void *a = zuMalloc(100);
    char *s = zuStrDup("hello");
    EXPECT_EQ(zuGetBytesInUse(), before + 106);
    EXPECT_STREQ(s, "hello");
    EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % alignof(std::max_align_t), 0u);
    zuFree(a);
    zuStrFree(s);
    zuFree(nullptr);
    EXPECT_EQ(zuStrDup(nullptr), nullptr);
    EXPECT_EQ(zuGetBytesInUse(), before);
}

// The engine's table: the same counting, realloc keeping the contents, and
// null (not the end of the program) for what cannot be had.
TEST(Allocator, TheEnginesTableSharesTheCountAndMayRefuse)
{
    const RwMemoryFunctions *engine = zuGetEngineMemoryFunctions();
    const size_t before = zuGetBytesInUse();
    auto *block = static_cast<char *>(engine->rwcalloc(4, 8));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(block[i], 0);
    }
    std::strcpy(block, "kept");
    block = static_cast<char *>(engine->rwrealloc(block, 4096));
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(block, "kept");
    EXPECT_EQ(zuGetBytesInUse(), before + 4096);
    EXPECT_EQ(engine->rwmalloc(SIZE_MAX / 2), nullptr);
    EXPECT_EQ(engine->rwcalloc(SIZE_MAX / 4, 8), nullptr);
    EXPECT_EQ(engine->rwrealloc(block, SIZE_MAX / 2), nullptr);
    EXPECT_STREQ(block, "kept");  // a refused realloc leaves the block
    engine->rwfree(block);
    EXPECT_EQ(zuGetBytesInUse(), before);
    // A realloc of nothing is a malloc; a calloc of empty items is an empty block.
    void *fresh = engine->rwrealloc(nullptr, 24);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(zuGetBytesInUse(), before + 24);
    void *empty = engine->rwcalloc(5, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(zuGetBytesInUse(), before + 24);
    engine->rwfree(empty);
    engine->rwfree(fresh);
    engine->rwfree(nullptr);
    EXPECT_EQ(zuGetBytesInUse(), before);
}

TEST(AllocatorDeathTest, MemoryThatCannotBeHadEndsTheProgramWithAMessage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(zuMalloc(SIZE_MAX / 2), ::testing::ExitedWithCode(1), "Out of memory");
}

TEST(Locks, AreRecursiveAndCounted)
{
    EXPECT_EQ(RenderLockDepth(), 0);
    EnterRenderLock();
    EnterRenderLock();
    {
        CSAllocatorLockGuard allocator;
        EXPECT_EQ(AllocatorLockDepth(), 1);
        void *block = zuMalloc(8);  // takes the allocator lock again
        zuFree(block);
    }
    EXPECT_EQ(RenderLockDepth(), 2);
    LeaveRenderLock();
    LeaveRenderLock();
    EXPECT_EQ(RenderLockDepth(), 0);
    EXPECT_EQ(AllocatorLockDepth(), 0);
}

struct Waiter {
    std::atomic<bool> entered{false};
};

uint32_t EnterAndLeave(void *context)
{
    EnterRenderLock();
    static_cast<Waiter *>(context)->entered = true;
    LeaveRenderLock();
    return 0;
}

TEST(Locks, AnotherThreadWaitsUntilTheLastLeave)
{
    Waiter waiter;
    EnterRenderLock();
    EnterRenderLock();
    WorkerThread *thread = CreateWorkerThread(EnterAndLeave, &waiter, 3);
    ASSERT_NE(thread, nullptr);
    LeaveRenderLock();
    SleepMs(20);
    EXPECT_FALSE(waiter.entered);  // still held once
    LeaveRenderLock();
    JoinWorkerThread(thread);
    EXPECT_TRUE(waiter.entered);
}

TEST(LocksDeathTest, TheRenderLockUnderTheAllocatorLockStopsADebugBuild)
{
#ifdef NDEBUG
    GTEST_SKIP() << "the order is checked in debug builds";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            EnterAllocatorLock();
            EnterRenderLock();
        },
        "");
#endif
}

struct Job {
    std::atomic<bool> go{false};
    std::atomic<int> steps{0};
    int *data = nullptr;
};

uint32_t WorkUntilReleased(void *context)
{
    auto *job = static_cast<Job *>(context);
    while (!job->go) {
        SleepMs(1);
    }
    // Uses what the creator will free after the join: the sanitizers catch a
    // use after free if the join does not wait.
    for (int i = 0; i < 1000; ++i) {
        job->data[i % 16] += 1;
        job->steps.fetch_add(1);
    }
    return 77;
}

TEST(WorkerThreads, AreJoinedBeforeWhatTheyUseIsFreed)
{
    const size_t before = GetWorkerThreadCount();
    auto *job = new Job;
    job->data = new int[16]();
    WorkerThread *thread = CreateWorkerThread(WorkUntilReleased, job, 3);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(GetWorkerThreadCount(), before + 1);
    EXPECT_FALSE(HasWorkerThreadEnded(thread));
    job->go = true;
    EXPECT_EQ(JoinWorkerThread(thread), 77u);  // waits for the routine to return
    EXPECT_EQ(job->steps, 1000);
    delete[] job->data;
    delete job;
    EXPECT_EQ(GetWorkerThreadCount(), before);
    EXPECT_EQ(JoinWorkerThread(nullptr), 0u);
    EXPECT_EQ(CreateWorkerThread(nullptr, nullptr, 3), nullptr);
}

// A thread is seen ended once its routine has returned, before the join;
// no thread at all counts as ended.
TEST(WorkerThreads, AreSeenEndedOnceTheirRoutineReturns)
{
    Job job;
    int data[16] = {};
    job.data = data;
    WorkerThread *thread = CreateWorkerThread(WorkUntilReleased, &job, 3);
    ASSERT_NE(thread, nullptr);
    EXPECT_FALSE(HasWorkerThreadEnded(thread));
    job.go = true;
    while (!HasWorkerThreadEnded(thread)) {
        SleepMs(1);
    }
    EXPECT_EQ(job.steps, 1000);
    EXPECT_EQ(JoinWorkerThread(thread), 77u);
    EXPECT_TRUE(HasWorkerThreadEnded(nullptr));
}

}  // namespace

}  // namespace memory_threads_test
