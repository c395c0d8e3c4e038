// The events' links to the actor core, the trace and the stage change (see
// event_stage_links.h).
#include "event/event_stage_links.h"

#include <algorithm>

#include "actor/ai_object.h"
#include "actor/hero.h"
#include "app/trace.h"
#include "event/event_links.h"
#include "stage/stage_manager.h"

void ConnectEventActorLinks()
{
    g_eventLinks.heroCount = [] { return g_pStageManager != nullptr ? static_cast<int32_t>(g_pStageManager->heroCount) : 0; };
    g_eventLinks.hero = [](int32_t index) -> AiObject * {
        if (g_pStageManager == nullptr || index < 0 || index >= g_pStageManager->heroCount || index >= kMaxHeroes) {
            return nullptr;
        }
        return g_pStageManager->heroes[index];
    };
    g_eventLinks.playerIndex = [](AiObject *hero) -> int32_t {
        for (int32_t i = 0; g_pStageManager != nullptr && i < g_pStageManager->heroCount && i < kMaxHeroes; ++i) {
            if (g_pStageManager->heroes[i] == hero) {
                return i;
            }
        }
        return -1;
    };
    g_eventLinks.firstActor = [] { return g_pStageManager != nullptr ? g_pStageManager->actorHead : nullptr; };
    g_eventLinks.nextActor = [](AiObject *actor) { return actor->next; };
    g_eventLinks.eventGroup = [](AiObject *actor) { return actor->eventId; };
    g_eventLinks.isRemoved = [](AiObject *actor) { return actor->removed; };
    g_eventLinks.isBusy = [](AiObject *actor) { return actor->busy; };
    g_eventLinks.pose = [](AiObject *actor, RwV3d *position, RwV3d *facing) {
        actor->GetPosition(position);
        actor->GetDirection(facing);
        return true;
    };
    g_eventLinks.trace = [](int32_t eventId, const char *kind, const char *what, int32_t count) {
        game::TraceLine("event").Int(eventId).Word(kind).Word(what).Int(count);
    };
}

void ConnectEventStageChange()
{
    g_eventLinks.requestStageChange = [](int32_t target, int32_t flag, int32_t transitionMs) {
        if (g_pStageManager != nullptr) {
            g_pStageManager->RequestStageChange(target, static_cast<uint8_t>(flag),
                                                static_cast<uint32_t>(std::max(transitionMs, 0)));
        }
    };
}
