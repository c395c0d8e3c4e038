// Drawing over several threads: job sets run every index once and only while their
// caller waits, and a scene drawn with any number of threads, call by call or through a
// queue, leaves exactly the pixels of one thread drawing call by call.
#include <gtest/gtest.h>

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "platform/d3d8/swr/swr_thread_pool.h"
#include "swr_random_scene.h"

namespace swr_thread_pool_test {

namespace {

class ThreadCount {
public:
    explicit ThreadCount(uint32_t n) { swr::SetThreadCount(n); }
    ~ThreadCount() { swr::SetThreadCount(0); }
};

TEST(ThreadPool, EveryJobRunsExactlyOnce) {
    for (uint32_t threads : {1u, 2u, 5u}) {
        ThreadCount count(threads);
        EXPECT_EQ(swr::ThreadCount(), threads);
        for (uint32_t jobs : {0u, 1u, 3u, 100u}) {
            std::vector<std::atomic<uint32_t>> runs(jobs);
            swr::RunJobs(jobs, [&](uint32_t i) { runs[i].fetch_add(1); });
            for (uint32_t i = 0; i < jobs; ++i) EXPECT_EQ(runs[i].load(), 1u) << threads << " threads, job " << i;
        }
    }
}

// Many small sets back to back: workers that wake late find the next set (or none) and
// must neither take an index of a set that has returned nor run its job.
TEST(ThreadPool, ASetReturnsWhenItsJobsAreDoneAndNoJobRunsAfterIt) {
    ThreadCount count(7);
    std::atomic<uint32_t> open{0}, late{0};
    for (uint32_t set = 1; set <= 3000; ++set) {
        const uint32_t jobs = 1 + set % 3;
        std::vector<std::atomic<uint32_t>> runs(jobs);
        open.store(set);
        swr::RunJobs(jobs, [&, set](uint32_t i) {
            if (open.load() != set) late.fetch_add(1);
            runs[i].fetch_add(1);
        });
        open.store(0);
        for (uint32_t i = 0; i < jobs; ++i) ASSERT_EQ(runs[i].load(), 1u) << "set " << set << ", job " << i;
    }
    EXPECT_EQ(late.load(), 0u);
}

TEST(ThreadPool, ThreadCountFallsBackToTheDefault) {
    swr::SetThreadCount(0);
    EXPECT_GE(swr::ThreadCount(), 1u);
}

// The processors this process may use, the first `cpus` of them.
cpu_set_t FirstProcessors(int cpus) {
    cpu_set_t allowed, pinned;
    CPU_ZERO(&allowed);
    CPU_ZERO(&pinned);
    sched_getaffinity(0, sizeof(allowed), &allowed);
    for (int cpu = 0, taken = 0; cpu < CPU_SETSIZE && taken < cpus; ++cpu) {
        if (CPU_ISSET(cpu, &allowed)) {
            CPU_SET(cpu, &pinned);
            ++taken;
        }
    }
    return pinned;
}

// Pins this process to `pinned`, without SWR_THREADS, and exits with the default count.
// The count is read once a process, so this runs in a death test's fresh process.
[[noreturn]] void ExitWithTheDefaultCountOn(const cpu_set_t &pinned) {
    unsetenv("SWR_THREADS");
    if (sched_setaffinity(0, sizeof(pinned), &pinned) != 0) std::_Exit(255);
    std::_Exit(static_cast<int>(std::min(swr::ThreadCount(), 254u)));
}

// A process pinned to some cores (taskset, a container's processor set) draws with one
// thread for each of them, not one for every core of the machine.
TEST(ThreadPoolDeathTest, TheDefaultIsOneThreadForEachProcessorTheProcessMayUse) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const cpu_set_t one = FirstProcessors(1), two = FirstProcessors(2);
    EXPECT_EXIT(ExitWithTheDefaultCountOn(one), ::testing::ExitedWithCode(1), "");
    if (CPU_COUNT(&two) == 2) {
        EXPECT_EXIT(ExitWithTheDefaultCountOn(two), ::testing::ExitedWithCode(2), "");
    }
}

// `draws` draws of `triangles` each, drawn call by call or all through one queue.
std::vector<uint32_t> RenderWith(uint32_t threads, uint32_t seed, uint32_t draws, uint32_t triangles, bool queued) {
    ThreadCount count(threads);
    swrtest::Scene s(157, 131, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    s.KeepCoarseDepth();  // each band tests and keeps its own tiles
    swr::DrawQueue queue;
    if (queued) s.Queue(&queue);
    swrtest::RandomScene scene(157, 131, seed);
    scene.Render(s, draws, triangles);
    return swrtest::Snapshot(s);
}

size_t Differing(const std::vector<uint32_t> &a, const std::vector<uint32_t> &b) {
    size_t n = a.size() == b.size() ? 0 : a.size() + b.size();
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) n += a[i] != b[i];
    return n;
}

TEST(ThreadPool, ThreadsNeverChangePixels) {
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        // Big enough draws to be split: more than one run of set-up work, and enough
        // pixels to rasterise band by band on every thread.
        const std::vector<uint32_t> one = RenderWith(1, seed, 3, 600, false);
        for (uint32_t threads : {2u, 7u}) {
            EXPECT_EQ(Differing(one, RenderWith(threads, seed, 3, 600, false)), 0u) << "seed " << seed << ", " << threads
                                                                                   << " threads";
        }
    }
}

// Many draws queued and drawn together, each band by one thread through every draw: the
// pixels stay those of drawing call by call.
TEST(ThreadPool, QueuedDrawsGiveThePixelsOfDrawingCallByCall) {
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        const std::vector<uint32_t> one = RenderWith(1, seed, 60, 12, false);
        for (uint32_t threads : {1u, 2u, 3u, 8u}) {
            EXPECT_EQ(Differing(one, RenderWith(threads, seed, 60, 12, true)), 0u) << "seed " << seed << ", " << threads
                                                                                  << " threads";
        }
    }
}

}  // namespace

}  // namespace swr_thread_pool_test
