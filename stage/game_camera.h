// CSGameCamera: the stage's game camera on the main camera. Each tick it
// places the camera by the stage's camera mode (camera_modes.h): following
// the heroes on its orbit (camera_orbit.h) in the play modes, holding, taking
// the view of a scene's camera clump, blending into and out of that view, or
// turning to an actor and back by a timed move. The scene, blend and timed
// move operations are the ones the events call; the stage sets the mode.
//
// The camera keeps no mode of its own: the stage's mode is passed to each
// Step, and Step answers true when a blend back (mode 6) or a turn back
// (mode 8) has ended and the camera asks the stage for mode 0.
#pragma once

#include <cstdint>
#include <string>

#include "rwcamera.h"
#include "stage/camera_orbit.h"
#include "stage/clump_anim_manager.h"

class AiObject;

// What one tick of the camera looks at.
struct CameraInputs {
    RwV3d heroes[2] = {};   // the heroes' positions (their feet), in player order
    int32_t heroCount = 0;  // 0: nothing to follow; the play modes hold
    float stickX = 0.0f;    // the first hero's right stick, -1..1
    float stickY = 0.0f;
    // The scene's view (the camera clump's animated root frame); null when
    // no scene clump is loaded.
    const RwMatrix *sceneView = nullptr;
    // With the stage's auto adjustment: the share (0..1) of the line from
    // `from` to `to` that a sphere of kCameraRadius can travel unblocked.
    // Null: always clear.
    float (*clearShare)(void *context, const RwV3d &from, const RwV3d &to) = nullptr;
    void *clearContext = nullptr;
};

// The sphere the pulled-in camera keeps clear of walls.
constexpr float kCameraRadius = 2.5f;

// Where a scene's camera clump and its animation are read from.
std::string SceneCameraClumpPath(const char *clumpName);      // \RESOURCE\G_EVENT\CAMERA\DFF\<name>
std::string SceneCameraAnimationPath(const char *animationName);  // \RESOURCE\G_EVENT\CAMERA\ANM\<name>

class CSGameCamera {
public:
    CSGameCamera() = default;
    ~CSGameCamera() { UnloadEventClump(nullptr); }
    CSGameCamera(const CSGameCamera &) = delete;
    CSGameCamera &operator=(const CSGameCamera &) = delete;

    // The camera it places (the main camera).
    void Create(RwCamera *camera);
    RwCamera *Camera() const { return camera_; }

    // At stage load: the limits for one and for two heroes and whether the
    // camera pulls in against walls; the orbit starts again at the initial
    // turn and pitch (at the first view, those of the limits for as many
    // heroes as it follows), and any blend or timed move ends.
    void SetLimits(const StageCameraLimits &oneHero, const StageCameraLimits &twoHeroes, bool autoAdjust);
    const StageCameraLimits &Limits(int32_t heroCount) const { return heroCount >= 2 ? limits2_ : limits1_; }
    bool AutoAdjust() const { return autoAdjust_; }

    // The stage's mode changed: mode 0 ends any blend or timed move still
    // running (a scene's skip sets it).
    void OnModeSet(int32_t mode);

    // A scene's camera: the clump `clumpName` with the animation
    // `animationName` (see the paths above), playing from its start; it
    // takes the place of any scene camera loaded before. False, with
    // nothing kept, when either cannot be read or the animation does not
    // fit the clump's skeleton.
    bool LoadEventClump(const char *clumpName, const char *animationName);
    // Releases the scene camera when `name` is its clump's name (or null).
    void UnloadEventClump(const char *name);
    RpClump *EventClump() const { return eventClump_; }
    // Plays the scene camera's animation on by `seconds`.
    void AdvanceEventClump(float seconds);
    // The scene's view: the world matrix of the camera clump's animated root
    // frame (its skeleton's first node); null without a scene camera.
    const RwMatrix *EventView() const;
    // Seconds into the scene camera's animation (-1 without one), and
    // whether it has played to its end.
    float EventAnimationTime() const;
    bool EventAnimationEnded() const;

    // Keep the camera frame's matrix, and put it back.
    void SaveMatrix(RwCamera *camera);
    void RestoreMatrix(RwCamera *camera);
    bool HasSavedMatrix() const { return hasSaved_; }

    // A timed move of the camera toward a target over `seconds` (0 or less
    // clears it): from the view at the call it turns to look at `target`
    // (standing where it is), or at the actor's point at the focus height;
    // a null target, or PrepareTimedMoveBack, turns back to the play view.
    void PrepareTimedMove(RwCamera *camera, const RwV3d *target, float seconds);
    void PrepareTimedMove(RwCamera *camera, AiObject *actor, float seconds);
    void PrepareTimedMoveBack(RwCamera *camera, float seconds)
    {
        PrepareTimedMove(camera, static_cast<const RwV3d *>(nullptr), seconds);
    }
    // Advances the timed move; true in the step it reaches its target (and
    // the move ends). False when none runs.
    bool StepTimedMove(float seconds);
    bool TimedMoveRunning() const { return move_.active; }

    // Blends over `seconds` from the view at the call to the scene's view
    // (BlendToScene) or to the play view (BlendFromScene); 0 or less cuts.
    void BlendToScene(RwCamera *camera, float seconds);
    void BlendFromScene(RwCamera *camera, float seconds);
    bool BlendRunning() const { return blend_.active; }

    // One tick in the stage's `mode`; true when the camera asks for mode 0.
    bool Step(int32_t mode, float seconds, const CameraInputs &inputs);

    // The play view of the last step (where mode 0 puts the camera), its
    // focus and orbit.
    const RwMatrix &PlayView() const { return playView_; }
    bool HasPlayView() const { return hasPlayView_; }
    const RwV3d &Focus() const { return focus_; }
    // Each hero's point the camera looks at (feet raised by the focus
    // height), as of the last step.
    int32_t HeroFocusCount() const { return heroFocusCount_; }
    const RwV3d *HeroFocuses() const { return heroFocus_; }
    const CameraOrbit &Orbit() const { return orbit_; }
    // The distance the orbit asked for before any pull-in.
    float WantedDistance() const { return wanted_; }

private:
    enum class Target : uint8_t { Point, Play, Scene };
    struct Transition {
        bool active = false;
        Target target = Target::Play;
        RwMatrix from = {};
        RwV3d point = {0.0f, 0.0f, 0.0f};
        float duration = 0.0f;
        float elapsed = 0.0f;
    };

    void UpdatePlayView(int32_t mode, float seconds, const CameraInputs &inputs);
    // Where a transition heads now; false when it has no target this tick.
    bool TargetView(const Transition &transition, const RwMatrix *sceneView, RwMatrix *view) const;
    // Advances the transition and places the camera; true when it has arrived.
    bool Advance(Transition *transition, float seconds, const RwMatrix *sceneView);
    void Place(const RwMatrix &view);
    RwMatrix CurrentView(RwCamera *camera) const;

    RwCamera *camera_ = nullptr;
    StageCameraLimits limits1_;
    StageCameraLimits limits2_;
    bool autoAdjust_ = false;

    CameraOrbit orbit_;
    float wanted_ = 0.0f;
    RwV3d focus_ = {0.0f, 0.0f, 0.0f};
    RwV3d heroFocus_[2] = {};
    int32_t heroFocusCount_ = 0;
    RwMatrix playView_ = {};
    bool hasPlayView_ = false;

    RpClump *eventClump_ = nullptr;
    std::string eventClumpName_;
    CSClumpAnimManager eventAnimations_;

    RwMatrix saved_ = {};
    bool hasSaved_ = false;
    Transition blend_;
    Transition move_;
};
