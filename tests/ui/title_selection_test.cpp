// The title and the character selection played by script against the real
// pictures and models of the sample data, with recording movie and stage
// links and a sound front-end without a device: which pad and button leaves
// the prompt, the menu's sounds, the title's pictures as laid out in each
// language, the prompt's and the cursor's blink, the fade before each
// request, the attract movie after 73 s (the fade into it stopped by select
// or turned into the menu by start; circle ends it as start does), quit,
// the turntable's turn and its direction (also without a sky box), confirm
// and back ignored while it turns, the leave only after the fade, and the
// hero block a confirmed hero writes. On a tree of the test's own: a
// SELCHAR pack without a hero's model (that hero stands absent, the
// turntable still turns to it, and choosing it waits for no motion) or
// without the sky box (coming back from the title keeps the heroes loaded
// the first time), and a full pack, whose heroes and sky box stay loaded
// for the way back: the pack is not read again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "actor/hero.h"
#include "actor/item_records.h"
#include "app/audio.h"
#include "app/pack.h"
#include "app/trace.h"
#include "stage/clump_anim_manager.h"
#include "stage/model_template.h"
#include "tests/support/game/trace_reader.h"
#include "tests/ui/lobby_test_support.h"
#include "tests/ui/ui_test_support.h"
#include "ui/select_character.h"
#include "ui/title_screen.h"
#include "tools/mkdata/character_states.h"
#include "tools/mkdata/item_data.h"
#include "tools/mkdata/stage_files.h"
#include "ui/ui_sound.h"

namespace title_selection_test {

namespace {

using uitest::Links;
using uitest::ScreensTest;

class FrontEndTest : public ScreensTest {
protected:
    void SetUp() override
    {
        StartOnSampleData(640, 480, language);
        if (IsSkipped()) {
            return;
        }
        // The keyboard stands for pad 0.
        gs.padStates[kPadStateBlock][0].connected = 1;
        audio.Create(false);
        SetUIAudioForTest(&audio, true);
        tracePath = apptest::ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                    "/t.txt";
        std::string error;
        ASSERT_TRUE(game::TraceOpen(tracePath, &error)) << error;
        ui->LoadFrontEndTextures();
        ui->LoadUISounds();
    }
    void TearDown() override
    {
        game::TraceClose();
        ScreensTest::TearDown();
        SetUIAudioForTest(nullptr, false);
        audio.Release();
    }
    // The interface sounds played so far, in order.
    std::vector<int64_t> Sounds() { return uitest::TakeTracedSounds(&tracePath); }
    void Goto(uint32_t screen)
    {
        ui->RequestModule(screen);
        ui->Update(16);
        ASSERT_EQ(ui->CurrentScreen(), screen);
    }

    int32_t language = 1;
    CSAudio audio;
    std::string tracePath;
    uitest::RecordingLinksScope links;
};

TEST_F(FrontEndTest, OnlyPadZeroOrTheMouseLeavesThePromptAndTheMenuHearsThatPadOnly)
{
    Goto(7);
    CSTitle *title = ui->Title();
    EXPECT_EQ(Links().movie, "PRELOGO.BIK");
    EXPECT_EQ(title->state, CSTitle::kPrompt);
    Press(1, kPadStart);
    Updates(1);
    EXPECT_EQ(title->state, CSTitle::kPrompt);
    MouseButtonState = 1;
    Updates(1);
    EXPECT_EQ(title->state, CSTitle::kMenu);
    EXPECT_EQ(ui->GetUIPad(), 0);
    Updates(1);  // the menu's background loops
    EXPECT_EQ(Links().movie, "LOGOBG.BIK");
    Press(1, kPadCross);
    Updates(1);
    EXPECT_EQ(title->state, CSTitle::kMenu);
    Press(0, kPadCross);
    Updates(1);
    EXPECT_EQ(title->state, CSTitle::kPrompt);
    EXPECT_EQ(ui->GetUIPad(), -1);
    Press(0, kPadStart);
    Updates(1);
    EXPECT_EQ(title->state, CSTitle::kMenu);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600060, 6600000, 6600060}));
}

// Start and select in one update at the prompt: start opens the menu, and
// the select is not heard (it would shut the menu again).
TEST_F(FrontEndTest, StartWithSelectAtThePromptOpensTheMenu)
{
    Goto(7);
    CSTitle *title = ui->Title();
    Press(0, kPadStart);
    Press(0, kPadSelect);
    Updates(1);
    EXPECT_EQ(title->state, CSTitle::kMenu);
    EXPECT_EQ(ui->GetUIPad(), 0);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600060}));
}

// The mouse's button counts only beside a connected pad: with the pad gone
// a click neither leaves the prompt nor chooses in the menu.
TEST_F(FrontEndTest, WithoutItsPadTheTitleHearsNoClick)
{
    Goto(7);
    CSTitle *title = ui->Title();
    PadState &pad = gs.padStates[kPadStateBlock][0];
    pad.connected = 0;
    MouseButtonState = 1;
    Updates(1);
    EXPECT_EQ(title->state, CSTitle::kPrompt);
    pad.connected = 1;
    MouseButtonState = 1;
    Updates(1);
    ASSERT_EQ(title->state, CSTitle::kMenu);
    (void)Sounds();
    pad.connected = 0;
    MouseButtonState = 1;
    Updates(1);
    EXPECT_EQ(title->state, CSTitle::kMenu);
    EXPECT_FALSE(title->choicePending);
    EXPECT_TRUE(Sounds().empty());
}

