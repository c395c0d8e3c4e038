// The standard emitter callbacks: creation defaults, the owned texture,
// cloning, the per-update clock and constant spin, emission of new
// particles from the emitter's properties, and rendering through the tank.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "plugin/prtstd/prtstd.h"
#include "rpworld.h"
#include "rwtexture.h"

namespace {

constexpr RwReal kPi = 3.14159265358979323846f;

RwReal WrapAngle(RwReal angle)
{
    while (angle > kPi) {
        angle -= 2.0f * kPi;
    }
    while (angle < -kPi) {
        angle += 2.0f * kPi;
    }
    return angle;
}

const RwMatrix *IdentityMatrix()
{
    static RwMatrix identity = {{1, 0, 0}, rwMATRIXTYPEORTHONORMAL | rwMATRIXINTERNALIDENTITY, {0, 1, 0}, 0,
                                {0, 0, 1}, 0, {0, 0, 0}, 0};
    return &identity;
}

// base ± variation with a fresh random number.
inline RwReal Vary(RwUInt32 *seed, RwReal base, RwReal variation) { return base + RpPrtStdRandom(seed) * variation; }

// A start value ± its variation and the change to the end value ± its
// variation, component by component.
void StartAndDelta(RwUInt32 *seed, const RwReal *start, const RwReal *startVar, const RwReal *end,
                   const RwReal *endVar, RwInt32 count, RwReal *outStart, RwReal *outDelta)
{
    for (RwInt32 i = 0; i < count; ++i) {
        outStart[i] = Vary(seed, start[i], startVar[i]);
    }
    for (RwInt32 i = 0; i < count; ++i) {
        outDelta[i] = Vary(seed, end[i], endVar[i]) - outStart[i];
    }
}

template <typename T>
T *At(RwUInt8 *particle, RwInt32 offset)
{
    return offset < 0 ? nullptr : reinterpret_cast<T *>(particle + offset);
}

void InitParticle(RpPrtStdEmitter *emitter, RpPrtStdEmitterStandard *s, const RwMatrix *ltm, RwUInt8 *p,
                  const RwInt32 *po)
{
    RwUInt32 *seed = &s->seed;
    if (auto *standard = At<RpPrtStdParticleStandard>(p, po[rpPRTSTDPROPERTYCODEPARTICLESTANDARD])) {
        const RwReal life = Vary(seed, s->prtLife, s->prtLifeVar);
        standard->flag = 0;
        standard->currTime = 0.0f;
        standard->endTime = life;
        standard->invEndTime = life > 0.0f ? 1.0f / life : 0.0f;
    }
    RwV3d dir = {Vary(seed, s->prtInitDir.x, s->prtInitDirVar.x), Vary(seed, s->prtInitDir.y, s->prtInitDirVar.y),
                 Vary(seed, s->prtInitDir.z, s->prtInitDirVar.z)};
    if (RwV3dDotProduct(&dir, &dir) > 0.0f) {
        RwV3dNormalize(&dir, &dir);
    }
    RwV3d world;
    RwV3dTransformDirections(&world, &dir, 1, ltm);
    const RwReal speed = Vary(seed, s->prtInitVel, s->prtInitVelVar);
    if (auto *velocity = At<RwV3d>(p, po[rpPRTSTDPROPERTYCODEPARTICLEVELOCITY])) {
        RwV3dScale(velocity, &world, speed);
    }
    const RwV3d local = {Vary(seed, s->emtPos.x, s->emtSize.x), Vary(seed, s->emtPos.y, s->emtSize.y),
                         Vary(seed, s->emtPos.z, s->emtSize.z)};
    if (auto *position = At<RwV3d>(p, po[rpPRTSTDPROPERTYCODEPARTICLEPOSITION])) {
        RwV3dTransformPoints(position, &local, 1, ltm);
    }
    if (auto *matrix = At<RwMatrix>(p, po[rpPRTSTDPROPERTYCODEPARTICLEMATRIX])) {
        *matrix = *IdentityMatrix();
    }
    if (auto *size = At<RpPrtStdParticleSize>(p, po[rpPRTSTDPROPERTYCODEPARTICLESIZE])) {
        if (auto *e = RpPrtStdEmitterProperty<RpPrtStdEmitterPrtSize>(emitter, rpPRTSTDPROPERTYCODEEMITTERPRTSIZE)) {
            StartAndDelta(seed, &e->prtStartSize.x, &e->prtStartSizeVar.x, &e->prtEndSize.x, &e->prtEndSizeVar.x, 2,
                          &size->startSize.x, &size->deltaSize.x);
        } else {
            size->startSize = s->prtSize;
            size->deltaSize = {0.0f, 0.0f};
        }
        size->currSize = size->startSize;
    }
    if (auto *color = At<RpPrtStdParticleColor>(p, po[rpPRTSTDPROPERTYCODEPARTICLECOLOR])) {
        if (auto *e = RpPrtStdEmitterProperty<RpPrtStdEmitterPrtColor>(emitter, rpPRTSTDPROPERTYCODEEMITTERPRTCOLOR)) {
            StartAndDelta(seed, &e->prtStartCol.red, &e->prtStartColVar.red, &e->prtEndCol.red,
                          &e->prtEndColVar.red, 4, &color->startCol.red, &color->deltaCol.red);
        } else {
            color->startCol = {static_cast<RwReal>(s->prtColor.red), static_cast<RwReal>(s->prtColor.green),
                               static_cast<RwReal>(s->prtColor.blue), static_cast<RwReal>(s->prtColor.alpha)};
            color->deltaCol = {0.0f, 0.0f, 0.0f, 0.0f};
        }
    }
    if (auto *uv = At<RpPrtStdParticleTexCoords>(p, po[rpPRTSTDPROPERTYCODEPARTICLETEXCOORDS])) {
        if (auto *e = RpPrtStdEmitterProperty<RpPrtStdEmitterPrtTexCoords>(emitter,
                                                                            rpPRTSTDPROPERTYCODEEMITTERPRTTEXCOORDS)) {
            StartAndDelta(seed, &e->prtStartUV[0].u, &e->prtStartUVVar[0].u, &e->prtEndUV[0].u, &e->prtEndUVVar[0].u,
                          4, &uv->startUV[0].u, &uv->deltaUV[0].u);
        } else {
            uv->startUV[0] = s->prtUV[0];
            uv->startUV[1] = s->prtUV[1];
            uv->deltaUV[0] = {0.0f, 0.0f};
            uv->deltaUV[1] = {0.0f, 0.0f};
        }
    }
    if (auto *rotate = At<RpPrtStdParticle2DRotate>(p, po[rpPRTSTDPROPERTYCODEPARTICLE2DROTATE])) {
        if (auto *e = RpPrtStdEmitterProperty<RpPrtStdEmitterPrt2DRotate>(emitter,
                                                                           rpPRTSTDPROPERTYCODEEMITTERPRT2DROTATE)) {
            StartAndDelta(seed, &e->prtStart2DRotate, &e->prtStart2DRotateVar, &e->prtEnd2DRotate,
                          &e->prtEnd2DRotateVar, 1, &rotate->init2DRotate, &rotate->delta2DRotate);
            const RwReal end = rotate->init2DRotate + rotate->delta2DRotate;
            rotate->init2DRotate = WrapAngle(rotate->init2DRotate);
            rotate->delta2DRotate = end - rotate->init2DRotate;
        } else {
            rotate->init2DRotate = 0.0f;
            rotate->delta2DRotate = 0.0f;
        }
    }
}

}  // namespace

