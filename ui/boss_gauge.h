// CSBossGauge: the overlay's life gauge of a boss, on the stages whose
// fight has one. The gauge waits, enabled, until the stage's event script
// asks for it, then binds the first boss of the stage's type that has a
// model and fades in. Life shows in bars of 1000: the fill is the current
// bar, a marker stands for each spare bar, and a trail drains after each
// loss. When the boss's life is gone the gauge lets go of it and fades out;
// a stage with several bosses binds the next one at the next request.
// Life, bars and trail are whole 32-bit numbers: a boss of any life shows
// its bars without wrapping.
#pragma once

#include <cstdint>

#include "ui/hud_counters.h"

class AiObject;
struct RwTexture;

class CSBossGauge {
public:
    static constexpr int32_t kLifePerBar = 1000;
    static constexpr uint32_t kFadeMs = 500;
    static constexpr float kBarLeft = 121.0f;
    static constexpr float kBarWidth = 326.0f;

    // The bosses the gauge binds on a stage, and their AI type (0 for a
    // stage without a gauge).
    static uint32_t CountBossesForStage(int32_t stageId);
    static int32_t BossTypeForStage(int32_t stageId);

    // On activation and at each stage load: a stage with a gauge enables it,
    // unbound and hidden, with its bosses to bind; any other disables it.
    void Start(int32_t stageId);
    void Disable();
    // The stage's event script: look for the boss, when none is bound.
    void RequestAttach();
    // One frame: the search, the boss's life, the trail and the fade.
    void Update(uint32_t ms);
    void StepTrail(uint32_t ms);
    void Render(RwTexture *atlas);

    AiObject *Boss() const { return boss_; }
    bool Enabled() const { return enabled_; }
    bool Visible() const { return visible_; }
    bool SearchRequested() const { return searchRequest_; }
    uint32_t BossesLeft() const { return bossesLeft_; }
    int32_t SpareBars() const { return spareBars_; }
    int32_t Remainder() const { return remainder_; }
    int32_t Trail() const { return trail_; }
    bool TrailRunning() const { return trailMs_ != kHudTimerIdle; }
    uint8_t Alpha() const { return alpha_; }
    bool Fading() const { return fadeElapsedMs_ != kHudTimerIdle; }
    float FillRight() const;
    float TrailRight() const;
    // Spare-bar markers as drawn (those on the screen).
    int32_t MarkersDrawn() const;

private:
    bool BossStillListed() const;
    void FindBoss();
    void SetLife(int32_t life);
    void PlaceTrail();
    void StartFade(bool in);
    void StepFade(uint32_t ms);
    void ApplyAlpha(uint8_t alpha);

    AiObject *boss_ = nullptr;
    UIQuad frame_ = {};
    UIQuad background_ = {};
    UIQuad marker_ = {};
    UIQuad fill_ = {};
    UIQuad trailQuad_ = {};
    int32_t stageId_ = 0;
    int32_t life_ = kHudValueUnread;
    int32_t remainder_ = 0;
    int32_t trail_ = 0;
    int32_t barsAtLastLoss_ = 0;
    int32_t spareBars_ = 0;
    uint32_t trailMs_ = kHudTimerIdle;
    uint32_t bossesLeft_ = 0;
    bool enabled_ = false;
    uint32_t fadeMs_ = kFadeMs;
    uint32_t fadeElapsedMs_ = kHudTimerIdle;
    bool visible_ = false;
    bool fadingIn_ = false;
    bool searchRequest_ = false;
    uint8_t alpha_ = 255;
};
