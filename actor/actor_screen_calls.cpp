// The actor side's calls into the screens and the action command (see
// actor_screen_calls.h).
#include "actor/actor_screen_calls.h"

#include "event/event_manager.h"
#include "stage/stage_manager.h"

const ActorScreenCalls *g_actorScreens = nullptr;

namespace {

HeroActionFn g_actionReplacement = nullptr;

}  // namespace

void ScreensUpdateHitCounter()
{
    if (g_actorScreens != nullptr && g_actorScreens->updateHitCounter != nullptr) {
        g_actorScreens->updateHitCounter();
    }
}

void ScreensShowItemPopup(uint8_t flag, int32_t itemId)
{
    if (g_actorScreens != nullptr && g_actorScreens->showItemPopup != nullptr) {
        g_actorScreens->showItemPopup(flag, itemId);
    }
}

void HeroActionCommand(int32_t playerSlot)
{
    if (g_actionReplacement != nullptr) {
        g_actionReplacement(playerSlot);
        return;
    }
    if (g_pStageManager != nullptr && g_pStageManager->eventManager != nullptr) {
        g_pStageManager->eventManager->CheckActionTriggers(playerSlot);
    }
}

HeroActionFn ReplaceHeroActionCommand(HeroActionFn action)
{
    const HeroActionFn previous = g_actionReplacement;
    g_actionReplacement = action;
    return previous;
}