RwReal RpPrtStdRandom(RwUInt32 *seed)
{
    *seed = *seed * 196314165u + 907633515u;
    return 2.0f * (static_cast<RwReal>(*seed) * 2.3283064e-10f) - 1.0f;
}

RpPrtStdEmitter *RpPrtStdEmitterStdCreate(RpAtomic *, RpPrtStdEmitter *emitter, void *)
{
    auto *s = RpPrtStdEmitterProperty<RpPrtStdEmitterStandard>(emitter, rpPRTSTDPROPERTYCODEEMITTERSTANDARD);
    if (s == nullptr) {
        return emitter;
    }
    emitter->flag = 0x7F;
    s->seed = 1;
    s->maxPrt = 0;
    s->prtSize = {1.0f, 1.0f};
    s->prtColor = {255, 255, 255, 255};
    s->prtUV[0] = {0.0f, 0.0f};
    s->prtUV[1] = {1.0f, 1.0f};
    std::memset(s->reserved, 0, sizeof s->reserved);
    s->prtDelta2DRotate = 0.0f;
    s->texture = nullptr;
    return emitter;
}

RpPrtStdEmitter *RpPrtStdEmitterStdDestroy(RpAtomic *, RpPrtStdEmitter *emitter, void *)
{
    auto *s = RpPrtStdEmitterProperty<RpPrtStdEmitterStandard>(emitter, rpPRTSTDPROPERTYCODEEMITTERSTANDARD);
    if (s != nullptr && (emitter->flag & rpPRTSTDEMITTERFLAGSTREAMREAD) && s->texture != nullptr) {
        RwTextureDestroy(s->texture);
        s->texture = nullptr;
    }
    return emitter;
}

