// The effects' links to the running game (see fx_stage_links.h).
#include "fx/fx_stage_links.h"

#include "actor/ai_msg_pool.h"
#include "actor/hero.h"
#include "fx/fx_links.h"
#include "stage/model_frames.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"

namespace {

CSStageManager *Stage() { return g_pStageManager; }

int32_t HeroCount() { return Stage() != nullptr ? Stage()->heroCount : 0; }

AiObject *Hero(int32_t index)
{
    CSStageManager *stage = Stage();
    return stage != nullptr && index >= 0 && index < stage->heroCount && index < kMaxHeroes ? stage->heroes[index]
                                                                                          : nullptr;
}

// A hero's earnings in the running stage: the ranking pays them out into
// its money when the stage ends, so a piece counts once.
void AddStageEarnings(AiObject *hero, int32_t amount)
{
    if (hero != nullptr && IsHeroType(hero->aiType)) {
        static_cast<CSHero *>(hero)->stageMoney += amount;
    }
}

bool Position(AiObject *actor, RwV3d *out)
{
    actor->GetPosition(out);
    return true;
}

RwFrame *FrameById(AiObject *actor, int32_t id)
{
    RpClump *clump = actor->Clump();
    return clump != nullptr ? FindFrameByUserId(clump, id) : nullptr;
}

RwFrame *RootFrame(AiObject *actor)
{
    RpClump *clump = actor->Clump();
    return clump != nullptr ? RpClumpGetFrame(clump) : nullptr;
}

void Post(int32_t kind, AiObject *sender, AiObject *target, int32_t w0, int32_t w1, int32_t w2)
{
    if (Stage() != nullptr && Stage()->messagePool != nullptr) {
        Stage()->messagePool->Post(kind, sender, target, w0, w1, w2);
    }
}

}  // namespace

void ConnectFxLinksToGame()
{
    FxLinks &l = g_fxLinks;
    l.heroCount = HeroCount;
    l.hero = Hero;
    l.addStageEarnings = AddStageEarnings;
    l.firstActor = [] { return Stage() != nullptr ? Stage()->actorHead : nullptr; };
    l.nextActor = [](AiObject *actor) { return actor->next; };
    l.aiType = [](AiObject *actor) { return actor->aiType; };
    l.aiId = [](AiObject *actor) { return actor->aiId; };
    l.isRemoved = [](AiObject *actor) { return actor->removed; };
    l.position = Position;
    l.frameById = FrameById;
    l.rootFrame = RootFrame;
    l.post = Post;
    l.stageId = [] { return Stage() != nullptr ? Stage()->stageId : 0; };
    // Sounds, the event manager and the screen manager join when they exist.
}
