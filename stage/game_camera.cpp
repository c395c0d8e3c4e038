// The game camera's modes, blends and timed moves (see game_camera.h).
#include "stage/game_camera.h"

#include <algorithm>
#include <cmath>

#include "actor/ai_object.h"
#include "app/debug.h"
#include "app/game_system.h"
#include "rwframe.h"
#include "stage/camera_math.h"
#include "stage/camera_modes.h"
#include "stage/model_frames.h"
#include "stage/stage_clumps.h"
#include "stage/v3.h"

namespace {

// Seconds short of its duration at which a blend or move counts as arrived.
constexpr float kArrivalSlack = 1e-4f;

}  // namespace

std::string SceneCameraClumpPath(const char *clumpName)
{
    return std::string("\\RESOURCE\\G_EVENT\\CAMERA\\DFF\\") + (clumpName != nullptr ? clumpName : "");
}

std::string SceneCameraAnimationPath(const char *animationName)
{
    return std::string("\\RESOURCE\\G_EVENT\\CAMERA\\ANM\\") + (animationName != nullptr ? animationName : "");
}

void CSGameCamera::Create(RwCamera *camera) { camera_ = camera; }

bool CSGameCamera::LoadEventClump(const char *clumpName, const char *animationName)
{
    UnloadEventClump(nullptr);
    if (clumpName == nullptr || animationName == nullptr || clumpName[0] == '\0' || animationName[0] == '\0') {
        return false;
    }
    const std::string clumpPath = SceneCameraClumpPath(clumpName);
    RpClump *clump = g_pGameSystem != nullptr ? g_pGameSystem->LoadClump(clumpPath.c_str(), nullptr)
                                              : LoadClumpFile(clumpPath.c_str(), nullptr);
    if (clump == nullptr) {
        return false;
    }
    const std::string animationPath = SceneCameraAnimationPath(animationName);
    const int32_t set = eventAnimations_.LoadAMF(animationPath.c_str());
    const std::string setName = set >= 0 ? eventAnimations_.GetAnimInfo(set)->name : std::string();
    if (set < 0 || eventAnimations_.AssignAnimation(clump, setName.c_str()) == 0) {
        DebugPrint("Scene camera %s: the animation %s cannot be played on it\n", clumpName, animationName);
        eventAnimations_.ReleaseAll();
        DestroyStageClump(clump);
        return false;
    }
    eventClump_ = clump;
    eventClumpName_ = clumpName;
    return true;
}

void CSGameCamera::UnloadEventClump(const char *name)
{
    if (eventClump_ == nullptr || (name != nullptr && eventClumpName_ != name)) {
        return;
    }
    eventAnimations_.ReleaseAll();
    DestroyStageClump(eventClump_);
    eventClump_ = nullptr;
    eventClumpName_.clear();
}

void CSGameCamera::AdvanceEventClump(float seconds)
{
    if (eventClump_ != nullptr && std::isfinite(seconds) && seconds > 0.0f) {
        eventAnimations_.UpdateClump(eventClump_, seconds);
    }
}

const RwMatrix *CSGameCamera::EventView() const
{
    if (eventClump_ == nullptr) {
        return nullptr;
    }
    RpHAnimHierarchy *hierarchy = GetClumpHierarchy(eventClump_);
    RwFrame *frame = hierarchy != nullptr && hierarchy->numNodes > 0 && hierarchy->pNodeInfo[0].pFrame != nullptr
                         ? hierarchy->pNodeInfo[0].pFrame
                         : RpClumpGetFrame(eventClump_);
    return frame != nullptr ? RwFrameGetLTM(frame) : nullptr;
}

float CSGameCamera::EventAnimationTime() const
{
    return eventClump_ != nullptr ? eventAnimations_.GetMotionTime(eventClump_) : -1.0f;
}

bool CSGameCamera::EventAnimationEnded() const
{
    return eventClump_ != nullptr && eventAnimations_.HasMotionEnded(eventClump_);
}

