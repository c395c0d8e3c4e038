// The memory module: the instance's memory functions and the free lists,
// pools of fixed-size records kept in heap blocks with a used-bit map.
#include <cstdlib>
#include <cstring>

#include "rwengine.h"
#include "rwmemory.h"

// Every block starts with its list link, then the bit map, then the entries
// from the first multiple of the alignment after the bit map.
static constexpr size_t rwFREELISTBLOCKHEAD = sizeof(RwLLLink);
// Entries hold pointers on this build, so nothing is placed less aligned.
static constexpr RwUInt32 rwFREELISTMINALIGN = 8;

static RwLinkList freeListList;            // every free list but the one below
static RwFreeList freeListFreeListRecord;  // static record of the list of records
static RwFreeList *freeListFreeList = nullptr;
static RwBool memoryModuleOpen = FALSE;
static RwBool freeListPreallocate = TRUE;
static RwUInt32 freeListDeferredReleases = 0;

static void *DefaultMalloc(size_t size) { return std::malloc(size); }
static void DefaultFree(void *mem) { std::free(mem); }
static void *DefaultRealloc(void *mem, size_t size) { return std::realloc(mem, size); }

void *RwMalloc(size_t size) { return RwEngineInst->memoryFuncs.rwmalloc(size); }
void RwFree(void *mem) { RwEngineInst->memoryFuncs.rwfree(mem); }
void *RwRealloc(void *mem, size_t newSize) { return RwEngineInst->memoryFuncs.rwrealloc(mem, newSize); }
void *RwCalloc(size_t numObj, size_t sizeObj) { return RwEngineInst->memoryFuncs.rwcalloc(numObj, sizeObj); }

void *RwFreeListEntryAlloc(RwFreeList *freeList)
{
    return RwEngineInst->memoryFuncs.rwfreelistalloc(freeList);
}

RwFreeList *RwFreeListEntryFree(RwFreeList *freeList, void *entry)
{
    return RwEngineInst->memoryFuncs.rwfreelistfree(freeList, entry);
}

void *RwMemoryZeroedAlloc(size_t numObj, size_t sizeObj)
{
    if (sizeObj != 0 && numObj > static_cast<size_t>(-1) / sizeObj) {
        return nullptr;
    }
    void *mem = RwMalloc(numObj * sizeObj);
    if (mem != nullptr) {
        std::memset(mem, 0, numObj * sizeObj);
    }
    return mem;
}

// ---- blocks ---------------------------------------------------------------

static RwUInt8 *BlockBitMap(RwLLLink *block) { return reinterpret_cast<RwUInt8 *>(block) + rwFREELISTBLOCKHEAD; }

static RwUInt8 *BlockFirstEntry(const RwFreeList *fl, RwLLLink *block)
{
    auto base = reinterpret_cast<uintptr_t>(block) + rwFREELISTBLOCKHEAD + fl->heapSize;
    return reinterpret_cast<RwUInt8 *>(RwAlignUp(base, fl->alignment));
}

static size_t BlockAllocSize(const RwFreeList *fl)
{
    return rwFREELISTBLOCKHEAD + fl->heapSize + (fl->alignment - 1) +
           static_cast<size_t>(fl->entrySize) * fl->entriesPerBlock;
}

static RwLLLink *BlockCreate(RwFreeList *fl)
{
    auto *block = static_cast<RwLLLink *>(RwMalloc(BlockAllocSize(fl)));
    if (block != nullptr) {
        std::memset(BlockBitMap(block), 0, fl->heapSize);
        RwLinkListAddLLLink(&fl->blockList, block);
    }
    return block;
}

static RwBool BlockIsEmpty(const RwFreeList *fl, RwLLLink *block)
{
    const RwUInt8 *map = BlockBitMap(block);
    for (RwUInt32 i = 0; i < fl->heapSize; ++i) {
        if (map[i] != 0) {
            return FALSE;
        }
    }
    return TRUE;
}

static RwBool ListHasOneBlock(RwFreeList *fl)
{
    RwLLLink *first = RwLinkListGetFirstLLLink(&fl->blockList);
    return first != RwLinkListGetTerminator(&fl->blockList) && first->next == RwLinkListGetTerminator(&fl->blockList);
}

