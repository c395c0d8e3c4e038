// The pause menu in the overlay, frame by frame: opening pauses the
// stage's music, plays 6600060, reloads a running scene's camera and starts
// streaming MAPBASE; up and down wrap, each move sends the six arrows of
// each side after the cursor at their own speeds; circle within 0.2 s of a
// move does nothing; cross closes without a sound and resume with 6600050,
// the music resumed; the status entry finishes the stream at once and hands
// the page MAPBASE, which waits out a base-map cover; the map entry opens
// the stage's map; the return to the
// title asks word 2 and "no" comes back to entry 3, "yes" leaves the stage;
// a MAPBASE that is missing or empty is given up (one debug line) and the
// status page opens without it; while the loading flag is set and nothing
// streams, the scene's camera is reloaded; the developer menu's chord
// (select with start) does not open the menu; languages 1 to 14 take the
// language-1 pictures, language 0 its own.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/application.h"
#include "app/debug.h"
#include "tests/ui/pause_support.h"

namespace pause_menu_test {

namespace {

using uitest::Links;

class PauseMenuTest : public pausetest::PauseTest {
protected:
    void Enter(const std::string &treeRoot = std::string(), int32_t language = 1)
    {
        Begin(treeRoot, language);
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        EnterOverlay();
        ui->OpenPauseMenu(0);
        ASSERT_NE(Menu(), nullptr);
        ASSERT_EQ(Menu()->IsOpen(), 1);
    }
    CSPauseMenu *Menu() const { return Overlay()->PauseMenu(); }
    void Frame(int count = 1) { Updates(count); }
    bool Logged(const std::string &line) const
    {
        return std::find(Links().log.begin(), Links().log.end(), line) != Links().log.end();
    }
    // Waits out the cursor's travel.
    void Settle() { Frame(13); }
    // Moves down to the status row and opens its page.
    void OpenStatusPage()
    {
        Tap(kPadDown);
        Frame();
        Settle();
        Tap(kPadCircle);
        Frame();
        ASSERT_TRUE(Menu()->StatusPage()->IsActive());
    }
};

TEST_F(PauseMenuTest, OpeningPausesTheMusicAndStartsTheStream)
{
    Enter();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(Logged("pause music"));
    EXPECT_TRUE(Logged("reload scene camera"));
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600060}));
    EXPECT_EQ(ui->IsPauseMenuOpen(), 1);
    EXPECT_EQ(Menu()->Cursor(), 0);
    EXPECT_TRUE(Menu()->MapBasePack().InProgress());
    // A second opening does nothing.
    ui->OpenPauseMenu(1);
    EXPECT_TRUE(Sounds().empty());
    // One read of 32 KB a frame, after the opening frame.
    Frame();
    Frame();
    EXPECT_EQ(Menu()->MapBasePack().BytesRead(), 32768u);
    Frame();
    EXPECT_EQ(Menu()->MapBasePack().BytesRead(), 65536u);
}

class PauseMenuLanguage : public PauseMenuTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(PauseMenuLanguage, EachLanguageSetHasItsPicturesAndLanguageTwoTakesLanguageOnes)
{
    const int32_t language = GetParam();
    Enter(std::string(), language);
    ASSERT_FALSE(HasFatalFailure());
    const UIPicture &resume = Menu()->EntryPicture(0).picture;
    const UIPicture &title = Menu()->Title().picture;
    EXPECT_EQ(resume.texture, ui->WordArt());
    EXPECT_FLOAT_EQ(resume.left, language == 0 ? 228.0f : 209.0f);
    EXPECT_FLOAT_EQ(resume.s1, (language == 0 ? 294.0f : 400.0f) / 512.0f);
    EXPECT_FLOAT_EQ(title.left, language == 0 ? 260.0f : 243.0f);
    EXPECT_FLOAT_EQ(Menu()->EntryPicture(3).picture.right, language == 0 ? 372.0f : 448.0f);
}

INSTANTIATE_TEST_SUITE_P(Languages, PauseMenuLanguage, ::testing::Values(0, 1, 2, 14));

