// AiObject: the base record of every actor (heroes, NPCs, monsters, bosses,
// traps and breakable objects). Behaviour classes extend it with their own
// fields and have no virtual functions: the actor pass reaches a type's
// update through the AI-type table. Fields are public words that the
// behaviours, the events and the heroes read and set, grouped by role.
#pragma once

#include <cstdint>

#include "actor/ai_message.h"
#include "actor/thinning.h"
#include "rwcore.h"

class CFSF;
class CSModelInstance;
class CSModelTemplate;
class CSParticleSystem;
struct CharacterParams;
struct RpClump;

// What the actor pass knows of the frame: where the camera stands, the
// focus of the distance thinning (the first hero, else the camera), the
// stage's radii and the camera mode.
struct ActorFrame {
    RwV3d camera = {0.0f, 0.0f, 0.0f};
    RwV3d focus = {0.0f, 0.0f, 0.0f};
    ThinRadii radii;
    int32_t cameraMode = 0;
};

// AI type ranges.
inline constexpr int32_t kAiTypeHero0 = 0;
inline constexpr int32_t kAiTypeHero1 = 1;
inline bool IsHeroType(int32_t aiType) { return aiType == kAiTypeHero0 || aiType == kAiTypeHero1; }

// Sides: heroes, the monster side (types 1000 to 1205), and the rest, which
// is never anyone's foe.
inline constexpr int32_t kSideHero = 0;
inline constexpr int32_t kSideMonster = 1;
inline constexpr int32_t kSideNeutral = 2;
int32_t SideOfAiType(int32_t aiType);

// Active status bits.
inline constexpr int32_t kStatusBurning = 2;
inline constexpr int32_t kStatusPoisoned = 4;

// Animation speed modes of AdvanceAnimation.
inline constexpr int32_t kAnimNormal = 0;
inline constexpr int32_t kAnimFrozen = 1;

inline constexpr int kActorQueueSize = 10;
inline constexpr int kMaxFoundFoes = 2;
inline constexpr int kSensedHeroes = 2;  // the heroes of the stage's hero list
inline constexpr int32_t kNeverSensed = -1;  // a hero's sensing bits before its first test
inline constexpr int kTouchedListSize = 5;

// One entry of the hit marks (GetLinkValue / SetLinkValue).
inline constexpr int kLinkEntries = 2;
struct LinkEntry {
    int32_t key;
    int32_t value;
};

// One entry of the touched list (AddTouchedObject / PopTouchedObject).
struct TouchedEntry {
    int32_t used;
    int32_t kind;
    AiObject *object;
};

class AiObject {
public:
    AiObject();
    AiObject(const AiObject &) = delete;
    AiObject &operator=(const AiObject &) = delete;

    // ---- model ----
    CSModelInstance *model = nullptr;  // first field; null while the actor holds none
    CSModelTemplate *modelTemplate = nullptr;  // .PAF values, animation ranges, the shared CFSF
    RwV3d shakeAnchor = {0.0f, 0.0f, 0.0f};
    bool shakeRequest = false;  // set by other code (a hero shaking it); "shaking flag"
    bool shakeRunning = false;  // the anchor has been stored
    int32_t shakePhase = 0;     // Shake moves on alternate calls

    // ---- identity and links (placement values) ----
    int32_t aiType = 0;
    int32_t side = kSideNeutral;
    int32_t aiId = 0;       // AIID
    int32_t eventId = 0;    // EventID: the event group
    int32_t isRender = 0;   // IsRender: the visibility-instancing flag
    int32_t itemType = 0;   // ItemType: the drop map id
    int32_t territory = 0;  // Territory: 0 none
    int32_t initState = 0;  // InitState
    AiObject *next = nullptr;  // the next actor of the stage's chain

