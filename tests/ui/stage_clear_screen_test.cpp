// The stage clear on the real screens and the sample pictures: the final
// grade and figures of its activation, the ending movie stopped by a
// confirm, the route's markers 150 ms apart from the start point, a route
// entry that is no stage slot, the wipe into the results, the save panel
// and the way back to the title, the hero's pack missing or empty, and
// reviewed references of the route and of the results in each language
// set (100 hours and more shown as 99), and their shade over a lit picture.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/clock.h"
#include "tests/ui/result_screens_support.h"
#include "tools/mkdata/sample_saves.h"
#include "ui/save_game_panel.h"
#include "ui/stage_clear_screen.h"
#include "ui/stage_table.h"
#include "ui/ui_rect.h"

namespace stage_clear_screen_test {

namespace {

using uitest::Links;

class StageClearTest : public resulttest::ResultScreensTest {
protected:
    void TearDown() override
    {
        g_saveReturnToTitle = 0;
        resulttest::ResultScreensTest::TearDown();
    }
    CSStageClear &Screen() { return *ui->StageClear(); }
    // The game's progress: stages cleared in this order, each graded.
    void Clear(std::initializer_list<int32_t> stages, uint8_t grade)
    {
        for (int32_t stage : stages) {
            ui->MarkStageCleared(stage);
            ui->SetStageFlag(stage, grade);
        }
    }
    // `count` frames as the game has them: an update, then the drawing.
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            Updates(1);
            DrawFrame([&] { DrawScreens(); });
        }
    }
    // From the movie to the results: stop it, confirm the route, let the
    // wipe and the reveal run.
    void ToResults()
    {
        Confirm();
        Frames(1);
        Confirm();
        int frames = 0;
        while ((Screen().phase != CSStageClear::kResults || Screen().letterMs == CSStageClear::kStopped) &&
               frames < 200) {
            Frames(1);
            ++frames;
        }
        ASSERT_EQ(Screen().phase, CSStageClear::kResults);
    }
};

TEST_F(StageClearTest, ActivationGradesTheGameAndPlaysTheEndingMovie)
{
    StartOn("clear_grade");
    Clear({2, 3}, 0);
    Clear({10}, 4);  // (50 + 50 + 10) / 3 = 36: grade 1
    ui->progress.playTimeMs = 3723000;
    ui->progress.bestHitCount = 57;
    Goto(kUIStageClear);
    EXPECT_EQ(Screen().finalGrade, 1u);
    EXPECT_EQ(Screen().stagesGraded, 3u);
    EXPECT_EQ(Screen().playSeconds, 3723u);
    EXPECT_EQ(Screen().bestHits, 57u);
    EXPECT_EQ(Screen().phase, CSStageClear::kRoute);
    EXPECT_EQ(Links().movie, "END.BIK");
    EXPECT_TRUE(Links().moviePlaying);
    EXPECT_NE(Screen().clearArt, nullptr);
    EXPECT_NE(Screen().baseArt, nullptr);
    const std::vector<gametest::TraceRecord> trace = TakeTrace();
    EXPECT_TRUE(HasScreenLine(trace, {"final", "1", "3"}));
    EXPECT_TRUE(HasScreenLine(trace, {"movie", "END.BIK"}));
}

TEST_F(StageClearTest, NothingGradedGivesTheLowestGrade)
{
    StartOn("clear_nograde");
    Goto(kUIStageClear);
    EXPECT_EQ(Screen().finalGrade, 4u);
    EXPECT_EQ(Screen().stagesGraded, 0u);
}

TEST_F(StageClearTest, ConfirmStopsTheMovieAndTheRouteStartsFromTheStart)
{
    StartOn("clear_movie");
    Clear({2, 3}, 1);
    Goto(kUIStageClear);
    TakeTrace();
    // While the movie plays nothing of the screen is drawn or timed.
    Frames(5);
    EXPECT_EQ(Screen().routeMs, CSStageClear::kStopped);
    Confirm();
    EXPECT_FALSE(Links().moviePlaying);
    EXPECT_EQ(Screen().phase, CSStageClear::kRoute);
    std::vector<gametest::TraceRecord> trace = TakeTrace();
    EXPECT_TRUE(HasScreenLine(trace, {"movie", "stop"}));
    EXPECT_TRUE(SoundsOf(trace).empty());
    // The first drawing after the movie starts the route at 0.
    Frames(1);
    EXPECT_EQ(Screen().routeMs, 0u);
    Frames(1);
    EXPECT_EQ(Screen().routeMs, 16u);
    // The next confirm starts the wipe.
    Confirm();
    EXPECT_EQ(Screen().phase, CSStageClear::kWipe);
    EXPECT_EQ(Screen().transitionMs, 0u);
    EXPECT_EQ(SoundsOf(TakeTrace()), (std::vector<int64_t>{6600060}));
}

