// The stage record: the one running stage, reached through g_pStageManager,
// with the members every part of the game reads. Each member may be null
// (or empty) when the stage has none, and its readers then skip what needs
// it. The record's operations live in the stage's files: the stage-data
// queries (stage_manager.cpp), the stage's life (stage_load.cpp), stage
// changes (stage_change.cpp), the frame (stage_frame.cpp), the parts made
// once per run and the heroes (stage_parts.cpp), the camera and the sound
// (stage_camera.cpp, stage_sound.cpp); the managers of other parts of the
// game live with those parts.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "actor/ai_msg_pool.h"
#include "rpworld.h"
#include "stage/ai_placement.h"
#include "stage/clump_anim_manager.h"
#include "stage/clump_fade.h"
#include "stage/model_template.h"
#include "stage/stage_info.h"

class AiObject;
class CSHero;
class CAiMsgPool;
class CSSFXManager;
class CSMatAnimManager;
class CSParticleManager;
class CSDecalManager;
class CCGEManager;
class CSXdtEffectPool;
class CSFxPackageList;
class CSNodeAnimPlayer;
class CSStageDynEffects;
class CSThrownItemManager;
class CSItemManager;
class CSItemDescTable;
class CSWorldItemManager;
class CSGameCamera;
class CSEventManager;
class CSWeatherEffect;
class CSScreenGrid;
class CSLoading;
class CSStageMusic;
class CSXdtModelChain;

constexpr int32_t kMaxHeroes = 2;
// The heroes' AI ids, by player. No placement names a hero, and events,
// bosses and the trace find actors by AI id: the placements number their
// actors from 1 up (the sample's guards and bosses are 1), and -1 stands for
// "no actor" in the trace and the event links. So the first player's hero
// is 0, whichever hero it is, and the second player's is -2.
constexpr int32_t kHeroAiIds[kMaxHeroes] = {0, -2};
// The pad the second player's hero reads.
constexpr int32_t kSecondPlayerPad = 1;
// The game speed of play, where a stage starts and a scene returns to.
constexpr float kNormalGameSpeed = 0.66f;
// The game speed while a scene blends in.
constexpr float kSceneGameSpeed = 0.4f;
// How long the letterbox takes to come and go with a scene's blends.
constexpr int32_t kSceneLetterboxMs = 500;
// How fast the game speed moves toward its target, per second.
constexpr float kGameSpeedBlendPerSecond = 1.0f;
// The fade-in after a stage has loaded, and its colour (black).
constexpr uint32_t kStageFadeInMs = 1000;
constexpr uint32_t kStageFadeColour = 0xFF000000u;

// A stage change asked for and not yet carried out (stage_change.cpp).
struct StageChangeRequest {
    bool pending = false;
    int32_t target = 0;      // a stage id, 0, -1 or a finished stage's number 1..42
    uint8_t transition = 0;  // 1: music, camera, colour fade and grid over `ms` first
    uint32_t ms = 0;
    uint32_t elapsed = 0;    // of the transition
    // A finished stage's number whose stage-end screen has been asked for:
    // it stays pending until that screen releases the stage.
    bool waitingForStageEnd = false;
};

// The loading screen as the stage keeps it while the screens have none.
struct StageLoadingState {
    uint8_t active = 0;
    float progress = 0.0f;
    uint8_t threaded = 0;
};

class CSStageManager {
public:
    CSStageManager() = default;
    // What the record made still goes with it: a stage LoadStage loaded,
    // the heroes LoadHeroes made and the parts made once per run. (A record
    // filled by hand, as tests do, is left to its filler.)
    ~CSStageManager();
    CSStageManager(const CSStageManager &) = delete;
    CSStageManager &operator=(const CSStageManager &) = delete;

