// Worker threads and sleeping. Every thread is joinable and is joined
// before what it uses is freed: JoinWorkerThread waits for the routine to
// end and only then frees the handle, so no handle of a running thread can
// be freed. Flags shared between threads are atomics.
#pragma once

#include <cstddef>
#include <cstdint>

struct WorkerThread;
typedef uint32_t (*WorkerRoutine)(void *context);

// Starts `routine(context)` on a new thread. The priority (3 = normal) is
// accepted and ignored. Null when the thread cannot be started.
WorkerThread *CreateWorkerThread(WorkerRoutine routine, void *context, int priority);
// Waits until the routine has returned, frees the handle and gives the
// routine's result. Null gives 0.
uint32_t JoinWorkerThread(WorkerThread *thread);
// True once the routine has returned (the handle still needs joining).
bool HasWorkerThreadEnded(const WorkerThread *thread);
// Threads started and not yet joined, over the whole program.
size_t GetWorkerThreadCount();

// Sleeps the calling thread for `ms` milliseconds (through the clock's
// sleep, which a test's clock may replace; see clock.h).
void SleepMs(uint32_t ms);
