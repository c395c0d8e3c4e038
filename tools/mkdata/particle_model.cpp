// The sample particle model of the maker (see particle_model.h): a rising,
// fading orange spray. Every value is fixed, so the file is the same on
// every run.
#include "tools/mkdata/particle_model.h"

#include "rpprtstd.h"

namespace mkdata {
namespace {

template <typename T>
T *At(RpPrtStdEmitter *emitter, RwInt32 offset)
{
    return reinterpret_cast<T *>(reinterpret_cast<RwUInt8 *>(emitter) + offset);
}

void SetUpEmitter(RpPrtStdEmitter *emitter, const RpPrtStdPropertyTable *table)
{
    auto *s = At<RpPrtStdEmitterStandard>(emitter, RpPrtStdPropertyTableGetOffset(table, 1));
    auto *color = At<RpPrtStdEmitterPrtColor>(emitter, RpPrtStdPropertyTableGetOffset(table, 2));
    auto *size = At<RpPrtStdEmitterPrtSize>(emitter, RpPrtStdPropertyTableGetOffset(table, 5));
    auto *tank = At<RpPrtStdEmitterPTank>(emitter, RpPrtStdPropertyTableGetOffset(table, 6));
    s->maxPrt = 40;
    s->force = {0.0f, -2.0f, 0.0f};
    s->emtSize = {0.5f, 0.0f, 0.5f};
    s->emtEmitGap = 0.1f;
    s->emtPrtEmit = 3;
    s->emtPrtEmitVar = 2;
    s->prtInitVel = 3.0f;
    s->prtInitVelVar = 0.5f;
    s->prtLife = 0.4f;
    s->prtLifeVar = 0.1f;
    s->prtInitDir = {0.0f, 1.0f, 0.0f};
    s->prtInitDirVar = {0.3f, 0.0f, 0.3f};
    *color = {{255, 160, 32, 255}, {0, 40, 0, 0}, {255, 0, 0, 0}, {0, 0, 0, 0}};
    *size = {{0.4f, 0.4f}, {0.1f, 0.1f}, {1.2f, 1.2f}, {0.0f, 0.0f}};
    tank->srcBlend = 5;
    tank->dstBlend = 2;
}

}  // namespace

RpClump *BuildParticleClump()
{
    RpPrtStdEmitterClass *emtClass = RpPrtStdEmitterClassCreate(0x33);
    RpPrtStdParticleClass *prtClass = RpPrtStdParticleClassCreate(0x67);
    RpAtomic *atomic = emtClass != nullptr && prtClass != nullptr ? RpPrtStdAtomicCreate(emtClass, nullptr) : nullptr;
    RpClump *clump = atomic != nullptr ? RpClumpCreate() : nullptr;
    RwFrame *frame = clump != nullptr ? RwFrameCreate() : nullptr;
    if (frame != nullptr) {
        RpPrtStdEmitter *emitter = RpPrtStdAtomicGetEmitter(atomic);
        RpPrtStdEmitterSetParticleClass(emitter, prtClass, 100);
        SetUpEmitter(emitter, emtClass->propTab);
        RpClumpSetFrame(clump, frame);
        RpAtomicSetFrame(atomic, frame);
        RpClumpAddAtomic(clump, atomic);
        atomic = nullptr;
    }
    if (atomic != nullptr) {
        RpAtomicDestroy(atomic);
    }
    if (clump != nullptr && frame == nullptr) {
        RpClumpDestroy(clump);
        clump = nullptr;
    }
    // The emitter holds its own references to both classes.
    if (prtClass != nullptr) {
        RpPrtStdParticleClassDestroy(prtClass);
    }
    if (emtClass != nullptr) {
        RpPrtStdEmitterClassDestroy(emtClass);
    }
    return clump;
}

}  // namespace mkdata
