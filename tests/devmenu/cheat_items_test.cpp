// The menu's cheats and switches frame by frame from scripted pad states:
// the exact labels, the clamps, what circle applies to every hero, the
// switches reaching the systems that read them, and the equipment browser
// with and without a hero.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "actor/actor_pass.h"
#include "actor/hero.h"
#include "actor/item_records.h"
#include "stage/model_template.h"
#include "tests/devmenu/dev_menu_test_support.h"

namespace cheat_items_test {

namespace {

using devmenutest::MenuHarness;

// The menu open on an entered item, with `heroes` heroes in the stage.
class CheatMenu : public ::testing::Test {
protected:
    void Enter(int32_t item, int heroes = 2)
    {
        for (int i = 0; i < heroes; ++i) {
            hero[i] = std::make_unique<CSHero>();
            hero[i]->modelTemplate = &templates[i];
            hero[i]->aiType = i;
            h.stage.heroes[i] = hero[i].get();
        }
        h.stage.heroCount = static_cast<uint8_t>(heroes);
        h.menu.Open(1, 0);
        h.menu.activeItem = item;
        h.menu.inItem = 1;
    }
    void TearDown() override
    {
        for (CSHero *&slot : h.stage.heroes) {
            slot = nullptr;
        }
        h.stage.heroCount = 0;
        g_actorPassSkipsAnimation = false;
    }
    // Walks the ability entries to `entry` (from 0).
    void ToEntry(int entry) { h.Press(kPadRight, entry); }