    // The template of `aiType` (the first when several models serve the
    // type), null when the stage has none.
    CSModelTemplate *FindModelTemplate(int32_t aiType) const;
    // A free instance of the AI type's template, handed to `owner`; null
    // when the stage has no such template or none can be had.
    CSModelInstance *TakeModelInstance(int32_t aiType, AiObject *owner);
    uint16_t GetModelTemplateCount() const { return static_cast<uint16_t>(modelTemplates.size()); }
    // Takes the stage's info: the actor thinning's radii and far distance
    // from its AIClippingRange, and the far plane for the hero count.
    void SetStageInfo(const StageInfo &info);
    // The far plane of the stage info for the current hero count.
    float StageFarPlane() const { return heroCount >= 2 ? stageInfo.farPlane2P : stageInfo.farPlane1P; }
    // Character moves. MoveCharacter moves the character by direction x
    // distance: its body sphere (the .PAF Radius, resting on its position)
    // against the world and the wall clump (sliding once along what it
    // meets), then swept against the other actors that are solid, not
    // removed, hold a model and do not let moves through; the character
    // then keeps to the ground. With `turn` it faces the direction (half a
    // turn when that is nearly opposite its facing). True when it moved. A
    // hero meets the world only while the game system's move-collision
    // switch is on.
    bool MoveCharacter(AiObject *character, const RwV3d &direction, float distance, bool turn);
    // The same move tested against the other actors at its end point only:
    // a move that ends overlapping an actor it has come closer to is refused.
    bool MoveCharacterSimple(AiObject *character, const RwV3d &direction, float distance, bool turn);
    // How far of `distance` MoveCharacter would take the character, without moving it.
    float ProbeCharacterMove(AiObject *character, const RwV3d &direction, float distance);
    // The actor of the chain with that AIID, null when none.
    AiObject *FindAiObjectById(int32_t aiId) const;

    // The territory of `id`, null for 0 or an id the stage does not have.
    const Territory *FindTerritory(int32_t id) const { return ::FindTerritory(territories, id); }

    // Identity.
    int32_t stageId = 0;
    int32_t stageNumber = 0;  // 1..42
    uint8_t stage41 = 0;      // the world of stage folder 41 is loaded
    StageInfo stageInfo;

    // Actors.
    CSHero *heroes[kMaxHeroes] = {};
    uint8_t heroCount = 0;    // the list is in player order
    AiObject *actorHead = nullptr;
    CAiMsgPool *messagePool = nullptr;
    uint8_t actorUpdate = 1;  // 0 freezes the actor pass while a scene starts
    uint8_t hitTimerSwitch = 0;
    std::vector<std::unique_ptr<CSModelTemplate>> modelTemplates;
    std::vector<AiPlacement> placements;
    std::vector<Territory> territories;
    // Thinning radii r1 < r2 < r3 of the actor pass, and the far distance
    // beyond which an undrawn actor without a model is skipped.
    float thinRadius[3] = {kDefaultAiClippingRange[0], kDefaultAiClippingRange[1], kDefaultAiClippingRange[2]};
    float farDistance = kDefaultAiClippingRange[3];

    // Animation: the actors' manager (the events use it for their clumps
    // too, and the resource report reads it) and the heroes'.
    std::unique_ptr<CSClumpAnimManager> actorAnimations;
    std::unique_ptr<CSClumpAnimManager> heroAnimations;

    // The world and its models.
    RpWorld *world = nullptr;  // the collision world
    RpClump *lightsClump = nullptr;
    RpClump *wallClump = nullptr;
    RpClump *cameraWallClump = nullptr;
    RpClump *skyBoxClump = nullptr;
    std::vector<RpClump *> stageClumps;  // CLUMP00.DFF ...
    float farPlane = kDefaultFarPlane;
    int32_t cameraMode = 0;  // 0..8

