// The screens' view of the running game through the game's own links: with
// no stage every question has its empty answer and every call does nothing;
// with one the answers are the stage's, and a hero asked for outside the
// stage's list (or the first hero of an empty list) is none.
#include <gtest/gtest.h>

#include "actor/hero.h"
#include "stage/stage_manager.h"
#include "ui/ui_links.h"

namespace ui_links_test {

namespace {

// The running stage manager while it lives; the previous one comes back.
class RunningStage {
public:
    explicit RunningStage(CSStageManager *stage) : previous_(g_pStageManager) { g_pStageManager = stage; }
    ~RunningStage() { g_pStageManager = previous_; }
    RunningStage(const RunningStage &) = delete;
    RunningStage &operator=(const RunningStage &) = delete;

private:
    CSStageManager *previous_;
};

// What the overlay reads of the running stage, in one record.
struct StageAnswers {
    bool hasStage;
    int32_t stageId, stageNumber, cameraMode, heroCount;
    CSHero *firstHero;
    bool operator==(const StageAnswers &) const = default;
};
StageAnswers Ask(const UILinks &l)
{
    return {l.hasStage(), l.stageId(), l.stageNumber(), l.cameraMode(), l.heroCount(), l.firstHero()};
}

TEST(GameUILinks, WithoutAStageEveryQuestionHasItsEmptyAnswer)
{
    RunningStage none(nullptr);
    const UILinks l = GameUILinks();
    EXPECT_TRUE(Ask(l) == (StageAnswers{false, 0, 0, 0, 0, nullptr}));
    EXPECT_EQ(l.hero(0), nullptr);
    EXPECT_EQ(l.firstActor(), nullptr);
    EXPECT_FALSE(l.hasItemOwner());
    EXPECT_EQ(l.items(), nullptr);
    EXPECT_EQ(l.itemOwnLimit(5100000), -1);
    EXPECT_FALSE(l.addItem(0, 5100000));
    EXPECT_EQ(l.itemDescriptions(), nullptr);
    EXPECT_EQ(l.itemSheet(0), nullptr);
    EXPECT_FALSE(l.sceneRunning());
    // The calls find nothing to act on and go by.
    l.createSubObjects1();
    l.createSubObjects2();
    l.loadEffectsPack();
    l.loadItemsPack();
    l.loadEventsPack();
    l.loadHeroesOnce();
    l.unloadHeroes();
    l.requestStageChange(2010000, 0, 0);
    l.activateLoading(1, 2010000);
    l.loadingProgress(0.5f);
    l.loadStage(2010000);
    l.setBGMVolume(0.5f);
    l.updateMessageWindow();
    l.clearOwnedLists();
    l.resetItemRange();
    l.skipScene();
    l.pauseMusic();
    l.resumeMusic();
    l.reloadSceneCamera();
}

TEST(GameUILinks, TheRunningStagesAnswersAndItsHeroesInPlayerOrder)
{
    CSStageManager stage;
    RunningStage running(&stage);
    CSHero heroes[kMaxHeroes];
    stage.stageId = 2080000;
    stage.stageNumber = 8;
    stage.cameraMode = 2;
    for (int i = 0; i < kMaxHeroes; ++i) {
        stage.heroes[i] = &heroes[i];
    }
    stage.heroCount = 1;
    stage.actorHead = &heroes[1];
    const UILinks l = GameUILinks();
    EXPECT_TRUE(Ask(l) == (StageAnswers{true, 2080000, 8, 2, 1, &heroes[0]}));
    EXPECT_EQ(l.hero(0), &heroes[0]);
    EXPECT_EQ(l.hero(1), nullptr) << "past the stage's list, though its slot holds one";
    EXPECT_EQ(l.hero(-1), nullptr);
    stage.heroCount = 2;
    EXPECT_EQ(l.heroCount(), 2);
    EXPECT_EQ(l.hero(1), &heroes[1]);
    EXPECT_EQ(l.firstActor(), &heroes[1]);
    EXPECT_FALSE(l.hasItemOwner()) << "the stage has no item owner yet";
    EXPECT_FALSE(l.sceneRunning()) << "nor an event manager";
    stage.heroCount = 0;
    EXPECT_EQ(l.firstHero(), nullptr);
    EXPECT_EQ(l.hero(0), nullptr);
    for (CSHero *&slot : stage.heroes) {
        slot = nullptr;
    }
    stage.actorHead = nullptr;
}

}  // namespace

}  // namespace ui_links_test
