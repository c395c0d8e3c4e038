// A hero panel against a hero record: the bars' lengths for several maxima,
// the middle strips' tiles (the short bar too), the life trail's drain, the
// red blink from 200 life down (not at 0), the power-full overlay, the
// quick item's count digits, and the quick-item keys with their sound only
// where they may act.
#include <gtest/gtest.h>

#include "app/screen_coords.h"
#include "tests/ui/overlay_support.h"
#include "ui/player_hud.h"

namespace overlay_panel_test {

namespace {

using uitest::Links;

float Left(const UIQuad &q) { return GetVirtualX(&q.v[0]); }
float Right(const UIQuad &q) { return GetVirtualX(&q.v[3]); }
float Top(const UIQuad &q) { return GetVirtualY(&q.v[0]); }

// The count digit a quad shows: the one whose atlas cell its picture is
// cut from (-1 for none).
int ShownDigit(const UIQuad &q)
{
    for (int d = 0; d <= 9; ++d) {
        const AtlasRect cell = HudDigitCell(HudDigits::kCount, d);
        if (q.v[0].u == cell.s0 / 512.0f && q.v[0].v == cell.t0 / 512.0f && q.v[3].u == cell.s1 / 512.0f &&
            q.v[3].v == cell.t1 / 512.0f) {
            return d;
        }
    }
    return -1;
}

class PanelTest : public uitest::OverlayHeroTest {
protected:
    void SetUp() override
    {
        OverlayHeroTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        panel.Init(0, hero, 640, 480);
        Frames(1);  // the trail Init started at the life stops at once
    }
    // `count` frames of the overlay's panel steps.
    void Frames(int count, uint32_t ms = 16)
    {
        for (int i = 0; i < count; ++i) {
            panel.Refresh(ms);
            panel.StepLowLifeBlink(ms);
            panel.StepPowerFullBlink(ms);
            if (panel.TrailRunning()) {
                panel.StepLifeTrail(ms);
            }
        }
    }

    // The panel shows `count` of item 5300010 (icon 1: column 1, row 0) with
    // its two last digits.
    void ExpectIconOneShown(int32_t count, int tens, int ones)
    {
        EXPECT_EQ(panel.ItemId(), 5300010);
        EXPECT_EQ(panel.ItemCount(), count);
        EXPECT_EQ(ShownDigit(panel.CountQuad(0)), tens);
        EXPECT_EQ(ShownDigit(panel.CountQuad(1)), ones);
        EXPECT_FLOAT_EQ(panel.ItemIcon().v[0].u, 0.25f);
        EXPECT_FLOAT_EQ(panel.ItemIcon().v[3].u, 0.5f);
        EXPECT_FLOAT_EQ(panel.ItemIcon().v[3].v, 0.25f);
    }

