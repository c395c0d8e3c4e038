// The stage's calls into later parts of the game (see stage_links.h).
#include "stage/stage_links.h"

#include "event/event_manager.h"
#include "stage/stage_manager.h"
#include "stage/stage_screen_calls.h"

void StageShowLetterbox(int32_t ms)
{
    if (g_stageScreens != nullptr) {
        g_stageScreens->showLetterbox(ms);
    }
}

void StageHideLetterbox(int32_t ms)
{
    if (g_stageScreens != nullptr) {
        g_stageScreens->hideLetterbox(ms);
    }
}

RpClump *StageEventModel(int32_t eventId)
{
    CSStageManager *stage = g_pStageManager;
    return stage != nullptr && stage->eventManager != nullptr ? stage->eventManager->GetEventModel(eventId) : nullptr;
}
