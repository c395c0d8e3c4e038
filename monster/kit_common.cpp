// The running stage's members and the state machine's step (see kit_common.h).
#include "monster/kit_common.h"

#include <algorithm>
#include <cmath>

#include "actor/fsf.h"
#include "actor/hero.h"
#include "stage/character_params.h"
#include "stage/model_template.h"
#include "stage/sfx_manager.h"
#include "stage/stage_manager.h"

namespace monster {

CSSFXManager *Sounds() { return g_pStageManager != nullptr ? g_pStageManager->sfxManager : nullptr; }
CSMatAnimManager *MatAnims() { return g_pStageManager != nullptr ? g_pStageManager->matAnimManager : nullptr; }
CCGEManager *Effects() { return g_pStageManager != nullptr ? g_pStageManager->geManager : nullptr; }
CAiMsgPool *Messages() { return g_pStageManager != nullptr ? g_pStageManager->messagePool : nullptr; }

int32_t HeroCount()
{
    return g_pStageManager != nullptr ? std::min<int32_t>(g_pStageManager->heroCount, kMaxHeroes) : 0;
}

CSHero *Hero(int32_t index)
{
    return index >= 0 && index < HeroCount() ? g_pStageManager->heroes[index] : nullptr;
}

AiObject *FirstActor() { return g_pStageManager != nullptr ? g_pStageManager->actorHead : nullptr; }

CSClumpAnimManager *AnimationsOf(const AiObject *actor)
{
    return actor->modelTemplate != nullptr ? actor->modelTemplate->GetAnimManager() : nullptr;
}

float MotionFrameOf(const AiObject *actor)
{
    CSClumpAnimManager *animations = AnimationsOf(actor);
    RpClump *clump = actor->Clump();
    return animations != nullptr && clump != nullptr ? animations->GetMotionFrame(clump) : -1.0f;
}

const CharacterParams &ParamsOf(const AiObject *actor)
{
    static const CharacterParams kNone;
    const CharacterParams *params = actor->Params();
    return params != nullptr ? *params : kNone;
}

namespace {

int32_t Step(AiObject *actor, int32_t *next, int32_t input, bool animEnded)
{
    CFSF *fsf = actor->Fsf();
    if (fsf == nullptr) {
        return -1;
    }
    fsf->SetState(actor->state);
    *next = fsf->NextState(input, static_cast<int32_t>(animEnded));
    return *next;
}

}  // namespace

int32_t FeedInput(AiObject *actor, int32_t *next, int32_t input) { return Step(actor, next, input, actor->animEnded); }

int32_t FeedInputEnded(AiObject *actor, int32_t *next, int32_t input) { return Step(actor, next, input, true); }

void SetFrozen(AiObject *actor, bool frozen)
{
    actor->frozen = frozen;
    actor->animSpeedMode = frozen ? kAnimFrozen : kAnimNormal;
}

void PlaySound(int32_t soundId)
{
    if (CSSFXManager *sounds = Sounds()) {
        sounds->PlaySFX(soundId, 0);
    }
}

void StopSound(int32_t soundId)
{
    if (CSSFXManager *sounds = Sounds()) {
        sounds->StopSFX(soundId);
    }
}

bool IsHero(const AiObject *actor) { return actor != nullptr && IsHeroType(actor->aiType); }

float GroundDistance(const RwV3d &a, const RwV3d &b)
{
    const float dx = a.x - b.x;
    const float dz = a.z - b.z;
    return std::sqrt(dx * dx + dz * dz);
}

}  // namespace monster
