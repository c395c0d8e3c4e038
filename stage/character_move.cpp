// Character moves on the stage record: the body sphere against the world,
// the wall clump and the other actors, keeping to the ground and turning to
// face the motion (see stage_manager.h).
#include <cmath>

#include "actor/ai_object.h"
#include "app/game_system.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"
#include "stage/v3.h"
#include "stage/world_queries.h"

namespace {

// A dot product of the facing and the motion below this turns half around.
constexpr float kNearlyOpposite = -0.99f;

struct Body {
    RwV3d centre;
    float radius;
};

// The body sphere rests on the character's position.
Body BodyOf(AiObject *actor)
{
    const CharacterParams *params = actor->Params();
    const float radius = params != nullptr ? params->radius : 0.0f;
    const RwV3d &at = *actor->GetPositionPtr();
    return {{at.x, at.y + radius, at.z}, radius};
}

bool Blocks(const AiObject *mover, const AiObject *other)
{
    return other != mover && !other->removed && other->solid && !other->nonBlocking && other->model != nullptr;
}

// The game system's move-collision switch (a hero walks through walls
// while it is off).
bool HeroMoveCollisionOn()
{
    return g_pGameSystem == nullptr || g_pGameSystem->moveCollision != 0;
}

bool MeetsWorld(const AiObject *actor)
{
    return !IsHeroType(actor->aiType) || HeroMoveCollisionOn();
}


float Length(const RwV3d &v)
{
    return std::sqrt(V3Dot(v, v));
}

// The fraction of `move` the sphere A travels before it touches sphere B
// (moving into it); 1 when it never does. A sphere already overlapping B
// may move away or along, not further in.
float SweepSpheres(const Body &a, const RwV3d &move, const Body &b)
{
    const RwV3d d = {a.centre.x - b.centre.x, a.centre.y - b.centre.y, a.centre.z - b.centre.z};
    const float reach = a.radius + b.radius;
    const float approach = V3Dot(move, d);  // negative when moving toward B
    if (!(approach < 0.0f)) {
        return 1.0f;
    }
    const float c = V3Dot(d, d) - reach * reach;
    if (c <= 0.0f) {
        return 0.0f;
    }
    const float m2 = V3Dot(move, move);
    const float disc = approach * approach - m2 * c;
    if (disc < 0.0f) {
        return 1.0f;
    }
    // Apart and closing, the nearer root lies ahead (at 0 or later).
    return std::fmin(1.0f, (-approach - std::sqrt(disc)) / m2);
}

// The move clipped against the world and the wall clump.
RwV3d ClipAgainstWorld(const CSStageManager &stage, const AiObject *actor, const Body &body, RwV3d move)
{
    if (!MeetsWorld(actor)) {
        return move;
    }
    if (stage.world != nullptr) {
        MoveAgainstWorld(stage.world, body.centre, body.radius, &move, kMoveSlide);
    }
    if (stage.wallClump != nullptr) {
        MoveAgainstClump(stage.wallClump, body.centre, body.radius, &move, kMoveSlide);
    }
    return move;
}

// The move cut where the body first touches another actor's.
RwV3d ClipAgainstActors(const CSStageManager &stage, AiObject *mover, const Body &body, RwV3d move)
{
    const float length = Length(move);
    if (!(length > 0.0f)) {
        return move;
    }
    float first = 1.0f;
    for (AiObject *other = stage.actorHead; other != nullptr; other = other->next) {
        if (Blocks(mover, other)) {
            first = std::fmin(first, SweepSpheres(body, move, BodyOf(other)));
        }
    }
    if (first >= 1.0f) {
        return move;
    }
    // Stop a hair short of the contact so the spheres never overlap.
    const float travel = std::fmax(0.0f, first * length - kContactSkin);
    const float scale = travel / length;
    return {move.x * scale, move.y * scale, move.z * scale};
}

// Whether the body, moved by `move`, ends overlapping an actor it came closer to.
bool EndsInAnotherActor(const CSStageManager &stage, AiObject *mover, const Body &body, const RwV3d &move)
{
    const RwV3d end = {body.centre.x + move.x, body.centre.y + move.y, body.centre.z + move.z};
    for (AiObject *other = stage.actorHead; other != nullptr; other = other->next) {
        if (!Blocks(mover, other)) {
            continue;
        }
        const Body o = BodyOf(other);
        const RwV3d before = {body.centre.x - o.centre.x, body.centre.y - o.centre.y, body.centre.z - o.centre.z};
        const RwV3d after = {end.x - o.centre.x, end.y - o.centre.y, end.z - o.centre.z};
        const float reach = body.radius + o.radius;
        if (V3Dot(after, after) < reach * reach && V3Dot(after, after) < V3Dot(before, before)) {
            return true;
        }
    }
    return false;
}

// Puts the character at its new place, on the ground, facing its motion.
bool Finish(const CSStageManager &stage, AiObject *actor, const RwV3d &move, const RwV3d &direction, bool turn)
{
    const bool moved = Length(move) > 0.0f;
    if (moved) {
        const RwV3d &from = *actor->GetPositionPtr();
        actor->SetPosition({from.x + move.x, from.y + move.y, from.z + move.z});
        if (stage.world != nullptr) {
            if (RpClump *clump = actor->Clump()) {
                SnapToGround(stage.world, clump, 2);
                actor->GetPositionPtr();
            } else {
                RwReal height = 0.0f;
                if (FindGroundHeight(stage.world, actor->position, &height)) {
                    actor->SetPosition({actor->position.x, height, actor->position.z});
                }
            }
        }
    }
    RwV3d facing;
    actor->GetDirection(&facing);
    const RwV3d flat = {direction.x, 0.0f, direction.z};
    const float flatLength = Length(flat);
    if (turn && flatLength > 0.0f) {
        const RwV3d unit = {flat.x / flatLength, 0.0f, flat.z / flatLength};
        if (V3Dot(facing, unit) < kNearlyOpposite) {
            RwV3d up;
            actor->GetUp(&up);
            actor->Rotate(up, 180.0f);
        } else {
            actor->SetDirection(unit);
        }
    }
    return moved;
}

}  // namespace

float CSStageManager::ProbeCharacterMove(AiObject *character, const RwV3d &direction, float distance)
{
    const Body body = BodyOf(character);
    RwV3d move = {direction.x * distance, direction.y * distance, direction.z * distance};
    move = ClipAgainstWorld(*this, character, body, move);
    move = ClipAgainstActors(*this, character, body, move);
    return Length(move);
}

bool CSStageManager::MoveCharacter(AiObject *character, const RwV3d &direction, float distance, bool turn)
{
    const Body body = BodyOf(character);
    RwV3d move = {direction.x * distance, direction.y * distance, direction.z * distance};
    move = ClipAgainstWorld(*this, character, body, move);
    move = ClipAgainstActors(*this, character, body, move);
    return Finish(*this, character, move, direction, turn);
}

bool CSStageManager::MoveCharacterSimple(AiObject *character, const RwV3d &direction, float distance, bool turn)
{
    const Body body = BodyOf(character);
    RwV3d move = {direction.x * distance, direction.y * distance, direction.z * distance};
    move = ClipAgainstWorld(*this, character, body, move);
    if (EndsInAnotherActor(*this, character, body, move)) {
        move = {0.0f, 0.0f, 0.0f};
    }
    return Finish(*this, character, move, direction, turn);
}

AiObject *CSStageManager::FindAiObjectById(int32_t aiId) const
{
    for (AiObject *actor = actorHead; actor != nullptr; actor = actor->next) {
        if (actor->aiId == aiId) {
            return actor;
        }
    }
    return nullptr;
}