    // Members of the other parts of the game.
    CSSFXManager *sfxManager = nullptr;
    CSMatAnimManager *matAnimManager = nullptr;
    CSParticleManager *particleManager = nullptr;
    CSDecalManager *decalManager = nullptr;
    CCGEManager *geManager = nullptr;
    CSXdtEffectPool *xdtEffectPool = nullptr;
    CSFxPackageList *fxPackages = nullptr;
    CSNodeAnimPlayer *nodeAnimPlayer = nullptr;
    CSStageDynEffects *dynEffects = nullptr;
    CSThrownItemManager *thrownItems = nullptr;
    CSItemManager *itemManager = nullptr;
    CSItemDescTable *itemDescTable = nullptr;
    CSWorldItemManager *worldItems = nullptr;
    CSGameCamera *camera = nullptr;
    CSEventManager *eventManager = nullptr;
    CSWeatherEffect *weather = nullptr;
    CSLoading *loading = nullptr;
    CSScreenGrid *screenGrid = nullptr;  // the stage-change transition's grid distortion
    CSStageMusic *music = nullptr;
    // The water events' models (the first loaded, the others its copies):
    // each water event frees its own at its release, the stage release what
    // is left after the events' release.
    CSXdtModelChain *waterModels = nullptr;

    // ---- The stage's life (stage_load.cpp) ----
    // Loads the stage `id` (2000000 + 10000 n, n 1..42) behind the loading
    // screen at the speed of play (the game speed and its target 0.66): the
    // running stage is released first; nothing happens for the
    // stage already loaded, and 0 only releases. A missing required file
    // (the pack, the .BSF, the world, the models the .BSF names, the .IAF)
    // releases everything the load made and raises the fatal report with
    // its name; false then, and for an id that is no stage.
    bool LoadStage(int32_t id);
    // Releases what the load made (any part of it) in reverse; the heroes
    // stay, out of the chain. The current stage number becomes the finished
    // stage of a pending change (1..42 but 39), else 0.
    void ReleaseStage();
    bool IsStageLoaded() const { return stageId != 0; }
    // The loading screen, the screens' own when they have one; the record's
    // loading state always follows it. Activating starts at progress 0.
    void ActivateLoadingScreen(uint8_t on, int32_t id);
    // The loading bar at `progress` and a step of the loading screen (the
    // `loading` trace line).
    void SetLoadingProgress(float progress);

    // ---- Stage changes (stage_change.cpp) ----
    // One request at a time (see stage_change.cpp for the targets and the
    // transition). Writes the `stage request` trace line.
    void RequestStageChange(int32_t target, uint8_t transition, uint32_t ms);
    bool IsStageChangePending() const { return stageChange.pending; }
    // The update's part: a pending change is carried out when it is due.
    void StepStageChange(uint32_t ms);
    void CarryOutStageChange();

    // ---- The frame (stage_frame.cpp) ----
    // One tick of `ms`: the letterbox, a pending change, then (unless the
    // pause menu is open) the game speed, heroes, events, actors, camera
    // and the member managers.
    void Update(uint32_t ms);
    // The tick while a movie plays.
    void MovieTimeUpdate(uint32_t ms);
    // The stage scene, between the main camera's begin and end update.
    void Render();
    // The scene under Render: sky, world, models, events and effects.
    void RenderScene();
    // The screen manager's 2D draw reaches the event manager's message
    // window through here; not while the pause menu is open (the window may
    // post messages as it draws).
    void UpdateMessageWindow();
    // The scene-effect flag; the effect packages clear it when released.
    void SetSceneEffectFlag(uint8_t flag) { sceneEffectFlag = flag; }
    // The factor on the actors' and effects' time step.
    float TimeScale() const { return gameSpeed / kNormalGameSpeed; }

    // ---- Parts made once per run and the heroes (stage_parts.cpp) ----
    // Each makes its group on the first call; later calls do nothing. The
    // first group: the message pool, the animation managers, the camera, the
    // sound-effect manager and the music. The effects, items and event
    // manager join their groups and packs as those parts come; the events
    // pack is \PACK\EVENT\EVENT.
    void CreateSubObjects1();
    void CreateSubObjects2();
    void LoadEffectsPack();
    void LoadItemsPack();
    void LoadEventsPack();
    // Hero `index` (0 or 1) on pad `pad`, from its pack \PACK\HERO\HERO0<index+1>:
    // its template (model, animations, state machine, parameters), its
    // record and its sound list; nothing for a hero already loaded. `flags`
    // is unused. The heroes outlive stages and join the chain at each load.
    void LoadHeroes(int32_t index, int32_t pad, int32_t flags = 0);
    // The hero and pad of the screen manager's hero block (hero 0 on pad 0
    // without one), unless a hero is loaded.
    void LoadHeroesOnce();
    // A second player: the hero the first player does not play, on pad 1,
    // as the second hero of the list (it starts at the stage's second start
    // and the camera takes the two-hero limits). Nothing without a first
    // hero or with two already.
    void LoadSecondPlayersHero();
    // Out of the chain and freed, with their templates and sound lists.
    void UnloadHeroes();
    void SetThreadedLoading(uint8_t on);
    uint8_t IsThreadedLoading() const;

