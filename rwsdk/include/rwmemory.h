// Memory services of the engine: the instance's memory functions, per-type
// free lists of fixed-size records, and the memory module that owns them.
#pragma once

#include "rwtypes.h"

struct RwFreeList;

// The instance's six memory slots. The table handed to RwEngineInit fills the
// first four; the free-list slots select pooled or plain heap records.
struct RwMemoryFunctions {
    void *(*rwmalloc)(size_t size);
    void (*rwfree)(void *mem);
    void *(*rwrealloc)(void *mem, size_t newSize);
    void *(*rwcalloc)(size_t numObj, size_t sizeObj);
    void *(*rwfreelistalloc)(RwFreeList *freeList);
    RwFreeList *(*rwfreelistfree)(RwFreeList *freeList, void *entry);
};

// Pool of fixed-size records kept in blocks with a used-bit map.
struct RwFreeList {
    RwUInt32 entrySize;       // requested size rounded up to the alignment
    RwUInt32 entriesPerBlock;
    RwUInt32 heapSize;        // bit-map bytes per block
    RwUInt32 alignment;       // at least 8 on this build
    RwLinkList blockList;     // newest block first
    RwUInt32 flags;           // rwFREELIST_*
    RwLLLink lFreeList;       // link in the engine's list of all free lists
};

static constexpr RwUInt32 rwFREELIST_CALLERRECORD = 0x1;  // record not to be freed
static constexpr RwUInt32 rwFREELIST_VALID = 0x2;
static constexpr RwUInt32 rwFREELIST_WALKING = 0x4;       // block release deferred

// Every engine allocation goes through these (the current instance's slots).
void *RwMalloc(size_t size);
void RwFree(void *mem);
void *RwRealloc(void *mem, size_t newSize);
void *RwCalloc(size_t numObj, size_t sizeObj);
// Object records: through the free-list slots, so flag bit 0 of
// RwEngineInit turns every pool into plain heap allocations.
void *RwFreeListEntryAlloc(RwFreeList *freeList);
RwFreeList *RwFreeListEntryFree(RwFreeList *freeList, void *entry);

// Memory module (opened by RwEngineInit, closed by RwEngineTerm).
RwBool RwMemoryOpen(const RwMemoryFunctions *memFuncs);
void RwMemoryClose(void);
void *RwMemoryZeroedAlloc(size_t numObj, size_t sizeObj);

// Free lists.
RwFreeList *RwFreeListCreate(RwInt32 entrySize, RwInt32 entriesPerBlock, RwInt32 alignment);
RwFreeList *RwFreeListCreateEx(RwInt32 entrySize, RwInt32 entriesPerBlock, RwInt32 alignment,
                               RwInt32 numBlocksToPrealloc, RwFreeList *inPlaceSpace);
RwFreeList *RwFreeListCreateInPlace(RwInt32 entrySize, RwInt32 entriesPerBlock, RwInt32 alignment,
                                    RwInt32 numBlocksToPrealloc, RwFreeList *inPlaceSpace);
RwBool RwFreeListDestroy(RwFreeList *freeList);
void *RwFreeListAlloc(RwFreeList *freeList);
RwFreeList *RwFreeListFree(RwFreeList *freeList, void *entry);

typedef void (*RwFreeListCallBack)(void *entry, void *data);
// Calls `callback` on every used entry; the callback may free the entry it
// is given (blocks emptied that way are released after the walk).
RwFreeList *RwFreeListForAllUsed(RwFreeList *freeList, RwFreeListCallBack callback, void *data);
RwInt32 RwFreeListPurge(RwFreeList *freeList);
RwInt32 RwFreeListPurgeAllFreeLists(void);
void RwFreeListSetPreallocation(RwBool on);
void *RwFreeListHeapAlloc(RwFreeList *freeList);
RwFreeList *RwFreeListHeapFree(RwFreeList *freeList, void *entry);

// Number of blocks a free list currently holds (diagnostics and tests).
RwInt32 RwFreeListGetNumBlocks(const RwFreeList *freeList);
