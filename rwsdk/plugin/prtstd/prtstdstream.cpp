// Emitters in streams: the atomic extension that carries an atomic's
// emitters, and each emitter with its class definitions (property tables
// and classes as chunks) followed by what its class's callbacks write.
#include <cstring>

#include "plugin/prtstd/prtstd.h"
#include "rwerror.h"
#include "rwstream.h"

namespace {

constexpr RwInt32 kEmitterHeadBytes = 20;
constexpr RwInt32 kMaxBatchParticles = 1 << 16;
constexpr RwUInt32 kMaxEmitters = 1u << 16;

RwBool Fail()
{
    RwErrorReportCommon(E_RW_READ);
    return FALSE;
}

// Runs `read` inside the next definition chunk; false when there is none.
template <typename F>
RwBool InDefinitionChunk(RwStream *stream, F &&read)
{
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindChunk(stream, rwID_PRTSTDGLOBALDATA, &length, &version)) {
        return Fail();
    }
    const RwUInt64 saved = RwStreamEnterChunk(stream, length);
    const RwBool ok = read();
    RwStreamLeaveChunk(stream, saved);
    return ok;
}

// A class read by flags may be bound to another table than the one the
// stream brought (two tables can share an id); the emitter then takes the
// class that uses the stream's table, made afresh when none does.
template <typename Class>
Class *Rebind(Class *read, RpPrtStdPropertyTable *table, Class *(*findByTable)(const RpPrtStdPropertyTable *),
              Class *(*make)(RwUInt32, RpPrtStdPropertyTable *, RwBool), RwBool (*destroy)(Class *))
{
    if (read == nullptr || table == nullptr || read->propTab == table) {
        return read;
    }
    Class *bound = findByTable(table);
    if (bound != nullptr) {
        ++bound->refCount;
    } else {
        bound = make(read->flag, table, FALSE);
    }
    destroy(read);
    return bound;
}

struct Definitions {
    RpPrtStdPropertyTable *prtTab = nullptr;
    RpPrtStdPropertyTable *emtTab = nullptr;
    RpPrtStdEmitterClass *emtClass = nullptr;
    RpPrtStdParticleClass *prtClass = nullptr;

    void Release()
    {
        if (emtClass != nullptr) {
            RpPrtStdEmitterClassDestroy(emtClass);
        }
        if (prtClass != nullptr) {
            RpPrtStdParticleClassDestroy(prtClass);
        }
        RpPrtStdPropTabDestroy(emtTab);
        RpPrtStdPropTabDestroy(prtTab);
        *this = {};
    }
};

RwBool ReadDefinitions(RwStream *stream, Definitions *d)
{
    RwUInt32 prtFlags = 0, prtTableID = 0, emtFlags = 0, emtTableID = 0;
    if (!InDefinitionChunk(stream, [&] { return (d->prtTab = RpPrtStdPropTabStreamRead(stream)) != nullptr; }) ||
        !InDefinitionChunk(stream, [&] { return (d->emtTab = RpPrtStdPropTabStreamRead(stream)) != nullptr; }) ||
        !InDefinitionChunk(stream, [&] { return RpPrtStdClassStreamRead(stream, &prtFlags, &prtTableID); }) ||
        !InDefinitionChunk(stream, [&] { return RpPrtStdClassStreamRead(stream, &emtFlags, &emtTableID); })) {
        return FALSE;
    }
    d->prtClass = RpPrtStdParticleClassCreateWithTable(prtFlags, RpPrtStdPropTabGet(prtTableID), TRUE);
    d->emtClass = RpPrtStdEmitterClassCreateWithTable(emtFlags, RpPrtStdPropTabGet(emtTableID), TRUE);
    d->emtClass = Rebind(d->emtClass, d->emtTab, RpPrtStdEmitterClassFindByTable,
                         RpPrtStdEmitterClassCreateWithTable, RpPrtStdEmitterClassDestroy);
    d->prtClass = Rebind(d->prtClass, d->prtTab, RpPrtStdParticleClassFindByTable,
                         RpPrtStdParticleClassCreateWithTable, RpPrtStdParticleClassDestroy);
    // The standard callbacks index the data through these tables: one that
    // would put a property outside its data, or misalign it, is refused.
    if (d->emtClass == nullptr || d->prtClass == nullptr || !RpPrtStdEmitterTableUsable(d->emtClass->propTab) ||
        !RpPrtStdParticleTableUsable(d->prtClass->propTab)) {
        return Fail();
    }
    return TRUE;
}

}  // namespace

