// Updating and rendering particle-system atomics: each emitter in the order
// it was added runs its class's callbacks around the particle update, with
// its tank locked for writing while the particles are written into it.
#include <algorithm>

#include "plugin/prtstd/prtstd.h"
#include "rpworld.h"

namespace {

template <typename F>
RwBool ForEmitterSets(RpPrtStdEmitter *emitter, RwInt32 slot, F &&call)
{
    const RpPrtStdEmitterClass *c = emitter->emtClass;
    for (RwInt32 i = 0; i < c->numCallback; ++i) {
        RpPrtStdEmitterCallBack cb = c->callback[i][slot];
        if (cb != nullptr && call(cb) != emitter) {
            return FALSE;
        }
    }
    return TRUE;
}

template <typename F>
RwBool ForParticleSets(RpPrtStdEmitter *emitter, RpPrtStdParticleBatch *batch, RwInt32 slot, F &&call)
{
    const RpPrtStdParticleClass *c = emitter->prtClass;
    for (RwInt32 i = 0; c != nullptr && i < c->numCallback; ++i) {
        RpPrtStdParticleCallBack cb = c->callback[i][slot];
        if (cb != nullptr && call(cb) != batch) {
            return FALSE;
        }
    }
    return TRUE;
}

// Locks every tank attribute the particle update writes; the binding's
// data flags then name exactly what was locked.
void LockTank(RpPrtStdEmitterPTank *binding)
{
    const RpPTankFormatDescriptor *format = RpPTankAtomicGetDataFormat(binding->pTank);
    RwUInt32 locked = 0;
    for (RwInt32 c = 0; c < rpPTANKNUMCLUSTERS; ++c) {
        const RwUInt32 flag = RpPTankFlagOfCluster(c);
        RpPTankLockStruct lock = {nullptr, 0};
        if ((format->dataFlags & flag) && (binding->updateFlags & flag) &&
            RpPTankAtomicLock(binding->pTank, &lock, flag, rpPTANKLFLAGWRITE)) {
            locked |= flag;
        }
        binding->dataInPtrs[c] = lock.data;
        binding->dataOutPtrs[c] = lock.data;
        binding->dataStride[c] = lock.stride;
    }
    binding->dataFlags = (format->dataFlags & ~rpPTANKDFLAGALLATTRIBUTES) | locked;
    binding->numPrt = 0;
}

void AdvanceTank(RpPrtStdEmitterPTank *binding, RwInt32 written)
{
    for (RwInt32 c = 0; c < rpPTANKNUMCLUSTERS; ++c) {
        if (binding->dataOutPtrs[c] != nullptr) {
            binding->dataOutPtrs[c] += static_cast<ptrdiff_t>(written) * binding->dataStride[c];
        }
    }
    binding->numPrt += written;
}

RwBool UpdateParticles(RpPrtStdEmitter *emitter, RpPrtStdEmitterPTank *binding, RwReal *dt)
{
    emitter->prtActive = 0;
    RpPrtStdParticleBatch **link = &emitter->activeBatch;
    while (*link != nullptr) {
        RpPrtStdParticleBatch *batch = *link;
        batch->newPrt = -1;
        if (batch->numPrt < 1) {
            if (!ForParticleSets(emitter, batch, rpPRTSTDPARTICLECALLBACKDESTROY,
                                 [&](RpPrtStdParticleCallBack cb) { return cb(emitter, batch, nullptr); })) {
                return FALSE;
            }
            *link = batch->next;
            batch->next = emitter->inactiveBatch;
            emitter->inactiveBatch = batch;
            continue;
        }
        if (binding != nullptr && binding->pTank != nullptr) {
            batch->newPrt = binding->numPrt;
        }
        if (!ForParticleSets(emitter, batch, rpPRTSTDPARTICLECALLBACKUPDATE,
                             [&](RpPrtStdParticleCallBack cb) { return cb(emitter, batch, dt); })) {
            return FALSE;
        }
        emitter->prtActive += batch->numPrt;
        if (binding != nullptr && binding->pTank != nullptr) {
            // Only what fits the bound tank was written.
            AdvanceTank(binding, std::min(batch->numPrt, binding->maxPrt - binding->numPrt));
        }
        link = &batch->next;
    }
    return TRUE;
}

RwBool UpdateEmitter(RpAtomic *atomic, RpPrtStdEmitter *emitter, RwReal dt)
{
    emitter->boundingSphere = 0.0f;
    if (!(emitter->flag & rpPRTSTDEMITTERFLAGACTIVE)) {
        return TRUE;
    }
    auto *binding = RpPrtStdEmitterProperty<RpPrtStdEmitterPTank>(emitter, rpPRTSTDPROPERTYCODEEMITTERPTANK);
    const RwBool tank = (emitter->flag & rpPRTSTDEMITTERFLAGPTANK) && binding != nullptr;
    if (tank) {
        if (binding->pTank == nullptr && RpPrtStdEmitterCreatePTank(emitter) == nullptr) {
            return FALSE;
        }
        LockTank(binding);
    }
    auto call = [&](RpPrtStdEmitterCallBack cb) { return cb(atomic, emitter, &dt); };
    if ((emitter->flag & rpPRTSTDEMITTERFLAGUPDATE) && !ForEmitterSets(emitter, rpPRTSTDEMITTERCALLBACKBEGINUPDATE, call)) {
        return FALSE;
    }
    if ((emitter->flag & rpPRTSTDEMITTERFLAGUPDATEPARTICLE) && emitter->activeBatch != nullptr &&
        !UpdateParticles(emitter, tank ? binding : nullptr, &dt)) {
        return FALSE;
    }
    if ((emitter->flag & rpPRTSTDEMITTERFLAGEMIT) && !ForEmitterSets(emitter, rpPRTSTDEMITTERCALLBACKEMIT, call)) {
        return FALSE;
    }
    if (tank) {
        RpPTankAtomicGetTank(binding->pTank)->actPCount = binding->numPrt;
        RpPTankAtomicUnlock(binding->pTank);
    }
    if ((emitter->flag & rpPRTSTDEMITTERFLAGUPDATE) && !ForEmitterSets(emitter, rpPRTSTDEMITTERCALLBACKENDUPDATE, call)) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

RpAtomic *RpPrtStdAtomicUpdate(RpAtomic *atomic, void *data)
{
    RpPrtStdEmitter *handle = RpPrtStdAtomicEmitters(atomic);
    if (handle == nullptr || data == nullptr) {
        return nullptr;
    }
    const RwReal dt = *static_cast<const RwReal *>(data);
    RwBool ok = TRUE;
    atomic->boundingSphere.radius = 0.0f;
    RpPrtStdEmitter *emitter = handle;
    do {
        emitter = emitter->next;
        ok = UpdateEmitter(atomic, emitter, dt);
        if (emitter->boundingSphere > 0.0f) {
            atomic->boundingSphere.radius =
                std::max(atomic->boundingSphere.radius, RwFastSqrt(emitter->boundingSphere));
        }
    } while (ok && emitter != handle);
    if (RpGeometry *geometry = RpAtomicGetGeometry(atomic); geometry != nullptr && geometry->numMorphTargets > 0) {
        geometry->morphTarget[0].boundingSphere = atomic->boundingSphere;
    }
    atomic->object.object.privateFlags |= rpATOMICPRIVATEWORLDBOUNDDIRTY;
    return ok ? atomic : nullptr;
}

RpAtomic *RpPrtStdAtomicRender(RpAtomic *atomic)
{
    RpPrtStdEmitter *handle = RpPrtStdAtomicEmitters(atomic);
    if (handle == nullptr) {
        return atomic;
    }
    RpPrtStdEmitter *emitter = handle;
    do {
        emitter = emitter->next;
        if ((emitter->flag & rpPRTSTDEMITTERFLAGRENDER) &&
            !ForEmitterSets(emitter, rpPRTSTDEMITTERCALLBACKBEGINRENDER,
                            [&](RpPrtStdEmitterCallBack cb) { return cb(atomic, emitter, nullptr); })) {
            return nullptr;
        }
        if (emitter->flag & rpPRTSTDEMITTERFLAGRENDERPARTICLE) {
            for (RpPrtStdParticleBatch *b = emitter->activeBatch; b != nullptr; b = b->next) {
                if (!ForParticleSets(emitter, b, rpPRTSTDPARTICLECALLBACKRENDER,
                                     [&](RpPrtStdParticleCallBack cb) { return cb(emitter, b, nullptr); })) {
                    return nullptr;
                }
            }
        }
    } while (emitter != handle);
    return atomic;
}
