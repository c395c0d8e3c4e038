// Property tables: the shared layouts of emitter and particle data, their
// list, the cached offsets of the standard properties, and their chunks in
// emitter streams.
#include <cstring>

#include "plugin/prtstd/prtstd.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwstream.h"

namespace {

// Limits that keep a table read from a stream from asking for absurd
// amounts of memory or overflowing the running offsets.
constexpr RwInt32 kMaxProperties = 4096;
constexpr RwInt32 kMaxPropertySize = 1 << 16;
constexpr RwUInt32 kTableVersion = 0x35000;

RwInt32 Round4(RwInt32 size) { return (size + 3) & ~3; }

RwUInt32 TableID(RwInt32 count, RwInt32 idSum)
{
    const auto sum = static_cast<RwUInt32>(idSum);
    const RwUInt32 high = static_cast<RwUInt32>(static_cast<RwInt32>(sum) >> 10);
    return ((static_cast<RwUInt32>(count + 1) * 16u) & 0xFFFFu) | high | (sum << 10);
}

RwBool Equal(const RpPrtStdPropertyTable *table, RwInt32 count, const RwInt32 *ids, const RwInt32 *sizes)
{
    if (table->numProp != count) {
        return FALSE;
    }
    for (RwInt32 i = 0; i < count; ++i) {
        const RwInt32 index = RpPrtStdPropTabGetPropIndex(table, ids[i]);
        if (index < 0 || table->propSize[index] != sizes[i]) {
            return FALSE;
        }
    }
    return TRUE;
}

RpPrtStdPropertyTable *FindEqual(RwInt32 count, const RwInt32 *ids, const RwInt32 *sizes)
{
    RpPrtStdPropertyTable *handle = RpPrtStdGetGlobals()->propTabs;
    if (handle == nullptr) {
        return nullptr;
    }
    RpPrtStdPropertyTable *table = handle;
    do {
        if (Equal(table, count, ids, sizes)) {
            return table;
        }
        table = table->next;
    } while (table != handle);
    return nullptr;
}

void Link(RpPrtStdPropertyTable *table)
{
    RpPrtStdPropertyTable *&handle = RpPrtStdGetGlobals()->propTabs;
    if (handle == nullptr) {
        table->next = table;
    } else {
        table->next = handle->next;
        handle->next = table;
    }
    handle = table;
}

void Unlink(RpPrtStdPropertyTable *table)
{
    RpPrtStdPropertyTable *&handle = RpPrtStdGetGlobals()->propTabs;
    if (table->next == table) {
        handle = nullptr;
        return;
    }
    RpPrtStdPropertyTable *before = table;
    while (before->next != table) {
        before = before->next;
    }
    before->next = table->next;
    if (handle == table) {
        handle = before;
    }
}

RpPrtStdPropertyTable *Allocate(RwInt32 count)
{
    const size_t words = static_cast<size_t>(count + 1);
    const size_t bytes = sizeof(RpPrtStdPropertyTable) + alignof(RpPrtStdPropertyTable) + 4 * words * sizeof(RwInt32);
    void *block = RwMalloc(bytes);
    if (block == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(block, 0, bytes);
    auto *table = reinterpret_cast<RpPrtStdPropertyTable *>(
        RwAlignUp(reinterpret_cast<RwUInt64>(block), alignof(RpPrtStdPropertyTable)));
    auto *arrays = reinterpret_cast<RwInt32 *>(table + 1);
    table->allocation = block;
    table->propID = arrays;
    table->propOffset = arrays + words;
    table->propSize = arrays + 2 * words;
    table->propSizeUA = arrays + 3 * words;
    return table;
}

struct Requirement {
    RwInt32 id;
    RwInt32 size;
    RwInt32 alignment;
};

RwBool TableMeets(const RpPrtStdPropertyTable *table, const Requirement *needs, size_t count, RwInt32 baseSize)
{
    if (table->numProp < 1 || table->propID[0] != 0 || table->propOffset[0] != 0 || table->propSize[0] < baseSize) {
        return FALSE;
    }
    for (size_t i = 0; i < count; ++i) {
        const RwInt32 index = RpPrtStdPropTabGetPropIndex(table, needs[i].id);
        if (index >= 0 &&
            (table->propSize[index] < needs[i].size || table->propOffset[index] % needs[i].alignment != 0)) {
            return FALSE;
        }
    }
    return TRUE;
}

void FillOffsets(const RpPrtStdPropertyTable *table, RwInt32 *offsets)
{
    for (RwInt32 id = 0; id < rpPRTSTDMAXPROPERTYID; ++id) {
        offsets[id] = RpPrtStdPropertyTableGetOffset(table, id);
    }
}

}  // namespace

RpPrtStdPropertyTable *RpPrtStdPropTabCreate(RwInt32 numProp, const RwInt32 *propID, const RwInt32 *propSize)
{
    RpPrtStdGlobals *g = RpPrtStdGetGlobals();
    if (numProp < 0 || numProp > kMaxProperties) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    if (!RpPrtStdGrowScratch(&g->buildScratch, &g->buildScratchBytes,
                             static_cast<RwInt32>(sizeof(RwInt32)) * (numProp > 0 ? numProp : 1))) {
        return nullptr;
    }
    RwInt32 *rounded = g->buildScratch;
    RwUInt32 idSum = 0;
    for (RwInt32 i = 0; i < numProp; ++i) {
        rounded[i] = Round4(propSize[i]);
        idSum += static_cast<RwUInt32>(propID[i]);
    }
    const RwUInt32 id = TableID(numProp, static_cast<RwInt32>(idSum));
    if (RpPrtStdPropertyTable *shared = FindEqual(numProp, propID, propSize)) {
        ++shared->refCount;
        return shared;
    }
    RpPrtStdPropertyTable *table = Allocate(numProp);
    if (table == nullptr) {
        return nullptr;
    }
    RwInt32 offset = 0;
    for (RwInt32 i = 0; i < numProp; ++i) {
        table->propID[i] = propID[i];
        table->propOffset[i] = offset;
        // Read back from the scratch: FindEqual cannot have moved it.
        table->propSize[i] = g->buildScratch[i];
        table->propSizeUA[i] = propSize[i];
        offset += g->buildScratch[i];
    }
    table->propOffset[numProp] = offset;
    table->numProp = numProp;
    table->refCount = 1;
    table->id = id;
    Link(table);
    return table;
}

RwBool RpPrtStdPropTabDestroy(RpPrtStdPropertyTable *propTab)
{
    if (propTab == nullptr) {
        return FALSE;
    }
    if (--propTab->refCount > 0) {
        return TRUE;
    }
    Unlink(propTab);
    RpPrtStdOffsetCache &cache = RpPrtStdGetGlobals()->offsets;
    if (cache.particleKey == propTab) {
        cache.particleKey = nullptr;
    } else if (cache.emitterKey == propTab) {
        cache.emitterKey = nullptr;
    }
    RwFree(propTab->allocation);
    return TRUE;
}

RpPrtStdPropertyTable *RpPrtStdPropTabGet(RwUInt32 id)
{
    RpPrtStdPropertyTable *handle = RpPrtStdGetGlobals()->propTabs;
    if (handle == nullptr) {
        return nullptr;
    }
    RpPrtStdPropertyTable *table = handle;
    do {
        if (table->id == id) {
            return table;
        }
        table = table->next;
    } while (table != handle);
    return nullptr;
}

RwInt32 RpPrtStdPropTabGetPropIndex(const RpPrtStdPropertyTable *propTab, RwInt32 propID)
{
    for (RwInt32 i = 0; i < propTab->numProp; ++i) {
        if (propTab->propID[i] == propID) {
            return i;
        }
    }
    return -1;
}

RwInt32 RpPrtStdPropertyTableGetOffset(const RpPrtStdPropertyTable *propTab, RwInt32 propID)
{
    const RwInt32 index = propTab != nullptr ? RpPrtStdPropTabGetPropIndex(propTab, propID) : -1;
    return index < 0 ? -1 : propTab->propOffset[index];
}

const RwInt32 *RpPrtStdEmitterOffsets(const RpPrtStdPropertyTable *table)
{
    RpPrtStdOffsetCache &cache = RpPrtStdGetGlobals()->offsets;
    if (cache.emitterKey != table) {
        FillOffsets(table, cache.emitter);
        cache.emitterKey = table;
    }
    return cache.emitter;
}

const RwInt32 *RpPrtStdParticleOffsets(const RpPrtStdPropertyTable *table)
{
    RpPrtStdOffsetCache &cache = RpPrtStdGetGlobals()->offsets;
    if (cache.particleKey != table) {
        FillOffsets(table, cache.particle);
        cache.particleKey = table;
    }
    return cache.particle;
}

RwBool RpPrtStdEmitterTableUsable(const RpPrtStdPropertyTable *table)
{
    static constexpr Requirement kNeeds[] = {
        {1, sizeof(RpPrtStdEmitterStandard), alignof(RpPrtStdEmitterStandard)},
        {2, sizeof(RpPrtStdEmitterPrtColor), 4},
        {3, sizeof(RpPrtStdEmitterPrtTexCoords), 4},
        {4, sizeof(RpPrtStdEmitterPrt2DRotate), 4},
        {5, sizeof(RpPrtStdEmitterPrtSize), 4},
        {6, sizeof(RpPrtStdEmitterPTank), alignof(RpPrtStdEmitterPTank)},
        {8, sizeof(RpPrtStdEmitterPrtMatrix), 4},
    };
    return TableMeets(table, kNeeds, sizeof kNeeds / sizeof kNeeds[0], sizeof(RpPrtStdEmitter));
}

RwBool RpPrtStdParticleTableUsable(const RpPrtStdPropertyTable *table)
{
    static constexpr Requirement kNeeds[] = {
        {1, sizeof(RwV3d), 4},
        {2, sizeof(RpPrtStdParticleColor), 4},
        {3, sizeof(RpPrtStdParticleTexCoords), 4},
        {4, sizeof(RpPrtStdParticle2DRotate), 4},
        {5, sizeof(RpPrtStdParticleSize), 4},
        {6, sizeof(RwV3d), 4},
        {7, sizeof(RwMatrix), 4},
    };
    return TableMeets(table, kNeeds, sizeof kNeeds / sizeof kNeeds[0], sizeof(RpPrtStdParticleStandard));
}

RwInt32 RpPrtStdPropTabStreamGetSize(const RpPrtStdPropertyTable *propTab)
{
    return propTab->numProp < 1 ? 8 : 8 + 8 * propTab->numProp;
}

RpPrtStdPropertyTable *RpPrtStdPropTabStreamWrite(RpPrtStdPropertyTable *propTab, RwStream *stream)
{
    const auto length = static_cast<RwUInt32>(RpPrtStdPropTabStreamGetSize(propTab));
    if (RwStreamWriteChunkHeader(stream, rwID_PRTSTDGLOBALDATA, length, kTableVersion, rwLIBRARYBUILD) == nullptr ||
        RwStreamWriteUInt32(stream, propTab->id) == nullptr ||
        RwStreamWriteInt32(stream, propTab->numProp) == nullptr) {
        return nullptr;
    }
    for (RwInt32 i = 0; i < propTab->numProp; ++i) {
        if (RwStreamWriteInt32(stream, propTab->propID[i]) == nullptr) {
            return nullptr;
        }
    }
    for (RwInt32 i = 0; i < propTab->numProp; ++i) {
        if (RwStreamWriteInt32(stream, propTab->propSizeUA[i]) == nullptr) {
            return nullptr;
        }
    }
    return propTab;
}

RpPrtStdPropertyTable *RpPrtStdPropTabStreamRead(RwStream *stream)
{
    RpPrtStdGlobals *g = RpPrtStdGetGlobals();
    RwUInt32 id = 0;
    RwInt32 count = 0;
    if (!RwStreamReadUInt32(stream, &id) || !RwStreamReadInt32(stream, &count)) {
        return nullptr;
    }
    if (count < 0 || count > kMaxProperties || static_cast<RwUInt64>(count) * 8 > RwStreamBytesLeft(stream)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    if (!RpPrtStdGrowScratch(&g->readScratch, &g->readScratchBytes, 8 * (count > 0 ? count : 1))) {
        return nullptr;
    }
    RwInt32 *ids = g->readScratch;
    RwInt32 *sizes = g->readScratch + count;
    for (RwInt32 i = 0; i < 2 * count; ++i) {
        if (!RwStreamReadInt32(stream, &g->readScratch[i])) {
            return nullptr;
        }
    }
    for (RwInt32 i = 0; i < count; ++i) {
        if (ids[i] < 0 || sizes[i] < 1 || sizes[i] > kMaxPropertySize) {
            RwErrorReportCommon(E_RW_READ);
            return nullptr;
        }
    }
    // Property 1 of emitters gained the spin in format version 3. The sizes
    // are corrected before the table is looked up, so that an older stream
    // shares the table of a current one instead of altering a shared table.
    if (g->streamVersion < rpPRTSTDSTREAMVERSION && count > 0 &&
        sizes[0] != static_cast<RwInt32>(sizeof(RpPrtStdParticleStandard))) {
        for (RwInt32 i = 0; i < count; ++i) {
            if (ids[i] == rpPRTSTDPROPERTYCODEEMITTERSTANDARD) {
                sizes[i] = Round4(sizes[i] + 4);
            }
        }
    }
    RpPrtStdPropertyTable *table = RpPrtStdPropTabCreate(count, ids, sizes);
    if (table != nullptr) {
        table->id = id;
    }
    return table;
}