TEST_F(StageClearTest, TwoClearedStagesShowThreeMarkers150MsApart)
{
    StartOn("clear_route");
    Clear({10, 8}, 2);  // slots 6 and 7
    Goto(kUIStageClear);
    int32_t slots[CSStageClear::kRoutePoints];
    EXPECT_EQ(Screen().RoutePointsShown(0, slots), 1);
    EXPECT_EQ(slots[0], 0);
    EXPECT_EQ(Screen().RoutePointsShown(149, slots), 1);
    EXPECT_EQ(Screen().RoutePointsShown(150, slots), 2);
    EXPECT_EQ(slots[1], 6);
    EXPECT_EQ(Screen().RoutePointsShown(299, slots), 2);
    EXPECT_EQ(Screen().RoutePointsShown(300, slots), 3);
    EXPECT_EQ(slots[2], 7);
    EXPECT_EQ(Screen().RoutePointsShown(100000, slots), 3);
    // On screen: the third marker (slot 7 at (202, 233)) comes at 300 ms
    // at alpha 0 and grows more opaque with its age.
    Confirm();  // the movie
    auto markerPixel = [&](uint32_t routeMs) {
        Screen().routeMs = routeMs - 16;  // the drawing adds the frame's 16 ms
        const win::Frame frame = DrawFrame([&] { ui->Render(); });
        return frame.pixels[233 * 640 + 202];
    };
    const uint32_t before = markerPixel(299);
    EXPECT_EQ(markerPixel(300), before);
    const uint32_t young = markerPixel(400);
    const uint32_t old = markerPixel(800);
    EXPECT_NE(before, young);
    EXPECT_NE(young, old);
    EXPECT_EQ(markerPixel(2000), old);
}

TEST_F(StageClearTest, AnEntryThatIsNoStageSlotEndsTheRoute)
{
    StartOn("clear_badroute");
    ui->progress.clearedList[0] = 3;
    ui->progress.clearedList[1] = 29;
    ui->progress.clearedList[2] = 4;
    Goto(kUIStageClear);
    int32_t slots[CSStageClear::kRoutePoints];
    EXPECT_EQ(Screen().RoutePointsShown(100000, slots), 2);
    // A start word that is no slot shows nothing at all.
    ui->progress.clearedWord = 0xFFFFFFFFu;
    EXPECT_EQ(Screen().RoutePointsShown(100000, slots), 0);
    ui->progress.clearedWord = 0;
    // Drawn to the end without harm.
    Confirm();
    Frames(40);
}

TEST_F(StageClearTest, TheResultsOpenTheSavePanelAndBackingOutReturnsToTheTitle)
{
    StartOn("clear_panel");
    Clear({37}, 0);
    Goto(kUIStageClear);
    ToResults();
    EXPECT_NE(Screen().pictures.HeroPicture(), nullptr);
    TakeTrace();
    Confirm();
    EXPECT_EQ(Screen().phase, CSStageClear::kSavePanel);
    ASSERT_NE(Screen().savePanel, nullptr);
    EXPECT_EQ(Screen().savePanel->active, 1);
    EXPECT_EQ(g_saveReturnToTitle, 1);
    EXPECT_EQ(SoundsOf(TakeTrace()), (std::vector<int64_t>{6600060}));
    // Drawn, the panel over the base map and nothing of the results.
    const win::Frame shown = DrawFrame([&] { Screen().Render(); });
    const win::Frame alone = DrawFrame([&] {
        DrawPlaced({kUIScreen, kUIWholePicture}, Screen().baseMap);
        Screen().savePanel->Render();
    });
    EXPECT_TRUE(shown.pixels == alone.pixels);
    // The panel takes the input now: down moves its cursor.
    Press(0, kPadDown);
    Frames(1);
    EXPECT_EQ(Screen().savePanel->view.cursor, 1);
    // Back leaves the panel and asks for the title.
    Press(0, kPadCross);
    Frames(1);
    EXPECT_TRUE(gs.StageExitRequested());
    EXPECT_EQ(g_saveReturnToTitle, 0);
    // The panel closes under the base map's cover (after its reveal).
    Frames(80);
    EXPECT_EQ(Screen().savePanel->active, 0);
}