TEST_F(PauseMenuTest, UpAndDownWrapAndTheTrailFollows)
{
    Enter();
    ASSERT_FALSE(HasFatalFailure());
    Sounds();
    Tap(kPadUp);
    Frame();
    EXPECT_EQ(Menu()->Cursor(), 3);
    for (int k = 0; k < CSPauseMenu::kTrailCopies; ++k) {
        const CSPauseMenu::Arrow &arrow = Menu()->TrailArrow(0, k);
        EXPECT_EQ(arrow.to, 3) << k;
        EXPECT_EQ(arrow.moving, 1) << k;
        EXPECT_NEAR(arrow.speed, 1.0f - static_cast<float>(k) * 0.9f / 6.0f, 1e-6f) << k;
    }
    // Half way through the first copy's 0.2 s it stands half way.
    Frame(6);  // 0.096 s
    const UIPicture &first = Menu()->TrailArrow(0, 0).picture.picture;
    EXPECT_NEAR(first.top, 121.0f + 165.0f * 0.096f / 0.2f, 0.01f);
    Frame(7);
    EXPECT_EQ(Menu()->TrailArrow(0, 0).moving, 0);
    EXPECT_FLOAT_EQ(first.top, 121.0f + 165.0f);
    EXPECT_FLOAT_EQ(first.left, 448.0f);  // right of language 1's entry 3
    EXPECT_FLOAT_EQ(Menu()->TrailArrow(1, 0).picture.picture.right, 175.0f);
    EXPECT_EQ(Menu()->TrailArrow(0, 5).moving, 1);  // the slowest: 0.8 s
    Tap(kPadDown);
    Frame();
    EXPECT_EQ(Menu()->Cursor(), 0);
    // A copy on its way starts again from its last target.
    EXPECT_EQ(Menu()->TrailArrow(0, 5).from, 3);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600010, 6600010}));
}

TEST_F(PauseMenuTest, CircleRightAfterAMoveDoesNothing)
{
    Enter();
    ASSERT_FALSE(HasFatalFailure());
    Tap(kPadDown);
    Frame();
    Tap(kPadDown);
    Frame();
    Sounds();
    Frame(10);  // 0.16 s
    Tap(kPadCircle);
    Frame();
    EXPECT_EQ(Menu()->PageOpen(), 0);
    EXPECT_TRUE(Sounds().empty());
    Frame(2);
    Tap(kPadCircle);
    Frame();
    EXPECT_EQ(Menu()->PageOpen(), 1);
    EXPECT_EQ(Menu()->ShownPage(), kPauseMap);
}

TEST_F(PauseMenuTest, CrossClosesSilentlyAndResumeWithItsSound)
{
    Enter();
    ASSERT_FALSE(HasFatalFailure());
    Frame(3);
    // Closed while the trail is on its way to entry 2.
    Tap(kPadDown);
    Frame();
    Tap(kPadDown);
    Frame(3);
    ASSERT_EQ(Menu()->Cursor(), 2);
    ASSERT_EQ(Menu()->TrailArrow(0, 0).moving, 1);
    Sounds();
    Links().log.clear();
    Tap(kPadCross);
    // The menu's opaque background hides the stage while it is open.
    EXPECT_TRUE(Menu()->CoversScreen());
    EXPECT_TRUE(ui->HidesStage());
    Frame();
    EXPECT_EQ(ui->IsPauseMenuOpen(), 0);
    EXPECT_FALSE(Menu()->CoversScreen());
    EXPECT_FALSE(ui->HidesStage());
    EXPECT_TRUE(Sounds().empty());
    EXPECT_TRUE(Logged("resume music"));
    EXPECT_EQ(Menu()->MapBase(), nullptr);
    EXPECT_EQ(Menu()->StatusPage(), nullptr);
    // Closed, an update of its own takes no key: no move, no sound.
    Tap(kPadDown);
    Menu()->Update(0.016f);
    ReleasePads();
    EXPECT_EQ(Menu()->Cursor(), 0);
    EXPECT_TRUE(Sounds().empty());
    // The next opening stands on resume with every arrow at rest beside it,
    // so that circle at once resumes.
    ui->OpenPauseMenu(0);
    EXPECT_EQ(Menu()->Cursor(), 0);
    for (int side = 0; side < 2; ++side) {
        for (int k = 0; k < CSPauseMenu::kTrailCopies; ++k) {
            const CSPauseMenu::Arrow &arrow = Menu()->TrailArrow(side, k);
            EXPECT_EQ(arrow.moving, 0) << side << " " << k;
            EXPECT_EQ(arrow.to, 0) << side << " " << k;
            EXPECT_FLOAT_EQ(arrow.picture.picture.top, 121.0f) << side << " " << k;
        }
    }
    EXPECT_FLOAT_EQ(Menu()->TrailArrow(0, 0).picture.picture.left, 408.0f);  // right of language 1's resume
    EXPECT_FLOAT_EQ(Menu()->TrailArrow(1, 0).picture.picture.right, 209.0f);
    Sounds();
    // With the pad gone a click is not heard.
    gs.padStates[kPadStateBlock][0].connected = 0;
    MouseButtonState = 1;
    Frame();
    gs.padStates[kPadStateBlock][0].connected = 1;
    EXPECT_EQ(ui->IsPauseMenuOpen(), 1);
    EXPECT_TRUE(Sounds().empty());
    Tap(kPadCircle);
    Frame();
    EXPECT_EQ(ui->IsPauseMenuOpen(), 0);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600050}));
}