    // ---- placement and motion ----
    RwV3d home = {0.0f, 0.0f, 0.0f};
    RwV3d position = {0.0f, 0.0f, 0.0f};  // cached from the model frame
    RwV3d at = {0.0f, 0.0f, 1.0f};        // facing
    RwV3d up = {0.0f, 1.0f, 0.0f};
    float speed = 0.0f;
    bool pathFollowing = false;   // MoveStep is walking around an obstacle
    bool straightToGoal = false;  // the move heads for the goal rather than along the facing
    bool solid = true;            // other characters' moves collide with it
    bool nonBlocking = false;     // other characters' moves pass through it
    bool pushable = false;        // bumped by charging monsters (kind-2 push)

    // ---- life ----
    int32_t hp = 0;
    int32_t extraPower = 0;
    bool active = false;   // the type's act step runs only while set
    bool removed = false;  // out of play; stays in the chain until the stage goes
    bool busy = false;     // skipped by broadcasts and event trigger tests
    bool dying = false;
    bool hurtable = false;
    bool targetable = false;
    bool guarding = false;
    bool grabbed = false;     // seized by a hero's grab
    bool grabbable = false;   // may be grabbed (a hero's: IsGRAB of its state); "grab-allowed"
    bool broadcastExcluded = false;
    bool down = false;

    // ---- state ----
    int32_t state = 0;
    bool stateEntered = false;  // set on entry, cleared once the entry sound played
    int32_t stateRandom = 0;    // 0..99, drawn by the type's set-state step
    float animClock = 0.0f;     // seconds on the .ANM timeline
    bool animEnded = false;
    int32_t animSpeedMode = kAnimNormal;
    bool animHold = false;  // types from 100 up: the animation does not advance
    bool stateLock = false; // the update does not change the state
    float stateTimer = 0.0f;
    float downTimer = 0.0f;

    // ---- damage and status ----
    int32_t pendingDamage = 0;  // summed from this frame's hits
    int32_t damageToApply = 0;  // last frame's sum, applied by the act step
    int32_t incomingStatus = 0;
    int32_t statusToApply = 0;
    int32_t activeStatus = 0;   // kStatusBurning, kStatusPoisoned
    float burnTimer = 0.0f;
    int32_t burnTicks = 0;
    float poisonTimer = 0.0f;
    int32_t poisonTicks = 0;
    bool burnEffectStarted = false;
    bool poisonTintStarted = false;
    int32_t resistance = 0;  // DEFAttribute bits
    bool hitStopPending = false;
    float hitStopTimer = 0.0f;
    bool frozen = false;
    // Seconds since the last hit (counts up to 5.0); an actor never hit starts past
    // the five seconds its health bar shows for.
    float timeSinceHurt = 5.0f;
    AiObject *lastAttacker = nullptr;  // kept for the reward
    AiObject *lastHitter = nullptr;    // cleared at the end of every act step
    AiObject *hitSender = nullptr;     // the sender of a hit this frame

    // ---- grab and hold words that other code (a hero's grab moves) sets ----
    bool grabLock = false;  // the second hold flag
    bool thrown = false;    // the delayed-damage hold: damage is held back a moment
    float thrownTimer = 0.0f;
    int32_t thrownDamage = 0;  // the held amount
    float thrownReleaseTimer = 0.0f;
    bool thrownReleasePending = false;
    bool heldByHero = false;  // a hero holds this actor
    bool dropped = false;
    int32_t grabWord = 0;     // 0 while holding a hero, 1 at death
    bool frontGrab = false;   // the held hero was seized face to face
    int32_t partnerReady = 0;

    // ---- knock, dizzy, flee ----
    bool knock = false;
    float knockTimer = 0.0f;
    float dizzyTimer = 0.0f;
    bool dizzyEffect = false;
    bool dizzySound = false;
    bool downHitDone = false;  // the down-hit effect of this state entry has started
    float fleeTimer = 0.0f;
    bool fleeActive = false;
    RwV3d fleePoint = {0.0f, 0.0f, 0.0f};

