// Emitter and particle classes: shared by flag set, each bound to the
// property table its flags select, with the callback sets that drive its
// emitters or particles; and their chunks in emitter streams.
#include <cstring>

#include "plugin/prtstd/prtstd.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwstream.h"

namespace {

constexpr RwUInt32 kChunkVersion = 0x35000;

struct FlagProperty {
    RwUInt32 flag;
    RwInt32 id;
    RwInt32 size;
};

// In table order; property 0 always comes first.
constexpr FlagProperty kEmitterProperties[] = {
    {rpPRTSTDEMITTERDATAFLAGSTANDARD, 1, sizeof(RpPrtStdEmitterStandard)},
    {rpPRTSTDEMITTERDATAFLAGPRTCOLOR, 2, sizeof(RpPrtStdEmitterPrtColor)},
    {rpPRTSTDEMITTERDATAFLAGPRTTEXCOORDS, 3, sizeof(RpPrtStdEmitterPrtTexCoords)},
    {rpPRTSTDEMITTERDATAFLAGPTANK, 6, sizeof(RpPrtStdEmitterPTank)},
    {rpPRTSTDEMITTERDATAFLAGPRTMATRIX, 8, sizeof(RpPrtStdEmitterPrtMatrix)},
    {rpPRTSTDEMITTERDATAFLAGPRTSIZE, 5, sizeof(RpPrtStdEmitterPrtSize)},
    {rpPRTSTDEMITTERDATAFLAGPRT2DROTATE, 4, sizeof(RpPrtStdEmitterPrt2DRotate)},
};

constexpr FlagProperty kParticleProperties[] = {
    {rpPRTSTDPARTICLEDATAFLAGVELOCITY, 6, sizeof(RwV3d)},
    {rpPRTSTDPARTICLEDATAFLAGPOSITION, 1, sizeof(RwV3d)},
    {rpPRTSTDPARTICLEDATAFLAGCOLOR, 2, sizeof(RpPrtStdParticleColor)},
    {rpPRTSTDPARTICLEDATAFLAGTEXCOORDS, 3, sizeof(RpPrtStdParticleTexCoords)},
    {rpPRTSTDPARTICLEDATAFLAGMATRIX, 7, sizeof(RwMatrix)},
    {rpPRTSTDPARTICLEDATAFLAGSIZE, 5, sizeof(RpPrtStdParticleSize)},
    {rpPRTSTDPARTICLEDATAFLAG2DROTATE, 4, sizeof(RpPrtStdParticle2DRotate)},
};

template <size_t N>
RpPrtStdPropertyTable *TableFor(RwUInt32 flags, RwInt32 baseSize, const FlagProperty (&properties)[N])
{
    RwInt32 ids[N + 1] = {0};
    RwInt32 sizes[N + 1] = {baseSize};
    RwInt32 count = 1;
    for (const FlagProperty &p : properties) {
        if (flags & p.flag) {
            ids[count] = p.id;
            sizes[count] = p.size;
            ++count;
        }
    }
    return RpPrtStdPropTabCreate(count, ids, sizes);
}

// Both class kinds share their list handling; only the callback type differs.
template <typename Class>
Class *FindByFlags(Class *handle, RwUInt32 flags)
{
    if (handle == nullptr) {
        return nullptr;
    }
    Class *c = handle;
    do {
        if (c->flag == flags) {
            return c;
        }
        c = c->next;
    } while (c != handle);
    return nullptr;
}

template <typename Class>
Class *FindByTable(Class *handle, const RpPrtStdPropertyTable *table)
{
    if (handle == nullptr) {
        return nullptr;
    }
    Class *c = handle;
    do {
        if (c->propTab == table) {
            return c;
        }
        c = c->next;
    } while (c != handle);
    return nullptr;
}

template <typename Class>
void Link(Class *&handle, Class *c)
{
    if (handle == nullptr) {
        c->next = c;
    } else {
        c->next = handle->next;
        handle->next = c;
    }
    handle = c;
}

template <typename Class>
void Unlink(Class *&handle, Class *c)
{
    if (c->next == c) {
        handle = nullptr;
        return;
    }
    Class *before = c;
    while (before->next != c) {
        before = before->next;
    }
    before->next = c->next;
    if (handle == c) {
        handle = before;
    }
}

template <typename Class, typename Callbacks>
Class *NewClass(Class *&handle, RwUInt32 flags, RpPrtStdPropertyTable *table, void (*standard)(Callbacks *))
{
    auto *c = static_cast<Class *>(RwMalloc(sizeof(Class)));
    auto *callbacks = static_cast<Callbacks *>(RwMalloc(sizeof(Callbacks)));
    if (c == nullptr || callbacks == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        RwFree(c);
        RwFree(callbacks);
        return nullptr;
    }
    std::memset(c, 0, sizeof *c);
    std::memset(callbacks, 0, sizeof *callbacks);
    standard(callbacks);
    c->flag = flags;
    c->refCount = 1;
    c->propTab = table;
    c->objSize = table->propOffset[table->numProp];
    c->numCallback = 1;
    c->callback = callbacks;
    Link(handle, c);
    return c;
}

// A class with these flags (when sharing), else a new one over `table`,
// on which it takes a reference of its own.
template <typename Class, typename Callbacks>
Class *ShareOrMake(Class *&handle, RwUInt32 flags, RpPrtStdPropertyTable *table, RwBool share,
                   void (*standard)(Callbacks *))
{
    if (Class *shared = share ? FindByFlags(handle, flags) : nullptr) {
        ++shared->refCount;
        return shared;
    }
    if (table == nullptr) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    ++table->refCount;
    Class *c = NewClass(handle, flags, table, standard);
    if (c == nullptr) {
        RpPrtStdPropTabDestroy(table);
    }
    return c;
}

template <typename Class>
RwBool DestroyClass(Class *&handle, Class *c)
{
    if (c == nullptr) {
        return FALSE;
    }
    if (--c->refCount > 0) {
        return TRUE;
    }
    Unlink(handle, c);
    RwFree(c->callback);
    RpPrtStdPropTabDestroy(c->propTab);
    RwFree(c);
    return TRUE;
}

template <typename Class, typename Callbacks>
Class *SetCallBacks(Class *c, RwInt32 count, const Callbacks *sets)
{
    if (count < 0) {
        return nullptr;
    }
    Callbacks *copy = nullptr;
    if (count > 0) {
        copy = static_cast<Callbacks *>(RwMalloc(sizeof(Callbacks) * static_cast<size_t>(count)));
        if (copy == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        std::memcpy(copy, sets, sizeof(Callbacks) * static_cast<size_t>(count));
    }
    RwFree(c->callback);
    c->callback = copy;
    c->numCallback = count;
    return c;
}

}  // namespace

RpPrtStdEmitterClass *RpPrtStdEmitterClassFind(RwUInt32 flags)
{
    return FindByFlags(RpPrtStdGetGlobals()->emitterClasses, flags);
}

RpPrtStdParticleClass *RpPrtStdParticleClassFind(RwUInt32 flags)
{
    return FindByFlags(RpPrtStdGetGlobals()->particleClasses, flags);
}

RpPrtStdEmitterClass *RpPrtStdEmitterClassFindByTable(const RpPrtStdPropertyTable *table)
{
    return FindByTable(RpPrtStdGetGlobals()->emitterClasses, table);
}

RpPrtStdParticleClass *RpPrtStdParticleClassFindByTable(const RpPrtStdPropertyTable *table)
{
    return FindByTable(RpPrtStdGetGlobals()->particleClasses, table);
}

RpPrtStdEmitterClass *RpPrtStdEmitterClassCreate(RwUInt32 flags)
{
    RpPrtStdEmitterClass *&handle = RpPrtStdGetGlobals()->emitterClasses;
    if (RpPrtStdEmitterClass *shared = FindByFlags(handle, flags)) {
        ++shared->refCount;
        return shared;
    }
    RpPrtStdPropertyTable *table = TableFor(flags, sizeof(RpPrtStdEmitter), kEmitterProperties);
    RpPrtStdEmitterClass *c =
        table != nullptr ? ShareOrMake(handle, flags, table, FALSE, RpPrtStdSetEmitterCallBack) : nullptr;
    RpPrtStdPropTabDestroy(table);  // the class holds its own reference
    return c;
}

RpPrtStdParticleClass *RpPrtStdParticleClassCreate(RwUInt32 flags)
{
    RpPrtStdParticleClass *&handle = RpPrtStdGetGlobals()->particleClasses;
    if (RpPrtStdParticleClass *shared = FindByFlags(handle, flags)) {
        ++shared->refCount;
        return shared;
    }
    RpPrtStdPropertyTable *table = TableFor(flags, sizeof(RpPrtStdParticleStandard), kParticleProperties);
    RpPrtStdParticleClass *c =
        table != nullptr ? ShareOrMake(handle, flags, table, FALSE, RpPrtStdSetParticleCallBack) : nullptr;
    RpPrtStdPropTabDestroy(table);
    return c;
}

RpPrtStdEmitterClass *RpPrtStdEmitterClassCreateWithTable(RwUInt32 flags, RpPrtStdPropertyTable *table,
                                                          RwBool shareByFlags)
{
    return ShareOrMake(RpPrtStdGetGlobals()->emitterClasses, flags, table, shareByFlags, RpPrtStdSetEmitterCallBack);
}

RpPrtStdParticleClass *RpPrtStdParticleClassCreateWithTable(RwUInt32 flags, RpPrtStdPropertyTable *table,
                                                            RwBool shareByFlags)
{
    return ShareOrMake(RpPrtStdGetGlobals()->particleClasses, flags, table, shareByFlags,
                       RpPrtStdSetParticleCallBack);
}

RwBool RpPrtStdEmitterClassDestroy(RpPrtStdEmitterClass *emtClass)
{
    return DestroyClass(RpPrtStdGetGlobals()->emitterClasses, emtClass);
}

RwBool RpPrtStdParticleClassDestroy(RpPrtStdParticleClass *prtClass)
{
    return DestroyClass(RpPrtStdGetGlobals()->particleClasses, prtClass);
}

RpPrtStdEmitterClass *RpPrtStdEmitterClassSetCallBack(RpPrtStdEmitterClass *emtClass, RwInt32 count,
                                                      const RpPrtStdEmitterCallBackArray *callbacks)
{
    return SetCallBacks(emtClass, count, callbacks);
}

RpPrtStdParticleClass *RpPrtStdParticleClassSetCallBack(RpPrtStdParticleClass *prtClass, RwInt32 count,
                                                        const RpPrtStdParticleCallBackArray *callbacks)
{
    return SetCallBacks(prtClass, count, callbacks);
}

RwBool RpPrtStdClassStreamWrite(RwUInt32 flags, const RpPrtStdPropertyTable *table, RwStream *stream)
{
    return RwStreamWriteChunkHeader(stream, rwID_PRTSTDGLOBALDATA, 8, kChunkVersion, rwLIBRARYBUILD) != nullptr &&
           RwStreamWriteUInt32(stream, flags) != nullptr && RwStreamWriteUInt32(stream, table->id) != nullptr;
}

RwBool RpPrtStdClassStreamRead(RwStream *stream, RwUInt32 *flags, RwUInt32 *tableID)
{
    return RwStreamReadUInt32(stream, flags) && RwStreamReadUInt32(stream, tableID);
}
