// The hero's operations on a hero record with a template of its own (the
// sample hero's state machine and parameters, no model): level caps, the
// maxima's formulas, money, life and power within their bounds, equipping
// and taking off with the sums, super power, ability flags, damage with and
// without guard, the hurt, held and dying reactions, the burn and poison
// looks and the hit counter.
#include <gtest/gtest.h>

#include <cstring>

#include "actor/hero.h"
#include "actor/item_records.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"
#include "tools/mkdata/character_states.h"
#include "tools/mkdata/stage_files.h"

namespace hero_test {

namespace {

EquipContent Equip(int32_t id, int32_t type, int32_t prop1, int32_t prop2)
{
    EquipContent record;
    record.equipId = id;
    record.equipType = type;
    record.prop[0] = prop1;
    record.prop[1] = prop2;
    return record;
}

class HeroTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The first hero's parameters with the life and defence these
        // cases count with: MaxHP 2000, MaxPower 300, Defense 5.
        model.params = mkdata::SampleCharacterParams("HERO01");
        model.params.maxHP = 2000;
        model.params.maxPower = 300;
        model.params.defense = 5;
        model.fsf = mkdata::SampleStateMachine("HERO01");
        hero.modelTemplate = &model;
        hero.aiType = kAiTypeHero0;
        hero.hp = model.params.maxHP;
        hero.EnterState(kHeroStateStand);
    }

    CSModelTemplate model;
    CSHero hero;
    EquipContent sword = Equip(5100160, kEquipTypeWeapon, 10, 2);
    EquipContent vest = Equip(5200010, 1, 5, 0);
    EquipContent charm = Equip(5200020, 2, 0, 200);
};

TEST_F(HeroTest, LevelsStayWithinTheHeroTypesCaps)
{
    EXPECT_TRUE(hero.SetHPLevel(5));
    EXPECT_FALSE(hero.SetHPLevel(6));
    EXPECT_FALSE(hero.SetHPLevel(-1));
    EXPECT_EQ(hero.hpLevel, 5);
    EXPECT_TRUE(hero.SetPowerLevel(3));
    EXPECT_FALSE(hero.SetPowerLevel(4));
    EXPECT_EQ(hero.powerLevel, 3);
    hero.aiType = kAiTypeHero1;
    EXPECT_FALSE(hero.SetHPLevel(5));
    EXPECT_TRUE(hero.SetHPLevel(4));
    EXPECT_TRUE(hero.SetPowerLevel(5));
    EXPECT_FALSE(hero.SetPowerLevel(6));
}

TEST_F(HeroTest, MaximaFollowLevelsAndEquipment)
{
    EXPECT_EQ(hero.GetMaxHP(), 2000);
    EXPECT_EQ(hero.GetMaxPower(), 300);
    hero.SetHPLevel(2);
    hero.SetPowerLevel(3);
    EXPECT_EQ(hero.GetMaxHP(), 2 * 500 + 2000);
    EXPECT_EQ(hero.GetMaxPower(), 3 * 100 + 300);
    ASSERT_TRUE(hero.EquipItem(&charm, 1));
    EXPECT_EQ(hero.GetMaxHP(), 3000 + 200);  // recomputed on the way
    hero.hp = 3200;
    hero.UnequipSlot(1);
    EXPECT_EQ(hero.GetMaxHP(), 3000);
    EXPECT_EQ(hero.hp, 3000);  // the life above the new maximum is gone
    // A hero without its figure's parameters has only what its levels give.
    CSHero bare;
    EXPECT_EQ(bare.GetMaxHP(), 0);
    EXPECT_EQ(bare.GetMaxPower(), 0);
    bare.SetHPLevel(2);
    bare.SetPowerLevel(1);
    EXPECT_EQ(bare.GetMaxHP(), 2 * 500);
    EXPECT_EQ(bare.GetMaxPower(), 100);
}

TEST_F(HeroTest, MoneyLifeAndPowerStayWithinTheirBounds)
{
    hero.SetMoney(-5);
    EXPECT_EQ(hero.money, 0);
    hero.SetMoney(1000000000);
    EXPECT_EQ(hero.money, 999999);
    hero.SetMoney(1234);
    EXPECT_EQ(hero.money, 1234);
    hero.hp = 1990;
    hero.AddHP(50);
    EXPECT_EQ(hero.hp, 2000);
    hero.AddHP(-3000);
    EXPECT_EQ(hero.hp, 0);
    hero.AddHP(INT32_MAX);
    EXPECT_EQ(hero.hp, 2000);
    hero.power = 250;
    hero.AddPower(100);
    EXPECT_EQ(hero.power, 300);
    hero.AddPower(INT32_MIN);
    EXPECT_EQ(hero.power, 0);
}

