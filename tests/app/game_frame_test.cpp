// The order of a game-system frame against a recording fake of its
// children: which updates run (menu open, movie playing), the menu chord,
// what the render frame draws and in which order (loading screen active,
// movie playing, display-information mode 3), children that do not exist
// yet never called, and the return to the title.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/game_frame.h"

namespace game_frame_test {

namespace {

struct RecordingChildren {
    bool stage = true, screens = true, menu = true;
    bool menuOpen = false, movie = false, loading = false, cameraBegins = true;
    std::vector<std::string> calls;

    bool HasStage() const { return stage; }
    bool HasScreens() const { return screens; }
    bool HasDevMenu() const { return menu; }
    bool MoviePlaying() const { return movie; }
    bool LoadingScreenActive() const { return loading; }
    bool DevMenuIsOpen() const { return menuOpen; }

    void TickFrameClock() { calls.push_back("clock"); }
    uint32_t FrameMs() const { return 16; }
    void StageUpdate(uint32_t ms) { calls.push_back("stage.Update " + std::to_string(ms)); }
    void StageMovieTimeUpdate(uint32_t ms) { calls.push_back("stage.MovieTimeUpdate " + std::to_string(ms)); }
    void ScreensUpdate() { calls.push_back("screens.Update"); }
    void DevMenuUpdate(uint32_t ms) { calls.push_back("menu.Update " + std::to_string(ms)); }
    void DevMenuOpen(bool open, int32_t hero)
    {
        calls.push_back(std::string("menu.Open ") + (open ? "1 " : "0 ") + std::to_string(hero));
        menuOpen = open;
    }

    bool BeginFrame()
    {
        calls.push_back("begin");
        return cameraBegins;
    }
    void EndFrame() { calls.push_back("end"); }
    void DrawMovieFrame() { calls.push_back("movie"); }
    void StageRender() { calls.push_back("stage.Render"); }
    void DrawDefaultScene() { calls.push_back("default scene"); }
    void ScreensRender() { calls.push_back("screens.Render"); }
    void DrawTextBlocks() { calls.push_back("text blocks"); }
    void ScreensDrawBaseMapFade() { calls.push_back("screens.DrawBaseMapFade"); }
    void ScreensDrawFade() { calls.push_back("screens.DrawFade"); }
    void DevMenuRender() { calls.push_back("menu.Render"); }
    void DevMenuRenderWorldLights() { calls.push_back("menu.RenderWorldLights"); }
    void DrawStatistics() { calls.push_back("statistics"); }

