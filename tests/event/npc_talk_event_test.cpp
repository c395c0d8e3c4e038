// NPC conversations frame by frame under scripted pad states: the menu
// opens on the topics of the event's Param with the NPC's portrait, down
// moves through the topics and wraps past the last, a confirm opens the
// second list where left and right toggle, its first entry shows the
// topic's text until it is confirmed, cross backs out of the second list
// and closes from the topics, and the last topic leaves.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/pad_state.h"
#include "event/ingame_anm_event.h"
#include "event/npc_talk_event.h"
#include "tests/event/talk_test_support.h"

namespace npc_talk_event_test {

namespace {

using namespace event_test;

constexpr int32_t kConversation = 79010300;
constexpr RwV3d kNpcAt = {0.0f, 0.0f, 10.0f};
// Topics 10 .. 13: the heading, the yard, the gate, farewell.
constexpr int32_t kParam = 1004;

class NpcTalkTest : public TalkStageTest {
protected:
    void SetUp() override
    {
        TalkStageTest::SetUp();
        AddNpc(kConversation, kNpcAt, 107);
        EventTableEntry entry = TalkEntry(kConversation, kNpcAt, kParam);
        entry.maxOccur = 1000;
        Start({entry}, {{kConversation, 1, u"Trader"}});
        talk = static_cast<CSNpcTalkEvent *>(manager->FindEvent(kConversation));
        ASSERT_NE(talk, nullptr);
    }
    // The hero in reach, the action command, then the menu's opening.
    void OpenMenu()
    {
        Frame();
        Frame(true);
        ASSERT_EQ(talk->IsOccur, 1);
        for (int i = 0; i < 100 && manager->Window()->Phase() < kWindowSliding; ++i) {
            Frame();
        }
        ASSERT_GE(manager->Window()->Phase(), kWindowSliding);
        stage.uiSounds.clear();
    }
    void Press(PadButton button)
    {
        stage.pads[0][button] = kPadPressedState;
        Frame();
    }
    void Confirm() { Frame(false, true); }

