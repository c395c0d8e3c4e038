// A live particle system over the engine's standard particles (see
// particle_system.h).
#include "fx/particle_system.h"

#include <cmath>

#include "app/debug.h"
#include "fx/particle_manager.h"

namespace {

RwMatrix Identity()
{
    RwMatrix m;
    RwMatrixSetIdentity(&m);
    return m;
}

}  // namespace

uint64_t CSParticleSystem::releaseClock_ = 0;

CSParticleSystem::~CSParticleSystem() { Retire(); }

bool CSParticleSystem::Build(CSParticleTemplate *owner, RpAtomic *source)
{
    RpAtomic *copy = RpAtomicClone(source);
    RwFrame *frame = copy != nullptr ? RwFrameCreate() : nullptr;
    if (frame == nullptr) {
        DestroyParticleAtomic(copy);  // none: nothing
        return false;
    }
    RpAtomicSetFrame(copy, frame);
    owner_ = owner;
    atomic_ = copy;
    local_ = Identity();
    world_ = Identity();
    RestoreEmitter();
    return true;
}

void CSParticleSystem::Retire()
{
    if (atomic_ != nullptr) {
        DestroyParticleAtomic(atomic_);
    }
    atomic_ = nullptr;
    owner_ = nullptr;
    parent_ = nullptr;
    taken_ = false;
    emitting_ = false;
    giveBackWhenDead_ = false;
}

RpPrtStdEmitter *CSParticleSystem::Emitter() const
{
    return atomic_ != nullptr ? RpPrtStdAtomicGetEmitter(atomic_) : nullptr;
}

RpPrtStdEmitterStandard *CSParticleSystem::Standard() const
{
    RpPrtStdEmitter *emitter = Emitter();
    return emitter != nullptr
               ? static_cast<RpPrtStdEmitterStandard *>(RpPrtStdEmitterGetProperty(emitter, 1))
               : nullptr;
}

void CSParticleSystem::RestoreEmitter()
{
    // Every caller holds a built system: its emitter is its template's kind.
    RpPrtStdEmitterStandard *s = Standard();
    RwTexture *texture = s->texture;
    RwMatrix *ltm = s->ltm;
    *s = owner_->Saved();
    s->texture = texture;
    s->ltm = ltm;
    // The emission clock starts again; particles are counted out per frame.
    s->currTime = 0.0f;
    s->prevTime = 0.0f;
    s->emtPrevEmitTime = 0.0f;
    s->emtEmitTime = 0.0f;
    s->emtEmitGap = 0.0f;
    s->emtEmitGapVar = 0.0f;
    rate_ = owner_->Desc().emitRate;
    carry_ = 0.0f;
}

void CSParticleSystem::Take()
{
    taken_ = true;
    giveBackWhenDead_ = false;
    parent_ = nullptr;
    local_ = Identity();
    world_ = Identity();
    displayMode[0] = kPrtDrawAfterWorld;
    displayMode[1] = kPrtStayWhereEmitted;
    ownerDraws = false;
    RestoreEmitter();
    emitting_ = true;
    lifetime_ = owner_->Desc().lifetime;
    PlaceFrames();
}

void CSParticleSystem::SetEmitting(bool on, float startValue)
{
    if (!taken_ || atomic_ == nullptr) {
        return;
    }
    RestoreEmitter();
    emitting_ = on;
    if (on) {
        if (startValue > 1.0f) {
            rate_ = startValue;
        }
        lifetime_ = owner_->Desc().lifetime;
    }
}

void CSParticleSystem::StopEmit()
{
    // Harmless on a system given back or retired: taking it sets all anew.
    rate_ = 0.0f;
    carry_ = 0.0f;
    emitting_ = false;
    lifetime_ = -1.0f;
}

void CSParticleSystem::ClearParticles()
{
    if (RpPrtStdEmitter *emitter = Emitter()) {
        RpPrtStdEmitterDestroyBatches(emitter);
        if (auto *binding = static_cast<RpPrtStdEmitterPTank *>(RpPrtStdEmitterGetProperty(emitter, 6))) {
            binding->numPrt = 0;
        }
    }
}

int32_t CSParticleSystem::ParticleCount() const
{
    RpPrtStdEmitter *emitter = Emitter();
    int32_t count = 0;
    if (emitter != nullptr) {
        for (RpPrtStdParticleBatch *b = emitter->activeBatch; b != nullptr; b = b->next) {
            count += b->numPrt;
        }
    }
    return count;
}

bool CSParticleSystem::IsAlive() const
{
    if (atomic_ == nullptr) {
        return false;
    }
    const bool emits = emitting_ && rate_ > 0.0f;
    return emits || lifetime_ != -1.0f || ParticleCount() > 0;
}

void CSParticleSystem::SetMatrix(const RwMatrix *matrix)
{
    if (!taken_ || atomic_ == nullptr || matrix == nullptr) {
        return;
    }
    local_ = *matrix;
    PlaceFrames();
}

void CSParticleSystem::SetPosition(const RwV3d &position)
{
    RwMatrix m = Identity();
    m.pos = position;
    SetMatrix(&m);
}

void CSParticleSystem::AttachToFrame(RwFrame *frame)
{
    if (!taken_ || atomic_ == nullptr) {
        return;
    }
    parent_ = frame;
    PlaceFrames();
}

