// The scenes' subtitle files: the layout written by the maker's writer and
// read back, the reveal and end times, a digit line shorter than its text
// (the rest appear at once, nothing read past the line), and hostile files
// refused whole: counts out of bounds, missing lines, values that are no
// numbers, texts longer than a line may be.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/file.h"
#include "event/scene_subtitles.h"
#include "tests/event/event_test_support.h"
#include "tools/mkdata/sample_scene_data.h"

namespace scene_subtitles_test {

namespace {

bool Parse(const std::u16string &text, std::vector<SceneSubtitleEntry> *out)
{
    const std::string bytes = event_test::WideBytes(text);
    zuFile *file = zufopenMemory(bytes.data(), bytes.size(), "rb");
    const bool parsed = ParseSceneSubtitles(file, out);
    zufclose(file);
    return parsed;
}

TEST(SceneSubtitles, TheSampleFileReadsBackAsWritten)
{
    const std::vector<SceneSubtitleEntry> written = mkdata::SampleSceneSubtitles();
    std::vector<SceneSubtitleEntry> read;
    ASSERT_TRUE(Parse(FormatSceneSubtitles(written), &read));
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].startFrame, written[i].startFrame);
        EXPECT_EQ(read[i].text, written[i].text);
        EXPECT_EQ(read[i].digits, written[i].digits);
        EXPECT_EQ(read[i].endDelay, written[i].endDelay);
    }
    // And the empty file of a scene without subtitles.
    ASSERT_TRUE(Parse(FormatSceneSubtitles({}), &read));
    EXPECT_TRUE(read.empty());
}

// A file laid out by hand, free labels before each colon: every field, and
// every character before a line's break revealed (the last one too: the
// digits line times each of them).
TEST(SceneSubtitles, AHandWrittenFileReadsFieldByField)
{
    std::vector<SceneSubtitleEntry> read;
    ASSERT_TRUE(Parse(u"SubNum:2\r\n"
                      u"#Sub1\r\n"
                      u"StartFrame:90\r\n"
                      u"Who goes there?\r\n"
                      u"11111111111112\r\n"
                      u"EndTime:15\r\n"
                      u"#End\r\n"
                      u"#Sub2\r\n"
                      u"Frame :300\r\n"
                      u"Run.\n"
                      u"2000\n"
                      u"Wait: 3\n"
                      u"#End\n",
                      &read));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].startFrame, 90);
    EXPECT_EQ(read[0].text, u"Who goes there?");
    EXPECT_EQ(read[0].digits, "11111111111112");
    EXPECT_EQ(read[0].endDelay, 15);
    EXPECT_EQ(read[1].startFrame, 300);
    EXPECT_EQ(read[1].text, u"Run.");
    EXPECT_EQ(read[1].digits, "2000");
    EXPECT_EQ(read[1].endDelay, 3);
    SceneSubtitle *s = MakeSceneSubtitles(read);
    ASSERT_NE(s, nullptr);
    EXPECT_NEAR(s[0].StartTime, 1.5f, 1e-5f);
    ASSERT_EQ(s[0].RevealCount, 15);
    EXPECT_NEAR(s[0].CharTimes[0], 1.6f, 1e-5f);
    EXPECT_NEAR(s[0].CharTimes[12], 2.8f, 1e-4f);
    EXPECT_NEAR(s[0].CharTimes[13], 3.0f, 1e-4f);
    EXPECT_NEAR(s[0].CharTimes[14], 3.0f, 1e-4f) << "the '?' has no digit of its own: it comes with the one before";
    EXPECT_NEAR(s[0].EndTime, 4.5f, 1e-4f);
    EXPECT_EQ(VisibleSubtitleText(s[0], 2.95f), u"Who goes ther");
    EXPECT_EQ(VisibleSubtitleText(s[0], 3.01f), u"Who goes there?");
    ASSERT_EQ(s[1].RevealCount, 4);
    EXPECT_NEAR(s[1].StartTime, 5.0f, 1e-4f);
    EXPECT_NEAR(s[1].CharTimes[3], 5.2f, 1e-4f);
    EXPECT_EQ(VisibleSubtitleText(s[1], 5.21f), u"Run.");
    EXPECT_NEAR(s[1].EndTime, 5.5f, 1e-4f);
    FreeSceneSubtitles(s, 2);
}

