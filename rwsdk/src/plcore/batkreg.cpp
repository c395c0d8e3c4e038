// Plug-in registries: registration of extensions on an object type, and
// running their constructors, destructors and copies on every object.
#include "rwengine.h"
#include "rwplugin.h"
#include "src/plcore/batkreg.h"

// Extension blocks hold pointers on this build, so each starts 8-aligned.
static constexpr RwInt32 rwPLUGINALIGN = 8;

static RwFreeList pluginEntryFreeListRecord;
static RwFreeList *pluginEntryFreeList = nullptr;
static RwBool pluginRegistryOpen = FALSE;
// Every registry that received entries, so the close can reset them.
static RwPluginRegistry **registries = nullptr;
static RwInt32 numRegistries = 0;
static RwInt32 maxRegistries = 0;

static void *DefaultConstructor(void *object, RwInt32, RwInt32) { return object; }
static void *DefaultDestructor(void *object, RwInt32, RwInt32) { return object; }
static void *DefaultCopy(void *dst, const void *, RwInt32, RwInt32) { return dst; }

static RwInt32 AlignPlugin(RwInt64 value)
{
    return static_cast<RwInt32>((value + rwPLUGINALIGN - 1) & ~static_cast<RwInt64>(rwPLUGINALIGN - 1));
}

RwBool RwPluginRegistryOpen(void)
{
    pluginEntryFreeList = RwFreeListCreateEx(sizeof(RwPluginEntry), 64, 4, 1, &pluginEntryFreeListRecord);
    if (pluginEntryFreeList == nullptr) {
        return FALSE;
    }
    registries = nullptr;
    numRegistries = 0;
    maxRegistries = 0;
    pluginRegistryOpen = TRUE;
    return TRUE;
}

RwBool RwPluginRegistryClose(void)
{
    if (!pluginRegistryOpen) {
        return TRUE;
    }
    for (RwInt32 i = 0; i < numRegistries; ++i) {
        RwPluginRegistry *reg = registries[i];
        RwPluginEntry *entry = reg->firstRegEntry;
        while (entry != nullptr) {
            RwPluginEntry *next = entry->nextRegEntry;
            RwFreeListEntryFree(pluginEntryFreeList, entry);
            entry = next;
        }
        reg->firstRegEntry = nullptr;
        reg->lastRegEntry = nullptr;
        reg->sizeOfStruct = reg->origSizeOfStruct;
    }
    if (registries != nullptr) {
        RwFree(registries);
    }
    registries = nullptr;
    numRegistries = 0;
    maxRegistries = 0;
    RwFreeListDestroy(pluginEntryFreeList);
    pluginEntryFreeList = nullptr;
    pluginRegistryOpen = FALSE;
    return TRUE;
}

static RwBool RememberRegistry(RwPluginRegistry *reg)
{
    for (RwInt32 i = 0; i < numRegistries; ++i) {
        if (registries[i] == reg) {
            return TRUE;
        }
    }
    if (numRegistries == maxRegistries) {
        RwInt32 newMax = maxRegistries + 8;
        void *grown = RwRealloc(registries, sizeof(RwPluginRegistry *) * static_cast<size_t>(newMax));
        if (grown == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return FALSE;
        }
        registries = static_cast<RwPluginRegistry **>(grown);
        maxRegistries = newMax;
    }
    registries[numRegistries++] = reg;
    return TRUE;
}

RwPluginEntry *RwPluginRegistryFindEntry(const RwPluginRegistry *reg, RwUInt32 pluginID)
{
    for (RwPluginEntry *entry = reg->firstRegEntry; entry != nullptr; entry = entry->nextRegEntry) {
        if (entry->pluginID == pluginID) {
            return entry;
        }
    }
    return nullptr;
}

