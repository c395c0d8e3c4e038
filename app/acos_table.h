// The game's arc-cosine table: 2001 angles in degrees for cosines -1..1 in
// steps of 0.001, filled by a worker thread while the opening runs. Until
// the thread has published the table, a lookup computes the very entry the
// table will hold, so no answer depends on the thread's timing.
#pragma once

#include <atomic>
#include <cstdint>

#include "app/threads.h"

namespace game {

class ACosTable {
public:
    static constexpr int kEntries = 2001;

    ACosTable() = default;
    ACosTable(const ACosTable &) = delete;
    ACosTable &operator=(const ACosTable &) = delete;
    ~ACosTable() { Join(); }

    // Starts the filling thread unless it runs or the table is ready; fills
    // the table at once when no thread can be started.
    void StartThread();
    // Waits for the filling thread (teardown); harmless when none runs.
    void Join();
    bool Ready() const { return ready_.load(std::memory_order_acquire); }

    // The angle in degrees whose cosine is c (clamped to -1..1; NaN counts
    // as -1): entry 1000 + c x 1000, truncated.
    float Lookup(float c) const;

    // What starts the filling thread (CreateWorkerThread); a test may give
    // one that can start none.
    WorkerThread *(*startThread)(WorkerRoutine routine, void *context, int priority) = CreateWorkerThread;

    // What entry `index` holds.
    static float Entry(int index);
    static int IndexOf(float c);
    // What the table holds for c, worked out without the table (for code
    // that may run before, or without, the game system that owns it).
    static float EntryFor(float c) { return Entry(IndexOf(c)); }

private:
    static uint32_t FillRoutine(void *table);
    void Fill();

    float table_[kEntries] = {};
    std::atomic<bool> ready_{false};
    WorkerThread *thread_ = nullptr;  // main thread only
};

}  // namespace game

// Cosine of an angle in degrees.
float CosDeg(float degrees);
