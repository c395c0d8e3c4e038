// The move-object events of stage 17: an event model (the event's own, or
// the first of its LinkEvent's) moves along a straight line from a start
// to an end point over a time, shown or hidden at the start and at the end.
#pragma once

#include <cstdint>

#include "event/event_record.h"

// One move's constants; a point with `fromPlacement` set is the event's
// placement position.
struct MoveObjectPreset {
    int32_t eventId;
    int32_t condition;
    RwV3d start;
    bool startFromPlacement;
    RwV3d end;
    bool endFromPlacement;
    float duration;
    uint8_t movesLinkedModel;
    uint8_t visibleAtStart;
    uint8_t visibleAtEnd;
};

class CSMoveObjectEvent : public EventRecord {
public:
    int32_t Condition;
    RwV3d Start;
    RwV3d End;
    RwV3d Displacement;  // End - Start
    float Duration;
    float Elapsed;
    uint8_t VisibleAtStart;
    uint8_t VisibleAtEnd;
    uint8_t Started;
    uint8_t Finished;
    uint8_t MovesLinkedModel;

    // Stores the values; an event that moves its own model loads it from
    // its Label and shows or hides it.
    void Setup(int32_t condition, const RwV3d &start, const RwV3d &end, float duration, uint8_t movesLinkedModel,
               uint8_t visibleAtStart, uint8_t visibleAtEnd);
    // The load of a preset (its placement points filled in).
    void Load(const MoveObjectPreset &preset);
    // 100 always; 200 LinkEvent has ended once; 300 LinkEvent running;
    // 400 every bound actor removed; 500 every actor bound to LinkEvent
    // removed; any other code never.
    uint8_t Check(float dt);
    // The model moves by Displacement x dt / Duration each frame, the last
    // step cut to what is left, so it ends exactly on the end point when
    // Duration has passed; then it is shown or hidden and the event ends.
    void Update(float dt);
    void Render();

    RpClump *MovedModel() const;
};

// The ten presets, in id order.
const MoveObjectPreset *FindMoveObjectPreset(int32_t eventId);