    CSNpcTalkEvent *talk = nullptr;
};

TEST_F(NpcTalkTest, TheMenuOpensOnTheTopicsWithTheNpcsPortrait)
{
    EXPECT_EQ(talk->EventType, 21);
    EXPECT_EQ(talk->Menu.count, 4);
    EXPECT_EQ(std::u16string(talk->Menu.options[0].option), u"What is it?");
    EXPECT_EQ(std::u16string(talk->Menu.options[3].option), u"Farewell");
    EXPECT_EQ(std::u16string(talk->Menu.buttons[0].option), u"Ask");
    EXPECT_EQ(std::u16string(talk->Menu.buttons[1].option), u"Back");
    OpenMenu();
    EXPECT_EQ(manager->Window()->ChoiceMode(), 1);
    EXPECT_EQ(manager->Window()->Choices(), &talk->Menu);
    ASSERT_NE(manager->Window()->Speaker(), nullptr);
    EXPECT_EQ(std::u16string(manager->Window()->Speaker()->name), u"Trader");
    EXPECT_EQ(talk->Current, 1);
    EXPECT_EQ(talk->MenuState, kNpcMenuTopics);
    EXPECT_EQ(stage.camera, (std::vector<std::string>{"save", "turn", "mode 7"}));
    // The chosen entry in the blinking colour, the others in the text colour.
    EXPECT_EQ(talk->Menu.options[1].colour, talk->HighlightColour);
    EXPECT_EQ(talk->Menu.options[2].colour, talk->TextColour);
}

TEST_F(NpcTalkTest, DownMovesThroughTheTopicsAndWrapsToTheFirst)
{
    OpenMenu();
    Press(kPadDown);
    EXPECT_EQ(talk->Current, 2);
    Press(kPadDown);
    EXPECT_EQ(talk->Current, 3);
    Press(kPadDown);
    EXPECT_EQ(talk->Current, 1);
    EXPECT_EQ(stage.uiSounds, (std::vector<int32_t>{6600010, 6600010, 6600010}));
    // The highlight slides to the chosen topic within 0.3 s.
    Frames(20);
    const EventHighlight &first = talk->Menu.highlights[0];
    EXPECT_EQ(first.on, 0);
    EXPECT_FLOAT_EQ(first.sprite.left, talk->Menu.options[1].x - 8.0f);
    EXPECT_FLOAT_EQ(first.sprite.top, talk->Menu.options[1].y - 2.0f);
}

TEST_F(NpcTalkTest, TheSecondListTogglesShowsTheTopicsTextAndComesBack)
{
    OpenMenu();
    Confirm();
    EXPECT_EQ(talk->MenuState, kNpcMenuSecond);
    EXPECT_EQ(talk->SecondCurrent, 0);
    Press(kPadRight);
    EXPECT_EQ(talk->SecondCurrent, 1);
    Press(kPadLeft);
    EXPECT_EQ(talk->SecondCurrent, 0);
    EXPECT_EQ(stage.uiSounds, (std::vector<int32_t>{6600020, 6600010, 6600010}));
    // "Ask": the topic's text (entry 11 + 50) shows in place of the list.
    Confirm();
    EXPECT_EQ(talk->MenuState, kNpcMenuText);
    EXPECT_EQ(manager->Window()->Choices()->textShown, 1);
    EXPECT_EQ(manager->Window()->Text(), u"The yard is wide.");
    Frames(3);
    EXPECT_EQ(talk->MenuState, kNpcMenuText);
    Confirm();
    EXPECT_EQ(talk->MenuState, kNpcMenuTopics);
    EXPECT_EQ(manager->Window()->Choices()->textShown, -1);
    // "Back" returns to the topics without a text.
    Confirm();
    Press(kPadRight);
    Confirm();
    EXPECT_EQ(talk->MenuState, kNpcMenuTopics);
    EXPECT_EQ(talk->Current, 1);
}

TEST_F(NpcTalkTest, CrossBacksOutOfTheSecondListThenCloses)
{
    OpenMenu();
    Confirm();
    Press(kPadCross);
    EXPECT_EQ(talk->MenuState, kNpcMenuTopics);
    EXPECT_EQ(talk->IsOccur, 1);
    Press(kPadCross);
    EXPECT_EQ(talk->MenuState, kNpcMenuClosing);
    Frame();
    EXPECT_EQ(stage.camera.back(), "mode 8");
    Frames(3);
    EXPECT_EQ(talk->IsOccur, 1);
    stage.cameraMode = 0;
    Frame();
    EXPECT_EQ(talk->IsOccur, 0);
    EXPECT_EQ(talk->OccurCount, 1);
    EXPECT_EQ(talk->Open, 0);
    EXPECT_EQ(manager->Window()->Phase(), kWindowClosed);
    int32_t released = 0;
    for (const PostedMessage &m : TakePosted(stage)) {
        released += m.word[1] == 16384 ? 1 : 0;
    }
    EXPECT_EQ(released, 2);  // the NPC and the hero
    EXPECT_EQ(stage.trace.back(), "79010300 npc_talk ended 1");
}

TEST_F(NpcTalkTest, TheLastTopicLeaves)
{
    OpenMenu();
    Press(kPadDown);
    Press(kPadDown);
    Confirm();
    EXPECT_EQ(talk->MenuState, kNpcMenuClosing);
    Frame();
    stage.cameraMode = 0;
    Frame();
    EXPECT_EQ(talk->IsOccur, 0);
    // It can be talked to again.
    OpenMenu();
    EXPECT_EQ(talk->Current, 1);
}

TEST_F(NpcTalkTest, TheHighlightBlinksTowardOrangeEveryHalfSecond)
{
    OpenMenu();
    const uint8_t blink = talk->Blink;
    int frames = 0;
    while (talk->Blink == blink && frames < 40) {
        Frame();
        ++frames;
    }
    ASSERT_NE(talk->Blink, blink);
    // At each turn the colour stands at one end: orange, or the text colour.
    EXPECT_EQ(talk->HighlightColour, talk->Blink != 0 ? 0xFFFF9632u : talk->TextColour);
    Frames(15);  // a quarter of a second: half way to the other end
    EXPECT_NE(talk->HighlightColour, 0xFFFF9632u);
    EXPECT_NE(talk->HighlightColour, talk->TextColour);
    frames = 0;
    while (talk->Blink != blink && frames < 40) {
        Frame();
        ++frames;
    }
    EXPECT_GE(frames, 14);
    EXPECT_LE(frames, 16);
}

// A scene that starts during the conversation stops it: the window closes
// (no stale menu stands where the speech markers draw), and the trader's
// next conversation opens its menu afresh with the camera turn and holds.
TEST_F(TalkStageTest, ASceneStopsTheConversationWhichOpensAfreshLater)
{
    constexpr int32_t kScene = 79017000;
    AddNpc(kConversation, kNpcAt, 107);
    EventTableEntry entry = TalkEntry(kConversation, kNpcAt, kParam);
    entry.maxOccur = 1000;
    // A scene waiting on nothing that ever ends: it runs only when the test
    // says so.
    EventTableEntry scene = CircleEntry(kScene, {500.0f, 0.0f, 500.0f}, 1.0f);
    Start({entry, scene}, {{kConversation, 1, u"Trader"}});
    auto *talk = static_cast<CSNpcTalkEvent *>(manager->FindEvent(kConversation));
    EventRecord *sceneRecord = manager->FindEvent(kScene);
    ASSERT_NE(talk, nullptr);
    ASSERT_NE(sceneRecord, nullptr);
    ASSERT_EQ(sceneRecord->kind, EventKind::kInGameAnm);
    const auto &records = manager->Records();
    const int32_t sceneIndex =
        static_cast<int32_t>(std::find(records.begin(), records.end(), sceneRecord) - records.begin());

    Frame();
    Frame(true);
    ASSERT_EQ(talk->IsOccur, 1);
    Frames(60);
    ASSERT_EQ(talk->Open, 1);
    ASSERT_GE(manager->Window()->Phase(), kWindowSliding);
    ASSERT_EQ(manager->Window()->Choices(), &talk->Menu);

    sceneRecord->IsOccur = 1;
    manager->animEvent = sceneIndex;
    Frame();
    EXPECT_EQ(talk->IsOccur, 0);
    EXPECT_EQ(talk->OccurCount, 0) << "stopped, not ended";
    EXPECT_EQ(manager->Window()->Phase(), kWindowClosed) << "no stale menu";
    EXPECT_EQ(manager->Window()->Choices(), nullptr);
    EXPECT_EQ(talk->Open, 0);

    // The scene ends; the hero talks to the trader again.
    sceneRecord->IsOccur = 0;
    Frame();
    stage.camera.clear();
    Frame(true);
    ASSERT_EQ(talk->IsOccur, 1);
    Frames(60);
    EXPECT_EQ(talk->Open, 1);
    EXPECT_EQ(manager->Window()->Choices(), &talk->Menu);
    EXPECT_GE(manager->Window()->Phase(), kWindowSliding);
    EXPECT_EQ(stage.camera, (std::vector<std::string>{"save", "turn", "mode 7"}));
}

}  // namespace

}  // namespace npc_talk_event_test
