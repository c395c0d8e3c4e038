// The water events of stage 7: a surge of water rises at a fixed interval
// in one place, with spray from the model's four corners, a sound and the
// animated water model (a copy of "\RESOURCE\G_EVENT\TWATER\TWATER.XDT"
// in the stage's chain of event models); a hero standing in the event's
// area while the water is high is hurt, at most once every 0.5 s. The
// surge runs in the event's condition, every trigger test: the condition
// holds while the water stands between 1/6 s and 13/6 s into its rise.
//
// Param below 1000: a surge every 10 s dealing 10; otherwise every
// (Param / 1000) tenths of a second dealing Param mod 1000.
#pragma once

#include <cstdint>

#include "event/event_record.h"
#include "event/water_corners.h"

class CSParticleSystem;
class CSWaterEvent;
class CSXdtModel;

inline constexpr const char *kWaterModelPath = "\\RESOURCE\\G_EVENT\\TWATER\\TWATER.XDT";
inline constexpr const char *kEventAnimationFolder = "\\RESOURCE\\G_EVENT\\ANM\\";
inline constexpr int32_t kWaterSound = 6500020;
inline constexpr float kWaterFirstClock = 100.0f;
inline constexpr float kWaterRiseFrom = 0.16666667f;
inline constexpr float kWaterRiseUntil = 2.1666667f;
inline constexpr float kWaterHurtUntil = 2.6666667f;
inline constexpr float kWaterHurtEvery = 0.5f;
inline constexpr float kWaterLevelAtLoad = -1000.0f;

struct WaterObject {
    CSXdtModel *model;                        // in the stage's chain
    CSParticleSystem *systems[kWaterCorners]; // 0, 1 "3514102.ZUS"; 2, 3 "3514100.ZUS"
    WaterCorners corners;                     // and the water level word
    CSWaterEvent *owner;
    RpClump *clump;                           // the model's
    RwV3d position;                           // the clump frame's
    float radius;                             // the bounding sphere's
    RwBBox box;
    uint8_t active;                           // the water stands risen
};

class CSWaterEvent : public EventRecord {
public:
    WaterObject *Water;  // owned
    float Clock;
    int32_t Word;
    uint32_t Risen;      // set while a surge stands (the sound waits for it)
    float HurtTimers[kEventPlayers];
    float Interval;
    int32_t Damage;
    char *AnimationName; // owned: the Label up to its first '.', then ".ANM"
    uint8_t AnimationLoaded;
    float WaterTime;     // seconds into the current rise
    int8_t ViewTraced;   // in view at the last check, as traced (-1 none yet)

    void Load();
    // The surge; true while the water is high.
    uint8_t Check(float dt);
    // Each hero in the area is hurt (at most once per 0.5 s), then the end.
    void Update(float dt);
    // The surge's sound, once per surge.
    void Step(float dt);
    void Release();

private:
    void Rest();
    void ReleaseSystems();
};