TEST_F(HeroTest, EquipmentSumsIntoTheHerosValues)
{
    EXPECT_FALSE(hero.EquipItem(nullptr, 0));
    EXPECT_FALSE(hero.EquipItem(&vest, 3));
    EXPECT_FALSE(hero.EquipItem(&vest, -1));
    EXPECT_EQ(hero.GetEquippedItem(3), nullptr);
    ASSERT_TRUE(hero.EquipItem(&sword, kHeroWeaponSlot));
    ASSERT_TRUE(hero.EquipItem(&vest, 0));
    EXPECT_TRUE(hero.equipmentDirty);
    hero.RecomputeEquipment();
    EXPECT_FALSE(hero.equipmentDirty);
    EXPECT_EQ(hero.GetEquippedItem(kHeroWeaponSlot), &sword);
    EXPECT_EQ(hero.GetAttackBonus(), 10);
    EXPECT_EQ(hero.weaponProp[0], 10);
    EXPECT_EQ(hero.weaponProp[1], 2);
    EXPECT_EQ(hero.armourProp[0], 5);
    EXPECT_EQ(hero.armourProp[1], 0);
    EXPECT_EQ(hero.GetDefense(), 5 + 5);
    // Both armour slots sum: the charm adds its life to the vest's defence.
    ASSERT_TRUE(hero.EquipItem(&charm, 1));
    hero.RecomputeEquipment();
    EXPECT_EQ(hero.armourProp[0], 5);
    EXPECT_EQ(hero.armourProp[1], 200);
    EXPECT_EQ(hero.weaponProp[1], 2);
    // Taking off: 1 for a worn slot and an empty one, 0 for others.
    EXPECT_EQ(hero.UnequipSlot(kHeroWeaponSlot), 1);
    EXPECT_EQ(hero.UnequipSlot(kHeroWeaponSlot), 1);
    EXPECT_EQ(hero.UnequipSlot(3), 0);
    EXPECT_EQ(hero.GetAttackBonus(), 0);
    EXPECT_EQ(hero.GetDefense(), 10);
    // Super power outranks the equipment until it is switched off.
    hero.EquipItem(&sword, kHeroWeaponSlot);
    hero.SetSuperPower(true);
    EXPECT_EQ(hero.GetAttackBonus(), 999999);
    hero.SetSuperPower(false);
    EXPECT_EQ(hero.GetAttackBonus(), 10);
}

TEST_F(HeroTest, OnlyTheOpenAbilityFlagsAreReadAndSet)
{
    EXPECT_EQ(hero.GetAbilityFlag(0), 0);
    EXPECT_EQ(hero.GetAbilityFlag(9), 0);
    hero.SetAbilityFlag(1, 0);
    EXPECT_EQ(hero.abilityFlags[1], 1);
    hero.SetAbilityFlag(8, 1);
    hero.SetAbilityFlag(3, 1);
    EXPECT_EQ(hero.GetAbilityFlag(8), 1);
    EXPECT_EQ(hero.GetAbilityFlag(3), 1);
    EXPECT_EQ(hero.GetAbilityFlag(4), 0);
    // Past either end nothing of the hero changes.
    unsigned char before[sizeof hero];
    std::memcpy(before, static_cast<const void *>(&hero), sizeof hero);
    hero.SetAbilityFlag(-2, 1);
    hero.SetAbilityFlag(2, 0);
    hero.SetAbilityFlag(9, 1);
    hero.SetAbilityFlag(100, 1);
    EXPECT_EQ(std::memcmp(before, static_cast<const void *>(&hero), sizeof hero), 0);
}

