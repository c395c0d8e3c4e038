// The standard-particle plug-in: its engine block, the atomic extension
// that holds an atomic's emitters (destroyed and cloned with the atomic),
// particle-system atomics and their emitter lists.
#include <cstring>

#include "plugin/prtstd/prtstd.h"
#include "rpworld.h"
#include "rwerror.h"
#include "rwmemory.h"

namespace {

RwInt32 engineOffset = -1;
RwInt32 atomicOffset = -1;

constexpr RwInt32 kInitialScratchBytes = 128;

RpPrtStdEmitter *&EmittersOf(void *atomic, RwInt32 offset)
{
    return *reinterpret_cast<RpPrtStdEmitter **>(static_cast<RwUInt8 *>(atomic) + offset);
}

void *EngineOpen(void *instance, RwInt32 offset, RwInt32)
{
    engineOffset = offset;
    RpPrtStdGlobals *g = RpPrtStdGetGlobals();
    std::memset(g, 0, sizeof *g);
    g->writeDefinitions = TRUE;
    for (RwInt32 &o : g->offsets.emitter) {
        o = -1;
    }
    for (RwInt32 &o : g->offsets.particle) {
        o = -1;
    }
    if (!RpPrtStdGrowScratch(&g->buildScratch, &g->buildScratchBytes, kInitialScratchBytes) ||
        !RpPrtStdGrowScratch(&g->readScratch, &g->readScratchBytes, kInitialScratchBytes)) {
        RwFree(g->buildScratch);
        return nullptr;
    }
    return instance;
}

template <typename Class>
void FreeClassList(Class *&handle)
{
    while (handle != nullptr) {
        Class *c = handle->next;
        if (c == handle) {
            handle = nullptr;
        } else {
            handle->next = c->next;
        }
        RwFree(c->callback);
        RwFree(c);
    }
}

// Classes and tables still held at stop belong to nobody any more (the
// atomics that used them are gone); they are freed outright.
void *EngineClose(void *instance, RwInt32, RwInt32)
{
    RpPrtStdGlobals *g = RpPrtStdGetGlobals();
    FreeClassList(g->particleClasses);
    FreeClassList(g->emitterClasses);
    while (g->propTabs != nullptr) {
        RpPrtStdPropertyTable *t = g->propTabs->next;
        if (t == g->propTabs) {
            g->propTabs = nullptr;
        } else {
            g->propTabs->next = t->next;
        }
        RwFree(t->allocation);
    }
    RwFree(g->buildScratch);
    RwFree(g->readScratch);
    g->buildScratch = nullptr;
    g->readScratch = nullptr;
    return instance;
}

void *AtomicConstruct(void *atomic, RwInt32 offset, RwInt32)
{
    EmittersOf(atomic, offset) = nullptr;
    return atomic;
}

void *AtomicDestruct(void *atomic, RwInt32 offset, RwInt32)
{
    RpPrtStdEmitter *&handle = EmittersOf(atomic, offset);
    while (handle != nullptr) {
        RpPrtStdEmitter *first = handle->next;
        if (first == handle) {
            handle = nullptr;
        } else {
            handle->next = first->next;
        }
        first->next = nullptr;
        RpPrtStdEmitterDestroy(first);
    }
    return atomic;
}

RpPrtStdEmitter *CloneEmitter(RpAtomic *sourceAtomic, RpPrtStdEmitter *source)
{
    RpPrtStdEmitter *copy = RpPrtStdEmitterCreate(source->emtClass);
    if (copy == nullptr) {
        return nullptr;
    }
    copy->flag = source->flag;
    if (source->prtClass != nullptr) {
        RpPrtStdEmitterSetParticleClass(copy, source->prtClass, source->prtBatchMaxPrts);
    }
    const RpPrtStdEmitterClass *c = source->emtClass;
    for (RwInt32 i = 0; i < c->numCallback; ++i) {
        RpPrtStdEmitterCallBack clone = c->callback[i][rpPRTSTDEMITTERCALLBACKCLONE];
        if (clone != nullptr && clone(sourceAtomic, source, copy) != source) {
            RpPrtStdEmitterDestroy(copy);
            return nullptr;
        }
    }
    return copy;
}

// A clone gets its own emitters, each making its own tank on first update.
void *AtomicCopy(void *dstAtomic, const void *srcAtomic, RwInt32 offset, RwInt32)
{
    auto *source = const_cast<RpAtomic *>(static_cast<const RpAtomic *>(srcAtomic));
    RpPrtStdEmitter *handle = EmittersOf(source, offset);
    if (handle == nullptr || EmittersOf(dstAtomic, offset) != nullptr) {
        return dstAtomic;
    }
    RpPrtStdEmitter *e = handle;
    do {
        e = e->next;
        RpPrtStdEmitter *copy = CloneEmitter(source, e);
        if (copy == nullptr) {
            break;
        }
        RpPrtStdAtomicAddEmitter(static_cast<RpAtomic *>(dstAtomic), copy);
    } while (e != handle);
    return dstAtomic;
}

}  // namespace