RpPrtStdEmitter *RpPrtStdEmitterStdClone(RpAtomic *, RpPrtStdEmitter *emitter, void *data)
{
    auto *copy = static_cast<RpPrtStdEmitter *>(data);
    static constexpr RwInt32 kCopied[] = {1, 2, 3, 8, 5, 4};
    const RpPrtStdPropertyTable *from = emitter->emtClass->propTab;
    const RpPrtStdPropertyTable *to = copy->emtClass->propTab;
    for (RwInt32 id : kCopied) {
        const RwInt32 a = RpPrtStdPropTabGetPropIndex(from, id);
        const RwInt32 b = RpPrtStdPropTabGetPropIndex(to, id);
        if (a >= 0 && b >= 0) {
            std::memcpy(reinterpret_cast<RwUInt8 *>(copy) + to->propOffset[b],
                        reinterpret_cast<const RwUInt8 *>(emitter) + from->propOffset[a],
                        static_cast<size_t>(std::min(from->propSize[a], to->propSize[b])));
        }
    }
    auto *s = RpPrtStdEmitterProperty<RpPrtStdEmitterStandard>(copy, rpPRTSTDPROPERTYCODEEMITTERSTANDARD);
    if (s != nullptr && s->texture != nullptr) {
        // The clone holds a reference of its own, so it must also let it go.
        RwTextureAddRef(s->texture);
        copy->flag |= rpPRTSTDEMITTERFLAGSTREAMREAD;
    }
    auto *src = RpPrtStdEmitterProperty<RpPrtStdEmitterPTank>(emitter, rpPRTSTDPROPERTYCODEEMITTERPTANK);
    auto *dst = RpPrtStdEmitterProperty<RpPrtStdEmitterPTank>(copy, rpPRTSTDPROPERTYCODEEMITTERPTANK);
    if (src != nullptr && dst != nullptr) {
        dst->dataFlags = src->dataFlags;
        dst->platFlags = src->platFlags;
        dst->maxPrt = src->maxPrt;
        dst->updateFlags = src->updateFlags;
        dst->emitFlags = src->emitFlags;
        dst->srcBlend = src->srcBlend;
        dst->dstBlend = src->dstBlend;
        dst->vtxAlphaBlend = src->vtxAlphaBlend;
    }
    return emitter;
}

RpPrtStdEmitter *RpPrtStdEmitterStdBeginUpdateCB(RpAtomic *atomic, RpPrtStdEmitter *emitter, void *data)
{
    auto *s = RpPrtStdEmitterProperty<RpPrtStdEmitterStandard>(emitter, rpPRTSTDPROPERTYCODEEMITTERSTANDARD);
    if (s == nullptr) {
        return emitter;
    }
    const RwReal dt = *static_cast<const RwReal *>(data);
    RwFrame *frame = atomic != nullptr ? RpAtomicGetFrame(atomic) : nullptr;
    s->ltm = frame != nullptr ? RwFrameGetLTM(frame) : const_cast<RwMatrix *>(IdentityMatrix());
    s->currTime += dt;
    auto *binding = RpPrtStdEmitterProperty<RpPrtStdEmitterPTank>(emitter, rpPRTSTDPROPERTYCODEEMITTERPTANK);
    if (binding != nullptr && binding->pTank != nullptr && (binding->updateFlags & rpPTANKDFLAGCNS2DROTATE)) {
        RpPTank *tank = RpPTankAtomicGetTank(binding->pTank);
        tank->cRotate = WrapAngle(tank->cRotate + dt * s->prtDelta2DRotate);
        tank->instFlags |= rpPTANKDFLAGCNS2DROTATE;
    }
    return emitter;
}