// The results come out of black over 500 ms (drawings 16 ms apart: black
// gone at the 33rd, t = 512); the grade letter's timer starts at 0 there
// and the letter fades in over the next 500 ms, then stays.
TEST_F(StageClearTest, TheResultsComeOutOfBlackThenTheGradeLetterFadesInOverHalfASecond)
{
    StartOn("clear_letter");
    Clear({37}, 0);
    Goto(kUIStageClear);
    Confirm();  // the movie
    Frames(1);
    Confirm();  // the wipe
    int frames = 0;
    while (Screen().phase != CSStageClear::kResults && frames < 100) {
        Frames(1);
        ++frames;
    }
    ASSERT_EQ(Screen().phase, CSStageClear::kResults);
    ASSERT_EQ(Screen().transitionMs, 0u);
    // Grade 0's letter in language 1 lies at (196, 288)-(280, 346).
    auto frame = [&] {
        Updates(1);
        return DrawFrame([&] { DrawScreens(); });
    };
    auto letterArea = [](const win::Frame &f) {
        std::vector<uint32_t> area;
        for (int y = 288; y < 346; ++y) {
            for (int x = 196; x < 280; ++x) {
                area.push_back(f.pixels[static_cast<size_t>(y) * 640 + static_cast<size_t>(x)]);
            }
        }
        return area;
    };
    for (int i = 0; i < 32; ++i) {
        frame();
        EXPECT_EQ(Screen().transitionMs, 16u * static_cast<uint32_t>(i + 1)) << i;
        EXPECT_EQ(Screen().letterMs, CSStageClear::kStopped) << i;
    }
    frame();
    EXPECT_EQ(Screen().transitionMs, CSStageClear::kStopped);
    EXPECT_EQ(Screen().letterMs, 0u);
    const std::vector<uint32_t> unseen = letterArea(frame());  // drawn at alpha 0
    EXPECT_EQ(Screen().letterMs, 16u);
    std::vector<uint32_t> faint;
    for (int i = 1; i < 32; ++i) {
        const std::vector<uint32_t> area = letterArea(frame());
        if (i == 8) {
            faint = area;  // at 128 ms
        }
        EXPECT_EQ(Screen().letterMs, 16u * static_cast<uint32_t>(i + 1)) << i;
    }
    const std::vector<uint32_t> full = letterArea(frame());
    EXPECT_EQ(Screen().letterMs, 512u);
    EXPECT_EQ(letterArea(frame()), full);
    EXPECT_EQ(Screen().letterMs, 512u);
    EXPECT_NE(unseen, faint);
    EXPECT_NE(faint, full);
}

// The wipe's streaks come from the game's one generator seeded with the
// clock mod 100: the same clock mod 100 draws the same streaks (so a run
// under --fixed-step repeats), another clock other ones.
TEST_F(StageClearTest, TheWipeIsSeededWithTheClockModOneHundred)
{
    StartOn("clear_wipe");
    Goto(kUIStageClear);
    Confirm();  // the movie
    Frames(1);
    Confirm();  // the wipe
    ASSERT_EQ(Screen().phase, CSStageClear::kWipe);
    static uint32_t now = 0;
    UseTestClock([](void *) -> uint32_t { return now; }, [](uint32_t, void *) {}, nullptr);
    auto wipe = [&](uint32_t clock) {
        now = clock;
        Screen().transitionMs = 200;
        return DrawFrame([&] { ui->Render(); }).pixels;
    };
    const std::vector<uint32_t> first = wipe(1234);
    EXPECT_EQ(wipe(1234), first);
    EXPECT_EQ(wipe(5634), first);
    EXPECT_NE(wipe(1235), first);
    // Streaks of 1.4 x 200 = 280 pixels, 60 either way: black at 219, not at 341.
    for (int y = 0; y < 480; ++y) {
        EXPECT_EQ(first[static_cast<size_t>(y) * 640 + 219] & 0xFFFFFFu, 0u) << y;
        EXPECT_NE(first[static_cast<size_t>(y) * 640 + 341] & 0xFFFFFFu, 0u) << y;
    }
    UseSystemClock();
}

