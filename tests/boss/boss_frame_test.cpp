// The boss frame on the real actor pass with a test hero: damage in two
// stages and only while the state's IsHurt is set, each boss's input for
// a heavy hit, the no-damage states, burning and poison (and their double
// speed without harm in the hold state), one blow per hero per state
// entry, the drop (rolled or the event's), the killing hero's experience
// and kill count, a model wanted when none is free, and the state-change
// lines of the bosses that write them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "actor/item_manager.h"
#include "app/debug.h"
#include "boss/boss_1100.h"
#include "boss/boss_frame.h"
#include "boss/boss_traits.h"
#include "boss_scenario.h"
#include "monster/kit_common.h"
#include "stage/character_params.h"
#include "stage/model_template.h"

namespace boss_frame_test {

namespace {

using bosstest::BossScenario;
using monstertest::AllModelsTaken;
using bosstest::FsfBuilder;

constexpr int32_t kType = 1100;
constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kFarAway = {0.0f, 0.0f, -300.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};

class BossFrame : public BossScenario {
protected:
    // Boss 1100 with a small state machine: idle 0 (hurtable), a state 5
    // that takes no harm, the attack 2, the dying 3 into the gone 4 (which
    // would lead back to 0 on the death input, were a gone boss to heed
    // it), the hold 7; the hits lead nowhere (the state stays).
    CSBoss1100 *Boss(const RwV3d &at = kHome)
    {
        CSBoss1100 *boss = PlaceBoss<CSBoss1100>(kType, at, kSouth);
        FsfBuilder b;
        b.State(0).To(0, 0);
        b.State(2).Attack(20, kAtkPlain).Weapon(100130).Weapon(100140).To(0, 0);
        b.State(3).Hurt(0).To(0, 4);
        b.State(4).Hurt(0).To(120, 0, 1);
        b.State(5).Hurt(0).To(0, 5);
        b.State(7).Hurt(0).To(0, 7);
        bosstest::DiesFrom(b, {0, 2, 5}, 3);
        UseStateMachine(kType, b.Build());
        PutHero(kFarAway);
        return boss;
    }
    // A boss of a type with a larger MaxHP (1107, whose 1 % is several HP),
    // standing in its idle state 0 with its own hold state.
    AiObject *Sturdy(const RwV3d &at = kHome)
    {
        AiObject *boss = Place(1107, at, kSouth);
        FsfBuilder b;
        b.State(0).To(0, 0);
        b.State(24).Hurt(0).To(0, 24);
        UseStateMachine(1107, b.Build());
        PutHero(kFarAway);
        return boss;
    }
    int32_t Defense(const AiObject *boss) { return monster::ParamsOf(boss).defense; }
    int32_t MaxHP(const AiObject *boss) { return monster::ParamsOf(boss).maxHP; }
};

TEST_F(BossFrame, DamageIsTakenInTwoStagesAndOnlyWhileTheStateIsHurt)
{
    CSBoss1100 *boss = Boss();
    const int32_t hp = boss->hp;
    ASSERT_GT(hp, 40);
    // Two hits in one frame: read by the next think, taken by the act after.
    Hit(boss, kAtkPlain, 20);
    Hit(boss, kAtkPlain, 15);
    Tick();  // delivered
    Tick();  // read: pending
    EXPECT_EQ(boss->hp, hp);
    Tick();
    EXPECT_EQ(boss->hp, hp - (20 - Defense(boss)) - (15 - Defense(boss)));
    // A hit that does not exceed Defense drives the hurt input but costs nothing.
    const int32_t before = boss->hp;
    Hit(boss, kAtkPlain, Defense(boss));
    Ticks(3);
    EXPECT_EQ(boss->hp, before);
    EXPECT_TRUE(boss->hurtable);  // what an allied fighter's blows look at
    // In a state whose IsHurt is clear the damage is dropped.
    EnterBoss(boss, 5);
    Hit(boss, kAtkPlain, 40);
    Ticks(4);
    EXPECT_EQ(boss->hp, before);
    EXPECT_EQ(boss->state, 5);
    EXPECT_FALSE(boss->hurtable);
}

// Bit 64 gives 102 (100 for 1102) and, for 1101, 1106 and 1107, the guard
// break 8 as well.
TEST_F(BossFrame, EachBossFeedsItsHeavyInput)
{
    struct Case {
        int32_t aiType;
        int32_t heavyInput;
        bool guardBreak;
    };
    float x = -60.0f;
    for (const Case &c : {Case{1100, 102, false}, Case{1101, 102, true}, Case{1102, 100, false},
                          Case{1106, 102, true}, Case{1107, 102, true}}) {
        SCOPED_TRACE(c.aiType);
        AiObject *boss = Place(c.aiType, {x, 0.0f, 60.0f}, kSouth);
        x += 30.0f;
        ASSERT_NE(boss, nullptr);
        FsfBuilder b;
        b.State(0).To(100, 1, 1).To(101, 2, 1).To(102, 3, 1).To(103, 4, 1);
        for (int32_t s : {1, 2, 3, 4}) {
            b.State(s);
        }
        UseStateMachine(c.aiType, b.Build());
        PutHero(kFarAway);
        EnterBoss(boss, 0);
        Hit(boss, kAtkPlain | kAtkHeavy | kAtkHurt2, 10);
        Ticks(2);
        EXPECT_EQ(boss->state, c.heavyInput == 100 ? 1 : 3);
        EXPECT_EQ((boss->statusToApply & 8) != 0, c.guardBreak);
        // Without bit 64 the reaction bits choose: 2 before 8 before 4.
        EnterBoss(boss, 0);
        Hit(boss, kAtkPlain | kAtkHurt4 | kAtkHurt8, 10);
        Ticks(2);
        EXPECT_EQ(boss->state, 3);
        EnterBoss(boss, 0);
        Hit(boss, kAtkPlain | kAtkHurt4, 10);
        Ticks(2);
        EXPECT_EQ(boss->state, 2);
    }
}

// Whom a hero may target, boss by boss: 1100 and 1105 never; the others in
// their free states, except while down (not 1104, 1109, 1110), busy, in
// the states where they stand out of reach (1104's 3 to 6, 1103's blast
// 21, the champions' 5, 6, 8, 9 and 11 to 15) or, for 1101 and 1103, left
// out of broadcasts (their states 30/31 and 31/32); another boss left out
// of broadcasts may still be targeted.
TEST_F(BossFrame, EachBossIsTargetableOnlyWhereItsRowAllows)
{
    const struct {
        int32_t aiType;
        int32_t lastState;
        bool ever;
        bool downCounts;
        std::vector<int32_t> outOfReach;
    } rows[] = {{1100, 7, false, false, {}},
                {1101, 32, true, true, {30, 31}},
                {1102, 7, true, true, {}},
                {1103, 34, true, true, {21, 31, 32}},
                {1104, 14, true, false, {3, 4, 5, 6}},
                {1105, 6, false, false, {}},
                {1106, 24, true, true, {}},
                {1107, 24, true, true, {}},
                {1108, 6, true, true, {}},
                {1109, 25, true, false, {5, 6, 8, 9, 11, 12, 13, 14, 15}},
                {1110, 25, true, false, {5, 6, 8, 9, 11, 12, 13, 14, 15}}};
    PutHero(kFarAway);
    float x = -100.0f;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.aiType);
        AiObject *boss = Place(row.aiType, {x, 0.0f, 60.0f}, kSouth);
        x += 20.0f;
        ASSERT_NE(boss, nullptr);
        UseStatesThatStay(row.aiType, row.lastState);
        const auto targetableIn = [&](int32_t state, bool *flag) {
            EnterBoss(boss, state);
            if (flag != nullptr) {
                *flag = true;
            }
            Tick();
            const bool targetable = boss->targetable;
            if (flag != nullptr) {
                *flag = false;
            }
            return targetable;
        };
        EXPECT_EQ(targetableIn(0, nullptr), row.ever);
        EXPECT_EQ(targetableIn(0, &boss->broadcastExcluded), row.ever);
        EXPECT_EQ(targetableIn(0, &boss->down), row.ever && !row.downCounts);
        EXPECT_FALSE(targetableIn(0, &boss->busy));
        for (int32_t state : row.outOfReach) {
            SCOPED_TRACE(state);
            EXPECT_FALSE(targetableIn(state, nullptr));
        }
        boss->removed = true;
        boss->active = false;
    }
}

