// The AI-type table's rows of the breakable objects come from their own
// table: each type's model folder and id, its class (its own words cleared,
// the flags its constructor sets) and its update.
#include <gtest/gtest.h>

#include <string>

#include "actor/actor_placement.h"
#include "boss/breakable_objects.h"
#include "stage/model_files.h"
#include "tests/stage/stage_test_support.h"

namespace breakable_rows_test {

namespace {

using BreakableRows = stagetest::StageEngineTest;

TEST_F(BreakableRows, EachTypeHasItsTablesModelClassAndUpdate)
{
    for (int32_t type = kFirstBreakableType; type <= kLastBreakableType; ++type) {
        SCOPED_TRACE(type);
        const BreakableRow *row = BreakableRowOf(type);
        const AiTypeInfo *info = FindAiType(type);
        ASSERT_NE(row, nullptr);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(ModelFilePath(info->modelFolder, info->modelId, "DFF"),
                  std::string("\\RESOURCE\\BREAKOBJ\\") + row->modelId + "\\" + row->modelId + ".DFF");
        EXPECT_EQ(info->update, &UpdateBreakable);
        AiObject *actor = CreateActor(type, 1);
        ASSERT_NE(actor, nullptr);
        EXPECT_TRUE(actor->hurtable);
        // 10000 and 10002 to 10007 are bumped by charging monsters; 10000's
        // animation waits for its first hit.
        EXPECT_EQ(actor->pushable, type == 10000 || (type >= 10002 && type <= 10007));
        EXPECT_EQ(actor->animHold, type == 10000);
        DestroyActor(actor);
    }
    EXPECT_EQ(FindAiType(10026)->objectSize, sizeof(CSBreakObj10026));
    EXPECT_EQ(FindAiType(10029)->objectSize, sizeof(CSBreakObj10028));
    EXPECT_EQ(FindAiType(10027)->objectSize, sizeof(AiObject));
    EXPECT_EQ(FindAiType(10030)->objectSize, sizeof(CSBreakObj10008));
    EXPECT_EQ(BreakableRowOf(9999), nullptr);
    EXPECT_EQ(BreakableRowOf(10032), nullptr);
    // The rows the Parts fix for the money and the pieces.
    EXPECT_EQ(BreakableRowOf(10005)->moneyBase, 5);
    EXPECT_EQ(BreakableRowOf(10010)->act, BreakAct::kA);
    EXPECT_EQ(BreakableRowOf(10010)->piecesId, 4);
    EXPECT_EQ(BreakableRowOf(10021)->breakSound, 6500340);
}

}  // namespace

}  // namespace breakable_rows_test
