// What the fight logs keep of each actor's looks besides its state, life
// and place: the flags a player meets in play (whether a blow hurts it,
// whether it can be locked on, its guard, grab, fall and hold, its dizzy
// stars, burning and poison, its death tint and status particles, a hit's
// freeze, its health bar), the material animation it shows, and how many
// particle systems are out on the stage. Each becomes a "look" line of the
// run's trace on the tick it changes, so that the kept logs show when each
// one comes and goes.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "actor/ai_object.h"
#include "actor/hero.h"
#include "app/trace.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_manager.h"
#include "stage/stage_manager.h"

namespace bosstest {

class FightLooks {
public:
    // A look line for each actor and hero of `stage` whose looks changed
    // since the last call, and one for the particle systems out when
    // their count did.
    void Note(const CSStageManager &stage, const CSMatAnimManager &anims, const CSParticleManager &particles)
    {
        for (const AiObject *actor = stage.actorHead; actor != nullptr; actor = actor->next) {
            NoteActor(actor, anims);
        }
        for (int i = 0; i < stage.heroCount && i < kMaxHeroes; ++i) {
            if (stage.heroes[i] != nullptr) {
                NoteActor(stage.heroes[i], anims);
            }
        }
        const int32_t out = particles.SystemsOut();
        if (out != systemsOut_) {
            systemsOut_ = out;
            game::TraceLine("look").Word("particles").Int(out);
        }
    }

private:
    void NoteActor(const AiObject *actor, const CSMatAnimManager &anims)
    {
        const std::pair<bool, char> flags[] = {
            {actor->hurtable, 'H'},     {actor->targetable, 'T'},   {actor->guarding, 'G'},
            {actor->grabbed, 'g'},      {actor->grabbable, 'a'},    {actor->down, 'D'},
            {actor->busy, 'B'},         {actor->dying, 'd'},        {actor->dizzyEffect, 'Z'},
            {actor->heldByHero, 'h'},   {actor->holdState, 'O'},    {actor->eventHeld, 'E'},
            {actor->deathTint, 'X'},    {actor->statusParticles, 'S'}, {actor->hitStopTimer > 0.0f, 'F'},
            {actor->healthBar, 'L'},    {actor->animHold, 'N'},     {actor->grabLock, 'K'},
        };
        std::string flagsOn;
        for (const auto &[on, letter] : flags) {
            flagsOn += on ? letter : '-';
        }
        const MatAnimInstance *anim = anims.Find(actor);
        const int32_t animIndex = anim != nullptr && anim->def != nullptr ? anim->def->index : -1;
        const std::string look = flagsOn + " " + std::to_string(actor->activeStatus) + " " + std::to_string(animIndex);
        std::string &last = looks_[actor];
        if (look != last) {
            last = look;
            game::TraceLine("look").Int(actor->aiId).Word(flagsOn.c_str()).Int(actor->activeStatus).Int(animIndex);
        }
    }

    std::map<const AiObject *, std::string> looks_;
    int32_t systemsOut_ = -1;
};

}  // namespace bosstest
