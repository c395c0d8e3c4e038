// The hit counter and the money counter: a hit count of 2 shows nothing and
// 3 pops in, the same count again does not start it over, the fade 4.5 s
// after the last change; gains add up on one counter that hides 1055 ms
// after the last gain, its shake drawn from the game's one generator seeded
// with its time; the hit counter's anchor for both screen sizes, its label
// in each language and its two lines; and the screen manager's forwards
// reaching the first panel.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "actor/actor_screen_calls.h"
#include "app/game_rand.h"
#include "tests/ui/overlay_support.h"
#include "ui/hud_counters.h"

namespace overlay_counters_test {

namespace {

// Each counter's digits 0 to 9 side by side in the atlas; anything else
// (a sign, a digit out of range) the whole atlas.
TEST(HudDigits, EachSetCutsItsTenDigitsAndNothingElse)
{
    struct Set {
        HudDigits set;
        AtlasRect zero;
        float step;
    };
    const Set sets[] = {{HudDigits::kSmall, {136, 70, 151, 90}, 15},
                        {HudDigits::kLarge, {140, 1, 162, 43}, 23},
                        {HudDigits::kCount, {89, 148, 101, 162}, 13}};
    for (const Set &s : sets) {
        for (int32_t d = 0; d <= 9; ++d) {
            const AtlasRect cell = HudDigitCell(s.set, d);
            EXPECT_EQ(cell.s0, s.zero.s0 + s.step * static_cast<float>(d)) << d;
            EXPECT_EQ(cell.s1, s.zero.s1 + s.step * static_cast<float>(d)) << d;
            EXPECT_EQ(cell.t0, s.zero.t0) << d;
            EXPECT_EQ(cell.t1, s.zero.t1) << d;
        }
        for (int32_t d : {-1, 10}) {
            const AtlasRect cell = HudDigitCell(s.set, d);
            EXPECT_EQ(cell.s0, 0.0f) << d;
            EXPECT_EQ(cell.s1, 512.0f) << d;
        }
    }
}

TEST(HitCounterAnchor, ElevenPercentFromTheRightAndAThirteenthDown)
{
    float x = 0.0f;
    float y = 0.0f;
    HitCounterAnchor(640, 480, &x, &y);
    EXPECT_NEAR(x, 564.7059f, 1e-3f);
    EXPECT_EQ(y, 36.0f);
    HitCounterAnchor(800, 600, &x, &y);
    EXPECT_NEAR(x, 571.43f, 5e-3f);
    EXPECT_EQ(y, 46.0f);
}

// The label and the two ornament lines about the anchor (x, 36) at 640 x
// 480: the label's picture and size are the language's.
class CounterPicturesTest : public uitest::OverlayTest, public ::testing::WithParamInterface<int32_t> {
protected:
    void SetUp() override { StartOverlay(640, 480, GetParam()); }
};

TEST_P(CounterPicturesTest, TheLabelIsTheLanguagesAndTheLinesCrossAtTheAnchor)
{
    CSHitCounter counter;
    counter.Init(640, 480);
    CSHero hero;
    hero.hitCounter = 4;
    counter.Show(&hero);
    const float x = counter.AnchorX();
    if (GetParam() == 0) {
        uitest::ExpectQuad512("label", counter.Label(), x - 25, 12, x + 25, 34, 263, 44, 313, 66);
    } else {
        uitest::ExpectQuad512("label", counter.Label(), x - 28, 21, x + 28, 34, 257, 44, 313, 57);
    }
    uitest::ExpectQuad512("line", counter.Line(0), x - 139, 34, x + 60, 39, 150, 65, 310, 70);
    // The upright line: the same picture turned a quarter.
    const UIQuad &upright = counter.Line(1);
    EXPECT_FLOAT_EQ(upright.v[0].x, x - 2);
    EXPECT_FLOAT_EQ(upright.v[0].y, -8.0f);
    EXPECT_FLOAT_EQ(upright.v[3].x, x + 3);
    EXPECT_FLOAT_EQ(upright.v[3].y, 118.0f);
    EXPECT_FLOAT_EQ(upright.v[0].u * 512.0f, 150.0f);
    EXPECT_FLOAT_EQ(upright.v[0].v * 512.0f, 70.0f);
    EXPECT_FLOAT_EQ(upright.v[3].u * 512.0f, 310.0f);
    EXPECT_FLOAT_EQ(upright.v[3].v * 512.0f, 65.0f);
}

INSTANTIATE_TEST_SUITE_P(Languages, CounterPicturesTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int32_t> &info) {
                             return "Language" + std::to_string(info.param);
                         });

class CountersTest : public uitest::OverlayHeroTest {
protected:
    void SetUp() override
    {
        OverlayHeroTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        counter.Init(640, 480);
    }
    void Steps(int count, uint32_t ms = 16)
    {
        for (int i = 0; i < count; ++i) {
            counter.Step(ms);
        }
    }

