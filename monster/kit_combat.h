// The act step's blows: the hit test of an attack state's weapons (or of a
// grab cone) on the heroes with the per-entry hit marks and the kind-2 hit
// they are sent, the push on pushable actors, the charge that carries the
// heroes it meets, and seizing, holding and letting go of a hero.
#pragma once

#include <cstdint>

#include "monster/kit_common.h"

namespace monster {

// How far a weapon part's pick line reaches along the part (units).
inline constexpr float kWeaponPickLength = 10.0f;
// The charge input of a state whose blow lands (or misses).
inline constexpr int32_t kInputChargeHit = 11;

// What the hit test of a type does.
struct HeroHitRules {
    // Heroes tested: those whose active flag is set (else those not removed).
    bool activeHeroesOnly = true;
    // A state where the blow is a grab cone rather than the weapons, and
    // how much wider and longer than GraborBleedHAngle / GraborBleedRange
    // the cone reaches (degrees, units).
    int32_t grabConeState = -1;
    float grabConeWiden = 15.0f;
    float grabConeLonger = 5.0f;
    // A state where no blow is tested.
    int32_t noHitState = -1;
    // The charge state: a blow that lands feeds kInputChargeHit; a miss
    // feeds 0, unless `next` holds a state from `missKeepsFrom` up (taken
    // as unsigned, so -1 is kept too); with `missAlwaysFeeds` the miss
    // always feeds 0.
    int32_t chargeState = -1;
    int32_t missKeepsFrom = 0;
    bool missAlwaysFeeds = false;
};

// A blow that lands on a hero this state entry for the first time: the
// hero, the weapon id that touched (0 for a grab cone) and where.
struct FreshHit {
    CSHero *hero;
    int32_t weaponId;
    RwV3d contact;
    bool byWeapon;
};

// The kind a charge records the heroes it meets under in its touched list.
inline constexpr int32_t kTouchedByCharge = 0;

// The hit mark an actor keeps on one it has struck in the current state
// entry (keyed by the struck one's AI type; entering a state clears them).
inline constexpr int32_t kStruckMark = 1;

// The hit test of the current state on each hero: a hero touched and
// hurtable is sent a kind-2 hit {0, AttackAttribute, AttackValue x
// trunc(LevelAppend)} once per state entry (its hit mark); the charge
// state's inputs are fed. `onFresh` (may be null) sees each fresh hit.
void HitHeroes(AiObject *actor, int32_t *next, const HeroHitRules &rules,
               void (*onFresh)(AiObject *actor, const FreshHit &hit));
// How a fresh blow on a hero shows: on an unguarded hero, blood on the
// ground under it and sparks ("3400400.zus") at the contact; on a
// guarding hero that faces the actor, the guard sparks ("3402601.zus",
// "3402600.zus") on the weapon's frame; on a guarding hero struck from
// behind, blood under it and sparks on the weapon's frame. A HitHeroes
// `onFresh`.
void ShowBlowOnHero(AiObject *actor, const FreshHit &hit);
// The marks of a blow that lands unguarded on `struck`: blood on the
// ground under it (when the stage has its decals) and sparks
// ("3400400.zus") at the contact.
void ShowUnguardedBlow(AiObject *struck, const RwV3d &contact);
// Whether a weapon of the actor's attack state touches `other`'s model:
// the weapon id and the contact.
bool WeaponTouches(AiObject *actor, CFSF *fsf, AiObject *other, int32_t *weaponId, RwV3d *contact);
// The state's AttackValue x trunc(LevelAppend).
int32_t AttackDamage(AiObject *actor, CFSF *fsf);
// Posts a kind-2 message to `target`.
void PostHeroHit(AiObject *sender, AiObject *target, int32_t bits, int32_t damage);

// In a bumping state: every other actor with a model that is pushable and
// not dying, whose body sphere overlaps the actor's, is sent a push
// (kind 2 {0, 1, 0}) and speeds the actor up by 50 x dt; *step follows.
void PushPushables(AiObject *actor, float dt, float *step);

// Who a charge carries along: the actors `carried` accepts (heroes unless
// a type says otherwise), not removed, with a model when `needsModel`,
// targetable when `needsTargetable`.
struct CarryRule {
    bool (*carried)(const AiObject *other) = nullptr;  // null: the heroes
    bool needsModel = true;
    bool needsTargetable = false;
};
// The charge carry: the move toward the goal, clipped by the world, and
// every actor the rule carries whose sphere the actor's overlaps is moved
// along the actor's facing by the step, then the actor itself.
void CarryHeroes(AiObject *actor, const RwV3d &goal, float step, const CarryRule &rule = {});

// ---- seizing a hero (the grab monsters) ----
// Where a seized hero is held: `front` ahead of the monster when seized
// face to face, `back` when seized from behind.
struct HoldDistance {
    float front;
    float back;
};
// The seize: the first hero (not removed) within GraborBleedRange and the
// GraborBleedHAngle cone becomes *held; when it may be grabbed and no one
// holds it yet, it is turned (facing the monster when seized from the
// front), put `seizeAt` ahead, sent kind 2 {0, 128 or 256, AttackValue x
// trunc(LevelAppend)}, marked held, and input 13 is fed; true then. A hero
// found but not seized is not kept.
bool SeizeHero(AiObject *actor, int32_t *next, CSHero **held, const HoldDistance &seizeAt);
inline constexpr int32_t kInputSeized = 13;
inline constexpr int32_t kInputHoldEnds = 15;
// Puts the held hero ahead of the monster (it follows the monster's moves
// and turns). Here and at the seize the hero goes no farther than the
// world and the wall clump let its body pass from the monster's place.
void KeepHeroAhead(AiObject *actor, CSHero *held, const HoldDistance &holdAt);
// Lets go of the held hero: kind 2 {0, 512, 0} and the word forgotten.
void ReleaseHero(AiObject *actor, CSHero **held);

// How a particle system is started on a frame of a model (the arguments
// of AiObject::SpawnParticleAtFrame): the frame found by its tag or by its
// user-property id; the system kept on the frame as it moves or left where
// it was put (a system whose particles follow their emitter is kept on it
// either way); its emission along the frame's direction.
inline constexpr int32_t kFrameByTag = 0;
inline constexpr int32_t kFrameByUserId = 1;
inline constexpr int32_t kLeftWherePut = 0;
inline constexpr int32_t kKeptOnFrame = 1;
inline constexpr int32_t kAlongFrame = 1;

// A particle system started on a frame of the actor's model and not kept:
// it goes back to its pool once its particles are gone. The arguments are
// those of AiObject::SpawnParticleAtFrame.
void SparkOnFrame(AiObject *actor, const char *name, int32_t frameId, int32_t lookupMode, int32_t placement,
                  float startValue, int32_t directionFlag, int32_t modeWord1, int32_t modeWord2);
// The same at a point of the world, left where its particles are emitted.
void SparkAt(const char *name, const RwV3d &position);
// A system an actor kept and lets go of: it stops emitting and goes back
// to its pool once its particles are gone; the word is cleared.
void LetGoOfSystem(CSParticleSystem **system);
// A kept system given back to its pool at once (the stage, and the frames
// the system follows, are going); the word is cleared.
void GiveBackSystemNow(CSParticleSystem **system);

}  // namespace monster
