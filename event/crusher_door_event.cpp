// Stage 16's crusher doors (79164900..79165300): the door model plays its
// motion 1 to the end; then every hero standing in the door's crush zone
// (door_rules.h) takes one hit. Their sound plays once per stage.
#include "event/door_event.h"
#include "event/door_rules.h"
#include "event/event_links.h"
#include "event/event_manager.h"
#include "stage/clump_anim_manager.h"

namespace {

constexpr int32_t kCrushMotion = 1;

}  // namespace

void CSDoorEvent::UpdateCrusher(float dt)
{
    RpClump *model = DoorModel();
    CSClumpAnimManager *animations = g_eventLinks.eventAnims != nullptr ? g_eventLinks.eventAnims() : nullptr;
    if (model == nullptr) {
        // No crusher: nothing moves and nothing crushes.
        if (manager != nullptr) {
            manager->EndEvent(this);
        }
        return;
    }
    if (animations == nullptr) {
        return;  // tried again next frame
    }
    if (Started == 0) {
        animations->ChangeMotion(model, kCrushMotion, 0.0f);
        Started = 1;
    }
    if (!animations->HasMotionEnded(model) && animations->HoldsClump(model)) {
        animations->UpdateClump(model, dt);
        return;
    }
    Started = 0;
    if (manager != nullptr) {
        manager->EndEvent(this);
    }
    const int32_t heroCount = EventHeroCount() >= 2 ? 2 : EventHeroCount();
    AiObject *heroes[2] = {};
    RwV3d positions[2] = {};
    for (int32_t i = 0; i < heroCount; ++i) {
        RwV3d facing;
        heroes[i] = EventHero(i);
        if (heroes[i] == nullptr || !EventActorPose(heroes[i], &positions[i], &facing)) {
            positions[i] = {1.0e9f, 0.0f, 1.0e9f};  // nowhere near a zone
        }
    }
    const uint32_t hit = CrusherHitHeroes(EventID, heroCount, positions);
    for (int32_t i = 0; i < heroCount; ++i) {
        if ((hit & (1u << i)) != 0 && heroes[i] != nullptr) {
            EventPost(kCrusherHitPriority, heroes[i], kCrusherHitPayload[0], kCrusherHitPayload[1],
                      kCrusherHitPayload[2]);
        }
    }
}

void CSDoorEvent::StepCrusher(float) { EventPlaySoundOnce(this, kCrusherSound); }

uint8_t CSDoorEvent::CheckCrusher(float) { return LinkEvent != nullptr && LinkEvent->IsOccur != 0 ? 1 : 0; }
