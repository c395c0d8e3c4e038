// The stage manager's parts made once per run, and the heroes (see
// stage_manager.h). Each part is made by the first call; later calls do
// nothing. The parts of other areas of the game join here as they come.
#include <string>

#include "actor/actor_placement.h"
#include "actor/ai_msg_pool.h"
#include "actor/hero.h"
#include "actor/item_manager.h"
#include "actor/item_stage.h"
#include "app/pack.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/event_stage_links.h"
#include "event/scene_stage_links.h"
#include "stage/sfx_manager.h"
#include "fx/stage_effects.h"
#include "stage/stage_manager.h"
#include "stage/stage_screen_calls.h"

namespace {

constexpr const char *kEventsPack = "\\PACK\\EVENT\\EVENT.STR";

// \PACK\HERO\HERO01.STR for hero 0.
std::string HeroPackPath(int32_t hero) { return "\\PACK\\HERO\\HERO0" + std::to_string(hero + 1) + ".STR"; }

// Takes `actor` out of the chain when it is in it.
void Unlink(CSStageManager *stage, AiObject *actor)
{
    for (AiObject **link = &stage->actorHead; *link != nullptr; link = &(*link)->next) {
        if (*link == actor) {
            *link = actor->next;
            actor->next = nullptr;
            return;
        }
    }
}

}  // namespace

CSStageManager::~CSStageManager()
{
    if (stageLoadedHere) {
        ReleaseStage();
    }
    if (heroTemplates[0] != nullptr || heroTemplates[1] != nullptr) {
        UnloadHeroes();
    }
    if (eventManager != nullptr) {
        eventManager->ReleaseStageEvents();
        eventManager->Release();
        delete eventManager;
        eventManager = nullptr;
    }
    // The heroes wear records of the item tables: they go first.
    DestroyItemMembers(this);
    DestroyEffectMembers(this);
    DestroySound();
    DestroyCamera();
    // The templates go before the animation managers they use.
    modelTemplates.clear();
}

// Each part is made only while it is missing, so a later call makes nothing.
void CSStageManager::CreateSubObjects1()
{
    if (messagePool == nullptr) {
        ownMessagePool = std::make_unique<CAiMsgPool>();
        messagePool = ownMessagePool.get();
        messagePool->SetChain(&actorHead);
    }
    if (actorAnimations == nullptr) {
        actorAnimations = std::make_unique<CSClumpAnimManager>();
    }
    if (heroAnimations == nullptr) {
        heroAnimations = std::make_unique<CSClumpAnimManager>();
    }
    // The effects: every manager and pool, filled by LoadEffectsPack and
    // each stage load.
    CreateEffectMembers(this);
    // The items: their tables fill from the items pack, the icons from the effects pack.
    CreateItemMembers(this);
    CreateCamera();
    CreateSound();
}

// The second group of parts made once per run: every part this stage
// manager holds is made with the first group, so nothing is left for it.
void CSStageManager::CreateSubObjects2() {}

void CSStageManager::LoadEffectsPack()
{
    if (effectsPackLoaded != 0) {
        return;
    }
    effectsPackLoaded = 1;
    LoadEffectsPackInto(this);
}

void CSStageManager::LoadItemsPack()
{
    if (itemsPackLoaded != 0) {
        return;
    }
    itemsPackLoaded = 1;
    LoadItemsPackInto(this);
}

void CSStageManager::LoadEventsPack()
{
    if (eventsPackLoaded != 0) {
        return;
    }
    eventsPackLoaded = 1;
    // The event table is read while the events pack is open.
    const bool packed = zuOpenPack(kEventsPack);
    if (eventManager == nullptr) {
        eventManager = new CSEventManager;
        ConnectEventActorLinks();
        ConnectEventStageChange();
        ConnectEventStageMembers();
        ConnectSceneLinks();
        eventManager->Init();
    }
    if (packed) {
        zuClosePack();
    }
}

void CSStageManager::LoadHeroesOnce()
{
    int32_t hero = 0;
    int32_t pad = 0;
    if (g_stageScreens != nullptr) {
        g_stageScreens->chosenHero(&hero, &pad);
    }
    if (heroCount == 0) {
        LoadHeroes(hero, pad);
    }
}

void CSStageManager::LoadSecondPlayersHero()
{
    if (heroCount != 1 || heroes[0] == nullptr) {
        return;
    }
    LoadHeroes(heroes[0]->characterNumber == 0 ? 1 : 0, kSecondPlayerPad);
}

void CSStageManager::LoadHeroes(int32_t index, int32_t pad, int32_t)
{
    if (index < 0 || index >= kMaxHeroes || heroCount >= kMaxHeroes) {
        return;
    }
    for (int32_t i = 0; i < heroCount; ++i) {
        if (heroes[i] != nullptr && heroes[i]->characterNumber == index) {
            return;  // loaded already
        }
    }
    if (heroAnimations == nullptr) {
        heroAnimations = std::make_unique<CSClumpAnimManager>();
    }
    // The hero's pack holds its model files; the template reads them from it.
    const bool packed = zuOpenPack(HeroPackPath(index).c_str());
    const AiTypeInfo *row = FindAiType(index);
    auto loaded = std::make_unique<CSModelTemplate>();
    const bool ok = row != nullptr && loaded->Load(index, row->modelFolder, row->modelId, heroAnimations.get(), 1);
    if (packed) {
        zuClosePack();
    }
    if (!ok) {
        return;  // the template raised the fatal report with the file's name
    }
    auto *hero = static_cast<CSHero *>(CreateActor(index, kHeroAiIds[heroCount]));
    hero->characterNumber = index;
    hero->padIndex = pad;
    hero->modelTemplate = loaded.get();
    if (const CharacterParams *params = hero->Params()) {
        hero->hp = params->maxHP;
        hero->resistance = params->defAttribute;
    }
    hero->SetModelInstance(loaded->TakeInstance(hero));
    hero->active = hero->model != nullptr;
    hero->EnterState(hero->state);
    // The hero's own weapon, when the item tables know it; worn from the first stage on.
    if (itemManager != nullptr) {
        hero->EquipItem(itemManager->FindEquipContent(kHeroStartWeapon[index]), kHeroWeaponSlot);
    }
    heroTemplates[index] = std::move(loaded);
    heroes[heroCount] = hero;
    heroCount += 1;
    if (sfxManager != nullptr) {
        sfxManager->LoadCharacterSFX(index);
    }
}

void CSStageManager::UnloadHeroes()
{
    for (int32_t i = 0; i < kMaxHeroes; ++i) {
        if (CSHero *hero = heroes[i]) {
            if (sfxManager != nullptr) {
                sfxManager->ReleaseCharacterSFX(hero->characterNumber);
            }
            Unlink(this, hero);
            if (messagePool != nullptr) {
                messagePool->Clear();
            }
            DestroyActor(hero);
        }
        heroes[i] = nullptr;
    }
    // The templates are kept by character, the heroes by player: a second
    // player's hero can wear the first slot's template, so every hero is
    // gone before any template goes.
    for (std::unique_ptr<CSModelTemplate> &loaded : heroTemplates) {
        loaded.reset();
    }
    heroCount = 0;
}

void CSStageManager::SetThreadedLoading(uint8_t on)
{
    loadingState.threaded = on != 0 ? 1 : 0;
    if (g_stageLoadingScreen != nullptr) {
        g_stageLoadingScreen->setThreadedLoading(on);
    }
}

uint8_t CSStageManager::IsThreadedLoading() const
{
    if (g_stageLoadingScreen != nullptr) {
        return g_stageLoadingScreen->isThreadedLoading();
    }
    return loadingState.threaded;
}
