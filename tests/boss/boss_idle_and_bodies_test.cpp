// What a player sees of a boss's idling, its grab fight, its hand
// particles and its body against others, frame by frame on the arena: the
// champions leave their idle state after 3 s by input 21 when the state
// random is below 50, else by 23, and take the hero's blows while held in
// their grab fight until the hero lets go; boss 1106's hand particles
// follow its hand in state 8 and stay where given off in state 13; boss 1104
// circling or backing off, and boss 1103 walking, runs into a body in its
// way and stops against it (the full collision of those states), rather
// than halting a step short of it as in their other states.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "boss/boss_1109.h"
#include "boss/boss_1110.h"
#include "boss_scenario.h"
#include "fx/particle_manager.h"
#include "fx/particle_system.h"
#include "stage/character_params.h"

namespace boss_idle_and_bodies_test {

namespace {

using bosstest::BossScenario;
using bosstest::FsfBuilder;

constexpr RwV3d kHome = {0.0f, 0.0f, 60.0f};
constexpr RwV3d kSouth = {0.0f, 0.0f, -1.0f};

class ChampionIdle : public BossScenario {
protected:
    // Idle 0 left by 21 into 6 or by 23 into 9; both stay.
    AiObject *Champion(int32_t aiType)
    {
        AiObject *boss = Place(aiType, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(21, 6, 1).To(23, 9, 1);
        b.State(6);
        b.State(9);
        UseStateMachine(aiType, b.Build());
        PutHero({0.0f, 0.0f, -300.0f});
        hero.hp = 100000;
        return boss;
    }
    // Into a fresh idle with state random `roll`.
    void RestartIdle(AiObject *boss, int32_t roll)
    {
        EnterBoss(boss, 0);
        boss->stateRandom = roll;
        if (boss->aiType == 1109) {
            static_cast<CSBoss1109 *>(boss)->IdleTimer = 0.0f;
        } else {
            static_cast<CSBoss1110 *>(boss)->IdleTimer = 0.0f;
        }
    }
    // From a fresh idle with state random `roll`: the state it leaves for
    // and the seconds it took.
    int32_t LeaveIdle(AiObject *boss, int32_t roll, float *seconds)
    {
        RestartIdle(boss, roll);
        const int ticks = TicksUntil([&] { return boss->state != 0; }, 400);
        *seconds = static_cast<float>(ticks) / 60.0f;
        return boss->state;
    }
};

TEST_F(ChampionIdle, AfterThreeSecondsInput21BelowFiftyElse23)
{
    for (int32_t type : {1109, 1110}) {
        SCOPED_TRACE(type);
        AiObject *boss = Champion(type);
        Ticks(2);
        float seconds = 0.0f;
        EXPECT_EQ(LeaveIdle(boss, 49, &seconds), 6);
        EXPECT_NEAR(seconds, 3.0f, 0.05f);
        EXPECT_EQ(LeaveIdle(boss, 50, &seconds), 9);
        EXPECT_NEAR(seconds, 3.0f, 0.05f);
        EXPECT_EQ(LeaveIdle(boss, 0, &seconds), 6);
        EXPECT_EQ(LeaveIdle(boss, 99, &seconds), 9);
        boss->removed = true;
        boss->active = false;
    }
}

// The idle is left on the first tick after its timer has reached 3 s.
TEST_F(ChampionIdle, TheIdleIsLeftOnTheFirstTickPastItsThreeSeconds)
{
    for (int32_t type : {1109, 1110}) {
        SCOPED_TRACE(type);
        AiObject *boss = Champion(type);
        Ticks(2);
        RestartIdle(boss, 10);
        EXPECT_EQ(TicksToLeave(boss, 0, 0.25f, 30), 13);
        boss->removed = true;
    }
}

// The champions' grab fight: the hero's grab (1024) seizes the boss (104,
// here into 22, the grabbed flag set); there a blow while held (4096)
// costs its value less Defense, and the hero's let-go (2048) frees it
// (105). Outside the grab fight a blow while held costs nothing.
TEST_F(ChampionIdle, TheGrabFightTakesHeldBlowsUntilTheHeroLetsGo)
{
    for (int32_t type : {1109, 1110}) {
        SCOPED_TRACE(type);
        AiObject *boss = Place(type, kHome, kSouth);
        FsfBuilder b;
        b.State(0).To(104, 22, 1);
        b.State(22).To(105, 0, 1);
        UseStateMachine(type, b.Build());
        PutHero({0.0f, 0.0f, kHome.z - 10.0f}, {0.0f, 0.0f, 1.0f});
        hero.hp = 100000;
        Ticks(2);
        const int32_t defense = monster::ParamsOf(boss).defense;
        const int32_t hp = boss->hp;
        Hit(boss, kAtkHeldDamage, defense + 30);
        Ticks(3);
        EXPECT_EQ(boss->hp, hp);
        Hit(boss, kAtkGrab, 0);
        Ticks(2);
        EXPECT_EQ(boss->state, 22);
        EXPECT_TRUE(boss->grabbed);
        Hit(boss, kAtkHeldDamage, defense + 30);
        Ticks(3);
        EXPECT_EQ(boss->hp, hp - 30);
        EXPECT_EQ(boss->state, 22);
        Hit(boss, kAtkGrabEnd, 0);
        Ticks(2);
        EXPECT_EQ(boss->state, 0);
        EXPECT_FALSE(boss->grabbed);
        boss->removed = true;
        boss->active = false;
    }
}

// Boss 1106's hand particles ("3010600.zus"), once per entry with its
// model: in state 8 on its frame 100080, following the hand as it swings;
// in state 13 on its frame 100140, left where they were given off.
class HandParticles : public BossScenario {
protected:
    // Every copy of the pool out but one, so that the boss takes that one.
    CSParticleSystem *LastFreeCopy()
    {
        while (CSParticleSystem *system = particles.CreateSystem("3010600.zus")) {
            held.push_back(system);
        }
        if (held.empty()) {
            return nullptr;
        }
        CSParticleSystem *last = held.back();
        held.pop_back();
        last->Release();
        return last;
    }
    void TearDown() override
    {
        for (CSParticleSystem *system : held) {
            system->Release();
        }
        BossScenario::TearDown();
    }
    std::vector<CSParticleSystem *> held;
};

TEST_F(HandParticles, Boss1106sFollowTheHandInState8AndStayInState13)
{
    AiObject *boss = Place(1106, kHome, kSouth);
    FsfBuilder b;
    b.State(0);
    b.State(8);
    b.State(13);
    UseStateMachine(1106, b.Build());
    PutHero({0.0f, 0.0f, -300.0f});
    Ticks(2);
    for (const auto &[state, mode] : {std::pair{8, kPrtFollowEmitter}, std::pair{13, kPrtStayWhereEmitted}}) {
        SCOPED_TRACE(state);
        CSParticleSystem *copy = LastFreeCopy();
        ASSERT_NE(copy, nullptr);
        const int32_t out = particles.SystemsOut();
        EnterBoss(boss, state);
        Ticks(2);
        EXPECT_EQ(particles.SystemsOut(), out + 1);  // once per entry
        EXPECT_EQ(copy->displayMode[1], mode);
        EnterBoss(boss, 0);
        Tick();
        for (CSParticleSystem *system : held) {
            system->Release();
        }
        held.clear();
    }
}

// The other bosses' flames ("3010600.zus"), once per entry with a model,
// drawn after the world: 1101's in 12, 13 and 16 follow its hands (100060,
// 100080; the stage's pool of two has no room for the weapon's two), those
// of its weapon in 6 and 9 stay where given off, as do 1103's weapon flames
// in 12 and 21, 1107's hand in 8 and 13 and the champions' weapon flames
// in 5 and 8.
TEST_F(HandParticles, EachBossesFlamesFollowOrStayAsGivenOff)
{
    const struct {
        int32_t type;
        int32_t lastState;
        int32_t state;
        int following;
        int staying;
    } rows[] = {{1101, 32, 6, 0, 1},  {1101, 32, 9, 0, 1},  {1101, 32, 12, 2, 0}, {1101, 32, 13, 2, 0},
                {1101, 32, 16, 2, 0}, {1103, 34, 12, 0, 1}, {1103, 34, 21, 0, 1}, {1107, 24, 8, 0, 1},
                {1107, 24, 13, 0, 1}, {1109, 25, 5, 0, 1},  {1109, 25, 8, 0, 2},  {1110, 25, 5, 0, 1},
                {1110, 25, 8, 0, 1}};
    PutHero({0.0f, 0.0f, -300.0f});
    int32_t placed = 0;
    AiObject *boss = nullptr;
    for (const auto &row : rows) {
        SCOPED_TRACE(std::to_string(row.type) + " in " + std::to_string(row.state));
        if (row.type != placed) {
            if (boss != nullptr) {
                boss->removed = true;
                boss->active = false;
            }
            boss = Place(row.type, kHome, kSouth);
            UseStatesThatStay(row.type, row.lastState);
            placed = row.type;
            Ticks(2);
        }
        EnterBoss(boss, 0);
        Ticks(90);  // earlier flames have burnt out
        const std::vector<const CSParticleSystem *> before = particles.SystemsOutOf("3010600.zus");
        EnterBoss(boss, row.state);
        Ticks(3);
        int following = 0;
        int staying = 0;
        for (const CSParticleSystem *system : particles.SystemsOutOf("3010600.zus")) {
            if (std::find(before.begin(), before.end(), system) != before.end()) {
                continue;
            }
            EXPECT_EQ(system->displayMode[0], kPrtDrawAfterWorld);
            following += system->displayMode[1] == kPrtFollowEmitter;
            staying += system->displayMode[1] == kPrtStayWhereEmitted;
        }
        EXPECT_EQ(following, row.following);
        EXPECT_EQ(staying, row.staying);
    }
}

class BossBody : public BossScenario {
protected:
    // A boss of `type` at home facing south, its foe at `heroAt`, stepping
    // 10 units a frame in the `moving` states, and a standing monster north
    // of it, `gap` beyond touching.
    void Setup(int32_t type, std::initializer_list<int32_t> moving, const RwV3d &heroAt, float gap)
    {
        boss = Place(type, kHome, kSouth);
        FsfBuilder b;
        b.State(0);
        for (int32_t s : moving) {
            b.State(s).Speed(600.0f);
        }
        UseStateMachine(type, b.Build());
        PutHero(heroAt);
        hero.hp = 100000;
        reach = monster::ParamsOf(boss).radius;
        blocker = Place(1000, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f});
        FsfBuilder still;
        still.State(0);
        UseStateMachine(1000, still.Build());
        reach += monster::ParamsOf(blocker).radius;
        blockerAt = {0.0f, 0.0f, kHome.z + reach + gap};
        blocker->SetPosition(blockerAt);
        Ticks(2);
        ASSERT_NE(boss->target, nullptr);
    }
    // The boss back at home facing south, the body back in place, and
    // `ticks` frames in `state`.
    void MoveIn(int32_t state, int ticks)
    {
        boss->SetPosition(kHome);
        boss->SetDirection(kSouth);
        blocker->SetPosition(blockerAt);
        EnterBoss(boss, state);
        Ticks(ticks);
        EXPECT_EQ(boss->state, state);
    }
    // The distance between the two bodies' centres (each a sphere of its
    // Radius standing on the actor's position).
    float Apart() const
    {
        const RwV3d &a = *boss->GetPositionPtr();
        const RwV3d &b = *blocker->GetPositionPtr();
        const float dy = (a.y + monster::ParamsOf(boss).radius) - (b.y + monster::ParamsOf(blocker).radius);
        return std::sqrt((a.x - b.x) * (a.x - b.x) + dy * dy + (a.z - b.z) * (a.z - b.z));
    }