// 1106 and 1107 tell each state they enter on the debug output (the boss,
// the state left, the state entered); a state past their last, or below
// 0, is refused without a word. The other bosses say nothing.
TEST_F(BossFrame, Bosses1106And1107TellEachStateTheyEnter)
{
    PutHero(kFarAway);
    float x = -40.0f;
    for (const int32_t type : {1106, 1107, 1108}) {
        SCOPED_TRACE(type);
        AiObject *boss = Place(type, {x, 0.0f, 60.0f}, kSouth);
        x += 40.0f;
        ASSERT_NE(boss, nullptr);
        const boss::BossTraits &traits = *boss::BossTraitsOf(type);
        UseStatesThatStay(type, traits.stateBound);  // one past the last too
        EnterBoss(boss, 0);
        const bool debug = SetDebugOutput(true);
        ::testing::internal::CaptureStderr();
        boss::EnterBossState(boss, boss->Fsf(), 3, traits);
        boss::EnterBossState(boss, boss->Fsf(), traits.stateBound, traits);
        boss::EnterBossState(boss, boss->Fsf(), -1, traits);
        const std::string lines = ::testing::internal::GetCapturedStderr();
        SetDebugOutput(debug);
        EXPECT_EQ(boss->state, 3);
        EXPECT_EQ(traits.logsStateChange, type != 1108);
        EXPECT_EQ(lines, traits.logsStateChange
                             ? "ID: " + std::to_string(boss->aiId) + " CurrrentState: 0 NextState: 3\n"
                             : std::string());
        boss->removed = true;
        boss->active = false;
    }
}