static void BlocksFreeAll(RwFreeList *fl)
{
    RwLLLink *cur = RwLinkListGetFirstLLLink(&fl->blockList);
    while (cur != RwLinkListGetTerminator(&fl->blockList)) {
        RwLLLink *next = cur->next;
        RwFree(cur);
        cur = next;
    }
    RwLinkListInitialize(&fl->blockList);
}

// Releases empty blocks, always keeping one; returns how many were released.
static RwInt32 BlocksReleaseEmpty(RwFreeList *fl)
{
    RwLinkList pending;
    RwLinkListInitialize(&pending);
    if (RwLinkListEmpty(&fl->blockList)) {
        return 0;
    }
    // Move the chain onto a local head so the list can be rebuilt in order.
    pending.link.next = fl->blockList.link.next;
    pending.link.prev = fl->blockList.link.prev;
    pending.link.next->prev = &pending.link;
    pending.link.prev->next = &pending.link;
    RwLinkListInitialize(&fl->blockList);

    RwInt32 released = 0;
    while (!RwLinkListEmpty(&pending)) {
        RwLLLink *block = RwLinkListGetFirstLLLink(&pending);
        RwLLLinkRemove(block);
        RwBool last = RwLinkListEmpty(&pending) && RwLinkListEmpty(&fl->blockList);
        if (!BlockIsEmpty(fl, block) || last) {
            RwLinkListAppendLLLink(&fl->blockList, block);
        } else {
            RwFree(block);
            ++released;
        }
    }
    return released;
}

// ---- free lists -----------------------------------------------------------

static RwUInt32 EffectiveAlignment(RwInt32 alignment)
{
    RwUInt32 align = alignment <= 0 ? 4u : static_cast<RwUInt32>(alignment);
    if (align < rwFREELISTMINALIGN) {
        align = rwFREELISTMINALIGN;
    }
    RwUInt32 pow2 = rwFREELISTMINALIGN;
    while (pow2 < align && pow2 < 0x10000u) {
        pow2 <<= 1;
    }
    return pow2;
}

RwFreeList *RwFreeListCreateEx(RwInt32 entrySize, RwInt32 entriesPerBlock, RwInt32 alignment,
                               RwInt32 numBlocksToPrealloc, RwFreeList *inPlaceSpace)
{
    if (entrySize <= 0 || entriesPerBlock <= 0 || numBlocksToPrealloc < 0) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    if (!freeListPreallocate) {
        numBlocksToPrealloc = 0;
    }
    RwUInt32 align = EffectiveAlignment(alignment);

    RwFreeList *fl = inPlaceSpace;
    if (fl != nullptr) {
        fl->flags = rwFREELIST_VALID | rwFREELIST_CALLERRECORD;
    } else {
        fl = static_cast<RwFreeList *>(freeListFreeList != nullptr ? RwFreeListEntryAlloc(freeListFreeList)
                                                                    : RwMalloc(sizeof(RwFreeList)));
        if (fl == nullptr) {
            return nullptr;
        }
        fl->flags = rwFREELIST_VALID;
    }
    fl->alignment = align;
    fl->entrySize = static_cast<RwUInt32>(RwAlignUp(static_cast<RwUInt32>(entrySize), align));
    fl->entriesPerBlock = static_cast<RwUInt32>(entriesPerBlock);
    fl->heapSize = (fl->entriesPerBlock + 7) / 8;
    RwLinkListInitialize(&fl->blockList);

    for (RwInt32 i = 0; i < numBlocksToPrealloc; ++i) {
        if (BlockCreate(fl) == nullptr) {
            BlocksFreeAll(fl);
            if (!(fl->flags & rwFREELIST_CALLERRECORD)) {
                if (freeListFreeList != nullptr) {
                    RwFreeListEntryFree(freeListFreeList, fl);
                } else {
                    RwFree(fl);
                }
            }
            return nullptr;
        }
    }
    RwLinkListAddLLLink(&freeListList, &fl->lFreeList);
    return fl;
}

RwFreeList *RwFreeListCreate(RwInt32 entrySize, RwInt32 entriesPerBlock, RwInt32 alignment)
{
    return RwFreeListCreateEx(entrySize, entriesPerBlock, alignment, 1, nullptr);
}

RwFreeList *RwFreeListCreateInPlace(RwInt32 entrySize, RwInt32 entriesPerBlock, RwInt32 alignment,
                                    RwInt32 numBlocksToPrealloc, RwFreeList *inPlaceSpace)
{
    return RwFreeListCreateEx(entrySize, entriesPerBlock, alignment, numBlocksToPrealloc, inPlaceSpace);
}

