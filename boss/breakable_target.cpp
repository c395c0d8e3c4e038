// Type 10026, the front-only target (see breakable_objects.h): a hit's
// damage counts only when its sender stands within 60 degrees of the
// target's facing; at 0 HP it breaks (input 2), fades (4), waits 1.5 s (5)
// and stands again with full HP (6), its fade stopped so that it rises
// whole, removed only until its next update. It never drops anything.
#include "actor/fsf.h"
#include "boss/breakable_objects.h"
#include "fx/mat_anim_manager.h"
#include "monster/kit_common.h"
#include "monster/kit_messages.h"
#include "stage/character_params.h"

namespace breakable_target {

constexpr int32_t kLastState = 6;
constexpr int32_t kInputBroken = 2;
constexpr int32_t kFadeState = 4;
constexpr int32_t kWaitState = 5;
constexpr float kWaitSeconds = 1.5f;
constexpr int32_t kInputStandAgain = 3;
constexpr int32_t kRestoreState = 6;
constexpr int32_t kStandingState = 0;
constexpr float kFrontCosine = 0.5f;  // cos(60 degrees)
constexpr int32_t kMatFade = 4;
constexpr float kFadeAdded = 0.25f;
constexpr int32_t kHitSound = 6500190;
constexpr int32_t kSoundState = 1;

// Whether `attacker` stands in front of the target: the direction from a
// point one unit behind it, within 60 degrees of its facing.
bool InFront(AiObject *self, AiObject *attacker)
{
    RwV3d facing;
    self->GetDirection(&facing);
    const RwV3d from = V3Sub(*self->GetPositionPtr(), facing);
    const RwV3d toward = V3Sub(*attacker->GetPositionPtr(), from);
    const float length = V3Length(toward);
    const float cosine = length > 0.0f ? V3Dot(V3Scale(toward, 1.0f / length), facing) : 1.0f;
    return cosine > kFrontCosine;
}

}  // namespace breakable_target

void CSBreakObj10026::ReleaseOf(AiObject *actor)
{
    auto *self = static_cast<CSBreakObj10026 *>(actor);
    actor->Release();
    self->pendingAttacker = nullptr;
    self->attackerToApply = nullptr;
}

void CSBreakObj10026::Update(CSBreakObj10026 *self, float dt)
{
    if (self->removed) {
        // Broken last frame: it stands again at once.
        self->busy = false;
        self->hp = monster::ParamsOf(self).maxHP;
        self->removed = false;
    }
    breakable::RunUpdate(self, dt,
                         {[](AiObject *a, int32_t *next) { Think(static_cast<CSBreakObj10026 *>(a), next); },
                          [](AiObject *a, int32_t *next, float t) { Act(static_cast<CSBreakObj10026 *>(a), next, t); },
                          breakable_target::kLastState, false, false});
}

void CSBreakObj10026::Think(CSBreakObj10026 *self, int32_t *next)
{
    int32_t input = 0;
    const bool read = monster::DrainMessages(self, [&](const MSGData &m) {
        if (m.kind == kMsgHitActor && (m.word[1] & kAtkPlain) != 0) {
            self->pendingAttacker = m.sender;
            const int64_t sum = static_cast<int64_t>(self->pendingDamage) + m.word[2];
            self->pendingDamage = static_cast<int32_t>(sum > INT32_MAX ? INT32_MAX : (sum < 0 ? 0 : sum));
            input = 1;
        } else if (m.kind == kMsgSensing) {
            return breakable::ModelByDistance(self, m.word[0]);
        }
        return true;
    });
    if (read) {
        breakable::Feed(self, next, input);
    }
}

void CSBreakObj10026::Act(CSBreakObj10026 *self, int32_t *next, float dt)
{
    if (self->damageToApply >= 1 && self->attackerToApply != nullptr &&
        breakable_target::InFront(self, self->attackerToApply)) {
        self->SubtractHP(self->damageToApply);
    }
    if (self->hp < 1) {
        breakable::Feed(self, next, breakable_target::kInputBroken);
    }
    if (self->state == breakable_target::kFadeState) {
        self->busy = true;
        self->stateTimer = 0.0f;
        breakable::FadeOnce(self, breakable_target::kMatFade, breakable_target::kFadeAdded);
        breakable::Feed(self, next, 0);
    }
    if (self->state == breakable_target::kWaitState) {
        self->stateTimer += dt;
        if (self->stateTimer >= breakable_target::kWaitSeconds) {
            breakable::Feed(self, next, breakable_target::kInputStandAgain);
        }
    }
    if (self->state == breakable_target::kRestoreState) {
        self->busy = false;
        self->hp = monster::ParamsOf(self).maxHP;
        // The fall's fade holds its faded end; standing up, it shows whole.
        if (CSMatAnimManager *anims = monster::MatAnims()) {
            anims->Stop(self);
        }
        breakable::Feed(self, next, 0);
        if (*next == breakable_target::kStandingState) {
            self->removed = true;  // its next update restores it
        }
    }
    if (self->state == breakable_target::kSoundState) {
        breakable::SoundOnEntry(self, breakable_target::kHitSound);
    }
    self->damageToApply = self->pendingDamage;
    self->attackerToApply = self->pendingAttacker;
    self->pendingDamage = 0;
    self->pendingAttacker = nullptr;
}
