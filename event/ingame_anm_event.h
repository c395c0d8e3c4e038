// CSInGameAnmEvent: a short cut scene played inside the stage. Once its
// condition holds, the scene's pack "\PACK\INGAME<n>\<id>.STR" is read from
// disc 32768 bytes a frame, opened from memory and built in slices of 3 ms
// (actor animations, sounds, the camera clump, the subtitles); then the
// other actors are held, the scene's actors move to their places and play
// their animations, the game camera cuts or blends to the scene's camera,
// subtitles appear character by character and timed sounds play; at the
// end, or on a skip, camera, actors, speed and letterbox are put back.
//
// RunState: 0 idle, 1 loading, 2 loaded, 3 others held, 4 actors found,
// 5 camera running, 6 finished.
#pragma once

#include <cstdint>

#include "event/event_record.h"
#include "event/scene_subtitles.h"

class CSTextBlock;
struct RawFile;
struct RawFileBuffer;

// One actor of a scene (INGANM.IGA's keys, with the scene's run bytes).
struct InGameAnmKey {
    uint8_t Found;           // the actor was found with its model
    uint8_t NoAnimation;     // its animation name is "none"
    uint8_t Started;
    uint8_t Restored;
    uint8_t Frozen;          // sent the scene's hold
    uint8_t EffectsReleased;
    int32_t AiId;
    char *Animation;         // owned
    int32_t RestoreMode;     // 0 removed, 1 held, 2 left as it is
    RwV3d Start;             // (0, 0, 0): where it stands
    RwV3d End;               // (0, 0, 0): where it ended
    RpClump *Clump;
    AiObject *Actor;
    // Not found, or not ready within kSceneActorWait: left out of the scene.
    uint8_t Skipped;
    uint8_t AnimationLoaded; // its animation is in the event animation manager
    float Waited;            // seconds waited for it
};

// How long a scene waits for an actor to have its model and stand in its
// hold state before it plays without it.
inline constexpr float kSceneActorWait = 2.0f;
// The safety net: a scene ends after this much camera time.
inline constexpr float kSceneTimeLimit = 60.0f;
// Slices of the build, and the keep-alive of the read.
inline constexpr uint32_t kSceneSliceMs = 3;
inline constexpr uint32_t kSceneKeepAliveMs = 2000;

class CSInGameAnmEvent : public EventRecord {
public:
    // ---- the per-event operations ----
    void Init();
    void Setup(int32_t startCondition, float blendIn, float blendOut, float endDelay);
    // The per-event load: the id's preset (and 79041500's model).
    void Load();
    uint8_t Check(float dt);
    void Update(float dt);
    // The timed sounds.
    void Step(float dt);
    void Release();
    void Destroy();
    // Skip, or the end forced by the manager: ends the scene at once (a
    // load in progress is given up).
    void Finish();
    void ReloadCamera();
    // The developer menu's stream maker: loads the scene through the
    // ordinary pack open, then frees it again.
    bool LoadForStream();
    void Unload();

    // ---- what the manager and the other events read ----
    // 2 loaded and waiting, 4 holding the stage (actors, camera); else RunState.
    int32_t Phase() const;
    bool TextStage() const { return CameraRunning != 0; }
    float CameraTime() const { return CameraLength; }
    int32_t SceneActorCount() const { return Keys != nullptr ? KeyCount : 0; }
    AiObject *SceneActor(int32_t index) const;

    // The scene's pack "\PACK\INGAME<n>\<id>.STR" (under the data root);
    // empty for an id outside the packs.
    static bool PackPath(int32_t eventId, char *out, size_t size);

    // ---- fields ----
    int32_t StartCondition;
    float BlendIn;
    float BlendOut;
    float EndDelay;
    float DelayTimer;
    int32_t RunState;
    uint8_t Reading;
    uint8_t Building;
    uint8_t Loaded;
    uint8_t HasSceneData;    // INGANM.IGA gave the scene its data
    uint32_t PostToOthers;
    RawFile *PackFile;
    RawFileBuffer *PackBuffer;
    uint32_t ReadPos;
    uint32_t LastRead;
    int32_t LoadStep;
    uint32_t SliceStart;
    uint32_t SliceSpent;
    int32_t ActorNext;
    int32_t SoundNext;
    InGameAnmKey *Keys;      // owned, KeyCount entries
    int32_t KeyCount;
    int32_t SceneNumber;
    char *CameraModel;       // owned
    char *CameraAnimation;   // owned
    RpClump *CameraClump;
    int32_t *CueSounds;      // owned, CueCount entries each
    int32_t *CueFrames;      // 1/60 s of camera time
    uint8_t *CuePlayed;
    int32_t CueCount;
    float Time;
    float CameraLength;      // camera time; 10000 once finished
    uint8_t CameraRunning;
    uint8_t CameraStarted;
    uint8_t EndBlendDone;
    SceneSubtitle *Subtitles;  // owned, SubtitleCount entries
    int32_t SubtitleCount;
    uint8_t SubtitlesLoaded;
    CSTextBlock *SubtitleText;
    uint8_t Done[4];         // blend-in over, others held, heroes held, camera unloaded
    // ---- what the game adds ----
    uint8_t PackOpen;        // the read buffer is the open pack
    uint8_t HoldsLoading;    // the screen manager's loading flag is ours
    uint8_t SoundsAdded;
    uint8_t CameraSaved;     // the cut kept the camera's matrix
    uint8_t CameraLoaded;    // the game camera holds the scene's clump
    uint8_t FirstUpdateDone;
    int32_t ShownSubtitle;   // the subtitle last shown
    int32_t TracedState;     // the furthest RunState the trace has

    void FreeSceneData();
    void FreeSceneAudio();

private:
    // RunState := state; a step forward is traced.
    void EnterState(int32_t state);
    void ReadStep();
    void BuildStep();
    bool SliceOver();
    bool BuildItem(int32_t step);
    void GiveUpLoad();
    void Abandon(const char *why);
    bool FindActors(float dt);
    bool StartActors(float dt);
    // Counts the actor's wait; past kSceneActorWait it is left out (true).
    bool GiveUpOnActor(InGameAnmKey &key, float dt, const char *lacking);
    void LeaveOut(InGameAnmKey &key);
    void StartCamera();
    void RunCameraEnd();
    void EndScene();
    // What every end shares: animations, key item, actor pass, sounds, subtitle, the event's end.
    void CloseScene();
    void PutCameraBack();
    void RestoreActors(uint8_t group);
    void ReleaseHolds();
    void ReleaseSounds();
    void ReleaseActorAnimations();
    void TakeKeyItem();
    void ShowSubtitles();
    void ClearSubtitle();
    void ReadSubtitles();
    void EndEvent();
};

// The variants whose objects carry a flag (and 79041500 its model's
// animation name).
class CSInGameAnmEventWithFlag : public CSInGameAnmEvent {
public:
    uint8_t ExtraFlag;
};
class CSInGameAnm79041500 : public CSInGameAnmEvent {
public:
    uint8_t ExtraFlag;
    char *AnimationName;  // owned
};

// The per-id additions to the scene's update (79022000 ...); the update of
// every scene goes through here.
void UpdateSceneEvent(CSInGameAnmEvent *scene, float dt);
// 79041500's own load and release: its one event model from its Label,
// with the animation "<Label>.ANM" that it plays once the blend-in is over.
void LoadScene79041500(CSInGameAnm79041500 *scene);
void ReleaseScene79041500(CSInGameAnm79041500 *scene);
