// The think step's messages: reading the queue, the event actions' control
// codes and what a hit on the actor means (its input to the state machine,
// its damage and the status it brings).
#pragma once

#include <cstdint>

#include "actor/ai_message.h"
#include "monster/kit_common.h"

namespace monster {

// Reads as many messages as the queue holds now, highest kind first: each
// is copied and its record freed before `handle` sees the copy. `handle`
// returns false to end the think step at once; false then.
template <typename Handle>
bool DrainMessages(AiObject *actor, Handle handle)
{
    for (int32_t left = actor->msgCount; left > 0; --left) {
        MSGData *record = actor->PopMessage();
        if (record == nullptr) {
            break;
        }
        const MSGData message = *record;
        FreeMessage(record);
        if (!handle(message)) {
            return false;
        }
    }
    return true;
}

// Takes a model instance of the actor's type, makes the actor active,
// shows the model and puts its clump on the actor's current motion at the
// animation clock. False when none is free (the caller's think step ends).
bool TakeModel(AiObject *actor);
// The same, then put on the ground when the stage has collision.
bool TakeModelOnGround(AiObject *actor);
// The model's clump put on the actor's current motion at the animation
// clock (the motion changed only when it differs).
void SyncModelMotion(AiObject *actor);

struct ControlRules {
    bool showHoldClearsKnock = true;  // code 8192 clears the knock flag
    bool showPutsOnGround = false;    // a model code 8192 takes is put on the ground
    // The type's own look of a model just taken (by code 8192 or by the
    // sensing), may be null.
    void (*modelTaken)(AiObject *) = nullptr;
};
// A kind-0 message of an event action: 8192 holds the actor (and, for an
// actor of the event's group without a model, takes and shows one: the
// event then owns its animation), 16384 lets it go (*next := 0), 32768
// names what it drops when it dies. False when a model was wanted and
// none is free: the think step ends.
bool HandleEventControl(AiObject *actor, const MSGData &message, int32_t *next, const ControlRules &rules);

// Hit inputs of the state machine.
inline constexpr int32_t kInputHurt = 100;
inline constexpr int32_t kInputHurt4 = 101;
inline constexpr int32_t kInputKnockDown = 102;
inline constexpr int32_t kInputHurt2 = 103;
inline constexpr int32_t kInputGrabbed = 104;
inline constexpr int32_t kInputGrabEnded = 105;
inline constexpr int32_t kInputGetUp = 106;
inline constexpr int32_t kInputDizzyEnd = 107;
inline constexpr int32_t kInputDeath = 120;
inline constexpr int32_t kInputDeathStatus16 = 121;

// Incoming status bits a hit brings.
inline constexpr int32_t kStatusPlain = 1;
inline constexpr int32_t kStatusBurn = 2;
inline constexpr int32_t kStatusPoison = 4;
inline constexpr int32_t kStatusGuardBreak = 8;
inline constexpr int32_t kStatus16 = 16;

// How a type reads a hit (kind 1).
struct HitRules {
    // The bits that count as a damaging hit.
    int32_t countedBits = kAtkPlain | kAtkBurn | kAtkPoison | kAtkHeavy | kAtkStatus16;
    // The input of a heavy hit (bit 64).
    int32_t heavyInput = kInputKnockDown;
    // A heavy hit also brings the guard-break status 8.
    bool heavyBreaksGuard = false;
    // Bit 8 knocks down only while the guarding flag is clear.
    bool guardingStopsKnockDown = false;
    // States in which a hit's damage is not taken unless it is heavy.
    int32_t noDamageStates[2] = {-1, -1};
    // States in which the hero holding the actor hurts it (4096) or lets
    // it go (2048).
    int32_t grabbedStates[2] = {-1, -1};
    // A hero's bit 512 in this state lets go of the hero the actor holds.
    int32_t releaseState = -1;
    int32_t releaseInput = 14;
    // A damaging hit's sender is kept as the last hitter.
    bool recordsLastHitter = false;
    // Any hit makes the actor notice its foes again (the found-foe flag
    // set, the ignore-foes flag cleared).
    bool noticesFoes = true;
    // The last attacker is the sender of the latest hit that counted (else
    // the first one is kept).
    bool latestIsLastAttacker = false;
    // A hero's grab (1024) seizes the actor (input 104).
    bool takesGrabs = true;
};
// A blow of `value` less the actor's Defense added to its pending damage
// (held to the int range); one the Defense takes whole costs nothing.
void AddBlowDamage(AiObject *actor, int32_t value);
// One hit with attribute bits B and value V from sender S: the foes are
// noticed again; a counted hit sums V - Defense into the pending damage
// (when positive, and not in a no-damage state unless heavy), chooses the
// hurt input by the bits and the resistances, brings its status bits and
// remembers S as the last attacker when none is; a grab (1024) feeds 104;
// in the grabbed states 4096 hurts (104) and 2048 lets go (105). Returns
// the input to feed: `input` (the value kept from the previous message)
// when the hit chooses none.
int32_t ClassifyHit(AiObject *actor, const MSGData &message, int32_t input, const HitRules &rules);

// What a type's think step does with the kinds every type shares.
struct ThinkRules {
    ControlRules control;
    HitRules hits;
    // The type's own effects, let go of when the model goes out of view.
    void (*letGoOwnEffects)(AiObject *) = nullptr;
    // A dying actor keeps its model out of view.
    bool dyingKeepsModel = true;
};
// Visibility instancing by the in-view bit (16): in view with the
// visibility-instancing flag set, an actor without a model takes and shows
// one (put on the ground when the stage has collision); false when none is
// free (the think step ends). Otherwise the actor gives its model back
// (unless the event gave it or, when `dyingKeepsModel`, it is dying), lets
// go of its own effects (`letGoOwnEffects`, may be null), and its status
// particles and burning look stop. `modelTaken` (may be null) sees a model
// just taken.
bool SenseModel(AiObject *actor, int32_t bits, void (*letGoOwnEffects)(AiObject *),
                void (*modelTaken)(AiObject *) = nullptr, bool dyingKeepsModel = true);

// The think step's message loop, with one input that keeps its value from
// one message to the next: kind 0 the event control, kind 1 a hit (its
// input fed), kind 3 the sensing: the model by the in-view bit, then
// `sense(bits, &input)`, which turns the bits into the input and returns
// false when the message feeds nothing; kind 2 and others are dropped.
// Ends at once (false) when a wanted model is not to be had.
template <typename Sense>
bool ThinkMessages(AiObject *actor, int32_t *next, const ThinkRules &rules, Sense sense)
{
    int32_t input = 0;
    return DrainMessages(actor, [&](const MSGData &m) {
        switch (m.kind) {
        case kMsgControl:
            return HandleEventControl(actor, m, next, rules.control);
        case kMsgHitActor:
            input = ClassifyHit(actor, m, input, rules.hits);
            FeedInput(actor, next, input);
            return true;
        case kMsgSensing:
            if (!SenseModel(actor, m.word[0], rules.letGoOwnEffects, rules.control.modelTaken, rules.dyingKeepsModel)) {
                return false;
            }
            if (sense(m.word[0], &input)) {
                FeedInput(actor, next, input);
            }
            return true;
        default:
            return true;
        }
    });
}

}  // namespace monster
