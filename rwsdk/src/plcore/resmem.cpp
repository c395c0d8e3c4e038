// The arena allocator behind the resource arena: a chain of blocks in one
// preallocated region, 32-byte units, best fit searched from a first-free
// hint, with neighbouring free blocks merged on free.
#include "rwresources.h"

static constexpr uintptr_t rwRESHEAPUNIT = 32;
static constexpr RwUInt32 rwRESHEAPSPLITSLACK = 64;
static_assert(sizeof(RwResHeapBlockHeader) == rwRESHEAPUNIT, "block headers take one unit");

static RwUInt8 *Payload(RwResHeapBlockHeader *block) { return reinterpret_cast<RwUInt8 *>(block) + rwRESHEAPUNIT; }

RwBool RwResHeapInit(void *memory, size_t size)
{
    if (memory == nullptr) {
        return FALSE;
    }
    auto start = reinterpret_cast<uintptr_t>(memory);
    uintptr_t first = (start + sizeof(RwResHeap) + rwRESHEAPUNIT - 1) & ~(rwRESHEAPUNIT - 1);
    uintptr_t end = (start + size) & ~(rwRESHEAPUNIT - 1);
    if (end < first + 2 * rwRESHEAPUNIT || end - first - rwRESHEAPUNIT > 0xFFFFFFFFu) {
        return FALSE;
    }
    auto *heap = static_cast<RwResHeap *>(memory);
    auto *block = reinterpret_cast<RwResHeapBlockHeader *>(first);
    block->heap = heap;
    block->next = nullptr;
    block->prev = nullptr;
    block->size = static_cast<RwUInt32>(end - first - rwRESHEAPUNIT);
    block->used = 0;
    heap->head = block;
    heap->freeBlocks = block;
    return TRUE;
}

void RwResHeapSplitBlock(RwResHeapBlockHeader *block, RwUInt32 size)
{
    auto *rest = reinterpret_cast<RwResHeapBlockHeader *>(Payload(block) + size);
    RwResHeapBlockHeader *after = block->next;
    rest->heap = block->heap;
    rest->prev = block;
    rest->used = 0;
    if (after != nullptr && !(after->used & 1)) {
        rest->size = block->size - size + after->size;
        rest->next = after->next;
        if (after->next != nullptr) {
            after->next->prev = rest;
        }
        if (block->heap->freeBlocks == after) {
            block->heap->freeBlocks = rest;
        }
    } else {
        rest->size = block->size - size - static_cast<RwUInt32>(rwRESHEAPUNIT);
        rest->next = after;
        if (after != nullptr) {
            after->prev = rest;
        }
    }
    block->next = rest;
    block->size = size;
}

void *RwResHeapAlloc(void *heapMemory, size_t size)
{
    auto *heap = static_cast<RwResHeap *>(heapMemory);
    if (heap == nullptr || size > 0xFFFFFFFFu - rwRESHEAPUNIT) {
        return nullptr;
    }
    auto rounded = static_cast<RwUInt32>((size + rwRESHEAPUNIT - 1) & ~(rwRESHEAPUNIT - 1));
    RwResHeapBlockHeader *best = nullptr;
    for (RwResHeapBlockHeader *block = heap->freeBlocks; block != nullptr; block = block->next) {
        if (!(block->used & 1) && block->size >= rounded && (best == nullptr || block->size < best->size)) {
            best = block;
        }
    }
    if (best == nullptr) {
        return nullptr;
    }
    if (best->size - rounded > rwRESHEAPSPLITSLACK) {
        RwResHeapSplitBlock(best, rounded);
    }
    if (best == heap->freeBlocks) {
        RwResHeapBlockHeader *next = best->next;
        while (next != nullptr && (next->used & 1)) {
            next = next->next;
        }
        heap->freeBlocks = next;
    }
    best->used = 1;
    return Payload(best);
}

// Merges the free block after `block` into it, header included.
static void AbsorbNext(RwResHeapBlockHeader *block)
{
    RwResHeapBlockHeader *next = block->next;
    block->size += next->size + static_cast<RwUInt32>(rwRESHEAPUNIT);
    block->next = next->next;
    if (next->next != nullptr) {
        next->next->prev = block;
    }
    if (block->heap->freeBlocks == next) {
        block->heap->freeBlocks = block;
    }
}

void RwResHeapFree(void *memory)
{
    if (memory == nullptr) {
        return;
    }
    auto *block = reinterpret_cast<RwResHeapBlockHeader *>(static_cast<RwUInt8 *>(memory) - rwRESHEAPUNIT);
    RwResHeap *heap = block->heap;
    block->used = 0;
    if (heap->freeBlocks == nullptr || heap->freeBlocks > block) {
        heap->freeBlocks = block;
    }
    if (block->prev != nullptr && !(block->prev->used & 1)) {
        block = block->prev;
        AbsorbNext(block);
    }
    if (block->next != nullptr && !(block->next->used & 1)) {
        AbsorbNext(block);
    }
}
