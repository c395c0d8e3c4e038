// Making and freeing the stage's actors (see actor_placement.h).
#include "actor/actor_placement.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "actor/ai_msg_pool.h"
#include "actor/ai_object.h"
#include "actor/ai_type_table.h"
#include "app/debug.h"
#include "app/memory.h"
#include "stage/ai_placement.h"
#include "stage/model_files.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"

namespace {

RwV3d UnitOr(const RwV3d &v, const RwV3d &fallback)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0.0f)) {
        return fallback;
    }
    return {v.x / length, v.y / length, v.z / length};
}

// Whether the loader makes an actor of this placement.
bool IsPlaceable(const AiPlacement &placement)
{
    const AiTypeInfo *row = FindAiType(placement.aiType);
    return !IsHeroType(placement.aiType) && row != nullptr && row->construct != nullptr;
}

// The stage's template of an AI type wearing a model, null when none.
CSModelTemplate *FindTemplate(CSStageManager *stage, int32_t aiType, const ModelName &model)
{
    for (const std::unique_ptr<CSModelTemplate> &candidate : stage->modelTemplates) {
        if (candidate != nullptr && candidate->GetAiType() == aiType && candidate->modelFolder == model.folder &&
            candidate->GetModelId() == model.id) {
            return candidate.get();
        }
    }
    return nullptr;
}

// The template of the placement: the model it wears (its `Model:`, else its type's).
CSModelTemplate *TemplateOf(CSStageManager *stage, const AiPlacement &placement)
{
    ModelName model;
    if (!ModelOfPlacement(placement, &model)) {
        return nullptr;
    }
    return FindTemplate(stage, placement.aiType, model);
}

}  // namespace

AiObject *CreateActor(int32_t aiType, int32_t aiId)
{
    const AiTypeInfo *row = FindAiType(aiType);
    if (row == nullptr || row->construct == nullptr) {
        DebugPrint("The 'AIType' of AIID %d hasn't found\n", aiId);
        return nullptr;
    }
    AiObject *actor = row->construct(zuMalloc(row->objectSize));
    actor->aiType = aiType;
    actor->side = SideOfAiType(aiType);
    actor->aiId = aiId;
    return actor;
}

void DestroyActor(AiObject *actor)
{
    if (actor == nullptr) {
        return;
    }
    const AiTypeInfo *row = FindAiType(actor->aiType);
    if (row != nullptr && row->release != nullptr) {
        row->release(actor);
    } else {
        actor->Release();
    }
    // Actor classes are trivially destructible (ConstructActor checks it).
    zuFree(actor);
}

void LinkActor(CSStageManager *stage, AiObject *actor)
{
    actor->next = nullptr;
    AiObject **link = &stage->actorHead;
    while (*link != nullptr) {
        link = &(*link)->next;
    }
    *link = actor;
}

void ApplyPlacement(CSStageManager *stage, AiObject *actor, const AiPlacement &placement)
{
    actor->aiType = placement.aiType;
    actor->side = SideOfAiType(placement.aiType);
    actor->aiId = placement.aiId;
    actor->eventId = placement.eventId;
    actor->isRender = placement.isRender;
    actor->itemType = placement.itemType;
    actor->territory = placement.territory;
    actor->initState = placement.initState;
    actor->home = placement.position;
    actor->position = placement.position;
    actor->up = UnitOr(placement.up, {0.0f, 1.0f, 0.0f});
    actor->at = UnitOr(placement.lookAt, {0.0f, 0.0f, 1.0f});
    actor->healthBar = placement.aiType >= 1000 && placement.aiType <= 9999;
    actor->modelTemplate = TemplateOf(stage, placement);
    actor->state = placement.initState;
    if (const CharacterParams *params = actor->Params()) {
        actor->hp = params->maxHP;
        actor->resistance = params->defAttribute;
    }
    const MotionRange *range =
        actor->modelTemplate != nullptr ? actor->modelTemplate->GetMotionRange(actor->state) : nullptr;
    actor->animClock = range != nullptr ? static_cast<float>(range->startFrame) * kSecondsPerAnimFrame : 0.0f;
    // An actor bound to an event waits for the event to show it, unless it
    // is shown by view (IsRender): its own sensing gives the model back
    // whenever it leaves view.
    if ((placement.eventId != 0 && placement.isRender == 0) || actor->modelTemplate == nullptr) {
        return;
    }
    if (CSModelInstance *instance = stage->TakeModelInstance(actor->aiType, actor)) {
        actor->active = true;
        actor->SetModelInstance(instance);
        CSClumpAnimManager *animations = actor->modelTemplate->GetAnimManager();
        if (animations != nullptr && animations->ChangeMotion(instance->clump, actor->state, 0.0f)) {
            animations->SetMotionTime(instance->clump, actor->animClock);
        }
    }
}

bool LoadPlacedModels(CSStageManager *stage)
{
    // How many placed actors wear each model.
    struct Need {
        int32_t aiType;
        ModelName model;
        int32_t count;
    };
    std::vector<Need> needs;
    for (const AiPlacement &placement : stage->placements) {
        ModelName model;
        if (!IsPlaceable(placement) || !ModelOfPlacement(placement, &model)) {
            continue;
        }
        bool counted = false;
        for (Need &need : needs) {
            if (need.aiType == placement.aiType && need.model.folder == model.folder && need.model.id == model.id) {
                need.count += 1;
                counted = true;
            }
        }
        if (!counted) {
            needs.push_back({placement.aiType, model, 1});
        }
    }
    for (const Need &need : needs) {
        if (FindTemplate(stage, need.aiType, need.model) != nullptr) {
            continue;
        }
        auto loaded = std::make_unique<CSModelTemplate>();
        if (!loaded->Load(need.aiType, need.model.folder, need.model.id.c_str(), stage->actorAnimations.get(),
                          need.count)) {
            return false;
        }
        stage->modelTemplates.push_back(std::move(loaded));
    }
    return true;
}

int32_t CreatePlacedActors(CSStageManager *stage)
{
    int32_t created = 0;
    for (const AiPlacement &placement : stage->placements) {
        if (!IsPlaceable(placement)) {
            // Heroes come with the hero placement; other types have no entry.
            DebugPrint("The 'AIType' of AIID %d hasn't found\n", placement.aiId);
            continue;
        }
        AiObject *actor = CreateActor(placement.aiType, placement.aiId);
        if (actor == nullptr) {
            continue;
        }
        ApplyPlacement(stage, actor, placement);
        LinkActor(stage, actor);
        ++created;
    }
    return created;
}

void ReleasePlacedActors(CSStageManager *stage)
{
    // No message may name an actor once it is freed.
    if (stage->messagePool != nullptr) {
        stage->messagePool->Clear();
    }
    AiObject *heroes = nullptr;
    AiObject **heroTail = &heroes;
    AiObject *actor = stage->actorHead;
    stage->actorHead = nullptr;
    while (actor != nullptr) {
        AiObject *next = actor->next;
        if (IsHeroType(actor->aiType)) {
            actor->ForgetActors();
            actor->ClearMessages();
            actor->next = nullptr;
            *heroTail = actor;
            heroTail = &actor->next;
        } else {
            DestroyActor(actor);
        }
        actor = next;
    }
    stage->actorHead = heroes;
    for (int i = 0; i < stage->heroCount && i < kMaxHeroes; ++i) {
        if (AiObject *hero = reinterpret_cast<AiObject *>(stage->heroes[i])) {
            hero->ForgetActors();
            hero->ClearMessages();
        }
    }
}
