// The ground every monster behaviour stands on: the running stage's members
// (each may be missing, and the step that needs it is skipped), the state
// machine's step that every behaviour feeds, state lists, the frozen look
// of a hit-stop, and small vector arithmetic.
//
// Behaviours are free functions over AiObject in the kit files beside this
// one (kit_*.h), each one step of a behaviour; a type's steps are short
// scripts of them in the order its rules give, since that order decides
// which input fed to the state machine wins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "actor/ai_object.h"
#include "stage/v3.h"

class CAiMsgPool;
class CCGEManager;
class CFSF;
class CSClumpAnimManager;
class CSHero;
class CSMatAnimManager;
class CSParticleSystem;
class CSSFXManager;
struct CharacterParams;

namespace monster {

// ---- the running stage (null while it has no such member) ----
CSSFXManager *Sounds();
CSMatAnimManager *MatAnims();
CCGEManager *Effects();
CAiMsgPool *Messages();
// The stage's heroes in player order (null entries skipped by callers).
int32_t HeroCount();
CSHero *Hero(int32_t index);
// The first actor of the stage's chain.
AiObject *FirstActor();
// The animation manager that plays the actor's motions.
CSClumpAnimManager *AnimationsOf(const AiObject *actor);
// The frame of the motion the actor's clump plays (time x 60), -1 when
// its clump is not animated.
float MotionFrameOf(const AiObject *actor);

// The .PAF values of the actor; defaults for an actor without a template.
const CharacterParams &ParamsOf(const AiObject *actor);

// ---- the state machine ----
// The inputs of idling and moving that every type feeds.
inline constexpr int32_t kInputIdle = 0;   // at home or idle
inline constexpr int32_t kInputChase = 1;  // walk, chase or return
inline constexpr int32_t kInputReady = 2;  // within attack range, still waiting

// Sets the shared state machine's cursor to the actor's own state, then
// takes the step for `input` with the actor's animation-ended flag: *next
// := the result (-1 when nothing was taken), which is also returned.
// Nothing (and -1) for an actor without a state machine.
int32_t FeedInput(AiObject *actor, int32_t *next, int32_t input);
// The same as if the state's animation had ended.
int32_t FeedInputEnded(AiObject *actor, int32_t *next, int32_t input);
// A state number as the rules compare `next`: -1 reads as the largest.
inline uint32_t Unsigned(int32_t state) { return static_cast<uint32_t>(state); }

// No state: an empty slot of a state list, or a step a type does not have.
inline constexpr int32_t kNoState = -1;

// Whether `state` is in the list (lists are padded with kNoState, which no
// state equals).
template <size_t N>
constexpr bool IsOneOf(int32_t state, const int32_t (&states)[N])
{
    for (int32_t s : states) {
        if (s == state && s >= 0) {
            return true;
        }
    }
    return false;
}

inline bool IsOneOf(int32_t state, std::span<const int32_t> states)
{
    for (int32_t s : states) {
        if (s == state && s >= 0) {
            return true;
        }
    }
    return false;
}

// A hit-stop or hold freezes the actor's animation; unfreezing lets it run.
void SetFrozen(AiObject *actor, bool frozen);

// Plays a sound of the stage (not looped) / stops it.
void PlaySound(int32_t soundId);
void StopSound(int32_t soundId);

// A hero's AI type is the key of its hit mark; true for the heroes.
bool IsHero(const AiObject *actor);

// ---- arithmetic on the ground plane ----
inline RwV3d Flat(const RwV3d &v) { return {v.x, 0.0f, v.z}; }
float GroundDistance(const RwV3d &a, const RwV3d &b);

}  // namespace monster
