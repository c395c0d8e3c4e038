// The effects as members of the running stage: one place that makes every
// effect manager (when the stage manager makes its members), fills them
// from the effects pack (once per run) and from each stage's files (at its
// load), runs and draws them each frame and empties them when the stage is
// left. The stage manager holds the members; these steps are its effects
// part.
#pragma once

#include <cstdint>

#include "rpworld.h"

class CSMatAnimManager;
class CSParticleManager;
class CSDecalManager;
class CCGEManager;
class CSXdtEffectPool;
class CSFxPackageList;
class CSNodeAnimPlayer;
class CSStageDynEffects;
class CSWeatherEffect;
class CSScreenGrid;

// What a stage's info file says of its weather.
struct StageWeatherKeys {
    int32_t fog = 0;  // 1: on
    uint8_t fogRed = 0;
    uint8_t fogGreen = 0;
    uint8_t fogBlue = 0;
    uint8_t fogAlpha = 255;
    float fogDistance = 0.0f;
    float fogTime = 0.0f;  // seconds of the fade
    int32_t vFog = 0;
    float vFogHigh = 0.0f;
    int32_t rain = 0;  // 0 none, 1 small, 2 medium, 3 large
};

struct FxStageMembers {
    CSMatAnimManager *matAnimManager = nullptr;
    CSParticleManager *particleManager = nullptr;
    CSDecalManager *decalManager = nullptr;
    CCGEManager *geManager = nullptr;
    CSXdtEffectPool *xdtEffectPool = nullptr;
    CSFxPackageList *fxPackages = nullptr;
    CSNodeAnimPlayer *nodeAnimPlayer = nullptr;
    CSStageDynEffects *dynEffects = nullptr;
    CSWeatherEffect *weather = nullptr;
    CSScreenGrid *screenGrid = nullptr;
};

constexpr const char *kEffectsPackPath = "\\PACK\\EFFECT\\EFFECT.STR";

// Makes every member that is missing (later calls make nothing new); the
// weather becomes the one the game-system fog setters reach.
void CreateEffectMembers(FxStageMembers *m);
// Releases and deletes every member.
void DestroyEffectMembers(FxStageMembers *m);

// Once per run: opens the effects pack and loads the game-wide particle
// templates (EFFECT.PSS), the package pool (FXM.FXM), the rain texture and
// systems and the general-effects pools, then closes the pack. False when
// the pack is missing or refused (after the fatal report); what can be read
// from the disk is loaded all the same.
bool LoadEffectsPackInto(FxStageMembers *m);

// At a stage load (its pack open): the stage's particle set
// ("\RESOURCE\PARTICLE\<stage id>.PSS"), the world for decals, drops and
// lights, and the weather from the stage info.
void LoadStageEffects(FxStageMembers *m, int32_t stageId, RpWorld *world, const StageWeatherKeys &keys);
// At a stage release: every instance stopped, the stage's templates and
// decals dropped, rain and fog off.
void ReleaseStageEffects(FxStageMembers *m);

// Each frame with the speed-scaled time step (seconds).
void UpdateStageEffects(FxStageMembers *m, float dt, const RwCamera *camera);
// The effects' 3D layer, after the world and the models.
void RenderStageEffects(const FxStageMembers *m);
// The rain's streak layer over the frame, before the screens.
void RenderStageEffectsOverlay(const FxStageMembers *m, RwReal width, RwReal height);
