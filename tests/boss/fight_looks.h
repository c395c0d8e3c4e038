// What the fight logs keep of each actor's looks besides its state, life
// and place: the flags a player meets in play (whether a blow hurts it,
// whether it can be locked on, its guard, grab, fall and hold, its dizzy
// stars, burning and poison, its death tint and status particles, a hit's
// freeze, its health bar) and the material animation it shows; and the
// particle systems out, kind by kind (whether each emits, how it is drawn
// and, at the sampled ticks, where it stands). Each becomes a "look" line
// of the run's trace on the tick it changes, so that the kept logs show
// when each one comes and goes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "actor/ai_object.h"
#include "actor/hero.h"
#include "app/trace.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_manager.h"
#include "fx/particle_set_file.h"
#include "fx/particle_system.h"
#include "stage/stage_manager.h"
#include "support/game/shown_flags.h"

namespace bosstest {

class FightLooks {
public:
    // A look line for each actor and hero of `stage` whose looks changed
    // since the last call, and for each particle kind whose systems did.
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
        if (kinds_.empty()) {
            LoadKinds();
        }
        const bool sampled = game::TraceTick() % 8 == 0;
        for (auto &[name, seen] : kinds_) {
            NoteParticles(name, particles.SystemsOutOf(name.c_str()), sampled, &seen);
        }
    }

private:
    struct Seen {
        std::string how;
        std::vector<RwV3d> where;
    };

    // The particle kinds of the sets the scenarios load (the game's, the
    // arena's and the trap stage's; a set not to be had is left out).
    void LoadKinds()
    {
        for (const char *path : {"\\RESOURCE\\PARTICLE\\EFFECT.PSS", "\\RESOURCE\\PARTICLE\\2020000.PSS",
                                 "\\RESOURCE\\PARTICLE\\2180000.PSS"}) {
            ParticleSet set;
            if (LoadParticleSetFile(path, &set)) {
                for (const ParticleKind &kind : set.kinds) {
                    kinds_.emplace(kind.name, Seen{});
                }
            }
        }
    }

    void NoteActor(const AiObject *actor, const CSMatAnimManager &anims)
    {
        const gametest::ShownFlag flags[] = {
            {actor->hurtable, 'H'},     {actor->targetable, 'T'},   {actor->guarding, 'G'},
            {actor->grabbed, 'g'},      {actor->grabbable, 'a'},    {actor->down, 'D'},
            {actor->busy, 'B'},         {actor->dying, 'd'},        {actor->dizzyEffect, 'Z'},
            {actor->heldByHero, 'h'},   {actor->holdState, 'O'},    {actor->eventHeld, 'E'},
            {actor->deathTint, 'X'},    {actor->statusParticles, 'S'}, {actor->hitStopTimer > 0.0f, 'F'},
            {actor->healthBar, 'L'},    {actor->animHold, 'N'},     {actor->grabLock, 'K'},
        };
        const MatAnimInstance *anim = anims.Find(actor);
        const int32_t words[] = {actor->activeStatus, anim != nullptr && anim->def != nullptr ? anim->def->index : -1};
        looks_.Note("look", actor, actor->aiId, flags, words);
    }

    // The kind's systems out: "e" or "-" for each one's emission and its
    // two display words, when they change; where each stands, at the
    // sampled ticks when it moved.
    static void NoteParticles(const std::string &name, const std::vector<const CSParticleSystem *> &out,
                              bool sampled, Seen *seen)
    {
        std::string how;
        for (const CSParticleSystem *system : out) {
            how += (system->IsEmitting() ? "e" : "-") + std::to_string(system->displayMode[0]) +
                   std::to_string(system->displayMode[1]) + ".";
        }
        if (how != seen->how) {
            seen->how = how;
            game::TraceLine("look").Word(name.c_str()).Int(static_cast<int64_t>(out.size())).Word(how.empty() ? "none" : how.c_str());
        }
        if (!sampled) {
            return;
        }
        std::vector<RwV3d> where;
        for (const CSParticleSystem *system : out) {
            where.push_back(system->WorldMatrix().pos);
        }
        const auto same = [](const std::vector<RwV3d> &a, const std::vector<RwV3d> &b) {
            if (a.size() != b.size()) {
                return false;
            }
            for (size_t i = 0; i < a.size(); ++i) {
                if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].z != b[i].z) {
                    return false;
                }
            }
            return true;
        };
        if (!where.empty() && !same(where, seen->where)) {
            game::TraceLine line("look");
            line.Word(name.c_str()).Word("at");
            for (const RwV3d &at : where) {
                line.Real(at.x).Real(at.y).Real(at.z);
            }
        }
        seen->where = std::move(where);
    }

    std::map<std::string, Seen> kinds_;
    gametest::ShownLines<const AiObject *> looks_;
};

}  // namespace bosstest
