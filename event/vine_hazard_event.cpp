// The vine hazards (see vine_hazard_event.h).
#include "event/vine_hazard_event.h"

#include <algorithm>
#include <cstring>

#include "app/game_rand.h"
#include "event/event_blocks.h"
#include "event/bound_actors.h"
#include "event/event_links.h"

namespace {

// Every draw reseeds the game's one generator with the last tick's time
// first, so all draws of one frame are the same number (the first after
// that seed), and the game's later draws go on from there.
int32_t ReseededDraw()
{
    game::Srand(EventLastTickMs());
    return game::Rand();
}

}  // namespace

void CSVineHazardEvent::Load()
{
    Release();
    Points = NewEventBlock<RwV3d>(kVinePoints);
    OffsetsX = NewEventBlock<int32_t>(kVinePoints);
    OffsetsZ = NewEventBlock<int32_t>(kVinePoints);
    Done = 0;
    Clock = 0.0f;
}

void CSVineHazardEvent::Release()
{
    FreeEventBlock(Points);
    FreeEventBlock(OffsetsX);
    FreeEventBlock(OffsetsZ);
}

uint8_t CSVineHazardEvent::Check(float)
{
    const int32_t required = std::min(CharNum, kEventPlayers);
    for (int32_t i = 0; i < required; ++i) {
        if (AngleSum[i] < kInsideAngleSum) {
            return 0;
        }
    }
    return 1;
}

void CSVineHazardEvent::Occur(float dt)
{
    if (AllLinkedActorsRemoved(this)) {
        Done = 1;
    }
    if (Done != 0) {
        if (g_eventLinks.updateVines != nullptr) {
            g_eventLinks.updateVines(dt);
        }
        return;
    }
    if (Check(dt) != 0) {
        SpawnVines(dt);
    }
}

void CSVineHazardEvent::SpawnVines(float dt)
{
    if (Points == nullptr || OffsetsX == nullptr || OffsetsZ == nullptr) {
        return;
    }
    const int32_t heroes = EventHeroCount();
    if (heroes <= 0) {
        return;
    }
    // A CharNum of 0 would divide by zero: one hero is chosen then.
    const int32_t index = ReseededDraw() % std::max(CharNum, 1);
    RwV3d centre = {0.0f, 0.0f, 0.0f};
    RwV3d facing;
    if (index >= heroes || !EventActorPose(EventHero(index), &centre, &facing)) {
        return;
    }
    for (int i = 0; i < kVinePoints; ++i) {
        const int32_t x = ReseededDraw() % 50;
        OffsetsX[i] = ReseededDraw() % 2 != 0 ? x : -x;
        const int32_t z = ReseededDraw() % 50;
        OffsetsZ[i] = ReseededDraw() % 2 != 0 ? z : -z;
        Points[i] = {centre.x + static_cast<float>(OffsetsX[i]), centre.y, centre.z + static_cast<float>(OffsetsZ[i])};
    }
    Clock += dt;
    if (Clock >= 1.0f) {
        const int32_t count = ReseededDraw() % kVinePoints;
        for (int32_t i = 0; i < count && g_eventLinks.startVines != nullptr; ++i) {
            g_eventLinks.startVines(Points[i]);
        }
        Clock = 0.0f;
    }
}
