// Monster 1006 frame by frame on the arena: the appear tint when its event
// shows it, the drop its gone state rolls (or the event's drop instead),
// its body streams and their restart, the recovery roll that never idles,
// and hits on thinned frames.
#include <gtest/gtest.h>

#include "fx/mat_anim_table.h"
#include "monster/monster_1006.h"
#include "monster_scenario.h"
#include "tools/mkdata/item_data.h"

namespace monster_1006_test {

namespace {

using gametest::FsfBuilder;
using monstertest::MonsterScenario;

constexpr int32_t kType = 1006;
constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};

class Monster1006 : public MonsterScenario {
protected:
    // The monster with a small state machine: idle 0 and walk 1, hurt 4,
    // the dying 22 into the gone 24, the recovery 6, the hold 31.
    CSMonster1006 *Monster(const RwV3d &at = kHome, int32_t eventId = 0, int32_t isRender = 1)
    {
        AiObject *placed = Place(kType, at, {0.0f, 0.0f, -1.0f}, eventId, isRender);
        FsfBuilder b;
        b.State(0).To(1, 1, 1).To(100, 4, 1).To(120, 22, 1).To(121, 22, 1).To(0, 0);
        b.State(1).Speed(25.0f).To(0, 0, 1).To(100, 4, 1).To(120, 22, 1).To(1, 1);
        b.State(3).To(0, 0);
        b.State(4).To(100, 4, 1).To(120, 22, 1).To(0, 0);
        b.State(6).To(3, 3).To(19, 19).To(0, 0);
        b.State(19).To(0, 0);
        b.State(22).Hurt(0).To(0, 24);
        b.State(24).Hurt(0);
        b.State(31).Hurt(0).To(0, 31);
        UseStateMachine(kType, b.Build());
        return static_cast<CSMonster1006 *>(placed);
    }

    // Shown by its event (with a model, held, the model the event's, the
    // appear tint on), or none of these.
    void ExpectShown(const CSMonster1006 *m, bool shown)
    {
        EXPECT_EQ(m->model != nullptr, shown);
        EXPECT_EQ(m->eventHeld, shown);
        EXPECT_EQ(m->eventModel, shown);
        EXPECT_EQ(m->appearTint, shown);
    }

    int32_t MatAnimOf(const AiObject *actor) const
    {
        const MatAnimInstance *running = matAnims.Find(actor);
        return running != nullptr && running->def != nullptr ? running->def->index : -1;
    }

