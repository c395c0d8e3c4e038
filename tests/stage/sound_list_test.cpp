// Sound lists (.SFL): the written text read back, counts that disagree with
// the lines, and hostile lists (bad numbers, ids that are no sound ids,
// floods of lines, binary junk) read without harm.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/keyword.h"
#include "stage/sound_list.h"
#include "support/game/diagnostics_capture.h"

namespace sound_list_test {

namespace {

std::vector<int32_t> ReadText(const std::string &text, std::string *diagnostics = nullptr, int *problems = nullptr)
{
    CSKeywordFile file;
    EXPECT_TRUE(file.OpenMemory("2010000.SFL", text.data(), text.size()));
    std::vector<int32_t> ids = {42};  // cleared by the read
    gametest::CaptureDiagnostics();
    EXPECT_TRUE(ReadSoundList(&file, &ids));
    const std::string printed = gametest::TakeDiagnostics();
    if (diagnostics != nullptr) {
        *diagnostics = printed;
    }
    if (problems != nullptr) {
        *problems = file.ProblemCount();
    }
    return ids;
}

TEST(SoundList, Paths)
{
    EXPECT_EQ(SoundEffectPath(3100010), "\\RESOURCE\\MEDIA\\SFX\\3100010.WAV");
    EXPECT_EQ(StageSoundListPath(2010000), "\\RESOURCE\\MEDIA\\SFX\\2010000.SFL");
    EXPECT_EQ(HeroSoundListPath(0), "\\RESOURCE\\MEDIA\\SFX\\HERO01.SFL");
    EXPECT_EQ(HeroSoundListPath(1), "\\RESOURCE\\MEDIA\\SFX\\HERO02.SFL");
}

TEST(SoundList, RoundTrip)
{
    for (const std::vector<int32_t> &ids :
         {std::vector<int32_t>{}, std::vector<int32_t>{3100010}, std::vector<int32_t>{1000000, 9999999, 3100010, 3100010}}) {
        const std::string text = FormatSoundList(ids);
        std::string printed;
        int problems = -1;
        EXPECT_EQ(ReadText(text, &printed, &problems), ids);
        EXPECT_EQ(problems, 0);
        EXPECT_EQ(printed, "");
    }
    EXPECT_EQ(FormatSoundList({3100010, 3100020}), "SoundNum: 2\nSound: 3100010\nSound: 3100020\n");
}

TEST(SoundList, CountThatDisagreesIsReportedAndTheLinesRead)
{
    std::string printed;
    EXPECT_EQ(ReadText("SoundNum: 5\nSound: 3100010\nSound: 3100020\n", &printed),
              (std::vector<int32_t>{3100010, 3100020}));
    EXPECT_NE(printed.find("2010000.SFL:1: SoundNum: 5, but 2 sounds"), std::string::npos) << printed;
    EXPECT_EQ(ReadText("Sound: 3100010\nSound: 3100020\nSound: 3100030\nSoundNum: 1\n", &printed).size(), 3u);
    EXPECT_NE(printed.find("SoundNum: 1, but 3"), std::string::npos) << printed;
    EXPECT_EQ(ReadText("Sound: 3100010\n", &printed).size(), 1u);
    EXPECT_NE(printed.find("SoundNum: missing"), std::string::npos) << printed;
    int problems = 0;
    EXPECT_EQ(ReadText("SoundNum: 1\nSoundNum: 3\nSound: 3100010\n", &printed, &problems).size(), 1u);
    EXPECT_EQ(problems, 1);
    EXPECT_NE(printed.find("a second count; the first (1) stands"), std::string::npos) << printed;
}

TEST(SoundList, HostileListsAreReadWithoutHarm)
{
    std::string printed;
    int problems = 0;
    // Bad values, out-of-range ids, junk after a value, unknown keys and a
    // negative count: each reported, the good lines kept (the count after
    // the refused one stands).
    const std::string text =
        "SoundNum: -3\n"
        "SoundNum: 2\n"
        "Sound: 12\n"
        "Sound: 99999999\n"
        "Sound: abc\n"
        "Sound:\n"
        "Sound: 3100010 3100020\n"
        "Sound: 3100030\n"
        "Noise: 3100040\n"
        "Sound: -3100050\n"
        "Sound: 2147483648\n"
        "Sound: 3100060\r\n";
    EXPECT_EQ(ReadText(text, &printed, &problems), (std::vector<int32_t>{3100030, 3100060}));
    EXPECT_EQ(problems, 9) << printed;
    // A flood of lines stops at the limit, reported once.
    std::string flood = "SoundNum: 2000000000\n";
    for (size_t i = 0; i < kMaxSoundListIds + 50; ++i) {
        flood += "Sound: " + std::to_string(3000000 + i) + "\n";
    }
    EXPECT_EQ(ReadText(flood, &printed, &problems).size(), kMaxSoundListIds);
    EXPECT_EQ(problems, 1);
    // Binary junk, a line far past the line limit and no line end at all.
    std::string junk(3000, '\0');
    for (size_t i = 0; i < junk.size(); ++i) {
        junk[i] = static_cast<char>((i * 131) & 0xFF);
    }
    junk += "\nSound: " + std::string(9000, '7') + "\nSound: 3100070";
    const std::vector<int32_t> ids = ReadText(junk, &printed, &problems);
    EXPECT_EQ(ids, (std::vector<int32_t>{3100070}));
    EXPECT_GT(problems, 0);
    EXPECT_TRUE(ReadText("").empty());
}

TEST(SoundList, UnopenedFileGivesFalse)
{
    CSKeywordFile file;
    std::vector<int32_t> ids = {1};
    EXPECT_FALSE(ReadSoundList(&file, &ids));
    EXPECT_TRUE(ids.empty());
    EXPECT_FALSE(ReadSoundList(nullptr, &ids));
}

}  // namespace

}  // namespace sound_list_test