TEST_F(HeroTest, HitsCostLifeUnlessTheHeroGuards)
{
    hero.EquipItem(&vest, 0);  // defence 5 + 5
    hero.TakeHit(nullptr, kAtkPlain, 100);
    EXPECT_EQ(hero.hp, 2000 - 90);
    EXPECT_EQ(hero.state, kHeroStateHurt);
    hero.TakeHit(nullptr, kAtkPlain, 4);  // less than the defence costs nothing
    EXPECT_EQ(hero.hp, 1910);
    hero.EnterState(kHeroStateStand);
    hero.TakeHit(nullptr, kAtkPlain | kAtkHeavy, 50);
    EXPECT_EQ(hero.hp, 1870);
    EXPECT_EQ(hero.state, kHeroStateKnockedDown);
    hero.TakeHit(nullptr, kAtkPlain, 500);  // knocked down: no damage
    EXPECT_EQ(hero.hp, 1870);
    hero.EnterState(kHeroStateGuard);
    EXPECT_TRUE(hero.guarding);
    hero.TakeHit(nullptr, kAtkPlain | kAtkHeavy | kAtkBurn, 1000);
    EXPECT_EQ(hero.hp, 1870);
    EXPECT_EQ(hero.state, kHeroStateGuard);
    EXPECT_FALSE(hero.burnEffect);
}

// A state whose machine lets no reaction through (an attack that carries
// on through a hit) takes the damage and keeps going; from a state that
// lets them through the hit makes the hero flinch.
TEST_F(HeroTest, AStateWithoutReactionsCarriesOnThroughAHit)
{
    model.fsf = mkdata::BuildStateMachine(
        {
            {kHeroStateStand, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{40, 40, 1}}, true},
            {kHeroStateKnockedDown, 0.0f, 0.0f, 0, 0, 0, 0, {}, {{0, 0, 0}}, false},
            {kHeroStateHurt, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{0, 0, 0}}, false},
            {40, 5.0f, 0.0f, 1, 0, 10, kAtkPlain, {100130}, {{0, 0, 0}}, false},
        },
        {{kHeroStateHurt, kHeroStateHurt, 1}, {kHeroStateKnockedDown, kHeroStateKnockedDown, 1}}, 0.15f);
    hero.EnterState(40);
    hero.TakeHit(nullptr, kAtkPlain, 100);
    EXPECT_EQ(hero.hp, 2000 - 95);
    EXPECT_EQ(hero.state, 40);
    hero.TakeHit(nullptr, kAtkPlain | kAtkHeavy, 100);
    EXPECT_EQ(hero.hp, 2000 - 190);
    EXPECT_EQ(hero.state, 40);
    hero.EnterState(kHeroStateStand);
    hero.TakeHit(nullptr, kAtkPlain | kAtkHeavy, 100);
    EXPECT_EQ(hero.state, kHeroStateKnockedDown);
}

// A blow whose way in the machine leads back to standing (state 0, a state
// like any other) stands the hero: it neither flinches nor swings on.
TEST_F(HeroTest, ABlowWhoseWayLeadsToStandingStandsTheHero)
{
    model.fsf = mkdata::BuildStateMachine(
        {
            {kHeroStateStand, 0.0f, 0.0f, 1, 1, 0, 0, {}, {}, false},
            {kHeroStateHurt, 0.0f, 0.0f, 1, 0, 0, 0, {}, {}, false},
            {40, 5.0f, 0.0f, 1, 0, 10, kAtkPlain, {}, {{kHeroStateHurt, kHeroStateStand, 1}}, false},
        },
        {}, 0.15f);
    hero.EnterState(40);
    hero.TakeHit(nullptr, kAtkPlain, 100);
    EXPECT_EQ(hero.hp, 2000 - 95);
    EXPECT_EQ(hero.state, kHeroStateStand);
    EXPECT_FALSE(hero.attacking);
}

// Let go, the hero goes where its machine leads out of the hold (here to
// getting up); only a machine without that way puts it straight to standing.
TEST_F(HeroTest, LetGoTheHeroTakesItsMachinesWayOutOfTheHold)
{
    model.fsf = mkdata::BuildStateMachine(
        {
            {kHeroStateStand, 0.0f, 0.0f, 1, 1, 0, 0, {}, {}, true},
            {kHeroStateGettingUp, 0.0f, 0.0f, 0, 0, 0, 0, {}, {{kHeroInputStand, kHeroStateStand, 1}}, false},
            {kHeroStateHeld, 0.0f, 0.0f, 1, 0, 0, 0, {}, {{kHeroInputStand, kHeroStateGettingUp, 1}}, false},
        },
        {{kHeroStateHeld, kHeroStateHeld, 1}}, 0.15f);
    AiObject monster;
    hero.EnterState(kHeroStateStand);
    hero.TakeHit(&monster, kAtkGrab, 0);
    ASSERT_EQ(hero.state, kHeroStateHeld);
    hero.TakeHit(&monster, kAtkReleaseHeld, 0);
    EXPECT_FALSE(hero.held);
    EXPECT_EQ(hero.state, kHeroStateGettingUp);
    EXPECT_TRUE(hero.state5);
}

