// The screen manager frame by frame: when a request switches, what a switch
// frame runs, the modal box holding everything, hold-to-title, the colour
// fade to the step, the modal box as drawn, the letterbox, the base-map phases, the warning's
// set-up after its first drawing (and its pack closed again), its fade
// from 3001 ms and the logo of the language after it, the waiting
// notice, and the trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/pack.h"
#include "app/text_block.h"
#include "app/trace.h"
#include "tests/ui/result_screens_support.h"
#include "tests/ui/ui_test_support.h"
#include "ui/logo_screens.h"
#include "ui/title_screen.h"
#include "ui/ui_rect.h"
#include "ui/warning_screen.h"

namespace ui_manager_test {

namespace {

using uitest::ScreensTest;

class UIManagerTest : public ScreensTest {
protected:
    void SetUp() override { Start(apptest::ScratchFolder("manager")); }
    uitest::RecordingLinksScope links;
};

// Without a game system (the tools' screens) a frame is 16 ms, the
// language the first foreign one, and every pad empty.
TEST(UIWithoutAGameSystem, FramesOfSixteenMsTheEnglishFoldersAndNoPad)
{
    ASSERT_EQ(g_pGameSystem, nullptr);
    EXPECT_EQ(UIFrameMs(), 16u);
    EXPECT_EQ(UILanguage(), 1);
    EXPECT_STREQ(UILanguageFolder(), "\\ENG\\");
    EXPECT_EQ(UIPadState(0).connected, 0);
}

TEST_F(UIManagerTest, ARequestSwitchesAtTheNextUpdateAndTheLastOneWins)
{
    EXPECT_EQ(ui->CurrentScreen(), 0u);
    EXPECT_EQ(ui->RequestedScreen(), 1u);
    // The first update switches to the warning screen and returns it.
    EXPECT_EQ(ui->Update(16), 1);
    EXPECT_EQ(ui->CurrentScreen(), 1u);
    EXPECT_EQ(ui->Warning()->active, 1);
    // Its update did not run in the switch frame: its timer has not started.
    EXPECT_EQ(ui->Warning()->timerMs, 0xFFFFFFFFu);
    EXPECT_EQ(ui->Update(16), 1);
    EXPECT_EQ(ui->Warning()->timerMs, 0u);
    // Two requests in one frame: only the last switches, at the next update.
    ui->RequestModule(3);
    ui->RequestModule(2);
    EXPECT_EQ(ui->CurrentScreen(), 1u);
    EXPECT_EQ(ui->Update(16), 2);
    EXPECT_EQ(ui->CurrentScreen(), 2u);
    EXPECT_EQ(ui->Warning()->active, 0);
    EXPECT_EQ(uitest::Links().movie, "Tarvisk.BIK");
    // Requesting the current screen again does nothing.
    ui->RequestModule(2);
    EXPECT_FALSE(ui->SwitchModule());
    // Until the title has shown a fatal report ends the game; from the
    // title on it returns there.
    EXPECT_FALSE(gs.messageBox.TitleReached());
    ui->RequestModule(kUITitle);
    ui->Update(16);
    EXPECT_TRUE(gs.messageBox.TitleReached());
}

// The warning does the interface's set-up (the heroes unloaded first) only
// in the update after its picture was first drawn, once a showing, and
// again on a later showing only after that one was drawn too.
TEST_F(UIManagerTest, TheWarningSetsUpOnlyAfterItsPictureWasDrawn)
{
    ui->Update(16);
    ASSERT_EQ(ui->CurrentScreen(), 1u);
    auto setUps = [] {
        return std::count(uitest::Links().log.begin(), uitest::Links().log.end(), std::string("unload heroes"));
    };
    ui->Update(16);
    ui->Update(16);
    EXPECT_EQ(setUps(), 0);
    EXPECT_FALSE(ui->Warning()->setUpDone);
    // No picture in this data: the quad is drawn untextured in its grey
    // over the whole screen.
    const win::Frame frame = DrawFrame([&] { ui->Render(); });
    EXPECT_EQ(frame.At(0, 0) & 0xFFFFFFu, 0xF0F0F0u);
    EXPECT_EQ(frame.At(639, 479) & 0xFFFFFFu, 0xF0F0F0u);
    ui->Update(16);
    EXPECT_EQ(setUps(), 1);
    EXPECT_TRUE(ui->Warning()->firstSetUpDone);
    DrawFrame([&] { ui->Render(); });
    ui->Update(16);
    EXPECT_EQ(setUps(), 1);
    // Activated again while it shows: its set-up is not done again.
    ui->Warning()->SetActive(1);
    EXPECT_TRUE(ui->Warning()->setUpDone);
    ui->Update(16);
    EXPECT_EQ(setUps(), 1);
    // Shown again: nothing until it has been drawn.
    ui->RequestModule(7);
    ui->Update(16);
    ui->RequestModule(1);
    ui->Update(16);
    ui->Update(16);
    EXPECT_EQ(setUps(), 1);
    DrawFrame([&] { ui->Render(); });
    ui->Update(16);
    EXPECT_EQ(setUps(), 2);
}

// The warning fades to black from the update in which its timer (counted
// from its first update) reaches 3001 ms, and the first update after the
// fade has ended asks for the publisher's logo (2), in language 0 for the
// maker's (3).
class WarningEnd : public ScreensTest, public ::testing::WithParamInterface<int32_t> {
protected:
    void SetUp() override { Start(apptest::ScratchFolder("warning_end"), 640, 480, GetParam()); }
    uitest::RecordingLinksScope links;
};

TEST_P(WarningEnd, FadesFrom3001MsThenAsksForTheLogoOfItsLanguage)
{
    ui->Update(16);
    ASSERT_EQ(ui->CurrentScreen(), 1u);
    DrawFrame([&] { ui->Render(); });
    ui->Update(16);  // the timer's start: 0
    ui->Update(3000);
    EXPECT_EQ(ui->IsFading(), 0);
    ui->Update(1);
    EXPECT_EQ(ui->IsFading(), 1);
    int updates = 0;
    while (ui->IsFading() != 0 && updates < 100) {
        EXPECT_EQ(ui->Update(16), 1);
        ui->DrawFade();
        ++updates;
    }
    // As any 500 ms fade after its first step: drawn at its end in the
    // 36th frame of 16 ms (see AFiveHundredMsFadeAtSixteenMsFrames).
    EXPECT_EQ(updates, 36);
    EXPECT_EQ(ui->RequestedScreen(), 1u);
    EXPECT_EQ(ui->Update(16), GetParam() == 0 ? 3 : 2);
    EXPECT_EQ(ui->Update(16), GetParam() == 0 ? 3 : 2);
}

INSTANTIATE_TEST_SUITE_P(Languages, WarningEnd, ::testing::Values(1, 0));

// On the sample data the warning reads its picture inside its own pack and
// closes the pack again: the screens after it find no pack left open.
class WarningOnSampleData : public ScreensTest {
protected:
    void SetUp() override { StartOnSampleData(); }
};

TEST_F(WarningOnSampleData, ReadsItsPictureFromItsPackAndLeavesNoPackOpen)
{
    ui->Update(16);
    ASSERT_EQ(ui->CurrentScreen(), 1u);
    EXPECT_NE(ui->Warning()->picture.texture, nullptr);
    EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
}

// The waiting notice holds the main thread for 1500 ms of the clock in
// 50 ms pauses, drawing each time over black the message with its dots
// about the middle of the screen, and gives its text block back.
class WaitingNotice : public ScreensTest {
protected:
    void SetUp() override { StartOnSampleData(); }
};

TEST_F(WaitingNotice, HoldsFifteenHundredMsDrawingOverBlack)
{
    ASSERT_TRUE(gs.LoadFont());
    // The drawings shown on either side of the dots' steps at 500 and 1000 ms.
    struct Pauses {
        uint32_t now = 0;
        std::vector<uint32_t> taken;
        std::vector<std::pair<uint32_t, win::Frame>> shown;
    } pauses;
    UseTestClock([](void *p) { return static_cast<Pauses *>(p)->now; },
                 [](uint32_t ms, void *p) {
                     Pauses *pauses = static_cast<Pauses *>(p);
                     const uint32_t at = pauses->now;
                     if (at == 450 || at == 500 || at == 950 || at == 1000) {
                         win::Frame frame;
                         if (d3d8::GetLastPresentedFrame(rwD3D8Device.device, &frame)) {
                             pauses->shown.emplace_back(at, std::move(frame));
                         }
                     }
                     pauses->now += ms;
                     pauses->taken.push_back(ms);
                 },
                 &pauses);
    const int blocks = uitest::TextBlocksInUse(gs);
    ui->ShowWaitingNotice();
    UseTestClock(nullptr, nullptr, nullptr);
    EXPECT_EQ(pauses.taken, std::vector<uint32_t>(30, 50));
    EXPECT_EQ(uitest::TextBlocksInUse(gs), blocks);
    win::Frame frame;
    ASSERT_TRUE(d3d8::GetLastPresentedFrame(rwD3D8Device.device, &frame));
    // The last drawing: text 0 of message entry 21 with three dots, where
    // the message alone centres on (320, 240).
    const char16_t *text = gs.messageBox.Table().Text(21, 0);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(std::u16string(text), u"");
    CSTextBlock *block = gs.textBlocks.Acquire();
    ASSERT_NE(block, nullptr);
    block->SetText(nullptr, text, 0, 0, 544);
    block->AlignX(kAlignCentre, 320);
    block->AlignY(kAlignCentre, 240);
    const int32_t x = block->Rows()[0].x;
    const int32_t y = block->Rows()[0].y;
    const auto withDots = [&](const char16_t *dots) {
        block->SetText(nullptr, (std::u16string(text) + dots).c_str(), x, y, 544);
        return DrawFrame([&] { block->Draw(); }).pixels;
    };
    const std::vector<uint32_t> one = withDots(u".");
    const std::vector<uint32_t> two = withDots(u"..");
    const std::vector<uint32_t> three = withDots(u"...");
    block->Reset(0);
    EXPECT_TRUE(frame.pixels == three);
    // One dot to 499 ms, two to 999, three from 1000.
    ASSERT_EQ(pauses.shown.size(), 4u);
    const std::vector<uint32_t> *dots[4] = {&one, &two, &two, &three};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(pauses.shown[i].second.pixels == *dots[i]) << pauses.shown[i].first << " ms";
    }
    int lit = 0;
    for (uint32_t y = 0; y < frame.height; ++y) {
        for (uint32_t x = 0; x < frame.width; ++x) {
            if ((frame.At(x, y) & 0xFFFFFFu) != 0) {
                ++lit;
                ASSERT_GT(y, 200u) << x;
                ASSERT_LT(y, 280u) << x;
            }
        }
    }
    EXPECT_GT(lit, 0);
}

TEST_F(UIManagerTest, FiveAndNumbersOutsideTheTableAreIgnored)
{
    ui->Update(16);
    for (uint32_t number : {0u, 5u, 18u, 0xFFFFFFFFu}) {
        ui->RequestModule(number);
        EXPECT_EQ(ui->RequestedScreen(), 1u) << number;
    }
    ui->RequestModule(17);
    EXPECT_EQ(ui->RequestedScreen(), 17u);
}

TEST_F(UIManagerTest, TheSwitchFrameHasNoFadeStep)
{
    ui->Update(16);
    ui->StartFade(0, 1000);
    ui->RequestModule(7);
    ui->Update(16);  // the switch: no fade step
    EXPECT_EQ(ui->CurrentScreen(), 7u);
    EXPECT_EQ(ui->FadeAlpha(), 0u);
    EXPECT_TRUE(ui->HasFadeOutTimer());
    ui->Update(16);  // the first step: alpha 0, elapsed 16
    ui->Update(16);
    EXPECT_EQ(ui->FadeAlpha(), 16u * 255u / 1000u);
}

void AnswerBox(uint32_t choice, uint32_t context)
{
    uitest::Log("box " + std::to_string(choice) + " " + std::to_string(context));
}

TEST_F(UIManagerTest, NothingSwitchesUnderTheModalBox)
{
    ui->Update(16);
    ui->SetUIPad(0);
    ui->ShowModalBox(u"Sure?", AnswerBox, nullptr, 7);
    ui->RequestModule(7);
    EXPECT_EQ(ui->Update(16), 0);
    EXPECT_EQ(ui->Update(16), 0);
    EXPECT_EQ(ui->CurrentScreen(), 1u);
    Press(0, kPadCircle);
    EXPECT_EQ(ui->Update(16), 0);  // the box closes in this frame
    ReleasePads();
    EXPECT_EQ(uitest::Links().log.back(), "box 0 7");
    EXPECT_EQ(ui->Update(16), 7);
    EXPECT_EQ(ui->CurrentScreen(), 7u);
}

TEST_F(UIManagerTest, TheBoxTogglesWithLeftAndRightAndAnswersConfirmAndCancel)
{
    ui->Update(16);
    ui->SetUIPad(1);
    ui->ShowModalBox(u"Sure?", AnswerBox, nullptr, 3);
    EXPECT_TRUE(ui->IsModalBoxOpen());
    EXPECT_EQ(ui->ModalChoice(), 0);
    // Another pad does nothing.
    Press(0, kPadLeft);
    ui->Update(16);
    ReleasePads();
    EXPECT_EQ(ui->ModalChoice(), 0);
    Press(1, kPadLeft);
    ui->Update(16);
    ReleasePads();
    EXPECT_EQ(ui->ModalChoice(), 1);
    Press(1, kPadRight);
    ui->Update(16);
    ReleasePads();
    EXPECT_EQ(ui->ModalChoice(), 0);
    // Confirm with the right choice lit answers 0.
    Press(1, kPadStart);
    ui->Update(16);
    ReleasePads();
    EXPECT_FALSE(ui->IsModalBoxOpen());
    EXPECT_EQ(uitest::Links().log.back(), "box 0 3");
    // Confirm and cancel in one frame: the choice, then 0.
    ui->ShowModalBox(u"Again?", AnswerBox, nullptr, 4);
    Press(1, kPadLeft);
    ui->Update(16);
    ReleasePads();
    Press(1, kPadCircle);
    Press(1, kPadCross);
    ui->Update(16);
    ReleasePads();
    const std::vector<std::string> &log = uitest::Links().log;
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "box 1 4");
    EXPECT_EQ(log.back(), "box 0 4");
    // The left mouse button confirms.
    ui->ShowModalBox(u"Mouse?", AnswerBox, nullptr, 5);
    MouseButtonState = 1;
    ui->Update(16);
    ReleasePads();
    EXPECT_EQ(uitest::Links().log.back(), "box 0 5");
}

