// The test options that reach into the running game: --stage-end TICK and
// --reward TICK:AMOUNT, each repeatable, and what they refuse.
#include <gtest/gtest.h>

#include <string>

#include "app/options.h"

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

}  // namespace
