// The boss's life gauge of the overlay (see boss_gauge.h).
#include "ui/boss_gauge.h"

#include <algorithm>

#include "actor/ai_object.h"
#include "ui/ui_links.h"
#include "ui/ui_trace.h"

namespace {

struct GaugeStage {
    int32_t stageId;
    uint32_t bosses;
    int32_t bossType;
};

constexpr GaugeStage kGaugeStages[] = {
    {2080000, 1, 1106}, {2150000, 1, 1101}, {2220000, 1, 1103}, {2270000, 1, 1104},
    {2320000, 1, 1107}, {2360000, 3, 1108}, {2370000, 1, 1109}, {2380000, 1, 1110},
};

const GaugeStage *FindGaugeStage(int32_t stageId)
{
    for (const GaugeStage &stage : kGaugeStages) {
        if (stage.stageId == stageId) {
            return &stage;
        }
    }
    return nullptr;
}

constexpr AtlasRect kFrame = {1, 193, 236, 255};
constexpr AtlasRect kGaugeMarker = {236, 193, 254, 211};
constexpr uint32_t kFillColour = 0xFFF02828u;   // (240, 40, 40)
constexpr uint32_t kGaugeTrailColour = 0xFFAA2828u;  // (170, 40, 40)
constexpr float kMarkerLeft = 92.0f;
constexpr float kMarkerStep = 20.0f;
// A chain longer than this is not a stage's: the walk stops there.
constexpr int32_t kLongestChain = 1 << 20;

}  // namespace

uint32_t CSBossGauge::CountBossesForStage(int32_t stageId)
{
    const GaugeStage *stage = FindGaugeStage(stageId);
    return stage != nullptr ? stage->bosses : 0;
}

int32_t CSBossGauge::BossTypeForStage(int32_t stageId)
{
    const GaugeStage *stage = FindGaugeStage(stageId);
    return stage != nullptr ? stage->bossType : 0;
}

void CSBossGauge::Start(int32_t stageId)
{
    stageId_ = stageId;
    const uint32_t bosses = CountBossesForStage(stageId);
    if (bosses == 0) {
        Disable();
        return;
    }
    // The bars' values and the fade's way are set when the boss is found,
    // before anything shows.
    boss_ = nullptr;
    life_ = kHudValueUnread;
    trailMs_ = kHudTimerIdle;
    fadeElapsedMs_ = kHudTimerIdle;
    fadeMs_ = kFadeMs;
    enabled_ = true;
    visible_ = false;
    searchRequest_ = false;
    bossesLeft_ = bosses;
    PlaceAtlasQuad(&frame_, 41, 381, 452, 443, kFrame, kHudWhite);
    PlacePlainQuad(&background_, kBarLeft, 403, 447, 412, kHudBlack);
    PlaceAtlasQuad(&marker_, kMarkerLeft, 370, 110, 388, kGaugeMarker, kHudWhite);
    // Empty until the boss's life is read.
    PlacePlainQuad(&fill_, kBarLeft, 403, kBarLeft, 412, kFillColour);
    PlacePlainQuad(&trailQuad_, kBarLeft, 403, kBarLeft, 412, kGaugeTrailColour);
    // Its alpha comes with the fade in once the boss is found.
}

void CSBossGauge::Disable()
{
    enabled_ = false;
    visible_ = false;
    boss_ = nullptr;
    bossesLeft_ = 0;
    searchRequest_ = false;
    fadeElapsedMs_ = kHudTimerIdle;
    trailMs_ = kHudTimerIdle;
}

void CSBossGauge::RequestAttach()
{
    if (boss_ == nullptr) {
        searchRequest_ = true;
    }
}

bool CSBossGauge::BossStillListed() const
{
    int32_t walked = 0;
    for (const AiObject *actor = UI().firstActor(); actor != nullptr && walked < kLongestChain;
         actor = actor->next, ++walked) {
        if (actor == boss_) {
            return true;
        }
    }
    return false;
}

void CSBossGauge::FindBoss()
{
    const int32_t bossType = BossTypeForStage(stageId_);
    if (bossType == 0) {
        bossesLeft_ = 0;
        return;
    }
    if (bossesLeft_ == 0) {
        return;
    }
    int32_t walked = 0;
    for (AiObject *actor = UI().firstActor(); actor != nullptr && walked < kLongestChain;
         actor = actor->next, ++walked) {
        if (actor->aiType != bossType || actor->model == nullptr) {
            continue;
        }
        boss_ = actor;
        --bossesLeft_;
        TraceScreenBossBound(actor->aiType, actor->hp);
        life_ = kHudValueUnread;
        trailMs_ = kHudTimerIdle;
        SetLife(actor->hp);
        searchRequest_ = false;
        if (boss_ == nullptr) {
            return;  // found with no life left: nothing to show
        }
        trail_ = life_;
        trailMs_ = kHudTimerIdle;
        PlaceTrail();
        StartFade(true);
        return;
    }
}

