// The statistics overlay's lines by mode.
#include <gtest/gtest.h>

#include "app/statistics.h"

namespace statistics_test {

namespace {

using Lines = std::vector<std::string>;

TEST(Statistics, LinesGrowWithTheMode)
{
    StatisticsFigures f;
    f.fps = 59.6f;
    f.memoryBytes = 5 * 1024 * 1024 + 1023;
    f.textureBytes = 2047;
    f.soundBytes = 0;
    f.stageId = 2010000;
    f.actorCount = 12;
    EXPECT_EQ(StatisticsLines(0, f), Lines{});
    EXPECT_EQ(StatisticsLines(1, f), Lines{"FPS 60"});
    EXPECT_EQ(StatisticsLines(2, f), (Lines{"FPS 60", "MEM 5120 KB", "TEX 1 KB", "SND 0 KB"}));
    EXPECT_EQ(StatisticsLines(3, f),
              (Lines{"FPS 60", "MEM 5120 KB", "TEX 1 KB", "SND 0 KB", "STAGE 2010000", "ACTORS 12"}));
    EXPECT_EQ(StatisticsLines(7, f).size(), 6u);
}

}  // namespace

}  // namespace statistics_test
