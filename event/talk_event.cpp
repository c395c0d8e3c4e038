// Dialogue events and the pieces the NPC conversation shares (see
// talk_event.h).
#include "event/talk_event.h"

#include <algorithm>
#include <cmath>

#include "actor/ai_message.h"
#include "event/bound_actors.h"
#include "event/condition_codes.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/message_window.h"

namespace {

constexpr int32_t kCameraTurnTo = 7;
constexpr int32_t kCameraTurnBack = 8;
constexpr int32_t kMarkerTalk = 1;
constexpr float kFirstLineOpenSeconds = 1.0f;
constexpr float kNextLineOpenSeconds = 0.5f;
constexpr int32_t kGiftItem = 5402008;

struct TalkPresetRow {
    int32_t first;
    int32_t last;
    TalkPreset preset;
};

// The dialogues whose NPC waits, or goes back to its own behaviour; every
// other dialogue id neither waits nor restores.
constexpr TalkPresetRow kTalkPresets[] = {
    {79017100, 79017400, {kTalkWaitEnded, 1, 0}},
    {79022100, 79022100, {kTalkWaitEnded, 1, 2}},
    {79032100, 79032100, {kTalkWaitEnded, 1, 2}},
    {79042700, 79042700, {kTalkWaitRemoved, 1, 0}},
    {79052500, 79052500, {kTalkWaitRemoved, 1, 0}},
    {79062600, 79062600, {kTalkWaitRemoved, 1, 0}},
    {79105100, 79105100, {kTalkWaitRemoved, 1, 0}},
    {79255200, 79255200, {kTalkWaitRemoved, 1, 0}},
    {79235000, 79235000, {kTalkWaitNone, 1, 0}},
    {79166000, 79166000, {kTalkWaitRunning, 1, 0}},
    {79175000, 79175000, {kTalkWaitRunning, 1, 0}},
    {79282500, 79282500, {kTalkWaitRunning, 1, 0}},
    {79295000, 79295000, {kTalkWaitRunning, 1, 0}},
};

CSEventManager *Manager(const EventRecord *record) { return record->manager; }

const char16_t *LineText(const EventRecord *record, int32_t line)
{
    const char16_t *text = Manager(record) != nullptr ? Manager(record)->GetConversation(line) : nullptr;
    return text != nullptr ? text : u"";
}

AiObject *FirstActor(const EventRecord *record) { return BoundActor(record, 0); }

void Show(AiObject *actor)
{
    if (actor != nullptr && g_eventLinks.show != nullptr) {
        g_eventLinks.show(actor);
    }
}

}  // namespace

TalkPreset FindTalkPreset(int32_t eventId)
{
    for (const TalkPresetRow &row : kTalkPresets) {
        if (eventId >= row.first && eventId <= row.last && (eventId - row.first) % 100 == 0) {
            return row.preset;
        }
    }
    return {kTalkWaitNone, 0, 0};
}

// ---- shared pieces ----

void TalkFollowFirstActor(EventRecord *record)
{
    AiObject *actor = FirstActor(record);
    RwV3d position;
    RwV3d facing;
    if (actor != nullptr && EventActorPose(actor, &position, &facing)) {
        record->Circle.centre = position;
        record->CentreOnModel = 1;
    }
}

bool TalkInReachAndFacing(const EventRecord *record)
{
    const int32_t hero = EventHeroPositionOfSlot(0);
    if (hero < 0 || record->InArea[hero] != 1 || record->manager == nullptr) {
        return false;
    }
    AiObject *actor = FirstActor(record);
    RwV3d npc;
    RwV3d npcFacing;
    if (actor == nullptr || !EventActorPose(actor, &npc, &npcFacing)) {
        return false;
    }
    const EventPlayerPose &pose = record->manager->poses[0];
    RwV3d toNpc = {npc.x - pose.position.x, npc.y - pose.position.y, npc.z - pose.position.z};
    RwV3d facing = pose.facing;
    const float toLength = std::sqrt(toNpc.x * toNpc.x + toNpc.y * toNpc.y + toNpc.z * toNpc.z);
    const float facingLength = std::sqrt(facing.x * facing.x + facing.y * facing.y + facing.z * facing.z);
    if (toLength <= 0.0f || facingLength <= 0.0f) {
        return toLength <= 0.0f;
    }
    const float cosine = (toNpc.x * facing.x + toNpc.y * facing.y + toNpc.z * facing.z) / (toLength * facingLength);
    // The table reads 45 degrees as a little more (its steps are 0.001 of
    // the cosine), so the limit is read through the same table: facing
    // exactly 45 degrees away counts.
    static const float kLimitCosine = std::cos(kTalkFacingDegrees * 3.14159265f / 180.0f);
    return EventACosDeg(std::clamp(cosine, -1.0f, 1.0f)) <= EventACosDeg(kLimitCosine);
}

