// The move-object events (see move_object_event.h).
#include "event/move_object_event.h"

#include <algorithm>
#include <iterator>

#include "event/bound_actors.h"
#include "event/condition_codes.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/event_models.h"
#include "rpworld.h"

namespace {

constexpr RwV3d P(float x, float y, float z) { return {x, y, z}; }
constexpr RwV3d kHere = {0.0f, 0.0f, 0.0f};

// Each pair: the first brings the linked model back to the placement, the
// second moves its own model from the placement to the point.
constexpr MoveObjectPreset kPresets[] = {
    {79170300, 100, P(0.81f, 95.63f, -255.82f), false, kHere, true, 5.0f, 1, 0, 0},
    {79170400, 400, kHere, true, P(0.81f, 95.63f, -255.82f), false, 5.0f, 0, 0, 1},
    {79170600, 100, P(0.81f, 95.63f, -495.44f), false, kHere, true, 5.0f, 1, 0, 0},
    {79170700, 400, kHere, true, P(0.81f, 95.63f, -495.44f), false, 5.0f, 0, 0, 1},
    {79170900, 100, P(251.38f, 95.63f, -494.91f), false, kHere, true, 5.0f, 1, 0, 0},
    {79171000, 400, kHere, true, P(251.38f, 95.63f, -494.91f), false, 5.0f, 0, 0, 1},
    {79171200, 100, P(180.81f, 95.63f, -315.44f), false, kHere, true, 5.0f, 1, 0, 0},
    {79171300, 400, kHere, true, P(180.81f, 95.63f, -315.44f), false, 5.0f, 0, 0, 1},
    {79171500, 100, P(240.81f, 95.63f, -135.44f), false, kHere, true, 5.0f, 1, 0, 0},
    {79171600, 400, kHere, true, P(240.81f, 95.63f, -135.44f), false, 5.0f, 0, 0, 1},
};

}  // namespace

const MoveObjectPreset *FindMoveObjectPreset(int32_t eventId)
{
    const auto *found = std::find_if(std::begin(kPresets), std::end(kPresets),
                                     [eventId](const MoveObjectPreset &p) { return p.eventId == eventId; });
    return found != std::end(kPresets) ? found : nullptr;
}

void CSMoveObjectEvent::Setup(int32_t condition, const RwV3d &start, const RwV3d &end, float duration,
                              uint8_t movesLinkedModel, uint8_t visibleAtStart, uint8_t visibleAtEnd)
{
    Condition = condition;
    Start = start;
    End = end;
    Displacement = {end.x - start.x, end.y - start.y, end.z - start.z};
    Duration = duration;
    Elapsed = 0.0f;
    Started = 0;
    Finished = 0;
    MovesLinkedModel = movesLinkedModel;
    VisibleAtStart = visibleAtStart;
    VisibleAtEnd = visibleAtEnd;
    if (movesLinkedModel == 0) {
        LoadEventModel(this);
        ShowEventModel(MovedModel(), visibleAtStart != 0);
    }
}

void CSMoveObjectEvent::Load(const MoveObjectPreset &preset)
{
    const RwV3d start = preset.startFromPlacement ? Placement.position : preset.start;
    const RwV3d end = preset.endFromPlacement ? Placement.position : preset.end;
    Setup(preset.condition, start, end, preset.duration, preset.movesLinkedModel, preset.visibleAtStart,
          preset.visibleAtEnd);
}

RpClump *CSMoveObjectEvent::MovedModel() const
{
    const EventRecord *owner = MovesLinkedModel != 0 ? LinkEvent : this;
    if (owner == nullptr || owner->Models == nullptr || owner->ModelNum < 1) {
        return nullptr;
    }
    return owner->Models[0];
}

namespace {

// The moved model's place in the trace; nothing without a model.
void TraceModelPlace(const EventRecord *record, RpClump *model, const char *what)
{
    if (RwFrame *frame = model != nullptr ? RpClumpGetFrame(model) : nullptr) {
        EventTracePoint(record, what, RwFrameGetMatrix(frame)->pos);
    }
}

}  // namespace

uint8_t CSMoveObjectEvent::Check(float)
{
    using enum ConditionTest;
    // What the codes 100 to 500 wait for.
    static constexpr std::array<ConditionTest, 5> kCodes = {
        kAlways, kLinkEnded, kLinkRunning, kOwnActorsGone, kLinkedActorsGone,
    };
    return CheckHundredCode(this, kCodes, Condition);
}

void CSMoveObjectEvent::Update(float dt)
{
    RpClump *model = MovedModel();
    if (Started == 0) {
        Started = 1;
        Finished = 0;
        Elapsed = 0.0f;
        ShowEventModel(model, VisibleAtStart != 0);
        TraceModelPlace(this, model, MovesLinkedModel != 0 ? "linked_from" : "from");
    }
    const float before = Elapsed;
    Elapsed += dt;
    if (Duration > 0.0f && before < Duration) {
        const float step = std::min(dt, Duration - before) / Duration;
        const RwV3d move = {Displacement.x * step, Displacement.y * step, Displacement.z * step};
        if (RwFrame *frame = model != nullptr ? RpClumpGetFrame(model) : nullptr) {
            RwFrameTranslate(frame, &move, rwCOMBINEPOSTCONCAT);
        }
    }
    if (Elapsed >= Duration) {
        if (Finished == 0) {
            Finished = 1;
            ShowEventModel(model, VisibleAtEnd != 0);
            TraceModelPlace(this, model, MovesLinkedModel != 0 ? "linked_to" : "to");
        }
        Started = 0;
        if (manager != nullptr) {
            manager->EndEvent(this);
        }
    }
}

void CSMoveObjectEvent::Render()
{
    if (MovesLinkedModel == 0) {
        DrawEventModels(this, false);
    }
}