    AiObject *boss = nullptr;
    AiObject *blocker = nullptr;
    RwV3d blockerAt = {};
    float reach = 0.0f;
};

// Boss 1104 with its foe 10 ahead (near: it moves backwards, north).
TEST_F(BossBody, Boss1104CirclingOrBackingOffStopsAgainstABodyInItsWay)
{
    Setup(1104, {1, 2, 3}, {0.0f, 0.0f, kHome.z - 10.0f}, 15.0f);
    for (int32_t state : {1, 2}) {
        SCOPED_TRACE(state);
        MoveIn(state, 4);
        EXPECT_GT(boss->GetPositionPtr()->z, kHome.z + 5.0f);  // it did move
        EXPECT_NEAR(Apart(), reach, 0.5f);                       // up against the body
        EXPECT_GE(Apart(), reach - 0.01f);                       // never into it
    }
}

// Boss 1103 heads for its foe (north, beyond the body) in every state it
// moves in: walking (1, 2) it slides up against the body in its way, in
// its other states a step that would end in the body is not taken, so it
// halts short of it; walking and approaching (3) it turns to its motion,
// elsewhere it keeps its facing.
TEST_F(BossBody, Boss1103StopsAgainstABodyOnlyInItsWalksAndTurnsToItsMotionApproaching)
{
    Setup(1103, {1, 2, 3, 7}, {0.0f, 0.0f, kHome.z + 75.0f}, 15.0f);  // in sight
    for (int32_t state : {1, 2, 3, 7}) {
        SCOPED_TRACE(state);
        MoveIn(state, 4);
        const bool walking = state == 1 || state == 2;
        EXPECT_NEAR(boss->GetPositionPtr()->x, 0.0f, 0.01f);
        EXPECT_NEAR(Apart(), walking ? reach : reach + 5.0f, 0.5f);  // one step of 10 taken
        EXPECT_GE(Apart(), reach - 0.01f);
        RwV3d facing;
        boss->GetDirection(&facing);
        EXPECT_NEAR(facing.z, state != 7 ? 1.0f : -1.0f, 0.02f);
    }
}

}  // namespace

}  // namespace boss_idle_and_bodies_test
