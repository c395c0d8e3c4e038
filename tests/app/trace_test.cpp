// The trace file: tick first, single spaces, two decimals, words kept whole,
// nothing written while it is closed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/trace.h"
#include "support/engine/scratch_path.h"

namespace trace_test {

namespace {

std::string ReadAll(const std::string &path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Trace, LinesCarryTheTickAndFormattedFields)
{
    const std::string path = rwtest::ScratchPath("trace_lines.txt");
    game::TraceLine("lost").Int(1);  // nothing open: nothing written, no harm
    EXPECT_FALSE(game::TraceOn());
    ASSERT_TRUE(game::TraceOpen(path, nullptr));
    EXPECT_TRUE(game::TraceOn());
    game::TraceSetTick(7);
    game::TraceLine("actor").Int(3).Int(-1).Real(1.234).Real(-0.001).Real(-2.5).Real(100.0);
    game::TraceSetTick(8);
    game::TraceLine("stage").Word("taken").Word("two words");
    game::TraceClose();
    EXPECT_FALSE(game::TraceOn());
    game::TraceLine("after").Int(1);
    EXPECT_EQ(ReadAll(path), "7 actor 3 -1 1.23 0.00 -2.50 100.00\n8 stage taken two_words\n");
    std::remove(path.c_str());
}

// Half a hundredth is the least that is written as not zero; a word keeps
// one field however it is spaced, and at most 95 characters of it.
TEST(Trace, FieldsAtTheirEdges)
{
    const std::string path = rwtest::ScratchPath("trace_edges.txt");
    ASSERT_TRUE(game::TraceOpen(path, nullptr));
    game::TraceSetTick(3);
    game::TraceLine("real").Real(0.005).Real(-0.005).Real(0.0049).Real(std::nan(""));
    game::TraceLine("word").Word("a\tb\nc d").Word(std::string(120, 'w').c_str());
    game::TraceClose();
    EXPECT_EQ(ReadAll(path), "3 real 0.01 -0.01 0.00 nan\n3 word a_b_c_d " + std::string(95, 'w') + "\n");
    std::remove(path.c_str());
}

TEST(Trace, PosesAreTracedOnlyWhenAskedAndOpen)
{
    const std::string path = rwtest::ScratchPath("trace_poses.txt");
    game::TraceAskPoses(true);
    EXPECT_FALSE(game::TracePosesOn());  // no file
    ASSERT_TRUE(game::TraceOpen(path, nullptr));
    EXPECT_TRUE(game::TracePosesOn());
    game::TraceAskPoses(false);
    EXPECT_FALSE(game::TracePosesOn());
    game::TraceClose();
    std::remove(path.c_str());
}

TEST(Trace, OverlongRecordsAreCutNotOverrun)
{
    const std::string path = rwtest::ScratchPath("trace_long.txt");
    ASSERT_TRUE(game::TraceOpen(path, nullptr));
    game::TraceSetTick(0);
    {
        game::TraceLine line("long");
        for (int i = 0; i < 200; ++i) {
            line.Real(123456.789);
        }
    }
    game::TraceLine("next").Int(1);
    game::TraceClose();
    const std::string text = ReadAll(path);
    const size_t end = text.find('\n');
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(end, 479u);  // the record fills its line up to the line feed
    EXPECT_EQ(text.substr(end + 1), "0 next 1\n");
    std::remove(path.c_str());
}

TEST(Trace, UnwritablePathIsReported)
{
    std::string error;
    EXPECT_FALSE(game::TraceOpen("/nonexistent-folder/x/trace.txt", &error));
    EXPECT_NE(error.find("/nonexistent-folder/x/trace.txt"), std::string::npos);
    EXPECT_FALSE(game::TraceOn());
}

}  // namespace

}  // namespace trace_test

#include "app/options.h"

namespace trace_test {

namespace {

TEST(TraceOption, ParsedFromTheCommandLine)
{
    const char *argv[] = {"game", "--headless", "--trace", "out/t.txt", "--frames", "3"};
    game::Options options;
    std::string error;
    ASSERT_TRUE(game::ParseOptions(6, argv, &options, &error)) << error;
    EXPECT_EQ(options.tracePath, "out/t.txt");
    const char *missing[] = {"game", "--trace"};
    EXPECT_FALSE(game::ParseOptions(2, missing, &options, &error));
}

}  // namespace

}  // namespace trace_test