    // The heroes' model templates (HERO01, HERO02): they outlive stages.
    std::unique_ptr<CSModelTemplate> heroTemplates[kMaxHeroes];
    // The message pool the record made (CreateSubObjects1); messagePool
    // points at it, or at one a test lends.
    std::unique_ptr<CAiMsgPool> ownMessagePool;

    // Game speed: the update moves `gameSpeed` toward the target.
    float gameSpeed = kNormalGameSpeed;
    float targetGameSpeed = kNormalGameSpeed;
    // Stage models that hide a hero, drawn last (CSGameSystem::RenderClumpWithFade).
    CSTranslucentList translucent;

    // ---- The camera (stage_camera.cpp) ----
    // Sets the mode (0..8; others are refused with a diagnostic) and the
    // main camera's far plane for it; modes 5 and 6 blend the game speed to
    // 0.4 and 0.66 and bring and take the letterbox over 500 ms; the camera
    // hears of it (mode 0 ends its blend or timed move).
    void SetCameraMode(int32_t mode);
    // The target the update moves the game speed toward.
    void BlendGameSpeedTo(float speed);
    // Makes the game camera on the game system's main camera (once).
    void CreateCamera();
    void DestroyCamera();
    // At stage load, once the stage info, the camera-wall model and the
    // heroes are in: the camera's limits and auto adjustment, its orbit from
    // the initial turn and pitch, mode 0, and the camera placed on the heroes
    // (a step of no time, with its `camera` trace line).
    void LoadCamera();
    // One tick of the camera in the stage's mode, `seconds` of real time:
    // a blend back or turn back that ends sets mode 0. Writes the `camera`
    // trace line.
    void UpdateCamera(float seconds);
    // The same with the heroes' feet (player order) and the first hero's
    // right stick given.
    void StepCamera(float seconds, const RwV3d *heroFeet, int32_t heroCount, float stickX, float stickY);
    // At stage release: the scene camera and the translucent list go.
    void ReleaseCamera();
    // The render's last step: the translucent list, farthest first.
    void RenderTranslucent() { translucent.Draw(); }

    // ---- Sound effects and music (stage_sound.cpp) ----
    // Makes the sound-effect manager and the music on the game's sound (once).
    void CreateSound();
    void DestroySound();
    // At stage load: the stage's sound list, then its music from the start.
    void LoadSound();
    // The tick's sound step: the music's fades by `ms`, then the queued samples start.
    void UpdateSound(uint32_t ms);
    // At stage release: the stage's list released, the music ended.
    void ReleaseSound();
    // The music (see stage_music.h); each does nothing without it.
    void StopBGM(int32_t fadeMs);
    void PlayStageBGM();
    void PlayEventBGM(int32_t fadeMs, int32_t number);
    bool IsBGMStopped() const;
    void FadeInStageBGM();
    void PauseBGM();
    void ResumeBGM();
    void SetBGMVolume(float volume);

    StageChangeRequest stageChange;
    StageLoadingState loadingState;
    // Set while a stage that LoadStage began is held.
    bool stageLoadedHere = false;
    uint8_t sceneEffectFlag = 0;
    // The once-per-run parts that are made.
    uint8_t effectsPackLoaded = 0;
    uint8_t itemsPackLoaded = 0;
    uint8_t eventsPackLoaded = 0;
};

// The render's step that hands the screen manager every monster (AI type
// 1000 to 9999) with a model whose health-bar flag is set; nothing without
// a screen manager.
void CollectMonstersForHud(AiObject *head);

// The running stage; null while none exists.
extern CSStageManager *g_pStageManager;
