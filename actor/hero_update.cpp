// The hero's update and the stage's hero step (see hero.h).
//
// One frame: the hit counter's and the looks' timers, the animation step,
// the hits taken (messages), the pad (block [2] of the hero's pad) turned
// into an input of the state machine (or the reaction a hit demands), the
// new state entered, then what the state does: the move relative to the
// camera at the state's speed, the lunge of an attack, the weapon's hits;
// last the pick-up of drops.
//
// The pad: the left stick or the d-pad moves, square attacks (again during
// an attack: the next attack of the chain once this one ends), r1 held
// guards, circle is the action command. No play input while the hero is
// busy, held, hurt, down or dying, or while the camera is not in play.
#include <algorithm>
#include <cmath>

#include "actor/actor_pass.h"
#include "actor/actor_screen_calls.h"
#include "actor/ai_type_table.h"
#include "actor/fsf.h"
#include "actor/hero.h"
#include "app/game_system.h"
#include "app/pad_state.h"
#include "stage/stage_manager.h"

namespace {

// The input of a frame without a wish: only default transitions are taken.
constexpr int32_t kNoHeroInput = -1;
// Stick values below this count as the stick at rest.
constexpr float kStickDeadZone = 0.25f;

bool IsAttackStateId(int32_t id) { return id >= kHeroStateAttackFirst && id <= kHeroStateAttackLast; }

// States in which the pad has no say.
bool IsReactionState(int32_t id)
{
    return id == kHeroStateKnockedDown || id == kHeroStateGettingUp || id == kHeroStateHurt ||
           id == kHeroStateHeld || id == kHeroStateDying;
}

const PadState *HeroPad(const CSHero &hero)
{
    CSGameSystem *gs = g_pGameSystem;
    if (gs == nullptr || hero.padIndex < 0 || hero.padIndex >= kPadsPerBlock) {
        return nullptr;
    }
    const PadState &pad = gs->padStates[kPadStateBlock][hero.padIndex];
    return pad.connected != 0 ? &pad : nullptr;
}

bool Pressed(const PadState &pad, PadButton button) { return pad.buttons[button] == kPadPressedState; }

// The camera's forward and right on the ground plane (the main camera's
// frame; without one, the world's z and x).
void CameraGroundAxes(RwV3d *forward, RwV3d *right)
{
    *forward = {0.0f, 0.0f, 1.0f};
    *right = {-1.0f, 0.0f, 0.0f};
    CSGameSystem *gs = g_pGameSystem;
    if (gs == nullptr || gs->camera == nullptr || RwCameraGetFrame(gs->camera) == nullptr) {
        return;
    }
    const RwMatrix *m = RwFrameGetLTM(RwCameraGetFrame(gs->camera));
    const float length = std::sqrt(m->at.x * m->at.x + m->at.z * m->at.z);
    if (!(length > 1e-4f)) {
        return;  // looking straight down: keep the world's axes
    }
    *forward = {m->at.x / length, 0.0f, m->at.z / length};
    // The screen's right: the camera looks along at with the world's up above.
    *right = {-forward->z, 0.0f, forward->x};
}

// The ground direction the pad asks for (length up to 1), zero at rest.
RwV3d PadDirection(const PadState &pad)
{
    float x = pad.axes[input::kAxisLx];
    float y = pad.axes[input::kAxisLy];
    if (std::fabs(x) < kStickDeadZone) {
        x = 0.0f;
    }
    if (std::fabs(y) < kStickDeadZone) {
        y = 0.0f;
    }
    x += (PadDown(pad, kPadRight) ? 1.0f : 0.0f) - (PadDown(pad, kPadLeft) ? 1.0f : 0.0f);
    y += (PadDown(pad, kPadDown) ? 1.0f : 0.0f) - (PadDown(pad, kPadUp) ? 1.0f : 0.0f);
    RwV3d forward;
    RwV3d right;
    CameraGroundAxes(&forward, &right);
    // Stick up (y negative) is away from the camera.
    RwV3d direction = {right.x * x - forward.x * y, 0.0f, right.z * x - forward.z * y};
    const float length = std::sqrt(direction.x * direction.x + direction.z * direction.z);
    if (length > 1.0f) {
        direction.x /= length;
        direction.z /= length;
    }
    return direction;
}

bool IsZero(const RwV3d &v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

}  // namespace

int32_t CSHero::PlayerSlot(const CSStageManager &stage) const
{
    for (int32_t i = 0; i < stage.heroCount && i < kMaxHeroes; ++i) {
        if (stage.heroes[i] == this) {
            return i;
        }
    }
    return -1;
}

void CSHero::EnterState(int32_t id)
{
    PlayAnimation(id);
    CFSF *fsf = Fsf();
    hitMarkCount = 0;
    comboQueued = false;
    attacking = IsAttackStateId(id);
    state5 = id == kHeroStateGettingUp;
    guarding = id == kHeroStateGuard;
    grabbable = fsf != nullptr && fsf->GetIsGrab(id) != 0;
    hurtable = fsf == nullptr || fsf->GetIsHurt(id) != 0;
    // Other characters' charges carry a hero along unless it is dying.
    targetable = id != kHeroStateDying;
    stateEntered = true;
    if (id != kHeroStateHeld) {
        held = false;
    }
}

void CSHero::UpdateHero(CSStageManager *stage, float dt)
{
    if (removed || stage == nullptr) {
        return;
    }
    if (equipmentDirty) {
        RecomputeEquipment();
    }
    StepHitAndStatusTimers(dt);
    timeSinceHurt = std::min(timeSinceHurt + dt, 5.0f);
    if (!g_actorPassSkipsAnimation) {
        AdvanceAnimation(dt);
    }

    // The hits of the last frame (TakeHit may put the hero into a reaction state).
    while (MSGData *msg = PopMessage()) {
        if (msg->kind == kMsgHitHero) {
            TakeHit(msg->sender, msg->word[1], msg->word[2]);
        }
        FreeMessage(msg);
    }
    if (hp <= 0 && state != kHeroStateDying && !defeated) {
        dying = true;
        React(kHeroStateDying);
    }
    if (state == kHeroStateDying) {
        if (animEnded) {
            defeated = true;
        }
        return;
    }

    // The pad's wish.
    CFSF *fsf = Fsf();
    const PadState *pad = HeroPad(*this);
    const bool control = pad != nullptr && !busy && !held && stage->cameraMode == 0 && !IsReactionState(state);
    moveDirection = control ? PadDirection(*pad) : RwV3d{0.0f, 0.0f, 0.0f};
    const int32_t slot = PlayerSlot(*stage);
    if (control && Pressed(*pad, kPadCircle) && slot >= 0) {
        HeroActionCommand(slot);
    }
    int32_t input = IsZero(moveDirection) ? kHeroInputStand : kHeroInputMove;
    if (control) {
        if (IsAttackStateId(state)) {
            comboQueued = comboQueued || Pressed(*pad, kPadSquare);
            input = comboQueued && animEnded ? state + 1 : kHeroInputStand;
        } else if (Pressed(*pad, kPadSquare)) {
            input = kHeroInputAttack;
        } else if (PadDown(*pad, kPadR1)) {
            input = kHeroInputGuard;
        }
    }
    if (state == kHeroStateHeld) {
        // Held: only the grip's release (a 512 hit) ends it; its motion loops.
        if (animEnded) {
            PlayAnimation(kHeroStateHeld);
        }
    } else if (fsf != nullptr && fsf->StateCount() > 0) {
        // Reactions take no wish of the pad: their motions end by the
        // machine's default transitions.
        fsf->SetState(state);
        const int32_t next = fsf->NextState(IsReactionState(state) ? kNoHeroInput : input, animEnded ? 1 : 0);
        if (next >= 0) {
            EnterState(next);
        }
    }

    // What the state does.
    const float speed = fsf != nullptr ? fsf->GetSpeed(state) : 0.0f;
    if (state == kHeroStateMove && !IsZero(moveDirection)) {
        const float share = std::min(1.0f, std::sqrt(moveDirection.x * moveDirection.x + moveDirection.z * moveDirection.z));
        const RwV3d unit = {moveDirection.x / share, 0.0f, moveDirection.z / share};
        stage->MoveCharacter(this, unit, speed * share * dt, true);
    } else if (speed != 0.0f && state != kHeroStateMove) {
        // An attack's lunge, or a hit's push back (a negative speed).
        RwV3d facing;
        GetDirection(&facing);
        facing.y = 0.0f;
        const float length = std::sqrt(facing.x * facing.x + facing.z * facing.z);
        if (length > 1e-4f) {
            const RwV3d unit = {facing.x / length, 0.0f, facing.z / length};
            if (speed > 0.0f) {
                stage->MoveCharacter(this, unit, speed * dt, false);
            } else {
                stage->MoveCharacter(this, {-unit.x, 0.0f, -unit.z}, -speed * dt, false);
            }
        }
    }
    if (fsf != nullptr && fsf->IsAttackState(state) != 0) {
        StrikeWithWeapons(stage);
    }
    PickUpDrops(stage);
}

void HeroTypeUpdate(AiObject *actor, float dt)
{
    if (actor != nullptr && IsHeroType(actor->aiType)) {
        static_cast<CSHero *>(actor)->UpdateHero(g_pStageManager, dt);
    }
}

void HeroTypeRelease(AiObject *actor)
{
    if (actor != nullptr && IsHeroType(actor->aiType)) {
        static_cast<CSHero *>(actor)->ReleaseHero();
    }
}

void RunHeroStep(CSStageManager *stage, float dt)
{
    if (stage == nullptr || stage->actorUpdate == 0) {
        return;
    }
    for (int32_t i = 0; i < stage->heroCount && i < kMaxHeroes; ++i) {
        CSHero *hero = stage->heroes[i];
        if (hero == nullptr) {
            continue;
        }
        if (AiUpdateFn update = AiTypeUpdateOf(hero->aiType)) {
            update(hero, dt);
        }
    }
}