RpPrtStdEmitter *RpPrtStdEmitterStreamWrite(RpAtomic *atomic, RpPrtStdEmitter *emitter, RwStream *stream)
{
    RpPrtStdEmitterClass *emtClass = emitter->emtClass;
    RpPrtStdParticleClass *prtClass = emitter->prtClass;
    if (prtClass == nullptr) {
        return nullptr;
    }
    // The read-from-stream flag is this run's bookkeeping (who owns the
    // texture), not part of what the file says about the emitter.
    const RwUInt32 storedFlags = emitter->flag & ~rpPRTSTDEMITTERFLAGSTREAMREAD;
    if (RwStreamWriteUInt32(stream, emtClass->flag) == nullptr || RwStreamWriteUInt32(stream, storedFlags) == nullptr ||
        RwStreamWriteUInt32(stream, prtClass->flag) == nullptr ||
        RwStreamWriteInt32(stream, emitter->prtBatchMaxPrts) == nullptr || RwStreamWriteInt32(stream, 1) == nullptr ||
        RpPrtStdPropTabStreamWrite(prtClass->propTab, stream) == nullptr ||
        RpPrtStdPropTabStreamWrite(emtClass->propTab, stream) == nullptr ||
        !RpPrtStdClassStreamWrite(prtClass->flag, prtClass->propTab, stream) ||
        !RpPrtStdClassStreamWrite(emtClass->flag, emtClass->propTab, stream)) {
        return nullptr;
    }
    for (RwInt32 i = 0; i < emtClass->numCallback; ++i) {
        RpPrtStdEmitterCallBack write = emtClass->callback[i][rpPRTSTDEMITTERCALLBACKSTREAMWRITE];
        if (write != nullptr && write(atomic, emitter, stream) != emitter) {
            return nullptr;
        }
    }
    return emitter;
}

RpPrtStdEmitter *RpPrtStdEmitterStreamGetSize(RpAtomic *atomic, RpPrtStdEmitter *emitter, RwInt32 *size)
{
    RpPrtStdEmitterClass *emtClass = emitter->emtClass;
    RpPrtStdParticleClass *prtClass = emitter->prtClass;
    if (prtClass == nullptr) {
        return nullptr;
    }
    *size += kEmitterHeadBytes + 12 + RpPrtStdPropTabStreamGetSize(prtClass->propTab) + 12 +
             RpPrtStdPropTabStreamGetSize(emtClass->propTab) + 2 * (12 + 8);
    for (RwInt32 i = 0; i < emtClass->numCallback; ++i) {
        RpPrtStdEmitterCallBack measure = emtClass->callback[i][rpPRTSTDEMITTERCALLBACKSTREAMGETSIZE];
        if (measure != nullptr && measure(atomic, emitter, size) != emitter) {
            return nullptr;
        }
    }
    return emitter;
}