    // ---- targeting ----
    AiObject *target = nullptr;
    AiObject *foes[kMaxFoundFoes] = {nullptr, nullptr};
    int32_t foeCount = 0;
    bool foundFoe = false;
    bool ignoreFoes = false;
    float ignoreFoesTimer = 0.0f;
    float lostTargetTimer = 0.0f;
    float attackDelayTimer = 0.0f;

    // ---- events ----
    bool eventHeld = false;   // held still by an event (code 8192)
    bool eventModel = false;  // the event supplied the model and its animation
    bool holdState = false;   // stands in its hold state
    // A scene waits for it to reach its hold state: it keeps its update
    // while the scene has the actor pass frozen.
    bool sceneActor = false;
    int32_t appear = 0;       // set when an event makes the actor appear
    bool dropOverride = false;
    int32_t dropOverrideId = 0;
    bool drawn = false;      // in view at the last sensing pass
    // The sensing bits each hero of the stage's hero list (by its place)
    // gave at its last test (kNeverSensed before one): a target hero the
    // sensing does not test stands where it was last seen.
    int32_t sensedHeroBits[kSensedHeroes] = {kNeverSensed, kNeverSensed};
    bool healthBar = false;  // the overlay may show its health bar

    // ---- rewards ----
    int32_t rewardAmount = 0;
    bool rewardCounted = false;
    bool deathTint = false;
    bool statusParticles = false;

    // ---- distance thinning ----
    bool fullDetail = false;       // always takes full-detail frames
    bool fullDetailFrame = false;  // this frame is a full-detail frame
    float accumulatedTime = 0.0f;  // time of the thinned frames since the last act
    bool forcedFullFrame = false;
    int32_t thinnedFrames = 0;     // thinned frames since the last full-detail frame

    // ---- hit marks: two entries keyed by the struck actor's AI type (a
    // hero's, or a foe's for the fighting character); an entry whose value
    // is 0 is free ----
    LinkEntry link[kLinkEntries] = {};

    // ---- touched list ----
    TouchedEntry touched[kTouchedListSize] = {};
    int32_t touchedCount = 0;

    // ---- messages ----
    MSGData msgQueue[kActorQueueSize];  // rising kind, newest last among equals
    int32_t msgCount = 0;

    // Messages. ReceiveMessage queues a copy (false, with a diagnostic, when
    // ten are held); PopMessage hands out the highest kind, the newest among
    // equals, or null; the caller frees the record (FreeMessage) once read.
    bool ReceiveMessage(const MSGData &msg);
    MSGData *PopMessage();
    void ClearMessages();

    // Hit marks: the value stored for a key (an AI type; 0 when absent). A
    // key not yet stored takes a free entry; with both entries in use it
    // is not stored.
    int32_t GetLinkValue(int32_t key) const;
    void SetLinkValue(int32_t key, int32_t value);
    // Every mark cleared.
    void ClearLinkValues();

    // The touched list: an actor once; a duplicate or a full list refused.
    bool AddTouchedObject(int32_t kind, AiObject *object);
    // The last recorded entry, taken off the list; null when empty.
    TouchedEntry *PopTouchedObject();

    // HP minus amount, not below 0.
    void SubtractHP(int32_t amount);
    // HP plus amount, not above the .PAF MaxHP.
    void AddHP(int32_t amount);
    // The extra power plus amount, not above the .PAF MExtraPower.
    void AddExtraPower(int32_t amount);

    // The template's parameters and state machine (null without a template).
    const CharacterParams *Params() const;
    CFSF *Fsf() const;
    // The model's clump, null without a model.
    RpClump *Clump() const;

    // ---- position and orientation ----
    // Refresh the cached position, facing or up direction from the model
    // frame (when the actor has a model) and hand it out.
    void GetPosition(RwV3d *out);
    const RwV3d *GetPositionPtr();
    void GetDirection(RwV3d *out);
    void GetUp(RwV3d *out);
    // Sets the cached position and moves the model there.
    void SetPosition(const RwV3d &position);
    // Sets the facing (made unit) and orients the model; a zero direction or
    // one along the up axis changes nothing.
    void SetDirection(const RwV3d &direction);
    // Turns about the axis through the actor's position; without a model
    // only the cached facing turns.
    void Rotate(const RwV3d &axis, float degrees);
    // Copies the model frame's position, at and up rows into the cache.
    void SyncFrameAxes();