void CSGameCamera::SetLimits(const StageCameraLimits &oneHero, const StageCameraLimits &twoHeroes, bool autoAdjust)
{
    limits1_ = SaneCameraLimits(oneHero);
    limits2_ = SaneCameraLimits(twoHeroes);
    autoAdjust_ = autoAdjust;
    orbit_ = OrbitStart(limits1_);
    wanted_ = orbit_.distance;
    hasPlayView_ = false;
    blend_ = {};
    move_ = {};
}

void CSGameCamera::OnModeSet(int32_t mode)
{
    if (mode == kCameraPlay) {
        blend_ = {};
        move_ = {};
    }
}

RwMatrix CSGameCamera::CurrentView(RwCamera *camera) const
{
    if (camera == nullptr || RwCameraGetFrame(camera) == nullptr) {
        return playView_;
    }
    return *RwFrameGetMatrix(RwCameraGetFrame(camera));
}

void CSGameCamera::Place(const RwMatrix &view)
{
    if (camera_ != nullptr && RwCameraGetFrame(camera_) != nullptr) {
        RwFrameTransform(RwCameraGetFrame(camera_), &view, rwCOMBINEREPLACE);
    }
}

void CSGameCamera::SaveMatrix(RwCamera *camera)
{
    if (camera != nullptr && RwCameraGetFrame(camera) != nullptr) {
        saved_ = *RwFrameGetMatrix(RwCameraGetFrame(camera));
        hasSaved_ = true;
    }
}

void CSGameCamera::RestoreMatrix(RwCamera *camera)
{
    if (hasSaved_ && camera != nullptr && RwCameraGetFrame(camera) != nullptr) {
        RwFrameTransform(RwCameraGetFrame(camera), &saved_, rwCOMBINEREPLACE);
    }
}

void CSGameCamera::PrepareTimedMove(RwCamera *camera, const RwV3d *target, float seconds)
{
    move_ = {};
    if (!(seconds > 0.0f)) {
        return;
    }
    move_.active = true;
    move_.target = target != nullptr ? Target::Point : Target::Play;
    move_.point = target != nullptr ? *target : RwV3d{0.0f, 0.0f, 0.0f};
    move_.from = CurrentView(camera);
    move_.duration = seconds;
}

void CSGameCamera::PrepareTimedMove(RwCamera *camera, AiObject *actor, float seconds)
{
    if (actor == nullptr) {
        PrepareTimedMoveBack(camera, seconds);
        return;
    }
    RwV3d point;
    actor->GetPosition(&point);
    point.y += kCameraFocusHeight;
    PrepareTimedMove(camera, &point, seconds);
}

bool CSGameCamera::StepTimedMove(float seconds) { return Advance(&move_, seconds, nullptr); }

void CSGameCamera::BlendToScene(RwCamera *camera, float seconds)
{
    blend_ = {};
    if (seconds > 0.0f) {
        blend_ = {true, Target::Scene, CurrentView(camera), {0.0f, 0.0f, 0.0f}, seconds, 0.0f};
    }
}

void CSGameCamera::BlendFromScene(RwCamera *camera, float seconds)
{
    blend_ = {};
    if (seconds > 0.0f) {
        blend_ = {true, Target::Play, CurrentView(camera), {0.0f, 0.0f, 0.0f}, seconds, 0.0f};
    }
}

bool CSGameCamera::TargetView(const Transition &transition, const RwMatrix *sceneView, RwMatrix *view) const
{
    switch (transition.target) {
    case Target::Point:
        CameraLookAt(transition.from.pos, transition.point, view);
        return true;
    case Target::Play:
        *view = playView_;
        return hasPlayView_;
    case Target::Scene:
        if (sceneView == nullptr) {
            return false;
        }
        *view = *sceneView;
        return true;
    }
    return false;
}

bool CSGameCamera::Advance(Transition *transition, float seconds, const RwMatrix *sceneView)
{
    if (!transition->active) {
        return false;
    }
    transition->elapsed += std::max(seconds, 0.0f);
    // Ticks summed in floats fall a hair short of a whole duration.
    const bool arrived = transition->elapsed >= transition->duration - kArrivalSlack;
    const float t = arrived ? 1.0f : transition->elapsed / transition->duration;
    RwMatrix to;
    if (!TargetView(*transition, sceneView, &to)) {
        // With no play view to go back to the camera is there at once; while
        // the scene's view is not there yet it waits.
        transition->active = transition->target != Target::Play;
        return !transition->active;
    }
    RwMatrix view;
    BlendCameraViews(transition->from, to, t, &view);
    Place(view);
    if (arrived) {
        transition->active = false;
        return true;
    }
    return false;
}

