// The monster behaviours frame by frame on the real modules built small:
// the arena's world and stage info (the sample data's stage 2), the real
// message pool and actor pass, the sound-effect manager on a recording
// port (the sound queue, tick by tick), the general effects, particles,
// material animations and drop pool, with the effects' trace lines as the
// effect-start log, the thrown items, and one hero wearing the first
// hero's model, which the tests move and read.
//
// Monsters are placed through the stage's placement loader; a test may
// give a type a state machine of its own (gametest::FsfBuilder).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "actor/hero.h"
#include "actor/item_manager.h"
#include "actor/thrown_items.h"
#include "fx/decals.h"
#include "fx/ge_manager.h"
#include "fx/mat_anim_manager.h"
#include "fx/particle_manager.h"
#include "fx/xdt_effect_pool.h"
#include "stage/sfx_manager.h"
#include "support/game/fsf_builder.h"
#include "support/game/kept_log.h"
#include "support/game/sample_stage.h"
#include "support/game/shown_flags.h"
#include "support/game/trace_reader.h"
#include "app/app_test_support.h"
#include "tests/stage/fake_sound.h"
#include "tests/stage/stage_test_support.h"

namespace monstertest {

inline constexpr float kDt = 1.0f / 60.0f;

// Makes `hero` the first hero of `stage`, wearing the first hero's model
// (its template loaded into `heroTemplate`), at `where`: active, hurtable
// and grabbable, linked into the stage's chain. False when the model
// cannot be had.
bool DressHero(CSStageManager *stage, CSHero *hero, CSModelTemplate *heroTemplate, const RwV3d &where);
// Takes the hero's model and template back and its place on the stage.
void UndressHero(CSStageManager *stage, CSHero *hero, CSModelTemplate *heroTemplate);

// Every free model of a template taken by a stand-in owner, as when as many
// of its kind are out as the stage can show; GiveBack (or the guard's end)
// frees them again.
class AllModelsTaken {
public:
    explicit AllModelsTaken(CSModelTemplate *tpl)
    {
        while (CSModelInstance *instance = tpl->TakeInstance(&owner_)) {
            taken_.push_back(instance);
        }
    }
    ~AllModelsTaken() { GiveBack(); }
    AllModelsTaken(const AllModelsTaken &) = delete;
    AllModelsTaken &operator=(const AllModelsTaken &) = delete;

    void GiveBack()
    {
        for (CSModelInstance *instance : taken_) {
            CSModelTemplate::GiveBack(instance);
        }
        taken_.clear();
    }

private:
    AiObject owner_;
    std::vector<CSModelInstance *> taken_;
};

using gametest::ExpectSameAsKeptLog;

// The most ticks in a row on each of which the state (one entry a tick)
// was another than on the tick before.
int LongestChangingRun(const std::vector<int32_t> &statesByTick);

// A sound queued for playing, and the tick.
struct QueuedSound {
    uint32_t tick;
    int32_t id;
};

// The engine runs on the headless device, so that particles are made and drawn.
class MonsterScenario : public apptest::GameEngineTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A monster of `aiType` placed at `where` facing `facing`, with its
    // model; `eventId` and `isRender` as the placement gives them.
    AiObject *Place(int32_t aiType, const RwV3d &where, const RwV3d &facing = {0.0f, 0.0f, -1.0f},
                    int32_t eventId = 0, int32_t isRender = 1);
    // Gives the type's template the state machine (after Place).
    void UseStateMachine(int32_t aiType, CFSF fsf);
    // One tick: the actor pass (camera above the arena, focus on the hero),
    // then the effects' and thrown items' steps and the sound step (the
    // queue recorded first).
    void Tick(float dt = kDt);
    void Ticks(int count, float dt = kDt);
    // Runs ticks until `done` holds (at most `most`); the ticks run.
    template <typename Done>
    int TicksUntil(Done done, int most)
    {
        for (int i = 0; i < most; ++i) {
            if (done()) {
                return i;
            }
            Tick();
        }
        return done() ? most : -1;
    }
    // A kind-1 hit from the hero (or `sender`) posted now: the monster reads
    // it in the next tick's think step.
    void Hit(AiObject *target, int32_t bits, int32_t value, AiObject *sender = nullptr);
    // A kind-0 control message posted now.
    void Control(AiObject *target, int32_t code, int32_t value);
    // Every message queued for the hero since the last call, in order of
    // delivery; the hero's queue is emptied.
    std::vector<MSGData> HeroMessages();
    // The sounds queued so far (and from tick `from` on).
    std::vector<int32_t> SoundsFrom(uint32_t from) const;
    bool SoundQueued(int32_t id, uint32_t from = 0) const;
    // The effects' trace lines so far ("fx start pool ...", "fx reward ...").
    std::vector<gametest::TraceRecord> EffectLines();
    int32_t EffectStarts(const std::string &pool);

