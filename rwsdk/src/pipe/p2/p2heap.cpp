// The pipeline heap: node bodies allocate their working memory here during
// an execution, and the whole heap is reset between executions instead of
// freeing block by block. Superblocks are carved into 32-byte aligned blocks
// with 32-byte headers; free blocks are found through a small array.
#include <cstring>

#include "rwerror.h"
#include "rwmemory.h"
#include "rwpipeline.h"

namespace {

constexpr size_t rxHeapGranule = 32;
constexpr size_t rxHeapSplitThreshold = 256;  // smaller leftovers stay with the block
constexpr size_t rxHeapSuperBlockAlign = 128;
constexpr RwUInt32 rxHeapFreeArrayGrowth = 8;
constexpr size_t rxHeapHeader = sizeof(RxHeapBlockHeader);

size_t RoundUpGranule(size_t size) { return (size + rxHeapGranule - 1) & ~(rxHeapGranule - 1); }

RwUInt8 *BlockEnd(RxHeapBlockHeader *block)
{
    return reinterpret_cast<RwUInt8 *>(block) + rxHeapHeader + block->size;
}

// Blocks of different superblocks are chained too, but only neighbours in
// memory may merge.
bool Adjacent(RxHeapBlockHeader *first, RxHeapBlockHeader *second)
{
    return BlockEnd(first) == reinterpret_cast<RwUInt8 *>(second);
}

// The array moves when it grows, so every free block's back pointer is redone.
void RepointFreeEntries(RxHeap *heap)
{
    for (RwUInt32 i = 0; i < heap->entriesUsed; i++) {
        heap->freeBlocks[i].ptr->freeEntry = &heap->freeBlocks[i];
    }
}

// Room for one more free entry; the array grows a few entries at a time.
bool EnsureFreeEntryRoom(RxHeap *heap)
{
    if (heap->entriesUsed < heap->entriesAlloced) {
        return true;
    }
    RwUInt32 capacity = heap->entriesAlloced + rxHeapFreeArrayGrowth;
    auto *grown = static_cast<RxHeapFreeBlock *>(RwRealloc(heap->freeBlocks, capacity * sizeof(RxHeapFreeBlock)));
    if (grown == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return false;
    }
    heap->freeBlocks = grown;
    heap->entriesAlloced = capacity;
    RepointFreeEntries(heap);
    return true;
}

RxHeapFreeBlock *AddFreeEntry(RxHeap *heap, RxHeapBlockHeader *block)
{
    if (!EnsureFreeEntryRoom(heap)) {
        return nullptr;
    }
    RxHeapFreeBlock *entry = &heap->freeBlocks[heap->entriesUsed++];
    entry->size = block->size;
    entry->ptr = block;
    block->freeEntry = entry;
    return entry;
}

// The last entry takes the removed one's place.
void RemoveFreeEntry(RxHeap *heap, RxHeapFreeBlock *entry)
{
    entry->ptr->freeEntry = nullptr;
    RxHeapFreeBlock *last = &heap->freeBlocks[heap->entriesUsed - 1];
    if (entry != last) {
        *entry = *last;
        entry->ptr->freeEntry = entry;
    }
    heap->entriesUsed--;
}

void *TakeBlock(RxHeap *heap, RxHeapFreeBlock *entry, size_t size)
{
    RxHeapBlockHeader *block = entry->ptr;
    if (block->size - size >= rxHeapSplitThreshold) {
        auto *rest = reinterpret_cast<RxHeapBlockHeader *>(reinterpret_cast<RwUInt8 *>(block) + rxHeapHeader + size);
        rest->size = block->size - size - rxHeapHeader;
        rest->prev = block;
        rest->next = block->next;
        if (block->next != nullptr) {
            block->next->prev = rest;
        }
        block->next = rest;
        block->size = size;
        rest->freeEntry = entry;
        entry->ptr = rest;
        entry->size = rest->size;
        block->freeEntry = nullptr;
    } else {
        RemoveFreeEntry(heap, entry);
    }
    heap->dirty = TRUE;
    return reinterpret_cast<RwUInt8 *>(block) + rxHeapHeader;
}

RxHeapSuperBlockDescriptor *NewSuperBlock(RxHeap *heap, size_t size)
{
    size_t bytes = sizeof(RxHeapSuperBlockDescriptor) + (rxHeapSuperBlockAlign - 1) + size;
    auto *raw = static_cast<RwUInt8 *>(RwMalloc(bytes));
    if (raw == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    auto *desc = reinterpret_cast<RxHeapSuperBlockDescriptor *>(raw);
    auto start = reinterpret_cast<uintptr_t>(raw + sizeof(RxHeapSuperBlockDescriptor));
    start = (start + rxHeapSuperBlockAlign - 1) & ~(uintptr_t)(rxHeapSuperBlockAlign - 1);
    desc->start = reinterpret_cast<void *>(start);
    desc->size = size;
    desc->next = heap->head;
    heap->head = desc;
    return desc;
}

RxHeapBlockHeader *SuperBlockAsOneBlock(RxHeapSuperBlockDescriptor *desc)
{
    auto *block = static_cast<RxHeapBlockHeader *>(desc->start);
    block->prev = nullptr;
    block->next = nullptr;
    block->size = desc->size - rxHeapHeader;
    block->freeEntry = nullptr;
    return block;
}

}  // namespace

RxHeap *RxHeapCreate(RwUInt32 size)
{
    if (size < 1024) {
        size = 1024;
    }
    auto *heap = static_cast<RxHeap *>(RwMalloc(sizeof(RxHeap)));
    if (heap == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(heap, 0, sizeof(RxHeap));
    size_t superSize = RoundUpGranule(size);
    heap->superBlockSize = static_cast<RwUInt32>(superSize < 128 ? 128 : superSize);
    if (NewSuperBlock(heap, heap->superBlockSize) == nullptr || !RxHeapReset(heap)) {
        RxHeapDestroy(heap);
        return nullptr;
    }
    return heap;
}

void RxHeapDestroy(RxHeap *heap)
{
    if (heap == nullptr) {
        return;
    }
    RwFree(heap->freeBlocks);
    RxHeapSuperBlockDescriptor *desc = heap->head;
    while (desc != nullptr) {
        RxHeapSuperBlockDescriptor *next = desc->next;
        RwFree(desc);
        desc = next;
    }
    RwFree(heap);
}

RwBool RxHeapReset(RxHeap *heap)
{
    heap->entriesUsed = 0;
    heap->headBlock = nullptr;
    RxHeapBlockHeader *previous = nullptr;
    for (RxHeapSuperBlockDescriptor *desc = heap->head; desc != nullptr; desc = desc->next) {
        RxHeapBlockHeader *block = SuperBlockAsOneBlock(desc);
        block->prev = previous;
        if (previous != nullptr) {
            previous->next = block;
        } else {
            heap->headBlock = block;
        }
        previous = block;
        if (AddFreeEntry(heap, block) == nullptr) {
            return FALSE;
        }
    }
    heap->dirty = FALSE;
    return TRUE;
}

void *RxHeapAlloc(RxHeap *heap, RwUInt32 size)
{
    size_t want = RoundUpGranule(size == 0 ? 1 : size);
    for (RwUInt32 i = heap->entriesUsed; i-- > 0;) {
        if (heap->freeBlocks[i].size >= want) {
            return TakeBlock(heap, &heap->freeBlocks[i], want);
        }
    }
    // Nothing fits: grow by a superblock big enough for this request.
    size_t superSize = want + 96 > heap->superBlockSize ? RoundUpGranule(want + 96) : heap->superBlockSize;
    // Room first, so a failure leaves the heap as it was.
    if (!EnsureFreeEntryRoom(heap)) {
        return nullptr;
    }
    RxHeapSuperBlockDescriptor *desc = NewSuperBlock(heap, superSize);
    if (desc == nullptr) {
        return nullptr;
    }
    RxHeapBlockHeader *block = SuperBlockAsOneBlock(desc);
    block->next = heap->headBlock;
    if (heap->headBlock != nullptr) {
        heap->headBlock->prev = block;
    }
    heap->headBlock = block;
    return TakeBlock(heap, AddFreeEntry(heap, block), want);
}

void RxHeapFree(RxHeap *heap, void *memory)
{
    if (memory == nullptr) {
        return;
    }
    auto *block = reinterpret_cast<RxHeapBlockHeader *>(static_cast<RwUInt8 *>(memory) - rxHeapHeader);
    RxHeapBlockHeader *prev = block->prev;
    if (prev != nullptr && prev->freeEntry != nullptr && Adjacent(prev, block)) {
        prev->size += rxHeapHeader + block->size;
        prev->next = block->next;
        if (block->next != nullptr) {
            block->next->prev = prev;
        }
        block = prev;
    }
    RxHeapBlockHeader *next = block->next;
    if (next != nullptr && next->freeEntry != nullptr && Adjacent(block, next)) {
        RemoveFreeEntry(heap, next->freeEntry);
        block->size += rxHeapHeader + next->size;
        block->next = next->next;
        if (next->next != nullptr) {
            next->next->prev = block;
        }
    }
    if (block->freeEntry != nullptr) {
        block->freeEntry->size = block->size;
    } else if (AddFreeEntry(heap, block) == nullptr) {
        // Without array room the block stays in use until the next reset.
        return;
    }
}
