// Territories on the ground plane and the AI-type table's model columns.
#include <gtest/gtest.h>

#include <cstring>

#include "actor/ai_type_table.h"
#include "stage/ai_placement.h"

namespace ai_placement_test {

namespace {

Territory Outline(int32_t id, std::initializer_list<TerritoryPoint> points) { return {id, points}; }

TEST(Territory, InsideOnTheGroundPlaneWithEdgesAndCornersInside)
{
    // An L: a 10 x 10 square with its (5..10, 5..10) quarter cut away.
    const Territory l = Outline(7, {{0, 0}, {10, 0}, {10, 5}, {5, 5}, {5, 10}, {0, 10}});
    struct Probe {
        RwV3d p;
        bool inside;
    };
    const Probe probes[] = {
        {{2, 0, 2}, true},      {{2, 500, 8}, true},   // the height is ignored
        {{8, 0, 2}, true},      {{8, 0, 8}, false},    // the cut-away quarter
        {{0, 0, 0}, true},      {{10, 0, 0}, true},    // corners
        {{5, 0, 5}, true},      {{7.5f, 0, 5}, true},  // the inner corner and an inner edge
        {{0, 0, 4}, true},      {{10, 0, 2.5f}, true}, // outer edges
        {{-0.01f, 0, 4}, false}, {{10.01f, 0, 2}, false}, {{3, 0, 10.5f}, false}, {{5.01f, 0, 5.01f}, false},
        {{12, 0, 0}, false},    {{5, 0, 12}, false},   // on an edge's line, beyond its ends
        {{12, 0, 5}, false},    {{0, 0, -3}, false},
    };
    for (const Probe &probe : probes) {
        EXPECT_EQ(IsInsideTerritory(l, probe.p), probe.inside) << probe.p.x << ", " << probe.p.z;
    }
    // Winding does not matter.
    const Territory reversed = Outline(7, {{0, 10}, {5, 10}, {5, 5}, {10, 5}, {10, 0}, {0, 0}});
    for (const Probe &probe : probes) {
        EXPECT_EQ(IsInsideTerritory(reversed, probe.p), probe.inside);
    }
    // A diamond: the ray from a point level with its side corners passes
    // through one of them, and the point is inside all the same.
    const Territory diamond = Outline(8, {{5, 0}, {10, 5}, {5, 10}, {0, 5}});
    EXPECT_TRUE(IsInsideTerritory(diamond, {2, 0, 5}));
    EXPECT_TRUE(IsInsideTerritory(diamond, {8, 0, 5}));
    EXPECT_FALSE(IsInsideTerritory(diamond, {-2, 0, 5}));
    EXPECT_FALSE(IsInsideTerritory(diamond, {12, 0, 5}));
    // A point given twice makes an edge of no length: only that point is on it.
    const Territory twice = Outline(9, {{0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 10}});
    EXPECT_TRUE(IsInsideTerritory(twice, {5, 0, 5}));
    EXPECT_TRUE(IsInsideTerritory(twice, {10, 0, 0}));
    EXPECT_FALSE(IsInsideTerritory(twice, {10, 0, 12}));
    EXPECT_FALSE(IsInsideTerritory(twice, {15, 0, 0}));
    // Too few points hold nothing.
    EXPECT_FALSE(IsInsideTerritory(Outline(1, {{0, 0}, {10, 0}}), {0, 0, 0}));
    EXPECT_FALSE(IsInsideTerritory(Outline(1, {}), {0, 0, 0}));
}

TEST(Territory, FoundById)
{
    const std::vector<Territory> all = {Outline(3, {{0, 0}, {1, 0}, {0, 1}}), Outline(9, {{0, 0}, {2, 0}, {0, 2}})};
    EXPECT_EQ(FindTerritory(all, 9), &all[1]);
    EXPECT_EQ(FindTerritory(all, 4), nullptr);
    EXPECT_EQ(FindTerritory(all, 0), nullptr);
}

TEST(AiTypeTable, EveryTypeHasItsFolderAndModel)
{
    struct Range {
        int32_t first;
        int32_t last;
        ModelFolder folder;
    };
    const Range ranges[] = {{0, 1, ModelFolder::kMainChar},      {10, 10, ModelFolder::kNpc},
                            {100, 118, ModelFolder::kNpc},       {1000, 1021, ModelFolder::kMonster},
                            {1100, 1110, ModelFolder::kBoss},    {1200, 1205, ModelFolder::kTrap},
                            {10000, 10031, ModelFolder::kBreakObj}};
    size_t rows = 0;
    for (const Range &range : ranges) {
        for (int32_t type = range.first; type <= range.last; ++type) {
            const AiTypeInfo *row = FindAiType(type);
            ASSERT_NE(row, nullptr) << type;
            EXPECT_EQ(row->aiType, type);
            EXPECT_EQ(row->modelFolder, range.folder) << type;
            EXPECT_GT(std::strlen(row->modelId), 0u) << type;
            ++rows;
        }
    }
    EXPECT_EQ(AiTypeTable().size(), rows);
    for (int32_t unknown : {-1, 2, 11, 99, 119, 999, 1022, 1111, 1206, 9999, 10032}) {
        EXPECT_EQ(FindAiType(unknown), nullptr) << unknown;
    }
    // The ids the behaviour descriptions give, and the sample's own.
    EXPECT_STREQ(FindAiType(0)->modelId, "HERO01");
    EXPECT_STREQ(FindAiType(1)->modelId, "HERO02");
    EXPECT_STREQ(FindAiType(1000)->modelId, "1000");
    EXPECT_STREQ(FindAiType(1101)->modelId, "1111000");
    EXPECT_STREQ(FindAiType(1110)->modelId, "1170000");
    EXPECT_STREQ(FindAiType(1200)->modelId, "1510000");
    EXPECT_STREQ(FindAiType(1204)->modelId, "1550000");
    EXPECT_STREQ(FindAiType(10000)->modelId, "1560100");
    EXPECT_STREQ(FindAiType(10031)->modelId, "1580400");
}

TEST(AiTypeTable, FolderNames)
{
    for (ModelFolder folder : {ModelFolder::kMainChar, ModelFolder::kNpc, ModelFolder::kMonster, ModelFolder::kBoss,
                               ModelFolder::kTrap, ModelFolder::kBreakObj}) {
        ModelFolder back = ModelFolder::kMainChar;
        ASSERT_TRUE(ModelFolderFromName(ModelFolderName(folder), &back));
        EXPECT_EQ(back, folder);
    }
    ModelFolder folder = ModelFolder::kMainChar;
    EXPECT_TRUE(ModelFolderFromName("boss", &folder));
    EXPECT_EQ(folder, ModelFolder::kBoss);
    EXPECT_FALSE(ModelFolderFromName("ACTOR", &folder));
    EXPECT_FALSE(ModelFolderFromName(nullptr, &folder));
}

}  // namespace

}  // namespace ai_placement_test
