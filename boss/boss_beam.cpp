// The bosses' beams (see boss_beam.h).
#include "boss/boss_beam.h"

#include <cmath>

#include "boss/boss_frame.h"
#include "fx/particle_manager.h"
#include "fx/particle_system.h"
#include "monster/kit_combat.h"
#include "stage/model_frames.h"
#include "stage/stage_manager.h"

namespace boss {

namespace {

constexpr int32_t kFoeFrame = 100090;
constexpr float kStraightCosine = 0.99f;
constexpr float kDegreesPerRadian = 57.29578f;

}  // namespace

RwV3d BeamTargetOf(AiObject *foe) { return FramePositionOr(foe, kFoeFrame); }

BeamPlacement PlaceBeam(const RwV3d &from, const RwV3d &to)
{
    BeamPlacement placement;
    RwMatrixSetIdentity(&placement.world);
    const RwV3d line = V3Sub(to, from);
    const float distance = V3Length(line);
    placement.halfLength = distance * 0.5f;
    if (distance > 0.0f) {
        const RwV3d direction = V3Scale(line, 1.0f / distance);
        const RwV3d up = {0.0f, 1.0f, 0.0f};
        const float cosine = V3Dot(up, direction);
        if (cosine < kStraightCosine && cosine > -kStraightCosine) {
            const RwV3d axis = V3Normalized(V3Cross(up, direction), {1.0f, 0.0f, 0.0f});
            RwMatrixRotate(&placement.world, &axis, std::acos(cosine) * kDegreesPerRadian, rwCOMBINEREPLACE);
        }
        placement.world.pos = V3Add(from, V3Scale(direction, placement.halfLength));
    } else {
        placement.world.pos = from;
    }
    return placement;
}

void StepBeam(AiObject *boss, BossBeam *beam, bool inState, const char *particle, int32_t weaponId)
{
    if (!inState) {
        LetGoOfBeam(beam);
        beam->laid = false;
        return;
    }
    if (beam->laid || boss->model == nullptr || boss->target == nullptr) {
        return;
    }
    CSParticleManager *particles = g_pStageManager != nullptr ? g_pStageManager->particleManager : nullptr;
    RwFrame *weapon = FindFrameByUserId(boss->Clump(), weaponId);
    if (particles == nullptr || weapon == nullptr) {
        return;
    }
    beam->laid = true;
    CSParticleSystem *system = particles->CreateSystem(particle);
    if (system == nullptr) {
        return;
    }
    const RwMatrix *weaponMatrix = RwFrameGetLTM(weapon);
    const BeamPlacement placement = PlaceBeam(weaponMatrix->pos, BeamTargetOf(boss->target));
    // Following the weapon, the system's matrix is taken in the weapon's frame.
    RwMatrix inverse;
    RwMatrix local;
    RwMatrixInvert(&inverse, weaponMatrix);
    RwMatrixMultiply(&local, &placement.world, &inverse);
    system->displayMode[0] = kPrtDrawAfterWorld;
    system->displayMode[1] = kPrtFollowEmitter;
    system->AttachToFrame(weapon);
    system->SetMatrix(&local);
    system->SetEmitSize(0.0f, placement.halfLength, 0.0f);
    system->SetEmitting(true, 1.0f);
    beam->system = system;
}

void LetGoOfBeam(BossBeam *beam) { monster::LetGoOfSystem(&beam->system); }

void GiveBackBeam(BossBeam *beam) { monster::GiveBackSystemNow(&beam->system); }

}  // namespace boss
