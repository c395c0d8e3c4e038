// The game's own links of the screens (see ui_links.h).
#include "ui/ui_links.h"

#include "actor/hero.h"
#include "actor/item_icons.h"
#include "actor/item_manager.h"
#include "app/application.h"
#include "app/game_system.h"
#include "app/movie_player.h"
#include "event/event_manager.h"
#include "stage/stage_manager.h"

namespace {

CSStageManager *Stage() { return g_pStageManager; }
CSItemManager *Items() { return Stage() != nullptr ? Stage()->itemManager : nullptr; }
CSEventManager *Events() { return Stage() != nullptr ? Stage()->eventManager : nullptr; }

template <void (CSStageManager::*Call)()>
void OnStage()
{
    if (CSStageManager *stage = Stage()) {
        (stage->*Call)();
    }
}

}  // namespace

UILinks GameUILinks()
{
    UILinks l{};
    l.playMovie = [](const char *path) { PlayMovie(path); };
    l.stopMovie = [] { StopMovie(); };
    l.isMoviePlaying = [] { return IsMoviePlaying(); };
    l.closeApplication = [] { CloseApplication(); };

    l.hasStage = [] { return Stage() != nullptr; };
    l.createSubObjects1 = OnStage<&CSStageManager::CreateSubObjects1>;
    l.createSubObjects2 = OnStage<&CSStageManager::CreateSubObjects2>;
    l.loadEffectsPack = OnStage<&CSStageManager::LoadEffectsPack>;
    l.loadItemsPack = OnStage<&CSStageManager::LoadItemsPack>;
    l.loadEventsPack = OnStage<&CSStageManager::LoadEventsPack>;
    l.loadHeroesOnce = OnStage<&CSStageManager::LoadHeroesOnce>;
    l.unloadHeroes = OnStage<&CSStageManager::UnloadHeroes>;
    l.requestStageChange = [](int32_t target, uint8_t transition, uint32_t ms) {
        if (CSStageManager *stage = Stage()) {
            stage->RequestStageChange(target, transition, ms);
        }
    };
    l.activateLoading = [](uint8_t on, int32_t id) {
        if (CSStageManager *stage = Stage()) {
            stage->ActivateLoadingScreen(on, id);
        }
    };
    l.loadingProgress = [](float progress) {
        if (CSStageManager *stage = Stage()) {
            stage->SetLoadingProgress(progress);
        }
    };
    l.loadStage = [](int32_t id) {
        if (CSStageManager *stage = Stage()) {
            stage->LoadStage(id);
        }
    };
    l.stageNumber = [] { return Stage() != nullptr ? Stage()->stageNumber : 0; };
    l.setBGMVolume = [](float volume) {
        if (CSStageManager *stage = Stage()) {
            stage->SetBGMVolume(volume);
        }
    };
    l.updateMessageWindow = OnStage<&CSStageManager::UpdateMessageWindow>;

    l.firstHero = []() -> CSHero * {
        CSStageManager *stage = Stage();
        return stage != nullptr && stage->heroCount > 0 ? stage->heroes[0] : nullptr;
    };

    l.hasItemOwner = [] { return Items() != nullptr; };
    l.clearOwnedLists = [] {
        if (CSItemManager *items = Items()) {
            items->ClearOwnedLists();
        }
    };
    l.itemOwnLimit = [](uint32_t id) {
        const CSItemManager *items = Items();
        const ItemContent *content = items != nullptr ? items->FindItemContent(static_cast<int32_t>(id)) : nullptr;
        return content != nullptr ? content->ownLimit : -1;
    };
    l.addItem = [](int32_t list, uint32_t id) {
        CSItemManager *items = Items();
        return items != nullptr && items->AddItem(list, static_cast<int32_t>(id));
    };
    l.resetItemRange = [] {
        if (CSItemManager *items = Items()) {
            items->ResetItemRange();
        }
    };

    l.stageId = [] { return Stage() != nullptr ? Stage()->stageId : 0; };
    l.cameraMode = [] { return Stage() != nullptr ? Stage()->cameraMode : 0; };
    l.heroCount = [] { return Stage() != nullptr ? static_cast<int32_t>(Stage()->heroCount) : 0; };
    l.hero = [](int32_t index) -> CSHero * {
        CSStageManager *stage = Stage();
        return stage != nullptr && index >= 0 && index < stage->heroCount ? stage->heroes[index] : nullptr;
    };
    l.firstActor = []() -> AiObject * { return Stage() != nullptr ? Stage()->actorHead : nullptr; };
    l.items = [] { return Items(); };
    l.itemDescriptions = []() -> const CSItemDescTable * {
        return Stage() != nullptr ? Stage()->itemDescTable : nullptr;
    };
    l.itemSheet = [](int32_t icon) -> RwTexture * {
        return Stage() != nullptr && Stage()->worldItems != nullptr ? Stage()->worldItems->GetItemTexture(icon)
                                                                    : nullptr;
    };
    l.sceneRunning = [] {
        const CSEventManager *events = Events();
        return events != nullptr && (events->GetAnimEventId() != 0 || events->GetMovieEventId() != 0);
    };
    l.skipScene = [] {
        if (CSEventManager *events = Events()) {
            events->SkipCurrentScene();
        }
    };
    l.pauseMusic = OnStage<&CSStageManager::PauseBGM>;
    l.resumeMusic = OnStage<&CSStageManager::ResumeBGM>;
    l.reloadSceneCamera = [] {
        if (CSEventManager *events = Events()) {
            events->ReloadAnimEventCamera();
        }
    };
    l.requestStageExit = [] { RequestStageExit(); };
    return l;
}

UILinks &UI()
{
    static UILinks links = GameUILinks();
    return links;
}
