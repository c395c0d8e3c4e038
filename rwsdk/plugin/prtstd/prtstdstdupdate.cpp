// The standard particle update: ages each particle of a batch, moves it
// under the emitter's force, interpolates its size, colour, texture
// coordinates and rotation over its life, writes it into the emitter's
// tank, and drops the particles whose life is over, keeping the batch dense.
#include <algorithm>
#include <cstring>

#include "plugin/prtstd/prtstd.h"

namespace {

template <typename T>
T *ParticleField(RwUInt8 *particle, RwInt32 offset)
{
    return offset < 0 ? nullptr : reinterpret_cast<T *>(particle + offset);
}

RwUInt8 Channel(RwReal value)
{
    const RwReal clamped = std::clamp(value, 0.0f, 255.0f);
    return static_cast<RwUInt8>(clamped + 0.5f);
}

template <typename T>
void PutAt(RpPrtStdEmitterPTank *binding, RwInt32 cluster, RwInt32 index, const T &value)
{
    if (binding->dataOutPtrs[cluster] != nullptr) {
        std::memcpy(binding->dataOutPtrs[cluster] + static_cast<ptrdiff_t>(index) * binding->dataStride[cluster],
                    &value, sizeof value);
    }
}

struct ParticleView {
    RwReal t;
    RwV3d position;
    RwV2d size;
    RwRGBA color;
    RwReal rotation;
    RwTexCoords uv[2];
    const RwMatrix *matrix;
};

void WriteToTank(RpPrtStdEmitterPTank *binding, RwInt32 index, const ParticleView &v)
{
    PutAt(binding, rpPTANKCLUSTERPOSITION, index, v.position);
    PutAt(binding, rpPTANKCLUSTERCOLOR, index, v.color);
    PutAt(binding, rpPTANKCLUSTERSIZE, index, v.size);
    PutAt(binding, rpPTANKCLUSTER2DROTATE, index, v.rotation);
    PutAt(binding, rpPTANKCLUSTERVTX2TEXCOORDS, index, v.uv);
    if (binding->dataOutPtrs[rpPTANKCLUSTERMATRIX] != nullptr) {
        // A particle matrix carries the particle's place and size.
        RwMatrix m = *v.matrix;
        RwV3dScale(&m.right, &m.right, v.size.x);
        RwV3dScale(&m.up, &m.up, v.size.y);
        m.pos = v.position;
        PutAt(binding, rpPTANKCLUSTERMATRIX, index, m);
    }
}

}  // namespace

