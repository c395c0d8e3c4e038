// The effects' links to the running game (see fx_stage_links.h).
#include "fx/fx_stage_links.h"

#include <cstdio>

#include "actor/ai_msg_pool.h"
#include "actor/hero.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "fx/fx_links.h"
#include "fx/ge_manager.h"
#include "fx/stage_dyn_effects.h"
#include "stage/model_frames.h"
#include "stage/model_template.h"
#include "stage/sfx_manager.h"
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
    l.post = Post;
    l.stageId = [] { return Stage() != nullptr ? Stage()->stageId : 0; };
    l.playSound = [](int32_t soundId) {
        if (Stage() != nullptr && Stage()->sfxManager != nullptr) {
            Stage()->sfxManager->PlaySFX(soundId, 0);
        }
    };
    l.eventOccurred = [](int32_t eventId) {
        return Stage() != nullptr && Stage()->eventManager != nullptr && Stage()->eventManager->HasEventOccurred(eventId);
    };
    // The screen manager's money display joins when it exists.
}

namespace {

CSStageDynEffects *DynEffects() { return Stage() != nullptr ? Stage()->dynEffects : nullptr; }

}  // namespace

void ConnectEventEffectLinks()
{
    EventLinks &l = g_eventLinks;
    l.takeDynSlot = [](int32_t pieceKind) {
        CSStageDynEffects *set = DynEffects();
        if (set == nullptr) {
            return -1;
        }
        char path[64];
        std::snprintf(path, sizeof path, "\\RESOURCE\\FX\\XDT\\%d.XDT", pieceKind);
        return set->Take(path, path);
    };
    l.placeDynSlot = [](int32_t slot, const RwV3d &position) {
        if (CSStageDynEffects *set = DynEffects()) {
            set->Place(slot, position);
        }
    };
    l.setDynValues = [](int32_t slot, const float values[5], int32_t middle, int32_t low, int32_t count) {
        CSStageDynEffects *set = DynEffects();
        if (StageDynEntry *entry = set != nullptr ? set->Entry(slot) : nullptr) {
            const float six[6] = {values[0], values[1], values[2], values[3], values[4], static_cast<float>(count)};
            set->SetValues(slot, six);
            entry->middle = middle;
            entry->low = low;
        }
    };
    l.showDynSlot = [](int32_t slot, bool first, bool second) {
        if (CSStageDynEffects *set = DynEffects()) {
            set->ShowModels(slot, first, second);
        }
    };
    l.freeDynSlot = [](int32_t slot) {
        if (CSStageDynEffects *set = DynEffects()) {
            set->Free(slot);
        }
    };
    l.startVines = [](const RwV3d &centre) {
        if (Stage() != nullptr && Stage()->geManager != nullptr && Stage()->geManager->vines != nullptr) {
            Stage()->geManager->vines->Start(centre);
        }
    };
    // The vine pool steps with the general-effects manager once a frame;
    // the hazard's own call would step it twice.
    l.updateVines = [](float) {};
    l.turnDynSlot = [](int32_t slot, float degrees) {
        CSStageDynEffects *set = DynEffects();
        StageDynEntry *entry = set != nullptr ? set->Entry(slot) : nullptr;
        if (entry == nullptr) {
            return;
        }
        RwMatrix turn;
        RwMatrixSetIdentity(&turn);
        const RwV3d up = {0.0f, 1.0f, 0.0f};
        RwMatrixRotate(&turn, &up, degrees, rwCOMBINEREPLACE);
        turn.pos = entry->position;
        for (CSXdtModel &model : entry->models) {
            model.SetMatrix(&turn);
        }
    };
    l.startEffectBurst = [](const RwV3d &position) {
        CSEffect3507200 *pool = Stage() != nullptr && Stage()->geManager != nullptr ? Stage()->geManager->effect3507200
                                                                                    : nullptr;
        const int32_t entry = pool != nullptr ? pool->FindFree() : -1;
        if (entry < 0 || !pool->SetActive(entry, true)) {
            return false;
        }
        pool->Start(entry, position);
        return true;
    };
    l.startStarEffect = [](const RwV3d &position) {
        CCGEManager *ge = Stage() != nullptr ? Stage()->geManager : nullptr;
        return ge != nullptr && ge->sStarEff != nullptr && ge->sStarEff->Start(position);
    };
    l.starEffectOn = [](bool on) {
        CCGEManager *ge = Stage() != nullptr ? Stage()->geManager : nullptr;
        if (ge != nullptr && ge->sStarEff != nullptr) {
            ge->sStarEff->SetOn(on);
        }
    };
    l.startDownHit = [](const RwV3d &position) {
        CCGEManager *ge = Stage() != nullptr ? Stage()->geManager : nullptr;
        return ge != nullptr && ge->downHit != nullptr && ge->downHit->Start(position);
    };
    l.startExplosion = [](const RwV3d &position) {
        CCGEManager *ge = Stage() != nullptr ? Stage()->geManager : nullptr;
        if (ge != nullptr && ge->explosion != nullptr) {
            ge->explosion->Start(position);
        }
    };
}
