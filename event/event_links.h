// What the events need of the rest of the game, in one place: the heroes
// and the actor chain, the stage change, the bridge's dynamic effect set,
// the vine pool, the boss gauge and the trace. The stage connects these
// when it makes the event manager; each may be null, and the event step
// that needs one then skips it. Tests fill them with fakes.
//
// Actors are the game's AiObject records, passed through untouched.
#pragma once

#include <cstdint>

#include "rwcore.h"

class AiObject;
class EventRecord;
class CSClumpAnimManager;
class CSMatAnimManager;
class CSNodeAnimPlayer;
class CSParticleManager;
class CSXdtModelChain;
struct RpClump;
struct RpWorld;
struct RwTexture;

// The stage's camera mode in which the camera follows the heroes.
inline constexpr int32_t kEventCameraPlay = 0;

struct EventLinks {
    // ---- heroes: the stage's hero list, in player order ----
    int32_t (*heroCount)() = nullptr;
    AiObject *(*hero)(int32_t index) = nullptr;
    // The player slot (0, 1) the hero is played from.
    int32_t (*playerIndex)(AiObject *hero) = nullptr;

    // ---- actors ----
    AiObject *(*firstActor)() = nullptr;
    AiObject *(*nextActor)(AiObject *actor) = nullptr;
    // The event group of the actor's placement (its EventID).
    int32_t (*eventGroup)(AiObject *actor) = nullptr;
    bool (*isRemoved)(AiObject *actor) = nullptr;
    bool (*isBusy)(AiObject *actor) = nullptr;
    // Its death runs: it is out of the fight and drops what it carries
    // when it goes.
    bool (*isDying)(AiObject *actor) = nullptr;
    // Position and facing, refreshed from the model.
    bool (*pose)(AiObject *actor, RwV3d *position, RwV3d *facing) = nullptr;
    int32_t (*aiType)(AiObject *actor) = nullptr;
    int32_t (*aiId)(AiObject *actor) = nullptr;
    // A message of `kind` with no sender, through the stage's message pool.
    void (*post)(int32_t kind, AiObject *target, int32_t word0, int32_t word1, int32_t word2) = nullptr;
    // The actor's visibility-instancing flag, and setting it.
    bool (*isShown)(AiObject *actor) = nullptr;
    void (*show)(AiObject *actor) = nullptr;
    // An event makes the actor appear: shown, its appear word set, its
    // state and motion `animation` from the start.
    void (*appear)(AiObject *actor, int32_t animation) = nullptr;
    // The hero stands in its state 4.
    bool (*heroInState4)(AiObject *hero) = nullptr;
    // An NPC made ready for a dialogue: AiObject::Appear (a model taken and
    // put on the ground, the event-model flag), or its hold word set and
    // `animation` played from its start; and given back to its own
    // behaviour afterwards (AiObject::ReturnToNormal).
    void (*makeAppear)(AiObject *actor) = nullptr;
    void (*playHeld)(AiObject *actor, int32_t animation) = nullptr;
    void (*returnToNormal)(AiObject *actor) = nullptr;
    // A hero's life and power raised by 9999, with the potion's effect.
    void (*restoreHero)(AiObject *hero) = nullptr;
    // A button's state (0 up, 1 pressed this frame, 2 held) on the pad of
    // the hero played from `playerSlot`.
    uint8_t (*heroPadButton)(int32_t playerSlot, int32_t button) = nullptr;

    // ---- the game camera (the dialogue's turn to the NPC and back) ----
    void (*saveCamera)() = nullptr;
    // The timed move toward the actor over `seconds`; null: back to the play view.
    void (*turnCamera)(AiObject *actor, float seconds) = nullptr;
    int32_t (*cameraMode)() = nullptr;
    // The stage's camera mode (mode 0 brings the stage's far plane back).
    void (*setCameraMode)(int32_t mode) = nullptr;

    // ---- the stage ----
    void (*requestStageChange)(int32_t target, int32_t flag, int32_t transitionMs) = nullptr;

    // ---- effects: the bridge's dynamic effect set ----
    // A free slot, or -1; its two models show the even or the odd piece kind.
    int32_t (*takeDynSlot)(int32_t pieceKind) = nullptr;
    void (*placeDynSlot)(int32_t slot, const RwV3d &position) = nullptr;
    // Turns the slot's models to face `degrees` about the vertical.
    void (*turnDynSlot)(int32_t slot, float degrees) = nullptr;
    // The bridge's five set-up values, the middle and low parts of its
    // Param and the count of pieces standing.
    void (*setDynValues)(int32_t slot, const float values[5], int32_t middle, int32_t low, int32_t count) = nullptr;
    void (*showDynSlot)(int32_t slot, bool firstModel, bool secondModel) = nullptr;
    void (*freeDynSlot)(int32_t slot) = nullptr;

    // ---- effects: the vine pool of the general-effects manager ----
    void (*startVines)(const RwV3d &centre) = nullptr;
    void (*updateVines)(float dt) = nullptr;

    // ---- effects: the general-effects manager's pools ----
    // A free entry of the effect-burst pool switched on and started at the
    // point; false when there is none (or no pool).
    bool (*startEffectBurst)(const RwV3d &position) = nullptr;
    // The star effect of the switch puzzles: started at a point, switched
    // on or off.
    bool (*startStarEffect)(const RwV3d &position) = nullptr;
    void (*starEffectOn)(bool on) = nullptr;
    // The down-hit ground effect at a point.
    bool (*startDownHit)(const RwV3d &position) = nullptr;
    // The explosion package (light, ring of particles, sound) at a point.
    void (*startExplosion)(const RwV3d &position) = nullptr;

