// Internals shared by the standard-particle files: the plug-in's engine
// block (class and table lists, scratch arrays, stream version, the cached
// property offsets) and the helpers that reach an emitter's properties.
#pragma once

#include "rpprtstd.h"

// Offsets of the standard properties in one table, by property id (-1: absent).
static constexpr RwInt32 rpPRTSTDMAXPROPERTYID = 9;

struct RpPrtStdOffsetCache {
    const RpPrtStdPropertyTable *emitterKey;
    const RpPrtStdPropertyTable *particleKey;
    RwInt32 emitter[rpPRTSTDMAXPROPERTYID];
    RwInt32 particle[rpPRTSTDMAXPROPERTYID];
};

struct RpPrtStdGlobals {
    RpPrtStdEmitterClass *emitterClasses;    // handle: the newest
    RpPrtStdParticleClass *particleClasses;  // handle: the newest
    RpPrtStdPropertyTable *propTabs;         // handle: the newest
    RwInt32 *buildScratch;  // rounded sizes while a table is built
    RwInt32 buildScratchBytes;
    RwInt32 *readScratch;  // ids and sizes while a table is read
    RwInt32 readScratchBytes;
    RwUInt32 streamVersion;
    RwBool writeDefinitions;
    RpPrtStdOffsetCache offsets;
};

RpPrtStdGlobals *RpPrtStdGetGlobals(void);
// Grows a scratch array to at least `bytes`; false without memory.
RwBool RpPrtStdGrowScratch(RwInt32 **scratch, RwInt32 *capacity, RwInt32 bytes);

// The offsets of the standard properties in a class's table (cached).
const RwInt32 *RpPrtStdEmitterOffsets(const RpPrtStdPropertyTable *table);
const RwInt32 *RpPrtStdParticleOffsets(const RpPrtStdPropertyTable *table);

// The handle of an atomic's emitter list (its extension).
RpPrtStdEmitter *&RpPrtStdAtomicEmitters(RpAtomic *atomic);
RwBool RpPrtStdAtomicIsParticleSystem(const RpAtomic *atomic);

template <typename T>
inline T *RpPrtStdEmitterProperty(RpPrtStdEmitter *emitter, RwInt32 propID)
{
    const RwInt32 offset = RpPrtStdEmitterOffsets(emitter->emtClass->propTab)[propID];
    return offset < 0 ? nullptr : reinterpret_cast<T *>(reinterpret_cast<RwUInt8 *>(emitter) + offset);
}

// Classes made by stream reads, bound to a given table, with the standard callbacks.
// `shareByFlags` false makes a second class for flags that already have one
// (a stream may bring another table for them).
RpPrtStdEmitterClass *RpPrtStdEmitterClassCreateWithTable(RwUInt32 flags, RpPrtStdPropertyTable *table,
                                                          RwBool shareByFlags);
RpPrtStdParticleClass *RpPrtStdParticleClassCreateWithTable(RwUInt32 flags, RpPrtStdPropertyTable *table,
                                                            RwBool shareByFlags);
RpPrtStdEmitterClass *RpPrtStdEmitterClassFind(RwUInt32 flags);
RpPrtStdParticleClass *RpPrtStdParticleClassFind(RwUInt32 flags);
RpPrtStdEmitterClass *RpPrtStdEmitterClassFindByTable(const RpPrtStdPropertyTable *table);
RpPrtStdParticleClass *RpPrtStdParticleClassFindByTable(const RpPrtStdPropertyTable *table);
// Whether the standard callbacks can work on data laid out by the table:
// property 0 first, every standard property present large enough and aligned.
RwBool RpPrtStdEmitterTableUsable(const RpPrtStdPropertyTable *table);
RwBool RpPrtStdParticleTableUsable(const RpPrtStdPropertyTable *table);

// Class chunks in streams.
RwBool RpPrtStdClassStreamWrite(RwUInt32 flags, const RpPrtStdPropertyTable *table, RwStream *stream);
RwBool RpPrtStdClassStreamRead(RwStream *stream, RwUInt32 *flags, RwUInt32 *tableID);

// Atomic extension streaming.
RwStream *RpPrtStdAtomicStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32 size);
RwStream *RpPrtStdAtomicStreamWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset,
                                    RwInt32 size);
RwInt32 RpPrtStdAtomicStreamGetSize(const void *object, RwInt32 offset, RwInt32 size);
void RpPrtStdSetStreamVersion(RwUInt32 version);
