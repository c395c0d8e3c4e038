// The door events (see door_event.h).
#include "event/door_event.h"

#include <string>

#include "app/debug.h"
#include "app/memory.h"
#include "app/path.h"
#include "event/door_rules.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "event/event_models.h"
#include "event/water_event.h"
#include "fx/node_anim_player.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_frames.h"

namespace {

// The marker kinds over a hero near a key door: key missing, key held (and
// the action doors).
constexpr int32_t kMarkerKeyMissing = 0;
constexpr int32_t kMarkerAction = 1;
constexpr float kDoorMessageOpenSeconds = 0.3f;
constexpr float kDoorMessageShowSeconds = 2.0f;
// How far the load moves a clump into its starting motion.
constexpr float kLoadPoseSeconds = 0.001f;
constexpr float kMotionAtOnceSeconds = 0.1f;

CSNodeAnimPlayer *NodeAnims() { return g_eventLinks.nodeAnims != nullptr ? g_eventLinks.nodeAnims() : nullptr; }
CSClumpAnimManager *Animations() { return g_eventLinks.eventAnims != nullptr ? g_eventLinks.eventAnims() : nullptr; }

bool IsZero(const RwV3d &v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

RpClump *FirstModel(const EventRecord *record)
{
    return record != nullptr && record->Models != nullptr && record->ModelNum > 0 ? record->Models[0] : nullptr;
}

bool KeyOwned(int32_t itemId)
{
    return itemId != 0 && g_eventLinks.hasItem != nullptr && g_eventLinks.hasItem(0, itemId);
}

void UseKey(int32_t itemId)
{
    if (itemId != 0 && g_eventLinks.removeItem != nullptr) {
        g_eventLinks.removeItem(0, itemId);
    }
}

// The stages whose node doors move the whole clump.
bool WholeClumpStage(int32_t stage) { return stage == 23 || stage == 25; }

}  // namespace

void CSDoorEvent::Init()
{
    PlayOnOccur = 1;
    AnimFile = nullptr;
    Sign = nullptr;
    SignSlot = 0;
}

RpClump *CSDoorEvent::DoorModel() const { return UseLinkModel != 0 ? FirstModel(LinkEvent) : FirstModel(this); }

void CSDoorEvent::LoadAnim(uint8_t centreOnModel, int32_t closedMotion, int32_t openMotion, uint8_t useLinkModel,
                           int32_t openCondition, uint8_t nodeAnim, uint32_t signSlot, int32_t soundKind)
{
    zuStrFree(AnimFile);
    AnimFile = nullptr;
    AnimLoaded = 0;
    ClosedMotion = closedMotion;
    OpenMotion = openMotion;
    UseLinkModel = useLinkModel;
    OpenCondition = openCondition;
    NodeAnim = nodeAnim;
    SignSlot = signSlot;
    CentreCopied = 0;
    Started = 0;
    SoundDone = 0;
    Elapsed = 0.0f;
    WholeClump = 0;
    ModelNum = 1;
    TextShown = 0;
    DrawAfterEnd = 1;
    DoorSound = DoorSoundOfKind(soundKind);
    if (UseLinkModel == 0) {
        LoadEventModel(this);
        RpClump *model = FirstModel(this);
        CSNodeAnimPlayer *nodes = NodeAnims();
        if (NodeAnim != 0 && model != nullptr && nodes != nullptr) {
            if (WholeClumpStage(Stage())) {
                nodes->RegisterWholeClump(model);
                WholeClump = 1;
            } else {
                nodes->Register(model);
            }
        }
        CentreOnModel = 0;
        if (centreOnModel == 1 && model != nullptr && IsZero(Circle.centre)) {
            // The circle follows the model (the model does not move).
            Circle.centre = RwFrameGetLTM(RpClumpGetFrame(model))->pos;
            CentreOnModel = 1;
        }
        if (!IsZero(Circle.centre)) {
            Placement.centre = Circle.centre;
        }
        const std::string label = Label != nullptr ? Label : "";
        AnimFile = zuStrDup((label.substr(0, label.find('.')) + ".ANM").c_str());
        CSClumpAnimManager *animations = Animations();
        if (animations != nullptr && model != nullptr) {
            const std::string path = std::string(GetDataRootPath()) + kEventAnimationFolder + AnimFile;
            AnimLoaded = animations->LoadAMF(path.c_str()) >= 0 ? 1 : 0;
            if (AnimLoaded != 0 && animations->AssignAnimation(model, AnimFile) != 0) {
                animations->ChangeMotion(model, ClosedMotion, 0.0f);
                animations->UpdateClump(model, kLoadPoseSeconds);
                if (NodeAnim != 0 && WholeClump == 0 && nodes != nullptr) {
                    nodes->SetTime(model, animations->GetMotionFrame(model));
                }
            }
        }
    }
    if (SignSlot != 0 && manager != nullptr) {
        Sign = manager->GetDoorMessage(static_cast<int32_t>(SignSlot));
    }
    MessageDistance = kDoorMessageDistance;
}

void CSDoorEvent::LoadPreset(const DoorPreset &preset)
{
    if (object == EventObject::kDoorWithFlags) {
        auto *self = static_cast<CSDoorEventWithFlags *>(this);
        self->ExtraFlags[0] = self->ExtraFlags[1] = 0;
    }
    const DoorArgs &a = preset.args;
    LoadAnim(a.centreOnModel, a.closedMotion, a.openMotion, a.useLinkModel, a.openCondition, a.nodeAnim, a.signSlot,
             a.soundKind);
    const DoorExtras &x = preset.extras;
    RpClump *model = FirstModel(this);
    CSClumpAnimManager *animations = Animations();
    if (x.motionAtOnce >= 0 && model != nullptr && animations != nullptr) {
        animations->ChangeMotion(model, x.motionAtOnce, 0.0f);
        animations->UpdateClump(model, kMotionAtOnceSeconds);
    }
    if (x.radius > 0.0f) {
        Placement.radius = x.radius;
    }
    Placement.centre.x = x.x.value_or(Placement.centre.x);
    Placement.centre.y = x.y.value_or(Placement.centre.y);
    Placement.centre.z = x.z.value_or(Placement.centre.z);
    if (x.refreshCollision && model != nullptr) {
        RefreshClumpCollisionTest(model);
    }
    if (x.collisionOff && model != nullptr) {
        SetClumpCollisionTest(model, false);
    }
    if (x.hiddenAfterEnd) {
        DrawAfterEnd = 0;
    }
    if (x.stillOnOccur) {
        PlayOnOccur = 0;
    }
    if (x.nodeFrame >= 0.0f && model != nullptr) {
        if (CSNodeAnimPlayer *nodes = NodeAnims()) {
            nodes->SetTime(model, x.nodeFrame);
        }
    }
    if (x.distanceIsRadius) {
        MessageDistance = Circle.radius;
    }
}

uint8_t CSDoorEvent::Check(float)
{
    if (UseLinkModel != 0 && CentreCopied == 0) {
        if (!IsZero(Circle.centre)) {
            Placement.centre = Circle.centre;
        } else if (LinkEvent != nullptr) {
            Placement.centre = LinkEvent->Placement.centre;
        }
        CentreCopied = 1;
    }
    DoorConditionInputs inputs;
    inputs.keyOwned = KeyOwned(Param);
    if (DoorOpenConditionHolds(this, OpenCondition, inputs)) {
        return 1;
    }
    ShowDoorMessage();
    return 0;
}

void CSDoorEvent::ShowDoorMessage()
{
    CSEventMessageWindow *window = manager != nullptr ? manager->Window() : nullptr;
    const auto markerOff = [this, window] {
        if (window == nullptr) {
            TextShown = 0;
            return;
        }
        if (window->Marker().eventId == EventID) {
            window->ShowMarker(false, {0.0f, 0.0f, 0.0f}, 0, 0, EventID);
        }
        if (!window->IsBusy()) {
            TextShown = 0;
        }
    };
    if (IsOccur != 0) {
        markerOff();
        return;
    }
    if (UseLinkModel != 0 && LinkEvent != nullptr && LinkEvent->OccurCount == 0) {
        return;
    }
    const bool owned = KeyOwned(Param);
    const int32_t heroes = EventHeroCount();
    for (int32_t i = 0; i < heroes; ++i) {
        AiObject *hero = EventHero(i);
        RwV3d at = {0.0f, 0.0f, 0.0f};
        RwV3d facing;
        if (hero == nullptr || !EventActorPose(hero, &at, &facing)) {
            continue;
        }
        // The window has one marker: the first hero out of reach takes it down.
        if (!WithinDoorMessageDistance(Placement.centre, at, MessageDistance)) {
            markerOff();
            return;
        }
        if (Param != 0) {
            if (window != nullptr) {
                window->ShowMarker(true, at, owned ? kMarkerAction : kMarkerKeyMissing, i, EventID);
            }
            TextShown = 1;
        } else if (OpenCondition == 700) {
            if (window != nullptr) {
                window->ShowMarker(true, at, kMarkerAction, i, EventID);
            }
            TextShown = 1;
        }
        const int32_t slot = EventHeroPlayerIndex(hero);
        const bool pressed = slot >= 0 && slot < kEventPlayers && ActionReq[slot] != 0;
        if (pressed && SignSlot != 0 && (Param == 0 || !owned) && Sign != nullptr && window != nullptr) {
            window->Open(Sign, 0, nullptr, kDoorMessageOpenSeconds, 0, nullptr);
            window->SetShowTime(kDoorMessageShowSeconds);
            TextShown = 1;
            DebugPrint("Event%d Door Message\n", EventID);
            DebugPrint("Cenetr:X%f Y%f Z%f\n", static_cast<double>(Placement.centre.x),
                       static_cast<double>(Placement.centre.y), static_cast<double>(Placement.centre.z));
            DebugPrint("Radius: %f\n", static_cast<double>(Placement.radius));
        }
    }
}

void CSDoorEvent::Finish(RpClump *model)
{
    if (DrawAfterEnd == 0 && UseLinkModel == 0 && model != nullptr) {
        SetClumpCollisionTest(model, false);
    }
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
}

void CSDoorEvent::Update(float dt)
{
    Elapsed += dt;
    RpClump *model = DoorModel();
    if (model == nullptr) {
        // Nothing to open: the door is open as far as the stage goes.
        Started = 0;
        Finish(nullptr);
        return;
    }
    CSClumpAnimManager *animations = Animations();
    CSNodeAnimPlayer *nodes = NodeAnims();
    if (animations == nullptr || (NodeAnim != 0 && nodes == nullptr) ||
        (Param != 0 && g_eventLinks.removeItem == nullptr)) {
        return;  // tried again next frame
    }
    if (PlayOnOccur == 1) {
        if (Started == 0) {
            animations->ChangeMotion(model, OpenMotion, 0.0f);
            if (NodeAnim != 0) {
                nodes->SetTime(model, animations->GetMotionFrame(model));
            }
            if (Param != 0) {
                UseKey(Param);
                TextShown = 0;
            }
            Started = 1;
        }
        if (NodeAnim != 0) {
            if (WholeClump != 0) {
                if (animations->GetMotionIndex(model) == 1 && animations->GetAnimationId(model) != 0) {
                    nodes->Advance(model, dt, kNodeAnimOnce);
                }
            } else if (nodes->IsFinished(model) == 0) {
                nodes->Advance(model, dt, kNodeAnimOnce);
                DebugPrint("Event%dMorphDoor is not end.\n", EventID);
            }
        }
        if (animations->HasMotionEnded(model) || !animations->HoldsClump(model)) {
            Started = 0;
            Finish(model);
        } else {
            animations->UpdateClump(model, dt);
        }
    } else if (NodeAnim == 1) {
        if (nodes->IsFinished(model) == 0) {
            nodes->Advance(model, dt, kNodeAnimOnce);
            return;
        }
        UseKey(Param);
        TextShown = 0;
        Finish(model);
    }
}

void CSDoorEvent::Update79042100(float dt)
{
    auto *self = static_cast<CSDoorEventWithFlags *>(this);
    if (self->ExtraFlags[0] == 0) {
        if (g_eventLinks.startExplosion != nullptr) {
            g_eventLinks.startExplosion(Placement.centre);
        }
        self->ExtraFlags[0] = 1;
    }
    Update(dt);
    if (self->ExtraFlags[1] == 0) {
        if (RpClump *model = FirstModel(this)) {
            SetClumpCollisionTest(model, false);
        }
        self->ExtraFlags[1] = 1;
    }
}

void CSDoorEvent::Step(float) { EventPlaySoundOnce(this, DoorSound); }

void CSDoorEvent::Step79187100(float) { EventPlaySoundOnce(this, kKeyDoorSound); }

void CSDoorEvent::Render()
{
    if (DrawAfterEnd == 0 && OccurCount >= 1) {
        return;
    }
    if (EventModelsInView(this)) {
        DrawEventModels(this, true);
    }
}

void CSDoorEvent::Release()
{
    RpClump *model = FirstModel(this);
    if (UseLinkModel == 0 && model != nullptr) {
        if (NodeAnim != 0) {
            if (CSNodeAnimPlayer *nodes = NodeAnims()) {
                nodes->Unregister(model);
            }
        }
        if (CSClumpAnimManager *animations = Animations()) {
            animations->DissolveClump(model);
            if (AnimLoaded != 0 && AnimFile != nullptr) {
                animations->ReleaseAnimation(AnimFile);
            }
        }
    }
    AnimLoaded = 0;
    zuStrFree(AnimFile);
    AnimFile = nullptr;
    if (CentreOnModel != 0) {
        Circle.centre = {0.0f, 0.0f, 0.0f};
        CentreOnModel = 0;
    }
    Sign = nullptr;
}