// The flags other actors read off the hero follow the state it enters:
// attacking in 40 to 84, getting up in 5, guarding in 30, grabbable and
// hurtable as the state machine says, a target unless dying.
TEST_F(HeroTest, EachStateSetsTheFlagsOtherActorsRead)
{
    for (int32_t id : {0, 1, 4, 5, 21, 22, 23, 30, 40, 41, 42, 50, 51, 52}) {
        hero.EnterState(id);
        EXPECT_EQ(hero.attacking, id >= 40 && id <= 84) << id;
        EXPECT_EQ(hero.state5, id == 5) << id;
        EXPECT_EQ(hero.guarding, id == 30) << id;
        EXPECT_EQ(hero.grabbable, model.fsf.GetIsGrab(id) != 0) << id;
        EXPECT_EQ(hero.hurtable, model.fsf.GetIsHurt(id) != 0) << id;
        EXPECT_EQ(hero.targetable, id != 23) << id;
    }
    EXPECT_TRUE(hero.grabbable == false);  // the last blow's state grabs nothing
    hero.EnterState(0);
    EXPECT_TRUE(hero.grabbable);
    hero.EnterState(4);
    EXPECT_FALSE(hero.hurtable);
}

TEST_F(HeroTest, BurnAndPoisonLooksLastFiveSeconds)
{
    hero.TakeHit(nullptr, kAtkBurn, 10);
    EXPECT_TRUE(hero.burnEffect);
    EXPECT_FALSE(hero.poisonTint);
    hero.StepHitAndStatusTimers(3.0f);
    hero.TakeHit(nullptr, kAtkPoison, 10);
    hero.StepHitAndStatusTimers(2.1f);
    EXPECT_FALSE(hero.burnEffect);
    EXPECT_TRUE(hero.poisonTint);
    hero.StepHitAndStatusTimers(3.0f);
    EXPECT_FALSE(hero.poisonTint);
    // Both end on the very step their five seconds do.
    hero.TakeHit(nullptr, kAtkBurn | kAtkPoison, 10);
    hero.StepHitAndStatusTimers(4.0f);
    EXPECT_TRUE(hero.burnEffect);
    EXPECT_TRUE(hero.poisonTint);
    hero.StepHitAndStatusTimers(1.0f);
    EXPECT_FALSE(hero.burnEffect);
    EXPECT_FALSE(hero.poisonTint);
    hero.resistance = kAtkBurn;
    hero.EnterState(kHeroStateStand);
    hero.TakeHit(nullptr, kAtkBurn | kAtkPoison, 10);
    EXPECT_FALSE(hero.burnEffect);
    EXPECT_TRUE(hero.poisonTint);
}

TEST_F(HeroTest, AGrabHoldsTheHeroUntilItIsLetGo)
{
    AiObject monster;
    hero.TakeHit(&monster, kAtkGrab, 0);
    EXPECT_TRUE(hero.held);
    EXPECT_EQ(hero.state, kHeroStateHeld);
    hero.TakeHit(&monster, kAtkHeldDamage, 40);
    EXPECT_EQ(hero.state, kHeroStateHeld);  // held damage leaves it held
    EXPECT_TRUE(hero.held);
    EXPECT_EQ(hero.hp, 2000 - 35);
    EXPECT_EQ(hero.lastAttacker, &monster);
    hero.TakeHit(&monster, kAtkReleaseHeld | kAtkPlain, 0);  // 512 only alone lets go
    EXPECT_TRUE(hero.held);
    hero.TakeHit(&monster, kAtkReleaseHeld, 0);
    EXPECT_FALSE(hero.held);
    EXPECT_EQ(hero.state, kHeroStateStand);
}