// 1101 takes no harm in its guard 26, 1106 and 1107 none in 18 and 19,
// unless the hit is heavy.
TEST_F(BossFrame, TheNoDamageStatesTakeOnlyHeavyHits)
{
    struct Case {
        int32_t aiType;
        int32_t state;
    };
    float x = -60.0f;
    for (const Case &c : {Case{1101, 26}, Case{1106, 18}, Case{1106, 19}, Case{1107, 19}}) {
        SCOPED_TRACE(c.aiType * 100 + c.state);
        AiObject *boss = Place(c.aiType, {x, 0.0f, 60.0f}, kSouth);
        x += 30.0f;
        ASSERT_NE(boss, nullptr);
        FsfBuilder b;
        b.State(0);
        b.State(c.state);
        UseStateMachine(c.aiType, b.Build());
        PutHero(kFarAway);
        EnterBoss(boss, c.state);
        const int32_t hp = boss->hp;
        Hit(boss, kAtkPlain, 50);
        Ticks(3);
        EXPECT_EQ(boss->hp, hp);
        EnterBoss(boss, c.state);
        Hit(boss, kAtkPlain | kAtkHeavy, 50);
        Ticks(3);
        EXPECT_EQ(boss->hp, hp - (50 - Defense(boss)));
    }
}

// Burning costs 2 % of MaxHP every 30 frames for 4 s (4 % with resistance
// bit 64); a second burn while burning does not restart it.
TEST_F(BossFrame, BurningCostsEveryThirtyFramesForFourSeconds)
{
    for (const bool doubled : {false, true}) {
        SCOPED_TRACE(doubled);
        AiObject *boss = Sturdy({doubled ? 30.0f : -30.0f, 0.0f, 60.0f});
        boss->resistance = doubled ? kAtkHeavy : 0;
        const int32_t cost = static_cast<int32_t>(static_cast<float>(MaxHP(boss)) * (doubled ? 0.04f : 0.02f));
        const int32_t hp = boss->hp;
        Hit(boss, kAtkBurn, 0);
        Ticks(2);  // delivered, read
        Tick();    // burning from this act
        ASSERT_NE(boss->activeStatus & kStatusBurning, 0);
        std::vector<int> drops;
        int frame = 1;
        int32_t last = boss->hp;
        for (; (boss->activeStatus & kStatusBurning) != 0 && frame < 400; ++frame) {
            if (frame == 120) {
                Hit(boss, kAtkBurn, 0);  // burning already: the bit stays, the timer runs on
            }
            Tick();
            if (boss->hp != last) {
                EXPECT_EQ(last - boss->hp, cost);
                drops.push_back(frame);
                last = boss->hp;
            }
        }
        // It ends 4 s after it began (the act that took hold is frame 0).
        EXPECT_NEAR(frame, 240, 2);
        ASSERT_FALSE(drops.empty());
        for (size_t i = 0; i < drops.size(); ++i) {
            EXPECT_EQ(drops[i], 29 + 30 * static_cast<int>(i));
        }
        EXPECT_EQ(hp - boss->hp, cost * static_cast<int32_t>(drops.size()));
        EXPECT_GE(drops.size(), 7u);
    }
}

