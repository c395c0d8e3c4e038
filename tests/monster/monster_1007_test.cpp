// Monster 1007 frame by frame on the arena: its guard, its grab cone, the
// flee from a thrown item, one blow per hero per state entry, death to
// gone with the reward and the event's drop, the event hold, the model
// given back out of view and taken again, its hand streams, and hits on
// thinned frames.
#include <gtest/gtest.h>

#include <cmath>

#include "monster/kit_combat.h"
#include "monster/kit_common.h"
#include "monster/monster_1007.h"
#include "monster_scenario.h"

namespace monster_1007_test {

namespace {

using gametest::FsfBuilder;
using monstertest::MonsterScenario;

constexpr int32_t kType = 1007;
constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};

class Monster1007 : public MonsterScenario {
protected:
    // The monster with a small state machine: idle 0 and walk 1, the guard
    // 23 (a guard break to the knocked state 15, its end to 18), the grab
    // 5, the dying 24 into the gone 25, the hold 29, the knock 28.
    CSMonster1007 *Monster(const RwV3d &at = kHome)
    {
        AiObject *placed = Place(kType, at);
        FsfBuilder b;
        const int32_t deaths[][3] = {{120, 24, 1}, {121, 24, 1}};
        b.State(0).To(1, 1, 1).To(16, 23, 1).To(0, 0);
        b.State(1).Speed(25.0f).To(0, 0, 1).To(1, 1);
        b.State(5).Attack(12, 65).To(0, 0);
        b.State(15).To(0, 0);
        b.State(18).To(0, 0);
        b.State(23).To(102, 15, 1).To(18, 18, 1);
        b.State(24).Hurt(0).To(0, 25);
        b.State(25).Hurt(0);
        b.State(28).To(2, 0, 1);
        b.State(29).Hurt(0).To(0, 29);
        for (int32_t s : {0, 1, 5, 23}) {
            b.State(s);
            for (const auto &d : deaths) {
                b.To(d[0], d[1], d[2]);
            }
        }
        UseStateMachine(kType, b.Build());
        return static_cast<CSMonster1007 *>(placed);
    }
};

TEST_F(Monster1007, TheGuardTakesNoHarmUntilBrokenAndEndsAfterASecondAndAHalf)
{
    CSMonster1007 *m = Monster();
    PutHero({0.0f, 0.0f, -15.0f});  // beyond its search range, near enough to act every frame
    Enter(m, 23);
    const int32_t hp = m->hp;
    Hit(m, kAtkPlain, 50);
    Tick();  // delivered
    Tick();  // read and acted on
    EXPECT_EQ(m->hp, hp);
    EXPECT_EQ(m->state, 23);
    EXPECT_TRUE(m->guarding);
    EXPECT_TRUE(SoundQueued(6300210));
    // A knock-down blow (bit 8) does not knock it down while it guards.
    Hit(m, kAtkPlain | kAtkHurt8, 50);
    Ticks(2);
    EXPECT_EQ(m->state, 23);
    EXPECT_EQ(m->hp, hp);
    // 1.5 s after it began, the guard ends with input 18.
    const int ticks = TicksUntil([&] { return m->state != 23; }, 200);
    EXPECT_EQ(m->state, 18);
    EXPECT_NEAR((ticks + 4) * monstertest::kDt, 1.5f, 0.1f);

    // A heavy blow (bit 64) a second into the guard costs HP and breaks it
    // at once, without the guard's sound.
    Enter(m, 23);
    Ticks(60);
    const uint32_t broken = tick;
    Hit(m, kAtkPlain | kAtkHeavy, 50);
    Ticks(2);
    EXPECT_EQ(m->state, 15);
    EXPECT_FALSE(SoundQueued(6300210, broken));
    Tick();
    EXPECT_EQ(m->hp, hp - (50 - 3));
    // The next guard lasts its full second and a half again.
    Enter(m, 23);
    const int again = TicksUntil([&] { return m->state != 23; }, 200);
    EXPECT_NEAR(again * monstertest::kDt, 1.5f, 0.05f);
    // Only a break or the guard's end restarts its time: a guard left a
    // second into it by other means keeps that second for the next one.
    EXPECT_NEAR(GuardAfterOneLeftEarly(m, 23), 0.5f, 0.05f);
}

// The grab (state 5) touches a hero inside a cone 15 degrees wider and a
// range 5.0 longer than GraborBleedHAngle (30) and GraborBleedRange (14),
// once per state entry.
TEST_F(Monster1007, TheGrabConeReachesFifteenDegreesWiderAndFiveUnitsFurther)
{
    CSMonster1007 *m = Monster();
    // Where a hero stands `distance` away from the monster (facing -z) at `degrees` off its facing.
    auto at = [](float degrees, float distance) {
        const float r = degrees * 3.14159265f / 180.0f;
        return RwV3d{kHome.x + distance * std::sin(r), 0.0f, kHome.z - distance * std::cos(r)};
    };
    struct Case {
        float degrees;
        float distance;
        bool touched;
    };
    for (const Case &c : {Case{44.0f, 18.5f, true}, Case{46.0f, 10.0f, false}, Case{0.0f, 18.9f, true},
                          Case{0.0f, 19.2f, false}, Case{-44.0f, 12.0f, true}}) {
        SCOPED_TRACE(c.degrees);
        PutHero(at(c.degrees, c.distance));
        Enter(m, 5);
        HeroMessages();
        Ticks(10);
        const std::vector<MSGData> hits = HeroMessages();
        ASSERT_EQ(hits.size(), c.touched ? 1u : 0u) << c.distance;
        if (c.touched) {
            EXPECT_EQ(hits[0].kind, kMsgHitHero);
            EXPECT_EQ(hits[0].sender, m);
            EXPECT_EQ(hits[0].word[0], 0);
            EXPECT_EQ(hits[0].word[1], 65);       // the state's AttackAttribute
            EXPECT_EQ(hits[0].word[2], 12 * 4);   // AttackValue x trunc(LevelAppend 4)
        }
        EXPECT_EQ(m->state, 5);
    }
    // A new entry of the state may hit the hero again.
    Enter(m, 5);
    Ticks(3);
    EXPECT_EQ(HeroMessages().size(), 1u);
    // The blow a grab lands, as a type that shows its blows sees it: by no
    // weapon (id 0), where the hero stands.
    static monster::FreshHit seen;
    seen = {nullptr, -1, {0.0f, 0.0f, 0.0f}, true};
    Enter(m, 5);
    int32_t next = -1;
    monster::HitHeroes(m, &next, {.grabConeState = 5}, [](AiObject *, const monster::FreshHit &hit) { seen = hit; });
    EXPECT_EQ(seen.hero, &hero);
    EXPECT_EQ(seen.weaponId, 0);
    EXPECT_FALSE(seen.byWeapon);
    EXPECT_EQ(seen.contact.z, hero.GetPositionPtr()->z);
}

// Removed by an event (its destroy action) in the middle of its grab, it
// is gone at once: it strikes no one, plays nothing and moves no more.
TEST_F(Monster1007, RemovedByAnEventItStrikesNoMore)
{
    CSMonster1007 *m = Monster();
    PutHero({kHome.x, 0.0f, kHome.z - 10.0f});  // in its grab cone
    Ticks(2);
    Enter(m, 5);
    m->Remove();
    HeroMessages();
    const RwV3d where = *m->GetPositionPtr();
    const size_t queued = sounds.size();
    Ticks(10);
    EXPECT_TRUE(HeroMessages().empty());
    EXPECT_EQ(sounds.size(), queued);
    EXPECT_EQ(m->GetPositionPtr()->z, where.z);
    EXPECT_EQ(m->state, 5);
}

// An item thrown anywhere in the stage makes it walk away from the item
// for 3 s, following its own path meanwhile.
TEST_F(Monster1007, AThrownItemMakesItFleeForThreeSeconds)
{
    CSMonster1007 *m = Monster();
    PutHero({0.0f, 0.0f, -15.0f});
    FsfBuilder b;
    b.State(0);
    b.State(1).Speed(25.0f);  // it keeps walking
    UseStateMachine(kType, b.Build());
    Enter(m, 1);
    const RwV3d item = {0.0f, 0.0f, 40.0f};
    const float thrownFrom[3] = {item.x, item.y, item.z};
    thrownItems.Throw(5300000, thrownFrom);
    Tick();
    EXPECT_TRUE(m->fleeActive);
    EXPECT_TRUE(m->pathFollowing);
    const float before = monster::GroundDistance(*m->GetPositionPtr(), item);
    Ticks(60);
    EXPECT_GT(monster::GroundDistance(*m->GetPositionPtr(), item), before + 15.0f);
    const int ticks = TicksUntil([&] { return !m->fleeActive; }, 400);
    EXPECT_NEAR((ticks + 61) * monstertest::kDt, 3.0f, 0.05f);
    EXPECT_FALSE(m->pathFollowing);  // the walk away ends with the flee

    // An item thrown 10000 units or more away is not fled (the hero near,
    // so that it acts on every frame).
    const RwV3d at = *m->GetPositionPtr();
    PutHero({at.x, 0.0f, at.z - 15.0f});
    Tick();
    const float farOff[3] = {at.x, 0.0f, at.z + 10100.0f};
    thrownItems.Throw(5300000, farOff);
    Tick();
    EXPECT_FALSE(m->fleeActive);
    EXPECT_LE(m->fleeTimer, 0.0f);
}

// Death: the dying state counts the kill for the hero and its reward, the
// gone state drops what the event asked for, pays the reward pieces and
// removes the monster; the pieces reach the hero's stage earnings.
TEST_F(Monster1007, DeathLeadsThroughDyingToGoneWithTheRewardAndTheDrop)
{
    CSMonster1007 *m = Monster();
    PutHero({0.0f, 0.0f, -15.0f});
    FsfBuilder b;
    b.State(0).To(100, 4, 1).To(120, 24, 1);
    b.State(4).To(120, 24, 1).To(0, 0);
    b.State(24).Hurt(0).To(0, 25);
    b.State(25).Hurt(0);
    UseStateMachine(kType, b.Build());
    m->hp = 10;
    hero.hitCounter = 6;  // pays twice the Exp
    Control(m, kCtlDropOverride, 5300010);
    Hit(m, kAtkPlain, 100);
    const int dying = TicksUntil([&] { return m->state == 24; }, 10);
    ASSERT_GE(dying, 0);
    EXPECT_EQ(m->hp, 0);
    EXPECT_TRUE(m->dying);
    Tick();
    EXPECT_EQ(hero.killCount, 1);
    EXPECT_EQ(m->rewardAmount, 60 * 2);
    EXPECT_TRUE(m->deathTint);
    ASSERT_GE(TicksUntil([&] { return m->removed; }, 200), 0);
    EXPECT_EQ(m->state, 25);
    EXPECT_EQ(m->model, nullptr);
    EXPECT_FALSE(m->active);
    EXPECT_EQ(m->streamA, nullptr);
    int drops = 0;
    for (const gametest::TraceRecord &r : EffectLines()) {
        drops += r.fields.size() > 1 && r.fields[0] == "drop" && r.fields[1] == "5300010";
    }
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(EffectStarts("3406000"), 3);  // 120 in pieces of at most 50
    const int32_t money = hero.money;
    TicksUntil([&] { return hero.stageMoney == 120; }, 600);
    EXPECT_EQ(hero.stageMoney, 120);
    EXPECT_EQ(hero.money, money);  // paid out when the stage ends
    int rewards = 0;
    for (const gametest::TraceRecord &r : EffectLines()) {
        rewards += r.fields.size() > 2 && r.fields[0] == "reward" ? static_cast<int>(r.Int(1)) : 0;
    }
    EXPECT_EQ(rewards, 120);
    // Removed, it stays in the chain and takes no more updates.
    const uint32_t queued = static_cast<uint32_t>(sounds.size());
    Ticks(10);
    EXPECT_EQ(sounds.size(), queued);
    EXPECT_EQ(m->state, 25);
}

// An event holds it in its hold state (29) and lets it go; an event's
// monster without a model takes one when its event shows it.
TEST_F(Monster1007, TheEventHoldsItAndLetsItGo)
{
    CSMonster1007 *m = Monster();
    PutHero({0.0f, 0.0f, -15.0f});
    Control(m, kCtlShowHold, 77);
    Control(m, kCtlDropOverride, 5300010);  // read in the same frame
    Ticks(2);
    EXPECT_TRUE(m->dropOverride);
    EXPECT_TRUE(m->eventHeld);
    EXPECT_FALSE(m->eventModel);  // not its group
    EXPECT_EQ(m->state, 29);
    Ticks(120);  // held: the hold state starts again when its motion ends
    EXPECT_EQ(m->state, 29);
    EXPECT_TRUE(m->holdState);
    Control(m, kCtlRelease, 0);
    Ticks(2);
    EXPECT_FALSE(m->eventHeld);
    EXPECT_EQ(m->state, 0);

    AiObject *shown = Place(kType, {40.0f, 0.0f, 60.0f}, {0.0f, 0.0f, -1.0f}, 5, 0);  // not shown by view
    EXPECT_EQ(shown->model, nullptr);
    EXPECT_FALSE(shown->active);
    Control(shown, kCtlShowHold, 5);
    Ticks(2);
    EXPECT_NE(shown->model, nullptr);
    EXPECT_TRUE(shown->active);
    EXPECT_TRUE(shown->eventModel);
    EXPECT_TRUE(shown->eventHeld);
}

// Out of view (the wall between it and the camera) it gives its model and
// its hand streams back; in view again it takes a model and starts them.
TEST_F(Monster1007, ItsModelComesWithTheViewAndItsHandStreamsWithTheModel)
{
    CSMonster1007 *m = Monster();
    PutHero({0.0f, 0.0f, -15.0f});
    Ticks(2);
    ASSERT_NE(m->model, nullptr);
    ASSERT_NE(m->streamA, nullptr);
    ASSERT_NE(m->streamB, nullptr);
    EXPECT_EQ(m->streamA->displayMode[1], kPrtFollowEmitter);
    const int32_t out = particles.SystemsOut();
    m->SetPosition({230.0f, 0.0f, 60.0f});  // beyond the east wall: hidden from the camera in the yard
    Ticks(2);
    EXPECT_FALSE(m->drawn);
    EXPECT_EQ(m->model, nullptr);
    EXPECT_EQ(m->streamA, nullptr);
    EXPECT_FALSE(m->streamAStarted);
    Ticks(120);  // the streams fade out and go back to their pool
    EXPECT_EQ(particles.SystemsOut(), out - 2);
    Enter(m, 23);  // unseen, it takes up its guard
    m->SetPosition(kHome);
    Ticks(3);
    EXPECT_TRUE(m->drawn);
    ASSERT_NE(m->model, nullptr);
    EXPECT_EQ(monster::AnimationsOf(m)->GetMotionIndex(m->Clump()), 23) << "the model shows the guard";
    EXPECT_NE(m->streamA, nullptr);
    EXPECT_EQ(particles.SystemsOut(), out);
    // Event code restarts them through the type's effects.
    CSParticleSystem *was = m->streamA;
    m->ReleaseTypeEffects();
    EXPECT_NE(m->streamA, nullptr);
    EXPECT_NE(m->streamA, was);
    Ticks(120);
    EXPECT_EQ(particles.SystemsOut(), out);
}

// Far from the hero it acts on one frame in nine; a hit that arrives on a
// frame without an act step still costs its HP at the next acts.
TEST_F(Monster1007, HitsOnThinnedFramesAreNotLost)
{
    ExpectHitsKeptOnThinnedFrames(Monster({0.0f, 0.0f, 140.0f}), 3);
}

}  // namespace

}  // namespace monster_1007_test