// With the hero's pack missing, or empty, the results show without the
// hero and the game can still be saved.
class StageClearWithoutPack : public StageClearTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StageClearWithoutPack, ShowsTheResultsWithoutTheHero)
{
    const bool missing = GetParam();
    StartOn(missing ? "clear_nopack" : "clear_emptypack");
    if (missing) {
        resulttest::RemoveFile(root, "PACK/UI1/RANKPIC1.STR");
        resulttest::RemoveFile(root, "PACK/UI1/RANKPIC1.LST");
    } else {
        resulttest::EmptyFile(root, "PACK/UI1/RANKPIC1.STR");
    }
    Goto(kUIStageClear);
    ToResults();
    EXPECT_TRUE(Screen().pictures.GaveUp());
    EXPECT_EQ(Screen().pictures.HeroPicture(), nullptr);
    Confirm();
    EXPECT_EQ(Screen().phase, CSStageClear::kSavePanel);
    EXPECT_EQ(Fatals(), 0u);
}

INSTANTIATE_TEST_SUITE_P(MissingOrEmpty, StageClearWithoutPack, ::testing::Bool());

// The route of the late-game save with stage 37 cleared, all its markers
// shown.
TEST_F(StageClearTest, TheRouteLooksAsReviewed)
{
    StartOn("clear_route_shot");
    const SaveRecord save = mkdata::LateGameSaveRecord();
    std::memcpy(ui->progress.clearedList, save.clearedList, sizeof save.clearedList);
    ui->MarkStageCleared(37);
    Goto(kUIStageClear);
    Confirm();
    Frames(1);
    Screen().routeMs = 24 * 150 + 400;
    ExpectShot("clear_route", [&] { DrawScreens(); });
}

// Every stage cleared: the marker of each of the 29 slots in its place on
// the route (the part of the screen they cover, as reviewed).
TEST_F(StageClearTest, EveryStagesMarkerStandsInItsPlace)
{
    StartOn("clear_route_all");
    Clear({2, 3, 4, 5, 6, 8, 10, 15, 16, 17, 19, 22, 23, 25, 27, 28, 29, 30, 31, 32, 33, 34, 36, 37, 38, 40, 41, 42},
          0);
    Goto(kUIStageClear);
    int32_t slots[CSStageClear::kRoutePoints];
    ASSERT_EQ(Screen().RoutePointsShown(100000, slots), 29);
    Confirm();
    Frames(1);
    Screen().routeMs = 28 * 150 + 400;
    const win::Frame frame = DrawFrame([&] { DrawScreens(); });
    resulttest::ExpectCutLikeReference(frame.pixels, {36, 92, 576, 420}, root, "clear_route_all");
}

// The results in each language set: hero 1 with a weapon, 100 hours and
// more shown as 99.
class StageClearResults : public StageClearTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(StageClearResults, LookAsReviewed)
{
    const int32_t language = GetParam();
    StartOn("clear_results_" + std::to_string(language), language);
    ui->heroBlock.heroType = 1;
    ui->heroBlock.equipped[2] = 5100230;
    Links().hero = nullptr;
    Clear({2, 3, 4, 5, 6}, 1);
    Clear({37}, 0);
    ui->progress.playTimeMs = (100u * 3600u + 4u * 60u + 5u) * 1000u;
    ui->progress.bestHitCount = 123;
    Goto(kUIStageClear);
    ToResults();
    Frames(40);
    ExpectShot(language == 0 ? "clear_results_chi" : "clear_results_eng", [&] { DrawScreens(); });
}

INSTANTIATE_TEST_SUITE_P(Languages, StageClearResults, ::testing::Values(1, 0));