TEST_F(FrontEndTest, TheMenuMovesWithSoundsButNotPastItsEnds)
{
    Goto(7);
    CSTitle *title = ui->Title();
    Press(0, kPadStart);
    Updates(2);
    Press(0, kPadUp);  // on the first item: silent
    Updates(1);
    EXPECT_EQ(title->selected, 0u);
    for (int i = 0; i < 4; ++i) {
        Press(0, kPadDown);
        Updates(1);
    }
    EXPECT_EQ(title->selected, 3u);
    Press(0, kPadUp);
    Updates(1);
    EXPECT_EQ(title->selected, 2u);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600060, 6600010, 6600010, 6600010, 6600010}));
    // Activated again while it shows: the menu stays open on its item.
    title->SetActive(1);
    EXPECT_EQ(title->state, CSTitle::kMenu);
    EXPECT_EQ(title->selected, 2u);
}

// An item number past the last deselects every item, each sliding back to
// its place, and gives the cursor the whole logo picture; a real item
// takes the cursor back with its own row.
TEST_F(FrontEndTest, ACursorPastTheLastItemChoosesNoneAndShowsTheWholePicture)
{
    Goto(7);
    CSTitle *title = ui->Title();
    title->SetMenuCursor(4, true);
    EXPECT_EQ(title->selected, 4u);
    for (int i = 0; i < CSTitle::kItems; ++i) {
        EXPECT_FALSE(title->items[i].selected) << i;
        EXPECT_FLOAT_EQ(title->items[i].quad->v[0].x, 285.0f) << i;
    }
    EXPECT_FLOAT_EQ(title->cursorQuad->v[0].u, 0.0f);
    EXPECT_FLOAT_EQ(title->cursorQuad->v[0].v, 0.0f);
    EXPECT_FLOAT_EQ(title->cursorQuad->v[3].u, 1.0f);
    EXPECT_FLOAT_EQ(title->cursorQuad->v[3].v, 1.0f);
    title->SetMenuCursor(2, true);
    EXPECT_TRUE(title->items[2].selected);
    uitest::ExpectQuad512("cursor", *title->cursorQuad, 265, 376, 415, 403, 152, 85, 302, 112,
                          title->cursorQuad->v[0].emissiveColor);
}

// Every picture of the title where its layout puts it, grey 240 and
// opaque; the menu and its cursor stand 40 pixels further left in
// language 0.
void ExpectTitleLaidOut(const CSTitle &title, float itemLeft)
{
    uitest::ExpectQuad512("overlay", *title.overlayQuad, 0, 0, 640, 480, 325, 2, 509, 140);
    uitest::ExpectQuad512("logo", *title.logoQuad, 87, 51, 563, 323, 1, 257, 438, 511);
    uitest::ExpectQuad512("dim prompt", *title.dimPromptQuad, 245, 359, 395, 386, 1, 1, 151, 28);
    uitest::ExpectQuad512("bright prompt", *title.brightPromptQuad, 245, 359, 395, 386, 152, 1, 302, 28);
    uitest::ExpectQuad512("notice", *title.noticeQuad, 193, 394, 447, 456, 2, 8, 510, 504);
    // Item 0 chosen: slid 20 to the left at once.
    for (int i = 0; i < CSTitle::kItems; ++i) {
        const float left = itemLeft - (i == 0 ? 20.0f : 0.0f);
        const float top = 320.0f + 28.0f * static_cast<float>(i);
        uitest::ExpectQuad512("item", *title.items[i].quad, left, top, left + 150, top + 27, 1, 29 + 28 * i, 151,
                              56 + 28 * i);
    }
    uitest::ExpectQuad512("fade", *title.fadeQuad, 0, 0, 640, 480, 0, 0, 512, 512, 0u);
}

TEST_F(FrontEndTest, TheTitlesPicturesStandWhereItsLayoutPutsThem)
{
    Goto(7);
    ExpectTitleLaidOut(*ui->Title(), 285.0f);
}

class FrontEndLanguage0Test : public FrontEndTest {
protected:
    FrontEndLanguage0Test() { language = 0; }
};

TEST_F(FrontEndLanguage0Test, TheMenuStandsFurtherLeft)
{
    Goto(7);
    CSTitle *title = ui->Title();
    ExpectTitleLaidOut(*title, 245.0f);
    Press(0, kPadStart);
    Updates(2);
    Press(0, kPadDown);
    Updates(1);
    for (int i = 0; i < 100; ++i) {
        Updates(1);
    }
    // The first item back at its place, the second slid to 225, the cursor
    // on it with its bright row.
    EXPECT_FLOAT_EQ(title->items[0].quad->v[0].x, 245.0f);
    uitest::ExpectQuad512("cursor", *title->cursorQuad, 225, 348, 375, 375, 152, 57, 302, 84,
                          title->cursorQuad->v[0].emissiveColor);
}

// The bright prompt and the menu's cursor blink: from opaque down to clear
// in 1020 ms (alpha 255 - ms / 4), back up in as long, grey 240 throughout.
TEST_F(FrontEndTest, ThePromptAndTheCursorBlinkIn1020MsSwings)
{
    Goto(7);
    CSTitle *title = ui->Title();
    auto expectAlpha = [](const UIQuad &q, uint32_t alpha, int ms) {
        for (const RwIm2DVertex &v : q.v) {
            EXPECT_EQ(v.emissiveColor, alpha << 24 | 0xF0F0F0u) << ms;
        }
    };
    Updates(1, 400);
    expectAlpha(*title->brightPromptQuad, 155, 400);
    Updates(1, 620);  // 1020: clear, turning
    expectAlpha(*title->brightPromptQuad, 0, 1020);
    Updates(1, 100);
    expectAlpha(*title->brightPromptQuad, 25, 1120);
    Updates(1, 920);  // 2040: opaque, turning
    expectAlpha(*title->brightPromptQuad, 255, 2040);
    Updates(1, 8);
    expectAlpha(*title->brightPromptQuad, 253, 2048);
    // The cursor keeps its own swing, begun with the screen.
    expectAlpha(*title->cursorQuad, 253, 2048);
    Press(0, kPadStart);
    Updates(1, 1000);
    EXPECT_EQ(title->state, CSTitle::kMenu);
    expectAlpha(*title->cursorQuad, 255 - (2 + 250), 3048);
}

