// The stage's frame (see stage_manager.h): the tick and the render pass.
//
// Update (ms): the letterbox steps by the frame time, a pending stage change
// is carried out when it is due; then, unless the pause menu is open, the
// game speed moves toward its target, and the heroes, the events, the actor
// pass (its time step scaled by speed / 0.66), the camera and the member
// managers take their steps.
//
// Render: the sky box, the world's sectors and the stage models, the
// actors' models, shadows and effects, each atomic drawn only when its
// bounding sphere meets the main camera's frustum (the stage's world and
// the game's models draw through the game's render callbacks, which add
// the developer menu's wire frames). A stage model that
// stands between the camera and a hero is drawn last, see-through
// (CSGameSystem::RenderClumpWithFade). While the pause menu is
// open the scene stands as it is: the health bars are not collected and
// the events do not draw (their draws may post messages).
#include <algorithm>
#include <cmath>
#include <optional>

#include "actor/actor_pass.h"
#include "actor/ai_object.h"
#include "actor/hero.h"
#include "actor/item_stage.h"
#include "app/game_system.h"
#include "app/game_system_children.h"
#include "app/movie_player.h"
#include "event/event_manager.h"
#include "fx/screen_grid.h"
#include "fx/stage_effects.h"
#include "fx/weather.h"
#include "stage/clump_anim_manager.h"
#include "stage/stage_manager.h"
#include "stage/stage_screen_calls.h"

namespace {

bool PauseMenuOpen() { return g_stageScreens != nullptr && g_stageScreens->isPauseMenuOpen() != 0; }

// The events' frame: the heroes' poses, the trigger tests and the events' steps.
void StepEvents(CSStageManager *stage, float seconds)
{
    CSEventManager *events = stage->eventManager;
    if (events == nullptr || !stage->IsStageLoaded()) {
        return;
    }
    for (int32_t i = 0; i < stage->heroCount && i < kMaxHeroes; ++i) {
        events->SetPlayerPose(i, stage->heroes[i]);
    }
    events->CheckTriggers(seconds);
    events->Update(seconds);
}

struct RenderPass {
    RwCamera *camera;
    GameSystemChildren *children;  // null without a game system
};

bool InView(RwCamera *camera, const RwSphere &sphere)
{
    return camera == nullptr || RwCameraSphereInFrustum(camera, &sphere) != rwSPHEREOUTSIDE;
}

RpAtomic *RenderAtomicInView(RpAtomic *atomic, void *data)
{
    const auto *pass = static_cast<const RenderPass *>(data);
    if ((RpAtomicGetFlags(atomic) & rpATOMICRENDER) == 0) {
        return atomic;
    }
    const RwSphere *sphere = RpAtomicGetWorldBoundingSphere(atomic);
    if (sphere != nullptr && !InView(pass->camera, *sphere)) {
        return atomic;
    }
    RpAtomicRender(atomic);
    return atomic;
}

RpWorldSector *RenderSectorInView(RpWorldSector *sector, void *data)
{
    const auto *pass = static_cast<const RenderPass *>(data);
    const RwBBox *box = RpWorldSectorGetBBox(sector);
    const RwV3d half = {(box->sup.x - box->inf.x) * 0.5f, (box->sup.y - box->inf.y) * 0.5f,
                        (box->sup.z - box->inf.z) * 0.5f};
    const RwSphere sphere = {{box->inf.x + half.x, box->inf.y + half.y, box->inf.z + half.z},
                             std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z)};
    if (RpWorldSectorGetNumTriangles(sector) == 0 || !InView(pass->camera, sphere)) {
        return sector;
    }
    RpWorldSectorRender(sector);
    return sector;
}

void RenderClumpInView(RpClump *clump, RenderPass *pass)
{
    if (clump != nullptr) {
        RpClumpForAllAtomics(clump, RenderAtomicInView, pass);
    }
}

// A stage model goes through the game system's fading draw: while it
// stands between the camera and a hero it waits for the translucent pass.
// A model wholly outside the view is not drawn.
void RenderStageModel(RpClump *clump, RenderPass *pass)
{
    CSGameSystem *gs = g_pGameSystem;
    if (gs == nullptr || pass->children == nullptr) {
        RenderClumpInView(clump, pass);
        return;
    }
    RwSphere sphere;
    if (!ClumpWorldSphere(clump, &sphere) || !InView(pass->camera, sphere)) {
        return;
    }
    gs->RenderClumpWithFade(clump, kStageModelFadeAlpha);
}

// The sky box stands around the camera, behind everything drawn after it.
void RenderSkyBox(RpClump *sky, RwCamera *camera)
{
    if (sky == nullptr || camera == nullptr) {
        return;
    }
    const RwV3d *eye = &RwFrameGetLTM(RwCameraGetFrame(camera))->pos;
    RwFrameTranslate(RpClumpGetFrame(sky), eye, rwCOMBINEREPLACE);
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(FALSE));
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(FALSE));
    RpClumpRender(sky);
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(TRUE));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(TRUE));
}

// A model joins the stage's world when it is first drawn, so that the
// stage's lights reach it.
void RenderInStageWorld(const CSStageManager &stage, RpClump *clump, RenderPass *pass)
{
    // Adding takes the clump out of any other world first.
    RpWorldAddClump(stage.world, clump);
    RenderClumpInView(clump, pass);
}