// The manager's shared pictures on the sample data's art. The modal box,
// drawn by the manager: over the screen its frame band from y 140 to 250 across the whole width with the
// question on its first row, the lit answer standing out more than the
// other, the shade strip at 410..445 with the (Enter) and (Esc) prompts;
// with a picture the box is drawn over that picture alone.
class SharedPicturesOnSampleData : public ScreensTest {
protected:
    void SetUp() override
    {
        StartOnSampleData();
        if (IsSkipped()) {
            return;
        }
        ASSERT_TRUE(gs.LoadFont());
        ui->LoadCommonTextures();
        // The word table lies in the interface sounds' pack.
        ASSERT_TRUE(ui->OpenInterfacePack("UISFX"));
        const bool words = ui->LoadWordTable();
        zuClosePack();
        ASSERT_TRUE(words);
        ui->SetUIPad(0);
    }
    win::Frame Drawn(const std::function<void()> &draw = nullptr)
    {
        return DrawFrame(draw != nullptr ? draw : [&] { ui->Render(); }, {60, 60, 60, 255});
    }
    // How much the pixels of x0..x1 by y0..y1 differ from the box's own
    // colour at x 120 of their row.
    static int64_t Contrast(const win::Frame &f, uint32_t x0, uint32_t x1, uint32_t y0, uint32_t y1)
    {
        int64_t sum = 0;
        for (uint32_t y = y0; y < y1; ++y) {
            for (uint32_t x = x0; x < x1; ++x) {
                for (int shift = 0; shift < 24; shift += 8) {
                    sum += std::abs(static_cast<int64_t>((f.At(x, y) >> shift) & 0xFF) -
                                    static_cast<int64_t>((f.At(120, y) >> shift) & 0xFF));
                }
            }
        }
        return sum;
    }
    uitest::RecordingLinksScope links;
};