void TalkMarker(EventRecord *record, CSEventMessageWindow *window, bool on)
{
    if (window == nullptr) {
        record->TextShown = on ? 1 : 0;
        return;
    }
    if (on) {
        const EventPlayerPose &pose = record->manager->poses[0];
        window->ShowMarker(true, pose.position, kMarkerTalk, 0, record->EventID);
        record->TextShown = 1;
        return;
    }
    window->ShowMarker(false, {0.0f, 0.0f, 0.0f}, 0, 0, record->EventID);
    if (!window->IsBusy()) {
        record->TextShown = 0;
    }
}

void TalkMarkerOffWhileRunning(EventRecord *record, CSEventMessageWindow *window)
{
    if (record->IsOccur != 0 && window != nullptr && window->Marker().eventId == record->EventID) {
        TalkMarker(record, window, false);
    }
}

bool TalkStartTest(EventRecord *record, CSEventMessageWindow *window)
{
    if (record->CentreOnModel != 0) {
        TalkFollowFirstActor(record);
    }
    if (!TalkInReachAndFacing(record)) {
        TalkMarker(record, window, false);
        return false;
    }
    if (record->ActionReq[0] == 0) {
        TalkMarker(record, window, true);
        return false;
    }
    TalkMarker(record, window, false);
    return true;
}

bool TalkTakePresses(EventRecord *record, int32_t slot, int32_t *presses, const CSEventMessageWindow *window)
{
    if (record->PressCount[slot] != 0) {
        *presses += static_cast<int32_t>(std::min<uint32_t>(record->PressCount[slot], 1000));
        record->PressCount[slot] = 0;
    }
    const bool pageShown = window == nullptr || window->Phase() >= kWindowSliding;
    const bool confirm = pageShown && *presses != 0;
    if (!pageShown || confirm) {
        *presses = 0;
    }
    return confirm;
}

void TalkEndRun(EventRecord *record, CSEventMessageWindow *window)
{
    TalkReleaseActors();
    if (window != nullptr) {
        window->Close();
    }
    record->PressCount[0] = record->PressCount[1] = 0;
}

void TalkEnd(EventRecord *record, CSEventMessageWindow *window, EventPortrait *speaker)
{
    TalkMarker(record, window, false);
    if (speaker != nullptr && speaker->nameText != nullptr) {
        speaker->nameText->Reset(0);
        speaker->nameText = nullptr;
    }
    if (record->manager != nullptr) {
        record->manager->EndEvent(record);
    }
}

void TalkHoldActors(const EventRecord *record)
{
    EventPostToOthers(kCtlShowHold, record->EventID);
    EventPostToHeroes(kCtlShowHold, 0);
}

void TalkReleaseActors()
{
    EventPostToOthers(kCtlRelease, 0);
    EventPostToHeroes(kCtlRelease, 0);
}

void TalkTurnCamera(const EventRecord *record)
{
    if (AiObject *actor = FirstActor(record)) {
        if (g_eventLinks.saveCamera != nullptr) {
            g_eventLinks.saveCamera();
        }
        if (g_eventLinks.turnCamera != nullptr) {
            g_eventLinks.turnCamera(actor, kTalkCameraSeconds);
        }
    }
    if (g_eventLinks.setCameraMode != nullptr) {
        g_eventLinks.setCameraMode(kCameraTurnTo);
    }
}

bool TalkCameraBack(uint8_t *started, bool atOnce)
{
    if (atOnce) {
        if (g_eventLinks.setCameraMode != nullptr) {
            g_eventLinks.setCameraMode(kEventCameraPlay);
        }
        return true;
    }
    if (*started == 0) {
        *started = 1;
        if (g_eventLinks.turnCamera != nullptr) {
            g_eventLinks.turnCamera(nullptr, kTalkCameraSeconds);
        }
        if (g_eventLinks.setCameraMode != nullptr) {
            g_eventLinks.setCameraMode(kCameraTurnBack);
        }
    }
    return g_eventLinks.cameraMode == nullptr || g_eventLinks.cameraMode() == kEventCameraPlay;
}

// ---- the dialogue ----

void CSTalkEvent::Setup(int32_t waitMode, uint8_t restoreNpc, int32_t appearAnim)
{
    HasText = 1;
    LineIndex = 0;
    Player = 0;
    Presses[0] = Presses[1] = 0;
    Opened = 0;
    ReturnStarted = 0;
    WaitMode = waitMode;
    RestoreNpc = restoreNpc;
    AppearAnim = appearAnim;
    Window = manager != nullptr ? manager->Window() : nullptr;
    if (BoundActorCount(this) > 0) {
        TalkFollowFirstActor(this);
    }
    BuildText(Param);
    Speaker = manager != nullptr ? manager->GetNpcPortrait(EventID) : nullptr;
    Appeared = waitMode == kTalkWaitNone ? 1 : 0;
}