TEST_F(PauseMenuTest, TheStatusEntryFinishesTheStreamAndHandsThePageMapBase)
{
    Enter();
    ASSERT_FALSE(HasFatalFailure());
    Tap(kPadDown);
    Frame();
    Settle();
    ASSERT_TRUE(Menu()->MapBasePack().InProgress());
    Sounds();
    ASSERT_FALSE(ui->IsBaseMapRevealing());
    Tap(kPadStart);
    Frame();
    EXPECT_EQ(Menu()->PageOpen(), 1);
    // The page comes in through the base map's reveal.
    EXPECT_TRUE(ui->IsBaseMapRevealing());
    ASSERT_NE(Menu()->MapBase(), nullptr);
    EXPECT_EQ(Menu()->MapBasePack().GetState(), UIPackStream::kIdle);
    ASSERT_TRUE(Menu()->StatusPage()->IsActive());
    EXPECT_EQ(Menu()->StatusPage()->mode, kStatusPagePauseMode);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600060}));
    // The page takes the frames while it is open; its back returns to the
    // menu, through the base map's reveal again.
    DrawFrame([&] { ui->DrawBaseMapFade(500); });
    ASSERT_FALSE(ui->IsBaseMapRevealing());
    Tap(kPadCross);
    Frame();
    EXPECT_FALSE(Menu()->StatusPage()->IsActive());
    // The frame that brings the menu back reads no pad: a second cross
    // pressed then does not also close the menu.
    Tap(kPadCross);
    Frame();
    EXPECT_EQ(Menu()->PageOpen(), 0);
    EXPECT_TRUE(ui->IsBaseMapRevealing());
    EXPECT_EQ(Menu()->Cursor(), 1);
    EXPECT_EQ(ui->IsPauseMenuOpen(), 1);
}

// While the base map covers the screen an open page waits: a back pressed
// then is not taken, and the first one after the cover closes the page.
TEST_F(PauseMenuTest, AnOpenPageWaitsOutTheBaseMapsCover)
{
    Enter();
    ASSERT_FALSE(HasFatalFailure());
    OpenStatusPage();
    ASSERT_FALSE(HasFatalFailure());
    DrawFrame([&] { ui->DrawBaseMapFade(500); });  // the reveal over
    ui->StartBaseMapCover();
    Sounds();
    Tap(kPadCross);
    Frame();
    EXPECT_TRUE(Menu()->StatusPage()->IsActive());
    EXPECT_TRUE(Sounds().empty());
    DrawFrame([&] { ui->DrawBaseMapFade(500); });  // the cover over
    Tap(kPadCross);
    Frame();
    EXPECT_FALSE(Menu()->StatusPage()->IsActive());
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600050}));
}

TEST_F(PauseMenuTest, TheMapEntryOpensTheRunningStagesMap)
{
    Enter();
    ASSERT_FALSE(HasFatalFailure());
    Tap(kPadUp);
    Frame();
    Tap(kPadUp);
    Frame();
    Settle();
    ASSERT_FALSE(ui->IsBaseMapRevealing());
    Tap(kPadCircle);
    Frame();
    ASSERT_EQ(Menu()->ShownPage(), kPauseMap);
    EXPECT_TRUE(ui->IsBaseMapRevealing());
    ASSERT_EQ(Menu()->MapPage()->active, 1);
    EXPECT_NE(Menu()->MapPage()->StagePicture(), nullptr);
    EXPECT_FLOAT_EQ(Menu()->MapPage()->refB.x, -669.461f);
    Sounds();
    Tap(kPadSelect);
    Frame();
    EXPECT_EQ(Menu()->MapPage()->active, 0);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600050}));
    Frame();
    EXPECT_EQ(Menu()->PageOpen(), 0);
}