// Each activation starts both swings falling from opaque: the first update
// of 15 ms shows them at 255 - 15 / 4, the second at 255 - 30 / 4.
TEST_F(FrontEndTest, ThePromptAndTheCursorStartTheirSwingOpaqueAtEachActivation)
{
    for (int visit = 0; visit < 2; ++visit) {
        Goto(7);
        CSTitle *title = ui->Title();
        Updates(1, 15);
        for (const UIQuad *q : {title->brightPromptQuad.get(), title->cursorQuad.get()}) {
            EXPECT_EQ(q->v[0].emissiveColor >> 24, 252u) << visit;
        }
        Updates(1, 15);
        EXPECT_EQ(title->brightPromptQuad->v[3].emissiveColor >> 24, 248u) << visit;
        Goto(10);
    }
}

// The menu's items stand 150 wide from x 285; the chosen one slides left to
// 265 and the one left slides back to its place, each step 0.01 pixel for
// every millisecond since its slide began, the cursor on the chosen one.
TEST_F(FrontEndTest, TheChosenItemSlidesLeftAndTheOneLeftSlidesBack)
{
    Goto(7);
    CSTitle *title = ui->Title();
    Press(0, kPadStart);
    Updates(2);
    ASSERT_EQ(title->state, CSTitle::kMenu);
    for (int i = 0; i < 200; ++i) {
        Updates(1);
    }
    const SlideItem &first = title->items[0];
    const SlideItem &second = title->items[1];
    EXPECT_FLOAT_EQ(first.left, 265.0f);
    EXPECT_FLOAT_EQ(second.left, 285.0f);
    EXPECT_FLOAT_EQ(second.width, 150.0f);
    EXPECT_FLOAT_EQ(second.top, 348.0f);
    EXPECT_FLOAT_EQ(second.height, 27.0f);
    Press(0, kPadDown);
    Updates(1);  // the slides start: no step yet
    EXPECT_FLOAT_EQ(second.left, 285.0f);
    EXPECT_FLOAT_EQ(first.left, 265.0f);
    Updates(1);  // 16 ms in: 0.16
    EXPECT_FLOAT_EQ(second.left, 285.0f - 0.16f);
    EXPECT_FLOAT_EQ(first.left, 265.0f + 0.16f);
    Updates(1);  // 32 ms in: 0.32 more
    EXPECT_NEAR(second.left, 285.0f - 0.48f, 1e-4f);
    EXPECT_NEAR(first.left, 265.0f + 0.48f, 1e-4f);
    // The cursor stands where the chosen item is.
    EXPECT_FLOAT_EQ(title->cursorQuad->v[0].x, second.quad->v[0].x);
    EXPECT_FLOAT_EQ(title->cursorQuad->v[3].y, second.quad->v[3].y);
    for (int i = 0; i < 100; ++i) {
        Updates(1);
    }
    EXPECT_FLOAT_EQ(second.left, 265.0f);
    EXPECT_FLOAT_EQ(first.left, 285.0f);
    EXPECT_EQ(second.slideMs, 0xFFFFFFFFu);
    EXPECT_EQ(first.slideMs, 0xFFFFFFFFu);
    // Drawn where it stands: 348 to 375 down.
    EXPECT_FLOAT_EQ(second.quad->v[0].y, 348.0f);
    EXPECT_FLOAT_EQ(second.quad->v[3].y, 375.0f);
    EXPECT_FLOAT_EQ(second.quad->v[3].x, 415.0f);
}

TEST_F(FrontEndTest, QuitClosesAtOnceWithTheConfirmSound)
{
    Goto(7);
    Press(0, kPadStart);
    Updates(2);
    for (int i = 0; i < 3; ++i) {
        Press(0, kPadDown);
        Updates(1);
    }
    Press(0, kPadCircle);
    Updates(1);
    EXPECT_TRUE(Links().closed);
    EXPECT_EQ(ui->IsFading(), 0);
    EXPECT_EQ(Sounds().back(), 6600060);
}

TEST_F(FrontEndTest, ANewGameAsksForTheSelectionOnlyAfterTheFade)
{
    Goto(7);
    CSTitle *title = ui->Title();
    ui->heroBlock.money = 55;
    ui->progress.playTimeMs = 77;
    Press(0, kPadStart);
    Updates(2);
    Press(0, kPadStart);
    Updates(1);
    EXPECT_EQ(title->state, CSTitle::kLeaving);
    EXPECT_EQ(ui->heroBlock.inUse, 1);
    EXPECT_EQ(ui->heroBlock.money, 0);
    EXPECT_EQ(ui->progress.playTimeMs, 0u);
    int updates = 0;
    while (ui->RequestedScreen() == 7 && updates < 200) {
        Updates(1);
        ui->DrawFade();
        ++updates;
    }
    EXPECT_EQ(ui->RequestedScreen(), 8u);
    // A 1000 ms fade at 16 ms frames ends at ratio 281 (1104 ms); the request
    // comes in the update after its last drawing.
    EXPECT_EQ(updates, 1104 / 16 + 1);
    EXPECT_FALSE(Links().moviePlaying);
}

