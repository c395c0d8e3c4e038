// Counting, fault-injecting memory functions for engine tests.
#include "support/engine/counting_memory.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace rwtest {
namespace {

struct CountingState {
    size_t attempts = 0;
    size_t failAt = 0;
    size_t failFrom = 0;
    size_t liveBytes = 0;
    std::unordered_map<void *, size_t> live;
};

CountingState &Counting()
{
    static CountingState state;
    return state;
}

bool ShouldFail()
{
    CountingState &s = Counting();
    ++s.attempts;
    return (s.failAt != 0 && s.attempts == s.failAt) || (s.failFrom != 0 && s.attempts >= s.failFrom);
}

void *CountingMalloc(size_t size)
{
    if (ShouldFail()) {
        return nullptr;
    }
    void *p = std::malloc(size == 0 ? 1 : size);
    if (p != nullptr) {
        Counting().live[p] = size;
        Counting().liveBytes += size;
    }
    return p;
}

void CountingFree(void *mem)
{
    if (mem == nullptr) {
        return;
    }
    auto it = Counting().live.find(mem);
    if (it != Counting().live.end()) {
        Counting().liveBytes -= it->second;
        Counting().live.erase(it);
    }
    std::free(mem);
}

void *CountingRealloc(void *mem, size_t size)
{
    if (ShouldFail()) {
        return nullptr;
    }
    void *p = std::realloc(mem, size == 0 ? 1 : size);
    if (p != nullptr) {
        if (mem != nullptr) {
            auto it = Counting().live.find(mem);
            if (it != Counting().live.end()) {
                Counting().liveBytes -= it->second;
                Counting().live.erase(it);
            }
        }
        Counting().live[p] = size;
        Counting().liveBytes += size;
    }
    return p;
}

void *CountingCalloc(size_t num, size_t size)
{
    void *p = CountingMalloc(num * size);
    if (p != nullptr) {
        std::memset(p, 0, num * size);
    }
    return p;
}

const RwMemoryFunctions table = {CountingMalloc, CountingFree, CountingRealloc, CountingCalloc, nullptr, nullptr};

}  // namespace

const RwMemoryFunctions *CountingMemory::Table() { return &table; }

void CountingMemory::Reset()
{
    Counting().attempts = 0;
    Counting().failAt = 0;
    Counting().failFrom = 0;
}

void CountingMemory::FailAt(size_t n) { Counting().failAt = n; }
void CountingMemory::FailFrom(size_t n) { Counting().failFrom = n; }
size_t CountingMemory::Allocations() { return Counting().attempts; }
size_t CountingMemory::LiveBlocks() { return Counting().live.size(); }
size_t CountingMemory::LiveBytes() { return Counting().liveBytes; }

}  // namespace rwtest