// Frees blocks and, unless the caller owns it, the record.
static void FreeListRelease(RwFreeList *fl)
{
    BlocksFreeAll(fl);
    fl->flags &= ~rwFREELIST_VALID;
    if (fl->flags & rwFREELIST_CALLERRECORD) {
        return;
    }
    if (freeListFreeList != nullptr && fl != freeListFreeList) {
        RwFreeListEntryFree(freeListFreeList, fl);
    } else {
        RwFree(fl);
    }
}

RwBool RwFreeListDestroy(RwFreeList *freeList)
{
    if (freeList != freeListFreeList) {
        RwLLLinkRemove(&freeList->lFreeList);
    }
    FreeListRelease(freeList);
    if (freeList == freeListFreeList) {
        freeListFreeList = nullptr;
    }
    return TRUE;
}

void *RwFreeListAlloc(RwFreeList *freeList)
{
    RwLLLink *term = RwLinkListGetTerminator(&freeList->blockList);
    for (RwLLLink *block = RwLinkListGetFirstLLLink(&freeList->blockList); block != term; block = block->next) {
        RwUInt8 *map = BlockBitMap(block);
        RwUInt32 left = freeList->entriesPerBlock;
        for (RwUInt32 byte = 0; byte < freeList->heapSize; ++byte, left -= 8) {
            if (map[byte] == 0xFF) {
                if (left <= 8) {
                    break;
                }
                continue;
            }
            RwUInt32 bits = left < 8 ? left : 8;
            for (RwUInt32 bit = 0; bit < bits; ++bit) {
                RwUInt8 mask = static_cast<RwUInt8>(0x80u >> bit);
                if (!(map[byte] & mask)) {
                    map[byte] |= mask;
                    return BlockFirstEntry(freeList, block) + static_cast<size_t>(byte * 8 + bit) * freeList->entrySize;
                }
            }
            if (left <= 8) {
                break;
            }
        }
    }
    RwLLLink *block = BlockCreate(freeList);
    if (block == nullptr) {
        return nullptr;
    }
    BlockBitMap(block)[0] = 0x80;
    return BlockFirstEntry(freeList, block);
}

RwFreeList *RwFreeListFree(RwFreeList *freeList, void *entry)
{
    auto *p = static_cast<RwUInt8 *>(entry);
    RwLLLink *term = RwLinkListGetTerminator(&freeList->blockList);
    for (RwLLLink *block = RwLinkListGetFirstLLLink(&freeList->blockList); block != term; block = block->next) {
        RwUInt8 *first = BlockFirstEntry(freeList, block);
        size_t span = static_cast<size_t>(freeList->entrySize) * freeList->entriesPerBlock;
        if (p < first || p >= first + span) {
            continue;
        }
        size_t rel = static_cast<size_t>(p - first);
        size_t index = rel / freeList->entrySize;
        RwUInt8 mask = static_cast<RwUInt8>(0x80u >> (index & 7));
        RwUInt8 *map = BlockBitMap(block);
        // An address inside an entry, or an entry that is not in use, is not
        // one this list handed out: refuse it rather than corrupt the map.
        if (rel % freeList->entrySize != 0 || !(map[index >> 3] & mask)) {
            return nullptr;
        }
        map[index >> 3] = static_cast<RwUInt8>(map[index >> 3] & ~mask);
        if (BlockIsEmpty(freeList, block) && !ListHasOneBlock(freeList)) {
            if (freeList->flags & rwFREELIST_WALKING) {
                ++freeListDeferredReleases;  // the walk still holds this block
            } else {
                RwLLLinkRemove(block);
                RwFree(block);
            }
        }
        return freeList;
    }
    return nullptr;
}

