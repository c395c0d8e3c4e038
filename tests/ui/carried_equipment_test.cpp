// The carried hero block put on the hero at a game's start: levels and
// money as before, and now the equipment of its three slots (a weapon only
// in slot 2, armour only in 0 and 1; an empty or unknown slot keeps the
// start weapon) and the learned abilities 3 to 8, so that the status page
// shows what the loaded game wore.
#include <gtest/gtest.h>

#include "tests/ui/pause_support.h"

namespace carried_equipment_test {

namespace {

class CarriedEquipmentTest : public pausetest::PauseTest {};

TEST_F(CarriedEquipmentTest, TheBlocksEquipmentAndAbilitiesAreWorn)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    Wear(5100160, kHeroWeaponSlot);  // the start weapon of a freshly loaded hero
    ui->heroBlock.equipped[0] = 5100010;
    ui->heroBlock.equipped[1] = 0;
    ui->heroBlock.equipped[2] = 5100170;
    ui->heroBlock.abilityFlags[3] = 1;
    ui->heroBlock.abilityFlags[8] = 1;
    ui->heroBlock.money = 4321;
    ui->ApplyCarriedState();
    EXPECT_EQ(Worn(0), 5100010);
    EXPECT_EQ(Worn(1), 0);
    EXPECT_EQ(Worn(kHeroWeaponSlot), 5100170);
    EXPECT_EQ(hero->GetAttackBonus(), 90);  // the steel sword's
    EXPECT_EQ(hero->GetDefense() - hero->modelTemplate->params.defense, 8);
    EXPECT_EQ(hero->GetAbilityFlag(3), 1);
    EXPECT_EQ(hero->GetAbilityFlag(5), 0);
    EXPECT_EQ(hero->GetAbilityFlag(8), 1);
    EXPECT_EQ(hero->money, 4321);
}

TEST_F(CarriedEquipmentTest, SlotsOfTheWrongKindOrUnknownIdsKeepWhatIsWorn)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    Wear(5100160, kHeroWeaponSlot);
    ui->heroBlock.equipped[0] = 5100170;  // a weapon in an armour slot
    ui->heroBlock.equipped[1] = 9999999;  // no such item
    ui->heroBlock.equipped[2] = 5100020;  // armour in the weapon slot
    ui->ApplyCarriedState();
    EXPECT_EQ(Worn(0), 0);
    EXPECT_EQ(Worn(1), 0);
    EXPECT_EQ(Worn(kHeroWeaponSlot), 5100160);
    // A new game's block (all zero) leaves the start weapon on.
    ui->ResetHeroBlock();
    ui->ApplyCarriedState();
    EXPECT_EQ(Worn(kHeroWeaponSlot), 5100160);
    EXPECT_EQ(hero->GetAbilityFlag(3), 0);
}

}  // namespace

}  // namespace carried_equipment_test
