// The counted allocator under the allocator lock (see memory.h). Each block
// carries a header with its size, so that giving it back can count it off.
#include "app/memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/fatal.h"
#include "app/locks.h"

namespace {

// Keeps the caller's part aligned for any type.
constexpr size_t kHeader = alignof(std::max_align_t) > 16 ? alignof(std::max_align_t) : 16;
// Larger requests are taken for failures without asking the system (which
// may refuse them in ways that end the program under the sanitizers).
constexpr size_t kLargest = size_t{1} << 40;

size_t bytesInUse{};  // under the allocator lock

void *HeaderOf(void *block) { return static_cast<uint8_t *>(block) - kHeader; }
size_t SizeOf(void *block)
{
    size_t size{};
    std::memcpy(&size, HeaderOf(block), sizeof(size));
    return size;
}

void *Finish(void *raw, size_t size)
{
    std::memcpy(raw, &size, sizeof(size));
    bytesInUse += size;
    return static_cast<uint8_t *>(raw) + kHeader;
}

void *CountedMalloc(size_t size)
{
    if (size > kLargest) {
        return nullptr;
    }
    CSAllocatorLockGuard lock;
    void *raw = std::malloc(kHeader + size);
    return raw != nullptr ? Finish(raw, size) : nullptr;
}

void CountedFree(void *block)
{
    if (block == nullptr) {
        return;
    }
    CSAllocatorLockGuard lock;
    bytesInUse -= SizeOf(block);
    std::free(HeaderOf(block));
}

void *CountedRealloc(void *block, size_t size)
{
    if (block == nullptr) {
        return CountedMalloc(size);
    }
    if (size > kLargest) {
        return nullptr;
    }
    CSAllocatorLockGuard lock;
    const size_t old = SizeOf(block);
    void *raw = std::realloc(HeaderOf(block), kHeader + size);
    if (raw == nullptr) {
        return nullptr;  // the old block stays as it was
    }
    bytesInUse -= old;
    return Finish(raw, size);
}

void *CountedCalloc(size_t count, size_t size)
{
    if (size != 0 && count > kLargest / size) {
        return nullptr;
    }
    void *block = CountedMalloc(count * size);
    if (block != nullptr) {
        std::memset(block, 0, count * size);
    }
    return block;
}

const RwMemoryFunctions engineTable = {CountedMalloc, CountedFree, CountedRealloc, CountedCalloc, nullptr, nullptr};

}  // namespace

void *zuMalloc(size_t size)
{
    void *block = CountedMalloc(size);
    if (block == nullptr) {
        FatalExit("Out of memory: %zu bytes could not be had", size);
    }
    return block;
}

void zuFree(void *block) { CountedFree(block); }

char *zuStrDup(const char *text)
{
    if (text == nullptr) {
        return nullptr;
    }
    const size_t length = std::strlen(text) + 1;
    auto *copy = static_cast<char *>(zuMalloc(length));
    std::memcpy(copy, text, length);
    return copy;
}

void zuStrFree(char *text) { zuFree(text); }

size_t zuGetBytesInUse()
{
    CSAllocatorLockGuard lock;
    return bytesInUse;
}

const RwMemoryFunctions *zuGetEngineMemoryFunctions() { return &engineTable; }