// The first hero's results in language 0: his name plate centred on
// (271, 61), his picture and his weapon in their places, the digits of
// language 0, and grade 3 ((30 x 2 + 10) / 3 = 23).
TEST_F(StageClearTest, TheFirstHerosResultsLookAsReviewed)
{
    StartOn("clear_results_hero0", 0);
    ui->heroBlock.heroType = 0;
    ui->heroBlock.equipped[2] = 5100170;
    Links().hero = nullptr;
    Clear({2, 3}, 2);
    Clear({37}, 4);
    ui->progress.playTimeMs = (7u * 3600u + 38u * 60u + 9u) * 1000u;
    ui->progress.bestHitCount = 8;
    Goto(kUIStageClear);
    ASSERT_EQ(Screen().finalGrade, 3u);
    ToResults();
    Frames(40);
    ExpectShot("clear_results_hero0_chi", [&] { DrawScreens(); });
    // Behind the pictures the results lay a black shade of alpha 100: a
    // white picture beneath shows at 155 out of 255 beside the board.
    const win::Frame lit = DrawFrame([&] { DrawScreens(); }, {255, 255, 255, 255});
    for (const size_t at : {size_t{10} * 640 + 10, size_t{470} * 640 + 600}) {
        const uint32_t pixel = lit.pixels[at];
        for (const int shift : {0, 8, 16}) {
            EXPECT_NEAR(static_cast<int>((pixel >> shift) & 0xFFu), 155, 2) << at << " " << shift;
        }
    }
}

// Each final grade's letter where its language set puts it: the pixels
// the letter changes, shown at full against hidden, fill its rectangle,
// and hold the letter's picture.
class StageClearGradeLetters : public StageClearTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(StageClearGradeLetters, StandInTheirPlaces)
{
    const int32_t language = GetParam();
    StartOn("clear_letters_" + std::to_string(language), language);
    Clear({37}, 0);
    Goto(kUIStageClear);
    ToResults();
    Frames(40);
    using resulttest::ScreenBox;
    const ScreenBox chinese = {156, 273, 320, 347};
    const ScreenBox places[2][5] = {
        {chinese, chinese, chinese, chinese, chinese},
        {{196, 288, 280, 346}, {168, 293, 319, 331}, {167, 285, 306, 326}, {197, 285, 320, 343}, {145, 279, 342, 337}},
    };
    auto draw = [&](uint32_t letterMs) {
        Screen().letterMs = letterMs;
        return DrawFrame([&] { DrawScreens(); }).pixels;
    };
    for (uint32_t grade = 0; grade < 5; ++grade) {
        SCOPED_TRACE(grade);
        Screen().finalGrade = grade;
        const std::vector<uint32_t> hidden = draw(CSStageClear::kStopped);
        const std::vector<uint32_t> shown = draw(500);
        const ScreenBox &place = places[language == 0 ? 0 : 1][grade];
        EXPECT_EQ(resulttest::ChangedBox(hidden, shown), place);
        // Its place cut out against a reviewed picture of the letter: the
        // right part of CLEAR shown in it.
        resulttest::ExpectCutLikeReference(
            shown, place, root, "clear_letter_" + std::string(language == 0 ? "chi_" : "eng_") + std::to_string(grade));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, StageClearGradeLetters, ::testing::Values(1, 0));

// Left for another screen, the stage clear keeps nothing: its texts go
// back to the pool and its pictures are freed, and it comes back as new.
TEST_F(StageClearTest, LeavingItGivesBackItsTextsAndPictures)
{
    StartOn("clear_leave");
    Clear({2, 3}, 1);
    Goto(kUIGamePlay);
    const int before = uitest::TextBlocksInUse(gs);
    for (int visit = 0; visit < 2; ++visit) {
        SCOPED_TRACE(visit);
        Goto(kUIStageClear);
        ToResults();
        EXPECT_GT(uitest::TextBlocksInUse(gs), before);
        Goto(kUIGamePlay);
        EXPECT_EQ(uitest::TextBlocksInUse(gs), before);
        EXPECT_EQ(Screen().clearArt, nullptr);
        EXPECT_EQ(Screen().baseArt, nullptr);
        EXPECT_EQ(Screen().active, 0);
        // Gone, it takes no input meant for the screen after it.
        const uint32_t phase = Screen().phase;
        TakeTrace();
        Press(0, kPadCircle);
        Screen().Update(16u);
        EXPECT_EQ(Screen().phase, phase);
        EXPECT_TRUE(SoundsOf(TakeTrace()).empty());
    }
}

}  // namespace

}  // namespace stage_clear_screen_test