TEST_F(PauseMenuTest, NoReturnsToEntryThreeAndYesLeavesTheStage)
{
    Enter();
    ASSERT_FALSE(HasFatalFailure());
    Tap(kPadUp);
    Frame();
    Settle();
    Sounds();
    Tap(kPadCircle);
    Frame();
    ASSERT_TRUE(ui->IsModalBoxOpen());
    EXPECT_EQ(Menu()->ShownPage(), kPauseToTitle);
    EXPECT_EQ(Sounds(), (std::vector<int64_t>{6600070}));
    // The question's see-through picture is drawn in place of the menu, over
    // the stage.
    EXPECT_FALSE(ui->HidesStage());
    const win::Frame asked = DrawFrame([&] { Menu()->Render(); });
    // "No" (the box starts on it).
    Tap(kPadCircle);
    Frame();
    EXPECT_FALSE(ui->IsModalBoxOpen());
    EXPECT_EQ(Menu()->PageOpen(), 0);
    EXPECT_EQ(Menu()->Cursor(), 3);
    EXPECT_EQ(ui->IsPauseMenuOpen(), 1);
    EXPECT_FALSE(Logged("stage exit"));
    // Under the question the menu showed only entry 3 and the prompt bar,
    // as the menu shows them with the cursor on entry 3 (the trail's arrows
    // reach over the entry's ends), and no title.
    const win::Frame menu = DrawFrame([&] { Menu()->Render(); });
    const auto differing = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += pausetest::PixelOf(asked, x, y) != pausetest::PixelOf(menu, x, y) ? 1 : 0;
            }
        }
        return n;
    };
    EXPECT_EQ(differing(190, 300, 430, 334), 0);
    EXPECT_EQ(differing(0, 410, 640, 445), 0);
    EXPECT_GT(differing(243, 86, 361, 107), 0);
    // Again, and "yes".
    Tap(kPadCircle);
    Frame();
    ASSERT_TRUE(ui->IsModalBoxOpen());
    Tap(kPadLeft);
    Frame();
    Tap(kPadCircle);
    Frame();
    EXPECT_EQ(ui->IsPauseMenuOpen(), 0);
    EXPECT_TRUE(Logged("stage exit"));
    EXPECT_TRUE(Logged("resume music"));
    // Opened again, it shows the menu on resume, not the question.
    ui->OpenPauseMenu(0);
    EXPECT_EQ(Menu()->PageOpen(), 0);
    EXPECT_EQ(Menu()->ShownPage(), -1);
    EXPECT_EQ(Menu()->Cursor(), 0);
}

// The overlay let go while the question is up frees the menu: the
// question's answer then reaches no menu and leaves no stage.
TEST_F(PauseMenuTest, AMenuFreedUnderItsQuestionTakesNoAnswer)
{
    Enter();
    ASSERT_FALSE(HasFatalFailure());
    Tap(kPadUp);
    Frame();
    Settle();
    Tap(kPadCircle);
    Frame();
    ASSERT_TRUE(ui->IsModalBoxOpen());
    Overlay()->SetActive(0);
    EXPECT_EQ(Menu(), nullptr);
    EXPECT_EQ(g_pReturnQuestionMenu, nullptr);
    Links().log.clear();
    if (ui->IsModalBoxOpen()) {
        Tap(kPadLeft);
        Frame();
        Tap(kPadCircle);
        Frame();
    }
    EXPECT_FALSE(Logged("stage exit"));
}

TEST_F(PauseMenuTest, WithoutMapBaseTheStreamIsGivenUpAndTheStatusPageStillOpens)
{
    Enter(pausetest::TreeWithout("no_mapbase", {"PACK/PAUSE/MAPBASE.STR"}));
    ASSERT_FALSE(HasFatalFailure());
    const bool debug = SetDebugOutput(true);
    ::testing::internal::CaptureStderr();
    Frame(5);
    const std::string lines = ::testing::internal::GetCapturedStderr();
    SetDebugOutput(debug);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
    EXPECT_NE(lines.find("MAPBASE.STR"), std::string::npos) << lines;
    EXPECT_TRUE(Menu()->MapBasePack().Failed());
    OpenStatusPage();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(Menu()->MapBase(), nullptr);
    DrawFrame([&] { ui->Render(); });
}

