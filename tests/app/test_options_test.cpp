// The test options that reach into the running game: --stage-end TICK and
// --reward TICK:AMOUNT, each repeatable, and what they refuse; every
// option's range; the video modes --mode and the Game Mode box choose.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "app/mode_dialog.h"
#include "app/options.h"

namespace test_options_test {

namespace {

bool Parse(std::initializer_list<const char *> args, game::Options *options, std::string *error)
{
    std::vector<const char *> argv = {"game"};
    argv.insert(argv.end(), args.begin(), args.end());
    return game::ParseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(TestOptions, StageEndsAndRewardsAreTakenInOrder)
{
    game::Options options;
    std::string error;
    ASSERT_TRUE(Parse({"--stage-end", "30", "--reward", "20:100", "--stage-end", "90", "--reward", "5:1"}, &options,
                      &error))
        << error;
    EXPECT_EQ(options.stageEnds, (std::vector<uint32_t>{30, 90}));
    ASSERT_EQ(options.rewards.size(), 2u);
    EXPECT_EQ(options.rewards[0].tick, 20u);
    EXPECT_EQ(options.rewards[0].amount, 100);
    EXPECT_EQ(options.rewards[1].tick, 5u);
    EXPECT_EQ(options.rewards[1].amount, 1);
    // The largest amount a value holds is taken, and the largest count.
    ASSERT_TRUE(Parse({"--reward", "1:2147483647", "--frames", "4294967295"}, &options, &error)) << error;
    ASSERT_EQ(options.rewards.size(), 1u);
    EXPECT_EQ(options.rewards[0].amount, 2147483647);
    EXPECT_EQ(options.frames, 4294967295u);
    EXPECT_NE(game::OptionsHelp().find("--stage-end"), std::string::npos);
    EXPECT_NE(game::OptionsHelp().find("--reward"), std::string::npos);
}

TEST(TestOptions, WrongValuesAreRefused)
{
    for (const char *value : {"0", "-3", "x", ""}) {
        game::Options options;
        std::string error;
        EXPECT_FALSE(Parse({"--stage-end", value}, &options, &error)) << value;
    }
    for (const char *value : {"20", "0:100", "20:0", "20:-5", "20:x", ":100", "20:2147483648"}) {
        game::Options options;
        std::string error;
        EXPECT_FALSE(Parse({"--reward", value}, &options, &error)) << value;
    }
}

// Each numbered option takes the ends of its range and refuses one beyond
// either, with the message naming what it takes; the switches and file
// options set what they say.
TEST(TestOptions, EveryRangeIsTakenToItsEndsAndNoFurther)
{
    struct Range {
        const char *name;
        const char *lowest;
        const char *highest;
        const char *below;  // null: nothing below the lowest to refuse
        const char *above;
        int game::Options::*field;
    };
    const Range ranges[] = {
        {"--mode", "1", "4", "0", "5", &game::Options::mode},
        {"--language", "0", "14", nullptr, "15", &game::Options::language},
        {"--stage", "1", "42", "0", "43", &game::Options::stage},
        {"--slot", "1", "20", "0", "21", &game::Options::slot},
        {"--players", "1", "2", "0", "3", &game::Options::players},
        {"--screen", "7", "10", "6", "11", &game::Options::screen},
    };
    for (const Range &range : ranges) {
        for (const char *value : {range.lowest, range.highest}) {
            game::Options options;
            std::string error;
            ASSERT_TRUE(Parse({range.name, value}, &options, &error)) << range.name << " " << value << ": " << error;
            EXPECT_EQ(options.*range.field, std::atoi(value)) << range.name;
        }
        for (const char *value : {range.below, range.above, "-1", "x", "2x"}) {
            if (value == nullptr) {
                continue;
            }
            game::Options options;
            std::string error;
            EXPECT_FALSE(Parse({range.name, value}, &options, &error)) << range.name << " " << value;
            EXPECT_EQ(error.rfind(std::string(range.name) + " takes ", 0), 0u) << error;
        }
    }
    game::Options options;
    std::string error;
    ASSERT_TRUE(Parse({"--display-info", "3", "--fixed-step", "1", "--frames", "0", "--boss-gauge", "7",
                       "--loading-shot", "4:load.bmp", "--screenshot", "1:a.bmp", "--input", "in.txt",
                       "--input-log", "log.txt", "--movie", "M.BIK", "--trace", "t.txt", "--trace-poses",
                       "--trace-frames", "4", "--draw-hidden", "--help"},
                      &options, &error))
        << error;
    EXPECT_EQ(options.displayInfo, 3u);
    EXPECT_EQ(options.fixedStepMs, 1u);
    EXPECT_EQ(options.frames, 0u);
    EXPECT_EQ(options.bossGaugeTicks, (std::vector<uint32_t>{7}));
    ASSERT_EQ(options.loadingShots.size(), 1u);
    EXPECT_EQ(options.loadingShots[0].tick, 4u);
    EXPECT_EQ(options.loadingShots[0].path, "load.bmp");
    ASSERT_EQ(options.screenshots.size(), 1u);
    EXPECT_EQ(options.screenshots[0].tick, 1u);
    EXPECT_EQ(options.inputScript, "in.txt");
    EXPECT_EQ(options.inputLog, "log.txt");
    EXPECT_EQ(options.movie, "M.BIK");
    EXPECT_EQ(options.tracePath, "t.txt");
    EXPECT_TRUE(options.tracePoses);
    EXPECT_EQ(options.traceFrames, 4u);
    EXPECT_TRUE(options.drawHidden);
    EXPECT_TRUE(options.help);
    for (const auto &[name, value] : std::initializer_list<std::pair<const char *, const char *>>{
             {"--display-info", "4"}, {"--fixed-step", "0"}, {"--frames", "4294967296"}, {"--boss-gauge", "0"},
             {"--loading-shot", "0:a.bmp"}, {"--loading-shot", "4:"}, {"--loading-shot", "4"},
             {"--screenshot", "x:a.bmp"}, {"--input", ""}, {"--input-log", ""}, {"--movie", ""}, {"--trace", ""},
             {"--trace-frames", "0"}, {"--trace-frames", "x"}}) {
        EXPECT_FALSE(Parse({name, value}, &options, &error)) << name << " " << value;
    }
    // Every option is listed by --help with what its value is.
    const std::string help = game::OptionsHelp();
    for (const char *listed : {"--mode <1 to 4>", "--screen <7 to 10>", "--trace-poses ", "--trace-frames <EVERY above 0>",
                               "--draw-hidden ", "--help "}) {
        EXPECT_NE(help.find(listed), std::string::npos) << listed;
    }
    // One line an option, what it does in a column of its own from the 41st
    // character on.
    EXPECT_EQ(help.rfind("usage: game [options]\n", 0), 0u);
    size_t listedLines = 0;
    for (size_t at = help.find('\n') + 1; at < help.size(); at = help.find('\n', at) + 1) {
        const std::string line = help.substr(at, help.find('\n', at) - at);
        ASSERT_EQ(line.rfind("  --", 0), 0u) << line;
        ASSERT_GT(line.size(), 41u) << line;
        EXPECT_EQ(line[39], ' ') << line;
        EXPECT_NE(line[40], ' ') << line;
        ++listedLines;
    }
    EXPECT_EQ(listedLines, 25u);
}

// The modes are the Game Mode box's buttons: a 640 x 480 and an 800 x 600
// window, then the same two in full screen; no other.
TEST(TestOptions, EachModeIsItsSizeInAWindowOrFullScreen)
{
    const struct {
        int mode;
        uint32_t width;
        uint32_t height;
        bool fullScreen;
    } modes[] = {{1, 640, 480, false}, {2, 800, 600, false}, {3, 640, 480, true}, {4, 800, 600, true}};
    for (const auto &m : modes) {
        game::ModeChoice choice{};
        ASSERT_TRUE(game::ModeChoiceOf(m.mode, &choice)) << m.mode;
        EXPECT_EQ(choice.width, m.width) << m.mode;
        EXPECT_EQ(choice.height, m.height) << m.mode;
        EXPECT_EQ(choice.fullScreen, m.fullScreen) << m.mode;
    }
    game::ModeChoice choice{};
    EXPECT_FALSE(game::ModeChoiceOf(0, &choice));
    EXPECT_FALSE(game::ModeChoiceOf(5, &choice));
}

// The Game Mode box's buttons, left to right in the modes' order, choose the
// mode each one's label names; Return takes the first.
TEST(TestOptions, EachGameModeButtonChoosesTheModeItsLabelNames)
{
    int count = 0;
    const SDL_MessageBoxButtonData *buttons = GameModeButtons(&count);
    ASSERT_EQ(count, 4);
    for (int i = 0; i < count; ++i) {
        const std::string label = buttons[i].text;
        EXPECT_EQ(buttons[i].buttonid, i + 1) << label;
        game::ModeChoice choice{};
        ASSERT_TRUE(game::ModeChoiceOf(buttons[i].buttonid, &choice)) << label;
        EXPECT_EQ(label, std::string(choice.fullScreen ? "Full screen " : "Window ") + std::to_string(choice.width) +
                             "x" + std::to_string(choice.height));
        EXPECT_EQ((buttons[i].flags & SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT) != 0, i == 0) << label;
    }
}

}  // namespace

}  // namespace test_options_test