RpPrtStdEmitter *RpPrtStdEmitterStreamRead(RpAtomic *atomic, RwStream *stream)
{
    RwUInt32 emtFlags = 0, flags = 0, prtFlags = 0;
    RwInt32 batchSize = 0, withDefinitions = 0;
    if (!RwStreamReadUInt32(stream, &emtFlags) || !RwStreamReadUInt32(stream, &flags) ||
        !RwStreamReadUInt32(stream, &prtFlags) || !RwStreamReadInt32(stream, &batchSize) ||
        !RwStreamReadInt32(stream, &withDefinitions)) {
        return nullptr;
    }
    if (batchSize < 1 || batchSize > kMaxBatchParticles || (withDefinitions != 0 && withDefinitions != 1)) {
        Fail();
        return nullptr;
    }
    Definitions d;
    RpPrtStdEmitterClass *emtClass = nullptr;
    RpPrtStdParticleClass *prtClass = nullptr;
    if (withDefinitions) {
        if (!ReadDefinitions(stream, &d)) {
            d.Release();
            return nullptr;
        }
        emtClass = d.emtClass;
        prtClass = d.prtClass;
    } else {
        emtClass = RpPrtStdEmitterClassFind(emtFlags);
        prtClass = RpPrtStdParticleClassFind(prtFlags);
        if (emtClass == nullptr || prtClass == nullptr) {
            Fail();
            return nullptr;
        }
    }
    RpPrtStdEmitter *emitter = RpPrtStdEmitterCreate(emtClass);
    if (emitter == nullptr) {
        d.Release();
        return nullptr;
    }
    emitter->flag = flags | rpPRTSTDEMITTERFLAGSTREAMREAD;
    RpPrtStdEmitterSetParticleClass(emitter, prtClass, batchSize);
    emitter->atomic = atomic;
    for (RwInt32 i = 0; i < emtClass->numCallback; ++i) {
        RpPrtStdEmitterCallBack read = emtClass->callback[i][rpPRTSTDEMITTERCALLBACKSTREAMREAD];
        if (read != nullptr && read(atomic, emitter, stream) != emitter) {
            RpPrtStdEmitterDestroy(emitter);
            d.Release();
            return nullptr;
        }
    }
    RpPrtStdAtomicAddEmitter(atomic, emitter);
    d.Release();
    return emitter;
}

RwUInt32 RpPrtStdGetStreamVersion(void) { return RpPrtStdGetGlobals()->streamVersion; }

void RpPrtStdSetStreamVersion(RwUInt32 version) { RpPrtStdGetGlobals()->streamVersion = version; }

RwStream *RpPrtStdAtomicStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32, RwInt32)
{
    auto *atomic = static_cast<RpAtomic *>(object);
    RwUInt32 word = 0;
    if (!RwStreamReadUInt32(stream, &word)) {
        return nullptr;
    }
    const RwUInt32 count = word & 0x00FFFFFFu;
    // Every emitter takes at least its head, so the count must fit the data.
    if (count > kMaxEmitters || static_cast<RwInt64>(count) * kEmitterHeadBytes > static_cast<RwInt64>(length) - 4) {
        Fail();
        return nullptr;
    }
    RpPrtStdSetStreamVersion(word >> 24);
    RwBool ok = TRUE;
    for (RwUInt32 i = 0; i < count && ok; ++i) {
        ok = RpPrtStdEmitterStreamRead(atomic, stream) != nullptr;
    }
    RpPrtStdSetStreamVersion(0);
    if (count > 0 && RpPrtStdAtomicGetEmitter(atomic) != nullptr) {
        atomic->renderCallBack = RpPrtStdAtomicRender;
    }
    return ok ? stream : nullptr;
}

RwStream *RpPrtStdAtomicStreamWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    auto *atomic = const_cast<RpAtomic *>(static_cast<const RpAtomic *>(object));
    RpPrtStdEmitter *handle = RpPrtStdAtomicGetEmitter(atomic);
    if (handle == nullptr) {
        return stream;
    }
    RwUInt32 count = 0;
    RpPrtStdEmitter *e = handle;
    do {
        e = e->next;
        ++count;
    } while (e != handle);
    if (RwStreamWriteUInt32(stream, (count & 0x00FFFFFFu) | (rpPRTSTDSTREAMVERSION << 24)) == nullptr) {
        return nullptr;
    }
    do {
        e = e->next;
        if (RpPrtStdEmitterStreamWrite(atomic, e, stream) == nullptr) {
            return nullptr;
        }
    } while (e != handle);
    return stream;
}

RwInt32 RpPrtStdAtomicStreamGetSize(const void *object, RwInt32, RwInt32)
{
    auto *atomic = const_cast<RpAtomic *>(static_cast<const RpAtomic *>(object));
    RpPrtStdEmitter *handle = RpPrtStdAtomicGetEmitter(atomic);
    if (handle == nullptr) {
        return 0;
    }
    RwInt32 size = 4;
    RpPrtStdEmitter *e = handle;
    do {
        e = e->next;
        if (RpPrtStdEmitterStreamGetSize(atomic, e, &size) == nullptr) {
            break;
        }
    } while (e != handle);
    return size;
}