void CSParticleSystem::SetEmitSize(float x, float y, float z)
{
    if (RpPrtStdEmitterStandard *s = taken_ ? Standard() : nullptr) {
        s->emtSize = {x, y, z};
    }
}

void CSParticleSystem::Release()
{
    if (atomic_ == nullptr) {
        DebugPrint("CSParticleSystem::Release: the pool of this system is gone\n");
        return;
    }
    if (!taken_) {
        DebugPrint("CSParticleSystem::Release: %s was already given back\n", TemplateName());
        return;
    }
    taken_ = false;
    emitting_ = false;
    giveBackWhenDead_ = false;
    parent_ = nullptr;
    lifetime_ = -1.0f;
    releasedAt_ = ++releaseClock_;
    RestoreEmitter();
    ClearParticles();
}

const char *CSParticleSystem::TemplateName() const { return owner_ != nullptr ? owner_->Name().c_str() : ""; }

void CSParticleSystem::PlaceFrames()
{
    world_ = local_;
    if (parent_ != nullptr) {
        RwMatrixMultiply(&world_, &local_, RwFrameGetLTM(parent_));
    }
    // Every caller holds a built system: its atomic has the frame Build gave it.
    RwFrame *frame = RpAtomicGetFrame(atomic_);
    // Following particles are emitted in the system's own space and drawn
    // through its world matrix; the others are emitted into the world.
    const bool follow = displayMode[1] == kPrtFollowEmitter;
    RwMatrix emitSpace = follow ? Identity() : world_;
    RwFrameTransform(frame, &emitSpace, rwCOMBINEREPLACE);
    RpPrtStdEmitter *emitter = Emitter();
    auto *binding = emitter != nullptr
                        ? static_cast<RpPrtStdEmitterPTank *>(RpPrtStdEmitterGetProperty(emitter, 6))
                        : nullptr;
    if (binding != nullptr && binding->pTank != nullptr) {
        if (RwFrame *tankFrame = RpAtomicGetFrame(binding->pTank)) {
            RwMatrix drawSpace = follow ? world_ : Identity();
            RwFrameTransform(tankFrame, &drawSpace, rwCOMBINEREPLACE);
        }
    }
}

void CSParticleSystem::Update(float dt)
{
    RpPrtStdEmitterStandard *s = Standard();
    if (!taken_ || s == nullptr) {
        return;
    }
    if (emitting_ && lifetime_ >= 0.0f) {
        lifetime_ -= dt;
        if (lifetime_ <= 0.0f) {
            StopEmit();
        }
    }
    int32_t emit = 0;
    if (emitting_ && rate_ > 0.0f && dt > 0.0f) {
        carry_ += rate_ * dt;
        const float whole = std::floor(carry_);
        carry_ -= whole;
        emit = static_cast<int32_t>(std::fmin(whole, 1.0e6f));
    }
    s->emtPrtEmit = emit;  // set before every update, the only time the emitter reads it
    PlaceFrames();
    RwReal step = dt;
    if (RpPrtStdAtomicUpdate(atomic_, &step) == nullptr) {
        DebugPrint("CSParticleSystem::Update: %s refused its update\n", TemplateName());
    }
    // The tank exists from the first update on; it follows the system.
    PlaceFrames();
}

void CSParticleSystem::Render()
{
    if (!taken_ || atomic_ == nullptr || ParticleCount() == 0) {
        return;
    }
    const bool late = displayMode[0] == kPrtDrawAfterWorld;
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(TRUE));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(late ? FALSE : TRUE));
    RpAtomicRender(atomic_);
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(TRUE));
}

bool CSParticleSystem::ParticlePosition(int32_t index, RwV3d *out) const
{
    RpPrtStdEmitter *emitter = Emitter();
    if (emitter == nullptr || emitter->activeBatch == nullptr || index < 0) {
        return false;
    }
    RpPrtStdParticleBatch *batch = emitter->activeBatch;
    if (index >= batch->numPrt) {
        return false;
    }
    // The templates' particles all carry their position.
    const RwInt32 offset = RpPrtStdPropertyTableGetOffset(emitter->prtClass->propTab, 1);
    const RwUInt8 *data = RpPrtStdParticleBatchGetData(batch) + index * emitter->prtClass->objSize + offset;
    RwV3d local = *reinterpret_cast<const RwV3d *>(data);
    if (displayMode[1] == kPrtFollowEmitter) {
        RwV3dTransformPoints(out, &local, 1, &world_);
    } else {
        *out = local;
    }
    return true;
}

void PlaceSystemOnFrame(CSParticleSystem *system, RwFrame *frame, bool follow, bool orient)
{
    if (system == nullptr || frame == nullptr) {
        return;
    }
    RwMatrix m;
    RwMatrixSetIdentity(&m);
    if (follow) {
        system->AttachToFrame(frame);
        if (!orient) {
            // Keep to the frame's place but not its turn: undo the turn in
            // the frame's own space.
            const RwMatrix *ltm = RwFrameGetLTM(frame);
            RwMatrix unturned = *ltm;
            unturned.pos = {0.0f, 0.0f, 0.0f};
            RwMatrixInvert(&m, &unturned);
        }
        system->SetMatrix(&m);
        return;
    }
    const RwMatrix *ltm = RwFrameGetLTM(frame);
    if (orient) {
        m = *ltm;
    } else {
        m.pos = ltm->pos;
    }
    system->SetMatrix(&m);
}
