// CSDoorEvent: an event model (a door, a gate, a lid) that stands closed in
// the stage and plays its opening motion once its open condition holds.
// Its load takes the id's preset (door_presets.h): the closed and open
// motions of the model's ".ANM" in "\RESOURCE\G_EVENT\ANM\", the open
// condition (door_rules.h), a node animation of the model's frames, the
// door message and the sound. Near a closed door the speech marker shows
// over the hero; the action command shows the door message. A key door
// takes its key (Param) from the shared item list when it opens.
//
// The crusher doors of stage 16 are door events too: their model crushes
// the heroes standing in their zone when its motion ends
// (crusher_door_event.cpp).
#pragma once

#include <cstdint>

#include "event/door_presets.h"
#include "event/event_record.h"

class CSDoorEvent : public EventRecord {
public:
    // The set-up: the occurrence plays the open motion.
    void Init();
    // The load of the id's preset: LoadAnim, then the preset's extras.
    void LoadPreset(const DoorPreset &preset);
    void LoadAnim(uint8_t centreOnModel, int32_t closedMotion, int32_t openMotion, uint8_t useLinkModel,
                  int32_t openCondition, uint8_t nodeAnim, uint32_t signSlot, int32_t soundKind);
    // The open condition; while it answers 0 the door message is looked after.
    uint8_t Check(float dt);
    void ShowDoorMessage();
    // The occurrence: the open motion to its end, then the event's end.
    void Update(float dt);
    // 79042100..79042300: an explosion before the first update, the model's
    // collision off after it.
    void Update79042100(float dt);
    // The door sound, once per stage; 79187100 and 79206400..79206800 play
    // the key door's sound instead.
    void Step(float dt);
    void Step79187100(float dt);
    void Render();
    void Release();

    // Stage 16's crusher doors (crusher_door_event.cpp).
    void UpdateCrusher(float dt);
    void StepCrusher(float dt);
    // 79164900, 79165000, 79165100: while LinkEvent runs.
    uint8_t CheckCrusher(float dt);

    // The model the door animates: its own first, or LinkEvent's first.
    RpClump *DoorModel() const;

    char *AnimFile;             // owned: the Label up to its first '.', then ".ANM"
    int32_t ClosedMotion;
    int32_t OpenMotion;
    uint8_t UseLinkModel;
    uint8_t CentreCopied;
    int32_t OpenCondition;
    uint8_t NodeAnim;
    uint8_t PlayOnOccur;        // 0: the occurrence only waits for the node animation
    uint8_t DrawAfterEnd;       // 0: the model vanishes once the door has ended once
    uint32_t SignSlot;
    const char16_t *Sign;       // the door message of SignSlot (the manager's), or null
    int32_t DoorSound;
    float MessageDistance;
    uint8_t WholeClump;         // the node animation moves the whole clump (stages 23, 25)
    uint8_t Started;            // the open motion runs
    float Elapsed;              // seconds since the occurrence began

    // ---- what the game adds ----
    uint8_t AnimLoaded;         // AnimFile's animation is loaded (its release gives it back)

private:
    // The end of the occurrence on the door's model.
    void Finish(RpClump *model);
};

// 79042100..79042300: the explosion started, the collision switched off.
class CSDoorEventWithFlags : public CSDoorEvent {
public:
    uint8_t ExtraFlags[2];
};
