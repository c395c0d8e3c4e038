// The in-game animation scenes' run: condition, start, camera, actors,
// subtitles, sounds and the end (see ingame_anm_event.h). The read and
// the time-sliced build of the scene's pack are in ingame_anm_load.cpp.
#include "event/ingame_anm_event.h"

#include <cstring>
#include <string>

#include "actor/ai_message.h"
#include "app/debug.h"
#include "app/memory.h"
#include "app/text_block.h"
#include "event/bound_actors.h"
#include "event/condition_codes.h"
#include "event/event_blocks.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/scene_links.h"
#include "event/scene_presets.h"

namespace {

// The hold the other actors are sent while a scene plays.
constexpr int32_t kHoldForScene = 1;
// The condition that keeps its key item.
constexpr int32_t kKeepsKeyItem = 800;
constexpr float kCutGameSpeed = 0.4f;
constexpr float kPlayGameSpeed = 0.66f;
constexpr int32_t kCameraScene = 2;
constexpr int32_t kCameraBlendIn = 5;
constexpr int32_t kCameraBlendOut = 6;
// Where the subtitles are laid out (640 x 480 screen pixels).
constexpr int32_t kSubtitleX = 108;
constexpr int32_t kSubtitleY = 420;
constexpr int32_t kSubtitleWidth = 504;
constexpr float kFinishedCameraTime = 10000.0f;
// The scenes whose end sends the players on to stage 36.
constexpr int32_t kNextStage = 36;
constexpr int32_t kNextStageMs = 2000;

bool IsZeroVector(const RwV3d &v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

bool SendsToNextStage(int32_t id) { return id == 79361900 || id == 79362000; }

void SetCameraMode(int32_t mode)
{
    if (g_eventLinks.setCameraMode != nullptr) {
        g_eventLinks.setCameraMode(mode);
    }
}

int32_t CameraMode() { return g_eventLinks.cameraMode != nullptr ? g_eventLinks.cameraMode() : kEventCameraPlay; }

void SetActorUpdate(uint8_t on)
{
    if (g_sceneLinks.setActorUpdate != nullptr) {
        g_sceneLinks.setActorUpdate(on);
    }
}

void BlendGameSpeed(float speed)
{
    if (g_sceneLinks.blendGameSpeed != nullptr) {
        g_sceneLinks.blendGameSpeed(speed);
    }
}

void Letterbox(bool show)
{
    if (g_sceneLinks.letterboxAtOnce != nullptr) {
        g_sceneLinks.letterboxAtOnce(show);
    }
}

void KeepUpdating(AiObject *actor, bool on)
{
    if (actor != nullptr && g_sceneLinks.keepUpdating != nullptr) {
        g_sceneLinks.keepUpdating(actor, on);
    }
}

CSEventMessageWindow *Window(const EventRecord *record)
{
    return record->manager != nullptr ? record->manager->Window() : nullptr;
}

// Condition 600: a player slot that pressed the action command stands in
// the area.
bool ActionInArea(const EventRecord *record)
{
    for (int32_t slot = 0; slot < kEventPlayers; ++slot) {
        const int32_t position = EventHeroPositionOfSlot(slot);
        if (record->ActionReq[slot] != 0 && position >= 0 && position < kEventPlayers && record->InArea[position] != 0) {
            return true;
        }
    }
    return false;
}

// Condition 700: every actor bound to the link is busy (none bound: never);
// then they are all removed.
bool LinkedActorsBusyThenRemoved(EventRecord *record)
{
    const EventRecord *link = record->LinkEvent;
    if (link == nullptr || BoundActorCount(link) == 0) {
        return false;
    }
    for (int32_t i = 0; i < BoundActorEntries(link); ++i) {
        AiObject *actor = BoundActor(link, i);
        if (actor != nullptr && !EventActorBusy(actor)) {
            return false;
        }
    }
    for (int32_t i = 0; i < BoundActorEntries(link); ++i) {
        AiObject *actor = BoundActor(link, i);
        if (actor != nullptr && g_sceneLinks.remove != nullptr) {
            g_sceneLinks.remove(actor);
        }
    }
    return true;
}

bool SharedItemHeld(int32_t item) { return g_sceneLinks.hasItem != nullptr && g_sceneLinks.hasItem(item); }

}  // namespace

void CSInGameAnmEvent::Init()
{
    StartCondition = 0;
    BlendIn = BlendOut = EndDelay = DelayTimer = 0.0f;
    RunState = 0;
    Reading = Building = Loaded = 0;
    PostToOthers = 0;
    ReadPos = LastRead = 0;
    LoadStep = 0;
    Time = CameraLength = 0.0f;
}

void CSInGameAnmEvent::Setup(int32_t startCondition, float blendIn, float blendOut, float endDelay)
{
    StartCondition = startCondition;
    BlendIn = blendIn;
    BlendOut = blendOut;
    EndDelay = endDelay;
    DelayTimer = 0.0f;
    PostToOthers = 1;
    RunState = 0;
    Reading = Building = Loaded = 0;
    ReadPos = LastRead = 0;
    LoadStep = 0;
    SliceStart = SliceSpent = 0;
    ActorNext = SoundNext = 0;
    Time = CameraLength = 0.0f;
    CameraRunning = CameraStarted = EndBlendDone = 0;
    std::memset(Done, 0, sizeof Done);
    CameraSaved = CameraLoaded = SoundsAdded = 0;
    TracedState = 0;
    ShownSubtitle = -1;
    FirstUpdateDone = 0;
    for (int32_t i = 0; i < CueCount; ++i) {
        CuePlayed[i] = 0;
    }
    if (HasSceneData != 0) {
        for (int32_t i = 0; i < SceneActorCount(); ++i) {
            InGameAnmKey &key = Keys[i];
            key.Found = key.Started = key.Restored = key.Frozen = key.EffectsReleased = key.Skipped = 0;
            key.AnimationLoaded = 0;
            key.NoAnimation = key.Animation == nullptr || std::strcmp(key.Animation, "none") == 0 ? 1 : 0;
            key.Waited = 0.0f;
            key.Clump = nullptr;
            key.Actor = nullptr;
        }
    }
}

void CSInGameAnmEvent::Load()
{
    if (const ScenePreset *preset = FindScenePreset(EventID)) {
        Setup(preset->condition, preset->blendIn, preset->blendOut, kSceneEndDelay);
    }
    if (object == EventObject::kInGameAnmWithFlag && EventID != 79020800) {
        static_cast<CSInGameAnmEventWithFlag *>(this)->ExtraFlag = 0;
    }
}

int32_t CSInGameAnmEvent::Phase() const
{
    if (RunState >= 3 && RunState <= 5) {
        return 4;
    }
    return RunState;
}

AiObject *CSInGameAnmEvent::SceneActor(int32_t index) const
{
    return index >= 0 && index < SceneActorCount() ? Keys[index].Actor : nullptr;
}

uint8_t CSInGameAnmEvent::Check(float dt)
{
    switch (StartCondition) {
    case 100:
        return 1;
    case 200:
        return BoundActorCount(this) > 0 && ConditionHolds(this, ConditionTest::kOwnActorsGone) ? 1 : 0;
    case 300:
        return LinkEvent != nullptr && BoundActorCount(LinkEvent) > 0 &&
                       ConditionHolds(this, ConditionTest::kLinkedActorsGone)
                   ? 1
                   : 0;
    case 400:
        return ConditionHolds(this, ConditionTest::kLinkEnded) ? 1 : 0;
    case 500:
        return ConditionHolds(this, ConditionTest::kLinkRunning) ? 1 : 0;
    case 600:
        return Param != 0 && ActionInArea(this) && SharedItemHeld(Param) ? 1 : 0;
    case 700:
        return LinkedActorsBusyThenRemoved(this) ? 1 : 0;
    case 800:
        return SharedItemHeld(Param) &&
                       !(g_sceneLinks.itemPopupShown != nullptr && g_sceneLinks.itemPopupShown())
                   ? 1
                   : 0;
    case 900:
        if (!ConditionHolds(this, ConditionTest::kLinkEnded)) {
            return 0;
        }
        DelayTimer += dt;
        return DelayTimer >= EndDelay ? 1 : 0;
    default:
        return 0;
    }
}

void CSInGameAnmEvent::EnterState(int32_t state)
{
    if (state > TracedState) {
        EventTraceStep(this, "state", state);
        TracedState = state;
    }
    RunState = state;
}

void CSInGameAnmEvent::Update(float dt)
{
    if (RunState == 0) {
        EnterState(1);
        Reading = 1;
        ReadPos = 0;
    }
    if (Reading != 0) {
        ReadStep();
    }
    if (Building != 0) {
        BuildStep();
    }
    if (Loaded == 0 || IsOccur == 0) {
        return;
    }
    if (RunState == 1) {
        EnterState(2);
    }
    if (manager != nullptr && manager->GetTalkEventId() != 0) {
        return;
    }
    if (RunState == 2 && PostToOthers == 1) {
        EventPostToOthers(kCtlShowHold, kHoldForScene);
        SetActorUpdate(0);
        Done[1] = 1;
        EnterState(3);
    }
    if (RunState == 3 || (RunState == 2 && PostToOthers == 0)) {
        EnterState(FindActors(dt) ? 4 : 3);
    }
    if (RunState == 4 && Loaded != 0) {
        EnterState(5);
        StartCamera();
        if (!StartActors(dt)) {
            RunState = 4;
        }
    }
    // The actors the scene plays: the frozen actor pass leaves them to it.
    for (int32_t i = 0; i < SceneActorCount(); ++i) {
        if (Keys[i].Started != 0 && Keys[i].Clump != nullptr && g_sceneLinks.advanceAnimation != nullptr) {
            g_sceneLinks.advanceAnimation(Keys[i].Clump, dt);
        }
    }
    if (RunState == 5) {
        const bool cameraDone = g_sceneLinks.cameraEnded == nullptr || g_sceneLinks.cameraEnded();
        if (cameraDone || Time >= kSceneTimeLimit) {
            RunCameraEnd();
            if (RunState == 6) {
                return;
            }
        }
    }
    if (CameraRunning != 0) {
        Time += dt;
        CameraLength = g_sceneLinks.cameraTime != nullptr ? g_sceneLinks.cameraTime() : Time;
        if (Time >= BlendIn) {
            Done[0] = 1;
        }
        ShowSubtitles();
    }
}

bool CSInGameAnmEvent::FindActors(float dt)
{
    if (Done[2] == 0) {
        EventPostToHeroes(kCtlShowHold, 0);
        Done[2] = 1;
    }
    bool allFound = true;
    for (int32_t i = 0; i < SceneActorCount(); ++i) {
        InGameAnmKey &key = Keys[i];
        if (key.Skipped != 0 || key.Found != 0) {
            continue;
        }
        AiObject *actor = g_sceneLinks.findActor != nullptr ? g_sceneLinks.findActor(key.AiId) : nullptr;
        if (actor == nullptr) {
            // The stage has no such actor: the scene plays without it.
            DebugPrint("Event%d: no actor with AI id %d; the scene plays without it\n", EventID, key.AiId);
            LeaveOut(key);
            continue;
        }
        key.Actor = actor;
        if (key.NoAnimation != 0) {
            continue;
        }
        if (PostToOthers == 1 && key.Frozen == 0) {
            EventPost(0, actor, 0, kCtlShowHold, EventID);
            key.Frozen = 1;
            KeepUpdating(actor, true);
        }
        if (g_sceneLinks.hasModel != nullptr && g_sceneLinks.hasModel(actor)) {
            key.Found = 1;
            key.Waited = 0.0f;
            key.Clump = g_sceneLinks.clump != nullptr ? g_sceneLinks.clump(actor) : nullptr;
            if (!IsZeroVector(key.Start) && g_sceneLinks.place != nullptr) {
                g_sceneLinks.place(actor, key.Start, false);
            }
            continue;
        }
        if (!GiveUpOnActor(key, dt, "has no model")) {
            allFound = false;
        }
    }
    return allFound;
}

bool CSInGameAnmEvent::GiveUpOnActor(InGameAnmKey &key, float dt, const char *lacking)
{
    key.Waited += dt;
    if (key.Waited < kSceneActorWait) {
        return false;
    }
    DebugPrint("Event%d: actor %d %s after %.1f s; the scene plays without it\n", EventID, key.AiId, lacking,
               kSceneActorWait);
    LeaveOut(key);
    return true;
}

void CSInGameAnmEvent::LeaveOut(InGameAnmKey &key)
{
    KeepUpdating(key.Actor, false);
    EventTraceStep(this, "skipped", key.AiId);
    key.Skipped = 1;
}

void CSInGameAnmEvent::StartCamera()
{
    if (CameraLoaded == 0 || Done[3] != 0) {
        return;
    }
    CameraRunning = 1;
    if (CameraStarted != 0) {
        return;
    }
    CameraStarted = 1;
    if (BlendIn == 0.0f) {
        BlendGameSpeed(kCutGameSpeed);
        Letterbox(true);
        SetCameraMode(kCameraScene);
        if (g_eventLinks.saveCamera != nullptr) {
            g_eventLinks.saveCamera();
            CameraSaved = 1;
        }
    } else {
        if (g_sceneLinks.blendCamera != nullptr) {
            g_sceneLinks.blendCamera(true, BlendIn);
        }
        SetCameraMode(kCameraBlendIn);
    }
}

bool CSInGameAnmEvent::StartActors(float dt)
{
    bool allStarted = true;
    for (int32_t i = 0; i < SceneActorCount(); ++i) {
        InGameAnmKey &key = Keys[i];
        if (key.Found == 0 || key.Skipped != 0 || key.Started != 0 || key.NoAnimation != 0) {
            continue;
        }
        const bool holding = g_sceneLinks.inHoldState != nullptr && g_sceneLinks.inHoldState(key.Actor);
        if (holding && key.Frozen != 0 && Done[0] != 0) {
            KeepUpdating(key.Actor, false);
            const bool playing = key.Clump != nullptr && g_sceneLinks.playAnimation != nullptr &&
                                 g_sceneLinks.playAnimation(key.Clump, key.Animation);
            if (g_sceneLinks.releaseTypeEffects != nullptr) {
                g_sceneLinks.releaseTypeEffects(key.Actor);
            }
            key.EffectsReleased = 1;
            key.Started = 1;
            if (!playing) {
                DebugPrint("Event%d: actor %d cannot play %s\n", EventID, key.AiId, key.Animation);
            }
            DebugPrint("Change AI:%d Animation Finish.\n", key.AiId);
            EventTraceStep(this, "actor", key.AiId);
            continue;
        }
        // The blend into the scene is no wait of the actor's own.
        if (holding || !GiveUpOnActor(key, dt, "is not in its hold state")) {
            allStarted = false;
        }
    }
    return allStarted;
}

void CSInGameAnmEvent::RunCameraEnd()
{
    if (Time >= kSceneTimeLimit) {
        // The net: whatever the camera does, play comes back.
        PutCameraBack();
        if (EndBlendDone == 0) {
            EndBlendDone = 1;
            RestoreActors(1);
        }
        EndScene();
        return;
    }
    if (CameraMode() == kEventCameraPlay && EndBlendDone != 0) {
        EndScene();
        return;
    }
    if (EndBlendDone == 0) {
        EndBlendDone = 1;
        if (BlendOut == 0.0f) {
            PutCameraBack();
        } else {
            SetCameraMode(kCameraBlendOut);
            if (g_sceneLinks.blendCamera != nullptr) {
                g_sceneLinks.blendCamera(false, BlendOut);
            }
        }
        RestoreActors(1);
    }
}

void CSInGameAnmEvent::PutCameraBack()
{
    if (CameraSaved != 0 && g_sceneLinks.restoreCamera != nullptr) {
        g_sceneLinks.restoreCamera();
    }
    SetCameraMode(kEventCameraPlay);
    BlendGameSpeed(kPlayGameSpeed);
    Letterbox(false);
}

void CSInGameAnmEvent::EndScene()
{
    if (g_sceneLinks.unloadCamera != nullptr && Done[3] == 0 && CameraLoaded != 0) {
        g_sceneLinks.unloadCamera(CameraModel);
    }
    CameraLoaded = 0;
    Done[3] = 1;
    Time = 0.0f;
    CameraRunning = 0;
    RestoreActors(0);
    ReleaseHolds();
    CloseScene();
}

void CSInGameAnmEvent::CloseScene()
{
    ReleaseActorAnimations();
    TakeKeyItem();
    SetActorUpdate(1);
    ReleaseSounds();
    EnterState(6);
    ClearSubtitle();
    EndEvent();
}

void CSInGameAnmEvent::ReleaseHolds()
{
    if (PostToOthers != 0) {
        EventPostToOthers(kCtlRelease, 0);
    }
    EventPostToHeroes(kCtlRelease, 0);
}

void CSInGameAnmEvent::ReleaseSounds()
{
    if (SoundsAdded != 0 && g_sceneLinks.releaseSounds != nullptr) {
        g_sceneLinks.releaseSounds(CueSounds, SoundNext < CueCount ? SoundNext : CueCount);
    }
    SoundsAdded = 0;
}

void CSInGameAnmEvent::ReleaseActorAnimations()
{
    for (int32_t i = 0; i < SceneActorCount(); ++i) {
        InGameAnmKey &key = Keys[i];
        if (key.AnimationLoaded != 0 && g_sceneLinks.releaseAnimation != nullptr) {
            g_sceneLinks.releaseAnimation(key.Animation);
        }
        key.AnimationLoaded = 0;
    }
}

void CSInGameAnmEvent::TakeKeyItem()
{
    if (StartCondition != kKeepsKeyItem && Param != 0 && g_sceneLinks.removeItem != nullptr) {
        g_sceneLinks.removeItem(Param);
    }
}

void CSInGameAnmEvent::RestoreActors(uint8_t group)
{
    for (int32_t i = 0; i < SceneActorCount(); ++i) {
        InGameAnmKey &key = Keys[i];
        if (key.NoAnimation != group || key.Actor == nullptr) {
            continue;
        }
        KeepUpdating(key.Actor, false);
        if (key.Restored == 0 && key.Skipped == 0) {
            if (key.RestoreMode == 1) {
                if (g_sceneLinks.setEventHeld != nullptr) {
                    g_sceneLinks.setEventHeld(key.Actor);
                }
            } else if (key.RestoreMode == 0) {
                if (g_sceneLinks.remove != nullptr) {
                    g_sceneLinks.remove(key.Actor);
                }
            }
            if (!IsZeroVector(key.End)) {
                if (g_sceneLinks.place != nullptr) {
                    g_sceneLinks.place(key.Actor, key.End, true);
                }
                key.Restored = 1;
            }
        }
        if (group == 0) {
            if (key.Started != 0 && key.Clump != nullptr && g_sceneLinks.returnAnimation != nullptr) {
                g_sceneLinks.returnAnimation(key.Actor, key.Clump);
            }
            key.Started = 0;
            if (key.AnimationLoaded != 0 && g_sceneLinks.releaseAnimation != nullptr) {
                g_sceneLinks.releaseAnimation(key.Animation);
            }
            key.AnimationLoaded = 0;
            if (key.EffectsReleased != 0 && g_sceneLinks.releaseTypeEffects != nullptr) {
                g_sceneLinks.releaseTypeEffects(key.Actor);
            }
            key.EffectsReleased = 0;
        }
    }
}

void CSInGameAnmEvent::Finish()
{
    if (IsOccur == 0) {
        return;
    }
    // A load in progress is given up rather than waited for.
    GiveUpLoad();
    CameraLength = kFinishedCameraTime;
    if (Done[3] == 0 && CameraLoaded != 0 && g_sceneLinks.unloadCamera != nullptr) {
        g_sceneLinks.unloadCamera(CameraModel);
    }
    CameraLoaded = 0;
    Done[3] = 1;
    CameraRunning = 0;
    if (CameraStarted != 0) {
        PutCameraBack();
    }
    if (Done[1] != 0 || Done[2] != 0) {
        ReleaseHolds();
    }
    RestoreActors(0);
    RestoreActors(1);
    CloseScene();
}

void CSInGameAnmEvent::EndEvent()
{
    if (manager != nullptr) {
        manager->EndEvent(this);
    } else {
        IsOccur = 0;
    }
    if (SendsToNextStage(EventID) && g_eventLinks.requestStageChange != nullptr) {
        g_eventLinks.requestStageChange(kNextStage, 0, kNextStageMs);
    }
}

void CSInGameAnmEvent::Step(float)
{
    if (CameraRunning == 0) {
        return;
    }
    for (int32_t i = 0; i < CueCount; ++i) {
        if (CuePlayed[i] == 0 && static_cast<float>(CueFrames[i]) * kSceneFrameSeconds <= CameraLength) {
            EventPlaySound(CueSounds[i]);
            EventTraceStep(this, "sound", CueSounds[i]);
            CuePlayed[i] = 1;
        }
    }
}

void CSInGameAnmEvent::ShowSubtitles()
{
    if (SubtitlesLoaded == 0 || SubtitleText == nullptr) {
        return;
    }
    CSEventMessageWindow *window = Window(this);
    for (int32_t i = 0; i < SubtitleCount; ++i) {
        SceneSubtitle &subtitle = Subtitles[i];
        if (subtitle.Words[0] != 0 || subtitle.StartTime > CameraLength) {
            continue;
        }
        const std::u16string shown = VisibleSubtitleText(subtitle, CameraLength);
        SubtitleText->SetText(nullptr, shown.c_str(), kSubtitleX, kSubtitleY, kSubtitleWidth);
        if (window != nullptr) {
            window->SetSubtitle(SubtitleText, 1);
        }
        if (HasText == 0 || ShownSubtitle != i) {
            EventTraceStep(this, "subtitle", i);
        }
        ShownSubtitle = i;
        HasText = 1;
        if (SubtitleFinished(subtitle, CameraLength)) {
            subtitle.Words[0] = 1;
        }
        return;
    }
    if (window != nullptr) {
        window->SetSubtitle(SubtitleText, 0);
    }
    HasText = 0;
}

void CSInGameAnmEvent::ClearSubtitle()
{
    if (CSEventMessageWindow *window = Window(this)) {
        window->SetSubtitle(nullptr, 0);
    }
    if (SubtitleText != nullptr) {
        SubtitleText->Reset(0);
        SubtitleText = nullptr;
    }
    HasText = 0;
}

void CSInGameAnmEvent::Release()
{
    GiveUpLoad();
    for (int32_t i = 0; i < CueCount; ++i) {
        CuePlayed[i] = 0;
    }
    RunState = 0;
    Done[2] = 0;
    FreeSceneSubtitles(Subtitles, SubtitleCount);
    Subtitles = nullptr;
    SubtitleCount = 0;
    SubtitlesLoaded = 0;
    ClearSubtitle();
    SliceStart = SliceSpent = 0;
    LoadStep = ActorNext = SoundNext = 0;
    CameraClump = nullptr;
}

void CSInGameAnmEvent::Destroy()
{
    Release();
    FreeSceneData();
    FreeSceneAudio();
    if (object == EventObject::kInGameAnm79041500) {
        auto *self = static_cast<CSInGameAnm79041500 *>(this);
        zuStrFree(self->AnimationName);
        self->AnimationName = nullptr;
    }
}

void CSInGameAnmEvent::FreeSceneData()
{
    zuStrFree(CameraModel);
    zuStrFree(CameraAnimation);
    CameraModel = nullptr;
    CameraAnimation = nullptr;
    for (int32_t i = 0; Keys != nullptr && i < KeyCount; ++i) {
        zuStrFree(Keys[i].Animation);
    }
    FreeEventBlock(Keys);
    KeyCount = 0;
    HasSceneData = 0;
}

void CSInGameAnmEvent::FreeSceneAudio()
{
    FreeEventBlock(CueSounds);
    FreeEventBlock(CueFrames);
    FreeEventBlock(CuePlayed);
    CueCount = 0;
}