TEST_F(HeroTest, NoLifeLeftLeadsToDyingAndThenDefeat)
{
    CSStageManager stage;
    hero.TakeHit(nullptr, kAtkPlain, 5000);
    EXPECT_EQ(hero.hp, 0);
    EXPECT_EQ(hero.state, kHeroStateStand);  // no flinch: the killing hit leads to dying alone
    hero.UpdateHero(&stage, 0.016f);
    EXPECT_EQ(hero.state, kHeroStateDying);
    EXPECT_TRUE(hero.dying);
    EXPECT_FALSE(hero.defeated);
    hero.TakeHit(nullptr, kAtkGrab, 10);  // nothing reaches a dying hero
    EXPECT_FALSE(hero.held);
    // The dying motion is a second long (frames 60..120 of the sample).
    for (int i = 0; i < 70 && !hero.defeated; ++i) {
        hero.UpdateHero(&stage, 0.016f);
    }
    EXPECT_TRUE(hero.defeated);
    EXPECT_EQ(hero.state, kHeroStateDying);
}

// Dying and being seized happen whatever the state, also from one whose
// machine has no way there; a machine that has no held state at all leaves
// the seized hero standing, never in a state it cannot play.
TEST_F(HeroTest, DyingAndBeingSeizedNeedNoWayThereButAStateToGoTo)
{
    model.fsf = mkdata::BuildStateMachine(
        {
            {kHeroStateStand, 0.0f, 0.0f, 1, 1, 0, 0, {}, {}, false},
            {kHeroStateDying, 0.0f, 0.0f, 0, 0, 0, 0, {}, {}, false},
        },
        {}, 0.15f);
    hero.EnterState(kHeroStateStand);
    AiObject monster;
    hero.TakeHit(&monster, kAtkGrab, 0);
    EXPECT_TRUE(hero.held);
    EXPECT_EQ(hero.state, kHeroStateStand);
    hero.TakeHit(&monster, kAtkReleaseHeld, 0);
    EXPECT_FALSE(hero.held);
    CSStageManager stage;
    hero.TakeHit(nullptr, kAtkPlain, 5000);
    hero.UpdateHero(&stage, 0.016f);
    EXPECT_EQ(hero.state, kHeroStateDying);
    EXPECT_TRUE(hero.dying);
}

// A hero taken off the stage, or updated with no stage, stands as it was:
// no dying from a killing hit, no timers running; back on, it goes on.
TEST_F(HeroTest, ARemovedHeroOrOneWithNoStageIsLeftAsItWas)
{
    CSStageManager stage;
    hero.CountLandedHit();
    hero.TakeHit(nullptr, kAtkPlain, 5000);
    hero.removed = true;
    hero.UpdateHero(&stage, 5.0f);
    EXPECT_EQ(hero.state, kHeroStateStand);
    EXPECT_FALSE(hero.dying);
    EXPECT_EQ(hero.hitCounter, 1);
    hero.removed = false;
    hero.UpdateHero(nullptr, 5.0f);
    EXPECT_EQ(hero.state, kHeroStateStand);
    EXPECT_EQ(hero.hitCounter, 1);
    hero.UpdateHero(&stage, 0.016f);
    EXPECT_EQ(hero.state, kHeroStateDying);
}

TEST_F(HeroTest, TheHitCounterFallsBackAfterThreeSecondsAndKeepsTheBest)
{
    for (int i = 0; i < 4; ++i) {
        hero.CountLandedHit();
    }
    EXPECT_EQ(hero.hitCounter, 4);
    hero.StepHitAndStatusTimers(2.9f);
    EXPECT_EQ(hero.hitCounter, 4);
    hero.CountLandedHit();  // a hit restarts the wait
    hero.StepHitAndStatusTimers(2.9f);
    EXPECT_EQ(hero.hitCounter, 5);
    hero.StepHitAndStatusTimers(0.2f);
    EXPECT_EQ(hero.hitCounter, 0);
    EXPECT_EQ(hero.bestHitCounter, 5);
    hero.CountLandedHit();
    EXPECT_EQ(hero.hitCounter, 1);
    EXPECT_EQ(hero.bestHitCounter, 5);
    hero.StepHitAndStatusTimers(3.0f);  // gone on the very step its three seconds end
    EXPECT_EQ(hero.hitCounter, 0);
    // However long no hit came, the next one starts the count and its wait anew.
    hero.StepHitAndStatusTimers(2.5f);
    hero.CountLandedHit();
    hero.StepHitAndStatusTimers(2.9f);
    EXPECT_EQ(hero.hitCounter, 1);
}

}  // namespace

}  // namespace hero_test