RwFreeList *RwFreeListForAllUsed(RwFreeList *freeList, RwFreeListCallBack callback, void *data)
{
    // The callback may free the entry it is given; emptied blocks must stay
    // until the walk has moved past them, so their release is deferred.
    RwUInt32 wasWalking = freeList->flags & rwFREELIST_WALKING;
    RwUInt32 deferredBefore = freeListDeferredReleases;
    freeList->flags |= rwFREELIST_WALKING;
    RwFreeList *result = freeList;

    RwLLLink *term = RwLinkListGetTerminator(&freeList->blockList);
    for (RwLLLink *block = RwLinkListGetFirstLLLink(&freeList->blockList); block != term; block = block->next) {
        auto *copy = static_cast<RwUInt8 *>(RwMalloc(freeList->heapSize));
        if (copy == nullptr) {
            result = nullptr;
            break;
        }
        std::memcpy(copy, BlockBitMap(block), freeList->heapSize);
        RwUInt8 *first = BlockFirstEntry(freeList, block);
        for (RwUInt32 byte = 0; byte < freeList->heapSize; ++byte) {
            for (RwUInt32 bit = 0; bit < 8; ++bit) {
                RwUInt32 index = byte * 8 + bit;
                if (index < freeList->entriesPerBlock && (copy[byte] & (0x80u >> bit))) {
                    callback(first + static_cast<size_t>(index) * freeList->entrySize, data);
                }
            }
        }
        RwFree(copy);
    }

    if (!wasWalking) {
        freeList->flags &= ~rwFREELIST_WALKING;
        if (freeListDeferredReleases != deferredBefore) {
            BlocksReleaseEmpty(freeList);
            freeListDeferredReleases = deferredBefore;
        }
    }
    return result;
}

RwInt32 RwFreeListPurge(RwFreeList *freeList)
{
    if (freeList->flags & rwFREELIST_WALKING) {
        return 0;
    }
    return BlocksReleaseEmpty(freeList) * static_cast<RwInt32>(freeList->entrySize);
}

RwInt32 RwFreeListPurgeAllFreeLists(void)
{
    RwInt32 total = 0;
    RwLLLink *term = RwLinkListGetTerminator(&freeListList);
    for (RwLLLink *cur = RwLinkListGetFirstLLLink(&freeListList); cur != term; cur = cur->next) {
        RwInt32 purged = RwFreeListPurge(RwLLLinkGetData(cur, RwFreeList, lFreeList));
        if (purged > 0) {
            total += purged;
        }
    }
    return total;
}

void RwFreeListSetPreallocation(RwBool on) { freeListPreallocate = on ? TRUE : FALSE; }

void *RwFreeListHeapAlloc(RwFreeList *freeList) { return RwMalloc(freeList->entrySize); }

RwFreeList *RwFreeListHeapFree(RwFreeList *freeList, void *entry)
{
    RwFree(entry);
    return freeList;
}

RwInt32 RwFreeListGetNumBlocks(const RwFreeList *freeList)
{
    RwInt32 count = 0;
    const RwLLLink *term = &freeList->blockList.link;
    for (const RwLLLink *cur = term->next; cur != term; cur = cur->next) {
        ++count;
    }
    return count;
}

// ---- module ---------------------------------------------------------------

RwBool RwMemoryOpen(const RwMemoryFunctions *memFuncs)
{
    RwMemoryFunctions *slots = &RwEngineInst->memoryFuncs;
    slots->rwmalloc = (memFuncs && memFuncs->rwmalloc) ? memFuncs->rwmalloc : DefaultMalloc;
    slots->rwfree = (memFuncs && memFuncs->rwfree) ? memFuncs->rwfree : DefaultFree;
    slots->rwrealloc = (memFuncs && memFuncs->rwrealloc) ? memFuncs->rwrealloc : DefaultRealloc;
    slots->rwcalloc = (memFuncs && memFuncs->rwcalloc) ? memFuncs->rwcalloc : RwMemoryZeroedAlloc;

    RwLinkListInitialize(&freeListList);
    memoryModuleOpen = TRUE;
    freeListFreeList = RwFreeListCreateEx(sizeof(RwFreeList), 16, 4, 0, &freeListFreeListRecord);
    if (freeListFreeList == nullptr) {
        memoryModuleOpen = FALSE;
        return FALSE;
    }
    RwLLLinkRemove(&freeListFreeList->lFreeList);
    return TRUE;
}

void RwMemoryClose(void)
{
    if (!memoryModuleOpen) {
        return;
    }
    while (!RwLinkListEmpty(&freeListList)) {
        RwLLLink *cur = RwLinkListGetFirstLLLink(&freeListList);
        RwLLLinkRemove(cur);
        FreeListRelease(RwLLLinkGetData(cur, RwFreeList, lFreeList));
    }
    if (freeListFreeList != nullptr) {
        RwFreeList *records = freeListFreeList;
        freeListFreeList = nullptr;
        FreeListRelease(records);
    }
    RwLinkListInitialize(&freeListList);
    memoryModuleOpen = FALSE;
}