    // ---- the stage's members that the hazards drive (each may be null) ----
    CSParticleManager *(*particles)() = nullptr;
    CSNodeAnimPlayer *(*nodeAnims)() = nullptr;
    // The animation manager of the events' clumps (the actors').
    CSClumpAnimManager *(*eventAnims)() = nullptr;
    CSMatAnimManager *(*matAnims)() = nullptr;
    // The collision world, where event models are put.
    RpWorld *(*world)() = nullptr;
    // The stage's chain of the water events' models.
    CSXdtModelChain *(*waterModels)() = nullptr;
    // Whether a sphere is not wholly outside the main camera's view.
    bool (*inView)(const RwV3d &centre, float radius) = nullptr;
    // Draws a clump plainly, or with the fade of a model between camera and hero.
    void (*renderClump)(RpClump *clump) = nullptr;
    void (*renderClumpWithFade)(RpClump *clump, float alpha) = nullptr;

    // ---- sound and music ----
    void (*playSound)(int32_t soundId) = nullptr;
    void (*stopBGM)(int32_t fadeMs) = nullptr;
    bool (*isBGMStopped)() = nullptr;
    void (*playEventBGM)(int32_t fadeMs, int32_t number) = nullptr;
    // The stage's own music again, fading in over 2000 ms.
    void (*fadeInStageBGM)() = nullptr;
    // The stage's own music again at once.
    void (*playStageBGM)() = nullptr;

    // ---- movies: the application's player (a movie it cannot play is a
    // fatal report) and the hero's character that picks a training movie ----
    void (*playMovie)(const char *path) = nullptr;
    void (*stopMovie)() = nullptr;
    bool (*isMoviePlaying)() = nullptr;
    int32_t (*heroCharacter)(AiObject *hero) = nullptr;

    // ---- items and the stage's flags ----
    // Adds the item to list 0 (shared), 1 or 2 (the players'); false when refused.
    bool (*addItem)(int32_t list, int32_t itemId) = nullptr;
    // Whether the list holds the item (a door's key), and one fewer of it.
    bool (*hasItem)(int32_t list, int32_t itemId) = nullptr;
    void (*removeItem)(int32_t list, int32_t itemId) = nullptr;
    void (*setSceneEffectFlag)(uint8_t flag) = nullptr;

    // ---- screens ----
    void (*requestBossGauge)() = nullptr;
    // The pad that confirms the message window (the one the title chose);
    // pad 0 while unlinked.
    int32_t (*controllingPad)() = nullptr;
    // The message window's atlas (the overlay's interface texture), and
    // the texture coordinates of the action key's picture (u0, v0, u1, v1).
    RwTexture *(*interfaceTexture)() = nullptr;
    void (*actionKeyUVs)(float uv[4]) = nullptr;
    // CSUIManager::PlayUISound (id, 0) and CSItemPopup::Show (1, id).
    void (*playUISound)(int32_t soundId) = nullptr;
    void (*showItemPopup)(int32_t itemId) = nullptr;

    // ---- the run's trace: "event id kind started|ended count" ----
    void (*trace)(int32_t eventId, const char *kind, const char *what, int32_t count) = nullptr;
    // "event id kind what x y z": a place inside an event's run.
    void (*tracePoint)(int32_t eventId, const char *kind, const char *what, const RwV3d &at) = nullptr;
};

// The links the events use; empty until the stage connects them.
extern EventLinks g_eventLinks;

// Shorthands that skip what is not linked.
int32_t EventHeroCount();
AiObject *EventHero(int32_t index);
int32_t EventHeroPlayerIndex(AiObject *hero);
// The hero-list position of the hero played from `slot`, or -1.
int32_t EventHeroPositionOfSlot(int32_t slot);
bool EventActorRemoved(AiObject *actor);
bool EventActorBusy(AiObject *actor);
bool EventActorDying(AiObject *actor);
int32_t EventActorGroup(AiObject *actor);
bool EventActorPose(AiObject *actor, RwV3d *position, RwV3d *facing);
// Any hero of the hero list is busy.
bool EventAnyHeroBusy();
int32_t EventActorAiType(AiObject *actor);
int32_t EventActorAiId(AiObject *actor);
// A message without sender: kind 0 event control, kind 2 a hit on a hero.
void EventPost(int32_t kind, AiObject *target, int32_t word0, int32_t word1, int32_t word2);
// The actor is one of the stage's heroes.
bool EventIsHero(AiObject *actor);
// Event control (kind 0, payload 0, code, value) to every actor of the
// chain that is no hero, and to every hero.
void EventPostToOthers(int32_t code, int32_t value);
void EventPostToHeroes(int32_t code, int32_t value);
void EventPlaySound(int32_t soundId);
// A trace line "event <id> <kind> <what> <value>" of a step inside an
// event's run (a dialogue's page, a conversation's topic).
void EventTraceStep(const EventRecord *record, const char *what, int32_t value);
// A trace line "event <id> <kind> <what> <x> <y> <z>" (a moved model's place).
void EventTracePoint(const EventRecord *record, const char *what, const RwV3d &at);
// The event's one-shot sound: played (when the stage has sounds) and
// SoundDone set, once; a sound of 0 plays nothing and leaves SoundDone.
void EventPlaySoundOnce(EventRecord *record, int32_t soundId);
void EventPlayUISound(int32_t soundId);
// The event's bounding sphere is in the main camera's view (true without a camera).
bool EventInView(const RwV3d &centre, float radius);

// What the game system gives: the confirm press of the controlling pad
// (circle or start pressed this frame) or the mouse button pressed this
// frame; the arc cosine in degrees from the game's table; the time of the
// last tick.
bool EventConfirmPressed();
float EventACosDeg(float cosine);
uint32_t EventLastTickMs();
