// Finding foes and picking a target: chain order and the two-foe limit,
// sides, SearchRange on the ground plane, every PickTarget mode with its
// ties, and the territory drop.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "actor/ai_object.h"
#include "actor/hero.h"
#include "stage/model_template.h"
#include "stage/stage_manager.h"

namespace targeting_test {

namespace {

class TargetingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = g_pStageManager;
        g_pStageManager = &stage;
        monsterTemplate.params.searchRange = 100.0f;
        monster.aiType = 1000;
        monster.side = kSideMonster;
        monster.modelTemplate = &monsterTemplate;
        Link(&monster);
    }
    void TearDown() override { g_pStageManager = previous; }

    void Link(AiObject *actor)
    {
        AiObject **link = &stage.actorHead;
        while (*link != nullptr) {
            link = &(*link)->next;
        }
        *link = actor;
    }
    CSHero *AddHero(float x, float z, int32_t hp = 100)
    {
        heroes.emplace_back(new CSHero);
        CSHero *hero = heroes.back().get();
        hero->aiType = static_cast<int32_t>(heroes.size() - 1) % 2;
        hero->side = kSideHero;
        hero->position = {x, 50.0f, z};  // height does not count
        hero->hp = hp;
        Link(hero);
        return hero;
    }

    CSStageManager stage;
    CSStageManager *previous = nullptr;
    CSModelTemplate monsterTemplate;
    AiObject monster;
    std::vector<std::unique_ptr<CSHero>> heroes;
};

TEST_F(TargetingTest, FoesInChainOrderWithinRangeUpToTwo)
{
    AiObject neutral;
    neutral.side = kSideNeutral;
    neutral.position = {1.0f, 0.0f, 0.0f};
    Link(&neutral);
    AiObject ally;
    ally.side = kSideMonster;
    ally.position = {2.0f, 0.0f, 0.0f};
    Link(&ally);
    CSHero *far = AddHero(100.5f, 0.0f);
    CSHero *edge = AddHero(60.0f, 80.0f);  // exactly 100 on the ground
    CSHero *gone = AddHero(5.0f, 0.0f);
    gone->removed = true;
    CSHero *near = AddHero(10.0f, 0.0f);
    CSHero *third = AddHero(20.0f, 0.0f);
    monster.FindFoesInRange();
    EXPECT_EQ(monster.foeCount, 2);
    EXPECT_EQ(monster.foes[0], edge);
    EXPECT_EQ(monster.foes[1], near);
    EXPECT_TRUE(monster.foundFoe);
    (void)far;
    (void)third;
}

TEST_F(TargetingTest, NoFoesKeepsTheFoundFlagAndIgnoringClearsIt)
{
    AddHero(500.0f, 0.0f);
    monster.foundFoe = true;
    monster.FindFoesInRange();
    EXPECT_EQ(monster.foeCount, 0);
    EXPECT_TRUE(monster.foundFoe);
    AddHero(1.0f, 0.0f);
    monster.ignoreFoes = true;
    monster.FindFoesInRange();
    EXPECT_EQ(monster.foeCount, 0);
    EXPECT_FALSE(monster.foundFoe);
}

TEST_F(TargetingTest, EveryModeWithLaterFoesWinningTies)
{
    CSHero *a = AddHero(30.0f, 0.0f, 50);
    CSHero *b = AddHero(0.0f, 30.0f, 50);  // same distance and HP as a
    AiObject watcher;
    watcher.target = b;
    Link(&watcher);
    monster.FindFoesInRange();
    ASSERT_EQ(monster.foeCount, 2);

    struct Pick {
        int32_t mode;
        AiObject *expected;
    };
    auto check = [this](std::initializer_list<Pick> picks) {
        for (const Pick &pick : picks) {
            monster.PickTarget(pick.mode);
            EXPECT_EQ(monster.target, pick.expected) << "mode " << pick.mode;
        }
    };
    // Equal distances and HP: the later foe; a is nobody's target.
    check({{1, b}, {2, b}, {4, b}, {8, a}, {16, b}, {3, nullptr}});
    a->position = {10.0f, 0.0f, 0.0f};
    b->hp = 10;
    check({{1, a}, {4, b}, {2, b}});
    watcher.target = nullptr;
    monster.PickTarget(8);  // a tie again: the later foe
    EXPECT_EQ(monster.target, b);
}

TEST_F(TargetingTest, TargetOutsideTheTerritoryIsDropped)
{
    Territory area;
    area.id = 7;
    area.points = {{-20.0f, -20.0f}, {20.0f, -20.0f}, {20.0f, 20.0f}, {-20.0f, 20.0f}};
    stage.territories.push_back(area);
    monster.territory = 7;
    CSHero *hero = AddHero(20.0f, 0.0f);  // on the edge: inside
    monster.FindFoesInRange();
    monster.PickTarget(1);
    EXPECT_EQ(monster.target, hero);
    EXPECT_FALSE(monster.ignoreFoes);

    hero->position = {30.0f, 0.0f, 0.0f};
    monster.ignoreFoesTimer = 4.0f;
    monster.FindFoesInRange();
    monster.PickTarget(1);
    EXPECT_EQ(monster.target, nullptr);
    EXPECT_TRUE(monster.ignoreFoes);
    EXPECT_FLOAT_EQ(monster.ignoreFoesTimer, 0.0f);
}

}  // namespace

}  // namespace targeting_test