TEST_F(PauseMenuTest, AnEmptyMapBaseEndsTheStreamAtOnce)
{
    const std::string root = pausetest::TreeWithout("empty_mapbase", {"PACK/PAUSE/MAPBASE.STR"});
    if (!root.empty()) {
        std::ofstream(root + "/PACK/PAUSE/MAPBASE.STR");
    }
    Enter(root);
    ASSERT_FALSE(HasFatalFailure());
    const bool debug = SetDebugOutput(true);
    ::testing::internal::CaptureStderr();
    Frame(3);
    const std::string lines = ::testing::internal::GetCapturedStderr();
    SetDebugOutput(debug);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
    EXPECT_EQ(Menu()->MapBasePack().GetState(), UIPackStream::kIdle);
    Tap(kPadDown);
    Frame();
    Settle();
    Tap(kPadCircle);
    Frame();
    EXPECT_TRUE(Menu()->StatusPage()->IsActive());
    EXPECT_EQ(Menu()->MapBase(), nullptr);
    EXPECT_TRUE(apptest::FatalRecorder::Names().empty());  // no pack was opened from it
}

TEST_F(PauseMenuTest, TheLoadingFlagReloadsTheScenesCameraOnceNothingStreams)
{
    Enter();
    ASSERT_FALSE(HasFatalFailure());
    ui->SetLoadingFlag();
    Links().log.clear();
    Frame(2);
    EXPECT_FALSE(Logged("reload scene camera"));  // still streaming
    Tap(kPadDown);
    Frame();
    Settle();
    Tap(kPadCircle);
    Frame();  // the stream finished for the status page
    Links().log.clear();
    Frame();
    EXPECT_TRUE(Logged("reload scene camera"));
    // Without the flag nothing is reloaded, streaming or not.
    ui->ClearLoadingFlag();
    Links().log.clear();
    Frame(2);
    EXPECT_FALSE(Logged("reload scene camera"));
}

TEST_F(PauseMenuTest, TheDeveloperMenusChordDoesNotOpenIt)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    EnterOverlay();
    // Select, start and circle pressed together, and start pressed with
    // select held.
    Press(0, kPadSelect);
    Press(0, kPadStart);
    Press(0, kPadCircle);
    Updates(1);
    EXPECT_EQ(ui->IsPauseMenuOpen(), 0);
    SetButton(0, kPadSelect, kPadHeldState);
    Press(0, kPadStart);
    Updates(1);
    EXPECT_EQ(ui->IsPauseMenuOpen(), 0);
    EXPECT_TRUE(PauseRequests().empty());
    Press(0, kPadStart);
    Updates(1);
    EXPECT_EQ(ui->IsPauseMenuOpen(), 1);
}

// The menu's drawing asks for the mouse cursor (request 1, which the
// application shows in a window) and draws without the stage's fog: a red
// fog changes none of its pixels and is on again after it.
TEST_F(PauseMenuTest, ItsDrawingShowsTheMouseCursorAndLeavesTheStagesFogOut)
{
    Enter();
    ASSERT_FALSE(HasFatalFailure());
    Settle();
    CursorRequest = 0;
    const std::vector<uint32_t> clear = DrawFrame([&] { Menu()->Render(); }).pixels;
    EXPECT_EQ(CursorRequest, 1u);
    void *fog = nullptr;
    const std::vector<uint32_t> fogged = DrawFrame([&] {
        RwSetRenderState(rwRENDERSTATEFOGCOLOR, reinterpret_cast<void *>(static_cast<uintptr_t>(0xFFFF0000u)));
        RwSetRenderState(rwRENDERSTATEFOGENABLE, reinterpret_cast<void *>(static_cast<uintptr_t>(1)));
        Menu()->Render();
        RwGetRenderState(rwRENDERSTATEFOGENABLE, &fog);
        RwSetRenderState(rwRENDERSTATEFOGENABLE, nullptr);
    }).pixels;
    EXPECT_NE(fog, nullptr);
    EXPECT_EQ(fogged, clear);
}

}  // namespace

}  // namespace pause_menu_test
