// Types 10028 and 10029, the barrel bombs (see breakable_objects.h): a hit
// lights the fuse (input 100, state 1), which sparks and flashes; from 5 s
// on the fuse feeds input 120 every act until the bomb explodes (state 2:
// the barrel explosion of the general effects, which hurts what stands
// near); it drops what it holds and goes (state 3). A bomb, once it holds
// a model, keeps it.
#include "actor/fsf.h"
#include "boss/breakable_objects.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_manager.h"
#include "fx/particle_system.h"
#include "monster/kit_combat.h"
#include "monster/kit_common.h"
#include "monster/kit_life.h"
#include "monster/kit_messages.h"

namespace breakable_bomb {

constexpr int32_t kLastState = 3;
constexpr int32_t kInputLit = 100;
constexpr int32_t kFuseState = 1;
constexpr int32_t kExplodingState = 2;
constexpr int32_t kGoneState = 3;
constexpr float kFuseSeconds = 5.0f;
constexpr const char *kFuseSparks = "BOMSPARK.ZUS";
constexpr int32_t kFuseNode = 100090;
constexpr int32_t kMatFlashing = 30;
constexpr int32_t kMatFade = 4;
constexpr float kFadeAdded = 0.25f;
constexpr int32_t kExplosionSound = 6500320;

// The fuse's sparks go out and back to their pool once dead.
void PutOutSparks(CSBreakObj10028 *self)
{
    if (self->spark != nullptr) {
        self->spark->StopEmit();
        CSParticleManager::GiveBackWhenDead(self->spark);
        self->spark = nullptr;
    }
}

}  // namespace breakable_bomb

void CSBreakObj10028::ReleaseOf(AiObject *actor)
{
    auto *self = static_cast<CSBreakObj10028 *>(actor);
    // The stage goes, and the frame the sparks follow with it.
    if (self->spark != nullptr) {
        self->spark->Release();
        self->spark = nullptr;
    }
    actor->Release();
}

void CSBreakObj10028::Update(CSBreakObj10028 *self, float dt)
{
    // It acts whenever it is active, thinned frames or not.
    breakable::RunUpdate(self, dt,
                         {[](AiObject *a, int32_t *next) { Think(static_cast<CSBreakObj10028 *>(a), next); },
                          [](AiObject *a, int32_t *next, float t) { Act(static_cast<CSBreakObj10028 *>(a), next, t); },
                          breakable_bomb::kLastState, true, false});
}

void CSBreakObj10028::Think(CSBreakObj10028 *self, int32_t *next)
{
    int32_t input = 0;
    const bool read = monster::DrainMessages(self, [&](const MSGData &m) {
        if (m.kind == kMsgControl && (m.word[1] & kCtlDropOverride) != 0) {
            self->dropOverrideId = m.word[2];
            self->dropOverride = true;
        } else if (m.kind == kMsgHitActor && (m.word[1] & (kAtkPlain | kAtkHeavy)) != 0) {
            input = breakable_bomb::kInputLit;
        } else if (m.kind == kMsgSensing && (m.word[0] & kSenseInView) != 0 && self->model == nullptr) {
            return breakable::TakeModel(self);
        }
        return true;
    });
    if (read) {
        breakable::Feed(self, next, input);
    }
}

void CSBreakObj10028::Act(CSBreakObj10028 *self, int32_t *next, float dt)
{
    if (self->state == breakable_bomb::kFuseState) {
        self->fuseTimer += dt;
        if (self->fuseTimer >= breakable_bomb::kFuseSeconds) {
            breakable::Feed(self, next, monster::kInputDeath);
        }
        if (!self->sparkStarted) {
            self->sparkStarted = true;
            self->spark = self->SpawnParticleAtFrame(breakable_bomb::kFuseSparks, breakable_bomb::kFuseNode,
                                                     monster::kFrameByUserId, monster::kLeftWherePut, 1.0f,
                                                     monster::kAlongFrame, kPrtDrawAfterWorld, kPrtFollowEmitter);
        }
        if (!self->flashStarted && self->model != nullptr && monster::MatAnims() != nullptr) {
            self->flashStarted = true;
            monster::MatAnims()->Start(self, kMatAnimOwnerActor, breakable_bomb::kMatFlashing, 0.0f, true);
        }
    } else {
        self->sparkStarted = false;
    }
    if (self->state == breakable_bomb::kExplodingState) {
        self->busy = true;
        breakable::SoundOnEntry(self, breakable_bomb::kExplosionSound);
        if (self->model != nullptr && !self->explosionStarted) {
            self->explosionStarted = true;
            if (CSMatAnimManager *anims = monster::MatAnims()) {
                anims->Stop(self);
            }
            breakable::FadeOnce(self, breakable_bomb::kMatFade, breakable_bomb::kFadeAdded);
            CCGEManager *effects = monster::Effects();
            if (effects != nullptr && effects->barrelBomb != nullptr) {
                effects->barrelBomb->Start(RwFrameGetLTM(RpClumpGetFrame(self->Clump())));
            }
        }
        breakable_bomb::PutOutSparks(self);
    }
    if (self->state == breakable_bomb::kGoneState) {
        breakable::Drop(self);
        breakable_bomb::PutOutSparks(self);
        monster::RemoveFromPlay(self);
    }
}
