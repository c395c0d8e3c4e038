// The kinds whose behaviour is built with their own parts of the event
// system: their classes with the fields that the set-up and the per-event
// load fill from the id table's presets, and the few operations the
// manager calls on them. Each kind's own code moves its class into a file
// of its own and grows it there.
#pragma once

#include <cstdint>

#include "event/event_record.h"

class CSDoorEvent : public EventRecord {
public:
    // 0: the door's models vanish once it has ended once (its load sets it).
    uint8_t DrawAfterEnd;
};
class CSDoorEventWithFlags : public CSDoorEvent {
public:
    uint8_t ExtraFlags[2];
};

// One actor key of a scene (INGANM.IGA): the actor of that AI id plays
// the animation from the start to the end position; RestoreMode says what
// becomes of it after the scene.
struct InGameAnmKey {
    AiObject *Actor;        // found when the scene starts
    int32_t Spare;
    int32_t RestoreMode;
    int32_t AiId;
    int32_t Played;
    char *Animation;        // owned
    RwV3d Start;
    RwV3d End;
    int32_t Words[2];
};

class CSInGameAnmEvent : public EventRecord {
public:
    // The scene's phase: 2 waiting to start, 4 playing; 0 before.
    int32_t Phase() const { return 0; }
    // The scene reached the stage where its text shows.
    bool TextStage() const { return true; }
    // Its camera runs (the event music waits for it), and how long it has run.
    bool CameraRunning() const { return CameraLength > 0.0f; }
    float CameraTime() const { return CameraLength; }
    // The actors the scene plays with.
    int32_t SceneActorCount() const { return 0; }
    AiObject *SceneActor(int32_t) const { return nullptr; }

    float CameraLength;  // seconds of the scene's camera so far
    // Ends the scene at once (skip, a busy hero, the stage release).
    void Finish();
    // Frees the scene's camera, actors and texts; reloads its camera.
    void ReleaseScene() {}
    void ReloadCamera() {}

    // ---- INGANM.IGA ----
    int32_t SceneNumber;
    char *CameraModel;      // owned
    char *CameraAnimation;  // owned
    InGameAnmKey *Keys;     // owned, KeyCount entries
    int32_t KeyCount;
    uint8_t HasSceneData;
    // ---- INGANM.MIC: the sound cues ----
    int32_t *CueSounds;     // owned, CueCount entries each
    int32_t *CueFrames;     // 1/60 s from the scene's start
    uint8_t *CuePlayed;
    int32_t CueCount;

    void FreeSceneData();
    void FreeSceneAudio();
};
class CSInGameAnmEventWithFlag : public CSInGameAnmEvent {
public:
    uint8_t ExtraFlag;
};
class CSInGameAnm79041500 : public CSInGameAnmEvent {
public:
    uint8_t ExtraFlag;
    char *AnimationName;  // owned
};
