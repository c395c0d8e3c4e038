// The resource arena module: instanced data held as RwResEntry records in
// one arena, kept in a current-frame and a previous-frames list so the
// entries not drawn for longest are evicted first when the arena is full.
#include "rwengine.h"
#include "rwresources.h"
#include "src/bacoremodules.h"

struct RwResourcesGlobals {
    RwUInt32 maxSize;       // arena size from the instance
    RwUInt32 currentSize;   // data bytes of linked entries
    RwUInt32 reusageSize;   // bytes evicted from this frame's list
    void *memHeap;          // arena, null when the size is 0
    RwLinkList entriesA;
    RwLinkList entriesB;
    RwLinkList *freeEntries;  // previous frames
    RwLinkList *usedEntries;  // current frame
};

const RwInt32 rwResourcesModuleBlockSize = static_cast<RwInt32>(sizeof(RwResourcesGlobals));
RwInt32 rwResourcesModuleOffset = -1;
static RwInt32 resourcesModuleOpenCount = 0;

static RwResourcesGlobals *Globals(void)
{
    if (resourcesModuleOpenCount == 0) {
        return nullptr;
    }
    return static_cast<RwResourcesGlobals *>(RwEngineGetModuleBlock(rwResourcesModuleOffset));
}

void *RwResourcesModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    rwResourcesModuleOffset = offset;
    auto *g = reinterpret_cast<RwResourcesGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    g->maxSize = static_cast<RwEngineInstance *>(instance)->resArenaInitSize;
    g->memHeap = nullptr;
    if (g->maxSize > 0) {
        g->memHeap = RwMalloc(g->maxSize);
        if (g->memHeap == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        if (!RwResHeapInit(g->memHeap, g->maxSize)) {
            RwFree(g->memHeap);
            g->memHeap = nullptr;
            RwErrorReport(rwID_CORE, E_RW_RESOURCESFULL);
            return nullptr;
        }
    }
    RwLinkListInitialize(&g->entriesA);
    RwLinkListInitialize(&g->entriesB);
    g->usedEntries = &g->entriesA;
    g->freeEntries = &g->entriesB;
    g->currentSize = 0;
    g->reusageSize = 0;
    ++resourcesModuleOpenCount;
    return instance;
}

void *RwResourcesModuleClose(void *instance, RwInt32 offset, RwInt32 size)
{
    (void)size;
    RwResourcesEmptyArena();
    auto *g = reinterpret_cast<RwResourcesGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    if (g->memHeap != nullptr) {
        RwFree(g->memHeap);
        g->memHeap = nullptr;
    }
    if (resourcesModuleOpenCount > 0) {
        --resourcesModuleOpenCount;
    }
    return instance;
}

static RwResEntry *EntryOf(RwLLLink *link) { return RwLLLinkGetData(link, RwResEntry, link); }

// Lets go of an entry: its owner's destroy callback, its owner's slot, and
// its memory (arena when linked, heap otherwise).
static void EntryRelease(RwResourcesGlobals *g, RwResEntry *entry)
{
    if (entry->destroyNotify != nullptr) {
        entry->destroyNotify(entry);
    }
    if (entry->ownerRef != nullptr) {
        *entry->ownerRef = nullptr;
    }
    if (!RwLLLinkAttached(&entry->link) || g == nullptr) {
        RwFree(entry);
        return;
    }
    RwLLLinkRemove(&entry->link);
    g->currentSize -= static_cast<RwUInt32>(entry->size);
    RwResHeapFree(entry);
}

RwResEntry *RwResourcesAllocateEntry(void *owner, RwResEntry **ownerRef, RwInt32 size,
                                     RwResEntryDestroyNotify destroyNotify)
{
    if (size < 0) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    RwResourcesGlobals *g = Globals();
    const size_t total = sizeof(RwResEntry) + static_cast<size_t>(size);
    RwResEntry *entry = nullptr;

    if (g == nullptr || g->memHeap == nullptr) {
        // Without an arena the data lives on the heap, unlinked; freeing
        // and eviction already know how to handle such entries.
        entry = static_cast<RwResEntry *>(RwMalloc(total));
        if (entry == nullptr) {
            if (ownerRef != nullptr) {
                *ownerRef = nullptr;
            }
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        RwLLLinkInitialize(&entry->link);
    } else {
        for (;;) {
            entry = static_cast<RwResEntry *>(RwResHeapAlloc(g->memHeap, total));
            if (entry != nullptr) {
                break;
            }
            RwLinkList *from = g->freeEntries;
            if (RwLinkListEmpty(from)) {
                from = g->usedEntries;
                if (RwLinkListEmpty(from)) {
                    if (ownerRef != nullptr) {
                        *ownerRef = nullptr;
                    }
                    RwErrorReport(rwID_CORE, E_RW_RESOURCESFULL);
                    return nullptr;
                }
            }
            RwResEntry *victim = EntryOf(RwLinkListGetLastLLLink(from));
            if (from == g->usedEntries) {
                g->reusageSize += static_cast<RwUInt32>(victim->size);
            }
            EntryRelease(g, victim);
        }
        RwLinkListAddLLLink(g->usedEntries, &entry->link);
        g->currentSize += static_cast<RwUInt32>(size);
    }
    entry->owner = owner;
    entry->size = size;
    entry->ownerRef = ownerRef;
    entry->destroyNotify = destroyNotify;
    if (ownerRef != nullptr) {
        *ownerRef = entry;
    }
    return entry;
}

RwBool RwResourcesFreeEntry(RwResEntry *entry)
{
    EntryRelease(Globals(), entry);
    return TRUE;
}

void RwResourcesUseEntry(RwResEntry *entry)
{
    RwResourcesGlobals *g = Globals();
    if (g == nullptr || !RwLLLinkAttached(&entry->link)) {
        return;
    }
    RwLLLinkRemove(&entry->link);
    RwLinkListAddLLLink(g->usedEntries, &entry->link);
}

RwBool RwResourcesNextFrame(void)
{
    RwResourcesGlobals *g = Globals();
    if (g == nullptr) {
        return TRUE;
    }
    RwLinkList *current = g->usedEntries;
    RwLinkList *previous = g->freeEntries;
    if (!RwLinkListEmpty(previous)) {
        RwLLLink *first = previous->link.next;
        RwLLLink *last = previous->link.prev;
        first->prev = current->link.prev;
        current->link.prev->next = first;
        last->next = &current->link;
        current->link.prev = last;
        RwLinkListInitialize(previous);
    }
    g->freeEntries = current;
    g->usedEntries = previous;
    g->reusageSize = 0;
    return TRUE;
}

RwBool RwResourcesEmptyArena(void)
{
    RwResourcesGlobals *g = Globals();
    if (g == nullptr) {
        return TRUE;
    }
    RwLinkList *lists[2] = {&g->entriesA, &g->entriesB};
    for (RwLinkList *list : lists) {
        while (!RwLinkListEmpty(list)) {
            EntryRelease(g, EntryOf(RwLinkListGetFirstLLLink(list)));
        }
    }
    g->reusageSize = 0;
    return TRUE;
}

RwUInt32 RwResourcesGetArenaUsage(void)
{
    RwResourcesGlobals *g = Globals();
    return g != nullptr ? g->currentSize : 0;
}
