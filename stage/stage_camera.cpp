// The stage's camera operations (see stage_manager.h): the mode with its far
// plane, game speed and letterbox, the camera made on the main camera, set
// up from the stage info at load, stepped each tick with the heroes, their
// sticks and what blocks the view, and released; the see-through models'
// draw of CSGameSystem::RenderClumpWithFade.
#include <algorithm>
#include <cmath>

#include "app/debug.h"
#include "actor/hero.h"
#include "app/game_system.h"
#include "app/trace.h"
#include "stage/camera_modes.h"
#include "stage/game_camera.h"
#include "stage/model_frames.h"
#include "stage/stage_links.h"
#include "stage/stage_manager.h"
#include "stage/v3.h"
#include "stage/world_queries.h"

namespace {

// The event whose first model the camera keeps clear of.
constexpr int32_t kCameraBlockingEvent = 79050300;

struct Blockers {
    RpWorld *world;
    RpClump *cameraWall;
    RpClump *eventModel;
};

// The share of the line the camera's sphere travels before the world, the
// camera walls or the event model stop it.
float ClearShare(void *context, const RwV3d &from, const RwV3d &to)
{
    const auto *blockers = static_cast<const Blockers *>(context);
    const RwV3d wanted = V3Sub(to, from);
    const float length = V3Length(wanted);
    if (!(length > 0.0f)) {
        return 1.0f;
    }
    float share = 1.0f;
    auto clip = [&](bool (*query)(void *, const RwV3d &, RwV3d *), void *what) {
        RwV3d move = wanted;
        if (what != nullptr && query(what, from, &move)) {
            share = std::min(share, V3Length(move) / length);
        }
    };
    clip([](void *w, const RwV3d &f, RwV3d *m) {
             return MoveAgainstWorld(static_cast<RpWorld *>(w), f, kCameraRadius, m, kMoveStop);
         },
         blockers->world);
    for (RpClump *clump : {blockers->cameraWall, blockers->eventModel}) {
        clip([](void *c, const RwV3d &f, RwV3d *m) {
                 return MoveAgainstClump(static_cast<RpClump *>(c), f, kCameraRadius, m, kMoveStop);
             },
             clump);
    }
    return share;
}

// The heroes' feet in player order and the first hero's right stick.
void GatherHeroes(const CSStageManager &stage, CameraInputs *inputs)
{
    inputs->heroCount = 0;
    for (int32_t i = 0; i < std::min<int32_t>(stage.heroCount, kMaxHeroes); ++i) {
        if (stage.heroes[i] != nullptr) {
            stage.heroes[i]->GetPosition(&inputs->heroes[inputs->heroCount++]);
        }
    }
    const CSHero *first = stage.heroCount > 0 ? stage.heroes[0] : nullptr;
    if (first != nullptr && g_pGameSystem != nullptr && first->padIndex >= 0 && first->padIndex < kPadsPerBlock) {
        const PadState &pad = g_pGameSystem->padStates[kPadStateBlock][first->padIndex];
        inputs->stickX = pad.axes[2];
        inputs->stickY = pad.axes[3];
    }
}

// "camera mode x y z": where the camera stands after its tick; a game camera
// made without a main camera has no place to give.
void TraceCamera(int32_t mode, const CSGameCamera &camera)
{
    if (!game::TraceOn() || camera.Camera() == nullptr) {
        return;
    }
    const RwV3d eye = RwFrameGetLTM(RwCameraGetFrame(camera.Camera()))->pos;
    game::TraceLine("camera").Int(mode).Real(eye.x).Real(eye.y).Real(eye.z);
}

}  // namespace

