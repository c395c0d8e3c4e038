// Emitters: creation and destruction through their class's callbacks, the
// particle batches they keep (live and dead lists), and the particle tank
// each emitter draws through, with its binding.
#include <cmath>
#include <cstring>

#include "plugin/prtstd/prtstd.h"
#include "rpworld.h"
#include "rwerror.h"
#include "rwmemory.h"

namespace {

// The binding keeps one write slot per tank attribute.
constexpr size_t kBindingArrayBytes = rpPTANKNUMCLUSTERS * (2 * sizeof(RwUInt8 *) + sizeof(RwInt32));
// A batch may hold at most this many bytes of particle data.
constexpr RwUInt64 kMaxBatchBytes = 64u << 20;

void FreeBindingArrays(RpPrtStdEmitterPTank *binding)
{
    if (binding->dataInPtrs != nullptr) {
        RwFree(binding->dataInPtrs);
    }
    binding->dataInPtrs = nullptr;
    binding->dataOutPtrs = nullptr;
    binding->dataStride = nullptr;
}

void DestroyBinding(RpPrtStdEmitterPTank *binding)
{
    if (binding->pTank != nullptr) {
        RwFrame *frame = RpAtomicGetFrame(binding->pTank);
        RpAtomicSetFrame(binding->pTank, nullptr);
        if (frame != nullptr) {
            RwFrameDestroy(frame);
        }
        RpAtomicDestroy(binding->pTank);
    }
    FreeBindingArrays(binding);
    binding->pTank = nullptr;
    binding->maxPrt = 0;
}

void SetBindingDefaults(RpPrtStdEmitterPTank *binding)
{
    std::memset(binding, 0, sizeof *binding);
    binding->updateFlags = 0xFFFFFFFFu;
    binding->emitFlags = 0xFFFFFFFFu;
    binding->srcBlend = rwBLENDONE;
    binding->dstBlend = rwBLENDONE;
    binding->vtxAlphaBlend = TRUE;
}

void FreeBatchList(RpPrtStdParticleBatch *batch)
{
    while (batch != nullptr) {
        RpPrtStdParticleBatch *next = batch->next;
        RwFree(batch);
        batch = next;
    }
}

}  // namespace

void *RpPrtStdEmitterGetProperty(RpPrtStdEmitter *emitter, RwInt32 propID)
{
    if (propID < 0 || propID >= rpPRTSTDMAXPROPERTYID) {
        return nullptr;
    }
    return RpPrtStdEmitterProperty<void>(emitter, propID);
}