TEST_F(FrontEndTest, SeventyThreeSecondsAtThePromptPlayTheAttractMovie)
{
    Goto(7);
    CSTitle *title = ui->Title();
    for (int i = 0; i < 730; ++i) {
        Updates(1, 100);
    }
    EXPECT_EQ(Links().movie, "PRELOGO.BIK");
    Updates(1, 100);  // past 73000 ms: the 2000 ms fade to black begins
    EXPECT_NE(title->fadeMs, 0xFFFFFFFFu);
    for (int i = 0; i < 21; ++i) {
        Updates(1, 100);
    }
    EXPECT_EQ(Links().movie, "DEMO.BIK");
    EXPECT_EQ(title->movieKind, CSTitle::kAttract);
    // A confirm fades back to the prompt's movie.
    Press(0, kPadStart);
    Updates(1, 100);
    for (int i = 0; i < 21; ++i) {
        Updates(1, 100);
    }
    EXPECT_EQ(Links().movie, "PRELOGO.BIK");
    EXPECT_EQ(title->state, CSTitle::kPrompt);
}

// The title's own fade into the attract movie lays black over the whole
// title, from clear in its first step to opaque after 2000 ms.
TEST_F(FrontEndTest, TheFadeIntoTheAttractMovieLaysBlackOverTheTitle)
{
    Goto(7);
    CSTitle *title = ui->Title();
    for (int i = 0; i < 800 && title->fadeMs == 0xFFFFFFFFu; ++i) {
        Updates(1, 100);
    }
    ASSERT_NE(title->fadeMs, 0xFFFFFFFFu);
    const auto expectFade = [&](uint32_t alpha) {
        for (const RwIm2DVertex &v : title->fadeQuad->v) {
            EXPECT_EQ(v.emissiveColor, alpha << 24) << alpha;
        }
    };
    Updates(1, 100);
    expectFade(0);
    Updates(10, 100);
    expectFade(1000 * 255 / 2000);
    // Drawn last, over the title's pictures: black at that alpha, in every
    // corner and the middle.
    const win::Frame faded = DrawFrame([&] { title->Render(); });
    const uint32_t fadeMs = title->fadeMs;
    title->fadeMs = 0xFFFFFFFFu;
    const win::Frame plain = DrawFrame([&] { title->Render(); });
    title->fadeMs = fadeMs;
    for (const auto &[x, y] : std::vector<std::pair<uint32_t, uint32_t>>{{0, 0}, {639, 0}, {320, 240}, {0, 479}, {639, 479}}) {
        for (const int shift : {0, 8, 16}) {
            const int under = static_cast<int>(plain.At(x, y) >> shift & 0xFFu);
            EXPECT_NEAR(static_cast<int>(faded.At(x, y) >> shift & 0xFFu), under * (255 - 127) / 255, 2) << x << ", " << y;
        }
    }
    Updates(10, 100);
    EXPECT_EQ(Links().movie, "DEMO.BIK");
    expectFade(255);
}

// The prompt's movie replays whenever it ends, and the attract movie's end
// leads back to it, not to the menu's loop; the menu's loop replays too.
TEST_F(FrontEndTest, AnEndedMovieGivesWayToThePromptsMovieOrTheMenusLoop)
{
    const auto asked = [](const std::string &name) {
        return std::count(Links().log.begin(), Links().log.end(), "movie " + name);
    };
    Goto(7);
    CSTitle *title = ui->Title();
    Updates(3);
    Links().moviePlaying = false;
    Updates(1);
    EXPECT_EQ(Links().movie, "PRELOGO.BIK");
    EXPECT_EQ(asked("PRELOGO.BIK"), 2);
    EXPECT_EQ(asked("LOGOBG.BIK"), 0);
    // Into the attract movie, which ends by itself.
    for (int i = 0; i < 74 + 3; ++i) {
        Updates(1, 1000);
    }
    ASSERT_EQ(Links().movie, "DEMO.BIK");
    Links().moviePlaying = false;
    Updates(1);
    EXPECT_EQ(Links().movie, "PRELOGO.BIK");
    EXPECT_EQ(title->movieKind, CSTitle::kBackground);
    EXPECT_EQ(title->state, CSTitle::kPrompt);
    EXPECT_EQ(asked("LOGOBG.BIK"), 0);
    // The menu's loop.
    Press(0, kPadStart);
    Updates(2);
    ASSERT_EQ(Links().movie, "LOGOBG.BIK");
    Links().moviePlaying = false;
    Updates(1);
    EXPECT_EQ(Links().movie, "LOGOBG.BIK");
    EXPECT_EQ(asked("LOGOBG.BIK"), 2);
}

