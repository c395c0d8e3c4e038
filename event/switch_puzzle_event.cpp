// The switch puzzle and its switches (see switch_puzzle_event.h).
#include "event/switch_puzzle_event.h"

#include <cstdio>

#include "event/bound_actors.h"
#include "event/condition_codes.h"
#include "event/event_blocks.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/event_models.h"
#include "fx/mat_anim_manager.h"
#include "rpworld.h"

namespace {

// The event tracks of a switch: lit, unlit, flashing.
constexpr int32_t kSwitchTracks[3] = {22, 23, 24};
constexpr int32_t kTrackLit = 0;
constexpr int32_t kTrackUnlit = 1;
constexpr int32_t kTrackFlash = 2;
constexpr float kUnlitTime = 2.0f;
constexpr float kFlashTime = 5.0f;

void StarEffectOn(bool on)
{
    if (g_eventLinks.starEffectOn != nullptr) {
        g_eventLinks.starEffectOn(on);
    }
}

// The sign stands on the switch: the switch's axes, its position moved up
// and forward along them.
void PlaceSign(RpClump *switchModel, RpClump *sign)
{
    RwFrame *from = RpClumpGetFrame(switchModel);
    RwFrame *to = RpClumpGetFrame(sign);
    if (from == nullptr || to == nullptr) {
        return;
    }
    const RwMatrix *m = RwFrameGetMatrix(from);
    RwMatrix *out = RwFrameGetMatrix(to);
    out->right = m->right;
    out->up = m->up;
    out->at = m->at;
    out->pos = {m->pos.x + m->up.x * kSignUp + m->at.x * kSignForward,
                m->pos.y + m->up.y * kSignUp + m->at.y * kSignForward,
                m->pos.z + m->up.z * kSignUp + m->at.z * kSignForward};
    RwMatrixUpdateFlags(out, nullptr);
    RwFrameMarkDirty(to);
}

}  // namespace

// ---- the puzzle ----

void CSStarEffectEvent::Setup(int32_t condition, float timeLimit)
{
    Condition = condition;
    TimeLimit = timeLimit;
    Timer = 0.0f;
    Progress = 0;
    TimerRunning = Warning = Reset = StartSoundDone = 0;
    FreeEventBlock(Sequence);
    char digits[16];
    const int length = std::snprintf(digits, sizeof digits, "%d", Param);
    SequenceLength = 0;
    Sequence = NewEventBlock<int32_t>(static_cast<size_t>(length > 0 ? length : 0));
    for (int i = 0; i < length; ++i) {
        if (digits[i] >= '0' && digits[i] <= '9') {
            Sequence[SequenceLength++] = digits[i] - '0';
        }
    }
}

void CSStarEffectEvent::Release()
{
    FreeEventBlock(Sequence);
    SequenceLength = 0;
}

uint8_t CSStarEffectEvent::Check(float)
{
    using enum ConditionTest;
    // What the codes 100 to 500 wait for.
    static constexpr std::array<ConditionTest, 5> kCodes = {
        kAlways, kOwnActorsGone, kLinkedActorsGone, kLinkEnded, kLinkRunning,
    };
    return CheckHundredCode(this, kCodes, Condition);
}

void CSStarEffectEvent::Update(float dt)
{
    if (StartSoundDone == 0) {
        StartSoundDone = 1;
        EventPlaySound(kPuzzleStartSound);
    }
    if (TimerRunning != 0) {
        Timer += dt;
    }
    if (Progress == SequenceLength) {
        EventPlaySound(kPuzzleSolvedSound);
        StarEffectOn(true);
        StartSoundDone = 0;
        if (manager != nullptr) {
            manager->EndEvent(this);
        }
        return;
    }
    if (Timer >= TimeLimit - kPuzzleWarningSeconds) {
        if (Warning == 0) {
            EventTraceStep(this, "warning", Progress);
        }
        Warning = 1;
    }
    if (Timer >= TimeLimit) {
        EventTraceStep(this, "reset", Progress);
        Warning = 0;
        Reset = 1;
        Timer = 0.0f;
        Progress = 0;
        TimerRunning = 0;
        StarEffectOn(false);
    } else {
        Reset = 0;
    }
}

// ---- the switches ----

const char *CSMatAnimEvent::SignModelName(int32_t number)
{
    static const char *const kNames[kSignModels] = {"3520801", "3520802", "3520803",
                                                    "3520804", "3520805", "3520806"};
    return number >= 1 && number <= kSignModels ? kNames[number - 1] : nullptr;
}