// Poison costs 1 % of MaxHP every 60 frames for 30 s.
TEST_F(BossFrame, PoisonCostsOnePercentEverySecondForThirtySeconds)
{
    AiObject *boss = Sturdy();
    const int32_t cost = static_cast<int32_t>(static_cast<float>(MaxHP(boss)) * 0.01f);
    ASSERT_GT(cost, 0);
    const int32_t hp = boss->hp;
    Hit(boss, kAtkPoison, 0);
    Ticks(3);
    ASSERT_NE(boss->activeStatus & kStatusPoisoned, 0);
    int frames = 1;
    while ((boss->activeStatus & kStatusPoisoned) != 0 && frames < 2000) {
        Tick();
        ++frames;
    }
    EXPECT_NEAR(frames, 1800, 2);
    EXPECT_NEAR(hp - boss->hp, cost * 29, cost);
}

// Held by an event the boss stands in its hold state: burning and poison
// run twice as fast there and cost nothing.
TEST_F(BossFrame, InTheHoldStateStatusRunsTwiceAsFastWithoutHarm)
{
    AiObject *boss = Sturdy();
    Control(boss, kCtlShowHold, 0);
    Ticks(3);
    ASSERT_EQ(boss->state, 24);
    ASSERT_TRUE(boss->eventHeld);
    const int32_t hp = boss->hp;
    Hit(boss, kAtkBurn | kAtkPoison, 0);
    Ticks(3);
    ASSERT_NE(boss->activeStatus & kStatusBurning, 0);
    int burnFrames = 1;
    int poisonFrames = 1;
    for (int frame = 1; frame < 1200 && boss->activeStatus != 0; ++frame) {
        Tick();
        burnFrames += (boss->activeStatus & kStatusBurning) != 0;
        poisonFrames += (boss->activeStatus & kStatusPoisoned) != 0;
    }
    EXPECT_NEAR(burnFrames, 120, 2);   // 2.0 s
    EXPECT_NEAR(poisonFrames, 900, 2);  // 15.0 s
    EXPECT_EQ(boss->hp, hp);
    EXPECT_EQ(boss->state, 24);
    // Let go, it leaves the hold state.
    Control(boss, kCtlRelease, 0);
    Ticks(2);
    EXPECT_EQ(boss->state, 0);
    EXPECT_FALSE(boss->eventHeld);
}

// An attack state hits a hero once however many frames its blade touches
// it, and a new entry hits again; a guarding hero gets its hit all the same.
TEST_F(BossFrame, AHeroIsHitOncePerStateGuardingOrNot)
{
    CSBoss1100 *boss = Boss();
    hero.hp = 100000;
    for (const bool guarding : {false, true, false}) {
        SCOPED_TRACE(guarding);
        hero.guarding = guarding;
        PutHero({0.0f, 0.0f, kHome.z - 12.0f}, {0.0f, 0.0f, 1.0f});
        HeroHits();
        EnterBoss(boss, 2);
        Ticks(40);
        const std::vector<MSGData> hits = HeroHits();
        ASSERT_EQ(hits.size(), 1u);
        EXPECT_EQ(hits[0].sender, boss);
        EXPECT_EQ(hits[0].word[1], kAtkPlain);
        EXPECT_EQ(hits[0].word[2], 20 * static_cast<int32_t>(std::trunc(monster::ParamsOf(boss).levelAppend)));
    }
}

