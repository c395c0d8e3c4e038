// Character 112's act step (see npc.h): its appearance (state 1) with a
// glow and a ring of particles started from the first hero's side, the
// ring kept on it (state 2), its fading (state 5) and its end (state 6).
#include "actor/hero.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "monster/kit_life.h"
#include "monster/kit_messages.h"
#include "monster/monster_1004.h"
#include "monster/npc.h"

using namespace monster;

namespace npc_112 {

constexpr int32_t kMatAppear = 34;
constexpr float kAppearSpeed = 1.4f;
constexpr int32_t kMatFade = 35;
constexpr float kFadeSpeed = 0.5f;

// A material animation once per state entry (the death-tint flag, which
// the set-state step clears), with a model.
void LookOnce(AiObject *actor, int32_t index, float speed)
{
    if (actor->model == nullptr || actor->deathTint) {
        return;
    }
    actor->deathTint = true;
    if (CSMatAnimManager *anims = MatAnims()) {
        anims->Start(actor, kMatAnimOwnerActor, index, speed, false);
    }
}

CSGe3405400 *Ring()
{
    CCGEManager *effects = Effects();
    return effects != nullptr ? effects->ring3405400 : nullptr;
}

}  // namespace npc_112

void CSNpc112::Act(CSMonster1004 *self, int32_t *next)
{
    if (self->dying && self->state != 5) {
        FeedInput(self, next, kInputDeath);
    }
    if (self->state == 0 && self->model != nullptr) {
        FeedInput(self, next, kInputChase);
    }
    if (self->state == 1) {
        self->isRender = 1;
        npc_112::LookOnce(self, npc_112::kMatAppear, npc_112::kAppearSpeed);
        if (!self->State1Effect112()) {
            self->State1Effect112() = true;
            CSHero *hero = Hero(0);
            if (CSGe3405400 *ring = npc_112::Ring(); ring != nullptr && hero != nullptr) {
                const RwV3d where = *self->GetPositionPtr();
                ring->Start(where, V3Normalized(V3Sub(where, *hero->GetPositionPtr()), self->at));
            }
        }
    } else {
        self->State1Effect112() = false;
    }
    if (self->state == 2) {
        if (!self->State2Effect112()) {
            self->State2Effect112() = true;
            if (CSGe3405400 *ring = npc_112::Ring()) {
                ring->SetPosition(*self->GetPositionPtr());
            }
        }
    } else {
        self->State2Effect112() = false;
    }
    if (self->state == 5) {
        npc_112::LookOnce(self, npc_112::kMatFade, npc_112::kFadeSpeed);
        if (!self->State5Effect112()) {
            self->State5Effect112() = true;
            if (CSGe3405400 *ring = npc_112::Ring()) {
                ring->StartParticles();
            }
        }
    } else {
        self->State5Effect112() = false;
    }
    if (self->state == 6) {
        RemoveFromPlay(self);
    }
}