    // Puts the monster in `state` as its set-state step would (another
    // actor: its motion played from its first frame, the state entered).
    void Enter(AiObject *monster, int32_t state);
    // Puts the hero at `where` facing `facing`.
    void PutHero(const RwV3d &where, const RwV3d &facing = {0.0f, 0.0f, 1.0f});
    // The second player's hero (AI id -2) at `where` facing `facing`,
    // wearing the first hero's model too: active, hurtable and grabbable,
    // the stage's second hero. Its messages are read and let go each tick.
    // False when no model is left for it.
    bool BringSecondHero(const RwV3d &where, const RwV3d &facing = {0.0f, 0.0f, 1.0f});
    // How long (s) the monster stands in its guard state `guard` entered
    // again after a guard it left a second into it another way than by the
    // guard's own end.
    float GuardAfterOneLeftEarly(AiObject *monster, int32_t guard);
    // The systems of the particle template `name` that are out: `count` of
    // them, each emitting (or, with `emitting` false, done emitting), drawn
    // with the display words `word0` and `word1`, placed within `within` of
    // `at` and going back to its pool once dead.
    void ExpectSparksOut(const char *name, size_t count, uint8_t word0, uint8_t word1, const RwV3d &at,
                         float within, bool emitting = true);
    // The material animation running on `actor`: `index` at `speed`,
    // looped or once.
    void ExpectLook(const AiObject *actor, int32_t index, float speed, bool looped);
    // With the monster 200 units from the hero (the near band: it acts on
    // one frame in nine), a hit read on a frame without an act step is kept
    // (less the monster's Defense) and costs its HP at the next act.
    void ExpectHitsKeptOnThinnedFrames(AiObject *monster, int32_t defense);
    // The fight so far as a player would follow it, one line each: every
    // delivered message, blow, effect start and queued sound with its tick,
    // each actor's and hero's line whenever its state or life changed and
    // every `every` ticks besides (where it stands), with its pose's
    // checksum then (how it stands). The trace starts again
    // empty.
    std::vector<std::string> TakeFightLog(uint32_t every);
    // The fight so far (sampled every 8 ticks) against the kept log
    // tests/`name`.txt of the source tree (see ExpectSameAsKeptLog).
    void ExpectFightAsKept(const std::string &name);

    // With `logFlags` set, each tick traces a "flags" line for every
    // actor but the heroes whenever what it shows of itself changed: its
    // flags (their letters: TraceFlags), its target, last attacker and drawn state
    // random, its status, resistances, grab word, appearing and the
    // material animation it shows; and one whenever the count of particle
    // systems out changed. The fight logs then hold them too.
    bool logFlags = false;
    // Traces the flags lines of the actors whose flags changed.
    void TraceFlags();

    gametest::SampleStage sample;
    CSStageManager &stage = sample.stage;
    CSHero hero;
    CSHero secondHero;
    CSModelTemplate heroTemplate;
    soundtest::FakeSound fakeSound;
    std::unique_ptr<CSSFXManager> sfx;
    CSMatAnimManager matAnims;
    CSParticleManager particles;
    CSClumpAnimManager effectAnims;
    CCGEManager effects;
    CSXdtEffectPool drops;
    CSDecalManager decals;
    CSThrownItemManager thrownItems;
    CSItemManager items;
    uint32_t tick = 0;
    std::vector<QueuedSound> sounds;
    std::vector<MSGData> heroInbox;
    std::vector<gametest::TraceRecord> fxLines;
    std::string tracePath;
    gametest::ShownLines<int32_t> lastFlags;  // by AI id: the last flags line traced
    int32_t systemsOut = -1;                   // particle systems out at the last flags lines
    RwV3d camera = {0.0f, 150.0f, -150.0f};
};

}  // namespace monstertest
