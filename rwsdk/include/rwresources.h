// The resource arena: one preallocated block from which device-ready data
// is handed out as RwResEntry records and evicted least recently used first.
#pragma once

#include "rwtypes.h"

struct RwResEntry;
typedef void (*RwResEntryDestroyNotify)(RwResEntry *resEntry);

struct RwResEntry {
    RwLLLink link;  // next is null while the entry is not in the arena's lists
    RwInt32 size;   // data bytes
    void *owner;
    RwResEntry **ownerRef;
    RwResEntryDestroyNotify destroyNotify;
};

// The caller's data follows the header.
inline void *RwResEntryGetData(RwResEntry *entry) { return entry + 1; }

RwResEntry *RwResourcesAllocateEntry(void *owner, RwResEntry **ownerRef, RwInt32 size,
                                     RwResEntryDestroyNotify destroyNotify);
RwBool RwResourcesFreeEntry(RwResEntry *entry);
void RwResourcesUseEntry(RwResEntry *entry);
RwBool RwResourcesNextFrame(void);
RwBool RwResourcesEmptyArena(void);
// Bytes of entry data currently held in the arena (diagnostics and tests).
RwUInt32 RwResourcesGetArenaUsage(void);

// The arena allocator (32-byte units, best fit from the first-free hint).
struct RwResHeapBlockHeader;
struct RwResHeap {
    RwResHeapBlockHeader *freeBlocks;  // first-free hint
    RwResHeapBlockHeader *head;        // first block
};

struct RwResHeapBlockHeader {
    RwResHeap *heap;
    RwResHeapBlockHeader *next;
    RwResHeapBlockHeader *prev;
    RwUInt32 size;  // payload bytes, a multiple of 32
    RwUInt32 used;
};

RwBool RwResHeapInit(void *memory, size_t size);
void *RwResHeapAlloc(void *heap, size_t size);
void RwResHeapFree(void *memory);
void RwResHeapSplitBlock(RwResHeapBlockHeader *block, RwUInt32 size);

// Resources module engine callbacks (module 0x40B).
void *RwResourcesModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwResourcesModuleClose(void *instance, RwInt32 offset, RwInt32 size);
