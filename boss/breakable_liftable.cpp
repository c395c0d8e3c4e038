// Type 10027, the liftable object (see breakable_objects.h): a hero's grab
// (1024) lifts it (input 104, state 1), where only the hero's held blows
// (4096) hurt it, above its Defense; at 0 HP it dies like a character
// (120: the fade and status particles in 2, gone in 3) and drops nothing.
// Ordinary hits neither hurt it nor move it.
#include "actor/fsf.h"
#include "boss/breakable_objects.h"
#include "fx/mat_anim_manager.h"
#include "monster/kit_common.h"
#include "monster/kit_condition.h"
#include "monster/kit_life.h"
#include "monster/kit_messages.h"
#include "monster/kit_state.h"
#include "stage/character_params.h"

namespace breakable_liftable {

constexpr int32_t kLastState = 3;
constexpr int32_t kLiftedState = 1;
constexpr int32_t kDyingState = 2;
constexpr int32_t kGoneState = 3;
constexpr float kFadeAdded = 0.25f;
constexpr monster::StateSound kSounds[] = {{kLiftedState, 6120010, 6300230}, {kDyingState, 6120020}};

}  // namespace breakable_liftable

void CSBreakObj10027::Update(AiObject *self, float dt)
{
    breakable::RunUpdate(self, dt, {&Think, &Act, breakable_liftable::kLastState, false, false});
}

void CSBreakObj10027::Think(AiObject *self, int32_t *next)
{
    int32_t input = 0;
    const bool read = monster::DrainMessages(self, [&](const MSGData &m) {
        switch (m.kind) {
        case kMsgControl:
            if (m.word[1] == kCtlShowHold && m.word[2] != 0 && m.word[2] == self->eventId) {
                if (self->model == nullptr && !breakable::TakeModel(self)) {
                    return false;
                }
                self->eventHeld = true;
                self->eventModel = true;
                input = 0;
            } else if (m.word[1] == kCtlRelease) {
                self->eventModel = false;
            }
            return true;
        case kMsgHitActor: {
            const int32_t bits = m.word[1];
            if ((bits & kAtkGrab) != 0) {
                self->grabbed = true;
                input = monster::kInputGrabbed;
            }
            if (self->state == breakable_liftable::kLiftedState) {
                if ((bits & kAtkHeldDamage) != 0) {
                    monster::AddBlowDamage(self, m.word[2]);
                    input = 0;
                }
                if ((bits & kAtkGrabEnd) != 0) {
                    self->grabbed = false;
                    input = monster::kInputGrabEnded;
                }
            }
            breakable::Feed(self, next, input);
            return true;
        }
        case kMsgSensing:
            return breakable::ModelByDistance(self, m.word[0], true);
        default:
            return true;
        }
    });
    if (read) {
        breakable::Feed(self, next, input);
    }
}

void CSBreakObj10027::Act(AiObject *self, int32_t *next, float)
{
    CFSF *fsf = self->Fsf();
    const bool hurtNow = fsf != nullptr && fsf->GetIsHurt(self->state) != 0;
    self->grabbable = true;
    if (hurtNow && self->damageToApply >= 1) {
        if (CSMatAnimManager *anims = monster::MatAnims()) {
            anims->Start(self, kMatAnimOwnerActor, monster::kMatHitFlash, monster::kHitFlashSpeed, true);
        }
        self->SubtractHP(self->damageToApply);
    }
    if (self->hp < 1) {
        breakable::Feed(self, next, monster::kInputDeath);
        self->busy = true;
        self->grabbed = false;
    }
    if (self->state == breakable_liftable::kDyingState) {
        monster::StartDeathLook(self, {.addedToMotion = breakable_liftable::kFadeAdded, .looped = true});
    }
    if (self->state == breakable_liftable::kGoneState) {
        monster::DetachStatusParticles(self);
        monster::RemoveFromPlay(self);
    }
    monster::PlayEntrySounds(self, breakable_liftable::kSounds);
    self->hurtable = hurtNow;
    monster::HandOver(self);
}
