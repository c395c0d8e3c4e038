// The message window's state frame by frame: the phases and their timing,
// the instant page, the typewriter (the first character at once, then one
// every 0.1 s; the whole text at once outside language 0), the timed plain
// message that refuses a second plain message and closes by itself (also
// when its time runs out while it still opens), the arrow's blink, the
// frame around the box and the speech marker's on and off.
#include <gtest/gtest.h>

#include "app/game_system.h"
#include "event/message_window.h"
#include "tests/event/talk_test_support.h"

namespace message_window_test {

namespace {

constexpr float kDt = 1.0f / 60.0f;

class MessageWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = g_pGameSystem;
        g_pGameSystem = &event_test::EventTestGameSystem();
        g_pGameSystem->language = 1;
    }
    void TearDown() override { g_pGameSystem = previous_; }
    // `seconds` of frames: the update, then the tick's text step.
    void Run(float seconds)
    {
        for (float t = 0.0f; t < seconds - 1e-4f; t += kDt) {
            window.Update(kDt);
            window.StepText();
        }
    }

    CSEventMessageWindow window;

private:
    CSGameSystem *previous_ = nullptr;
};

TEST_F(MessageWindowTest, ATextOpensOverItsTimeThenSlidesItsPlateForASecond)
{
    EventPortrait speaker = {nullptr, 0, u"Farmer", nullptr, 79010200};
    ASSERT_TRUE(window.Open(u"Hello", 1, nullptr, 1.0f, 0, &speaker));
    EXPECT_EQ(window.Phase(), kWindowOpening);
    EXPECT_FLOAT_EQ(window.Box().alpha, 0.0f);
    EXPECT_FLOAT_EQ(window.Box().left, 114.0f);
    EXPECT_FLOAT_EQ(window.Box().right, 592.0f);
    EXPECT_FLOAT_EQ(window.Box().top, 220.0f);
    EXPECT_FLOAT_EQ(window.Box().bottom, 440.0f);
    EXPECT_FLOAT_EQ(window.Plate().left, 53.0f);
    Run(0.5f);
    EXPECT_EQ(window.Phase(), kWindowOpening);
    EXPECT_NEAR(window.Box().alpha, 120.0f, 6.0f);
    Run(0.55f);
    EXPECT_EQ(window.Phase(), kWindowSliding);
    EXPECT_FLOAT_EQ(window.Box().alpha, 240.0f);
    Run(0.5f);
    EXPECT_EQ(window.Phase(), kWindowSliding);
    EXPECT_GT(window.Plate().left, 53.0f);
    EXPECT_LT(window.Plate().left, 133.0f);
    Run(0.55f);
    EXPECT_EQ(window.Phase(), kWindowOpen);
    EXPECT_FLOAT_EQ(window.Plate().left, 133.0f);
    EXPECT_FLOAT_EQ(window.Plate().top, 225.0f);
    EXPECT_FLOAT_EQ(window.Plate().bottom, 252.0f);
    // The frame lies around the box: corners 8 wide and 30 high.
    EXPECT_FLOAT_EQ(window.Frame(0).left, 114.0f);
    EXPECT_FLOAT_EQ(window.Frame(0).right, 122.0f);
    EXPECT_FLOAT_EQ(window.Frame(0).bottom, 250.0f);
    EXPECT_FLOAT_EQ(window.Frame(8).right, 592.0f);
    EXPECT_FLOAT_EQ(window.Frame(8).top, 410.0f);
    EXPECT_FLOAT_EQ(window.Frame(4).left, 122.0f);
    EXPECT_FLOAT_EQ(window.Frame(4).right, 584.0f);
    // The arrow in the box's lower right corner.
    EXPECT_FLOAT_EQ(window.Arrow().left, 552.0f);
    EXPECT_FLOAT_EQ(window.Arrow().bottom, 425.0f);
    window.Close();
    EXPECT_EQ(window.Phase(), kWindowClosed);
    EXPECT_TRUE(window.Text().empty());
    EXPECT_FALSE(window.IsBusy());
}

TEST_F(MessageWindowTest, AnInstantPageIsWholeAtOnce)
{
    ASSERT_TRUE(window.Open(u"Next", 1, nullptr, 0.5f, 1, nullptr));
    EXPECT_FLOAT_EQ(window.Box().alpha, 240.0f);
    EXPECT_FLOAT_EQ(window.Plate().left, 133.0f);
    window.Update(kDt);
    EXPECT_EQ(window.Phase(), kWindowSliding);
    window.Update(kDt);
    EXPECT_EQ(window.Phase(), kWindowOpen);
}

