// The kinds whose behaviour is built with their own parts of the event
// system: their classes with the fields that the set-up and the per-event
// load fill from the id table's presets, and the few operations the
// manager calls on them. Each kind's own code moves its class into a file
// of its own and grows it there.
#pragma once

#include <cstdint>

#include "event/event_record.h"

class CSDoorEvent : public EventRecord {};
class CSDoorEventWithFlags : public CSDoorEvent {
public:
    uint8_t ExtraFlags[2];
};

class CSLastNpcEvent : public EventRecord {
public:
    uint8_t UseLinked;  // look at LinkEvent's actors instead of its own
    uint8_t MessageSent;
    int32_t Payload;
    int32_t Chosen;
    int32_t GoneCount;

    void Setup(int32_t payload, uint8_t useLinked);
};

class CSNpcAppearEvent : public EventRecord {
public:
    int32_t Condition;
    int32_t AppearedCount;
    float Timer;
    float Interval;
    float RetryTimer;
    float RetryInterval;
    uint8_t *AppearedFlags;

    void Setup(int32_t condition);
};

class CSNpcSignalEvent : public EventRecord {
public:
    int32_t Condition;  // 200 unless the load sets another
    int32_t Count;

    void Init() { Condition = 200; }
    void Setup(int32_t condition) { Condition = condition; }
};

class CSTalkEvent : public EventRecord {
public:
    // Prepares the dialogue from the line range `param`.
    void BuildText(int32_t param);
    // Closes the window and the camera turn; 1: at once.
    void Close(int32_t atOnce);
};
class CSTalkEventWithWord : public CSTalkEvent {
public:
    int32_t ExtraWord;
};

class CSInGameAnmEvent : public EventRecord {
public:
    // The scene's phase: 2 waiting to start, 4 playing; 0 before.
    int32_t Phase() const { return 0; }
    // The scene reached the stage where its text shows.
    bool TextStage() const { return true; }
    // Ends the scene at once (skip, a busy hero, the stage release).
    void Finish();
    // Frees the scene's camera, actors and texts; reloads its camera.
    void ReleaseScene() {}
    void ReloadCamera() {}
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

class CSToxicGasEvent : public EventRecord {
public:
    int32_t GasKind;
    const char *FirstParticles;
    const char *SecondParticles;

    void LoadParticles(int32_t gasKind, const char *first, const char *second);
};

// The reader keeps the points of the event file's fourteenth line, as the
// words it holds ("x,y,z"); the load turns them into Points.
class CSSceneEffectEvent : public EventRecord {
public:
    char **PointStrings;  // owned array of owned words
    int32_t PointStringCount;
    RwV3d *Points;        // owned
    int32_t PointCount;
    float Clock;
    float LastShot;
    int32_t Shots;

    void Destroy();
};

class CSTrapNoticeEvent : public EventRecord {
public:
    int32_t Condition;
};

class CSWaterEvent : public EventRecord {
public:
    void *Water;  // owned by the water's own code
};

class CSMovieEvent : public EventRecord {
public:
    char *Path;  // owned
    int32_t MovieKind;
    uint8_t Flag;

    void Setup(int32_t movieKind, uint8_t flag);
    void Skip();
};

class CSStarEffectEvent : public EventRecord {
public:
    int32_t Condition;
    float TimeLimit;
    int32_t *Sequence;  // owned
    int32_t SequenceLength;

    void Setup(int32_t condition, float timeLimit);
};

class CSMatAnimEvent : public EventRecord {
public:
    void *Tracks;  // owned
    uint8_t Pressed;
    uint8_t Lit;
    uint8_t Flashed;
};

class CSNpcTalkEvent : public EventRecord {
public:
    uint8_t First;   // 1 at set-up
    uint8_t Second;
    int32_t Words[4];
};

class CSGiveItemEvent : public EventRecord {
public:
    int32_t ItemId;
    int32_t Condition;

    void Setup(int32_t itemId, int32_t condition);
};

class CSMoveObjectEvent : public EventRecord {};

class CSHeroZoneEvent : public EventRecord {
public:
    int32_t Words[8];
    int32_t Ninth;  // 8 at set-up
};

// Event 79362800: a timer and a mode word.
class CSTimedEvent : public EventRecord {
public:
    int32_t Code;  // 300
    float Time;    // Param as a float
    float Timer;
    int32_t Mode;

    void SetTimer(int32_t code);
};
