// The status page frame by frame with a test host: the numbers roll up
// from 0 over a second and on from where they stand after a change; the
// pause menu's page counts the stage's pickups into the money, the lobby's
// does not; a value that gains a digit while the page is open, and the
// longest texts a display can have, stay inside its digit pictures; the
// equipment and skill tabs open only once the hero's pack is in, and after
// a pack that cannot be read or is empty (one debug line, no pictures, the
// skill file from disc); the portrait fades in; hero 1's weapon with picture index 7
// shows weapon picture 2 in both weapon pictures; back closes at once in
// the pause menu and after the base-map cover in the lobby, and closes a
// description first; closed, it takes no key and draws nothing.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <string>

#include "app/debug.h"
#include "tests/support/game/diagnostics_capture.h"
#include "tests/ui/pause_support.h"
#include "ui/number_display.h"

namespace status_page_test {

namespace {

using pausetest::StatusPageTest;

class HeroPackTest : public StatusPageTest {
protected:
    // A few updates of a page whose hero pack fails: one debug line naming
    // the pack and saying `why`, then both tabs open without pictures, the
    // skills from the skill file on disc.
    void ExpectHeroPackGivenUp(const char *why)
    {
        const std::string lines = gametest::Said(true, [&] { Step(5); });
        EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
        EXPECT_NE(lines.find("CHAR01.STR"), std::string::npos) << lines;
        EXPECT_NE(lines.find(why), std::string::npos) << lines;
        EXPECT_EQ(page.Pack().GetState(), UIPackStream::kIdle);  // given up
        EXPECT_TRUE(page.TabReady(kTabEquipment));
        EXPECT_TRUE(page.TabReady(kTabSkills));
        EXPECT_EQ(page.PortraitTexture(), nullptr);
        EXPECT_EQ(page.WeaponTexture(0), nullptr);
    }
};

TEST_F(StatusPageTest, NumbersRollUpFromZeroAndOnFromWhereTheyStand)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    hero->money = 200;
    page.Init(kStatusPagePauseMode);
    page.SetActive(1);
    const NumberDisplay &money = page.Number(0);
    EXPECT_STREQ(money.Text(), "0");
    Step(1, 0.25f);
    EXPECT_STREQ(money.Text(), "50");
    Step(1, 0.25f);
    EXPECT_STREQ(money.Text(), "100");
    Step(2, 0.25f);
    EXPECT_STREQ(money.Text(), "200");
    // A change rolls from the shown value over one second.
    hero->money = 600;
    Step(1, 0.25f);
    EXPECT_STREQ(money.Text(), "200");
    Step(1, 0.5f);
    EXPECT_STREQ(money.Text(), "400");
    Step(1, 0.5f);
    EXPECT_STREQ(money.Text(), "600");
    // Life and power roll their maxima with them: "%d/%d".
    EXPECT_STREQ(page.Number(1).Text(), "2000/2000");
    EXPECT_STREQ(page.Number(2).Text(), "0/300");
    // Each digit's picture: x 66 + 13 i, 12 wide, on the label's row.
    const UIPicture &digit = page.Number(1).digits[4].picture;
    EXPECT_FLOAT_EQ(digit.left, 66.0f + 13.0f * 4);
    EXPECT_FLOAT_EQ(digit.right, digit.left + 12.0f);
    EXPECT_FLOAT_EQ(digit.top, 228.0f);
    EXPECT_EQ(digit.texture, ui->GetSmallDigit(0xFFFFFFFFu)->texture);
    EXPECT_FLOAT_EQ(digit.s0, ui->GetSmallDigit(0xFFFFFFFFu)->s0);  // "/"
}

// A display not started (or released) has no digits: a step leaves its
// text empty and it draws nothing.
TEST(NumberDisplayTest, NotStartedItStepsAndDrawsNothing)
{
    NumberDisplay number;
    number.Step(0.5f, 250, 0);
    EXPECT_STREQ(number.Text(), "");
    EXPECT_EQ(number.charCount, 0);
    number.Draw();
    number.Start(5, 0, false, 0, 10);
    number.Release();
    EXPECT_EQ(number.capacity, 0) << "no digit pictures are left";
    number.Step(0.5f, 250, 0);
    EXPECT_EQ(number.charCount, 0);
    number.Draw();
}

// The step that ends a roll shows its target and starts the next roll from
// there: a maximum that changes on that very step rolls alone, the value
// staying put.
TEST(NumberDisplayTest, AMaximumChangedOnTheRollsLastStepRollsAlone)
{
    NumberDisplay life;
    life.Start(2000, 2000, true, 0, 10);
    life.Step(1.0f, 2000, 2500);
    EXPECT_STREQ(life.Text(), "2000/2000");
    life.Step(0.5f, 2000, 2500);
    EXPECT_STREQ(life.Text(), "2000/2250");
    life.Step(0.5f, 2000, 2500);
    EXPECT_STREQ(life.Text(), "2000/2500");
    life.Step(0.25f, 2000, 2500);
    EXPECT_STREQ(life.Text(), "2000/2500");
}

TEST_F(StatusPageTest, ThePauseMenusMoneyCountsTheStagesPickupsAndTheLobbysDoesNot)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    hero->money = 150;
    hero->stageMoney = 35;
    page.Init(kStatusPagePauseMode);
    page.SetActive(1);
    Step(70);
    EXPECT_STREQ(page.Number(0).Text(), "185");
    page.SetActive(0);
    page.Init(kStatusPageLobbyMode);
    page.SetActive(1);
    Step(70);
    EXPECT_STREQ(page.Number(0).Text(), "150");
}

