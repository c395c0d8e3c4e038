// Dialogue events frame by frame on the real manager, window and trigger
// test over a fake stage: the prompt, the start by the action command of
// player slot 0 only, facing within 45 degrees, the hold of every actor,
// the camera's turn and way back, paging by confirm presses, the
// typewriter completed by a press, Param 0, the waiting NPC made ready and
// given back, and the potion and item variants.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "event/message_window.h"
#include "event/talk_event.h"
#include "tests/event/talk_test_support.h"

namespace talk_event_test {

namespace {

using namespace event_test;

constexpr int32_t kTalk = 79010200;
constexpr RwV3d kNpcAt = {0.0f, 0.0f, 10.0f};

int32_t CountPosts(const std::vector<PostedMessage> &posted, const FakeActor *target, int32_t code, int32_t value)
{
    return static_cast<int32_t>(std::count_if(posted.begin(), posted.end(), [&](const PostedMessage &m) {
        return m.kind == 0 && m.target == target && m.word[1] == code && m.word[2] == value;
    }));
}

class TalkEventTest : public TalkStageTest {
protected:
    CSTalkEvent *Talk(int32_t id = kTalk) { return static_cast<CSTalkEvent *>(manager->FindEvent(id)); }
    CSEventMessageWindow &Window() { return *manager->Window(); }
    // The hero in reach for a frame (the condition reads the area bytes of
    // the frame before), then the action command.
    void Approach()
    {
        Frame();
        Frame(true);
    }
    // Frames until the window's page shows (its opening and slide done).
    void UntilPageShown()
    {
        for (int i = 0; i < 200 && Window().Phase() < kWindowSliding; ++i) {
            Frame();
        }
        ASSERT_GE(Window().Phase(), kWindowSliding);
    }
};

TEST_F(TalkEventTest, TheActionOpensTheLinesOneByOneAndTheCameraComesBackBeforeTheEnd)
{
    FakeActor *npc = AddNpc(kTalk, kNpcAt);
    FakeActor *other = AddNpc(0, {50.0f, 0.0f, 50.0f}, 1000);
    Start({TalkEntry(kTalk, kNpcAt, 1020304)}, {{kTalk, 0, u"Farmer"}});
    CSTalkEvent *talk = Talk();
    ASSERT_NE(talk, nullptr);
    EXPECT_EQ(talk->EventType, 4);
    EXPECT_EQ(talk->LineCount, 4);
    EXPECT_EQ(talk->Lines[0], 1);
    EXPECT_EQ(talk->Lines[3], 4);

    // In reach and facing: the prompt shows over the hero (the condition
    // reads the area bytes of the frame before).
    Frames(2);
    EXPECT_EQ(Window().Marker().on, 1);
    EXPECT_EQ(Window().Marker().kind, 1);
    EXPECT_EQ(Window().Marker().eventId, kTalk);
    EXPECT_EQ(talk->TextShown, 1);
    EXPECT_EQ(talk->IsOccur, 0);

    Frame(true);
    EXPECT_EQ(talk->IsOccur, 1);
    EXPECT_EQ(manager->GetTalkEventId(), kTalk);
    EXPECT_EQ(Window().TextMode(), 1);
    EXPECT_EQ(Window().Text(), u"First line.");
    EXPECT_EQ(Window().Speaker(), manager->GetNpcPortrait(kTalk));
    // Every actor and every hero is held.
    const std::vector<PostedMessage> held = TakePosted(stage);
    EXPECT_EQ(CountPosts(held, npc, 8192, kTalk), 1);
    EXPECT_EQ(CountPosts(held, other, 8192, kTalk), 1);
    EXPECT_EQ(CountPosts(held, &hero, 8192, 0), 1);
    EXPECT_EQ(stage.camera, (std::vector<std::string>{"save", "turn", "mode 7"}));

    // A press while the box still opens is dropped.
    Frame(false, true);
    UntilPageShown();
    EXPECT_EQ(talk->LineIndex, 0);
    const char16_t *lines[] = {u"Second line.", u"Third line.", u"Fourth line."};
    for (const char16_t *line : lines) {
        Frame(false, true);
        EXPECT_EQ(Window().Text(), line);
        Frames(2);
    }
    EXPECT_EQ(talk->LineIndex, 3);
    // The last page confirmed: the camera turns back; the event waits for mode 0.
    Frame(false, true);
    EXPECT_EQ(stage.camera.back(), "mode 8");
    Frames(5);
    EXPECT_EQ(talk->IsOccur, 1);
    EXPECT_TRUE(TakePosted(stage).empty());
    stage.cameraMode = 0;
    Frame();
    EXPECT_EQ(talk->IsOccur, 0);
    EXPECT_EQ(talk->OccurCount, 1);
    EXPECT_EQ(Window().Phase(), kWindowClosed);
    EXPECT_EQ(manager->GetTalkEventId(), 0);
    const std::vector<PostedMessage> released = TakePosted(stage);
    EXPECT_EQ(CountPosts(released, npc, 16384, 0), 1);
    EXPECT_EQ(CountPosts(released, other, 16384, 0), 1);
    EXPECT_EQ(CountPosts(released, &hero, 16384, 0), 1);
    EXPECT_EQ(stage.trace.back(), "79010200 talk ended 1");
}

TEST_F(TalkEventTest, APressDuringTheTypewriterCompletesTheText)
{
    system.language = 0;
    AddNpc(kTalk, kNpcAt);
    Start({TalkEntry(kTalk, kNpcAt, 1020000)});
    Approach();
    UntilPageShown();
    // One character at once, then one every 0.1 s.
    const size_t shown = Window().ShownText().size();
    EXPECT_GE(shown, 1u);
    EXPECT_LT(shown, 4u);
    Frames(12);
    EXPECT_GT(Window().ShownText().size(), shown);
    EXPECT_FALSE(Window().IsFinished());
    Frame(false, true);
    EXPECT_TRUE(Window().IsFinished());
    EXPECT_EQ(Window().ShownText(), u"First line.");
    EXPECT_EQ(Talk()->LineIndex, 0);
    Frame(false, true);
    EXPECT_EQ(Talk()->LineIndex, 1);
    EXPECT_EQ(Window().Text(), u"Second line.");
}

TEST_F(TalkEventTest, ParamZeroOpensLineZeroAndClosesOnTheFirstConfirmedPage)
{
    AddNpc(kTalk, kNpcAt);
    Start({TalkEntry(kTalk, kNpcAt, 0)});
    EXPECT_EQ(Talk()->LineCount, 0);
    Approach();
    EXPECT_EQ(Window().Text(), u"Line zero.");
    UntilPageShown();
    Frame(false, true);
    EXPECT_EQ(stage.camera.back(), "mode 8");
    stage.cameraMode = 0;
    Frame();
    EXPECT_EQ(Talk()->OccurCount, 1);
}

TEST_F(TalkEventTest, OnlySlotZeroInTheAreaFacingTheNpcStartsIt)
{
    AddNpc(kTalk, kNpcAt);
    EventTableEntry entry = TalkEntry(kTalk, kNpcAt, 1000000);
    entry.maxOccur = 1000;
    Start({entry});
    CSTalkEvent *talk = Talk();
    // Facing exactly 45 degrees away still counts; a little more does not.
    const float r = 3.14159265f / 4.0f;
    hero.facing = {std::sin(r), 0.0f, std::cos(r)};
    Frames(2);
    EXPECT_EQ(talk->TextShown, 1);
    const float wider = 46.0f * 3.14159265f / 180.0f;
    hero.facing = {std::sin(wider), 0.0f, std::cos(wider)};
    Frame(true);
    EXPECT_EQ(talk->TextShown, 0);
    EXPECT_EQ(talk->IsOccur, 0);
    // Out of the area.
    hero.facing = {0.0f, 0.0f, 1.0f};
    hero.position = {0.0f, 0.0f, -30.0f};
    Frame(true);
    EXPECT_EQ(talk->IsOccur, 0);
    EXPECT_EQ(Window().Marker().on, 0);
    // The hero of player slot 1 does not start it.
    hero.position = {0.0f, 0.0f, 0.0f};
    hero.player = 1;
    Frame();
    manager->CheckActionTriggers(1);
    EXPECT_EQ(talk->IsOccur, 0);
    hero.player = 0;
    Frame(true);
    EXPECT_EQ(talk->IsOccur, 1);
}

TEST_F(TalkEventTest, AnNpcWaitingForItsLinkAppearsAndGoesBackToItsWayAfterTheClose)
{
    // 79017100 waits for its linked event to end, then makes its NPC appear,
    // and gives it back to its own behaviour once the dialogue closes.
    constexpr int32_t kWaiting = 79017100;
    constexpr int32_t kLinked = 79012400;
    FakeActor *npc = AddNpc(kWaiting, kNpcAt);
    EventTableEntry talk = TalkEntry(kWaiting, kNpcAt, 1000000);
    talk.linkId = kLinked;
    Start({talk, SquareEntry(kLinked, 1.0f)});
    CSTalkEvent *event = Talk(kWaiting);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->WaitMode, kTalkWaitEnded);
    EXPECT_EQ(event->Appeared, 0);
    Frame(true);
    EXPECT_EQ(npc->madeToAppear, 0);
    EXPECT_EQ(event->IsOccur, 0);
    manager->EndEvent(manager->FindEvent(kLinked));
    Frame();
    EXPECT_EQ(npc->madeToAppear, 1);
    EXPECT_EQ(event->Appeared, 1);
    Approach();
    EXPECT_EQ(event->IsOccur, 1);
    UntilPageShown();
    Frame(false, true);
    stage.cameraMode = 0;
    Frame();
    EXPECT_EQ(event->OccurCount, 1);
    EXPECT_EQ(npc->returned, 1);
}

TEST_F(TalkEventTest, AnNpcWithAnAppearingAnimationPlaysItHeld)
{
    constexpr int32_t kWaiting = 79022100;  // waits for its link, then plays animation 2
    FakeActor *npc = AddNpc(kWaiting, kNpcAt);
    EventTableEntry entry = TalkEntry(kWaiting, kNpcAt, 1000000);
    entry.linkId = 79021100;
    Start({entry, SquareEntry(79021100, 1.0f)}, {}, 2020000);
    EXPECT_EQ(Talk(kWaiting)->AppearAnim, 2);
    Frame();
    EXPECT_EQ(npc->heldAnimation, -1);
    EXPECT_EQ(Talk(kWaiting)->Appeared, 0);
    manager->EndEvent(manager->FindEvent(79021100));
    Frame();
    EXPECT_EQ(npc->heldAnimation, 2);
    EXPECT_EQ(npc->madeToAppear, 0);
    EXPECT_EQ(Talk(kWaiting)->Appeared, 1);
}

TEST_F(TalkEventTest, ThePotionDialogueRestoresTheHeroesInItsAreaOncePerOccurrence)
{
    constexpr int32_t kPotion = 79010700;
    AddNpc(kPotion, kNpcAt);
    EventTableEntry entry = TalkEntry(kPotion, kNpcAt, 1000000);
    entry.maxOccur = 1000;
    Start({entry});
    for (int round = 1; round <= 2; ++round) {
        Approach();
        Frames(3);
        EXPECT_EQ(hero.restored, round);
        UntilPageShown();
        Frame(false, true);
        stage.cameraMode = 0;
        Frame();
        EXPECT_EQ(Talk(kPotion)->IsOccur, 0);
    }
}

TEST_F(TalkEventTest, TheGiftDialogueWaitsForItsLinkShowsItsNpcAndGivesItsItemOnce)
{
    constexpr int32_t kGift = 79270300;
    constexpr int32_t kLinked = 79270500;
    // The gift's stage is 27; its NPC and link stand there.
    FakeActor *npc = AddNpc(kGift, kNpcAt);
    EventTableEntry entry = TalkEntry(kGift, kNpcAt, 1000000);
    entry.linkId = kLinked;
    entry.maxOccur = 1000;
    Start({entry, SquareEntry(kLinked, 1.0f)}, {}, 2270000);
    Frame(true);
    EXPECT_EQ(Talk(kGift)->IsOccur, 0);
    EXPECT_FALSE(npc->shown);
    manager->EndEvent(manager->FindEvent(kLinked));
    Approach();
    EXPECT_TRUE(npc->shown);
    EXPECT_EQ(Talk(kGift)->IsOccur, 1);
    for (int i = 0; i < 3; ++i) {
        Frame();
    }
    ASSERT_EQ(stage.itemsAdded.size(), 1u);
    EXPECT_EQ(stage.itemsAdded[0], std::make_pair(0, 5402008));
}

TEST_F(TalkEventTest, WithoutABoundNpcItNeverStarts)
{
    Start({TalkEntry(kTalk, kNpcAt, 1000000)});
    Frame(true);
    Frame(true);
    EXPECT_EQ(Talk()->IsOccur, 0);
    EXPECT_EQ(Window().Marker().on, 0);
}

TEST_F(TalkEventTest, ABusyHeroClosesTheDialogueAtOnce)
{
    AddNpc(kTalk, kNpcAt);
    Start({TalkEntry(kTalk, kNpcAt, 1020000)});
    Approach();
    UntilPageShown();
    hero.busy = true;
    Frame();
    EXPECT_EQ(Talk()->IsOccur, 0);
    EXPECT_EQ(Window().Phase(), kWindowClosed);
    EXPECT_EQ(stage.camera.back(), "mode 0");
    EXPECT_EQ(CountPosts(TakePosted(stage), &hero, 16384, 0), 1);
}

}  // namespace

}  // namespace talk_event_test
