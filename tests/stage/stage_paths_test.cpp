// The stage file-name rule against the stage ids the game uses.
#include <gtest/gtest.h>

#include "stage/stage_paths.h"

namespace stage_paths_test {

namespace {

struct PathCase {
    int32_t id;
    int32_t number;
    const char *info;
    const char *placement;
    const char *territories;
    const char *world;
    const char *particles;
    const char *pack;
};

TEST(StagePaths, FollowTheOneRule)
{
    const PathCase cases[] = {
        {2010000, 1, "\\RESOURCE\\STAGEINF\\STAGE00.BSF", "\\RESOURCE\\AI\\STAGE00.IAF", "\\RESOURCE\\AI\\STAGE00.ATF",
         "\\RESOURCE\\STAGE\\1\\", "\\RESOURCE\\PARTICLE\\2010000.PSS", "\\PACK\\STAGE1\\2010000"},
        {2090000, 9, "\\RESOURCE\\STAGEINF\\STAGE08.BSF", "\\RESOURCE\\AI\\STAGE08.IAF", "\\RESOURCE\\AI\\STAGE08.ATF",
         "\\RESOURCE\\STAGE\\9\\", "\\RESOURCE\\PARTICLE\\2090000.PSS", "\\PACK\\STAGE1\\2090000"},
        {2110000, 11, "\\RESOURCE\\STAGEINF\\STAGE10.BSF", "\\RESOURCE\\AI\\STAGE10.IAF", "\\RESOURCE\\AI\\STAGE10.ATF",
         "\\RESOURCE\\STAGE\\11\\", "\\RESOURCE\\PARTICLE\\2110000.PSS", "\\PACK\\STAGE2\\2110000"},
        {2420000, 42, "\\RESOURCE\\STAGEINF\\STAGE41.BSF", "\\RESOURCE\\AI\\STAGE41.IAF", "\\RESOURCE\\AI\\STAGE41.ATF",
         "\\RESOURCE\\STAGE\\42\\", "\\RESOURCE\\PARTICLE\\2420000.PSS", "\\PACK\\STAGE5\\2420000"},
    };
    for (const PathCase &c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(StageNumberOf(c.id), c.number);
        EXPECT_EQ(StageFileNumberOf(c.id), c.number - 1);
        EXPECT_EQ(StageInfoPath(c.id), c.info);
        EXPECT_EQ(StagePlacementPath(c.id), c.placement);
        EXPECT_EQ(StageTerritoryPath(c.id), c.territories);
        EXPECT_EQ(StageWorldFolder(c.id), c.world);
        EXPECT_EQ(StageParticleSetPath(c.id), c.particles);
        EXPECT_EQ(StagePackPath(c.id), c.pack);
    }
    // Id 0 (no stage) names the first file, as the tuning menu always did.
    EXPECT_EQ(StageFileBaseName(0), "STAGE00");
    EXPECT_EQ(StageNumberOf(0), 0);
}

}  // namespace

}  // namespace stage_paths_test