RpPrtStdGlobals *RpPrtStdGetGlobals(void)
{
    return static_cast<RpPrtStdGlobals *>(RwEngineGetModuleBlock(engineOffset));
}

RwBool RpPrtStdGrowScratch(RwInt32 **scratch, RwInt32 *capacity, RwInt32 bytes)
{
    if (*scratch != nullptr && *capacity >= bytes) {
        return TRUE;
    }
    void *grown = RwRealloc(*scratch, static_cast<size_t>(bytes));
    if (grown == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    *scratch = static_cast<RwInt32 *>(grown);
    *capacity = bytes;
    return TRUE;
}

RpPrtStdEmitter *&RpPrtStdAtomicEmitters(RpAtomic *atomic) { return EmittersOf(atomic, atomicOffset); }

RwBool RpPrtStdPluginAttach(void)
{
    engineOffset = RwEngineRegisterPlugin(static_cast<RwInt32>(sizeof(RpPrtStdGlobals)), rwID_PRTSTDPLUGIN,
                                          EngineOpen, EngineClose);
    if (engineOffset < 0) {
        return FALSE;
    }
    atomicOffset = RpAtomicRegisterPlugin(static_cast<RwInt32>(sizeof(RpPrtStdEmitter *)), rwID_PRTSTDPLUGIN,
                                          AtomicConstruct, AtomicDestruct, AtomicCopy);
    return atomicOffset >= 0 &&
           RpAtomicRegisterPluginStream(rwID_PRTSTDPLUGIN, RpPrtStdAtomicStreamRead, RpPrtStdAtomicStreamWrite,
                                        RpPrtStdAtomicStreamGetSize) >= 0;
}

RpAtomic *RpPrtStdAtomicCreate(RpPrtStdEmitterClass *emtClass, void *)
{
    if (emtClass == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    RpPrtStdEmitter *emitter = RpPrtStdEmitterCreate(emtClass);
    if (emitter == nullptr) {
        return nullptr;
    }
    RpGeometry *geometry = RpGeometryCreateSpace(0.0f);
    RpAtomic *atomic = geometry != nullptr ? RpAtomicCreate() : nullptr;
    if (atomic == nullptr) {
        if (geometry != nullptr) {
            RpGeometryDestroy(geometry);
        }
        RpPrtStdEmitterDestroy(emitter);
        return nullptr;
    }
    RpPrtStdAtomicAddEmitter(atomic, emitter);
    atomic->renderCallBack = RpPrtStdAtomicRender;
    RpAtomicSetGeometry(atomic, geometry, 0);
    RpGeometryDestroy(geometry);
    return atomic;
}

RpPrtStdEmitter *RpPrtStdAtomicGetEmitter(const RpAtomic *atomic)
{
    return EmittersOf(const_cast<RpAtomic *>(atomic), atomicOffset);
}

RpPrtStdEmitter *RpPrtStdEmitterAddEmitter(RpPrtStdEmitter *list, RpPrtStdEmitter *emitter)
{
    if (list == nullptr) {
        emitter->next = emitter;
    } else {
        emitter->next = list->next;
        list->next = emitter;
    }
    return emitter;
}

RpAtomic *RpPrtStdAtomicAddEmitter(RpAtomic *atomic, RpPrtStdEmitter *emitter)
{
    RpPrtStdEmitter *&handle = EmittersOf(atomic, atomicOffset);
    handle = RpPrtStdEmitterAddEmitter(handle, emitter);
    emitter->atomic = atomic;
    return atomic;
}