RpPrtStdEmitter *RpPrtStdEmitterCreate(RpPrtStdEmitterClass *emtClass)
{
    if (emtClass == nullptr || emtClass->objSize < static_cast<RwInt32>(sizeof(RpPrtStdEmitter))) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    auto *emitter = static_cast<RpPrtStdEmitter *>(RwMalloc(static_cast<size_t>(emtClass->objSize)));
    if (emitter == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(emitter, 0, static_cast<size_t>(emtClass->objSize));
    emitter->emtClass = emtClass;
    ++emtClass->refCount;
    if (auto *binding = RpPrtStdEmitterProperty<RpPrtStdEmitterPTank>(emitter, rpPRTSTDPROPERTYCODEEMITTERPTANK)) {
        SetBindingDefaults(binding);
    }
    for (RwInt32 i = 0; i < emtClass->numCallback; ++i) {
        RpPrtStdEmitterCallBack create = emtClass->callback[i][rpPRTSTDEMITTERCALLBACKCREATE];
        if (create != nullptr && create(nullptr, emitter, nullptr) != emitter) {
            RpPrtStdEmitterDestroy(emitter);
            return nullptr;
        }
    }
    return emitter;
}

RwBool RpPrtStdEmitterDestroy(RpPrtStdEmitter *emitter)
{
    if (emitter == nullptr) {
        return FALSE;
    }
    RpPrtStdEmitterClass *emtClass = emitter->emtClass;
    for (RwInt32 i = 0; i < emtClass->numCallback; ++i) {
        if (RpPrtStdEmitterCallBack destroy = emtClass->callback[i][rpPRTSTDEMITTERCALLBACKDESTROY]) {
            destroy(emitter->atomic, emitter, nullptr);
        }
    }
    RpPrtStdEmitterDestroyBatches(emitter);
    if (auto *binding = RpPrtStdEmitterProperty<RpPrtStdEmitterPTank>(emitter, rpPRTSTDPROPERTYCODEEMITTERPTANK)) {
        DestroyBinding(binding);
    }
    if (emitter->prtClass != nullptr) {
        RpPrtStdParticleClassDestroy(emitter->prtClass);
    }
    RwFree(emitter);
    RpPrtStdEmitterClassDestroy(emtClass);
    return TRUE;
}

RpPrtStdEmitter *RpPrtStdEmitterDestroyBatches(RpPrtStdEmitter *emitter)
{
    RpPrtStdParticleClass *prtClass = emitter->prtClass;
    RpPrtStdParticleBatch *batch = emitter->activeBatch;
    while (batch != nullptr) {
        RpPrtStdParticleBatch *next = batch->next;
        for (RwInt32 i = 0; prtClass != nullptr && i < prtClass->numCallback; ++i) {
            RpPrtStdParticleCallBack retire = prtClass->callback[i][rpPRTSTDPARTICLECALLBACKDESTROY];
            if (retire != nullptr && retire(emitter, batch, nullptr) != batch) {
                break;
            }
        }
        RwFree(batch);
        batch = next;
    }
    FreeBatchList(emitter->inactiveBatch);
    emitter->activeBatch = nullptr;
    emitter->inactiveBatch = nullptr;
    emitter->prtActive = 0;
    return emitter;
}

RpPrtStdEmitter *RpPrtStdEmitterSetParticleClass(RpPrtStdEmitter *emitter, RpPrtStdParticleClass *prtClass,
                                                 RwInt32 maxPrt)
{
    if (emitter->prtClass != nullptr) {
        RpPrtStdEmitterDestroyBatches(emitter);
        RpPrtStdParticleClassDestroy(emitter->prtClass);
        emitter->prtClass = nullptr;
    }
    if (prtClass != nullptr) {
        ++prtClass->refCount;
    }
    emitter->prtClass = prtClass;
    emitter->prtBatchMaxPrts = maxPrt;
    return emitter;
}

RpPrtStdParticleBatch *RpPrtStdEmitterNewParticleBatch(RpPrtStdEmitter *emitter)
{
    RpPrtStdParticleClass *prtClass = emitter->prtClass;
    if (prtClass == nullptr || emitter->prtBatchMaxPrts < 1) {
        return nullptr;
    }
    RpPrtStdParticleBatch *batch = emitter->inactiveBatch;
    if (batch != nullptr) {
        emitter->inactiveBatch = batch->next;
        batch->numPrt = 0;
        batch->newPrt = -1;
    } else {
        const RwUInt64 header = RwAlignUp(sizeof(RpPrtStdParticleBatch), 16);
        const RwUInt64 bytes = header + static_cast<RwUInt64>(emitter->prtBatchMaxPrts) *
                                            static_cast<RwUInt64>(prtClass->objSize);
        if (bytes > kMaxBatchBytes || (batch = static_cast<RpPrtStdParticleBatch *>(RwMalloc(bytes))) == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            return nullptr;
        }
        std::memset(batch, 0, static_cast<size_t>(bytes));
        batch->maxPrt = emitter->prtBatchMaxPrts;
        batch->newPrt = -1;
        batch->offset = static_cast<RwInt32>(header);
    }
    batch->next = nullptr;
    batch->prtClass = prtClass;
    for (RwInt32 i = 0; i < prtClass->numCallback; ++i) {
        RpPrtStdParticleCallBack init = prtClass->callback[i][rpPRTSTDPARTICLECALLBACKCREATE];
        if (init != nullptr && init(emitter, batch, nullptr) != batch) {
            RwFree(batch);
            return nullptr;
        }
    }
    RpPrtStdParticleBatch **tail = &emitter->activeBatch;
    while (*tail != nullptr) {
        tail = &(*tail)->next;
    }
    *tail = batch;
    return batch;
}

RpPrtStdEmitter *RpPrtStdEmitterAttachPTank(RpPrtStdEmitter *emitter, RpAtomic *pTank)
{
    auto *binding = RpPrtStdEmitterProperty<RpPrtStdEmitterPTank>(emitter, rpPRTSTDPROPERTYCODEEMITTERPTANK);
    RpPTank *tank = RpPTankAtomicGetTank(pTank);
    if (binding == nullptr || tank == nullptr || binding->pTank != nullptr) {
        return nullptr;
    }
    void *arrays = RwMalloc(kBindingArrayBytes);
    if (arrays == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(arrays, 0, kBindingArrayBytes);
    FreeBindingArrays(binding);
    binding->dataInPtrs = static_cast<RwUInt8 **>(arrays);
    binding->dataOutPtrs = binding->dataInPtrs + rpPTANKNUMCLUSTERS;
    binding->dataStride = reinterpret_cast<RwInt32 *>(binding->dataOutPtrs + rpPTANKNUMCLUSTERS);
    // Only what describes the tank changes: the platform flags stay what
    // the owner asked for, so a tank made again later is made the same way.
    binding->pTank = pTank;
    binding->maxPrt = tank->maxPCount;
    binding->dataFlags = RpPTankAtomicGetDataFormat(pTank)->dataFlags;
    binding->numPrt = 0;
    tank->actPCount = 0;
    return emitter;
}

RpPrtStdEmitter *RpPrtStdEmitterCreatePTank(RpPrtStdEmitter *emitter)
{
    auto *std = RpPrtStdEmitterProperty<RpPrtStdEmitterStandard>(emitter, rpPRTSTDPROPERTYCODEEMITTERSTANDARD);
    auto *binding = RpPrtStdEmitterProperty<RpPrtStdEmitterPTank>(emitter, rpPRTSTDPROPERTYCODEEMITTERPTANK);
    if (std == nullptr || binding == nullptr) {
        return nullptr;
    }
    const RwInt32 *offsets = RpPrtStdEmitterOffsets(emitter->emtClass->propTab);
    auto has = [offsets](RwInt32 id) { return offsets[id] >= 0; };
    RwUInt32 dataFlags = has(rpPRTSTDPROPERTYCODEEMITTERPRTMATRIX) ? rpPTANKDFLAGMATRIX : rpPTANKDFLAGPOSITION;
    if (has(rpPRTSTDPROPERTYCODEEMITTERPRTCOLOR)) {
        dataFlags |= rpPTANKDFLAGCOLOR;
    }
    if (std->texture != nullptr) {
        dataFlags |= has(rpPRTSTDPROPERTYCODEEMITTERPRTTEXCOORDS) ? rpPTANKDFLAGVTX2TEXCOORDS
                                                                   : rpPTANKDFLAGCNSVTX2TEXCOORDS;
    }
    const RwBool positions = (dataFlags & rpPTANKDFLAGPOSITION) != 0;
    if (positions && has(rpPRTSTDPROPERTYCODEEMITTERPRTSIZE)) {
        dataFlags |= rpPTANKDFLAGSIZE;
    }
    binding->updateFlags &= ~rpPTANKDFLAGCNS2DROTATE;
    if (positions) {
        if (has(rpPRTSTDPROPERTYCODEEMITTERPRT2DROTATE)) {
            dataFlags |= rpPTANKDFLAG2DROTATE;
        } else if (std->prtDelta2DRotate > 0.00001f || std->prtDelta2DRotate < -0.00001f) {
            dataFlags |= rpPTANKDFLAGCNS2DROTATE;
            binding->updateFlags |= rpPTANKDFLAGCNS2DROTATE;
        }
    }
    RpAtomic *pTank = RpPTankAtomicCreate(std->maxPrt, dataFlags, binding->platFlags);
    if (pTank == nullptr) {
        return nullptr;
    }
    RwFrame *frame = RwFrameCreate();
    if (frame == nullptr) {
        RpAtomicDestroy(pTank);
        return nullptr;
    }
    RwMatrixSetIdentity(RwFrameGetMatrix(frame));
    RpAtomicSetFrame(pTank, frame);

    RpPTank *tank = RpPTankAtomicGetTank(pTank);
    RpMaterial *material = RpGeometryGetMaterial(RpAtomicGetGeometry(pTank), 0);
    tank->cCenter = {0.0f, 0.0f};
    tank->instFlags |= rpPTANKDFLAGUSECENTER;
    if (!(dataFlags & rpPTANKDFLAGCOLOR)) {
        tank->cColor = std->prtColor;
        RpMaterialSetColor(material, &std->prtColor);
        tank->instFlags |= rpPTANKDFLAGCNSCOLOR;
    }
    if (dataFlags & rpPTANKDFLAGCNSVTX2TEXCOORDS) {
        tank->cUV[0] = std->prtUV[0];
        tank->cUV[1] = std->prtUV[1];
        tank->instFlags |= rpPTANKDFLAGCNSVTX2TEXCOORDS;
    }
    if (!(dataFlags & rpPTANKDFLAGSIZE)) {
        tank->cSize = std->prtSize;
        tank->instFlags |= rpPTANKDFLAGCNSSIZE;
    }
    if (std->texture != nullptr) {
        RpMaterialSetTexture(material, std->texture);
    }
    if (RpPrtStdEmitterAttachPTank(emitter, pTank) == nullptr) {
        RpAtomicSetFrame(pTank, nullptr);
        RwFrameDestroy(frame);
        RpAtomicDestroy(pTank);
        return nullptr;
    }
    tank->srcBlend = binding->srcBlend;
    tank->dstBlend = binding->dstBlend;
    tank->vertexAlphaBlend = binding->vtxAlphaBlend;
    return emitter;
}
