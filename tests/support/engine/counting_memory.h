// A memory-function table for engine tests: counts allocations, tracks the
// blocks still live, and can fail the Nth allocation to drive failure paths.
#pragma once

#include <cstddef>

#include "rwmemory.h"

namespace rwtest {

struct CountingMemory {
    // The table to hand to RwEngineInit.
    static const RwMemoryFunctions *Table();
    // Forgets counts and injected failures (live blocks must be 0 first).
    static void Reset();
    // Fails the allocation with this 1-based number (0: none fail); every
    // later allocation succeeds again.
    static void FailAt(size_t n);
    // Fails every allocation from this number on (0: none).
    static void FailFrom(size_t n);
    static size_t Allocations();  // attempts so far, failed ones included
    static size_t LiveBlocks();
    static size_t LiveBytes();
};

}  // namespace rwtest
