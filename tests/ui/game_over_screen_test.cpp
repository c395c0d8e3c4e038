// The game-over screen on the real screens and the sample picture: it
// lasts 3000 ms and the fade whatever is pressed, its red flash is gone
// after 500 ms, it asks for the return to the title with the hero block at
// its new-game values, and a reviewed reference of its picture during the
// flash.
#include <gtest/gtest.h>

#include <cstring>

#include "app/pack.h"
#include "tests/ui/result_screens_support.h"
#include "ui/game_over_screen.h"

namespace game_over_screen_test {

namespace {

class GameOverTest : public resulttest::ResultScreensTest {
protected:
    CSGameOver &Screen() { return *ui->GameOver(); }
    // One frame with every button of pad 0 pressed but select (select and
    // start held together are the way back to the title), as the game has it.
    void PressedFrame()
    {
        for (int b = kPadCross; b <= kPadRight; ++b) {
            if (b != kPadSelect) {
                Press(0, static_cast<PadButton>(b));
            }
        }
        MouseButtonState = 1;
        Updates(1);
        ui->DrawFade();
    }
};

TEST_F(GameOverTest, LastsThreeSecondsAndTheFadeWhateverIsPressed)
{
    StartOn("over_time");
    ui->heroBlock.inUse = 1;
    ui->heroBlock.money = 777;
    ui->heroBlock.grades[3] = 1;
    Goto(kUIGameOver);
    EXPECT_NE(Screen().picture, nullptr);
    EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
    const std::vector<gametest::TraceRecord> opening = TakeTrace();
    EXPECT_TRUE(HasScreenLine(opening, {"switch", "14"}));
    EXPECT_TRUE(gametest::HasRecord(opening, "music", {"start", "ui", "GAMEOVER.WAV"}));
    // Its opaque picture hides the stage until it is done.
    EXPECT_TRUE(ui->HidesStage());
    int frames = 0;
    while (!ui->IsFading() && frames < 400) {
        PressedFrame();
        ++frames;
    }
    // 188 frames of 16 ms pass 3000 ms; nothing pressed shortened it.
    EXPECT_EQ(frames, 188);
    EXPECT_EQ(Screen().leaving, 1);
    // Activated again while it shows: it goes on leaving.
    Screen().SetActive(1);
    EXPECT_EQ(Screen().leaving, 1);
    while (!gs.StageExitRequested() && frames < 400) {
        PressedFrame();
        ++frames;
    }
    // The 1000 ms fade, drawn once at its end, then the return to the title.
    EXPECT_GE((frames - 188) * 16, 1000);
    EXPECT_LE((frames - 188) * 16, 1150);
    EXPECT_EQ(Screen().done, 1);
    EXPECT_FALSE(ui->HidesStage());
    const CarriedHero fresh = NewGameHero();
    EXPECT_EQ(std::memcmp(&ui->heroBlock, &fresh, sizeof fresh), 0);
    // Done, it starts nothing more until the title takes over.
    for (int i = 0; i < 10; ++i) {
        PressedFrame();
    }
    EXPECT_EQ(ui->IsFading(), 0);
    // No interface sound: the screen takes no input.
    const std::vector<gametest::TraceRecord> trace = TakeTrace();
    EXPECT_TRUE(SoundsOf(trace).empty());
    // Its music has faded out (700 ms) before the 1000 ms fade to black ends.
    EXPECT_TRUE(gametest::HasRecord(trace, "music", {"stop", "ui", "GAMEOVER.WAV"}));
}

// Its timer starts at its first update: the fade starts in the update that
// takes it past 3000 ms, not at 3000 ms.
TEST_F(GameOverTest, TheFadeStartsOnlyPastThreeThousandMilliseconds)
{
    StartOn("over_edge");
    Goto(kUIGameOver);
    Updates(1, 3000);
    EXPECT_EQ(ui->IsFading(), 0);
    EXPECT_EQ(Screen().leaving, 0);
    Updates(1, 1);
    EXPECT_EQ(ui->IsFading(), 1);
    EXPECT_EQ(Screen().leaving, 1);
}

TEST_F(GameOverTest, TheRedFlashFadesOutInHalfASecond)
{
    StartOn("over_flash");
    Goto(kUIGameOver);
    // At 0 ms the picture is covered by opaque red 240.
    const win::Frame first = DrawFrame([&] { ui->Render(); });
    EXPECT_EQ(first.pixels[240 * 640 + 320] & 0xFFFFFFu, 0xF00000u);
    for (int i = 0; i < 32; ++i) {
        Updates(1);
    }
    ASSERT_GE(Screen().timerMs, CSGameOver::kFlashMs);
    // From 500 ms only the picture: the same as drawn without the flash.
    const win::Frame after = DrawFrame([&] { ui->Render(); });
    const uint32_t timer = Screen().timerMs;
    Screen().timerMs = 0xFFFFFFu;  // far past the flash, before the fade
    const win::Frame plain = DrawFrame([&] { ui->Render(); });
    Screen().timerMs = timer;
    EXPECT_EQ(after.pixels, plain.pixels);
    EXPECT_NE((after.pixels[240 * 640 + 320] & 0xFFFFFFu), 0xF00000u);
}

TEST_F(GameOverTest, ThePictureDuringItsFlash)
{
    StartOn("over_shot");
    Goto(kUIGameOver);
    for (int i = 0; i < 12; ++i) {
        Updates(1);
    }
    ExpectShot("game_over_flash", [&] { DrawScreens(); });
}

TEST_F(GameOverTest, WithoutItsPictureTheScreenDrawsUntexturedAndEnds)
{
    StartOn("over_nopicture");
    resulttest::RemoveFile(root, "PACK/UI0/GAMEOVER.STR");
    resulttest::RemoveFile(root, "PACK/UI0/GAMEOVER.LST");
    Goto(kUIGameOver);
    EXPECT_EQ(Screen().picture, nullptr);
    EXPECT_FALSE(ui->HidesStage());
    // The missing pack list is the fatal message (the pack file system's).
    EXPECT_GT(Fatals(), 0u);
    int frames = 0;
    while (!gs.StageExitRequested() && frames < 400) {
        PressedFrame();
        DrawFrame([&] { DrawScreens(); });
        ++frames;
    }
    EXPECT_TRUE(gs.StageExitRequested());
}

}  // namespace

}  // namespace game_over_screen_test