// Killed by the hero, the boss goes through its dying state to the gone
// state: the drop the event named, else the drop map's roll; the hero
// gains a kill and the boss's Exp.
TEST_F(BossFrame, TheGoneStateDropsAndCreditsTheKillingHero)
{
    CSItemManager items;
    DropMap map;
    map.id = 7;
    map.entries[0] = {4010100, 100};  // always
    items.SetDropMaps({map});
    stage.itemManager = &items;
    for (const bool overridden : {false, true}) {
        SCOPED_TRACE(overridden);
        CSBoss1100 *boss = Boss({overridden ? 40.0f : -40.0f, 0.0f, 60.0f});
        boss->itemType = 7;
        if (overridden) {
            Control(boss, kCtlDropOverride, 3300100);
        }
        const int32_t kills = hero.killCount;
        const int32_t experience = hero.experience;
        const size_t seen = EffectLines().size();
        Hit(boss, kAtkPlain, boss->hp + Defense(boss) + 10);
        ASSERT_GE(TicksUntil([&] { return boss->state == 3; }, 10), 0);
        EXPECT_TRUE(boss->busy);
        ASSERT_GE(TicksUntil([&] { return boss->removed; }, 300), 0);
        EXPECT_EQ(boss->state, 4);
        EXPECT_EQ(boss->model, nullptr);
        EXPECT_EQ(hero.killCount, kills + 1);
        EXPECT_EQ(hero.experience, experience + monster::ParamsOf(boss).exp);
        int drops = 0;
        const std::vector<gametest::TraceRecord> lines = EffectLines();
        for (size_t i = seen; i < lines.size(); ++i) {
            const gametest::TraceRecord &r = lines[i];
            if (r.fields.size() > 1 && r.fields[0] == "drop") {
                EXPECT_EQ(r.Int(1), overridden ? 3300100 : 4010100);
                ++drops;
            }
        }
        EXPECT_EQ(drops, 1);
        // Once gone it stays so: no second drop, no second kill.
        Ticks(30);
        EXPECT_EQ(hero.killCount, kills + 1);
    }
    stage.itemManager = nullptr;
    // However much experience the hero has, a boss's Exp adds up to the
    // int range and no further.
    CSBoss1100 *last = Boss({0.0f, 0.0f, 90.0f});
    last->lastAttacker = &hero;
    hero.experience = INT32_MAX - 1;
    boss::PayBossReward(last);
    EXPECT_EQ(hero.experience, INT32_MAX);
}

// A boss that wants a model when none is free waits without one, and takes
// one at the first sensing message after one came free.
TEST_F(BossFrame, AModelWantedWhenNoneIsFreeIsTakenAtTheNextMessage)
{
    CSBoss1100 *boss = Boss();
    CSModelTemplate *tpl = stage.FindModelTemplate(kType);
    ASSERT_NE(tpl, nullptr);
    boss->isRender = 0;
    Ticks(2);
    ASSERT_EQ(boss->model, nullptr);
    // Every instance taken by another.
    AllModelsTaken taken(tpl);
    boss->isRender = 1;
    Ticks(3);
    EXPECT_EQ(boss->model, nullptr);
    taken.GiveBack();
    Ticks(2);
    EXPECT_NE(boss->model, nullptr);
    EXPECT_TRUE(boss->active);
}

// A step toward the arena's wall stops short of it; in a stage without
// collision nothing stops it.
TEST_F(BossFrame, OnlyAStageWithCollisionStopsAStepAtItsWalls)
{
    CSBoss1100 *boss = Boss({0.0f, 0.0f, 150.0f});
    const float radius = monster::ParamsOf(boss).radius;
    RwV3d step = {0.0f, 0.0f, 100.0f};
    EXPECT_TRUE(boss::ClipStepAgainstWorld(boss, radius, &step));
    EXPECT_LT(step.z, 100.0f);
    RpWorld *const world = stage.world;
    stage.world = nullptr;
    RwV3d free = {0.0f, 0.0f, 100.0f};
    EXPECT_FALSE(boss::ClipStepAgainstWorld(boss, radius, &free));
    stage.world = world;
    EXPECT_EQ(free.z, 100.0f);
}