// The fade into the attract movie: select at the prompt stops it silently
// and the prompt stays; start during it opens the menu with the confirm
// sound and no attract movie follows. During the attract movie circle (not
// only start) fades back to the prompt's movie.
TEST_F(FrontEndTest, TheDemoFadeYieldsToSelectAndStartAndCircleEndsTheAttractMovie)
{
    Goto(7);
    CSTitle *title = ui->Title();
    // Seconds at the prompt until the demo fade begins (at most 80).
    const auto secondsUntilTheDemoFade = [&] {
        int seconds = 0;
        while (title->fadeMs == 0xFFFFFFFFu && seconds < 80) {
            Updates(1, 1000);
            ++seconds;
        }
        return seconds;
    };
    EXPECT_EQ(secondsUntilTheDemoFade(), 74);
    Press(0, kPadSelect);
    Updates(1, 1000);
    EXPECT_EQ(title->fadeMs, 0xFFFFFFFFu);
    EXPECT_EQ(title->state, CSTitle::kPrompt);
    EXPECT_EQ(Links().movie, "PRELOGO.BIK");
    EXPECT_TRUE(Sounds().empty());

    // The idle time starts again from the select; the fade of 2000 ms
    // reaches black in the third update.
    EXPECT_EQ(secondsUntilTheDemoFade(), 74);
    Updates(2, 1000);
    EXPECT_EQ(Links().movie, "PRELOGO.BIK");
    Updates(1, 1000);
    EXPECT_EQ(Links().movie, "DEMO.BIK");
    Press(0, kPadCircle);
    Updates(1, 1000);
    EXPECT_NE(title->fadeMs, 0xFFFFFFFFu);
    EXPECT_EQ(title->state, CSTitle::kPrompt);
    Updates(2, 1000);
    EXPECT_EQ(Links().movie, "DEMO.BIK");
    Updates(1, 1000);
    EXPECT_EQ(Links().movie, "PRELOGO.BIK");
    EXPECT_EQ(title->fadeMs, 0xFFFFFFFFu);
    EXPECT_TRUE(Sounds().empty());

    EXPECT_GE(secondsUntilTheDemoFade(), 73);
    Press(0, kPadStart);
    Updates(1, 1000);
    EXPECT_EQ(title->state, CSTitle::kMenu);
    EXPECT_EQ(title->fadeMs, 0xFFFFFFFFu);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600060}));
    Updates(3, 1000);
    EXPECT_EQ(Links().movie, "LOGOBG.BIK");
}

// A background movie the player cannot play is asked for once (the player
// reports it) and the title runs on without it; another movie still plays,
// and coming back to the title asks again.
TEST_F(FrontEndTest, AMovieThatCannotPlayIsAskedForOnceAndTheTitleRunsWithoutIt)
{
    Links().refusedMovie = "PRELOGO.BIK";
    const auto asked = [](const std::string &name) {
        return std::count(Links().log.begin(), Links().log.end(), "movie " + name);
    };
    Goto(7);
    CSTitle *title = ui->Title();
    Updates(30);
    EXPECT_EQ(asked("PRELOGO.BIK"), 1);
    EXPECT_EQ(title->state, CSTitle::kPrompt);
    Press(0, kPadStart);
    Updates(1);
    EXPECT_EQ(title->state, CSTitle::kMenu);
    Updates(10);
    EXPECT_EQ(asked("LOGOBG.BIK"), 1);
    EXPECT_TRUE(Links().moviePlaying);
    Goto(10);
    Goto(7);
    Updates(5);
    EXPECT_EQ(asked("PRELOGO.BIK"), 2);
}

class SelectionTest : public FrontEndTest {
protected:
    void SetUp() override
    {
        FrontEndTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        ui->SetUIPad(0);
        Goto(8);
        selection = ui->SelectCharacter();
        ASSERT_NE(selection, nullptr);
    }
    // Hero i stands on the turntable of radius 15 at angle t.
    void ExpectHeroAt(int32_t i, float t)
    {
        const RwV3d &p = RwFrameGetMatrix(RpClumpGetFrame(selection->Model(i)->clump))->pos;
        EXPECT_NEAR(p.x, std::sin(t) * 15.0f, 0.05f) << i;
        EXPECT_NEAR(p.z, std::cos(t) * 15.0f, 0.05f) << i;
    }
    static constexpr float kPi = 3.14159265f;
    CSSelectCharacter *selection = nullptr;
};

TEST_F(SelectionTest, AHalfTurnTakesAbout251MsAndPressesMeanwhileAreIgnored)
{
    ASSERT_NE(selection->Model(0), nullptr);
    EXPECT_NE(selection->Model(0)->clump, nullptr);
    EXPECT_NE(selection->Model(1)->clump, nullptr);
    // Each hero's figures, which the side panel shows while it is in front.
    for (int32_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(std::equal(std::begin(selection->Model(i)->stats), std::end(selection->Model(i)->stats),
                               FindSelectionHero(i)->stats))
            << i;
    }
    EXPECT_NE(selection->skyBox, nullptr);
    // The background's see-through window, the only place the sky is drawn.
    EXPECT_TRUE(selection->skyWindow.known);
    EXPECT_FALSE(selection->skyWindow.empty);
    EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
    EXPECT_EQ(ui->heroBlock.padIndex, 0);
    // The name plate names the hero turned to from the press on: SELCHAR's
    // rows from v 39 (the first hero) and 87 (the second).
    const auto plateTop = [&] { return selection->namePlate->v[0].v * 512.0f; };
    EXPECT_FLOAT_EQ(plateTop(), 39.0f);
    Press(0, kPadRight);
    Updates(1, 1);
    EXPECT_EQ(selection->target, 1);
    EXPECT_EQ(selection->turnDirection, 1);
    EXPECT_FLOAT_EQ(plateTop(), 87.0f);
    int ms = 1;
    while (selection->current != selection->target && ms < 1000) {
        if (ms < 200) {
            Press(0, kPadLeft);  // ignored while it turns
        }
        Updates(1, 1);
        ++ms;
        if (ms == 126) {
            // Right turns the angle up: half-way the first hero stands a
            // quarter turn on, at +x.
            ExpectHeroAt(0, CSSelectCharacter::kStartAngle + 0.0125f * 125.0f);
        }
    }
    EXPECT_GE(ms, 251);
    EXPECT_LE(ms, 253);
    EXPECT_EQ(selection->current, 1);
    // The second hero in front, where the first stood.
    ExpectHeroAt(1, CSSelectCharacter::kStartAngle + 2.0f * kPi);
    // Another pad than the controlling one is ignored.
    Press(1, kPadLeft);
    Updates(1);
    EXPECT_EQ(selection->target, 1);
    // With two heroes both directions lead to the other, and left turns
    // the angle back down: half-way the first hero is at +x again.
    Press(0, kPadLeft);
    Updates(1);
    EXPECT_EQ(selection->target, 0);
    EXPECT_EQ(selection->turnDirection, 0);
    EXPECT_FLOAT_EQ(plateTop(), 39.0f);
    Updates(1, 125);
    ExpectHeroAt(0, CSSelectCharacter::kStartAngle + kPi - 0.0125f * 125.0f);
}