TEST_F(SharedPicturesOnSampleData, TheModalBoxFramesItsQuestionOverTheScreenWithTheLitAnswerStandingOut)
{
    const win::Frame without = Drawn();
    ui->ShowModalBox(u"Sure?", AnswerBox, nullptr, 2);
    const win::Frame right = Drawn();
    // The band as reviewed: its nine pieces, the question and the answers.
    resulttest::ExpectCutLikeReference(right.pixels, {0, 136, 640, 254}, apptest::ScratchFolder("modal_box"),
                                       "modal_box");
    for (const auto &[x, y] : std::vector<std::pair<uint32_t, uint32_t>>{
             {1, 141}, {320, 141}, {638, 141}, {1, 200}, {20, 200}, {638, 200}, {1, 246}, {20, 246}, {638, 246}}) {
        EXPECT_NE(right.At(x, y), without.At(x, y)) << x << ", " << y;
    }
    for (const uint32_t y : {139u, 250u, 300u, 409u, 445u}) {
        EXPECT_EQ(right.At(20, y), without.At(20, y)) << y;
    }
    EXPECT_NE(right.At(20, 420), without.At(20, 420));
    // The (Enter) and (Esc) word pictures, from x 391 and 500.
    EXPECT_GT(Contrast(right, 391, 428, 414, 439), 0);
    EXPECT_GT(Contrast(right, 500, 560, 414, 439), 0);
    // The question centred on x 320 on the first row under the top: where
    // its text alone over black would light.
    CSTextBlock *probe = gs.textBlocks.Acquire();
    ASSERT_NE(probe, nullptr);
    TextLayout measured;
    probe->SetText(&measured, u"Sure?", 0, 0, 512);
    probe->SetText(nullptr, u"Sure?", (640 - probe->GetMaxRowWidth()) / 2, 140 + measured.tallestRowHeight, 500);
    const win::Frame question = DrawFrame([&] { probe->Draw(); });
    probe->Reset(0);
    resulttest::ScreenBox lit = {640, 480, 0, 0};
    resulttest::ScreenBox stands = {640, 480, 0, 0};
    for (int y = 144; y < 200; ++y) {
        for (int x = 130; x < 510; ++x) {
            const auto grow = [&](resulttest::ScreenBox &b) {
                b = {std::min(b.x0, x), std::min(b.y0, y), std::max(b.x1, x + 1), std::max(b.y1, y + 1)};
            };
            if ((question.At(x, y) & 0xFFFFFFu) != 0) {
                grow(lit);
            }
            if (Contrast(right, x, x + 1, y, y + 1) > 0) {
                grow(stands);
            }
        }
    }
    EXPECT_EQ(stands, lit);
    EXPECT_NEAR((lit.x0 + lit.x1) / 2.0, 320.0, 3.0);
    // The right answer lit first, then the left after a press of left.
    const int64_t leftDim = Contrast(right, 215, 330, 180, 240);
    const int64_t rightLit = Contrast(right, 415, 530, 180, 240);
    EXPECT_GT(leftDim, 0);
    Press(0, kPadLeft);
    Updates(1);
    ASSERT_EQ(ui->ModalChoice(), 1);
    const win::Frame left = Drawn();
    EXPECT_GT(Contrast(left, 215, 330, 180, 240), leftDim);
    EXPECT_LT(Contrast(left, 415, 530, 180, 240), rightLit);
    // Closed, it draws nothing.
    Press(0, kPadCross);
    Updates(1);
    EXPECT_TRUE(DrawFrame([&] { ui->DrawModalBox(); }).pixels == DrawFrame([] {}).pixels);
    // With a picture, the box over the picture alone.
    // The letterbox covers the screen's top, but not the box's picture.
    ui->ShowLetterbox(0);
    ui->ShowModalBox(u"Sure?", AnswerBox, nullptr, 2);
    EXPECT_EQ(Drawn().At(20, 30) & 0xFFFFFFu, 0u);
    ui->ShowModalBox(u"Sure?", AnswerBox, ui->BaseMap(), 2);
    const win::Frame overPicture = Drawn();
    EXPECT_NE(overPicture.At(20, 30) & 0xFFFFFFu, 0u);
    for (const uint32_t y : {100u, 300u}) {
        EXPECT_NE(overPicture.At(20, y), without.At(20, y)) << y;
    }
    // The whole picture over the whole screen at the box's colour, outside
    // the band and the strip at its foot.
    const win::Frame picture = DrawFrame(
        [&] { DrawPlaced({kUIScreen, kUIWholePicture}, ui->BaseMap(), 0xF0F0F0F0u); }, {60, 60, 60, 255});
    int differing = 0;
    for (uint32_t y = 0; y < 410; ++y) {
        for (uint32_t x = 0; x < 640 && (y < 140 || y >= 250); ++x) {
            differing += overPicture.At(x, y) != picture.At(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_NE(overPicture.At(20, 200), picture.At(20, 200));
    // Released with its question up (as the manager goes), it is closed and
    // its three texts are back in the pool.
    const int inUse = uitest::TextBlocksInUse(gs);
    ui->ReleaseModalBox();
    EXPECT_FALSE(ui->IsModalBoxOpen());
    EXPECT_EQ(uitest::TextBlocksInUse(gs), inUse - 3);
}

// Before the common pictures are read (the warning reads them) a screen's
// shade strip and prompts draw nothing and no key picture is handed out.
// The base map's reveal: the whole base map over the whole screen, opaque
// at its start, at alpha 128 after 250 ms, gone from 500 ms; the cover
// then comes back the other way.
TEST_F(SharedPicturesOnSampleData, TheBaseMapRevealFadesTheWholeMapOutOverHalfASecond)
{
    ASSERT_NE(ui->BaseMap(), nullptr);
    const auto map = [&](uint32_t alpha) {
        return Drawn([&] { DrawPlaced({kUIScreen, kUIWholePicture}, ui->BaseMap(), alpha << 24 | 0xF0F0F0u); });
    };
    ui->StartBaseMapReveal();
    EXPECT_TRUE(Drawn([&] { ui->DrawBaseMapFade(250); }).pixels == map(255).pixels);
    EXPECT_TRUE(Drawn([&] { ui->DrawBaseMapFade(250); }).pixels == map(255 - 250 * 255 / 500).pixels);
    EXPECT_FALSE(ui->IsBaseMapRevealing());
    EXPECT_TRUE(Drawn([&] { ui->DrawBaseMapFade(250); }).pixels == Drawn([] {}).pixels);
    ui->StartBaseMapCover();
    EXPECT_TRUE(Drawn([&] { ui->DrawBaseMapFade(250); }).pixels == map(0).pixels);
    EXPECT_TRUE(Drawn([&] { ui->DrawBaseMapFade(250); }).pixels == map(250 * 255 / 500).pixels);
    EXPECT_FALSE(ui->IsBaseMapCovering());
    // Both over: the screen behind shows again.
    EXPECT_TRUE(Drawn([&] { ui->DrawBaseMapFade(250); }).pixels == Drawn([] {}).pixels);
}

TEST_F(UIManagerTest, BeforeTheCommonPicturesTheShadeAndPromptsDrawNothing)
{
    EXPECT_FALSE(ui->HasShadePanel());
    EXPECT_EQ(ui->GetKeyPrompt(1), nullptr);
    const win::Frame frame = DrawFrame([&] {
        ui->DrawShadeRect(0, 410, 640, 445);
        ui->DrawKeyPrompts(7);
        ui->DrawPromptText(4);
    });
    EXPECT_TRUE(frame.pixels == DrawFrame([] {}).pixels);
}

TEST_F(UIManagerTest, HoldingSelectAndStartPast3000MsReturnsToTheTitle)
{
    ui->Update(16);
    // No interface pad chosen: nothing counts.
    for (int i = 0; i < 300; ++i) {
        SetButton(0, kPadSelect, 2);
        SetButton(0, kPadStart, 2);
        ui->CheckHoldToTitle(16);
    }
    EXPECT_FALSE(gs.StageExitRequested());
    ui->SetUIPad(2);
    // 3000 ms exactly is not enough; 3001 is. Letting go of one button for a
    // frame starts the count again.
    auto hold = [&](uint32_t ms) {
        SetButton(2, kPadSelect, 2);
        SetButton(2, kPadStart, 1);
        ui->CheckHoldToTitle(ms);
    };
    hold(1000);
    hold(1000);
    SetButton(2, kPadStart, 0);
    ui->CheckHoldToTitle(16);
    hold(1000);
    hold(1000);
    hold(1000);
    EXPECT_FALSE(gs.StageExitRequested());
    hold(1);
    EXPECT_TRUE(gs.StageExitRequested());
}

TEST_F(UIManagerTest, AFiveHundredMsFadeAtSixteenMsFrames)
{
    ui->StartFade(0, 500);
    EXPECT_EQ(ui->IsFading(), 1);
    std::vector<uint32_t> alphas;
    uint32_t elapsed = 0;
    uint32_t endedAt = 0;
    while (ui->HasFadeOutTimer()) {
        ui->StepFade(16);
        alphas.push_back(ui->FadeAlpha());
        if (!ui->HasFadeOutTimer()) {
            endedAt = elapsed;
        }
        elapsed += 16;
    }
    // Alpha 0 in the first step, 255 from the step at elapsed 512, the end
    // at 560.
    EXPECT_EQ(alphas.front(), 0u);
    EXPECT_EQ(alphas[512 / 16 - 1], 496u * 255u / 500u);
    EXPECT_EQ(alphas[512 / 16], 255u);
    EXPECT_EQ(endedAt, 560u);
    EXPECT_EQ(alphas.back(), 255u);
    // Still fading in the frame it ends; one more draw, then not.
    EXPECT_EQ(ui->IsFading(), 1);
    ui->DrawFade();
    EXPECT_EQ(ui->IsFading(), 0);
    // A second start while one runs is ignored.
    ui->StartFade(0xFF00FF00u, 100);
    ui->StartFade(0xFFFF0000u, 1000);
    ui->StepFade(16);
    ui->StepFade(16);
    EXPECT_EQ(ui->FadeQuad().v[0].emissiveColor & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(ui->FadeAlpha(), 16u * 255u / 100u);
}

// The fade, the last 2D layer, hands the depth test and write back on for
// the 3D drawn after it (the developer menu's walls and gizmos).
TEST_F(UIManagerTest, TheFadeHandsTheDepthTestBackForWhatComesAfter)
{
    ui->StartFade(0xFF000000u, 500);
    ui->StepFade(16);
    RwUInt32 zTest = 0;
    RwUInt32 zWrite = 0;
    DrawFrame([&] {
        SetDepthTestAndWrite(false);
        ui->DrawFade();
        RwGetRenderState(rwRENDERSTATEZTESTENABLE, &zTest);
        RwGetRenderState(rwRENDERSTATEZWRITEENABLE, &zWrite);
    });
    EXPECT_EQ(zTest, 1u);
    EXPECT_EQ(zWrite, 1u);
}

TEST_F(UIManagerTest, AFadeInGoesFromTheColourToClear)
{
    ui->StartFadeIn(0xFF000000u, 1000);
    ui->StepFade(16);
    EXPECT_EQ(ui->FadeAlpha(), 255u);
    for (int i = 0; i < 40; ++i) {
        ui->StepFade(16);
    }
    EXPECT_EQ(ui->FadeAlpha(), 255u - 640u * 255u / 1000u);
    for (int i = 0; i < 40; ++i) {
        ui->StepFade(16);
    }
    EXPECT_FALSE(ui->HasFadeOutTimer());
    EXPECT_EQ(ui->FadeAlpha(), 0u);
}

// Only a fade drawn at full alpha over the whole frame covers it: a fade-in
// until its first step with time gone, a fade-out from the step that finds
// its length gone until it ends; never once the fade is no longer drawn.
TEST_F(UIManagerTest, AFadeCoversTheFrameOnlyAtFullAlphaOverAllOfIt)
{
    EXPECT_FALSE(ui->FadeCovers(1.0f, 1.0f));
    ui->StartFadeIn(0xFF000000u, 1000);
    const float w = ui->FadeQuad().v[3].x, h = ui->FadeQuad().v[3].y;  // the screen's lower right
    ASSERT_GT(w, 0.0f);
    ASSERT_GT(h, 0.0f);
    EXPECT_TRUE(ui->FadeCovers(w, h));
    EXPECT_FALSE(ui->FadeCovers(w + 1.0f, h));
    EXPECT_FALSE(ui->FadeCovers(w, h + 1.0f));
    ui->StepFade(16);
    EXPECT_TRUE(ui->FadeCovers(w, h));  // no time gone yet
    ui->StepFade(16);
    EXPECT_EQ(ui->FadeAlpha(), 255u - 16u * 255u / 1000u);
    EXPECT_FALSE(ui->FadeCovers(w, h));
    for (int i = 0; i < 80; ++i) {
        ui->StepFade(16);
    }
    ui->DrawFade();
    EXPECT_EQ(ui->IsFading(), 0);
    ui->StartFade(0xFFFFFFFFu, 255);
    EXPECT_FALSE(ui->FadeCovers(w, h));  // from clear
    ui->StepFade(254);
    ui->StepFade(1);
    EXPECT_EQ(ui->FadeAlpha(), 254u);
    EXPECT_FALSE(ui->FadeCovers(w, h));
    ui->StepFade(26);
    EXPECT_EQ(ui->FadeAlpha(), 255u);
    EXPECT_TRUE(ui->FadeCovers(w, h));
    ui->StepFade(1);  // 281 gone: the last drawing, at full alpha
    EXPECT_FALSE(ui->IsFadeRunning());
    EXPECT_TRUE(ui->FadeCovers(w, h));
    ui->DrawFade();
    EXPECT_EQ(ui->FadeAlpha(), 255u);
    EXPECT_FALSE(ui->FadeCovers(w, h));  // no longer drawn
}

// A fade ends on the step that finds 281/255 of its length gone, not one
// step later: with 255 ms fades the share is the milliseconds gone.
TEST_F(UIManagerTest, AFadeEndsOnTheStepThatFindsItsEndShareGone)
{
    for (const bool in : {false, true}) {
        in ? ui->StartFadeIn(0xFF000000u, 255) : ui->StartFade(0xFF000000u, 255);
        ui->StepFade(280);
        ui->StepFade(1);
        EXPECT_TRUE(ui->IsFadeRunning()) << in;  // 280 gone
        ui->StepFade(1);
        EXPECT_FALSE(ui->IsFadeRunning()) << in;  // 281 gone
        EXPECT_FALSE(ui->HasFadeOutTimer()) << in;
        EXPECT_EQ(ui->FadeAlpha(), in ? 0u : 255u) << in;
        ui->DrawFade();
        EXPECT_EQ(ui->IsFading(), 0) << in;
    }
}

TEST_F(UIManagerTest, TheLetterboxComesAndGoesAtOnceOrOverItsTime)
{
    ui->ShowLetterbox(0);
    EXPECT_TRUE(ui->IsLetterboxOn());
    EXPECT_EQ(ui->LetterboxQuad(0).v[0].emissiveColor, 0xFF000000u);
    ui->ShowLetterbox(500);  // on already: nothing
    EXPECT_EQ(ui->LetterboxQuad(1).v[3].emissiveColor, 0xFF000000u);
    ui->HideLetterbox(0);
    EXPECT_FALSE(ui->IsLetterboxOn());
    ui->ShowLetterbox(200);
    EXPECT_EQ(ui->LetterboxQuad(0).v[0].emissiveColor, 0x00000000u);
    ui->StepLetterbox(100);
    EXPECT_EQ(ui->LetterboxQuad(0).v[0].emissiveColor >> 24, 100u * 255u / 200u);
    ui->StepLetterbox(100);
    EXPECT_EQ(ui->LetterboxQuad(1).v[2].emissiveColor, 0xFF000000u);
    ui->HideLetterbox(100);
    ui->StepLetterbox(50);
    EXPECT_EQ(ui->LetterboxQuad(0).v[0].emissiveColor >> 24, 255u - 50u * 255u / 100u);
    EXPECT_TRUE(ui->IsLetterboxOn());
    ui->HideLetterbox(100);  // going already: it goes on from where it is
    ui->StepLetterbox(50);
    EXPECT_FALSE(ui->IsLetterboxOn());
    EXPECT_EQ(ui->LetterboxQuad(0).v[0].emissiveColor, 0u);
    // One millisecond is a time as well: the bars come from clear and go
    // from black over the next step.
    ui->ShowLetterbox(1);
    EXPECT_EQ(ui->LetterboxQuad(1).v[0].emissiveColor, 0x00000000u);
    ui->StepLetterbox(16);
    EXPECT_EQ(ui->LetterboxQuad(1).v[0].emissiveColor, 0xFF000000u);
    ui->HideLetterbox(1);
    EXPECT_TRUE(ui->IsLetterboxOn());
    ui->StepLetterbox(16);
    EXPECT_FALSE(ui->IsLetterboxOn());
}

TEST_F(UIManagerTest, ACoverStartedDuringTheRevealWaitsForIt)
{
    EXPECT_FALSE(ui->IsBaseMapCovering());
    ui->StartBaseMapReveal();
    // The reveal starts opaque over the whole screen (without a base map
    // here: grey 240).
    const win::Frame first = DrawFrame([&] { ui->DrawBaseMapFade(100); });
    for (const auto &[x, y] : std::vector<std::pair<uint32_t, uint32_t>>{{0, 0}, {639, 0}, {0, 479}, {639, 479}}) {
        EXPECT_EQ(first.At(x, y) & 0xFFFFFFu, 0xF0F0F0u) << x << ", " << y;
    }
    ui->StartBaseMapCover();
    EXPECT_TRUE(ui->IsBaseMapCovering());
    // The reveal runs its 500 ms first; the cover does not move meanwhile.
    for (int i = 0; i < 4; ++i) {
        ui->DrawBaseMapFade(100);
    }
    ui->DrawBaseMapFade(100);  // the cover's first step
    ui->DrawBaseMapFade(100);
    ui->DrawBaseMapFade(100);
    ui->DrawBaseMapFade(100);
    EXPECT_TRUE(ui->IsBaseMapCovering());
    ui->DrawBaseMapFade(100);
    EXPECT_FALSE(ui->IsBaseMapCovering());
}

TEST_F(UIManagerTest, TheTraceNamesRequestsSwitchesAndSounds)
{
    const std::string path = apptest::ScratchFolder("manager_trace") + "/t.txt";
    std::string error;
    ASSERT_TRUE(game::TraceOpen(path, &error)) << error;
    game::TraceSetTick(4);
    ui->Update(16);
    ui->RequestModule(5);
    ui->RequestModule(2);
    ui->Update(16);
    ui->RequestBossGauge();
    EXPECT_FALSE(ui->PlayUISound(6600010, 0));  // not loaded: no line
    game::TraceClose();
    game::TraceSetTick(0);  // the suite's other traces start at tick 0
    const std::vector<uint8_t> bytes = apptest::ReadBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "4 screen switch 1\n4 screen request 2\n4 screen switch 2\n4 screen gauge\n");
}

// Without the front end's pack (its loss reported by the pack files) the
// front-end screens read their pictures from their folders: the still
// logo still shows its picture.
class FrontEndWithoutPack : public resulttest::ResultScreensTest {};

TEST_F(FrontEndWithoutPack, ItsPicturesComeFromTheirFolders)
{
    StartOn("front_end_without_pack");
    resulttest::RemoveFile(root, "PACK/UI0/UIMAP.STR");
    resulttest::RemoveFile(root, "PACK/UI0/UIMAP.LST");
    resulttest::OwnFolder(root, "RESOURCE/UITEXT/LOGO3");
    ASSERT_TRUE(apptest::WriteBmp(root + "/RESOURCE/UITEXT/LOGO3/LOGO3.BMP", 4, 4,
                                  std::vector<uint32_t>(16, 0xFF808080u)));
    ui->ReleaseFrontEndTextures();
    ASSERT_EQ(ui->StillLogo()->picture.texture, nullptr);
    apptest::FatalRecorder::Names().clear();
    ui->LoadFrontEndTextures();
    ASSERT_EQ(apptest::FatalRecorder::Names().size(), 1u);
    EXPECT_NE(apptest::FatalRecorder::Names()[0].find("UIMAP.LST"), std::string::npos) << apptest::FatalRecorder::Names()[0];
    EXPECT_NE(ui->StillLogo()->picture.texture, nullptr);
    EXPECT_FALSE(zuIsPackOpen()) << zuGetOpenPackPath();
}

}  // namespace

}  // namespace ui_manager_test