CSStarEffectEvent *CSMatAnimEvent::Puzzle() const
{
    return LinkEvent != nullptr && LinkEvent->kind == EventKind::kStarEffect
               ? static_cast<CSStarEffectEvent *>(LinkEvent)
               : nullptr;
}

void CSMatAnimEvent::Load()
{
    Release();
    const char *sign = SignModelName(Param);
    const char *names[2] = {Label != nullptr ? Label : "none", sign};
    if (manager != nullptr) {
        // A switch number outside 1..6 has no sign: its own model only.
        manager->LoadEventModels(this, names, sign != nullptr ? 2 : 1);
    }
    if (Models != nullptr && ModelNum >= 2 && Models[0] != nullptr && Models[1] != nullptr) {
        PlaceSign(Models[0], Models[1]);
    }
    for (MatAnimTrackSet *&set : Tracks) {
        set = new MatAnimTrackSet(kSwitchTracks, 3);
        for (int32_t i = 0; i < set->TrackCount(); ++i) {
            set->EnableTrack(i, false);
        }
    }
    Pressed = Lit = Flashed = 0;
}

void CSMatAnimEvent::Release()
{
    for (MatAnimTrackSet *&set : Tracks) {
        delete set;
        set = nullptr;
    }
}

void CSMatAnimEvent::Light()
{
    if (Tracks[0] != nullptr) {
        Tracks[0]->EnableTrack(kTrackUnlit, false);
        Tracks[0]->EnableTrack(kTrackLit, true);
        Tracks[0]->SetTrackTime(kTrackLit, 0.0f);
    }
    Lit = 1;
}

void CSMatAnimEvent::Unlight()
{
    if (Tracks[0] != nullptr) {
        Tracks[0]->EnableTrack(kTrackLit, false);
        Tracks[0]->EnableTrack(kTrackUnlit, true);
        Tracks[0]->SetTrackTime(kTrackUnlit, kUnlitTime);
    }
}

uint8_t CSMatAnimEvent::Check(float dt)
{
    for (MatAnimTrackSet *set : Tracks) {
        if (set != nullptr) {
            set->Update(dt);
        }
    }
    CSStarEffectEvent *puzzle = Puzzle();
    if (puzzle == nullptr) {
        return 0;
    }
    if (puzzle->Warning != 0 && Flashed == 0) {
        if (Tracks[1] != nullptr) {
            Tracks[1]->EnableTrack(kTrackFlash, true);
            Tracks[1]->SetTrackTime(kTrackFlash, kFlashTime);
        }
        EventTraceStep(this, "flash", Lit);
        Flashed = 1;
    }
    if (puzzle->Reset != 0) {
        if (Lit != 0) {
            EventTraceStep(this, "unlit", 0);
            Unlight();
        }
        Flashed = 0;
    }
    if (puzzle->Progress == 0 && Lit != 0) {
        Unlight();
        Lit = 0;
    }
    if (CharNumMet == 0) {
        Pressed = 0;
    }
    if (Pressed != 0) {
        return 0;
    }
    return puzzle->IsOccur != 0 ? 1 : 0;
}

void CSMatAnimEvent::Update(float)
{
    CSStarEffectEvent *puzzle = Puzzle();
    if (puzzle == nullptr || puzzle->OccurCount >= 1) {
        MaxOccur = 1;
        if (manager != nullptr) {
            manager->EndEvent(this);
        }
        return;
    }
    puzzle->TimerRunning = 1;
    if (Pressed == 0) {
        const bool right = puzzle->Sequence != nullptr && puzzle->Progress < puzzle->SequenceLength &&
                           puzzle->Sequence[puzzle->Progress] == EventID;
        if (right) {
            EventPlaySound(kSwitchRightSound);
            if (g_eventLinks.startStarEffect != nullptr) {
                g_eventLinks.startStarEffect(Placement.centre);
            }
            ++puzzle->Progress;
            Light();
        } else {
            EventPlaySound(kSwitchWrongSound);
            StarEffectOn(false);
            puzzle->Progress = 0;
            if (Lit != 0) {
                Unlight();
            }
            Lit = 0;
        }
        Pressed = 1;
    }
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}

void CSMatAnimEvent::Render()
{
    if (Models == nullptr || ModelNum < 1 || !EventModelsInView(this)) {
        return;
    }
    for (int32_t i = 0; i < ModelNum && i < 2; ++i) {
        RpClump *clump = Models[i];
        if (clump == nullptr || !IsEventModelShown(clump)) {
            continue;
        }
        if (Tracks[i] != nullptr) {
            Tracks[i]->RenderClump(clump);
        } else {
            DrawEventModel(clump, false);
        }
    }
}
