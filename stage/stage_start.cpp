// A stage started from the command line (see stage_start.h).
#include "stage/stage_start.h"

#include "stage/stage_manager.h"
#include "stage/stage_screen_calls.h"

bool StartStageNewGame(CSStageManager *stage, int32_t number, int32_t players)
{
    if (stage == nullptr || number < 1 || number > 42) {
        return false;
    }
    const int32_t id = 2000000 + 10000 * number;
    // The loading screen comes up at once and stays up: the stage load
    // that follows takes it away.
    stage->ActivateLoadingScreen(1, id);
    stage->SetLoadingProgress(kNewGameStartProgress);
    stage->CreateSubObjects1();
    stage->LoadEffectsPack();
    stage->CreateSubObjects2();
    stage->LoadItemsPack();
    stage->LoadEventsPack();
    stage->LoadHeroesOnce();
    if (players >= 2) {
        stage->LoadSecondPlayersHero();
    }
    stage->SetLoadingProgress(kNewGamePartsProgress);
    if (g_stageScreens != nullptr) {
        g_stageScreens->requestScreen(kScreenInGame);
        g_stageScreens->switchScreen();
    }
    stage->RequestStageChange(id, 0, kNewGameStageChangeMs);
    if (g_stageScreens != nullptr) {
        g_stageScreens->applyCarriedState();
    }
    return stage->stageId == id;
}
