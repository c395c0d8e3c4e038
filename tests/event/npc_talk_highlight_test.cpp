// The colour the player sees on an NPC conversation's sliding highlight:
// every quad of the highlight wears the blinking colour of the chosen topic
// (red, green and blue in their places) at alpha 160 once it has arrived,
// orange (255, 150, 50) at the turn of the blink.
#include <gtest/gtest.h>

#include "event/npc_talk_event.h"
#include "tests/event/talk_test_support.h"

namespace npc_talk_highlight_test {

namespace {

using namespace event_test;

constexpr int32_t kConversation = 79010300;
constexpr RwV3d kNpcAt = {0.0f, 0.0f, 10.0f};
constexpr int32_t kParam = 1004;

class NpcHighlight : public TalkStageTest {
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
    void OpenMenu()
    {
        Frame();
        Frame(true);
        ASSERT_EQ(talk->IsOccur, 1);
        for (int i = 0; i < 100 && manager->Window()->Phase() < kWindowSliding; ++i) {
            Frame();
        }
        ASSERT_GE(manager->Window()->Phase(), kWindowSliding);
    }
    // Every highlight quad's four corners in `argb`.
    void ExpectHighlightIn(uint32_t argb)
    {
        for (int i = 0; i < kEventHighlights; ++i) {
            for (const RwIm2DVertex &v : talk->Menu.highlights[i].sprite.quad.v) {
                EXPECT_EQ(v.emissiveColor, argb) << "quad " << i;
            }
        }
    }

    CSNpcTalkEvent *talk = nullptr;
};

TEST_F(NpcHighlight, TheHighlightWearsTheBlinkingColourAtAlpha160)
{
    OpenMenu();
    Frames(20);  // the slide is over
    ASSERT_EQ(talk->Menu.highlights[0].on, 0);
    const uint8_t blink = talk->Blink;
    for (int i = 0; i < 40 && talk->Blink == blink; ++i) {
        Frame();
        ExpectHighlightIn(0xA0000000u | (talk->HighlightColour & 0x00FFFFFFu));
    }
    ASSERT_NE(talk->Blink, blink);
    const uint32_t end = talk->Blink != 0 ? 0xFFFF9632u : talk->TextColour;
    EXPECT_EQ(talk->HighlightColour, end);
    ExpectHighlightIn(0xA0000000u | (end & 0x00FFFFFFu));
    // Half way back the three channels are apart (orange's are 255, 150, 50).
    Frames(15);
    const uint32_t half = talk->HighlightColour;
    ExpectHighlightIn(0xA0000000u | (half & 0x00FFFFFFu));
    EXPECT_GT(half >> 16 & 0xFFu, half >> 8 & 0xFFu);
    EXPECT_GT(half >> 8 & 0xFFu, half & 0xFFu);
}

}  // namespace

}  // namespace npc_talk_highlight_test
