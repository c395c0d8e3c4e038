// The AI-type table's rows of the template-D monsters: their folders by
// type number, their classes (made with their own words cleared), their
// update, and 1007's release and effect restart.
#include <gtest/gtest.h>

#include <cstring>

#include "actor/actor_placement.h"
#include "actor/ai_type_table.h"
#include "monster/monster_1003.h"
#include "monster/monster_1004.h"
#include "monster/monster_1007.h"
#include "monster/monster_update.h"
#include "stage/model_files.h"
#include "tests/stage/stage_test_support.h"

namespace {

using MonsterTypes = stagetest::StageEngineTest;

TEST_F(MonsterTypes, EachTypeHasItsRowFolderClassAndUpdate)
{
    const struct {
        int32_t type;
        size_t size;
    } rows[] = {{1000, sizeof(AiObject)},      {1002, sizeof(CSMonster1003)}, {1003, sizeof(CSMonster1003)},
                {1004, sizeof(CSMonster1004)}, {1005, sizeof(AiObject)},      {1007, sizeof(CSMonster1007)}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.type);
        const AiTypeInfo *row = FindAiType(r.type);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(std::to_string(r.type), row->modelId);
        EXPECT_EQ(ModelFilePath(row->modelFolder, row->modelId, "DFF"),
                  "\\RESOURCE\\MONSTER\\" + std::to_string(r.type) + "\\" + std::to_string(r.type) + ".DFF");
        EXPECT_EQ(row->objectSize, r.size);
        EXPECT_EQ(row->update, &UpdateMonster);
        EXPECT_EQ(AiTypeUpdateOf(r.type), &UpdateMonster);
        AiObject *actor = CreateActor(r.type, 7);
        ASSERT_NE(actor, nullptr);
        EXPECT_EQ(actor->aiType, r.type);
        DestroyActor(actor);
    }
    EXPECT_NE(FindAiType(1007)->release, nullptr);
    EXPECT_NE(FindAiType(1007)->restartEffects, nullptr);
    EXPECT_EQ(FindAiType(1004)->restartEffects, nullptr);

    // The classes' own words start cleared.
    auto *m1007 = static_cast<CSMonster1007 *>(CreateActor(1007, 1));
    EXPECT_EQ(m1007->guardTimer, 0.0f);
    EXPECT_EQ(m1007->streamA, nullptr);
    EXPECT_EQ(m1007->streamBStarted, 0);
    auto *m1003 = static_cast<CSMonster1003 *>(CreateActor(1002, 2));
    for (const MonsterWord &word : m1003->word) {
        EXPECT_EQ(word.hero, nullptr);
        EXPECT_EQ(word.seconds, 0.0f);
        EXPECT_EQ(word.flag, 0);
    }
    // 1002 keeps its held hero in the second word, 1003 in the first.
    EXPECT_EQ(&m1003->HeldHero1002(), &m1003->word[1].hero);
    EXPECT_EQ(&m1003->HeldHero1003(), &m1003->word[0].hero);
    EXPECT_EQ(&m1003->SideStep1002(), &m1003->word[3].flag);
    DestroyActor(m1007);
    DestroyActor(m1003);
}

}  // namespace