void CSStageManager::SetCameraMode(int32_t mode)
{
    if (!IsCameraMode(mode)) {
        DebugPrint("SetCameraMode: %d is no camera mode\n", mode);
        return;
    }
    cameraMode = mode;
    if (g_pGameSystem != nullptr) {
        g_pGameSystem->SetFarPlane(CameraModeFarPlane(mode, farPlane));
    }
    if (mode == kCameraBlendIn) {
        BlendGameSpeedTo(kSceneGameSpeed);
        StageShowLetterbox(kSceneLetterboxMs);
    } else if (mode == kCameraBlendOut) {
        BlendGameSpeedTo(kNormalGameSpeed);
        StageHideLetterbox(kSceneLetterboxMs);
    }
    if (camera != nullptr) {
        camera->OnModeSet(mode);
    }
}

void CSStageManager::BlendGameSpeedTo(float speed)
{
    if (std::isfinite(speed) && speed > 0.0f) {
        targetGameSpeed = speed;
    }
}

void CSStageManager::CreateCamera()
{
    if (camera == nullptr) {
        camera = new CSGameCamera;
        camera->Create(g_pGameSystem != nullptr ? g_pGameSystem->camera : nullptr);
    }
}

void CSStageManager::DestroyCamera()
{
    delete camera;
    camera = nullptr;
    translucent.Clear();
}

void CSStageManager::LoadCamera()
{
    if (camera == nullptr) {
        return;
    }
    camera->SetLimits(stageInfo.camera1, stageInfo.camera2, stageInfo.useAutoAdjustment != 0);
    if (cameraWallClump != nullptr) {
        SetClumpCollisionTest(cameraWallClump, true);
    }
    SetCameraMode(kCameraPlay);
    // Placed on the heroes at once, so that the camera never stands at the
    // origin: a movie over the stage's first ticks, or a mode that holds the
    // camera, leaves it here.
    UpdateCamera(0.0f);
}

void CSStageManager::UpdateCamera(float seconds)
{
    CameraInputs heroes;
    GatherHeroes(*this, &heroes);
    StepCamera(seconds, heroes.heroes, heroes.heroCount, heroes.stickX, heroes.stickY);
}

void CSStageManager::StepCamera(float seconds, const RwV3d *heroFeet, int32_t count, float stickX, float stickY)
{
    if (camera == nullptr) {
        return;
    }
    CameraInputs inputs;
    inputs.heroCount = heroFeet != nullptr ? std::clamp(count, 0, 2) : 0;
    for (int32_t i = 0; i < inputs.heroCount; ++i) {
        inputs.heroes[i] = heroFeet[i];
    }
    inputs.stickX = stickX;
    inputs.stickY = stickY;
    if (cameraMode == kCameraScene || cameraMode == kCameraBlendIn) {
        camera->AdvanceEventClump(seconds);
    }
    inputs.sceneView = camera->EventView();
    Blockers blockers{world, cameraWallClump, StageEventModel(kCameraBlockingEvent)};
    inputs.clearShare = ClearShare;
    inputs.clearContext = &blockers;
    if (camera->Step(cameraMode, seconds, inputs)) {
        SetCameraMode(kCameraPlay);
    }
    TraceCamera(cameraMode, *camera);
}

void CSStageManager::ReleaseCamera()
{
    translucent.Clear();
    if (camera != nullptr) {
        camera->UnloadEventClump(nullptr);
    }
}

// Stage models that hide a hero from the camera wait for the translucent
// pass; everything else, and everything outside a stage, is drawn now.
void CSGameSystem::RenderClumpWithFade(RpClump *clump, float alpha)
{
    CSStageManager *stage = g_pStageManager;
    if (stage == nullptr || stage->camera == nullptr || camera == nullptr || RwCameraGetFrame(camera) == nullptr) {
        RenderClump(clump);
        return;
    }
    const RwV3d eye = RwFrameGetLTM(RwCameraGetFrame(camera))->pos;
    if (!DeferIfBlocking(clump, alpha, eye, stage->camera->HeroFocuses(), stage->camera->HeroFocusCount(),
                         &stage->translucent)) {
        RenderClump(clump);
    }
}