// Activated again while it shows, the selection stays as it is: on the
// hero turned to, with its one light and the controlling pad.
TEST_F(SelectionTest, ActivatedAgainWhileItShowsItStaysOnTheHeroTurnedTo)
{
    Press(0, kPadRight);
    Updates(20);
    ASSERT_EQ(selection->current, 1);
    RpLight *light = selection->light;
    selection->SetActive(1);
    EXPECT_EQ(selection->current, 1);
    ExpectHeroAt(1, CSSelectCharacter::kStartAngle + 2.0f * kPi);
    EXPECT_EQ(selection->light, light);
    EXPECT_EQ(ui->heroBlock.padIndex, 0);
    EXPECT_FLOAT_EQ(selection->namePlate->v[0].v * 512.0f, 87.0f);
}

// The models go only once the selection has closed: asked to release them
// while it shows, it keeps its heroes and its sky, and the heroes turn on.
TEST_F(SelectionTest, ItsModelsStayWhileItShows)
{
    RpClump *first = selection->Model(0)->clump;
    ASSERT_NE(first, nullptr);
    ASSERT_NE(selection->skyBox, nullptr);
    selection->ReleaseCharacterModel();
    ASSERT_NE(selection->Model(0), nullptr);
    EXPECT_EQ(selection->Model(0)->clump, first);
    EXPECT_NE(selection->skyBox, nullptr);
    EXPECT_EQ(selection->modelCount, 2);
    Press(0, kPadRight);
    Updates(260, 1);
    EXPECT_EQ(selection->current, 1);
    ExpectHeroAt(1, CSSelectCharacter::kStartAngle + 2.0f * kPi);
}

// The sky box is drawn round the camera under a far plane of 400: every
// corner of the sample's box lies nearer, however the box has turned (its
// corners once lay beyond it, and the turned box showed black wedges of the
// clear colour behind the heroes).
TEST_F(SelectionTest, TheSkyBoxStaysInsideTheFarPlaneHoweverItTurns)
{
    ASSERT_NE(selection->skyBox, nullptr);
    float farthest = 0.0f;
    RpClumpForAllAtomics(
        selection->skyBox,
        [](RpAtomic *atomic, void *data) {
            const RpGeometry *geometry = RpAtomicGetGeometry(atomic);
            const RpMorphTarget *target = RpGeometryGetMorphTarget(geometry, 0);
            for (RwInt32 v = 0; v < geometry->numVertices; ++v) {
                const RwV3d &p = target->verts[v];
                *static_cast<float *>(data) =
                    std::max(*static_cast<float *>(data), std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z));
            }
            return atomic;
        },
        &farthest);
    EXPECT_GT(farthest, 100.0f) << "a box round the scene";
    EXPECT_LT(farthest, 400.0f);
    EXPECT_EQ(RwCameraGetFarClipPlane(gs.camera), 400.0f);
}

// A pack whose sky box did not load leaves the selection without one: the
// heroes still turn under the camera, and frames draw with no sky.
TEST_F(SelectionTest, WithoutTheSkyBoxTheHeroesStillTurn)
{
    ASSERT_NE(selection->skyBox, nullptr);
    gs.DestroyClump(selection->skyBox);
    selection->skyBox = nullptr;
    ASSERT_NE(gs.camera, nullptr);
    Updates(10);
    Press(0, kPadRight);
    Updates(1, 1);
    EXPECT_EQ(selection->target, 1);
    Updates(260, 1);
    EXPECT_EQ(selection->current, 1);
    ExpectHeroAt(1, CSSelectCharacter::kStartAngle + 2.0f * kPi);
    EXPECT_EQ(selection->skyBox, nullptr);
}

// The selection hears its pad only while that pad is connected: with it
// gone, a click of the mouse chooses nothing; back, the click chooses.
TEST_F(SelectionTest, WithItsPadGoneAClickChoosesNothing)
{
    Sounds();
    gs.padStates[kPadStateBlock][0].connected = 0;
    MouseButtonState = 1;
    Updates(1);
    EXPECT_FALSE(selection->Model(0)->confirmStarted);
    EXPECT_EQ(ui->heroBlock.heroType, -1);
    EXPECT_TRUE(Sounds().empty());
    gs.padStates[kPadStateBlock][0].connected = 1;
    MouseButtonState = 1;
    Updates(1);
    EXPECT_TRUE(selection->Model(0)->confirmStarted);
    EXPECT_EQ(ui->heroBlock.heroType, 0);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600060}));
}

// Confirm and back wait for the turntable to stop: pressed while it turns
// they neither start the confirm motion nor leave, and make no sound.
TEST_F(SelectionTest, ConfirmAndBackAreIgnoredWhileTheTurntableTurns)
{
    Sounds();
    Press(0, kPadRight);
    Updates(1, 1);
    for (int ms = 0; ms < 200; ++ms) {
        Press(0, ms % 2 == 0 ? kPadCircle : kPadCross);
        Updates(1, 1);
    }
    EXPECT_NE(selection->current, selection->target);
    EXPECT_EQ(selection->leave, CSSelectCharacter::kStaying);
    EXPECT_FALSE(selection->Model(0)->confirmStarted);
    EXPECT_FALSE(selection->Model(1)->confirmStarted);
    EXPECT_EQ(ui->heroBlock.padIndex, 0);
    EXPECT_EQ(ui->heroBlock.heroType, -1);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600010}));
}