TEST_F(StatusPageTest, NumbersThatGrowWhileOpenStayInsideTheirDigits)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    hero->equipAttackBonus = 99;
    page.Init(kStatusPageLobbyMode);
    page.SetActive(1);
    Step(70);
    EXPECT_STREQ(page.Number(3).Text(), "99");
    EXPECT_EQ(page.Number(3).capacity, NumberDisplay::kValueCapacity);
    hero->equipAttackBonus = 100;
    Step(70);
    EXPECT_STREQ(page.Number(3).Text(), "100");
    EXPECT_EQ(page.Number(3).charCount, 3);
    // The longest texts there are.
    hero->equipAttackBonus = INT32_MIN;
    hero->hp = INT32_MIN;
    hero->equipHpBonus = 2000000000;
    Step(70);
    EXPECT_STREQ(page.Number(3).Text(), "-2147483648");
    EXPECT_EQ(page.Number(3).charCount, NumberDisplay::kValueCapacity);
    EXPECT_STREQ(page.Number(1).Text(), "-2147483648/2000002000");
    EXPECT_LE(page.Number(1).charCount, NumberDisplay::kFractionCapacity);
    DrawFrame([&] { page.Render(); });
}

TEST_F(StatusPageTest, TheTabsOpenOnlyOnceTheHerosPackIsIn)
{
    Open(kStatusPagePauseMode);
    ASSERT_FALSE(HasFatalFailure());
    Tap(kPadRight);
    Step();
    EXPECT_EQ(page.currentTab, kTabItems);
    EXPECT_FALSE(page.TabReady(kTabEquipment));
    EXPECT_FALSE(page.TabReady(kTabSkills));
    EXPECT_TRUE(page.Pack().InProgress());
    ASSERT_TRUE(StepUntilPackDone());
    EXPECT_TRUE(page.TabReady(kTabSkills));
    EXPECT_NE(page.PortraitTexture(), nullptr);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NE(page.WeaponTexture(i), nullptr) << i;
    }
    Sounds();
    Tap(kPadRight);
    Step();
    EXPECT_EQ(page.currentTab, kTabEquipment);
    Tap(kPadRight);
    Step();
    EXPECT_EQ(page.currentTab, kTabSkills);
    Tap(kPadRight);
    Step();
    EXPECT_EQ(page.currentTab, kTabItems);
    Tap(kPadLeft);
    Step();
    EXPECT_EQ(page.currentTab, kTabSkills);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>(4, 6600010)));
}

TEST_F(HeroPackTest, APackThatCannotBeReadOpensBothTabsWithOneDebugLine)
{
    Open(kStatusPagePauseMode, pausetest::TreeWithout("no_char01", {"PACK/PAUSE/CHAR01.STR"}));
    ASSERT_FALSE(HasFatalFailure());
    ExpectHeroPackGivenUp("CHAR01.STR");
    Tap(kPadLeft);
    Step();
    EXPECT_EQ(page.currentTab, kTabSkills);
    EXPECT_EQ(page.SkillPage()->Records().size(), 7u);
    DrawFrame([&] { page.Render(); });
}