    CSHitCounter counter;
    CSMoneyCounter money;
};

TEST_F(CountersTest, AHitCountOfTwoShowsNothingAndThreePopsIn)
{
    // A panel without a hero shows nothing.
    counter.Show(nullptr);
    EXPECT_FALSE(counter.IsShown());
    hero->hitCounter = 2;
    counter.Show(hero);
    EXPECT_FALSE(counter.IsShown());
    hero->hitCounter = 3;
    counter.Show(hero);
    ASSERT_TRUE(counter.IsShown());
    EXPECT_EQ(counter.CountShown(), 3);
    EXPECT_EQ(counter.Alpha(), 255);
    // One digit: 16 px left of the anchor (33 / 2), 2 below it, 32 x 59.
    float x0, y0, x1, y1;
    counter.DigitRect(0, 1, &x0, &y0, &x1, &y1);
    EXPECT_NEAR(x0, 564.7059f - 16.0f, 1e-3f);
    EXPECT_EQ(y0, 38.0f);
    EXPECT_NEAR(x1 - x0, 32.0f, 1e-3f);
    // Its pop starts with the first millisecond: sin(0.015708) each way.
    Steps(1, 1);
    counter.DigitRect(0, 1, &x0, &y0, &x1, &y1);
    EXPECT_NEAR(x1 - x0, 32.0f + 64.0f * std::sin(0.015708f), 1e-3f);
    // 100 ms in it has grown by sin(1.5708) of its size each way.
    Steps(1, 99);
    counter.DigitRect(0, 1, &x0, &y0, &x1, &y1);
    EXPECT_NEAR(x1 - x0, 32.0f * 3.0f, 1e-2f);
    EXPECT_NEAR(y1 - y0, 59.0f * 3.0f, 1e-2f);
    // Two digits pop one after the other, 50 ms apart.
    counter.DigitRect(1, 2, &x0, &y0, &x1, &y1);
    EXPECT_NEAR(x1 - x0, 32.0f + 64.0f * std::sin(50.0f * 0.015708f), 1e-2f);
    Steps(1, 100);
    counter.DigitRect(0, 1, &x0, &y0, &x1, &y1);
    EXPECT_NEAR(x1 - x0, 32.0f, 1e-3f);
    // The first has popped; the second, 50 ms behind it, still swells.
    counter.DigitRect(1, 2, &x0, &y0, &x1, &y1);
    EXPECT_NEAR(x1 - x0, 32.0f + 64.0f * std::sin(150.0f * 0.015708f), 1e-2f);
    // Down again below 3 (the hero's counter ran out): nothing changes.
    hero->hitCounter = 0;
    counter.Show(hero);
    EXPECT_EQ(counter.CountShown(), 3);
    EXPECT_EQ(counter.DisplayMs(), 200u);
}

TEST_F(CountersTest, TheSameCountAgainDoesNotStartTheCounterOver)
{
    hero->hitCounter = 5;
    counter.Show(hero);
    Steps(10);
    counter.Show(hero);
    EXPECT_EQ(counter.DisplayMs(), 160u);
    hero->hitCounter = 6;
    counter.Show(hero);
    EXPECT_EQ(counter.DisplayMs(), 0u);
    EXPECT_EQ(counter.CountShown(), 6);
}

TEST_F(CountersTest, TheCounterFadesFourAndAHalfSecondsAfterTheLastChange)
{
    hero->hitCounter = 12;
    counter.Show(hero);
    Steps(1, 4500);
    EXPECT_EQ(counter.FadeMs(), kHudTimerIdle);  // 4500 is not past it
    Steps(1, 16);
    ASSERT_EQ(counter.FadeMs(), 0u);
    EXPECT_EQ(counter.Alpha(), 255);
    Steps(1);  // fade 0: alpha 255 - 0
    Steps(16);  // fade 256: alpha 255 - 130
    EXPECT_EQ(counter.Alpha(), 255 - 256 * 255 / 500);
    // A new count during the fade shows opaque from the start.
    hero->hitCounter = 13;
    counter.Show(hero);
    EXPECT_EQ(counter.Alpha(), 255);
    EXPECT_EQ(counter.FadeMs(), kHudTimerIdle);
    Steps(1, 4600);
    Steps(32);  // 512 ms of fade
    EXPECT_TRUE(counter.IsShown());
    Steps(1);
    EXPECT_FALSE(counter.IsShown());
    EXPECT_EQ(counter.CountShown(), 0);
    // The same count as before shows again once it has gone.
    counter.Show(hero);
    EXPECT_TRUE(counter.IsShown());
}

TEST_F(CountersTest, GainsAddUpOnOneCounterThatHidesAt1055Ms)
{
    money.Init();
    money.Add(1, 100);
    money.Step(300);
    money.Add(1, 50);
    EXPECT_TRUE(money.IsShown());
    EXPECT_EQ(money.Value(), 150);
    EXPECT_STREQ(money.Text(), "150");
    EXPECT_EQ(money.ElapsedMs(), 0u);
    EXPECT_FLOAT_EQ(money.X(), 527.0f - 3 * 28.0f);
    money.Step(800);
    EXPECT_EQ(money.Alpha(), 255);
    money.Step(100);
    EXPECT_EQ(money.Alpha(), 155);
    money.Step(154);
    EXPECT_TRUE(money.IsShown());
    EXPECT_EQ(money.Alpha(), 1);
    money.Step(1);
    EXPECT_FALSE(money.IsShown());
    EXPECT_EQ(money.Value(), 0);
    money.Add(1, 7);
    EXPECT_EQ(money.Value(), 7);
    // However many gains come, the value stays a whole number.
    money.Add(1, 2147483647);
    EXPECT_EQ(money.Value(), 2147483647);
}

TEST_F(CountersTest, TheShakeIsDrawnFromTheGamesGeneratorSeededWithTheTime)
{
    money.Init();
    money.Add(1, 250);
    money.Step(120);
    RwTexture *atlas = ui->PlayerArt();
    DrawFrame([&] { money.Render(atlas); });
    const int after = game::Rand();
    // Seeded with 120 ms, then two draws for each of the three digits.
    game::Srand(120);
    for (int i = 0; i < 6; ++i) {
        game::Rand();
    }
    EXPECT_EQ(after, game::Rand());
    // Still from 200 ms on: a drawing takes no draw from the generator.
    auto drawingTakesNoDraw = [&] {
        game::Srand(77);
        const int untouched = game::Rand();
        game::Srand(77);
        DrawFrame([&] { money.Render(atlas); });
        EXPECT_EQ(game::Rand(), untouched);
    };
    money.Step(80);
    drawingTakesNoDraw();
    money.Step(20);
    drawingTakesNoDraw();
}

TEST_F(CountersTest, TheManagersForwardsReachTheFirstPanel)
{
    // Without the overlay active they do nothing.
    ui->UpdateHitCounter();
    ui->ShowMoneyGain(100);
    ui->RequestBossGauge();
    ui->ShowItemPopup(1, 5300000);
    ui->ResetStageHUD();
    EXPECT_FALSE(ui->IsItemPopupShown());
    EXPECT_EQ(ui->IsPauseMenuOpen(), 0);
    AddHero();
    EnterOverlay();
    ASSERT_EQ(Overlay()->PanelCount(), 2);
    CSPlayerHUD *first = Overlay()->Panel(0);
    CSPlayerHUD *second = Overlay()->Panel(1);
    hero->hitCounter = 4;
    heroes[1]->hitCounter = 9;
    ui->UpdateHitCounter();
    EXPECT_EQ(first->hitCounter.CountShown(), 4);
    EXPECT_FALSE(second->hitCounter.IsShown());
    ui->ShowMoneyGain(30);
    ui->ShowMoneyGain(12);
    EXPECT_EQ(first->moneyCounter.Value(), 42);
    EXPECT_FALSE(second->moneyCounter.IsShown());
    // The heroes' and the effects' tables reach the same forwards.
    ScreensUpdateHitCounter();
    ScreensShowItemPopup(1, 5300000);
    EXPECT_TRUE(ui->IsItemPopupShown());
}

}  // namespace

}  // namespace overlay_counters_test
