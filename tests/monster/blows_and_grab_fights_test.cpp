// What a player sees of a monster's blow and of a grab fight, frame by
// frame on the arena: each fresh blow shows exactly once (an unguarded hero
// bleeds once with one spark, a guard facing the blade throws the two guard
// sparks and no blood, a guard struck from behind bleeds once), and a grab
// monster held by the hero in either of its held states 25 and 26 takes
// the hero's blows while held and is freed by the hero's let-go; the grab
// tint of every type's held states, and the reward of a held monster paid
// to its first attacker.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "monster/kit_common.h"
#include "monster_scenario.h"

namespace blows_and_grab_fights_test {

namespace {

using gametest::FsfBuilder;
using monstertest::MonsterScenario;

constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};

class Blows : public MonsterScenario {
protected:
    // Monster 1005 swinging two blades in state 10 (AttackValue 12) at a
    // hero 9 units ahead facing `heroFacing`.
    AiObject *Swinger(const RwV3d &heroFacing)
    {
        AiObject *m = Place(1005, kHome, kSouth);
        FsfBuilder b;
        b.State(0);
        b.State(10).Attack(12, 1).Weapon(100130).Weapon(100140);
        UseStateMachine(1005, b.Build());
        PutHero({0.0f, 0.0f, kHome.z - 9.0f}, heroFacing);
        return m;
    }
    // One swing: the particle systems and blood decals that the tick of the
    // blow brought.
    struct Marks {
        int32_t sparks = -1;
        int32_t blood = -1;
    };
    Marks Swing(AiObject *m)
    {
        Enter(m, 10);
        HeroMessages();
        Marks marks;
        for (int i = 0; i < 60 && heroInbox.empty(); ++i) {
            const int32_t systems = particles.SystemsOut();
            const int32_t decalsBefore = decals.DecalsInUse();
            Tick();
            if (!heroInbox.empty()) {
                marks.sparks = particles.SystemsOut() - systems;
                marks.blood = decals.DecalsInUse() - decalsBefore;
            }
        }
        EXPECT_EQ(HeroMessages().size(), 1u);
        return marks;
    }
};

TEST_F(Blows, AnUnguardedHeroBleedsOnceWithOneSpark)
{
    AiObject *m = Swinger({0.0f, 0.0f, 1.0f});
    hero.guarding = false;
    const Marks marks = Swing(m);
    EXPECT_EQ(marks.blood, 1);
    EXPECT_EQ(marks.sparks, 1);
}

// Face to face, or side-on to the blade (the facings at right angles), a
// guard throws the two guard sparks.
TEST_F(Blows, AGuardFacingTheBladeThrowsTwoGuardSparksAndNoBlood)
{
    for (const RwV3d &heroFacing : {RwV3d{0.0f, 0.0f, 1.0f}, RwV3d{1.0f, 0.0f, 0.0f}}) {
        SCOPED_TRACE(heroFacing.x);
        AiObject *m = Swinger(heroFacing);
        hero.guarding = true;
        const Marks marks = Swing(m);
        EXPECT_EQ(marks.blood, 0);
        EXPECT_EQ(marks.sparks, 2);
        m->removed = true;
    }
}

TEST_F(Blows, AGuardStruckFromBehindBleedsOnceWithOneSpark)
{
    AiObject *m = Swinger({0.0f, 0.0f, -1.0f});
    hero.guarding = true;
    const Marks marks = Swing(m);
    EXPECT_EQ(marks.blood, 1);
    EXPECT_EQ(marks.sparks, 1);
}

// On a stage without its decals a blow still lands with its spark, and
// leaves no blood.
TEST_F(Blows, WithoutTheStagesDecalsABlowStillLandsWithItsSpark)
{
    AiObject *m = Swinger({0.0f, 0.0f, 1.0f});
    hero.guarding = false;
    stage.decalManager = nullptr;
    const Marks marks = Swing(m);
    EXPECT_EQ(marks.blood, 0);
    EXPECT_EQ(marks.sparks, 1);
}

// With every system of the blood spark out already (a crowded fight), a
// blow still lands and bleeds, without its spark.
TEST_F(Blows, WithEveryBloodSparkOutABlowStillLandsAndBleeds)
{
    AiObject *m = Swinger({0.0f, 0.0f, 1.0f});
    hero.guarding = false;
    std::vector<CSParticleSystem *> out;
    while (CSParticleSystem *system = particles.CreateSystem("3400400.zus")) {
        out.push_back(system);
    }
    ASSERT_FALSE(out.empty());
    const Marks marks = Swing(m);
    EXPECT_EQ(marks.blood, 1);
    EXPECT_EQ(marks.sparks, 0);
}

// The grab monsters and the fighter character 10 are held by the hero in
// states 25 and 26: there a blow while held (4096) feeds 104 and costs its
// value less Defense, and the hero's let-go (2048) feeds 105 and frees it.
// Outside them neither counts. Here 104 leads from either held state to the
// other, 105 back to 0.
class GrabFights : public MonsterScenario {
protected:
    AiObject *Held(int32_t type)
    {
        AiObject *m = Place(type, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(104, 6, 1);
        b.State(6);
        b.State(25).To(104, 26, 1).To(105, 0, 1);
        b.State(26).To(104, 25, 1).To(105, 0, 1);
        UseStateMachine(type, b.Build());
        PutHero({0.0f, 0.0f, kHome.z - 10.0f}, {0.0f, 0.0f, 1.0f});
        return m;
    }
    void CheckHeldState(AiObject *m, int32_t state)
    {
        SCOPED_TRACE("held in " + std::to_string(state));
        const int32_t defense = monster::ParamsOf(m).defense;
        Enter(m, state);
        m->grabbed = true;
        const int32_t hp = m->hp;
        Hit(m, kAtkHeldDamage, defense + 30);
        Ticks(3);
        EXPECT_EQ(m->hp, hp - 30);
        EXPECT_EQ(m->state, state == 25 ? 26 : 25);  // 104 was fed
        EXPECT_TRUE(m->grabbed);
        Hit(m, kAtkGrabEnd, 0);
        Ticks(2);
        EXPECT_EQ(m->state, 0);  // 105 was fed
        EXPECT_FALSE(m->grabbed);
    }
    void CheckNotHeld(AiObject *m)
    {
        Enter(m, 0);
        m->grabbed = true;
        const int32_t hp = m->hp;
        Hit(m, kAtkHeldDamage, monster::ParamsOf(m).defense + 30);
        Hit(m, kAtkGrabEnd, 0);
        Ticks(3);
        EXPECT_EQ(m->hp, hp);
        EXPECT_EQ(m->state, 0);
        EXPECT_TRUE(m->grabbed);
    }
};

TEST_F(GrabFights, EachGrabMonsterAndTheFighterIsHeldInStates25And26)
{
    for (int32_t type : {1004, 1003, 1002, 10}) {
        SCOPED_TRACE(type);
        AiObject *m = Held(type);
        CheckHeldState(m, 25);
        CheckHeldState(m, 26);
        CheckNotHeld(m);
        m->removed = true;
        m->active = false;
    }
}

// A blow while held (4096) shows the grab tint (material animation 1 at
// speed 0.08, looped) only in the type's held state: 20 for 1000 and 1006,
// 21 for 1005 and 1007, 26 for 1021, 25 and 26 for the grab monsters and
// the fighter character 10, and only with damage to apply (a single point
// is enough): held without a blow, or under one its Defense takes whole, it
// shows none. The states here take no HP, so the hit flash does not take
// its place.
TEST_F(GrabFights, TheGrabTintShowsOnlyInTheHeldStates)
{
    const struct {
        int32_t type;
        int32_t held;
    } rows[] = {{1000, 20}, {1006, 20}, {1005, 21}, {1007, 21}, {1021, 26},
                {1004, 25}, {1003, 26}, {1002, 25}, {10, 26}};
    constexpr int32_t kNoBlow = -1;
    for (const auto &r : rows) {
        for (const auto &[state, damage] : {std::pair{r.held, 30}, std::pair{r.held, 1}, std::pair{r.held, 0},
                                            std::pair{r.held, kNoBlow}, std::pair{0, 30}}) {
            SCOPED_TRACE(std::to_string(r.type) + " in " + std::to_string(state) + " struck for " +
                         std::to_string(damage));
            AiObject *m = Place(r.type, kHome, kSouth);
            FsfBuilder b;
            b.State(0).Hurt(0);
            b.State(r.held).Hurt(0);
            UseStateMachine(r.type, b.Build());
            PutHero({0.0f, 0.0f, kHome.z - 10.0f}, {0.0f, 0.0f, 1.0f});
            Enter(m, state);
            m->grabbed = true;
            if (damage != kNoBlow) {
                // Outside the held state a plain blow brings damage to apply.
                Hit(m, state == r.held ? kAtkHeldDamage : kAtkHeldDamage | kAtkPlain,
                    monster::ParamsOf(m).defense + damage);
            }
            Ticks(3);
            if (state == r.held && damage > 0) {
                ExpectLook(m, 1, 0.08f, true);
            } else {
                EXPECT_EQ(matAnims.Find(m), nullptr);
            }
            m->removed = true;
            m->active = false;
        }
    }
}

// The reward goes to the monster's first attacker: one the hero seizes and
// finishes with blows while holding it pays the hero, but not after another
// monster struck it first.
TEST_F(GrabFights, AHeldMonsterPaysItsFirstAttacker)
{
    for (bool struckFirst : {false, true}) {
        SCOPED_TRACE(struckFirst ? "struck by another first" : "the hero's alone");
        AiObject *other = Place(1005, {-60.0f, 0.0f, 60.0f}, kSouth);
        AiObject *m = Place(1000, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(104, 20, 1);
        b.State(20).To(120, 22, 1);
        b.State(22).Hurt(0);
        UseStateMachine(1000, b.Build());
        PutHero({0.0f, 0.0f, kHome.z - 10.0f}, {0.0f, 0.0f, 1.0f});
        m->hp = 10;
        const int32_t kills = hero.killCount;
        if (struckFirst) {
            Hit(m, kAtkPlain, 0, other);
            Ticks(2);
        }
        Hit(m, kAtkGrab, 0);  // the hero seizes it
        ASSERT_GE(TicksUntil([&] { return m->state == 20; }, 10), 0);
        Hit(m, kAtkHeldDamage, monster::ParamsOf(m).defense + 50);
        ASSERT_GE(TicksUntil([&] { return m->state == 22; }, 10), 0);
        Ticks(2);
        EXPECT_EQ(hero.killCount - kills, struckFirst ? 0 : 1);
        m->removed = true;
        other->removed = true;
    }
}

}  // namespace

}  // namespace blows_and_grab_fights_test
