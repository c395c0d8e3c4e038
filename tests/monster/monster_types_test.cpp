// The AI-type table's rows of the template-D monsters: their folders by
// type number, their classes (made with their own words cleared), their
// update, and 1007's release and effect restart.
#include <gtest/gtest.h>

#include <cstring>

#include "actor/actor_placement.h"
#include "actor/ai_type_table.h"
#include "monster/monster_1003.h"
#include "monster/monster_1004.h"
#include "monster/monster_1006.h"
#include "monster/monster_1007.h"
#include "monster/monster_1021.h"
#include "monster/monster_update.h"
#include "monster/npc.h"
#include "stage/model_files.h"
#include "tests/stage/stage_test_support.h"

namespace monster_types_test {

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
    EXPECT_FALSE(m1007->streamBStarted);
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

// The other monsters and the non-player characters: their folders by type
// number, their classes (1006's layout also for 1001 and 1008 to 1012,
// whose behaviour no one has yet), and which of them have an update.
TEST_F(MonsterTypes, TheOtherMonstersAndTheCharactersHaveTheirRows)
{
    const struct {
        int32_t type;
        size_t size;
        bool updated;
    } rows[] = {{1001, sizeof(CSMonster1006), false}, {1006, sizeof(CSMonster1006), true},
                {1008, sizeof(CSMonster1006), false}, {1012, sizeof(CSMonster1006), false},
                {1013, sizeof(AiObject), false},      {1020, sizeof(AiObject), false},
                {1021, sizeof(CSMonster1021), true},  {10, sizeof(CSMonster1003), true},
                {100, sizeof(AiObject), true},        {103, sizeof(CSNpc103), true},
                {112, sizeof(CSMonster1004), true},   {118, sizeof(AiObject), true}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.type);
        const AiTypeInfo *row = FindAiType(r.type);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(std::to_string(r.type), row->modelId);
        EXPECT_EQ(row->objectSize, r.size);
        EXPECT_EQ(row->update != nullptr, r.updated);
        AiObject *actor = CreateActor(r.type, 3);
        ASSERT_NE(actor, nullptr);
        EXPECT_EQ(actor->nonBlocking, r.type == 103);  // never in anyone's way
        DestroyActor(actor);
    }
    EXPECT_EQ(ModelFilePath(FindAiType(112)->modelFolder, FindAiType(112)->modelId, "DFF"),
              "\\RESOURCE\\NPC\\112\\112.DFF");
    EXPECT_EQ(AiTypeUpdateOf(1006), &UpdateMonster);
    EXPECT_EQ(AiTypeUpdateOf(10), &UpdateNpc);
    EXPECT_NE(FindAiType(1006)->restartEffects, nullptr);
    EXPECT_EQ(FindAiType(1001)->release, FindAiType(1006)->release);
    // Every type of 100 to 118 has its family in the table.
    for (int32_t type = 100; type <= 118; ++type) {
        EXPECT_NE(NpcRowOf(type), nullptr) << type;
    }
    EXPECT_EQ(NpcRowOf(119), nullptr);
    // Character 112 and 10 name their words in the classes they borrow.
    auto *m1004 = static_cast<CSMonster1004 *>(CreateActor(112, 4));
    EXPECT_EQ(&m1004->State1Effect112(), &m1004->word[0].flag);
    EXPECT_EQ(&m1004->HeldHero1004(), &m1004->word[0].hero);
    auto *m1003 = static_cast<CSMonster1003 *>(CreateActor(10, 5));
    EXPECT_EQ(&m1003->GrabTarget10(), &m1003->word[1].hero);
    EXPECT_EQ(&m1003->GrabTimer10(), &m1003->word[2].seconds);
    DestroyActor(m1004);
    DestroyActor(m1003);
}

}  // namespace

}  // namespace monster_types_test