// The actors' models (heroes included, with their weapons) that are shown.
void RenderActors(const CSStageManager &stage, RenderPass *pass)
{
    for (AiObject *actor = stage.actorHead; actor != nullptr; actor = actor->next) {
        RpClump *clump = actor->Clump();
        if (clump == nullptr) {
            continue;
        }
        RenderInStageWorld(stage, clump, pass);
        if (IsHeroType(actor->aiType) && static_cast<const CSHero *>(actor)->weaponClump != nullptr) {
            RenderInStageWorld(stage, static_cast<const CSHero *>(actor)->weaponClump, pass);
        }
    }
}

}  // namespace

void CollectMonstersForHud(AiObject *head)
{
    if (g_stageScreens == nullptr) {
        return;
    }
    for (AiObject *actor = head; actor != nullptr; actor = actor->next) {
        if (actor->healthBar && actor->aiType >= 1000 && actor->aiType <= 9999 && actor->model != nullptr) {
            g_stageScreens->addHudActor(actor);
        }
    }
}

// The animation pass's switch (the developer menu's frozen hierarchies)
// also holds the poses that a state change would set, so that no actor's
// model moves while it is on; the motions are still kept, and the pass
// poses them again once the switch is off.
static void HoldActorPoses(CSStageManager *stage, bool held)
{
    for (CSClumpAnimManager *animations : {stage->actorAnimations.get(), stage->heroAnimations.get()}) {
        if (animations != nullptr) {
            animations->HoldPoses(held);
        }
    }
}

void CSStageManager::Update(uint32_t ms)
{
    HoldActorPoses(this, g_actorPassSkipsAnimation);
    if (g_stageScreens != nullptr) {
        g_stageScreens->stepLetterbox(ms);
    }
    // The transition's grid distortion runs whether or not a stage is loaded.
    if (screenGrid != nullptr) {
        screenGrid->Update(static_cast<float>(ms) * 0.001f);
    }
    StepStageChange(ms);
    if (PauseMenuOpen()) {
        return;
    }
    const float seconds = static_cast<float>(ms) * 0.001f;
    const float step = kGameSpeedBlendPerSecond * seconds;
    if (gameSpeed < targetGameSpeed) {
        gameSpeed = std::min(targetGameSpeed, gameSpeed + step);
    } else if (gameSpeed > targetGameSpeed) {
        gameSpeed = std::max(targetGameSpeed, gameSpeed - step);
    }
    if (!IsStageLoaded()) {
        return;
    }
    // The heroes take the actors' speed-scaled step, before the events see them.
    RunHeroStep(this, seconds * TimeScale());
    StepEvents(this, seconds);
    CSGameSystem *gs = g_pGameSystem;
    RunActorPass(this, seconds * TimeScale(), MakeActorFrame(this, gs != nullptr ? gs->camera : nullptr));
    UpdateCamera(seconds);
    // The effects take the same speed-scaled step as the actors.
    UpdateStageEffects(this, seconds * TimeScale(), gs != nullptr ? gs->camera : nullptr);
    UpdateItemMembers(this);
    UpdateSound(ms);
}

// While a movie plays only the events take their steps.
void CSStageManager::MovieTimeUpdate(uint32_t ms) { StepEvents(this, static_cast<float>(ms) * 0.001f); }

void CSStageManager::UpdateMessageWindow()
{
    if (PauseMenuOpen() || eventManager == nullptr || !IsStageLoaded()) {
        return;
    }
    eventManager->UpdateMessageWindow();
}

void CSStageManager::Render()
{
    if (world == nullptr) {
        return;
    }
    CSGameSystem *gs = g_pGameSystem;
    RwCamera *camera = gs != nullptr ? gs->camera : nullptr;
    // During a stage change with transition the scene is drawn through the
    // screen grid (into a texture, then onto a wobbling grid).
    if (screenGrid != nullptr && camera != nullptr) {
        screenGrid->Render(
            camera, [](void *self) { static_cast<CSStageManager *>(self)->RenderScene(); }, this);
    } else {
        RenderScene();
    }
    if (camera != nullptr && RwCameraGetRaster(camera) != nullptr) {
        RenderStageEffectsOverlay(this, static_cast<RwReal>(RwCameraGetRaster(camera)->width),
                                  static_cast<RwReal>(RwCameraGetRaster(camera)->height));
    }
    if (!PauseMenuOpen() && !IsMoviePlaying()) {
        CollectMonstersForHud(actorHead);
    }
}

void CSStageManager::RenderScene()
{
    CSGameSystem *gs = g_pGameSystem;
    std::optional<GameSystemChildren> children;
    RenderPass pass = {nullptr, nullptr};
    if (gs != nullptr) {
        children.emplace(GameSystemChildren{*gs});
        pass = {gs->camera, &*children};
    }
    RenderSkyBox(skyBoxClump, pass.camera);
    if (weather != nullptr) {
        weather->BeginScene(pass.camera);
    }
    RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(TRUE));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(TRUE));
    RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLBACK));
    RpWorldForAllWorldSectors(world, RenderSectorInView, &pass);
    for (RpClump *clump : stageClumps) {
        RenderStageModel(clump, &pass);
    }
    RenderActors(*this, &pass);
    // The events' draws stand still under the pause menu: the events may
    // post messages while they draw.
    const bool paused = PauseMenuOpen();
    if (!paused && eventManager != nullptr) {
        eventManager->Render();
    }
    RenderStageEffects(this);
    // Stage models that hide a hero, see-through, farthest first.
    RenderTranslucent();
    if (!paused && eventManager != nullptr) {
        eventManager->RenderLate();
    }
    if (weather != nullptr) {
        weather->EndScene();
    }
}
