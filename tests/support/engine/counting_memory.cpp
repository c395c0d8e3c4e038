// Counting, fault-injecting memory functions for engine tests.
#include "support/engine/counting_memory.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace rwtest {
namespace {

struct State {
    size_t attempts = 0;
    size_t failAt = 0;
    size_t failFrom = 0;
    size_t liveBytes = 0;
    std::unordered_map<void *, size_t> live;
};

State &S()
{
    static State state;
    return state;
}

bool ShouldFail()
{
    State &s = S();
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
        S().live[p] = size;
        S().liveBytes += size;
    }
    return p;
}

void CountingFree(void *mem)
{
    if (mem == nullptr) {
        return;
    }
    auto it = S().live.find(mem);
    if (it != S().live.end()) {
        S().liveBytes -= it->second;
        S().live.erase(it);
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
            auto it = S().live.find(mem);
            if (it != S().live.end()) {
                S().liveBytes -= it->second;
                S().live.erase(it);
            }
        }
        S().live[p] = size;
        S().liveBytes += size;
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
    S().attempts = 0;
    S().failAt = 0;
    S().failFrom = 0;
}

void CountingMemory::FailAt(size_t n) { S().failAt = n; }
void CountingMemory::FailFrom(size_t n) { S().failFrom = n; }
size_t CountingMemory::Allocations() { return S().attempts; }
size_t CountingMemory::LiveBlocks() { return S().live.size(); }
size_t CountingMemory::LiveBytes() { return S().liveBytes; }

}  // namespace rwtest
