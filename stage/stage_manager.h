// The stage record: the one running stage, reached through g_pStageManager,
// with the members every part of the game reads. Each member may be null
// (or empty) when the stage has none, and its readers then skip what needs
// it. This file holds the record and its stage-data operations; loading and
// releasing a stage, and the member managers of other parts of the game,
// live with those parts.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

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
class CSLoading;
class CSStageMusic;

constexpr int32_t kMaxHeroes = 2;
// The game speed of play, where a stage starts and a scene returns to.
constexpr float kNormalGameSpeed = 0.66f;
// The game speed while a scene blends in.
constexpr float kSceneGameSpeed = 0.4f;
// How long the letterbox takes to come and go with a scene's blends.
constexpr int32_t kSceneLetterboxMs = 500;

class CSStageManager {
public:
    CSStageManager() = default;
    // The camera, sound-effect manager and music go with the record.
    ~CSStageManager()
    {
        DestroySound();
        DestroyCamera();
    }
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
    CSStageMusic *music = nullptr;

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
    // the initial turn and pitch, mode 0.
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
};

// The running stage; null while none exists.
extern CSStageManager *g_pStageManager;