TEST_F(SelectionTest, ConfirmWritesTheHeroBlockAndEntersTheFirstStage)
{
    Press(0, kPadCircle);
    Updates(1);
    CarriedHero expected = NewGameHero();
    expected.inUse = 1;
    expected.padIndex = 0;
    expected.heroType = 0;
    expected.equipped[2] = 5100160;
    for (int i = 0; i < 8; ++i) {
        expected.itemIds[i] = 5300000 + 10 * static_cast<uint32_t>(i);
    }
    expected.itemCounts[0] = 3;
    expected.itemCounts[5] = 3;
    expected.itemIds[24] = 5100160;
    expected.itemCounts[24] = 1;
    const CarriedHero &block = ui->heroBlock;
    EXPECT_EQ(block.inUse, expected.inUse);
    EXPECT_EQ(block.padIndex, expected.padIndex);
    EXPECT_EQ(block.heroType, expected.heroType);
    EXPECT_EQ(0, std::memcmp(block.equipped, expected.equipped, sizeof expected.equipped));
    EXPECT_EQ(block.hpLevel, 0);
    EXPECT_EQ(block.powerLevel, 0);
    EXPECT_EQ(block.maxHP, 0);
    EXPECT_EQ(block.maxPower, 0);
    EXPECT_EQ(block.money, 0);
    EXPECT_EQ(0, std::memcmp(block.itemIds, expected.itemIds, sizeof expected.itemIds));
    EXPECT_EQ(0, std::memcmp(block.itemCounts, expected.itemCounts, sizeof expected.itemCounts));
    EXPECT_EQ(0, std::memcmp(block.grades, expected.grades, sizeof expected.grades));
    EXPECT_EQ(0, std::memcmp(block.abilityFlags, expected.abilityFlags, sizeof expected.abilityFlags));
    EXPECT_TRUE(selection->Model(0)->confirmStarted);
    // Back during the confirm motion is ignored; the screen leaves by itself.
    Press(0, kPadCross);
    Updates(1);
    EXPECT_EQ(selection->leave, CSSelectCharacter::kStaying);
    int updates = 0;
    while (ui->RequestedScreen() == 8 && updates < 400) {
        Updates(1);
        ui->DrawFade();
        ++updates;
    }
    EXPECT_EQ(ui->RequestedScreen(), 12u);
    EXPECT_EQ(ui->GetStageId(), 2010000u);
    EXPECT_TRUE(selection->Model(0)->confirmFinished);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600060}));
}

TEST_F(SelectionTest, BackFadesToTheTitleAndTheModelsStay)
{
    RpClump *model = selection->Model(1)->clump;
    // The heroes' point light stands in the world while the screen shows.
    const auto lightsInWorld = [&] {
        int lights = 0;
        RpWorldForAllLights(
            gs.world,
            [](RpLight *light, void *count) {
                ++*static_cast<int *>(count);
                return light;
            },
            &lights);
        return lights;
    };
    ASSERT_NE(selection->light, nullptr);
    EXPECT_EQ(RpLightGetWorld(selection->light), gs.world);
    const int lightsShown = lightsInWorld();
    Press(0, kPadSelect);
    Updates(1);
    EXPECT_EQ(selection->leave, CSSelectCharacter::kBack);
    EXPECT_EQ(ui->heroBlock.padIndex, -1);
    int updates = 0;
    while (ui->RequestedScreen() == 8 && updates < 400) {
        Updates(1);
        ui->DrawFade();
        ++updates;
    }
    EXPECT_EQ(ui->RequestedScreen(), 7u);
    // Only once the second-long fade has darkened the screen (16 ms updates).
    EXPECT_GE(updates, 62);
    Updates(1);
    EXPECT_EQ(selection->active, 0);
    EXPECT_EQ(selection->Model(1)->clump, model);
    // Closed, it hears nothing, asks for no screen and draws nothing.
    Sounds();
    ui->RequestModule(8);
    Press(0, kPadRight);
    selection->Update(16);
    EXPECT_EQ(ui->RequestedScreen(), 8u);
    ui->RequestModule(7);
    EXPECT_EQ(selection->target, selection->current);
    EXPECT_TRUE(Sounds().empty());
    const win::Frame closed = DrawFrame([&] { selection->Render(); });
    EXPECT_EQ(closed.At(320, 240) & 0xFFFFFFu, 0u);
    // Its light has left the world with it.
    EXPECT_EQ(selection->light, nullptr);
    EXPECT_EQ(lightsInWorld(), lightsShown - 1);
    // Coming back: hero 0 at 10 degrees again, the music again.
    ui->SetUIPad(0);
    Goto(8);
    EXPECT_EQ(selection->current, 0);
    EXPECT_FLOAT_EQ(selection->angle, CSSelectCharacter::kStartAngle);
    EXPECT_NE(ui->MusicHandle(), kUINoMusic);
}