TEST(SceneSubtitles, RevealAndEndTimes)
{
    SceneSubtitleEntry entry;
    entry.startFrame = 30;  // 0.5 s
    entry.text = u"Go on";
    entry.digits = "13x";   // "x" counts 0; "o" and "n" have no digit: 0
    entry.endDelay = 7;
    SceneSubtitle *s = MakeSceneSubtitles({entry});
    ASSERT_NE(s, nullptr);
    EXPECT_NEAR(s->StartTime, 0.5f, 1e-5f);
    ASSERT_EQ(s->RevealCount, 5);
    const float expected[] = {0.6f, 0.9f, 0.9f, 0.9f, 0.9f};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(s->CharTimes[i], expected[i], 1e-5f) << i;
    }
    EXPECT_NEAR(s->EndTime, 1.6f, 1e-5f);
    EXPECT_EQ(VisibleSubtitleText(*s, 0.55f), u"");
    EXPECT_EQ(VisibleSubtitleText(*s, 0.6f), u"G");
    EXPECT_EQ(VisibleSubtitleText(*s, 0.95f), u"Go on");
    EXPECT_FALSE(SubtitleFinished(*s, 1.5f));
    EXPECT_TRUE(SubtitleFinished(*s, 1.6f));
    FreeSceneSubtitles(s, 1);
    EXPECT_EQ(MakeSceneSubtitles({}), nullptr);
}

TEST(SceneSubtitles, AShortDigitLineIsReadWithoutGoingPastIt)
{
    std::vector<SceneSubtitleEntry> read;
    ASSERT_TRUE(Parse(u"Count: 1\r\nS\r\nStart: 0\r\nA long line of text\r\n9\r\nEnd: 0\r\nE\r\n", &read));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].digits, "9");
    SceneSubtitle *s = MakeSceneSubtitles(read);
    for (int32_t i = 0; i < s->RevealCount; ++i) {
        EXPECT_NEAR(s->CharTimes[i], 0.9f, 1e-5f);
    }
    FreeSceneSubtitles(s, 1);
    // An empty digit line: every character at the start.
    ASSERT_TRUE(Parse(u"Count: 1\r\nS\r\nStart: 60\r\nAb\r\n\r\nEnd: 1\r\nE\r\n", &read));
    s = MakeSceneSubtitles(read);
    EXPECT_NEAR(s->CharTimes[1], 1.0f, 1e-5f);
    EXPECT_NEAR(s->EndTime, 1.1f, 1e-5f);
    FreeSceneSubtitles(s, 1);
}

TEST(SceneSubtitles, HostileFilesAreRefusedWhole)
{
    const std::u16string good = u"Count: 1\r\nS\r\nStart: 5\r\nText\r\n1111\r\nEnd: 2\r\nE\r\n";
    std::vector<SceneSubtitleEntry> read;
    ASSERT_TRUE(Parse(good, &read));
    const std::vector<std::u16string> hostile = {
        u"",
        u"Count: -1\r\n",
        u"Count: 257\r\n",
        u"Count: 99999999999\r\n",
        u"No count here\r\n",
        u"Count: 2\r\nS\r\nStart: 5\r\nText\r\n1111\r\nEnd: 2\r\nE\r\n",  // the second is missing
        u"Count: 1\r\nS\r\nStart: x\r\nText\r\n1111\r\nEnd: 2\r\nE\r\n",
        u"Count: 1\r\nS\r\nStart: -5\r\nText\r\n1111\r\nEnd: 2\r\nE\r\n",
        u"Count: 1\r\nS\r\nStart: 36001\r\nText\r\n1111\r\nEnd: 2\r\nE\r\n",
        u"Count: 1\r\nS\r\nStart: 5\r\nText\r\n1111\r\nEnd: 601\r\nE\r\n",
        u"Count: 1\r\nS\r\nStart: 5\r\nText\r\n1111\r\nEnd 2\r\nE\r\n",
        u"Count: 1\r\nS\r\nStart: 5\r\nText\r\n1111\r\nEnd: 2\r\n",  // the closing line is missing
        u"Count: 1\r\nS\r\nStart: 5\r\n",
    };
    for (const std::u16string &text : hostile) {
        read = {SceneSubtitleEntry{}};
        EXPECT_FALSE(Parse(text, &read)) << std::string(text.begin(), text.end());
        EXPECT_EQ(read.size(), 1u);  // left as it was
    }
    // A text longer than a line may be is cut to 1024 characters.
    const std::u16string longText(5000, u'a');
    ASSERT_TRUE(Parse(u"Count: 1\r\nS\r\nStart: 0\r\n" + longText + u"\r\n" + std::u16string(3000, u'1') +
                          u"\r\nEnd: 1\r\nE\r\n",
                      &read));
    EXPECT_EQ(read[0].text.size(), 1024u);
    EXPECT_EQ(read[0].digits.size(), 1024u);
    SceneSubtitle *s = MakeSceneSubtitles(read);
    EXPECT_EQ(s->RevealCount, 1024);
    EXPECT_NEAR(s->CharTimes[1023], 102.4f, 1e-3f);
    FreeSceneSubtitles(s, 1);
    // Lines that hold nothing but their end, and characters beyond the basic plane.
    ASSERT_TRUE(Parse(u"Count: 1\r\nS\r\nStart: 0\r\n\xD83D\xDE00\r\n\x0661\r\nEnd: 0\r\nE", &read));
    EXPECT_EQ(read[0].digits, "0");
}

}  // namespace

}  // namespace scene_subtitles_test