TEST_F(HeroPackTest, AnEmptyPackOpensBothTabsWithOneDebugLine)
{
    const std::string root = pausetest::TreeWithout("empty_char01", {"PACK/PAUSE/CHAR01.STR"});
    if (!root.empty()) {
        std::ofstream(root + "/PACK/PAUSE/CHAR01.STR", std::ios::binary);
    }
    Open(kStatusPagePauseMode, root);
    ASSERT_FALSE(HasFatalFailure());
    ExpectHeroPackGivenUp("is empty");
    Tap(kPadRight);
    Step();
    EXPECT_EQ(page.currentTab, kTabEquipment);
    DrawFrame([&] { page.Render(); });
}

TEST_F(StatusPageTest, WithoutASkillFileTheSkillTabStaysShut)
{
    Open(kStatusPagePauseMode, pausetest::TreeWithout("no_skl", {"RESOURCE/UITEXT/SKILL/USA/CHAR01.SKL"}));
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(StepUntilPackDone());
    EXPECT_FALSE(page.TabReady(kTabSkills));
    Tap(kPadLeft);
    Step();
    EXPECT_EQ(page.currentTab, kTabItems);
}

TEST_F(StatusPageTest, ThePortraitFadesInOverOneAndAHalfSeconds)
{
    Open(kStatusPagePauseMode);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(StepUntilPackDone());
    ASSERT_NE(page.Portrait()->picture.texture, nullptr);
    // The update that read the picture counted its 16 ms already.
    Step(1, 0.75f);
    EXPECT_EQ(page.Portrait()->quad.v[0].emissiveColor >> 24, static_cast<uint32_t>(240.0f * 0.766f / 1.5f));
    EXPECT_FALSE(page.PortraitFadeDone());
    Step(1, 0.75f);
    EXPECT_TRUE(page.PortraitFadeDone());
    EXPECT_EQ(page.Portrait()->quad.v[0].emissiveColor, 0xF0F0F0F0u);
}

// The fades end on the update that brings their time to 1.5 s exactly, the
// weapon's one update after the portrait's (its picture is set from the
// update after the pack came in).
TEST_F(StatusPageTest, ThePortraitAndWeaponFadesEndExactlyAtOneAndAHalfSeconds)
{
    OpenWearing(5100170);
    ASSERT_FALSE(HasFatalFailure());
    for (int i = 0; i < 200 && !page.TabReady(kTabEquipment); ++i) {
        Step(1, 0.5f);
    }
    ASSERT_TRUE(page.TabReady(kTabEquipment));
    const auto alpha = [](const OwnedPicture *p) { return p->quad.v[0].emissiveColor >> 24; };
    Step(1, 0.5f);  // the portrait at 1 s, the weapon at 0.5 s
    EXPECT_EQ(alpha(page.Portrait()), 160u);
    EXPECT_EQ(alpha(page.Weapon(0)), 80u);
    EXPECT_FALSE(page.PortraitFadeDone());
    Step(1, 0.5f);
    EXPECT_TRUE(page.PortraitFadeDone());
    EXPECT_EQ(page.Portrait()->quad.v[0].emissiveColor, 0xF0F0F0F0u);
    EXPECT_FALSE(page.WeaponFadeDone());
    EXPECT_EQ(alpha(page.Weapon(0)), 160u);
    Step(1, 0.5f);
    EXPECT_TRUE(page.WeaponFadeDone());
    EXPECT_EQ(page.Weapon(0)->quad.v[0].emissiveColor, 0xF0F0F0F0u);
}