// The four figures the selection shows for each hero (life, power,
// attack, defence) are the hero's in play: its parameter file's maxima and
// defence, and the bonus of the weapon it starts with, as the status page
// shows them.
TEST(SelectionFigures, AreTheHerosOwnInPlay)
{
    const char *names[2] = {"HERO01", "HERO02"};
    for (int32_t h = 0; h < 2; ++h) {
        SCOPED_TRACE(h);
        const SelectionHero *shown = FindSelectionHero(h);
        ASSERT_NE(shown, nullptr);
        CSModelTemplate model;
        model.params = mkdata::SampleCharacterParams(names[h]);
        model.fsf = mkdata::SampleStateMachine(names[h]);
        CSHero hero;
        hero.aiType = h;
        hero.modelTemplate = &model;
        const EquipContent *weapon = nullptr;
        for (const EquipContent &equip : mkdata::SampleItemTables().equip) {
            weapon = equip.equipId == static_cast<int32_t>(shown->startItem) ? &equip : weapon;
        }
        ASSERT_NE(weapon, nullptr);
        ASSERT_TRUE(hero.EquipItem(weapon, kHeroWeaponSlot));
        EXPECT_EQ(hero.GetMaxHP(), shown->stats[0]);
        EXPECT_EQ(hero.GetMaxPower(), shown->stats[1]);
        EXPECT_EQ(hero.GetAttackBonus(), shown->stats[2]);
        EXPECT_EQ(hero.GetDefense(), shown->stats[3]);
    }
}

class SelectionPackTest : public savetest::SaveScreensTest {
protected:
    // The selection on the tree `name`, its SELCHAR pack rewritten with the
    // files `keep` keeps (whole without it).
    void Open(const std::string &name, bool (*keep)(const std::string &file) = nullptr)
    {
        StartOn(name);
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        if (keep != nullptr) {
            lobbytest::RewriteOwnPack(root, "SELCHAR", keep);
        }
        Goto(kUISelectCharacter);
        selection = ui->SelectCharacter();
        ASSERT_NE(selection, nullptr);
    }
    // Updates (drawing the fade) while the selection asks for no other screen.
    void UpdatesUntilAskedToLeave()
    {
        for (int updates = 0; ui->RequestedScreen() == kUISelectCharacter && updates < 400; ++updates) {
            Updates(1);
            ui->DrawFade();
        }
    }
    // Back to the title, after its fade, and into the selection again.
    void BackAndAgain()
    {
        Press(0, kPadSelect);
        Updates(1);
        UpdatesUntilAskedToLeave();
        ASSERT_EQ(ui->RequestedScreen(), kUITitle);
        Updates(1);
        ASSERT_EQ(ui->CurrentScreen(), kUITitle);
        ASSERT_EQ(selection->active, 0);
        ui->SetUIPad(0);
        Goto(kUISelectCharacter);
    }
    std::vector<RpClump *> Heroes() const
    {
        return {selection->Model(0)->clump, selection->Model(1)->clump};
    }

    CSSelectCharacter *selection = nullptr;
};

TEST_F(SelectionPackTest, AHeroWithoutItsModelStandsAbsentAndIsChosenWithoutWaiting)
{
    Open("selchar_no_model", [](const std::string &file) { return file.find("UIBRE.DFF") == std::string::npos; });
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(selection->Model(0)->clump, nullptr);
    EXPECT_EQ(selection->Model(0)->animHandle, 0u);
    EXPECT_NE(selection->Model(1)->clump, nullptr);
    // Without a press the screen stays.
    Updates(60);
    EXPECT_EQ(selection->leave, CSSelectCharacter::kStaying);
    EXPECT_EQ(ui->RequestedScreen(), kUISelectCharacter);
    EXPECT_EQ(ui->IsFading(), 0);
    // Round to the other hero and back, drawn on the way.
    Press(0, kPadRight);
    Updates(20);
    EXPECT_EQ(selection->current, 1);
    DrawFrame([&] { ui->Render(); });
    Press(0, kPadLeft);
    Updates(20);
    ASSERT_EQ(selection->current, 0);
    DrawFrame([&] { ui->Render(); });
    // No confirm motion to wait for: the fade begins in the next update,
    // and the stage entry follows it with the absent hero chosen.
    Sounds();
    Press(0, kPadCircle);
    Updates(2);
    EXPECT_EQ(selection->leave, CSSelectCharacter::kStart);
    EXPECT_NE(ui->IsFading(), 0);
    UpdatesUntilAskedToLeave();
    EXPECT_EQ(ui->RequestedScreen(), kUIEnterStage);
    EXPECT_EQ(ui->heroBlock.heroType, 0);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600060}));
}

TEST_F(SelectionPackTest, WithoutTheSkyBoxComingBackFromTheTitleKeepsTheHeroes)
{
    Open("selchar_no_sky", [](const std::string &file) { return file.find("SKYBOX.DFF") == std::string::npos; });
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(selection->skyBox, nullptr);
    const std::vector<RpClump *> heroes = Heroes();
    ASSERT_NE(heroes[0], nullptr);
    ASSERT_NE(heroes[1], nullptr);
    BackAndAgain();
    EXPECT_EQ(Heroes(), heroes);
    EXPECT_EQ(selection->skyBox, nullptr);
    Updates(5);
    DrawFrame([&] { ui->Render(); });
}

TEST_F(SelectionPackTest, ComingBackFromTheTitleReadsThePackNoMore)
{
    Open("selchar_again");
    ASSERT_FALSE(HasFatalFailure());
    RpClump *sky = selection->skyBox;
    ASSERT_NE(sky, nullptr);
    const std::vector<RpClump *> heroes = Heroes();
    // Gone now: only a new read would miss it.
    lobbytest::OwnInterfacePacks(root);
    ASSERT_TRUE(std::filesystem::remove(root + "/PACK/UI0/SELCHAR.STR"));
    BackAndAgain();
    EXPECT_TRUE(apptest::FatalRecorder::Names().empty());
    EXPECT_EQ(selection->skyBox, sky);
    EXPECT_EQ(Heroes(), heroes);
}

}  // namespace

}  // namespace title_selection_test
