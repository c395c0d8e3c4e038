// Dialogue events: player 1's hero, standing in the event's area and facing
// its NPC within 45 degrees, presses the action command; every actor holds
// still, the camera turns to the NPC and the message window shows up to
// four conversation lines one after the other, each paged by a confirm
// press; then the camera turns back and play resumes. Before it can be
// talked to, the NPC may wait for another event and then appear or play an
// animation. Event type 4: it suspends the other events while it runs.
//
// The pieces the NPC conversation shares (the facing test, holding and
// releasing the actors, the camera's turn and its way back) are here too.
#pragma once

#include <cstdint>

#include "event/event_record.h"

class CSEventMessageWindow;
struct EventPortrait;

// Wait modes: what the NPC waits for before it is made ready.
inline constexpr int32_t kTalkWaitNone = 0;
inline constexpr int32_t kTalkWaitRemoved = 1;   // every actor of LinkEvent removed
inline constexpr int32_t kTalkWaitEnded = 2;     // LinkEvent ended at least once
inline constexpr int32_t kTalkWaitRunning = 3;   // LinkEvent running

inline constexpr float kTalkFacingDegrees = 45.0f;
inline constexpr float kTalkCameraSeconds = 0.5f;
inline constexpr int32_t kTalkLines = 4;

// The Setup arguments of a dialogue id.
struct TalkPreset {
    int32_t waitMode;
    uint8_t restoreNpc;
    int32_t appearAnim;
};
TalkPreset FindTalkPreset(int32_t eventId);

class CSTalkEvent : public EventRecord {
public:
    int32_t Lines[kTalkLines];   // conversation ids, from Param AABBCCDD
    int32_t LineCount;           // 4 less the zero ids
    int32_t LineIndex;
    int32_t Player;              // the slot that started it (always 0)
    int32_t Presses[kEventPlayers];
    uint8_t Opened;
    uint8_t ReturnStarted;
    int32_t WaitMode;
    uint8_t Appeared;
    uint8_t RestoreNpc;
    int32_t AppearAnim;
    EventPortrait *Speaker;      // the NPC's portrait and name (the manager's)
    CSEventMessageWindow *Window;

    void Setup(int32_t waitMode, uint8_t restoreNpc, int32_t appearAnim);
    // Lines and LineCount from `param`.
    void BuildText(int32_t param);
    uint8_t Check(float dt);
    void Update(float dt);
    // 1: camera mode 0 at once; 0: the camera's way back first (the close
    // returns until the stage's camera mode is 0 again).
    void Close(int32_t atOnce);
    void Release();

    // ---- the variants ----
    void Update79010700(float dt);
    void Update79270300(float dt);
    uint8_t Check79080400(float dt);
    uint8_t Check79232600(float dt);
    uint8_t Check79270300(float dt);
};

class CSTalkEventWithWord : public CSTalkEvent {
public:
    int32_t ExtraWord;
};

// ---- shared with the NPC conversation ----

// The trigger circle's centre follows the first bound actor.
void TalkFollowFirstActor(EventRecord *record);
// Player slot 0's hero stands in the area and faces the first bound actor
// within 45 degrees (exactly 45 included); false without a bound actor.
bool TalkInReachAndFacing(const EventRecord *record);
// The speech marker over hero 0 (kind 1), on or off, and TextShown with it.
void TalkMarker(EventRecord *record, CSEventMessageWindow *window, bool on);
// A running talk's marker goes (the first step of its test).
void TalkMarkerOffWhileRunning(EventRecord *record, CSEventMessageWindow *window);
// The start test of both talks: the trigger circle follows the NPC; in
// reach and facing it the marker shows until player slot 0's action
// command, which starts the talk (true, the marker gone).
bool TalkStartTest(EventRecord *record, CSEventMessageWindow *window);
// The slot's confirm presses (PressCount) moved into `presses`: true, and
// the press taken, when there is one and the window's page shows; a press
// while the page does not show yet is dropped.
bool TalkTakePresses(EventRecord *record, int32_t slot, int32_t *presses, const CSEventMessageWindow *window);
// Code 8192 to every actor (with the event id) and every hero (with 0); or
// the release, 16384, to all.
void TalkHoldActors(const EventRecord *record);
void TalkReleaseActors();
// The close's common steps: the hold released, the window closed, the
// confirm presses cleared (TalkEndRun); then the marker gone, the
// speaker's name block given back and the event ended (TalkEnd).
void TalkEndRun(EventRecord *record, CSEventMessageWindow *window);
void TalkEnd(EventRecord *record, CSEventMessageWindow *window, EventPortrait *speaker);
// The camera's matrix kept and its turn to the first bound actor (none:
// nothing), camera mode 7.
void TalkTurnCamera(const EventRecord *record);
// The camera's way back: true once the stage's camera mode is 0. At once:
// camera mode 0 now. `started` keeps whether the way back was started.
bool TalkCameraBack(uint8_t *started, bool atOnce);