    CSPlayerHUD panel;
};

TEST_F(PanelTest, BarsAreThirteenPixelsPer300LifeAndPer75Power)
{
    for (int32_t level = 0; level <= 5; ++level) {
        ASSERT_TRUE(hero->SetHPLevel(level));
        hero->hp = hero->GetMaxHP();
        panel.Refresh(16);
        const int32_t maxLife = 2000 + 500 * level;
        EXPECT_EQ(panel.MaxLife(), maxLife);
        const float lw = static_cast<float>(maxLife) * 0.043333333f;
        EXPECT_FLOAT_EQ(panel.LifeLength(), lw);
        // The end cap stands at 141 + Lw - 52, the full fill reaches 1 px into it.
        EXPECT_NEAR(Left(panel.FrameQuad(CSPlayerHUD::kLifeEnd)), 141.0f + lw - 52.0f, 1e-3f) << maxLife;
        EXPECT_NEAR(Right(panel.FrameQuad(CSPlayerHUD::kLifeEnd)), 141.0f + lw - 52.0f + 33.0f, 1e-3f);
        EXPECT_NEAR(Right(panel.LifeFill()), 90.0f + lw, 1e-3f);
    }
    // Half the life is half the fill.
    hero->hp = hero->GetMaxHP() / 2;
    panel.Refresh(16);
    EXPECT_NEAR(Right(panel.LifeFill()), 90.0f + panel.LifeLength() / 2.0f, 1e-3f);
    // Power: 300 at level 0 is 52 px, the end cap at 157.
    EXPECT_EQ(panel.MaxPower(), 300);
    EXPECT_FLOAT_EQ(panel.PowerLength(), 300.0f * 0.17333333f);
    EXPECT_NEAR(Left(panel.FrameQuad(CSPlayerHUD::kPowerEnd)), 157.0f, 1e-3f);
    hero->power = 150;
    panel.Refresh(16);
    EXPECT_NEAR(Right(panel.PowerFill()), 106.0f + 26.0f, 1e-3f);
    ASSERT_TRUE(hero->SetPowerLevel(3));
    panel.Refresh(16);
    EXPECT_EQ(panel.MaxPower(), 600);
    EXPECT_NEAR(Left(panel.FrameQuad(CSPlayerHUD::kPowerEnd)), 157.0f + 104.0f - 52.0f, 1e-3f);
    EXPECT_NEAR(Right(panel.PowerFill()), 106.0f + 26.0f, 1e-3f);  // 150 of 600 is a quarter of 104
    // A life beyond the maximum fills the bar and no more; none below 0.
    hero->hp = 99999;
    panel.Refresh(16);
    EXPECT_NEAR(Right(panel.LifeFill()), 90.0f + panel.LifeLength(), 1e-3f);
    hero->hp = -5;
    panel.Refresh(16);
    EXPECT_NEAR(Right(panel.LifeFill()), 90.0f, 1e-3f);
}

TEST_F(PanelTest, MiddleStripsTileFromTheLeftAndCloseUpToTheEndCap)
{
    float edges[128];
    // 2000 life: two whole tiles, then one to 1 px past the cap at 175.67.
    const float cap2000 = 141.0f + 2000.0f * 0.043333333f - 52.0f;
    ASSERT_EQ(CSPlayerHUD::StripTiles(141, cap2000, 2000, 300, edges, 64), 3);
    EXPECT_FLOAT_EQ(edges[0], 141.0f);
    EXPECT_FLOAT_EQ(edges[1], 154.0f);
    EXPECT_FLOAT_EQ(edges[2], 154.0f);
    EXPECT_FLOAT_EQ(edges[3], 167.0f);
    EXPECT_FLOAT_EQ(edges[4], 167.0f);
    EXPECT_FLOAT_EQ(edges[5], cap2000 + 1.0f);
    // 4500 life: eleven whole tiles (143 px) and the last.
    EXPECT_EQ(CSPlayerHUD::StripTiles(141, 141.0f + 4500.0f * 0.043333333f - 52.0f, 4500, 300, edges, 64), 12);
    // Short bars: under one unit above four there are no whole tiles; the
    // last tile runs from the strip's left edge up to 1 px past the cap...
    const float cap1499 = 141.0f + 1499.0f * 0.043333333f - 52.0f;
    ASSERT_EQ(CSPlayerHUD::StripTiles(141, cap1499, 1499, 300, edges, 64), 1);
    EXPECT_FLOAT_EQ(edges[0], 141.0f);
    EXPECT_FLOAT_EQ(edges[1], cap1499 + 1.0f);
    // ... 1 px wide at exactly four units ...
    ASSERT_EQ(CSPlayerHUD::StripTiles(141, 141, 1200, 300, edges, 64), 1);
    EXPECT_FLOAT_EQ(edges[1] - edges[0], 1.0f);
    // ... and none (never a negative one) when the cap stands left of the strip.
    EXPECT_EQ(CSPlayerHUD::StripTiles(141, 141.0f + 1000.0f * 0.043333333f - 52.0f, 1000, 300, edges, 64), 0);
    EXPECT_EQ(CSPlayerHUD::StripTiles(157, 100, 0, 75, edges, 64), 0);
    // Power 300 (four units): one 1 px tile at the cap.
    EXPECT_EQ(CSPlayerHUD::StripTiles(157, 157, 300, 75, edges, 64), 1);
    // A huge maximum stops at the screen's edge and within the room given.
    EXPECT_LE(CSPlayerHUD::StripTiles(141, 5000, 1000000, 300, edges, 64), 64);
    EXPECT_LT(edges[2 * 38], 640.0f);
}

TEST_F(PanelTest, TheTrailDrainsFasterTheLongerItRunsAndStopsAtTheLife)
{
    EXPECT_FALSE(panel.TrailRunning());
    hero->hp = 1500;
    Frames(1);
    ASSERT_TRUE(panel.TrailRunning());
    // It started at the life before the loss; its first step takes 0 ms x 0.01.
    EXPECT_EQ(panel.Trail(), 2000);
    Frames(1);
    EXPECT_EQ(panel.Trail(), 1999);  // 2000 - 0.16, truncated
    Frames(5);
    EXPECT_EQ(panel.Trail(), 1994);
    Frames(3);
    EXPECT_EQ(panel.Trail(), 1988);  // 1994 - 1.12 - 1.28 - 1.44, each truncated
    // Drawn from 88 as long as it runs.
    EXPECT_NEAR(Right(panel.LifeTrail()), 88.0f + 1988.0f / 2000.0f * panel.LifeLength(), 1e-3f);
    int frames = 10;
    while (panel.TrailRunning() && frames < 200) {
        Frames(1);
        ++frames;
    }
    EXPECT_EQ(frames, 77);
    EXPECT_LE(panel.Trail(), 1500);
    // A gain meanwhile: the trail jumps to the life and stops.
    hero->hp = 1000;
    Frames(3);
    ASSERT_TRUE(panel.TrailRunning());
    hero->hp = 1900;
    Frames(1);
    EXPECT_FALSE(panel.TrailRunning());
    EXPECT_EQ(panel.Trail(), 1900);
}

TEST_F(PanelTest, RedFramesPulseFrom200LifeDownButNotAt0)
{
    hero->hp = 201;
    Frames(3);
    EXPECT_FALSE(panel.LowLifeBlinking());
    EXPECT_FALSE(panel.RedFramesShown());
    hero->hp = 200;
    Frames(1);
    ASSERT_TRUE(panel.RedFramesShown());
    EXPECT_EQ(panel.RedFrameAlpha(), 255 - 8);  // 16 ms: a = 8
    Frames(31);  // 512 ms: the alpha reached 0, the pulse turns
    EXPECT_EQ(panel.RedFrameAlpha(), 0);
    Frames(1);
    EXPECT_EQ(panel.RedFrameAlpha(), 8);
    hero->hp = 0;
    Frames(1);
    EXPECT_TRUE(panel.LowLifeBlinking());
    EXPECT_FALSE(panel.RedFramesShown());
    hero->hp = 900;
    Frames(1);
    EXPECT_FALSE(panel.LowLifeBlinking());
}

TEST_F(PanelTest, ThePowerFullOverlayPulsesOnlyAtFullPower)
{
    hero->power = 299;
    Frames(2);
    EXPECT_FALSE(panel.PowerFullBlinking());
    EXPECT_FALSE(panel.PowerFullShown());
    hero->power = 300;
    Frames(1);
    EXPECT_TRUE(panel.PowerFullShown());
    EXPECT_TRUE(panel.PowerFullBlinking());
    EXPECT_EQ(panel.PowerFullAlpha(), 247);
    Frames(10);
    EXPECT_EQ(panel.PowerFullAlpha(), 255 - 88);
    EXPECT_NEAR(Right(panel.PowerFill()), 106.0f + panel.PowerLength(), 1e-3f);
    hero->power = 100;
    Frames(1);
    EXPECT_FALSE(panel.PowerFullBlinking());
}

TEST_F(PanelTest, TheQuickItemShowsItsIconCellAndItsCountCappedInTheTens)
{
    ItemTables tables = mkdata::SampleItemTables();
    for (ItemContent &item : tables.items) {
        item.ownLimit = 999;
    }
    items.SetTables(tables);
    for (int i = 0; i < 123; ++i) {
        ASSERT_TRUE(items.AddItem(1, 5300010));  // icon 1: column 1, row 0
    }
    Frames(1);
    ExpectIconOneShown(123, 9, 3);
    for (int i = 0; i < 116; ++i) {
        items.RemoveItem(1, 5300010);
    }
    Frames(1);
    EXPECT_EQ(ShownDigit(panel.CountQuad(0)), 0);
    EXPECT_EQ(ShownDigit(panel.CountQuad(1)), 7);
    // The second player's panel reads list 2: nothing there.
    CSHero *second = AddHero();
    CSPlayerHUD other;
    other.Init(1, second, 640, 480);
    EXPECT_EQ(other.ItemId(), 0);
    EXPECT_EQ(other.ItemCount(), 0);
}

// The count shows from the panel's first refresh, whatever it is: 00 with
// nothing held, and for a panel made again by a stage load while one item
// is held, 01 with that item's picture.
TEST_F(PanelTest, TheFirstRefreshShowsTheCountAndTheItemHeldThen)
{
    EXPECT_EQ(panel.ItemId(), 0);
    EXPECT_EQ(ShownDigit(panel.CountQuad(0)), 0);
    EXPECT_EQ(ShownDigit(panel.CountQuad(1)), 0);
    ASSERT_TRUE(items.AddItem(1, 5300010));  // icon 1: column 1, row 0
    panel.Init(0, hero, 640, 480);
    ExpectIconOneShown(1, 0, 1);
}

// A panel that a stage load left without its hero keeps its bars empty:
// no sliver of life or power at their left ends, and no trail.
TEST_F(PanelTest, APanelWithoutAHeroKeepsItsBarsEmpty)
{
    CSPlayerHUD none;
    none.Init(1, nullptr, 640, 480);
    none.Refresh(16);
    EXPECT_EQ(none.Life(), kHudValueUnread);
    EXPECT_FLOAT_EQ(Right(none.LifeFill()), Left(none.LifeFill()));
    EXPECT_FLOAT_EQ(Left(none.LifeFill()), 90.0f);
    EXPECT_FLOAT_EQ(Right(none.LifeTrail()), Left(none.LifeTrail()));
    EXPECT_FLOAT_EQ(Right(none.PowerFill()), Left(none.PowerFill()));
    EXPECT_FLOAT_EQ(Left(none.PowerFill()), 106.0f);
    EXPECT_FLOAT_EQ(Right(none.PowerFullQuad()), Left(none.PowerFullQuad()));
    EXPECT_FLOAT_EQ(Left(none.PowerFullQuad()), 106.0f);
    EXPECT_FALSE(none.TrailRunning());
}

TEST_F(PanelTest, L2AndR2StepTheQuickItemWithTheSoundOnlyInPlay)
{
    ASSERT_TRUE(items.AddItem(1, 5300000));
    ASSERT_TRUE(items.AddItem(1, 5300010));
    ASSERT_TRUE(items.AddItem(1, 5300060));
    Frames(1);
    ASSERT_EQ(panel.ItemId(), 5300000);
    PadState pad{};
    pad.connected = 1;
    auto press = [&](PadButton a, PadButton b = kPadCross) {
        pad.buttons[a] = kPadPressedState;
        if (b != kPadCross) {
            pad.buttons[b] = kPadPressedState;
        }
        panel.HandleItemSelect(pad);
        pad = PadState{};
        pad.connected = 1;
        Frames(1);
        return panel.ItemId();
    };
    EXPECT_EQ(press(kPadL2), 5300010);
    EXPECT_EQ(press(kPadL2), 5300060);
    EXPECT_EQ(press(kPadR2), 5300010);
    EXPECT_EQ(press(kPadL2, kPadR2), 5300000);  // r2 wins
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600010, 6600010, 6600010, 6600010}));
    // A held key does nothing more.
    pad.buttons[kPadL2] = kPadHeldState;
    panel.HandleItemSelect(pad);
    pad = PadState{};
    pad.connected = 1;
    // Outside play: other camera modes, a hurt, held or dying hero, a movie,
    // a pad that is not there.
    for (int32_t mode : {1, 2, 3, 4, 5, 6, 7, 8}) {
        Links().cameraMode = mode;
        EXPECT_EQ(press(kPadL2), 5300000) << mode;
    }
    Links().cameraMode = 0;
    for (int32_t state : {kHeroStateHurt, kHeroStateHeld, kHeroStateDying}) {
        hero->state = state;
        EXPECT_EQ(press(kPadL2), 5300000) << state;
    }
    hero->state = kHeroStateStand;
    Links().moviePlaying = true;
    EXPECT_EQ(press(kPadL2), 5300000);
    Links().moviePlaying = false;
    pad.connected = 0;
    pad.buttons[kPadL2] = kPadPressedState;
    panel.HandleItemSelect(pad);
    Frames(1);
    EXPECT_EQ(panel.ItemId(), 5300000);
    EXPECT_TRUE(Sounds().empty());
    pad = PadState{};
    pad.connected = 1;
    // In play again, a state of its own (guard) lets it act.
    hero->state = kHeroStateGuard;
    EXPECT_EQ(press(kPadL2), 5300010);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600010}));
}

