// The hero-zone events: a hero inside the event's quadrilateral while in
// its state 4 (knocked down) leaves a trail of ground effects behind it,
// one every 0.2 s; after the fourth the hero takes a hit, and a rest of 2 s
// follows before the count starts again. The event never occurs: its
// condition keeps the per-hero count and its draw pass posts the hits.
#pragma once

#include <cstdint>

#include "event/event_record.h"

inline constexpr float kZoneStepSeconds = 0.2f;
inline constexpr float kZoneRestSeconds = 2.0f;
inline constexpr float kZoneBudget = 12.0f;
inline constexpr float kZoneStride = 3.0f;
inline constexpr int32_t kZoneHitDamage = 5;
// The ground under an effect is looked for on a vertical line from 20
// above the hero to 50 below it.
inline constexpr float kZoneRayAbove = 20.0f;
inline constexpr float kZoneRayBelow = 50.0f;

class CSHeroZoneEvent : public EventRecord {
public:
    int32_t HeroCount;   // the stage's heroes at load
    AiObject **Heroes;   // owned
    uint32_t *Armed;     // owned, per hero: effects are being placed
    uint32_t *HitPending;
    uint32_t *Resting;
    float *RestTimer;
    float *Budget;       // how far behind the next effect goes
    float *StepTimer;
    int32_t Ninth;       // 8 at set-up
    // What HURTEVT.HTE gives the zone (nothing reads it): a value, its
    // lines (owned) and an index.
    float HurtValue;
    int32_t HurtLineCount;
    char **HurtLines;
    int32_t HurtIndex;

    void Load();
    void Release();
    // Keeps a HURTEVT.HTE entry (what it held before is freed).
    void SetHurtLines(float value, const char *const *lines, int32_t count);
    void FreeHurtLines();
    // The per-hero count; never true.
    uint8_t Check(float dt);
    // The hits the count left pending.
    void Render();

private:
    void PlaceEffectBehind(int32_t hero);
};
