// Messages between actors: the MSGData record, its kinds (which are also its
// priority in the target's queue), the control codes of kind 0, the attack
// attribute bits carried by hits and the sensing bits of kind 3.
#pragma once

#include <cstdint>

class AiObject;

// Kinds. A target hands its queued messages out highest kind first.
inline constexpr int32_t kMsgControl = 0;   // event control (no sender)
inline constexpr int32_t kMsgHitActor = 1;  // a hit on an AI actor
inline constexpr int32_t kMsgHitHero = 2;   // a hit by a monster-side actor
inline constexpr int32_t kMsgSensing = 3;   // the actor pass's per-frame sensing
// The kind word of a free record.
inline constexpr int32_t kMsgFreeKind = 100000;

// Control codes (kind 0, payload word 1).
inline constexpr int32_t kCtlShowHold = 8192;       // word 2: the event group id
inline constexpr int32_t kCtlRelease = 16384;
inline constexpr int32_t kCtlDropOverride = 32768;  // word 2: item or effect id to drop

// Attack attribute bits (kinds 1 and 2, payload word 1).
inline constexpr int32_t kAtkPlain = 1;
inline constexpr int32_t kAtkHurt2 = 2;
inline constexpr int32_t kAtkHurt4 = 4;
inline constexpr int32_t kAtkHurt8 = 8;
inline constexpr int32_t kAtkBurn = 16;
inline constexpr int32_t kAtkPoison = 32;
inline constexpr int32_t kAtkHeavy = 64;
inline constexpr int32_t kAtkGrabFront = 128;
inline constexpr int32_t kAtkGrabBack = 256;
inline constexpr int32_t kAtkReleaseHeld = 512;
inline constexpr int32_t kAtkGrab = 1024;
inline constexpr int32_t kAtkGrabEnd = 2048;
inline constexpr int32_t kAtkHeldDamage = 4096;
inline constexpr int32_t kAtkStatus16 = 65536;
inline constexpr int32_t kAtkStageHazard = 131072;
inline constexpr int32_t kAtkBreakWall = 262144;

// Sensing bits (kind 3, payload word 0).
inline constexpr int32_t kSenseNear = 2;     // in the territory, or within SearchRange without one
inline constexpr int32_t kSenseAttack = 4;   // within AttackRange (only with kSenseNear)
inline constexpr int32_t kSenseAlarm = 8;    // within AlarmCircle (only with kSenseNear)
inline constexpr int32_t kSenseInView = 16;  // the actor is in view

// One message. Sender and target are the actors themselves; no actor is
// freed while a message names it (the stage drops pending messages first).
struct MSGData {
    int32_t used;      // 0 free, 1 taken
    int32_t kind;      // kMsg*, the priority; kMsgFreeKind when free
    AiObject *sender;  // null for messages of events and of the actor pass
    AiObject *target;
    int32_t word[3];   // payload
};

// Marks a record free (used 0, kind kMsgFreeKind). A receiver frees each
// record that AiObject::PopMessage handed it once it has read it.
inline void FreeMessage(MSGData *msg)
{
    msg->used = 0;
    msg->kind = kMsgFreeKind;
    msg->sender = nullptr;
    msg->target = nullptr;
    msg->word[0] = msg->word[1] = msg->word[2] = 0;
}
