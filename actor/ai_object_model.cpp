// AiObject: its template's values, its model instance, position and
// orientation, shaking, animation and the life and event operations (see
// ai_object.h).
#include <cmath>

#include "actor/ai_object.h"
#include "actor/ai_type_table.h"
#include "app/game_rand.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_manager.h"
#include "stage/model_frames.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"
#include "stage/world_queries.h"

namespace {

// Animation speed by speed mode; modes beyond the table run at normal speed.
constexpr float kAnimSpeedOfMode[] = {1.0f, 0.0f, 0.5f, 0.25f, 10.0f, 0.8f, 0.9f};

RwFrame *FrameOf(const AiObject &actor)
{
    RpClump *clump = actor.Clump();
    return clump != nullptr ? RpClumpGetFrame(clump) : nullptr;
}

RwV3d Cross(const RwV3d &a, const RwV3d &b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Length(const RwV3d &v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// `v` made unit; false (nothing written) for a zero vector.
bool Unit(const RwV3d &v, RwV3d *out)
{
    const float length = Length(v);
    if (!(length > 0.0f)) {
        return false;
    }
    *out = {v.x / length, v.y / length, v.z / length};
    return true;
}

// Writes a frame's rows: at and up made an orthonormal basis with right = up x at.
bool WriteFrame(RwFrame *frame, const RwV3d &position, const RwV3d &at, const RwV3d &up)
{
    RwV3d unitAt;
    RwV3d right;
    if (!Unit(at, &unitAt) || !Unit(Cross(up, unitAt), &right)) {
        return false;
    }
    RwMatrix *m = RwFrameGetMatrix(frame);
    m->right = right;
    m->up = Cross(unitAt, right);
    m->at = unitAt;
    m->pos = position;
    RwMatrixUpdateFlags(m, nullptr);
    RwFrameMarkDirty(frame);
    return true;
}

RpAtomic *ShowAtomic(RpAtomic *atomic, void *data)
{
    const bool on = *static_cast<const bool *>(data);
    const RwUInt8 flags = RpAtomicGetFlags(atomic);
    RpAtomicSetFlags(atomic, on ? (flags | rpATOMICRENDER) : (flags & ~rpATOMICRENDER));
    return atomic;
}

void ShowClump(RpClump *clump, bool on)
{
    RpClumpForAllAtomics(clump, ShowAtomic, &on);
}

}  // namespace

const CharacterParams *AiObject::Params() const
{
    return modelTemplate != nullptr ? &modelTemplate->params : nullptr;
}

CFSF *AiObject::Fsf() const
{
    return modelTemplate != nullptr ? &modelTemplate->fsf : nullptr;
}

RpClump *AiObject::Clump() const
{
    return model != nullptr ? model->clump : nullptr;
}

void AiObject::AddHP(int32_t amount)
{
    const CharacterParams *params = Params();
    const int64_t most = params != nullptr ? params->maxHP : hp;
    const int64_t sum = static_cast<int64_t>(hp) + amount;
    hp = static_cast<int32_t>(sum > most ? most : (sum < INT32_MIN ? INT32_MIN : sum));
}

void AiObject::AddExtraPower(int32_t amount)
{
    const CharacterParams *params = Params();
    const int64_t most = params != nullptr ? params->mExtraPower : extraPower;
    const int64_t sum = static_cast<int64_t>(extraPower) + amount;
    extraPower = static_cast<int32_t>(sum > most ? most : (sum < INT32_MIN ? INT32_MIN : sum));
}

// ---- position and orientation ----

void AiObject::GetPosition(RwV3d *out)
{
    *out = *GetPositionPtr();
}

const RwV3d *AiObject::GetPositionPtr()
{
    if (RwFrame *frame = FrameOf(*this)) {
        position = RwFrameGetMatrix(frame)->pos;
    }
    return &position;
}

void AiObject::GetDirection(RwV3d *out)
{
    if (RwFrame *frame = FrameOf(*this)) {
        at = RwFrameGetMatrix(frame)->at;
    }
    *out = at;
}

void AiObject::GetUp(RwV3d *out)
{
    if (RwFrame *frame = FrameOf(*this)) {
        up = RwFrameGetMatrix(frame)->up;
    }
    *out = up;
}

void AiObject::SetPosition(const RwV3d &where)
{
    position = where;
    if (RwFrame *frame = FrameOf(*this)) {
        RwMatrix *m = RwFrameGetMatrix(frame);
        m->pos = where;
        RwMatrixUpdateFlags(m, nullptr);
        RwFrameMarkDirty(frame);
    }
}

void AiObject::SetDirection(const RwV3d &direction)
{
    RwV3d unit;
    RwV3d right;
    if (!Unit(direction, &unit) || !Unit(Cross(up, unit), &right)) {
        return;
    }
    at = unit;
    up = Cross(unit, right);
    if (RwFrame *frame = FrameOf(*this)) {
        WriteFrame(frame, RwFrameGetMatrix(frame)->pos, at, up);
    }
}

void AiObject::Rotate(const RwV3d &axis, float degrees)
{
    // Turn the rows about the axis through the origin, the position kept;
    // a zero axis names no turn (its rows would be no numbers).
    if (axis.x == 0.0f && axis.y == 0.0f && axis.z == 0.0f) {
        return;
    }
    RwMatrix turn;
    RwMatrixSetIdentity(&turn);
    RwMatrixRotate(&turn, &axis, degrees, rwCOMBINEREPLACE);
    RwV3d rows[2] = {at, up};
    if (RwFrame *frame = FrameOf(*this)) {
        const RwMatrix *m = RwFrameGetMatrix(frame);
        rows[0] = m->at;
        rows[1] = m->up;
    }
    RwV3dTransformDirections(rows, rows, 2, &turn);
    at = rows[0];
    up = rows[1];
    if (RwFrame *frame = FrameOf(*this)) {
        WriteFrame(frame, RwFrameGetMatrix(frame)->pos, at, up);
    }
}

void AiObject::SyncFrameAxes()
{
    if (RwFrame *frame = FrameOf(*this)) {
        const RwMatrix *m = RwFrameGetMatrix(frame);
        position = m->pos;
        at = m->at;
        up = m->up;
    }
}

// ---- model ----

void AiObject::SetModelInstance(CSModelInstance *instance)
{
    if (instance == model) {
        return;
    }
    if (model != nullptr) {
        // The material animations of the actor end with its model.
        if (g_pStageManager != nullptr && g_pStageManager->matAnimManager != nullptr) {
            g_pStageManager->matAnimManager->Stop(this);
        }
        ShowClump(model->clump, false);
        CSModelTemplate::GiveBack(model);
        model = nullptr;
    }
    if (instance == nullptr) {
        return;
    }
    model = instance;
    instance->owner = this;
    instance->inUse = true;
    if (instance->clump != nullptr) {
        WriteFrame(RpClumpGetFrame(instance->clump), position, at, up);
        ShowClump(instance->clump, true);
    }
}

void AiObject::Shake(float divisor)
{
    RwFrame *frame = FrameOf(*this);
    if (frame == nullptr || !(divisor != 0.0f)) {
        return;
    }
    RwV3d where = shakeAnchor;
    if (shakePhase == 0) {
        where.x += static_cast<float>(game::Rand() % 100) / divisor;
        where.y += static_cast<float>(game::Rand() % 100) / divisor;
        where.z += static_cast<float>(game::Rand() % 100) / divisor;
    }
    shakePhase ^= 1;
    RwMatrix *m = RwFrameGetMatrix(frame);
    m->pos = where;
    RwMatrixUpdateFlags(m, nullptr);
    RwFrameMarkDirty(frame);
}

CSParticleSystem *AiObject::SpawnParticleAtFrame(const char *particleName, int32_t frameId, int32_t lookupMode,
                                                 int32_t placement, float startValue, int32_t directionFlag,
                                                 int32_t modeWord1, int32_t modeWord2)
{
    if (modelTemplate == nullptr || model == nullptr || g_pStageManager == nullptr ||
        g_pStageManager->particleManager == nullptr) {
        return nullptr;
    }
    RwFrame *frame = lookupMode == 0 ? model->GetTaggedFrame(frameId) : FindFrameByUserId(model->clump, frameId);
    if (frame == nullptr) {
        return nullptr;
    }
    CSParticleSystem *system = g_pStageManager->particleManager->CreateSystem(particleName);
    if (system == nullptr) {
        return nullptr;
    }
    system->displayMode[0] = static_cast<uint8_t>(modeWord1);
    system->displayMode[1] = static_cast<uint8_t>(modeWord2);
    PlaceSystemOnFrame(system, frame, placement != 0 || modeWord2 == kPrtFollowEmitter, directionFlag != 0);
    system->SetEmitting(true, startValue);
    return system;
}

// ---- animation ----

void AiObject::AdvanceAnimation(float dt)
{
    if (aiType >= 100 && animHold) {
        return;
    }
    const size_t mode = static_cast<size_t>(animSpeedMode);
    const float scaled = dt * (mode < std::size(kAnimSpeedOfMode) ? kAnimSpeedOfMode[mode] : 1.0f);
    animClock += scaled;
    const MotionRange *range = modelTemplate != nullptr ? modelTemplate->GetMotionRange(state) : nullptr;
    // A state without a motion has nothing to wait for.
    animEnded = range == nullptr || animClock * kAnimFramesPerSecond >= static_cast<float>(range->endFrame);
    RpClump *clump = Clump();
    CSClumpAnimManager *animations = modelTemplate != nullptr ? modelTemplate->GetAnimManager() : nullptr;
    if (clump != nullptr && animations != nullptr) {
        animations->UpdateClump(clump, scaled);
    }
}

void AiObject::PlayAnimation(int32_t index)
{
    state = index;
    const MotionRange *range = modelTemplate != nullptr ? modelTemplate->GetMotionRange(index) : nullptr;
    animClock = range != nullptr ? static_cast<float>(range->startFrame) * kSecondsPerAnimFrame : 0.0f;
    animEnded = false;
    RpClump *clump = Clump();
    CSClumpAnimManager *animations = modelTemplate != nullptr ? modelTemplate->GetAnimManager() : nullptr;
    if (clump != nullptr && animations != nullptr && animations->ChangeMotion(clump, index, 0.0f)) {
        animations->SetMotionTime(clump, animClock);
    }
}

// ---- life and events ----

void AiObject::ReleaseTypeEffects()
{
    const AiTypeInfo *row = FindAiType(aiType);
    if (row != nullptr && row->restartEffects != nullptr) {
        row->restartEffects(this);
    }
}

void AiObject::Remove()
{
    hp = 0;
    SetModelInstance(nullptr);
    removed = true;
}

void AiObject::RemoveUnlessHeld()
{
    if (aiType == 112) {
        busy = true;
    } else {
        Remove();
    }
}

void AiObject::Appear()
{
    isRender = 1;
    appear = 1;
    if (model != nullptr || g_pStageManager == nullptr) {
        return;
    }
    CSModelInstance *instance = g_pStageManager->TakeModelInstance(aiType, this);
    if (instance == nullptr) {
        return;
    }
    active = true;
    SetModelInstance(instance);
    if (g_pStageManager->world != nullptr) {
        SnapToGround(g_pStageManager->world, Clump(), 2);
        SyncFrameAxes();
    }
    eventModel = true;
}

void AiObject::ReturnToNormal()
{
    eventHeld = false;
    eventModel = false;
    holdState = false;
    appear = 0;
}

void AiObject::Release()
{
    SetModelInstance(nullptr);
    ClearMessages();
    ForgetActors();
}

void AiObject::ForgetActors()
{
    target = nullptr;
    foes[0] = foes[1] = nullptr;
    foeCount = 0;
    lastAttacker = nullptr;
    lastHitter = nullptr;
    hitSender = nullptr;
    for (TouchedEntry &entry : touched) {
        entry = TouchedEntry{0, 0, nullptr};
    }
    touchedCount = 0;
}