// The second player's panel: the same layout, drawn mirrored about the
// screen's middle and 120 lower, so its bars grow from the right edge toward
// the middle; the portrait with the item icon and count inside it keeps its
// turn and moves to the right edge whole. The first player's draws as laid out.
TEST_F(PanelTest, TheSecondPlayersPanelIsTheFirstsMirroredIntoTheTopRight)
{
    EXPECT_FALSE(panel.AtSecondPlayerPlace());
    const UIQuad same = panel.Placed(panel.LifeFill());
    EXPECT_FLOAT_EQ(Left(same), Left(panel.LifeFill()));
    CSPlayerHUD second;
    hero->hp = hero->GetMaxHP() / 2;
    second.Init(1, hero, 640, 480);
    ASSERT_TRUE(second.AtSecondPlayerPlace());
    // The life fill (90 to 90 + Lw / 2, y 22 to 35) grows leftward from 550.
    const UIQuad fill = second.Placed(second.LifeFill());
    EXPECT_NEAR(Right(fill), 550.0f, 1e-3f);
    EXPECT_NEAR(Left(fill), 550.0f - second.LifeLength() / 2.0f, 1e-3f);
    EXPECT_NEAR(Top(fill), 142.0f, 1e-3f);
    // The end cap closes the bar at its left: its picture is turned about
    // (corner 0 takes the source's right edge).
    const UIQuad &cap = second.FrameQuad(CSPlayerHUD::kLifeEnd);
    const UIQuad placedCap = second.Placed(cap);
    EXPECT_NEAR(Left(placedCap), 640.0f - Right(cap), 1e-3f);
    EXPECT_FLOAT_EQ(placedCap.v[0].u, cap.v[1].u);
    EXPECT_FLOAT_EQ(placedCap.v[1].u, cap.v[0].u);
    // The portrait (20 to 141) stands at 499 to 620, its picture as it is.
    const UIQuad &portrait = second.FrameQuad(CSPlayerHUD::kPortrait);
    const UIQuad placedPortrait = second.PlacedUpright(portrait, 20.0f, 141.0f);
    EXPECT_NEAR(Left(placedPortrait), 499.0f, 1e-3f);
    EXPECT_NEAR(Right(placedPortrait), 620.0f, 1e-3f);
    EXPECT_NEAR(Top(placedPortrait), 140.0f, 1e-3f);
    EXPECT_FLOAT_EQ(placedPortrait.v[0].u, portrait.v[0].u);
}

}  // namespace

}  // namespace overlay_panel_test