void CSTalkEvent::BuildText(int32_t param)
{
    const int64_t digits = param < 0 ? -static_cast<int64_t>(param) : param;
    Lines[0] = static_cast<int32_t>(digits / 1000000 % 100);
    Lines[1] = static_cast<int32_t>(digits / 10000 % 100);
    Lines[2] = static_cast<int32_t>(digits / 100 % 100);
    Lines[3] = static_cast<int32_t>(digits % 100);
    LineCount = kTalkLines;
    for (int32_t line : Lines) {
        LineCount -= line == 0 ? 1 : 0;
    }
}

uint8_t CSTalkEvent::Check(float)
{
    TalkMarkerOffWhileRunning(this, Window);
    if (Appeared == 0) {
        bool over = false;
        switch (WaitMode) {
        case kTalkWaitRemoved:
            over = AllLinkedActorsRemoved(this);
            break;
        case kTalkWaitEnded:
            over = LinkEnded(this);
            break;
        case kTalkWaitRunning:
            over = LinkEvent != nullptr && LinkEvent->IsOccur != 0;
            break;
        default:
            over = true;
            break;
        }
        if (over) {
            if (AiObject *actor = FirstActor(this)) {
                if (AppearAnim != 0) {
                    if (g_eventLinks.playHeld != nullptr) {
                        g_eventLinks.playHeld(actor, AppearAnim);
                    }
                } else if (g_eventLinks.makeAppear != nullptr) {
                    g_eventLinks.makeAppear(actor);
                }
            }
            Appeared = 1;
        }
        return 0;
    }
    if (!TalkStartTest(this, Window)) {
        return 0;
    }
    Player = 0;
    return 1;
}

void CSTalkEvent::Update(float)
{
    if (ReturnStarted != 0) {
        Close(0);
        return;
    }
    if (Opened == 0) {
        TalkHoldActors(this);
        if (Window != nullptr) {
            Window->Open(LineText(this, Lines[0]), 1, nullptr, kFirstLineOpenSeconds, 0, Speaker);
        }
        EventTraceStep(this, "page", 0);
        TalkTurnCamera(this);
        Opened = 1;
        return;
    }
    const int32_t slot = std::clamp(Player, 0, kEventPlayers - 1);
    if (!TalkTakePresses(this, slot, &Presses[slot], Window)) {
        return;
    }
    if (Window != nullptr && !Window->IsFinished()) {
        Window->Finish();
        return;
    }
    ++LineIndex;
    if (LineIndex < LineCount) {
        if (Window != nullptr) {
            Window->Open(LineText(this, Lines[LineIndex]), 1, nullptr, kNextLineOpenSeconds, 1, Speaker);
        }
        EventTraceStep(this, "page", LineIndex);
        return;
    }
    Close(0);
}

void CSTalkEvent::Close(int32_t atOnce)
{
    if (!TalkCameraBack(&ReturnStarted, atOnce != 0)) {
        return;
    }
    TalkEndRun(this, Window);
    LineIndex = 0;
    Presses[0] = Presses[1] = 0;
    Opened = 0;
    ReturnStarted = 0;
    if (RestoreNpc != 0 && MaxOccur != kUnlimitedOccur) {
        if (AiObject *actor = FirstActor(this); actor != nullptr && g_eventLinks.returnToNormal != nullptr) {
            g_eventLinks.returnToNormal(actor);
        }
    }
    TalkEnd(this, Window, Speaker);
}

void CSTalkEvent::Release()
{
    if (CentreOnModel != 0) {
        Circle.centre = {0.0f, 0.0f, 0.0f};
        CentreOnModel = 0;
    }
    Speaker = nullptr;
    Window = nullptr;
}

// ---- the variants ----

void CSTalkEvent::Update79010700(float dt)
{
    if (Opened == 0 && ReturnStarted == 0) {
        for (int32_t slot = 0; slot < kEventPlayers; ++slot) {
            const int32_t hero = EventHeroPositionOfSlot(slot);
            if (hero >= 0 && InArea[hero] == 1 && g_eventLinks.restoreHero != nullptr) {
                g_eventLinks.restoreHero(EventHero(hero));
            }
        }
    }
    Update(dt);
}

void CSTalkEvent::Update79270300(float dt)
{
    Update(dt);
    auto *self = static_cast<CSTalkEventWithWord *>(this);
    if (self->ExtraWord == 0) {
        if (g_eventLinks.addItem != nullptr) {
            g_eventLinks.addItem(0, kGiftItem);
        }
        self->ExtraWord = 1;
    }
}

uint8_t CSTalkEvent::Check79080400(float dt) { return Check(dt) != 0 && LinkEnded(this) ? 1 : 0; }

uint8_t CSTalkEvent::Check79232600(float dt)
{
    if (LinkEnded(this)) {
        Show(FirstActor(this));
    }
    return Check(dt);
}

uint8_t CSTalkEvent::Check79270300(float dt)
{
    if (!LinkEnded(this)) {
        return 0;
    }
    Show(FirstActor(this));
    return Check(dt);
}