    int32_t Drops(const std::string &id)
    {
        int32_t count = 0;
        for (const gametest::TraceRecord &r : EffectLines()) {
            count += r.fields.size() > 1 && r.fields[0] == "drop" && r.fields[1] == id;
        }
        return count;
    }
    // How the drop of `id` lying out was made: 0 named by the event, 1
    // rolled from the drop map; -1 when none lies out.
    int32_t DropMode(int32_t id)
    {
        for (int32_t i = 0; i < drops.EntryCount(); ++i) {
            const XdtEffectEntry *entry = drops.Entry(i);
            if (entry->state != kXdtFree && entry->id == id) {
                return entry->mode;
            }
        }
        return -1;
    }
};

// An event's monster without a model takes one when its event shows it
// (code 8192 with its group), and fades in with the appear tint; the tint
// stops when the model goes.
TEST_F(Monster1006, ItsEventShowsItWithTheAppearTint)
{
    CSMonster1006 *m = Monster(kHome, 5, 0);
    PutHero({0.0f, 0.0f, -15.0f});
    ASSERT_EQ(m->model, nullptr);
    Control(m, kCtlShowHold, 6);  // not its group: held, not shown
    Ticks(2);
    EXPECT_TRUE(m->eventHeld);
    EXPECT_EQ(m->model, nullptr);
    EXPECT_FALSE(m->appearTint);
    Control(m, kCtlShowHold, 5);
    Ticks(2);
    ASSERT_NE(m->model, nullptr);
    EXPECT_TRUE(m->active);
    EXPECT_TRUE(m->eventModel);
    EXPECT_TRUE(m->appearTint);
    ExpectLook(m, 39, 0.0f, true);  // untimed, looped
    EXPECT_EQ(m->state, 31);  // held in its hold state
    // Let go, out of view (and without the event's model) it gives the model
    // and its tint back.
    Control(m, kCtlRelease, 0);
    Ticks(2);
    EXPECT_FALSE(m->eventModel);
    m->SetPosition({230.0f, 0.0f, 60.0f});
    Ticks(2);
    EXPECT_EQ(m->model, nullptr);
    EXPECT_FALSE(m->appearTint);
    Ticks(1);
    EXPECT_EQ(matAnims.Find(m), nullptr);
}

// In view by its placement's IsRender, a model taken by the sensing also
// brings the appear tint, once.
TEST_F(Monster1006, AModelTakenInViewFadesIn)
{
    CSMonster1006 *m = Monster();
    PutHero({0.0f, 0.0f, -15.0f});
    m->SetPosition({230.0f, 0.0f, 60.0f});
    Ticks(2);
    ASSERT_EQ(m->model, nullptr);
    m->SetPosition(kHome);
    Ticks(3);
    ASSERT_NE(m->model, nullptr);
    EXPECT_TRUE(m->appearTint);
    EXPECT_EQ(MatAnimOf(m), 39);
    // Once: a model taken again while its mark is still up (the model was
    // taken from it by other code than the view) shows no second tint.
    m->SetModelInstance(nullptr);
    ASSERT_TRUE(m->appearTint);
    Ticks(3);
    ASSERT_NE(m->model, nullptr);
    EXPECT_EQ(matAnims.Find(m), nullptr);
}

// Its gone state rolls its drop map when the event named no drop; the
// event's drop takes the roll's place. Each drop lies out marked as rolled
// or named.
TEST_F(Monster1006, TheGoneStateRollsItsDropMapUnlessTheEventNamedADrop)
{
    for (bool overridden : {false, true}) {
        SCOPED_TRACE(overridden);
        CSMonster1006 *m = Monster({overridden ? 30.0f : -30.0f, 0.0f, 60.0f});
        m->itemType = mkdata::kSampleSureDropMap;  // always the first potion
        PutHero({0.0f, 0.0f, -15.0f});
        if (overridden) {
            Control(m, kCtlDropOverride, 5300010);
        }
        const int32_t potions = Drops("5300000");
        const int32_t named = Drops("5300010");
        m->hp = 5;
        Hit(m, kAtkPlain, 100);
        ASSERT_GE(TicksUntil([&] { return m->removed; }, 300), 0);
        EXPECT_EQ(m->state, 24);
        EXPECT_EQ(Drops("5300000") - potions, overridden ? 0 : 1);
        EXPECT_EQ(Drops("5300010") - named, overridden ? 1 : 0);
        EXPECT_EQ(DropMode(overridden ? 5300010 : 5300000), overridden ? 0 : 1);
        EXPECT_EQ(m->streamA, nullptr);
        EXPECT_EQ(m->streamB, nullptr);
    }
}

// On a stage without its item tables it goes as ever, with no drop.
TEST_F(Monster1006, WithoutTheStagesItemTablesItGoesWithNoDrop)
{
    CSMonster1006 *m = Monster();
    m->itemType = mkdata::kSampleSureDropMap;
    PutHero({0.0f, 0.0f, -15.0f});
    stage.itemManager = nullptr;
    const int32_t potions = Drops("5300000");
    m->hp = 5;
    Hit(m, kAtkPlain, 100);
    ASSERT_GE(TicksUntil([&] { return m->removed; }, 300), 0);
    EXPECT_EQ(m->state, 24);
    EXPECT_EQ(Drops("5300000") - potions, 0);
    EXPECT_EQ(drops.EntriesInUse(), 0);
}

// Its body streams start with its model, and event code restarts them;
// what it lets go of goes back to the pool.
TEST_F(Monster1006, ItsBodyStreamsStartWithItsModelAndRestart)
{
    CSMonster1006 *m = Monster();
    PutHero({0.0f, 0.0f, -15.0f});
    const int32_t before = particles.SystemsOut();
    Ticks(2);
    ASSERT_NE(m->streamA, nullptr);
    ASSERT_NE(m->streamB, nullptr);
    EXPECT_TRUE(m->streamAStarted);
    EXPECT_EQ(particles.SystemsOut(), before + 2);
    CSParticleSystem *a = m->streamA;
    CSParticleSystem *b = m->streamB;
    m->ReleaseTypeEffects();
    EXPECT_NE(m->streamA, a);
    EXPECT_NE(m->streamB, b);
    EXPECT_NE(m->streamA, nullptr);
    Ticks(120);  // the old ones fade out and go back
    EXPECT_EQ(particles.SystemsOut(), before + 2);
}

// State 6 never idles: a roll up to 60 steps back (3), above it a
// counter (19) against a target; without one an input no transition
// names, so that the default transition (to 0 here) is taken.
TEST_F(Monster1006, TheRecoveryRollStepsBackOrCounters)
{
    CSMonster1006 *m = Monster();
    for (bool withTarget : {true, false}) {
        SCOPED_TRACE(withTarget);
        PutHero(withTarget ? RwV3d{0.0f, 0.0f, 30.0f} : RwV3d{0.0f, 0.0f, -120.0f});
        Ticks(3);
        ASSERT_EQ(m->target != nullptr, withTarget);
        for (int round = 0; round < 6; ++round) {
            Enter(m, 6);
            ASSERT_GE(TicksUntil([&] { return m->state != 6; }, 120), 0);
            if (withTarget) {
                EXPECT_TRUE(m->state == 3 || m->state == 19) << m->state;
            } else {
                EXPECT_TRUE(m->state == 3 || m->state == 0) << m->state;
            }
        }
    }
}

// Far from the hero it acts on one frame in nine; a hit that arrives on a
// frame without an act step costs its HP at the next act.
TEST_F(Monster1006, HitsOnThinnedFramesAreNotLost)
{
    ExpectHitsKeptOnThinnedFrames(Monster({0.0f, 0.0f, 140.0f}), 2);
}

// With every model of its kind out, neither its event's show nor the view
// gives it one: it stays as it was, not held, not tinted and not coming
// on; the next show, once a model is free, brings it out.
TEST_F(Monster1006, WithEveryModelOutItWaitsForOne)
{
    CSMonster1006 *m = Monster(kHome, 5, 0);
    PutHero({0.0f, 0.0f, -15.0f});
    monstertest::AllModelsTaken taken(m->modelTemplate);
    Control(m, kCtlShowHold, 5);
    Ticks(2);
    ExpectShown(m, false);
    EXPECT_EQ(m->state, 0);
    // In view it would take one by itself, and with the hero near come on
    // (input 1): without a model it waits.
    m->isRender = 1;
    PutHero({0.0f, 0.0f, 45.0f});
    Ticks(3);
    EXPECT_EQ(m->model, nullptr);
    EXPECT_FALSE(m->appearTint);
    EXPECT_EQ(matAnims.Find(m), nullptr);
    EXPECT_EQ(m->state, 0);
    taken.GiveBack();
    m->isRender = 0;
    Control(m, kCtlShowHold, 5);
    Ticks(2);
    ExpectShown(m, true);
}

}  // namespace

}  // namespace monster_1006_test
