// Entering a state and its sounds (see kit_state.h).
#include "monster/kit_state.h"

#include "actor/fsf.h"
#include "actor/hero.h"
#include "app/game_rand.h"
#include "app/game_system.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_template.h"

namespace monster {

uint32_t StateRandomSeed() { return g_pGameSystem != nullptr ? g_pGameSystem->LastTickMs() : 0u; }

void StartStateMotion(AiObject *actor, CFSF *fsf, int32_t state)
{
    CSClumpAnimManager *animations = AnimationsOf(actor);
    RpClump *clump = actor->Clump();
    if (clump != nullptr && animations != nullptr) {
        animations->ChangeMotion(clump, state, fsf != nullptr ? fsf->GetTransitionBlend() : 0.0f);
    }
    const MotionRange *range = actor->modelTemplate != nullptr ? actor->modelTemplate->GetMotionRange(state) : nullptr;
    actor->animClock = range != nullptr ? static_cast<float>(range->startFrame) * kSecondsPerAnimFrame : 0.0f;
    actor->animEnded = false;
}

bool EnterState(AiObject *actor, CFSF *fsf, int32_t state, int32_t lastState, bool drawsStateRandom)
{
    if (state < 0 || state > lastState) {
        return false;
    }
    if (!actor->eventModel) {
        StartStateMotion(actor, fsf, state);
    }
    actor->state = state;
    actor->speed = fsf != nullptr ? fsf->GetSpeed(state) : 0.0f;
    actor->stateEntered = true;
    actor->deathTint = false;
    actor->downHitDone = false;
    if (drawsStateRandom) {
        game::Srand(StateRandomSeed());
        actor->stateRandom = game::Rand() % 100;
    }
    for (int32_t i = 0; i < HeroCount(); ++i) {
        if (CSHero *hero = Hero(i)) {
            actor->SetLinkValue(hero->aiType, 0);
        }
    }
    return true;
}

void PlayEntrySounds(AiObject *actor, std::span<const StateSound> table)
{
    if (!actor->stateEntered) {
        return;
    }
    actor->stateEntered = false;
    for (const StateSound &row : table) {
        if (row.state != actor->state) {
            continue;
        }
        for (int32_t id : {row.first, row.second}) {
            if (id != 0) {
                PlaySound(id);
            }
        }
    }
}

void StepStateLoopSound(AiObject *actor, int32_t state, int32_t soundId)
{
    if (state >= 0 && actor->state == state) {
        if (!actor->dizzySound) {
            actor->dizzySound = true;
            PlaySound(soundId);
        }
    } else if (actor->dizzySound) {
        actor->dizzySound = false;
        StopSound(soundId);
    }
}

}  // namespace monster