// Walking to its foe with a body standing in the straight way, a boss
// steps aside round it and walks on past it: 1100, and 1101 while its foe
// is out of its reach (it heads straight at a foe only within reach).
TEST_F(BossFrame, ABossWalkingToItsFoeStepsRoundABodyInItsWay)
{
    for (const int32_t type : {1100, 1101}) {
        SCOPED_TRACE(type);
        AiObject *boss = Place(type, kHome, kSouth);
        FsfBuilder b;
        b.State(0);
        b.State(1).Speed(20.0f);
        UseStateMachine(type, b.Build());
        AiObject *blocker = Place(1000, {0.0f, 0.0f, 30.0f}, kSouth);
        FsfBuilder still;
        still.State(0);
        UseStateMachine(1000, still.Build());
        const float reach = monster::ParamsOf(boss).radius + monster::ParamsOf(blocker).radius;
        PutHero({0.0f, 0.0f, -20.0f});
        hero.hp = 100000;
        Ticks(2);
        ASSERT_EQ(boss->target, &hero);
        EnterBoss(boss, 1);
        Ticks(240);  // 80 units of walking
        const RwV3d &at = *boss->GetPositionPtr();
        EXPECT_LT(at.z, 30.0f - reach / 2.0f);  // past the body
        EXPECT_NEAR(blocker->GetPositionPtr()->z, 30.0f, 0.01f);
        boss->removed = true;
        blocker->removed = true;
    }
}

// Damage taken in a boss's hit-stop states freezes its motion for 0.1 s;
// in its other states it plays on.
TEST_F(BossFrame, DamageInTheHitStopStatesFreezesTheBossATenthOfASecond)
{
    const struct {
        int32_t type;
        std::vector<int32_t> hitStop;
    } bosses[] = {{1100, {2}},  {1101, {20}}, {1102, {4}},  {1103, {22}},     {1104, {9, 10}},
                  {1106, {16}}, {1107, {16}}, {1108, {3}},  {1109, {17, 18}}, {1110, {17, 18}}};
    for (const auto &c : bosses) {
        SCOPED_TRACE(c.type);
        AiObject *boss = Place(c.type, kHome, kSouth);
        UseStatesThatStay(c.type, boss::BossTraitsOf(c.type)->holdState);
        PutHero(kFarAway);
        std::vector<int32_t> states = c.hitStop;
        states.push_back(0);
        for (const int32_t state : states) {
            SCOPED_TRACE(state);
            const bool stops = state != 0;
            EnterBoss(boss, state);
            Ticks(2);
            const int32_t hp = boss->hp;
            Hit(boss, kAtkPlain, 40);
            ASSERT_GE(TicksUntil([&] { return boss->hp != hp; }, 5), 0);
            int frozen = 0;
            for (int i = 0; i < 20; ++i) {
                frozen += boss->animSpeedMode == kAnimFrozen;
                Tick();
            }
            EXPECT_NEAR(frozen / 60.0f, stops ? 0.1f : 0.0f, 0.02f);
            EXPECT_EQ(boss->animSpeedMode, kAnimNormal);
        }
        boss->removed = true;
    }
}

// A hero gone out of its search range, with the boss more than 10 from
// home: bosses 1101, 1102, 1103, 1106, 1107 and 1108 stand (input 0) one
// second more before they walk home; the others walk home at once. Back in
// sight, the second starts again. (Each walk input leads here to state 2.)
TEST_F(BossFrame, OutOfSightSomeBossesWaitOneSecondBeforeWalkingHome)
{
    const struct {
        int32_t type;
        int32_t walk;
        bool waits;
    } bosses[] = {{1101, 1, true},  {1102, 1, true},  {1103, 5, true},  {1106, 5, true},  {1107, 1, true},
                  {1108, 6, true},  {1104, 1, false}, {1109, 1, false}, {1110, 1, false}};
    for (const auto &c : bosses) {
        SCOPED_TRACE(c.type);
        AiObject *boss = Place(c.type, kHome, kSouth);
        FsfBuilder b;
        for (int32_t s = 0; s <= boss::BossTraitsOf(c.type)->holdState; ++s) {
            b.State(s);
        }
        b.State(0).To(c.walk, 2, 1);
        UseStateMachine(c.type, b.Build());
        for (int round = 0; round < 2; ++round) {
            // In sight, in a state its inputs lead nowhere from.
            EnterBoss(boss, 3);
            boss->SetPosition(kHome);
            PutHero({0.0f, 0.0f, kHome.z - 40.0f});
            Ticks(3);
            ASSERT_EQ(boss->target, &hero);
            PutHero(kFarAway);
            Tick();  // the last sight of him, read at home
            EnterBoss(boss, 0);
            boss->SetPosition({kHome.x + 30.0f, 0.0f, kHome.z});
            const int ticks = TicksUntil([&] { return boss->state != 0; }, 200);
            EXPECT_EQ(boss->state, 2);
            if (c.waits) {
                EXPECT_NEAR(ticks / 60.0f, 1.0f, 0.05f);
            } else {
                EXPECT_LE(ticks, 2);
            }
        }
        boss->removed = true;
    }
}