// Only the life shows: the bars count it in thousands whatever its maximum.
void CSBossGauge::SetLife(int32_t life)
{
    life = std::max(life, 0);
    if (life == life_) {
        return;
    }
    const int32_t previous = life_;
    life_ = life;
    const int32_t bars = life / kLifePerBar;
    int32_t remainder = life % kLifePerBar;
    bool trailReset = false;
    if (previous >= 0 && bars < barsAtLastLoss_) {
        // A whole bar went: the trail runs again from the top of the bar lost.
        trail_ = barsAtLastLoss_ * kLifePerBar;
        trailMs_ = 0;
        trailReset = true;
    }
    barsAtLastLoss_ = bars;
    int32_t spare = bars;
    if (remainder == 0) {
        if (bars > 0) {
            // A whole number of bars: the last of them is the full current one.
            spare = bars - 1;
            remainder = kLifePerBar;
        } else {
            boss_ = nullptr;
            StartFade(false);
        }
    }
    remainder_ = remainder;
    spareBars_ = spare;
    SetQuadRight(&fill_, FillRight());
    if (!trailReset && trailMs_ == kHudTimerIdle && previous >= 0) {
        trail_ = previous;
        trailMs_ = 0;
    }
    PlaceTrail();
}

float CSBossGauge::FillRight() const
{
    return kBarLeft + static_cast<float>(remainder_) * kBarWidth / static_cast<float>(kLifePerBar);
}

float CSBossGauge::TrailRight() const
{
    // The top of a bar is that bar full, not the next one empty.
    int32_t part = trail_ % kLifePerBar;
    if (part == 0 && trail_ >= kLifePerBar) {
        part = kLifePerBar;
    }
    return kBarLeft + static_cast<float>(std::max(part, 0)) * kBarWidth / static_cast<float>(kLifePerBar);
}

void CSBossGauge::PlaceTrail() { SetQuadRight(&trailQuad_, TrailRight()); }

void CSBossGauge::StepTrail(uint32_t ms)
{
    if (trailMs_ == kHudTimerIdle) {
        return;
    }
    trail_ = static_cast<int32_t>(static_cast<float>(trail_) - static_cast<float>(trailMs_) * 0.01f);
    PlaceTrail();
    if (trail_ <= life_) {
        trailMs_ = kHudTimerIdle;
        return;
    }
    trailMs_ += ms;
}

void CSBossGauge::StartFade(bool in)
{
    fadeMs_ = kFadeMs;
    fadeElapsedMs_ = 0;
    fadingIn_ = in;
    visible_ = true;
}

void CSBossGauge::StepFade(uint32_t ms)
{
    if (fadeElapsedMs_ == kHudTimerIdle) {
        return;
    }
    const uint32_t alpha = fadeMs_ == 0 ? 255 : std::min<uint32_t>(fadeElapsedMs_ * 255 / fadeMs_, 255);
    ApplyAlpha(static_cast<uint8_t>(fadingIn_ ? alpha : 255 - alpha));
    if (alpha < 255) {
        fadeElapsedMs_ += ms;
        return;
    }
    fadeElapsedMs_ = kHudTimerIdle;
    if (!fadingIn_) {
        visible_ = false;
    }
}

void CSBossGauge::ApplyAlpha(uint8_t alpha)
{
    alpha_ = alpha;
    for (UIQuad *quad : {&frame_, &background_, &marker_, &fill_, &trailQuad_}) {
        SetQuadAlpha(quad->v, alpha);
    }
}

void CSBossGauge::Update(uint32_t ms)
{
    if (!enabled_) {
        return;
    }
    // A boss the stage has freed is no longer there to read.
    if (boss_ != nullptr && !BossStillListed()) {
        boss_ = nullptr;
    }
    if (boss_ == nullptr && searchRequest_) {
        FindBoss();
    }
    if (boss_ != nullptr) {
        SetLife(boss_->hp);
    }
    StepTrail(ms);
    StepFade(ms);
}

int32_t CSBossGauge::MarkersDrawn() const
{
    const int32_t onScreen = static_cast<int32_t>((640.0f - kMarkerLeft) / kMarkerStep) + 1;
    return std::clamp(spareBars_, 0, onScreen);
}

void CSBossGauge::Render(RwTexture *atlas)
{
    if (!enabled_ || !visible_) {
        return;
    }
    DrawUIQuad(background_.v, nullptr);
    if (boss_ != nullptr) {
        if (trailMs_ != kHudTimerIdle) {
            DrawUIQuad(trailQuad_.v, nullptr);
        }
        DrawUIQuad(fill_.v, nullptr);
    }
    RwRaster *raster = GetTextureRaster(atlas);
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, raster);
    if (boss_ != nullptr) {
        UIQuad marker = marker_;
        for (int32_t i = 0; i < MarkersDrawn(); ++i) {
            const float x = kMarkerLeft + kMarkerStep * static_cast<float>(i);
            SetQuadPositions(marker.v, x, 370, x + 18, 388);
            DrawUIQuadKeepRaster(marker.v);
        }
    }
    DrawUIQuadKeepRaster(frame_.v);
}
