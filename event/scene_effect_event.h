// The scene-effect events: a bombardment of pooled effects around the
// event's points (line 14 of its table block), five one second apart, then
// a pause, until the linked event runs. The stage's scene-effect flag is
// set before the first shot.
#pragma once

#include <cstdint>

#include "event/event_record.h"

inline constexpr int32_t kSceneEffectVolley = 6;  // five shots and a pause
inline constexpr float kSceneEffectPause = 8.0f;

class CSSceneEffectEvent : public EventRecord {
public:
    // The reader keeps the line's words ("x,y,z"); the first load turns them
    // into Points and frees them, later loads keep the Points.
    char **PointStrings;  // owned array of owned words
    int32_t PointStringCount;
    RwV3d *Points;        // owned
    int32_t PointCount;
    float Clock;
    float LastShot;
    int32_t Shots;

    void Load();
    void Update(float dt);
    // The stage release: the run starts over at the next load.
    void Release();
    // The manager's teardown: the points and any words left.
    void Destroy();
};

// "x,y,z" (also with blanks or ';' between); false unless three numbers.
bool ParseScenePoint(const char *text, RwV3d *point);