// Each boss's moves collide in full (stopping where its body meets
// another's) only in its own states; in the others a step that would end
// inside another character is not taken at all, so it halts up to a step
// short. Here a monster stands on its way, 12.5 beyond contact, and the
// boss moves 5 a tick: colliding it comes to rest touching, else 2.5 short.
TEST_F(BossFrame, EachBossCollidesInFullOnlyInItsOwnStates)
{
    const struct {
        int32_t type;
        std::vector<int32_t> colliding;
        std::vector<int32_t> passing;
    } bosses[] = {{1102, {1}, {0, 2}}, {1103, {1, 2}, {3, 4}}, {1106, {2}, {1, 3}}, {1107, {1, 2}, {3}},
                  {1108, {1}, {2, 3}}, {1109, {2}, {1, 3}},    {1110, {2}, {1, 3}}};
    for (const auto &c : bosses) {
        SCOPED_TRACE(c.type);
        AiObject *boss = Place(c.type, kHome, kSouth);
        FsfBuilder b;
        for (int32_t s = 0; s <= boss::BossTraitsOf(c.type)->holdState; ++s) {
            b.State(s).Speed(300.0f);
        }
        UseStateMachine(c.type, b.Build());
        PutHero(kFarAway);
        for (const bool collides : {true, false}) {
            for (const int32_t state : collides ? c.colliding : c.passing) {
                EXPECT_NEAR(GapAfterMovingTowardABody(boss, state, -1.0f), collides ? 0.0f : 2.5f, 0.05f) << state;
            }
        }
        boss->removed = true;
    }
}

// A boss without a target counts as at home up to 10 from it, the edge
// included: exactly 10 off it stands (input 0), a little further it walks
// home, both when no hero is left in sight (past the second some wait) and
// when the one in sight is not its to take (a hero out of play standing by).
// (Each walk input leads here to state 2.)
TEST_F(BossFrame, TenFromHomeABossWithoutATargetStillStandsAtHome)
{
    // Each boss and its walk input.
    const std::pair<int32_t, int32_t> bosses[] = {{1101, 1}, {1102, 1}, {1103, 5}, {1104, 1}, {1106, 5},
                                                  {1107, 1}, {1108, 6}, {1109, 1}, {1110, 1}};
    for (const auto &[type, walk] : bosses) {
        SCOPED_TRACE(type);
        for (const bool inSight : {false, true}) {
            SCOPED_TRACE(inSight ? "a hero in sight it ignores" : "no hero in sight");
            for (const float off : {10.0f, 10.5f}) {
                SCOPED_TRACE(off);
                AiObject *boss = Place(type, kHome, kSouth);
                FsfBuilder b;
                for (int32_t s = 0; s <= boss::BossTraitsOf(type)->holdState; ++s) {
                    b.State(s);
                }
                b.State(0).To(walk, 2, 1);
                UseStateMachine(type, b.Build());
                EnterBoss(boss, 0);
                boss->SetPosition({kHome.x + off, 0.0f, kHome.z});
                boss->lostTargetTimer = 2.0f;
                hero.removed = inSight;
                PutHero(inSight ? RwV3d{kHome.x + off, 0.0f, kHome.z - bosstest::SensingBandsOf(boss).sight} : kFarAway);
                TicksUntil([&] { return boss->state != 0; }, 90);
                EXPECT_EQ(boss->state, off > 10.0f ? 2 : 0);
                boss->removed = true;
                hero.removed = false;
            }
        }
    }
}

}  // namespace

}  // namespace boss_frame_test