void CSGameCamera::UpdatePlayView(int32_t mode, float seconds, const CameraInputs &inputs)
{
    heroFocusCount_ = std::clamp(inputs.heroCount, 0, 2);
    for (int32_t i = 0; i < heroFocusCount_; ++i) {
        heroFocus_[i] = V3Add(inputs.heroes[i], {0.0f, kCameraFocusHeight, 0.0f});
    }
    if (inputs.heroCount <= 0) {
        return;
    }
    const int32_t count = heroFocusCount_;
    const StageCameraLimits &limits = Limits(count);
    if (!hasPlayView_) {
        // The stage's first view: the orbit starts at the initial turn and
        // pitch of the limits for as many heroes as there are (two heroes
        // have their own).
        orbit_ = OrbitStart(limits);
        wanted_ = orbit_.distance;
    }
    RwV3d feet = inputs.heroes[0];
    float spread = 0.0f;
    if (count == 2) {
        feet = V3Lerp(inputs.heroes[0], inputs.heroes[1], 0.5f);
        spread = V3Distance(inputs.heroes[0], inputs.heroes[1]);
    }
    focus_ = {feet.x, feet.y + kCameraFocusHeight, feet.z};
    if (IsPlayCameraMode(mode)) {
        OrbitSteer(&orbit_, limits, inputs.stickX, inputs.stickY, seconds);
    } else {
        orbit_.pitch = std::clamp(orbit_.pitch, limits.pitchDegreeMin, limits.pitchDegreeMax);
    }
    const float previousWanted = hasPlayView_ ? wanted_ : 0.0f;
    wanted_ = OrbitWantedDistance(limits, orbit_.pitch, spread);
    const RwV3d direction = OrbitDirection(orbit_.rotate, orbit_.pitch);
    float clear = wanted_;
    if (autoAdjust_ && inputs.clearShare != nullptr) {
        const RwV3d far = V3Add(focus_, V3Scale(direction, wanted_));
        clear = wanted_ * std::clamp(inputs.clearShare(inputs.clearContext, focus_, far), 0.0f, 1.0f);
    }
    orbit_.distance = OrbitPullIn(hasPlayView_ ? orbit_.distance : wanted_, previousWanted, wanted_, clear, seconds);
    CameraLookAt(V3Add(focus_, V3Scale(direction, orbit_.distance)), focus_, &playView_);
    hasPlayView_ = true;
}

bool CSGameCamera::Step(int32_t mode, float seconds, const CameraInputs &inputs)
{
    seconds = std::isfinite(seconds) ? std::max(seconds, 0.0f) : 0.0f;
    UpdatePlayView(mode, seconds, inputs);
    switch (mode) {
    case kCameraPlay:
    case kCameraPlayNear:
    case kCameraPlayStage:
        if (hasPlayView_ && inputs.heroCount > 0) {
            Place(playView_);
        }
        return false;
    case kCameraScene:
        if (inputs.sceneView != nullptr) {
            Place(*inputs.sceneView);
        }
        return false;
    case kCameraBlendIn:
        if (blend_.active) {
            Advance(&blend_, seconds, inputs.sceneView);
        } else if (inputs.sceneView != nullptr) {
            Place(*inputs.sceneView);
        }
        return false;
    case kCameraBlendOut:
        if (blend_.active && blend_.target == Target::Play) {
            return Advance(&blend_, seconds, nullptr);
        }
        return true;  // nothing to blend: back to play at once
    case kCameraTurnTo:
        StepTimedMove(seconds);
        return false;
    case kCameraTurnBack:
        if (move_.active) {
            return StepTimedMove(seconds);
        }
        return true;
    default:  // kCameraHold and anything else: the camera stays
        return false;
    }
}