TEST_F(StatusPageTest, TheSecondHerosWeaponIndexSevenShowsWeaponPictureTwoInBoth)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    hero->aiType = 1;
    hero->modelTemplate = &templates[1];
    Wear(5100230, kHeroWeaponSlot);
    page.Init(kStatusPagePauseMode);
    page.SetActive(1);
    ASSERT_TRUE(StepUntilPackDone());
    Step();
    EXPECT_EQ(page.HeroType(), 1);
    EXPECT_EQ(page.NotedWeapon(), 5100230);
    ASSERT_NE(page.WeaponTexture(2), nullptr);
    EXPECT_EQ(page.Weapon(0)->picture.texture, page.WeaponTexture(2));
    ASSERT_NE(page.Weapon(1), nullptr);
    EXPECT_EQ(page.Weapon(1)->picture.texture, page.WeaponTexture(2));
    // Both fade together.
    Step(1, 0.75f);
    EXPECT_EQ(page.Weapon(1)->quad.v[0].emissiveColor >> 24, page.Weapon(0)->quad.v[0].emissiveColor >> 24);
    // Index 5, the first of his strips, shows picture 0 in both.
    page.SetActive(0);
    Wear(5100210, kHeroWeaponSlot);
    page.SetActive(1);
    ASSERT_TRUE(StepUntilPackDone());
    Step();
    EXPECT_EQ(page.NotedWeapon(), 5100210);
    ASSERT_NE(page.WeaponTexture(0), nullptr);
    EXPECT_EQ(page.Weapon(0)->picture.texture, page.WeaponTexture(0));
    EXPECT_EQ(page.Weapon(1)->picture.texture, page.WeaponTexture(0));
}

TEST_F(StatusPageTest, TheFirstHerosWeaponsShowInTheMainPictureAndOthersNone)
{
    OpenWearing(5100170);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(StepUntilPackDone());
    Step(1, 0.75f);
    EXPECT_EQ(page.Weapon(0)->picture.texture, page.WeaponTexture(1));
    EXPECT_EQ(page.Weapon(1), nullptr);
    // It fades in over 1.5 s from the update after its picture came.
    EXPECT_EQ(page.Weapon(0)->quad.v[0].emissiveColor >> 24, 120u);
    page.SetActive(0);
    // A weapon past both heroes' strips has no picture.
    hero->UnequipSlot(kHeroWeaponSlot);
    page.SetActive(1);
    ASSERT_TRUE(StepUntilPackDone());
    Step();
    EXPECT_EQ(page.NotedWeapon(), 0);
    EXPECT_EQ(page.Weapon(0)->picture.texture, nullptr);
}

TEST_F(StatusPageTest, BackClosesAtOnceInThePauseMenuAndAfterTheCoverInTheLobby)
{
    // Closed, it takes no key (a back would sound again) and draws nothing.
    const auto expectDeaf = [&] {
        Sounds();
        for (PadButton key : {kPadRight, kPadDown, kPadTriangle, kPadCross}) {
            Tap(key);
            Step();
        }
        EXPECT_TRUE(Sounds().empty());
        EXPECT_EQ(page.currentTab, kTabItems);
        EXPECT_EQ(DrawFrame([&] { page.Render(); }).pixels, DrawFrame([] {}).pixels);
    };
    Open(kStatusPagePauseMode);
    ASSERT_FALSE(HasFatalFailure());
    Sounds();
    Tap(kPadCross);
    Step();
    EXPECT_FALSE(page.IsActive());
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600050}));
    expectDeaf();
    page.Init(kStatusPageLobbyMode);
    page.SetActive(1);
    Tap(kPadSelect);
    Step();
    EXPECT_TRUE(page.IsActive());
    EXPECT_EQ(page.closing, 1);
    EXPECT_TRUE(ui->IsBaseMapCovering());
    // The cover counts as it is drawn: 500 ms of drawing.
    int draws = 0;
    while (ui->IsBaseMapCovering() && draws < 40) {
        Step();
        EXPECT_TRUE(page.IsActive()) << draws;
        ui->DrawBaseMapFade(16);
        ++draws;
    }
    EXPECT_EQ(draws, 32);
    Step();
    EXPECT_FALSE(page.IsActive());
    expectDeaf();
}

TEST_F(StatusPageTest, BackWithADescriptionOpenClosesTheDescription)
{
    Open(kStatusPagePauseMode);
    ASSERT_FALSE(HasFatalFailure());
    Own(5300000, 3);
    page.SetActive(0);
    page.SetActive(1);
    Tap(kPadTriangle);
    Step();
    ASSERT_EQ(page.ItemPage()->DescriptionShown(), 1);
    EXPECT_EQ(page.subPageBusy, 1);
    Tap(kPadCross);
    Step();
    EXPECT_TRUE(page.IsActive());
    EXPECT_EQ(page.ItemPage()->DescriptionShown(), 0);
    Tap(kPadCross);
    Step();
    EXPECT_FALSE(page.IsActive());
}

}  // namespace

}  // namespace status_page_test
