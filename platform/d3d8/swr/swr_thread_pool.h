// The worker threads that drawing is split over. A job set runs job indices 0..n-1 on
// the calling thread and the workers together, each index exactly once, and returns
// when all are done. Which thread runs which index is left to chance, so callers give
// each index work whose result does not depend on the thread (a screen band, a run of
// primitives with its own output).
#pragma once

#include <cstdint>
#include <functional>

namespace swr {

// The thread count itself is set and read through SetThreadCount and ThreadCount
// (swr_draw.h).

// Runs job(i) for every i in [0, jobCount) over the configured threads. Not reentrant:
// jobs must not run job sets of their own.
void RunJobs(uint32_t jobCount, const std::function<void(uint32_t job)> &job);

}  // namespace swr