    void ShowBlackFor100Ms() { calls.push_back("black 100 ms"); }
    void StageReleaseForTitle() { calls.push_back("stage.Release"); }
    void ScreensReturnToTitle() { calls.push_back("screens.ReturnToTitle"); }
};

using Calls = std::vector<std::string>;

PadState Pad(std::initializer_list<PadButton> down, uint8_t state = kPadPressedState)
{
    PadState pad{};
    pad.connected = 1;
    for (PadButton b : down) {
        pad.buttons[b] = state;
    }
    return pad;
}

TEST(GameFrame, TickRunsTheClockThenTheStageThenTheScreens)
{
    RecordingChildren c;
    game::RunGameTick(c, Pad({}));
    EXPECT_EQ(c.calls, (Calls{"clock", "stage.Update 16", "screens.Update"}));
}

TEST(GameFrame, AnOpenMenuTakesTheTick)
{
    RecordingChildren c;
    c.menuOpen = true;
    game::RunGameTick(c, Pad({}));
    EXPECT_EQ(c.calls, (Calls{"clock", "menu.Update 16"}));
}

TEST(GameFrame, APlayingMovieGivesTheStageItsMovieTimeUpdate)
{
    RecordingChildren c;
    c.movie = true;
    game::RunGameTick(c, Pad({}));
    EXPECT_EQ(c.calls, (Calls{"clock", "stage.MovieTimeUpdate 16", "screens.Update"}));
}

TEST(GameFrame, TheMenuChordOpensAndClosesAfterTheUpdates)
{
    RecordingChildren c;
    game::RunGameTick(c, Pad({kPadSelect, kPadStart, kPadCircle}));
    EXPECT_EQ(c.calls, (Calls{"clock", "stage.Update 16", "screens.Update", "menu.Open 1 0"}));
    // Held buttons count as well; circle with the menu open does not close it.
    c.calls.clear();
    game::RunGameTick(c, Pad({kPadSelect, kPadStart, kPadCircle}, kPadHeldState));
    EXPECT_EQ(c.calls, (Calls{"clock", "menu.Update 16"}));
    c.calls.clear();
    game::RunGameTick(c, Pad({kPadSelect, kPadStart, kPadCross}, kPadHeldState));
    EXPECT_EQ(c.calls, (Calls{"clock", "menu.Update 16", "menu.Open 0 0"}));
    // Without both select and start nothing opens; cross alone with the
    // menu closed does nothing.
    for (const PadState &pad : {Pad({kPadCircle}), Pad({kPadSelect, kPadCircle}), Pad({kPadStart, kPadCircle}),
                                Pad({kPadSelect, kPadStart, kPadCross})}) {
        c.calls.clear();
        game::RunGameTick(c, pad);
        EXPECT_EQ(c.calls, (Calls{"clock", "stage.Update 16", "screens.Update"}));
    }
}

TEST(GameFrame, ChildrenThatDoNotExistAreNeverCalled)
{
    RecordingChildren c;
    c.stage = c.screens = c.menu = false;
    game::RunGameTick(c, Pad({kPadSelect, kPadStart, kPadCircle}));
    EXPECT_EQ(c.calls, (Calls{"clock"}));
    c.calls.clear();
    c.loading = true;  // only the stage manager's loading screen counts
    EXPECT_TRUE(game::RunGameRender(c, game::kDisplayInfoAll));
    EXPECT_EQ(c.calls, (Calls{"begin", "default scene", "text blocks", "statistics", "end"}));
    c.calls.clear();
    game::RunStageExit(c);
    EXPECT_EQ(c.calls, (Calls{"black 100 ms"}));
}

TEST(GameFrame, RenderDrawsTheLayersInOrder)
{
    RecordingChildren c;
    EXPECT_TRUE(game::RunGameRender(c, 1));
    EXPECT_EQ(c.calls, (Calls{"begin", "stage.Render", "screens.Render", "text blocks", "screens.DrawBaseMapFade",
                              "screens.DrawFade", "menu.Render", "statistics", "end"}));
    c.calls.clear();
    EXPECT_TRUE(game::RunGameRender(c, game::kDisplayInfoAll));
    EXPECT_EQ(c.calls, (Calls{"begin", "stage.Render", "screens.Render", "text blocks", "screens.DrawBaseMapFade",
                              "screens.DrawFade", "menu.Render", "menu.RenderWorldLights", "statistics", "end"}));
}

TEST(GameFrame, AMovieReplacesTheStageAndHidesTheMenuAndStatistics)
{
    RecordingChildren c;
    c.movie = true;
    EXPECT_TRUE(game::RunGameRender(c, game::kDisplayInfoAll));
    EXPECT_EQ(c.calls, (Calls{"begin", "movie", "screens.Render", "text blocks", "screens.DrawBaseMapFade",
                              "screens.DrawFade", "end"}));
}

TEST(GameFrame, NothingIsDrawnWhileTheLoadingScreenIsActive)
{
    RecordingChildren c;
    c.loading = true;
    EXPECT_FALSE(game::RunGameRender(c, 1));
    EXPECT_TRUE(c.calls.empty());
}

TEST(GameFrame, ARefusedCameraUpdateDrawsNothing)
{
    RecordingChildren c;
    c.cameraBegins = false;
    EXPECT_FALSE(game::RunGameRender(c, 1));
    EXPECT_EQ(c.calls, (Calls{"begin"}));
}

TEST(GameFrame, StageExitShowsBlackThenReleasesThenReturnsToTheTitle)
{
    RecordingChildren c;
    game::RunStageExit(c);
    EXPECT_EQ(c.calls, (Calls{"black 100 ms", "stage.Release", "screens.ReturnToTitle"}));
}

}  // namespace

}  // namespace game_frame_test
