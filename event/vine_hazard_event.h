// The vine hazards of stage 25: while every hero the event needs stands in
// its quadrilateral, vines sprout around a hero once a second; once every
// actor of the linked event is gone the hazard is over and only lets the
// vines already out finish.
#pragma once

#include <cstdint>

#include "event/event_record.h"

inline constexpr int kVinePoints = 4;
// An angle sum of at least this many degrees puts a hero inside the quadrilateral.
inline constexpr float kInsideAngleSum = 359.5f;

class CSVineHazardEvent : public EventRecord {
public:
    RwV3d *Points;      // owned, 4
    int32_t *OffsetsX;  // owned, 4
    int32_t *OffsetsZ;  // owned, 4
    uint8_t Done;
    float Clock;

    void Load();
    void Release();
    // Every one of the first CharNum heroes stands inside the quadrilateral.
    uint8_t Check(float dt);
    void Occur(float dt);

private:
    void SpawnVines(float dt);
};
