// The hero-zone events (see hero_zone_event.h).
#include "event/hero_zone_event.h"

#include <algorithm>

#include "actor/ai_message.h"
#include "event/event_blocks.h"
#include "event/event_links.h"
#include "event/vine_hazard_event.h"
#include "rpcollis.h"
#include "rpworld.h"

namespace {

struct GroundHit {
    float nearest = 2.0f;  // fraction along the line, 0 at its top
};

RpCollisionTriangle *NearestHit(RpIntersection *, RpWorldSector *, RpCollisionTriangle *triangle, RwReal distance,
                                void *data)
{
    auto *hit = static_cast<GroundHit *>(data);
    hit->nearest = std::min(hit->nearest, static_cast<float>(distance));
    return triangle;
}

// The ground on the vertical line through `point` between `top` and
// `bottom` heights; false when the line meets no world triangle.
bool GroundOnLine(const RwV3d &point, float top, float bottom, RwV3d *ground)
{
    RpWorld *world = g_eventLinks.world != nullptr ? g_eventLinks.world() : nullptr;
    if (world == nullptr) {
        return false;
    }
    RpIntersection line;
    line.type = rpINTERSECTLINE;
    line.t.line.start = {point.x, top, point.z};
    line.t.line.end = {point.x, bottom, point.z};
    GroundHit hit;
    RpCollisionWorldForAllIntersections(world, &line, NearestHit, &hit);
    if (hit.nearest > 1.0f) {
        return false;
    }
    *ground = {point.x, top + (bottom - top) * hit.nearest, point.z};
    return true;
}

}  // namespace

void CSHeroZoneEvent::Load()
{
    Release();
    HeroCount = std::clamp(EventHeroCount(), 0, kEventPlayers);
    const auto n = static_cast<size_t>(HeroCount);
    Heroes = NewEventBlock<AiObject *>(n);
    Armed = NewEventBlock<uint32_t>(n);
    HitPending = NewEventBlock<uint32_t>(n);
    Resting = NewEventBlock<uint32_t>(n);
    RestTimer = NewEventBlock<float>(n);
    Budget = NewEventBlock<float>(n);
    StepTimer = NewEventBlock<float>(n);
    for (int32_t i = 0; i < HeroCount; ++i) {
        Heroes[i] = EventHero(i);
        Armed[i] = 1;
        Budget[i] = kZoneBudget;
    }
}

void CSHeroZoneEvent::SetHurtLines(float value, const char *const *lines, int32_t count)
{
    FreeHurtLines();
    HurtValue = value;
    HurtLines = NewEventBlock<char *>(static_cast<size_t>(count > 0 ? count : 0));
    for (int32_t i = 0; i < count; ++i) {
        HurtLines[i] = zuStrDup(lines[i]);
    }
    HurtLineCount = count > 0 ? count : 0;
    HurtIndex = 0;
}

void CSHeroZoneEvent::FreeHurtLines()
{
    for (int32_t i = 0; HurtLines != nullptr && i < HurtLineCount; ++i) {
        zuStrFree(HurtLines[i]);
    }
    FreeEventBlock(HurtLines);
    HurtLineCount = 0;
}

void CSHeroZoneEvent::Release()
{
    FreeEventBlock(Heroes);
    FreeEventBlock(Armed);
    FreeEventBlock(HitPending);
    FreeEventBlock(Resting);
    FreeEventBlock(RestTimer);
    FreeEventBlock(Budget);
    FreeEventBlock(StepTimer);
    HeroCount = 0;
}

void CSHeroZoneEvent::PlaceEffectBehind(int32_t i)
{
    RwV3d position;
    RwV3d facing;
    if (EventActorPose(Heroes[i], &position, &facing)) {
        const RwV3d behind = {position.x - facing.x * Budget[i], position.y, position.z - facing.z * Budget[i]};
        RwV3d ground;
        if (GroundOnLine(behind, position.y + kZoneRayAbove, position.y - kZoneRayBelow, &ground) &&
            g_eventLinks.startDownHit != nullptr) {
            g_eventLinks.startDownHit(ground);
        }
    }
    Budget[i] -= kZoneStride;
    if (Budget[i] < 0.0f) {
        Budget[i] = kZoneBudget;
    }
}

uint8_t CSHeroZoneEvent::Check(float dt)
{
    for (int32_t i = 0; i < HeroCount; ++i) {
        StepTimer[i] += dt;
        if (AngleSum[i] < kInsideAngleSum) {
            continue;
        }
        const bool down = g_eventLinks.heroInState4 != nullptr && Heroes[i] != nullptr &&
                          g_eventLinks.heroInState4(Heroes[i]);
        if (down && Armed[i] == 1 && StepTimer[i] >= kZoneStepSeconds) {
            if (Budget[i] <= kZoneStride) {
                Budget[i] = 0.0f;
                Armed[i] = 0;
                HitPending[i] = 1;
                Resting[i] = 1;
            }
            PlaceEffectBehind(i);
            StepTimer[i] = 0.0f;
        } else if (StepTimer[i] >= kZoneStepSeconds) {
            Budget[i] = kZoneBudget;
        }
        if (down && Armed[i] == 0 && StepTimer[i] >= kZoneStepSeconds && RestTimer[i] >= kZoneRestSeconds) {
            Armed[i] = 1;
            Resting[i] = 0;
        }
        if (Resting[i] == 1) {
            RestTimer[i] += dt;
        } else {
            RestTimer[i] = 0.0f;
        }
    }
    return 0;
}

void CSHeroZoneEvent::Render()
{
    for (int32_t i = 0; i < HeroCount; ++i) {
        if (HitPending[i] == 1) {
            EventPost(kMsgHitHero, Heroes[i], 0, kAtkStageHazard, kZoneHitDamage);
            HitPending[i] = 0;
        }
    }
}