    // ---- model ----
    // Attaches an instance (shown, owned by this actor, put at the cached
    // position and facing); null stops the actor's material animations and
    // gives the model back.
    void SetModelInstance(CSModelInstance *instance);
    // On alternate calls moves the model by rand() % 100 / divisor on each
    // axis around the shake anchor, and puts it back on the anchor.
    void Shake(float divisor);
    // A particle system started on a frame of the model (lookup mode 0: the
    // tagged frame, 1: the user-property id); null when the frame, the
    // stage's particle manager or the template is missing.
    CSParticleSystem *SpawnParticleAtFrame(const char *particleName, int32_t frameId, int32_t lookupMode,
                                           int32_t placement, float startValue, int32_t directionFlag,
                                           int32_t modeWord1, int32_t modeWord2);

    // ---- animation ----
    // Advances the animation clock by dt scaled by the speed mode (0 x1,
    // 1 frozen, 2 x0.5, 3 x0.25, 4 x10, 5 x0.8, 6 x0.9) and the model's
    // motion with it; sets the animation-ended flag once the current state's
    // motion has played to its end. For AI types from 100 up nothing
    // advances while the animation-hold flag is set.
    void AdvanceAnimation(float dt);
    // Makes `index` the current state and starts its motion from its first frame.
    void PlayAnimation(int32_t index);
    void SetIsRender() { isRender = 1; }

    // ---- life and events ----
    // The per-type effect restart of the AI-type table (types that own effects).
    void ReleaseTypeEffects();
    // HP 0, material animations stopped, model given back, removed.
    void Remove();
    // Type 112 only becomes busy; every other type is removed.
    void RemoveUnlessHeld();
    // An event makes the actor appear: shown by the visibility instancing
    // and counted as in view from now on; without a model it takes one of
    // its template's instances, stands on the ground, and its event-model
    // flag is set (as an event's code 8192 with its group does).
    void Appear();
    // An event gives the actor back to its own behaviour: its event hold,
    // event model, hold state and appear word end.
    void ReturnToNormal();
    // The base release: the model given back, the queue emptied, every
    // word that names another actor cleared.
    void Release();
    // Clears every word that names another actor (target, foes, attackers,
    // touched list); heroes outlive the stage's actors and forget them.
    void ForgetActors();

    // ---- thinking ----
    // Lists up to two foes in chain order within SearchRange (ground plane),
    // unless the ignore-foes flag is set.
    void FindFoesInRange();
    // Picks the current target from the found foes by mode (1 nearest,
    // 2 lowest HP, 4 farthest, 8 least targeted, 16 most targeted; ties:
    // the later foe); a target outside the actor's territory is dropped and
    // the foes ignored for a while.
    void PickTarget(int32_t mode);
    // Moves toward the goal in the ground plane by `step` (nothing when it
    // stands on the goal): with `collide` the full character move, else the
    // simpler one; with `turn` it faces its motion. `distance` is not used.
    void MoveToward(float distance, const RwV3d &goal, float step, bool turn, bool collide);
    // The next point to walk toward on the way to the target: the target
    // while the step of speed x dt is free, else a point around the
    // obstacle (turns of 45 and 90 degrees either side), with the
    // path-following flag set.
    RwV3d MoveStep(AiObject *targetActor, float speed, float dt);

    // ---- the actor pass ----
    // The band of the distance thinning for this frame.
    int32_t SenseProximity(const ActorFrame &frame);
    // One frame: the distance thinning, then the update of the AI type;
    // the forced-full-frame flag is cleared afterwards.
    void Update(float dt, const ActorFrame &frame);
};