RpPrtStdEmitter *RpPrtStdEmitterStdEmitCB(RpAtomic *, RpPrtStdEmitter *emitter, void *)
{
    auto *s = RpPrtStdEmitterProperty<RpPrtStdEmitterStandard>(emitter, rpPRTSTDPROPERTYCODEEMITTERSTANDARD);
    if (s == nullptr || s->currTime < s->emtEmitTime || emitter->prtClass == nullptr) {
        return emitter;
    }
    RwInt32 count = s->emtPrtEmit + static_cast<RwInt32>(RpPrtStdRandom(&s->seed) * static_cast<RwReal>(s->emtPrtEmitVar));
    // The owner may raise the emitter's maximum after its tank was made;
    // the tank it has is what bounds the particles.
    RwInt32 maximum = s->maxPrt;
    auto *binding = RpPrtStdEmitterProperty<RpPrtStdEmitterPTank>(emitter, rpPRTSTDPROPERTYCODEEMITTERPTANK);
    if (binding != nullptr && binding->pTank != nullptr) {
        maximum = std::min(maximum, binding->maxPrt);
    }
    count = std::min(count, maximum - emitter->prtActive);
    if (count < 1) {
        return emitter;
    }
    const RwMatrix *ltm = s->ltm != nullptr ? s->ltm : IdentityMatrix();
    const RwInt32 *po = RpPrtStdParticleOffsets(emitter->prtClass->propTab);
    RwInt32 offsets[rpPRTSTDMAXPROPERTYID];
    std::memcpy(offsets, po, sizeof offsets);  // the cache may be recomputed for another table below
    const RwInt32 objSize = emitter->prtClass->objSize;
    while (count > 0) {
        RpPrtStdParticleBatch *batch = emitter->activeBatch;
        while (batch != nullptr && batch->next != nullptr) {
            batch = batch->next;
        }
        if (batch == nullptr || batch->numPrt >= batch->maxPrt) {
            batch = RpPrtStdEmitterNewParticleBatch(emitter);
            if (batch == nullptr) {
                return nullptr;
            }
        }
        const RwInt32 n = std::min(count, batch->maxPrt - batch->numPrt);
        RwUInt8 *data = RpPrtStdParticleBatchGetData(batch) + static_cast<size_t>(batch->numPrt) * objSize;
        for (RwInt32 i = 0; i < n; ++i, data += objSize) {
            InitParticle(emitter, s, ltm, data, offsets);
        }
        batch->numPrt += n;
        emitter->prtActive += n;
        count -= n;
    }
    return emitter;
}

RpPrtStdEmitter *RpPrtStdEmitterStdEndUpdateCB(RpAtomic *, RpPrtStdEmitter *emitter, void *)
{
    auto *s = RpPrtStdEmitterProperty<RpPrtStdEmitterStandard>(emitter, rpPRTSTDPROPERTYCODEEMITTERSTANDARD);
    if (s != nullptr && s->currTime >= s->emtEmitTime) {
        s->emtPrevEmitTime = s->currTime;
        s->emtEmitTime = s->currTime + Vary(&s->seed, s->emtEmitGap, s->emtEmitGapVar);
    }
    return emitter;
}

RpPrtStdEmitter *RpPrtStdEmitterStdRenderCB(RpAtomic *, RpPrtStdEmitter *emitter, void *)
{
    auto *binding = RpPrtStdEmitterProperty<RpPrtStdEmitterPTank>(emitter, rpPRTSTDPROPERTYCODEEMITTERPTANK);
    if (binding == nullptr) {
        return nullptr;
    }
    if (emitter->prtActive > 0 && binding->numPrt != 0 && binding->pTank != nullptr &&
        RpAtomicRender(binding->pTank) == nullptr) {
        return nullptr;
    }
    return emitter;
}

void RpPrtStdSetEmitterCallBack(RpPrtStdEmitterCallBackArray *callbacks)
{
    RpPrtStdEmitterCallBack *cb = *callbacks;
    std::memset(cb, 0, sizeof(RpPrtStdEmitterCallBackArray));
    cb[rpPRTSTDEMITTERCALLBACKEMIT] = RpPrtStdEmitterStdEmitCB;
    cb[rpPRTSTDEMITTERCALLBACKBEGINUPDATE] = RpPrtStdEmitterStdBeginUpdateCB;
    cb[rpPRTSTDEMITTERCALLBACKENDUPDATE] = RpPrtStdEmitterStdEndUpdateCB;
    cb[rpPRTSTDEMITTERCALLBACKBEGINRENDER] = RpPrtStdEmitterStdRenderCB;
    cb[rpPRTSTDEMITTERCALLBACKCREATE] = RpPrtStdEmitterStdCreate;
    cb[rpPRTSTDEMITTERCALLBACKDESTROY] = RpPrtStdEmitterStdDestroy;
    cb[rpPRTSTDEMITTERCALLBACKSTREAMREAD] = RpPrtStdEmitterStdStreamReadCB;
    cb[rpPRTSTDEMITTERCALLBACKSTREAMWRITE] = RpPrtStdEmitterStdStreamWriteCB;
    cb[rpPRTSTDEMITTERCALLBACKSTREAMGETSIZE] = RpPrtStdEmitterStdStreamGetSizeCB;
    cb[rpPRTSTDEMITTERCALLBACKCLONE] = RpPrtStdEmitterStdClone;
}

void RpPrtStdSetParticleCallBack(RpPrtStdParticleCallBackArray *callbacks)
{
    RpPrtStdParticleCallBack *cb = *callbacks;
    std::memset(cb, 0, sizeof(RpPrtStdParticleCallBackArray));
    cb[rpPRTSTDPARTICLECALLBACKUPDATE] = RpPrtStdParticleStdUpdateCB;
}
