// The screens between the warning and the title, run by the screen manager
// frame by frame with recording movie and stage links: each movie of the
// language's folder, left for the next screen when it ends or on start of
// pad 0 alone; the maker's parts before its movie; the still logo's loads
// only after its picture was drawn, its fade in the first update past
// 2000 ms and the opening movie after that fade; the opening movie starting
// the arc-cosine table; a screen activated again starting nothing again.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/ui/ui_test_support.h"
#include "ui/logo_screens.h"

namespace logo_screens_test {

namespace {

using uitest::Links;

class LogoScreens : public uitest::ScreensTest, public ::testing::WithParamInterface<int32_t> {
protected:
    void SetUp() override { Start(apptest::ScratchFolder("logo_screens"), 640, 480, GetParam()); }
    void Goto(uint32_t screen)
    {
        ui->RequestModule(screen);
        ui->Update(16);
        ASSERT_EQ(ui->CurrentScreen(), screen);
    }
    static int Logged(const std::string &line)
    {
        return static_cast<int>(std::count(Links().log.begin(), Links().log.end(), line));
    }
    // The log lines from `from` on.
    static std::vector<std::string> LogFrom(size_t from)
    {
        return {Links().log.begin() + static_cast<std::ptrdiff_t>(from), Links().log.end()};
    }
    uitest::RecordingLinksScope links;
};

TEST_P(LogoScreens, TheMoviesComeFromTheLanguagesFolder)
{
    const std::string folder = GetParam() == 0 ? "\\CHIUIMV\\" : "\\ENGUIMV\\";
    EXPECT_EQ(InterfaceMoviePath("OPEN.BIK"), std::string(UIDataRoot()) + folder + "OPEN.BIK");
}

TEST_P(LogoScreens, AMovieScreenLeavesWhenItsMovieEndsOrOnStartOfPadZero)
{
    Goto(kUIPublisherLogo);
    EXPECT_EQ(Links().movie, "Tarvisk.BIK");
    EXPECT_TRUE(Links().moviePlaying);
    // While it plays no other pad's start and no other button of pad 0
    // leaves it, nor does the mouse.
    for (const PadButton button : {kPadCircle, kPadCross, kPadSelect, kPadTriangle, kPadSquare}) {
        Press(0, button);
        Updates(1);
    }
    Press(1, kPadStart);
    Press(2, kPadStart);
    MouseButtonState = 1;
    Updates(1);
    // Held (not pressed in this frame) does not skip either.
    SetButton(0, kPadStart, 2);
    Updates(1);
    EXPECT_EQ(ui->RequestedScreen(), kUIPublisherLogo);
    EXPECT_TRUE(Links().moviePlaying);
    Press(0, kPadStart);
    Updates(1);
    EXPECT_FALSE(Links().moviePlaying);
    EXPECT_EQ(Links().log.back(), "stop movie");
    EXPECT_EQ(ui->RequestedScreen(), kUIMakerLogo);
    // The maker's screen makes the stage manager's first parts, then plays
    // its movie; the movie's end leaves for the still logo.
    const size_t at = Links().log.size();
    Updates(1);
    ASSERT_EQ(ui->CurrentScreen(), kUIMakerLogo);
    EXPECT_EQ(LogFrom(at), (std::vector<std::string>{"parts 1", "movie ZUNO.BIK"}));
    Updates(5);
    EXPECT_EQ(ui->RequestedScreen(), kUIMakerLogo);
    Links().moviePlaying = false;
    Updates(1);
    EXPECT_EQ(Links().log.back(), "stop movie");
    EXPECT_EQ(ui->RequestedScreen(), kUIStillLogo);
    EXPECT_EQ(Logged("parts 1"), 1);
}

TEST_P(LogoScreens, TheStillLogoLoadsOnceDrawnFadesPast2000MsThenTheOpeningMovie)
{
    Goto(kUIStillLogo);
    CSStillLogo *logo = ui->StillLogo();
    // Not drawn yet: no loads, however long it waits.
    Updates(3);
    EXPECT_EQ(Logged("effects pack"), 0);
    // The picture over (64, 112)-(576, 368), grey 240 without its file.
    const win::Frame frame = DrawFrame([&] { ui->Render(); });
    EXPECT_EQ(frame.At(64, 112) & 0xFFFFFFu, 0xF0F0F0u);
    EXPECT_EQ(frame.At(575, 367) & 0xFFFFFFu, 0xF0F0F0u);
    EXPECT_EQ(frame.At(63, 240) & 0xFFFFFFu, 0u);
    EXPECT_EQ(frame.At(576, 240) & 0xFFFFFFu, 0u);
    EXPECT_EQ(frame.At(320, 111) & 0xFFFFFFu, 0u);
    EXPECT_EQ(frame.At(320, 368) & 0xFFFFFFu, 0u);
    Updates(1);
    EXPECT_EQ(Logged("effects pack"), 1);
    DrawFrame([&] { ui->Render(); });
    Updates(1);
    EXPECT_EQ(Logged("effects pack"), 1);
    // Its timer began at its first update: 5 updates of 16 ms so far. At
    // 2000 ms exactly no fade; the next millisecond starts the 500 ms fade.
    Updates(1, 2000 - 5 * 16);
    EXPECT_EQ(logo->timerMs, 2000u);
    EXPECT_EQ(ui->IsFading(), 0);
    Updates(1, 1);
    EXPECT_EQ(ui->IsFading(), 1);
    EXPECT_TRUE(logo->fading);
    // Start does not cut the picture short.
    Press(0, kPadStart);
    int updates = 1;
    Updates(1);
    while (ui->IsFading() != 0 && updates < 100) {
        EXPECT_EQ(ui->RequestedScreen(), kUIStillLogo);
        ui->DrawFade();
        Updates(1);
        ++updates;
    }
    // The first update after the fade's last drawing asks for the movie.
    EXPECT_EQ(ui->IsFading(), 0);
    EXPECT_GE(updates * 16, 500);
    EXPECT_EQ(ui->RequestedScreen(), kUIOpeningMovie);
    EXPECT_FALSE(logo->fading);
    // The opening movie starts the arc-cosine table; its end asks for the title.
    EXPECT_FALSE(gs.acosTable.Ready());
    Updates(1);
    ASSERT_EQ(ui->CurrentScreen(), kUIOpeningMovie);
    EXPECT_EQ(Links().movie, "OPEN.BIK");
    gs.acosTable.Join();
    EXPECT_TRUE(gs.acosTable.Ready());
    Updates(3);
    EXPECT_EQ(ui->RequestedScreen(), kUIOpeningMovie);
    Links().moviePlaying = false;
    Updates(1);
    EXPECT_EQ(ui->RequestedScreen(), kUITitle);
}

// Activated again while it shows, a screen starts nothing again: no movie
// from its start, no second parts, the still logo's timer and loads kept.
TEST_P(LogoScreens, ActivatedAgainWhileShownAScreenStartsNothingAgain)
{
    Goto(kUIPublisherLogo);
    ui->PublisherLogo()->SetActive(1);
    Goto(kUIMakerLogo);
    ui->MakerLogo()->SetActive(1);
    Goto(kUIOpeningMovie);
    ui->OpeningMovie()->SetActive(1);
    EXPECT_EQ(Logged("movie Tarvisk.BIK"), 1);
    EXPECT_EQ(Logged("movie ZUNO.BIK"), 1);
    EXPECT_EQ(Logged("parts 1"), 1);
    EXPECT_EQ(Logged("movie OPEN.BIK"), 1);
    Goto(kUIStillLogo);
    CSStillLogo *logo = ui->StillLogo();
    DrawFrame([&] { ui->Render(); });
    Updates(2);
    logo->SetActive(1);
    EXPECT_TRUE(logo->drawn);
    EXPECT_TRUE(logo->loaded);
    EXPECT_EQ(logo->timerMs, 32u);
    Updates(1);
    EXPECT_EQ(Logged("effects pack"), 1);
}

INSTANTIATE_TEST_SUITE_P(Languages, LogoScreens, ::testing::Values(1, 0));

}  // namespace

}  // namespace logo_screens_test
