// The screens once left: called on after they were left (a screen's own
// update may run on in the frame it leaves), each takes no input, plays no
// sound, asks for no screen, starts no fade and draws nothing (the lobby
// its base map). And shown: none leaves the pack of its pictures open.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/result_screens_support.h"
#include "ui/game_over_screen.h"
#include "ui/game_play_screen.h"
#include "ui/lobby_screen.h"
#include "ui/logo_screens.h"
#include "ui/option_screen.h"
#include "ui/ranking_screen.h"
#include "ui/save_load_screen.h"
#include "ui/select_character.h"
#include "ui/stage_clear_screen.h"
#include "ui/stage_entry_screens.h"
#include "ui/title_screen.h"
#include "ui/ui_rect.h"
#include "ui/warning_screen.h"

namespace left_screens_test {

namespace {

class LeftScreens : public resulttest::ResultScreensTest, public ::testing::WithParamInterface<uint32_t> {
protected:
    // One update of screen `number` as the manager runs it, 16 ms long, or
    // its drawing.
    void Run(uint32_t number, bool draw)
    {
        switch (number) {
        case kUIWarning: draw ? ui->Warning()->Render() : ui->Warning()->Update(16); break;
        case kUIStillLogo: draw ? ui->StillLogo()->Render() : ui->StillLogo()->Update(16); break;
        case kUITitle: draw ? ui->Title()->Render() : ui->Title()->Update(16); break;
        case kUISelectCharacter: draw ? ui->SelectCharacter()->Render() : ui->SelectCharacter()->Update(16); break;
        case kUISaveLoad: draw ? ui->SaveLoad()->Render() : ui->SaveLoad()->Update(); break;
        case kUIOption: draw ? ui->Option()->Render() : ui->Option()->Update(16); break;
        case kUILobby: draw ? ui->Lobby()->Render() : ui->Lobby()->Update(0.016f); break;
        case kUIGamePlay: draw ? ui->GamePlay()->Render() : ui->GamePlay()->Update(0.016f); break;
        case kUIGameOver: draw ? ui->GameOver()->Render() : ui->GameOver()->Update(16); break;
        case kUIStageEnd: draw ? ui->StageEnd()->Render() : ui->StageEnd()->Update(16); break;
        case kUIRanking: draw ? ui->Ranking()->Render() : ui->Ranking()->Update(16); break;
        case kUIStageClear: draw ? ui->StageClear()->Render() : ui->StageClear()->Update(16); break;
        default: FAIL() << number;
        }
    }
};

TEST_P(LeftScreens, TakeNoInputAndDrawNothing)
{
    const uint32_t number = GetParam();
    StartOn("left_" + std::to_string(number));
    Goto(number);
    Updates(3);
    Goto(number == kUIGamePlay ? kUIGameOver : kUIGamePlay);
    // Its music (the selection's, the options' ...) has ended with it at
    // once; the game-over screen, next after play, plays its own.
    if (number != kUIGamePlay) {
        EXPECT_EQ(ui->MusicHandle(), kUINoMusic);
    }
    TakeTrace();
    const uint32_t requested = ui->RequestedScreen();
    for (const PadButton button : {kPadCircle, kPadStart, kPadCross, kPadSelect, kPadTriangle, kPadSquare, kPadUp,
                                   kPadDown, kPadLeft, kPadRight}) {
        for (int frame = 0; frame < 3; ++frame) {
            Press(0, button);
            Run(number, false);
            ReleasePads();
        }
    }
    // Long enough for any of the screens' timers to run out.
    for (int frame = 0; frame < 400; ++frame) {
        Run(number, false);
    }
    EXPECT_EQ(ui->RequestedScreen(), requested);
    EXPECT_EQ(ui->IsFading(), 0);
    EXPECT_TRUE(SoundsOf(TakeTrace()).empty());
    // The lobby alone, left, still shows the base map, whole.
    const RwRGBA grey = {60, 60, 60, 255};
    const win::Frame left = DrawFrame(
        [&] {
            Run(number, true);
            ui->DrawFade();
        },
        grey);
    EXPECT_EQ(left.pixels, DrawFrame(
                               [&] {
                                   if (number == kUILobby) {
                                       DrawPlaced({kUIScreen, kUIWholePicture}, ui->BaseMap());
                                   }
                               },
                               grey)
                               .pixels);
}

// Shown and run a few frames, each screen has closed the pack it read its
// pictures from: a pack left open would serve later reads of loose files.
TEST_P(LeftScreens, ShownTheyHaveClosedThePackOfTheirPictures)
{
    const uint32_t number = GetParam();
    StartOn("packs_" + std::to_string(number));
    Goto(number);
    EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
    for (int frame = 0; frame < 3; ++frame) {
        Run(number, false);
        DrawFrame([&] { Run(number, true); });
    }
    EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
}

INSTANTIATE_TEST_SUITE_P(EachScreen, LeftScreens,
                         ::testing::Values(kUIWarning, kUIStillLogo, kUITitle, kUISelectCharacter, kUISaveLoad,
                                           kUIOption, kUILobby, kUIGamePlay, kUIGameOver, kUIStageEnd, kUIRanking,
                                           kUIStageClear),
                         [](const ::testing::TestParamInfo<uint32_t> &info) { return std::to_string(info.param); });

}  // namespace

}  // namespace left_screens_test
