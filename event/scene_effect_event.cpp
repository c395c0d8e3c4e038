// The scene-effect events (see scene_effect_event.h).
#include "event/scene_effect_event.h"

#include <cstdlib>

#include "app/debug.h"
#include "app/game_rand.h"
#include "event/condition_codes.h"
#include "event/event_blocks.h"
#include "event/event_links.h"
#include "event/event_manager.h"

bool ParseScenePoint(const char *text, RwV3d *point)
{
    float values[3];
    const char *p = text;
    for (float &value : values) {
        while (*p == ',' || *p == ';' || *p == ' ' || *p == '\t') {
            ++p;
        }
        char *end = nullptr;
        value = std::strtof(p, &end);
        if (end == p) {
            return false;
        }
        p = end;
    }
    *point = {values[0], values[1], values[2]};
    return true;
}

void CSSceneEffectEvent::Load()
{
    Clock = 0.0f;
    LastShot = 0.0f;
    Shots = 0;
    if (PointStrings == nullptr) {
        return;  // read already: the points stay from the first load
    }
    FreeEventBlock(Points);
    Points = NewEventBlock<RwV3d>(static_cast<size_t>(PointStringCount));
    PointCount = 0;
    for (int32_t i = 0; i < PointStringCount; ++i) {
        if (PointStrings[i] != nullptr && ParseScenePoint(PointStrings[i], &Points[PointCount])) {
            ++PointCount;
        } else {
            DebugPrint("SceneEffectEvent%d: point '%s' is not x,y,z\n", EventID,
                       PointStrings[i] != nullptr ? PointStrings[i] : "");
        }
        zuStrFree(PointStrings[i]);
    }
    FreeEventBlock(PointStrings);
    PointStringCount = 0;
}

void CSSceneEffectEvent::Update(float dt)
{
    if (LinkRunning(this)) {
        if (manager != nullptr) {
            manager->EndEvent(this);
        }
        return;
    }
    if (g_eventLinks.setSceneEffectFlag != nullptr) {
        g_eventLinks.setSceneEffectFlag(Shots == 0 ? 1 : 0);
    }
    if (PointCount == 0) {
        Shots = 1;
    }
    if (Clock - LastShot >= 1.0f && PointCount > 0) {
        if (Shots % kSceneEffectVolley != kSceneEffectVolley - 1) {
            LastShot = Clock;
            const RwV3d &point = Points[Shots % PointCount];
            const float x = point.x + static_cast<float>(2 * (game::Rand() % 10)) - 10.0f;
            const float z = point.z + static_cast<float>(2 * (game::Rand() % 10)) - 10.0f;
            if (g_eventLinks.startEffectBurst != nullptr) {
                g_eventLinks.startEffectBurst({x, 0.0f, z});
            }
            ++Shots;
        } else {
            ++Shots;
            LastShot = Clock + kSceneEffectPause;
        }
    }
    Clock += dt;
}

void CSSceneEffectEvent::Release()
{
    Clock = 0.0f;
    LastShot = 0.0f;
    Shots = 0;
}

void CSSceneEffectEvent::Destroy()
{
    if (PointStrings != nullptr) {
        for (int32_t i = 0; i < PointStringCount; ++i) {
            zuStrFree(PointStrings[i]);
        }
        FreeEventBlock(PointStrings);
    }
    PointStringCount = 0;
    FreeEventBlock(Points);
    PointCount = 0;
}
