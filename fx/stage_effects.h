// The effects as members of the running stage: one place that makes every
// effect manager of the stage record (when the stage manager makes its
// members), fills them from the effects pack (once per run) and from each
// stage's files (at its load), runs and draws them each frame and empties
// them when the stage is left. These steps are the stage manager's effects
// part.
#pragma once

#include "rwcore.h"

class CSStageManager;

constexpr const char *kEffectsPackPath = "\\PACK\\EFFECT\\EFFECT.STR";

// Makes every effect member the stage lacks (later calls make nothing
// new): material animations, particles, decals, the general effects, the
// drop pool, packages, node animations, the dynamic slots, the weather and
// the screen grid.
void CreateEffectMembers(CSStageManager *stage);
// Releases and deletes every effect member.
void DestroyEffectMembers(CSStageManager *stage);

// Once per run: opens the effects pack and loads the game-wide particle
// templates (EFFECT.PSS), the package pool (FXM.FXM), the rain texture and
// systems and the general-effects pools, then closes the pack. False when
// the pack is missing or refused (after the fatal report); what can be read
// from the disk is loaded all the same.
bool LoadEffectsPackInto(CSStageManager *stage);

// At a stage load, once its world and stage info are in (its pack open):
// the stage's particle set ("\RESOURCE\PARTICLE\<stage id>.PSS"), the world
// for decals, drops and lights, and the fog and rain of the stage info.
void LoadStageEffects(CSStageManager *stage);
// At a stage release: every instance stopped, the stage's templates and
// decals dropped, rain and fog off.
void ReleaseStageEffects(CSStageManager *stage);

// Each frame with the speed-scaled time step (seconds).
void UpdateStageEffects(CSStageManager *stage, float dt, const RwCamera *camera);
// The effects' 3D layer, after the world and the models.
void RenderStageEffects(const CSStageManager *stage);
// The rain's streak layer over the frame, before the screens.
void RenderStageEffectsOverlay(const CSStageManager *stage, RwReal width, RwReal height);