    MenuHarness h;
    CSModelTemplate templates[2];
    std::unique_ptr<CSHero> hero[2];
};

TEST_F(CheatMenu, AbilityLabelsAreExact)
{
    Enter(kItemFillAbility);
    h.Tick();
    EXPECT_EQ(h.Label(), "Increase HP useless now!");
    const char *labels[] = {"Normal Power!", "Ready to be the super-man!", "Combo Count : 3", "Move Collision : true",
                            " HP Heal", "MP Add", "Ex Add"};
    for (const char *label : labels) {
        h.Press(kPadRight);
        EXPECT_EQ(h.Label(), label);
    }
    h.Press(kPadRight);
    EXPECT_EQ(h.Label(), "Give me money!!! : + 0 0000");
    h.Press(kPadRight, 3);
    EXPECT_EQ(h.Label(), "Oh! Don't take my money away!!! : - 0 0000") << "right stops at entry 9";
    // Left walks back one entry at a time.
    h.Press(kPadLeft);
    EXPECT_EQ(h.Label(), "Give me money!!! : + 0 0000");
    h.Press(kPadLeft);
    EXPECT_EQ(h.Label(), "Ex Add");
    h.Press(kPadLeft, 12);
    EXPECT_EQ(h.Label(), "Increase HP useless now!") << "left stops at entry 0";
}

TEST_F(CheatMenu, MoneyDigitsShowTheCursorDigitBetweenBlanks)
{
    Enter(kItemFillAbility);
    ToEntry(8);
    for (int d = 0; d < 5; ++d) {
        h.Press(kPadUp, d + 1);
        h.Press(kPadR2);
    }
    h.Press(kPadL2, 2);
    EXPECT_EQ(h.menu.digitCursor, 2);
    EXPECT_EQ(h.Label(), "Give me money!!! : +12 3 45");
    h.Press(kPadR2, 5);
    EXPECT_EQ(h.menu.digitCursor, 4) << "r2 stops at the last digit";
    h.Press(kPadUp, 9);
    EXPECT_EQ(h.menu.moneyDigits[4], 9) << "a digit stops at 9";
    h.Press(kPadDown, 12);
    EXPECT_EQ(h.menu.moneyDigits[4], 0) << "and at 0";
}

TEST_F(CheatMenu, ComboCountClampsAndCircleSetsTheFlagsOnEveryHero)
{
    Enter(kItemFillAbility);
    ToEntry(3);
    h.Press(kPadDown);
    EXPECT_EQ(h.Label(), "Combo Count : 3");
    h.Press(kPadUp, 7);
    EXPECT_EQ(h.Label(), "Combo Count : 8");
    h.Press(kPadDown, 3);
    EXPECT_EQ(h.Label(), "Combo Count : 5");
    for (int i = 0; i < 2; ++i) {
        for (int k = 3; k <= 8; ++k) {
            hero[i]->SetAbilityFlag(k, k > 5 ? 1 : 0);
        }
    }
    h.Tick({kPadCircle});
    EXPECT_FALSE(h.menu.IsOpen());
    for (int i = 0; i < 2; ++i) {
        for (int k = 3; k <= 8; ++k) {
            EXPECT_EQ(hero[i]->GetAbilityFlag(k), k <= 5 ? 1 : 0) << "hero " << i << " flag " << k;
        }
    }
}

// Entries 1, 2, 5, 6 and 7 on circle, each for every hero: super power off
// and on, life, power and extra power filled up to their maxima.
TEST_F(CheatMenu, ThePowerAndFillEntriesActOnEveryHero)
{
    for (CSModelTemplate &t : templates) {
        t.params.maxHP = 2000;
        t.params.maxPower = 300;
        t.params.mExtraPower = 500;
    }
    Enter(kItemFillAbility);
    auto apply = [&](int entry) {
        h.menu.Open(1, 0);
        h.menu.activeItem = kItemFillAbility;
        h.menu.inItem = 1;
        h.Press(kPadLeft, 9);
        ToEntry(entry);
        h.Tick({kPadCircle});
        EXPECT_FALSE(h.menu.IsOpen()) << entry;
    };
    apply(2);
    EXPECT_TRUE(hero[0]->superPower);
    EXPECT_TRUE(hero[1]->superPower);
    apply(1);
    EXPECT_FALSE(hero[0]->superPower);
    EXPECT_FALSE(hero[1]->superPower);
    for (int i = 0; i < 2; ++i) {
        hero[i]->hp = 10;
        hero[i]->power = 20;
        hero[i]->extraPower = 30;
    }
    apply(5);
    apply(6);
    apply(7);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(hero[i]->hp, 2000) << i;
        EXPECT_EQ(hero[i]->power, 300) << i;
        EXPECT_EQ(hero[i]->extraPower, 500) << i;
    }
}

TEST_F(CheatMenu, MoneyIsAddedUpTo999999AndTakenDownTo0)
{
    Enter(kItemFillAbility);
    hero[0]->money = 999990;
    hero[1]->money = 50;
    ToEntry(8);
    h.Press(kPadR2, 2);
    h.Press(kPadUp);  // amount 00100
    h.Tick({kPadCircle});
    EXPECT_EQ(hero[0]->money, 999999);
    EXPECT_EQ(hero[1]->money, 150);

    h.menu.Open(1, 0);
    h.menu.activeItem = kItemFillAbility;
    h.menu.inItem = 1;
    ToEntry(9);
    EXPECT_EQ(h.Label(), "Oh! Don't take my money away!!! : - 0 0100") << "the digits live with the menu";
    hero[1]->money = 50;
    h.Tick({kPadCircle});
    EXPECT_EQ(hero[0]->money, 999899);
    EXPECT_EQ(hero[1]->money, 0);
}

TEST_F(CheatMenu, L2AndR2ActOnlyOnTheMoneyEntries)
{
    Enter(kItemFillAbility);
    for (int entry = 0; entry < 8; ++entry) {
        h.Press(kPadR2);
        EXPECT_EQ(h.menu.digitCursor, 0) << entry;
        h.Press(kPadRight);
    }
    h.Press(kPadR2);
    EXPECT_EQ(h.menu.digitCursor, 1);
    h.Press(kPadRight);
    h.Press(kPadR2);
    EXPECT_EQ(h.menu.digitCursor, 2);
    h.Press(kPadL2, 3);
    EXPECT_EQ(h.menu.digitCursor, 0);
}

TEST_F(CheatMenu, MoveCollisionFlipsOnUpAndDownAndCircleOnlyCloses)
{
    Enter(kItemFillAbility);
    ToEntry(4);
    EXPECT_EQ(h.gs.moveCollision, 1);
    h.Press(kPadUp);
    EXPECT_EQ(h.gs.moveCollision, 0);
    EXPECT_EQ(h.Label(), "Move Collision : false");
    h.Press(kPadDown);
    EXPECT_EQ(h.gs.moveCollision, 1);
    EXPECT_EQ(h.Label(), "Move Collision : true");
    h.Tick({kPadCircle});
    EXPECT_FALSE(h.menu.IsOpen());
    EXPECT_EQ(h.gs.moveCollision, 1);
}

TEST_F(CheatMenu, CircleOnEntryZeroOnlyClosesTheMenu)
{
    Enter(kItemFillAbility);
    hero[0]->hp = 7;
    hero[0]->money = 3;
    h.Tick({kPadCircle});
    EXPECT_FALSE(h.menu.IsOpen());
    EXPECT_EQ(hero[0]->hp, 7);
    EXPECT_EQ(hero[0]->money, 3);
}

TEST_F(CheatMenu, WithNoHeroTheCheatsDoNothingAndTheMenuCloses)
{
    Enter(kItemFillAbility, 0);
    ToEntry(8);
    h.Press(kPadUp);
    h.Tick({kPadCircle});
    EXPECT_FALSE(h.menu.IsOpen());
    // Nor with no stage at all (the harness puts the stage back).
    g_pStageManager = nullptr;
    for (int entry : {1, 2, 3, 5, 6, 7, 8, 9}) {
        h.menu.Open(1, 0);
        h.menu.activeItem = kItemFillAbility;
        h.menu.inItem = 1;
        h.menu.abilityEntry = entry;
        h.Tick({kPadCircle});
        EXPECT_FALSE(h.menu.IsOpen()) << entry;
    }
}

TEST_F(CheatMenu, EquipmentBrowsesTheSlotsOfHeroZero)
{
    Enter(kItemEquipment);
    h.Tick();
    EXPECT_EQ(h.Label(), "None Ring") << "a hero without a ring";
    EXPECT_EQ(h.menu.equipmentId, 5100040);
    h.Press(kPadUp);
    EXPECT_EQ(h.menu.equipmentId, 5100030);
    EXPECT_EQ(h.Label(), "None Ring") << "a real id leaves the label as it was";
    h.Press(kPadUp, 5);
    EXPECT_EQ(h.menu.equipmentId, 5100000) << "up stops at the slot's lowest id";
    h.Press(kPadDown, 6);
    EXPECT_EQ(h.menu.equipmentId, 5100040) << "down stops at the no-item value";

    EquipContent pin;
    pin.equipId = 5100050;
    hero[0]->equipped[1] = &pin;
    h.Press(kPadRight);
    EXPECT_EQ(h.menu.equipmentSlot, 1);
    EXPECT_EQ(h.menu.equipmentId, 5100050) << "the worn pin";
    // Each slot's own range, to both ends.
    h.Press(kPadUp, 5);
    EXPECT_EQ(h.menu.equipmentId, 5100040) << "the pins' lowest id";
    h.Press(kPadDown, 6);
    EXPECT_EQ(h.menu.equipmentId, 5100080) << "the pins' no-item value";
    EXPECT_EQ(h.Label(), "None Pin");
    h.Press(kPadRight, 3);
    EXPECT_EQ(h.menu.equipmentSlot, 2) << "right stops at slot 2";
    EXPECT_EQ(h.menu.equipmentId, 5100110) << "no bracer worn";
    EXPECT_EQ(h.Label(), "None bracer");
    h.Press(kPadUp);
    EXPECT_EQ(h.menu.equipmentId, 5100100) << "the bracers' highest id";
    h.Press(kPadUp, 5);
    EXPECT_EQ(h.menu.equipmentId, 5100080) << "the bracers' lowest id";
    h.Press(kPadLeft);
    EXPECT_EQ(h.menu.equipmentId, 5100050);
    hero[0]->equipped[1] = nullptr;
    h.Tick({kPadCircle});
    EXPECT_FALSE(h.menu.IsOpen());
}

TEST_F(CheatMenu, EquipmentWithNoHeroShowsTheNoItemText)
{
    Enter(kItemEquipment, 0);
    h.Tick();
    EXPECT_EQ(h.Label(), "None Ring");
    h.Press(kPadRight);
    EXPECT_EQ(h.Label(), "None Pin");
    h.menu.heroIndex = 1;  // a hero index beyond the heroes there are
    h.Press(kPadRight);
    EXPECT_EQ(h.Label(), "None bracer");
}

TEST_F(CheatMenu, DisplayAndSafeScreenSwitches)
{
    Enter(kItemDisplayInfo, 0);
    h.Tick();
    EXPECT_EQ(h.Label(), "DisplayInfo : NONE");
    h.Press(kPadLeft);
    EXPECT_EQ(h.gs.displayInfoMode, 0u);
    const char *labels[] = {"DisplayInfo : FPS", "DisplayInfo : FPS & MEM", "DisplayInfo : ALL", "DisplayInfo : ALL"};
    for (const char *label : labels) {
        h.Press(kPadRight);
        EXPECT_EQ(h.Label(), label);
    }
    EXPECT_EQ(h.gs.displayInfoMode, 3u) << "the statistics overlay reads it";
    h.Tick({kPadCircle});
    EXPECT_EQ(h.menu.inItem, 0);
    EXPECT_TRUE(h.menu.IsOpen()) << "circle only leaves the item";

    h.menu.activeItem = kItemSafeScreen;
    h.menu.inItem = 1;
    h.Tick();
    EXPECT_EQ(h.Label(), "Safe-Screen Off");
    h.Tick({kPadLeft, kPadRight});
    EXPECT_EQ(h.Label(), "Safe-Screen On") << "left and right together flip once";
    h.Tick({kPadCross});
    EXPECT_EQ(h.menu.inItem, 0);
}

TEST_F(CheatMenu, RenderSwitchesClampAndStayAfterClosing)
{
    Enter(kItemRenderWall, 0);
    h.Tick();
    EXPECT_EQ(h.Label(), "Render no Wall");
    const char *walls[] = {"Render Wall", "Render Camera Wall", "Render both Wall", "Render both Wall"};
    for (const char *label : walls) {
        h.Press(kPadRight);
        EXPECT_EQ(h.Label(), label);
    }
    h.Tick({kPadCircle});
    EXPECT_FALSE(h.menu.IsOpen());
    EXPECT_EQ(h.menu.wallMode, 3);

    h.menu.Open(1, 0);
    h.menu.activeItem = kItemWireFrame;
    h.menu.inItem = 1;
    h.Tick();
    EXPECT_EQ(h.Label(), "Wire Frame : NONE");
    const char *wires[] = {"Wire Frame : BSP", "Wire Frame : DFF", "Wire Frame : ALL"};
    for (const char *label : wires) {
        h.Press(kPadRight);
        EXPECT_EQ(h.Label(), label);
    }
    h.Press(kPadLeft, 5);
    EXPECT_EQ(h.menu.wireFrameMode, 0);

    h.menu.activeItem = kItemHiddenCharacter;
    h.Tick();
    EXPECT_EQ(h.Label(), "According to System info");
    h.Press(kPadRight);
    EXPECT_EQ(h.Label(), "Open all hidden character");

    h.menu.activeItem = kItemGameStream;
    h.Tick();
    EXPECT_EQ(h.Label(), "Press A to load");
    h.menu.activeItem = kItemWriteLog;
    h.Tick();
    EXPECT_EQ(h.Label(), "Press A to write log");
}

TEST_F(CheatMenu, UpdateHierarchyHoldsTheActorsAnimationPass)
{
    Enter(kItemUpdateHierarchy, 0);
    h.Tick();
    EXPECT_EQ(h.Label(), "Update hierarchy : Yes");
    h.Press(kPadRight);
    EXPECT_EQ(h.Label(), "Update hierarchy : No");
    EXPECT_TRUE(g_actorPassSkipsAnimation);
    h.Tick({kPadCircle});
    EXPECT_FALSE(h.menu.IsOpen());
    EXPECT_TRUE(g_actorPassSkipsAnimation) << "the switch stays after the menu closes";
}

TEST_F(CheatMenu, LoadModeReachesTheStageOnCircle)
{
    Enter(kItemLoadMode, 0);
    h.Tick();
    EXPECT_EQ(h.Label(), "Use Single Thread Loading");
    h.Press(kPadLeft);
    EXPECT_EQ(h.Label(), "Use Multi Thread Loading");
    EXPECT_EQ(h.stage.IsThreadedLoading(), 0) << "only circle applies it";
    h.Tick({kPadCircle});
    EXPECT_EQ(h.stage.IsThreadedLoading(), 1);
    h.menu.Open(1, 0);
    EXPECT_EQ(h.menu.threadedLoadingChoice, 1) << "the menu shows the mode in force";
}

}  // namespace

}  // namespace cheat_items_test
