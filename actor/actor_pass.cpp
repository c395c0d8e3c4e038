// The actor pass (see actor_pass.h).
#include "actor/actor_pass.h"

#include "actor/ai_msg_pool.h"
#include "actor/hero.h"
#include "actor/sensing.h"
#include "app/trace.h"
#include "rpcollis.h"
#include "stage/model_frames.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"

bool g_actorPassSkipsAnimation = false;

static_assert(kMaxHeroes <= kSensedHeroes, "each hero of the list keeps its sensing bits");

namespace {

// The point the view test looks at: the middle of the body sphere.
RwV3d BodyCentre(AiObject *actor)
{
    const CharacterParams *params = actor->Params();
    const RwV3d &at = *actor->GetPositionPtr();
    return {at.x, at.y + (params != nullptr ? params->radius : 0.0f), at.z};
}

RpCollisionTriangle *StopAtFirst(RpIntersection *, RpWorldSector *, RpCollisionTriangle *triangle, RwReal,
                                 void *data)
{
    *static_cast<bool *>(data) = true;
    (void)triangle;
    return nullptr;
}

// Sensing for one actor: the view test and its drawn flag, then the bits
// from the heroes, posted as a kind-3 message.
void Sense(CSStageManager *stage, AiObject *actor, const ActorFrame &frame)
{
    if (actor->removed || IsHeroType(actor->aiType)) {
        return;
    }
    const RwV3d where = *actor->GetPositionPtr();
    if (!WithinSensingDistance(where, frame.camera)) {
        actor->drawn = false;
        return;
    }
    const bool viewTested = stage->world != nullptr;
    actor->drawn = !LineOfSightBlocked(stage->world, frame.camera, BodyCentre(actor));

    SensingRanges ranges;
    if (const CharacterParams *params = actor->Params()) {
        ranges.searchRange = params->searchRange;
        ranges.attackRange = params->attackRange;
        ranges.alarmCircle = params->alarmCircle;
    }
    const Territory *area = stage->FindTerritory(actor->territory);
    ranges.hasTerritory = area != nullptr;
    SensingHero heroes[kMaxHeroes];
    int count = 0;
    for (int i = 0; i < stage->heroCount && i < kMaxHeroes; ++i) {
        CSHero *hero = stage->heroes[i];
        if (hero == nullptr) {
            continue;
        }
        SensingHero &seen = heroes[count++];
        seen.position = *hero->GetPositionPtr();
        seen.insideTerritory = area != nullptr && IsInsideTerritory(*area, seen.position);
        seen.test = SensingTestOf(*actor, *hero);
        seen.lastBits = actor->sensedHeroBits[i];
    }
    const int32_t bits = SensingBits(where, ranges, heroes, count, viewTested, CountsAsInView(*actor));
    count = 0;
    for (int i = 0; i < stage->heroCount && i < kMaxHeroes; ++i) {
        if (stage->heroes[i] != nullptr) {
            actor->sensedHeroBits[i] = heroes[count++].lastBits;
        }
    }
    if (stage->messagePool != nullptr) {
        stage->messagePool->Post(kMsgSensing, nullptr, actor, bits, 0, 0);
    }
}

}  // namespace

ActorFrame MakeActorFrame(CSStageManager *stage, RwCamera *camera)
{
    ActorFrame frame;
    if (camera != nullptr && RwCameraGetFrame(camera) != nullptr) {
        frame.camera = RwFrameGetLTM(RwCameraGetFrame(camera))->pos;
    }
    frame.focus = frame.camera;
    if (stage->heroCount > 0 && stage->heroes[0] != nullptr) {
        frame.focus = *stage->heroes[0]->GetPositionPtr();
    }
    frame.radii = ThinRadii{stage->thinRadius[0], stage->thinRadius[1], stage->thinRadius[2], stage->farDistance};
    frame.cameraMode = stage->cameraMode;
    return frame;
}

bool LineOfSightBlocked(RpWorld *world, const RwV3d &from, const RwV3d &to)
{
    if (world == nullptr) {
        return false;
    }
    RpIntersection line;
    line.type = rpINTERSECTLINE;
    line.t.line.start = from;
    line.t.line.end = to;
    bool blocked = false;
    RpCollisionWorldForAllIntersections(world, &line, StopAtFirst, &blocked);
    return blocked;
}

// The frozen pass: only the actors a scene waits for run, and the
// messages that hold them are delivered.
static void RunSceneActors(CSStageManager *stage, float dt, const ActorFrame &frame)
{
    bool any = false;
    for (AiObject *actor = stage->actorHead; actor != nullptr; actor = actor->next) {
        if (actor->sceneActor && !actor->removed && !IsHeroType(actor->aiType)) {
            if (!g_actorPassSkipsAnimation) {
                actor->AdvanceAnimation(dt);
            }
            actor->Update(dt, frame);
            any = true;
        }
    }
    if (any && stage->messagePool != nullptr) {
        stage->messagePool->Deliver(stage->cameraMode);
    }
}

void RunActorPass(CSStageManager *stage, float dt, const ActorFrame &frame)
{
    if (stage->actorUpdate == 0) {
        RunSceneActors(stage, dt, frame);
        return;
    }
    for (AiObject *actor = stage->actorHead; actor != nullptr; actor = actor->next) {
        if (IsHeroType(actor->aiType)) {
            continue;  // the stage's hero step updates the heroes
        }
        if (!g_actorPassSkipsAnimation && !actor->removed) {
            actor->AdvanceAnimation(dt);
        }
        actor->Update(dt, frame);
    }
    for (AiObject *actor = stage->actorHead; actor != nullptr; actor = actor->next) {
        Sense(stage, actor, frame);
    }
    if (stage->messagePool != nullptr) {
        stage->messagePool->Deliver(stage->cameraMode);
    }
    if (game::TraceOn()) {
        TraceActors(*stage);
    }
}

void TraceActors(const CSStageManager &stage)
{
    for (AiObject *actor = stage.actorHead; actor != nullptr; actor = actor->next) {
        const RwV3d &at = *actor->GetPositionPtr();
        game::TraceLine("actor")
            .Int(actor->aiId)
            .Int(actor->aiType)
            .Int(actor->state)
            .Int(actor->hp)
            .Real(at.x)
            .Real(at.y)
            .Real(at.z)
            .Int(actor->removed ? 1 : 0);
        if (game::TracePosesOn() && actor->Clump() != nullptr) {
            game::TraceLine("pose").Int(actor->aiId).Int(ClumpPoseChecksum(actor->Clump()));
        }
    }
    for (int i = 0; i < stage.heroCount && i < kMaxHeroes; ++i) {
        const CSHero *hero = stage.heroes[i];
        if (hero != nullptr) {
            game::TraceLine("hero")
                .Int(hero->aiId)
                .Int(hero->money)
                .Int(hero->stageMoney)
                .Int(hero->experience)
                .Int(hero->killCount)
                .Int(hero->hp)
                .Int(hero->power);
        }
    }
}