TEST_F(MessageWindowTest, TheTypewriterShowsTheFirstCharacterAtOnceThenOneEveryTenthOfASecond)
{
    g_pGameSystem->language = 0;
    ASSERT_TRUE(window.Open(u"ABCDE", 1, nullptr, 0.0f, 1, nullptr));
    window.Update(kDt);  // phase 2
    window.StepText();
    EXPECT_EQ(window.ShownText(), u"A");
    Run(0.05f);
    EXPECT_EQ(window.ShownText(), u"A");
    Run(0.1f);
    EXPECT_EQ(window.ShownText(), u"AB");
    Run(0.3f);
    EXPECT_EQ(window.ShownText(), u"ABCDE");
    EXPECT_FALSE(window.IsFinished());  // the terminator is one more step
    Run(0.1f);
    EXPECT_TRUE(window.IsFinished());
}

TEST_F(MessageWindowTest, OutsideLanguageZeroTheWholeTextShowsOnTheFirstTick)
{
    for (int32_t language : {1, 2, 14}) {
        g_pGameSystem->language = language;
        ASSERT_TRUE(window.Open(u"Whole text", 1, nullptr, 0.0f, 1, nullptr));
        window.StepText();  // still opening: nothing yet
        EXPECT_FALSE(window.IsFinished());
        window.Update(kDt);
        window.StepText();
        EXPECT_TRUE(window.IsFinished());
        EXPECT_EQ(window.ShownText(), u"Whole text");
    }
}

TEST_F(MessageWindowTest, ATimedMessageRefusesAnotherPlainMessageAndClosesByItself)
{
    ASSERT_TRUE(window.Open(u"Locked.", 0, nullptr, 0.2f, 0, nullptr));
    window.SetShowTime(1.0f);
    EXPECT_TRUE(window.IsBusy());
    EXPECT_FLOAT_EQ(window.Box().left, 48.0f);
    EXPECT_FALSE(window.Open(u"Another.", 0, nullptr, 0.2f, 0, nullptr));
    EXPECT_EQ(window.Text(), u"Locked.");
    Run(0.9f);
    EXPECT_EQ(window.Phase(), kWindowSliding);
    Run(0.15f);
    EXPECT_EQ(window.Phase(), kWindowClosed);
    EXPECT_FALSE(window.IsBusy());
    EXPECT_TRUE(window.Open(u"Another.", 0, nullptr, 0.2f, 0, nullptr));
}

TEST_F(MessageWindowTest, ATextReplacesATimedMessage)
{
    ASSERT_TRUE(window.Open(u"Locked.", 0, nullptr, 0.2f, 0, nullptr));
    window.SetShowTime(1.0f);
    ASSERT_TRUE(window.Open(u"Talk.", 1, nullptr, 0.2f, 0, nullptr));
    EXPECT_EQ(window.Text(), u"Talk.");
    EXPECT_EQ(window.TextMode(), 1);
}

TEST_F(MessageWindowTest, AMessageWhoseTimeRunsOutWhileItOpensClosesOnceOpen)
{
    ASSERT_TRUE(window.Open(u"Quick.", 0, nullptr, 1.0f, 0, nullptr));
    window.SetShowTime(0.5f);
    Run(0.6f);
    EXPECT_EQ(window.Phase(), kWindowOpening);
    Run(0.5f);
    EXPECT_EQ(window.Phase(), kWindowClosed);
    EXPECT_FLOAT_EQ(window.ShowTimer(), 0.0f);
    EXPECT_FALSE(window.IsBusy());
}

TEST_F(MessageWindowTest, TheArrowBlinksEveryFourTenthsOfASecondInTextMode)
{
    ASSERT_TRUE(window.Open(u"Hi", 1, nullptr, 0.0f, 1, nullptr));
    Run(0.2f);
    EXPECT_FALSE(window.ArrowShown());
    Run(0.25f);
    EXPECT_TRUE(window.ArrowShown());
    Run(0.4f);
    EXPECT_FALSE(window.ArrowShown());
}

TEST_F(MessageWindowTest, TheMarkerIsOnForItsEventAndOffOnlyForIt)
{
    window.ShowMarker(true, {0.0f, 0.0f, 0.0f}, 1, 0, 79010200);
    EXPECT_EQ(window.Marker().on, 1);
    EXPECT_EQ(window.Marker().kind, 1);
    window.ShowMarker(false, {0.0f, 0.0f, 0.0f}, 0, 0, 79010300);
    EXPECT_EQ(window.Marker().on, 1);
    window.ShowMarker(false, {0.0f, 0.0f, 0.0f}, 0, 0, 79010200);
    EXPECT_EQ(window.Marker().on, 0);
    EXPECT_EQ(window.Marker().eventId, 0);
}

}  // namespace

}  // namespace message_window_test