RpPrtStdParticleBatch *RpPrtStdParticleStdUpdateCB(RpPrtStdEmitter *emitter, RpPrtStdParticleBatch *batch,
                                                   void *data)
{
    const RwReal dt = *static_cast<const RwReal *>(data);
    auto *s = RpPrtStdEmitterProperty<RpPrtStdEmitterStandard>(emitter, rpPRTSTDPROPERTYCODEEMITTERSTANDARD);
    auto *binding = RpPrtStdEmitterProperty<RpPrtStdEmitterPTank>(emitter, rpPRTSTDPROPERTYCODEEMITTERPTANK);
    if (binding != nullptr && (binding->pTank == nullptr || binding->dataOutPtrs == nullptr)) {
        binding = nullptr;
    }
    RwInt32 po[rpPRTSTDMAXPROPERTYID];
    std::memcpy(po, RpPrtStdParticleOffsets(batch->prtClass->propTab), sizeof po);
    if (po[rpPRTSTDPROPERTYCODEPARTICLESTANDARD] < 0) {
        return nullptr;
    }
    static const RwMatrix identity = {{1, 0, 0}, 0x20003, {0, 1, 0}, 0, {0, 0, 1}, 0, {0, 0, 0}, 0};
    const RwV3d force = s != nullptr ? s->force : RwV3d{0.0f, 0.0f, 0.0f};
    const RwV3d centre = s != nullptr && s->ltm != nullptr ? s->ltm->pos : RwV3d{0.0f, 0.0f, 0.0f};
    const RwInt32 room = binding != nullptr ? binding->maxPrt - binding->numPrt : 0;
    const size_t objSize = static_cast<size_t>(batch->prtClass->objSize);
    RwUInt8 *particles = RpPrtStdParticleBatchGetData(batch);

    RwInt32 kept = 0;
    for (RwInt32 i = 0; i < batch->numPrt; ++i) {
        RwUInt8 *p = particles + static_cast<size_t>(i) * objSize;
        auto *standard = reinterpret_cast<RpPrtStdParticleStandard *>(p + po[0]);
        if (!(standard->currTime < standard->endTime)) {
            continue;
        }
        standard->currTime += dt;
        if (!(standard->currTime < standard->endTime)) {
            continue;
        }
        ParticleView v = {};
        v.t = std::min(standard->currTime * standard->invEndTime, 1.0f);
        v.matrix = &identity;
        if (auto *velocity = ParticleField<RwV3d>(p, po[rpPRTSTDPROPERTYCODEPARTICLEVELOCITY])) {
            RwV3dIncrementScaled(velocity, &force, dt);
            if (auto *position = ParticleField<RwV3d>(p, po[rpPRTSTDPROPERTYCODEPARTICLEPOSITION])) {
                RwV3dIncrementScaled(position, velocity, dt);
            }
        }
        if (auto *position = ParticleField<RwV3d>(p, po[rpPRTSTDPROPERTYCODEPARTICLEPOSITION])) {
            v.position = *position;
        }
        v.size = s != nullptr ? s->prtSize : RwV2d{1.0f, 1.0f};
        if (auto *size = ParticleField<RpPrtStdParticleSize>(p, po[rpPRTSTDPROPERTYCODEPARTICLESIZE])) {
            size->currSize = {size->startSize.x + v.t * size->deltaSize.x, size->startSize.y + v.t * size->deltaSize.y};
            v.size = size->currSize;
        }
        v.color = s != nullptr ? s->prtColor : RwRGBA{255, 255, 255, 255};
        if (auto *color = ParticleField<RpPrtStdParticleColor>(p, po[rpPRTSTDPROPERTYCODEPARTICLECOLOR])) {
            v.color = {Channel(color->startCol.red + v.t * color->deltaCol.red),
                       Channel(color->startCol.green + v.t * color->deltaCol.green),
                       Channel(color->startCol.blue + v.t * color->deltaCol.blue),
                       Channel(color->startCol.alpha + v.t * color->deltaCol.alpha)};
        }
        if (s != nullptr) {
            v.uv[0] = s->prtUV[0];
            v.uv[1] = s->prtUV[1];
        }
        if (auto *uv = ParticleField<RpPrtStdParticleTexCoords>(p, po[rpPRTSTDPROPERTYCODEPARTICLETEXCOORDS])) {
            for (RwInt32 c = 0; c < 2; ++c) {
                v.uv[c] = {uv->startUV[c].u + v.t * uv->deltaUV[c].u, uv->startUV[c].v + v.t * uv->deltaUV[c].v};
            }
        }
        if (auto *rotate = ParticleField<RpPrtStdParticle2DRotate>(p, po[rpPRTSTDPROPERTYCODEPARTICLE2DROTATE])) {
            v.rotation = rotate->init2DRotate + v.t * rotate->delta2DRotate;
        }
        if (auto *matrix = ParticleField<RwMatrix>(p, po[rpPRTSTDPROPERTYCODEPARTICLEMATRIX])) {
            v.matrix = matrix;
        }
        if (binding != nullptr && kept < room) {
            WriteToTank(binding, kept, v);
        }
        RwV3d offset;
        RwV3dSub(&offset, &v.position, &centre);
        emitter->boundingSphere = std::max(emitter->boundingSphere, RwV3dDotProduct(&offset, &offset));
        if (kept != i) {
            std::memcpy(particles + static_cast<size_t>(kept) * objSize, p, objSize);
        }
        ++kept;
    }
    batch->numPrt = kept;
    return batch;
}