RwInt32 RwPluginRegistryAddPlugin(RwPluginRegistry *reg, RwInt32 size, RwUInt32 pluginID,
                                  RwPluginObjectConstructor constructCB,
                                  RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    if (!pluginRegistryOpen) {
        return -1;
    }
    if (RwEngineGetOpenCount() != 0) {
        RwErrorReportCommon(E_RW_PLUGININIT);
        return -1;
    }
    if (reg == nullptr || size < 0) {
        RwErrorReportCommon(E_RW_NULLP);
        return -1;
    }
    if (RwPluginEntry *existing = RwPluginRegistryFindEntry(reg, pluginID)) {
        RwErrorReportCommon(E_RW_PLUGININIT);
        return existing->offset;
    }
    RwInt64 offset = AlignPlugin(reg->sizeOfStruct);
    RwInt64 newSize = offset + AlignPlugin(size);
    if (newSize > 0x7FFFFFFF || (reg->maxSizeOfStruct != 0 && newSize > reg->maxSizeOfStruct)) {
        return -1;
    }
    if (!RememberRegistry(reg)) {
        return -1;
    }
    auto *entry = static_cast<RwPluginEntry *>(RwFreeListEntryAlloc(pluginEntryFreeList));
    if (entry == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return -1;
    }
    entry->offset = static_cast<RwInt32>(offset);
    entry->size = size;
    entry->pluginID = pluginID;
    entry->readStream = nullptr;
    entry->writeStream = nullptr;
    entry->getSizeStream = nullptr;
    entry->alwaysCB = nullptr;
    entry->rightsCB = nullptr;
    entry->constructCB = constructCB ? constructCB : DefaultConstructor;
    entry->destructCB = destructCB ? destructCB : DefaultDestructor;
    entry->copyCB = copyCB ? copyCB : DefaultCopy;
    entry->reserved = nullptr;
    entry->nextRegEntry = nullptr;
    entry->prevRegEntry = reg->lastRegEntry;
    entry->parentRegistry = reg;
    if (reg->lastRegEntry != nullptr) {
        reg->lastRegEntry->nextRegEntry = entry;
    } else {
        reg->firstRegEntry = entry;
    }
    reg->lastRegEntry = entry;
    reg->sizeOfStruct = static_cast<RwInt32>(newSize);
    return entry->offset;
}

static RwInt32 OffsetOf(const RwPluginEntry *entry) { return entry != nullptr ? entry->offset : -1; }

RwInt32 RwPluginRegistryGetPluginOffset(const RwPluginRegistry *reg, RwUInt32 pluginID)
{
    return OffsetOf(RwPluginRegistryFindEntry(reg, pluginID));
}

RwInt32 RwPluginRegistryAddPluginStream(RwPluginRegistry *reg, RwUInt32 pluginID,
                                        RwPluginDataChunkReadCallBack readCB,
                                        RwPluginDataChunkWriteCallBack writeCB,
                                        RwPluginDataChunkGetSizeCallBack getSizeCB)
{
    RwPluginEntry *entry = RwPluginRegistryFindEntry(reg, pluginID);
    if (entry != nullptr) {
        entry->readStream = readCB;
        entry->writeStream = writeCB;
        entry->getSizeStream = getSizeCB;
    }
    return OffsetOf(entry);
}

RwInt32 RwPluginRegistryAddStreamAlways(RwPluginRegistry *reg, RwUInt32 pluginID,
                                        RwPluginDataChunkAlwaysCallBack alwaysCB)
{
    RwPluginEntry *entry = RwPluginRegistryFindEntry(reg, pluginID);
    if (entry != nullptr) entry->alwaysCB = alwaysCB;
    return OffsetOf(entry);
}

RwInt32 RwPluginRegistryAddRightsCallback(RwPluginRegistry *reg, RwUInt32 pluginID,
                                          RwPluginDataChunkRightsCallBack rightsCB)
{
    RwPluginEntry *entry = RwPluginRegistryFindEntry(reg, pluginID);
    if (entry != nullptr) entry->rightsCB = rightsCB;
    return OffsetOf(entry);
}

const RwPluginRegistry *RwPluginRegistryInitObject(const RwPluginRegistry *reg, void *object)
{
    for (RwPluginEntry *entry = reg->firstRegEntry; entry != nullptr; entry = entry->nextRegEntry) {
        if (entry->constructCB(object, entry->offset, entry->size) == nullptr) {
            // Undo the extensions already constructed, nearest first.
            for (RwPluginEntry *undo = entry->prevRegEntry; undo != nullptr; undo = undo->prevRegEntry) {
                undo->destructCB(object, undo->offset, undo->size);
            }
            return nullptr;
        }
    }
    return reg;
}

const RwPluginRegistry *RwPluginRegistryDeInitObject(const RwPluginRegistry *reg, void *object)
{
    for (RwPluginEntry *entry = reg->lastRegEntry; entry != nullptr; entry = entry->prevRegEntry) {
        entry->destructCB(object, entry->offset, entry->size);
    }
    return reg;
}

const RwPluginRegistry *RwPluginRegistryCopyObject(const RwPluginRegistry *reg, void *dstObject,
                                                   const void *srcObject)
{
    for (RwPluginEntry *entry = reg->firstRegEntry; entry != nullptr; entry = entry->nextRegEntry) {
        entry->copyCB(dstObject, srcObject, entry->offset, entry->size);
    }
    return reg;
}

const RwPluginRegistry *RwPluginRegistryInvokeRights(const RwPluginRegistry *reg, RwUInt32 id, void *obj,
                                                     RwUInt32 extraData)
{
    const RwPluginEntry *entry = RwPluginRegistryFindEntry(reg, id);
    if (entry == nullptr || entry->rightsCB == nullptr) {
        return nullptr;
    }
    return entry->rightsCB(obj, entry->offset, entry->size, extraData) > 0 ? reg : nullptr;
}
