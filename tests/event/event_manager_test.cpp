// The manager over a fake stage: selecting a stage's events, binding the
// placed actors, the passes with busy heroes, the slots, release and
// teardown.
#include <gtest/gtest.h>

#include "event/event_objects.h"
#include "event_test_support.h"

namespace event_manager_test {

namespace {

using namespace event_test;

constexpr int32_t kStage1 = 2010000;
constexpr int32_t kStage2 = 2020000;

TEST(EventManagerStage, EmptyTableAndAStageWithoutEvents)
{
    FakeStage stage;
    StageLinks links(&stage);
    FakeActor hero;
    stage.heroes = {&hero};
    CSEventManager manager;
    manager.LoadStageEvents(kStage1, 1);
    EXPECT_TRUE(manager.StageEvents().empty());
    RunFrame(manager, stage);
    manager.CheckActionTriggers(0);
    manager.Render();
    manager.UpdateMessageWindow();
    EXPECT_EQ(manager.GetAnimEventId(), 0);
    EXPECT_EQ(manager.GetMovieEventId(), 0);
    EXPECT_EQ(manager.GetTalkEventId(), 0);
    manager.SkipCurrentScene();
    manager.StartStageExit(0);
    manager.EndAnimEvents();
    manager.ReleaseStageEvents();
    manager.Release();
    EXPECT_TRUE(stage.stageChanges.empty());
}

TEST(EventManagerStage, AStageWhoseEventsStartAtIndexOneTakesNoForeignRecord)
{
    FakeStage stage;
    StageLinks links(&stage);
    // Record 0 belongs to stage 2 and would occur at once (code 400, no area).
    auto manager = MakeManager({BareEntry(79021100), BareEntry(79012400), BareEntry(79010400)});
    manager->LoadStageEvents(kStage1, 1);
    EXPECT_EQ(manager->StageEvents(), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(manager->first, 1);
    EXPECT_EQ(manager->end, 3);
    EXPECT_EQ(manager->Records()[0]->Active, 0);
    EXPECT_EQ(manager->stageExit, 1);
    FakeActor hero;
    stage.heroes = {&hero};
    RunFrame(*manager, stage);
    EXPECT_EQ(manager->Records()[0]->OccurCount, 0);
    EXPECT_EQ(manager->Records()[0]->IsOccur, 0);
}

TEST(EventManagerStage, ASingleRecordStageIsLoadedAndReleased)
{
    FakeStage stage;
    StageLinks links(&stage);
    EventTableEntry only = BareEntry(79010400);
    only.npcNum = 1;
    auto manager = MakeManager({only, BareEntry(79021100)});
    FakeActor monster;
    monster.group = 79010400;
    stage.actors = {&monster};
    manager->LoadStageEvents(kStage1, 1);
    ASSERT_EQ(manager->StageEvents(), (std::vector<int32_t>{0}));
    EventRecord *record = manager->Records()[0];
    EXPECT_EQ(record->Active, 1);
    ASSERT_NE(record->Actors, nullptr);
    EXPECT_EQ(record->ActorNum, 1);
    manager->ReleaseStageEvents();
    EXPECT_EQ(record->Active, 0);
    EXPECT_EQ(record->Actors, nullptr);
    EXPECT_EQ(record->ActorNum, 0);
    EXPECT_TRUE(manager->StageEvents().empty());
    // Released twice, destroyed twice: nothing more happens.
    manager->ReleaseStageEvents();
    manager->Release();
    manager->Release();
    EXPECT_TRUE(manager->Records().empty());
}

TEST(EventManagerStage, BindingFillsAClearedArrayUpToNpcNum)
{
    FakeStage stage;
    StageLinks links(&stage);
    EventTableEntry group = BareEntry(79010400);
    group.npcNum = 2;
    EventTableEntry other = BareEntry(79010500);
    other.npcNum = 3;
    auto manager = MakeManager({group, other, BareEntry(79021100)});
    FakeActor a, b, c, d, stranger, hero;
    a.group = b.group = c.group = 79010400;  // one more than NPCNum
    d.group = 79010500;
    stranger.group = 79021100;  // another stage's event: not bound
    hero.group = 0;
    stage.actors = {&hero, &a, &stranger, &b, &c, &d};
    manager->LoadStageEvents(kStage1, 1);
    EventRecord *first = manager->Records()[0];
    EventRecord *second = manager->Records()[1];
    EXPECT_EQ(first->ActorNum, 2);
    EXPECT_EQ(second->ActorNum, 1);
    EXPECT_EQ(second->Actors[1], nullptr);
    EXPECT_EQ(second->Actors[2], nullptr);
    EXPECT_EQ(manager->Records()[2]->Actors, nullptr);
    // The counts walk what is bound: one of three slots filled.
    d.removed = true;
    EXPECT_EQ(second->CheckCondition(0.0f), 1);
    EXPECT_EQ(second->RemovedNum, 1);
    EXPECT_EQ(second->ActorNum, 1);
    a.removed = true;
    EXPECT_EQ(first->CheckCondition(0.0f), 0);
    b.removed = true;
    EXPECT_EQ(first->CheckCondition(0.0f), 1);
}

// A table's NPCNum sizes no allocation past what a stage can place, and a
// negative one binds nothing.
TEST(EventManagerStage, HostileNpcNumsBindWhatIsPlaced)
{
    FakeStage stage;
    StageLinks links(&stage);
    EventTableEntry huge = BareEntry(79010400);
    huge.npcNum = 2147483647;
    EventTableEntry negative = BareEntry(79010500);
    negative.npcNum = -5;
    auto manager = MakeManager({huge, negative});
    FakeActor a, b, c;
    a.group = b.group = 79010400;
    c.group = 79010500;
    stage.actors = {&a, &b, &c};
    manager->LoadStageEvents(kStage1, 1);
    EXPECT_EQ(manager->Records()[0]->ActorNum, 2);
    EXPECT_EQ(manager->Records()[1]->ActorNum, 0);
    EXPECT_EQ(manager->Records()[1]->Actors, nullptr);
    EXPECT_EQ(manager->Records()[0]->CheckCondition(0.0f), 0);
    a.removed = b.removed = true;
    EXPECT_EQ(manager->Records()[0]->CheckCondition(0.0f), 1);
    manager->ReleaseStageEvents();
}

TEST(EventManagerStage, LoadKeepsTheCountOfParamOneAndResetsOthers)
{
    FakeStage stage;
    StageLinks links(&stage);
    EventTableEntry keep = BareEntry(79010400);
    keep.param = 1;
    keep.maxOccur = 5;
    EventTableEntry reset = BareEntry(79010500);
    reset.maxOccur = 5;
    auto manager = MakeManager({keep, reset});
    manager->LoadStageEvents(kStage1, 1);
    EventRecord *kept = manager->Records()[0];
    EventRecord *cleared = manager->Records()[1];
    kept->OccurCount = 3;
    cleared->OccurCount = 3;
    for (EventRecord *r : {kept, cleared}) {
        r->Load();
    }
    EXPECT_EQ(kept->OccurCount, 3);
    EXPECT_EQ(cleared->OccurCount, 0);
    // The release clears both whatever their Param.
    manager->ReleaseStageEvents();
    EXPECT_EQ(kept->OccurCount, 0);
    EXPECT_EQ(kept->TextShown, 0);
    EXPECT_EQ(kept->DrawLate, 0);
}

TEST(EventManagerStage, ABusyHeroSuspendsEventsWithoutCounting)
{
    FakeStage stage;
    StageLinks links(&stage);
    EventTableEntry marker = BareEntry(79305000);  // a marker: runs until something ends it
    auto manager = MakeManager({marker});
    FakeActor hero;
    stage.heroes = {&hero};
    manager->LoadStageEvents(2300000, 1);
    EventRecord *record = manager->Records()[0];
    record->IsOccur = 1;
    RunFrame(*manager, stage);
    EXPECT_EQ(record->IsOccur, 1);
    hero.busy = true;
    RunFrame(*manager, stage);
    EXPECT_EQ(record->IsOccur, 0);
    EXPECT_EQ(record->OccurCount, 0);
    EXPECT_EQ(manager->poses[0].valid, 0);
}

TEST(EventManagerStage, OneOfTwoHeroesLowersCharNumTwoInAOnePlayerGame)
{
    FakeStage stage;
    StageLinks links(&stage);
    EventTableEntry both = SquareEntry(79012400);
    both.charNum = 2;
    auto two = MakeManager({both});
    FakeActor hero;
    stage.heroes = {&hero};
    two->LoadStageEvents(kStage1, 1);
    RunFrame(*two, stage);
    EXPECT_EQ(two->Records()[0]->CharNum, 1);
    EXPECT_EQ(two->Records()[0]->OccurCount, 1);  // occurred and ended in the frame

    auto pair = MakeManager({both});
    FakeActor second;
    second.player = 1;
    second.position = {100.0f, 0.0f, 100.0f};
    stage.heroes = {&hero, &second};
    pair->LoadStageEvents(kStage1, 2);
    RunFrame(*pair, stage);
    EXPECT_EQ(pair->Records()[0]->CharNum, 2);
    EXPECT_EQ(pair->Records()[0]->OccurCount, 0);
    EXPECT_EQ(pair->Records()[0]->InArea[0], 1);
    EXPECT_EQ(pair->Records()[0]->InArea[1], 0);
    second.position = {1.0f, 0.0f, 1.0f};
    RunFrame(*pair, stage);
    EXPECT_EQ(pair->Records()[0]->OccurCount, 1);
}

// A boss-introduction event asks for the boss gauge on its first update
// after each load, once; without screens (no link) the request is skipped.
TEST(EventManagerStage, TheBossGaugeIsAskedForOncePerLoad)
{
    FakeStage stage;
    StageLinks links(&stage);
    auto manager = MakeManager({BareEntry(79080100), BareEntry(79080300)});
    manager->LoadStageEvents(2080000, 1);
    EventRecord *boss = manager->Records()[0];
    EventRecord *plain = manager->Records()[1];
    EXPECT_EQ(boss->BossGaugeRequest, 1);
    EXPECT_EQ(plain->BossGaugeRequest, 0);
    boss->IsOccur = plain->IsOccur = 1;  // movies run until their own code ends them
    for (int frame = 0; frame < 3; ++frame) {
        RunFrame(*manager, stage);
    }
    EXPECT_EQ(stage.bossGaugeRequests, 1);
    EXPECT_EQ(boss->BossGaugeRequest, 2);
    manager->ReleaseStageEvents();
    manager->LoadStageEvents(2080000, 1);
    boss->IsOccur = 1;
    g_eventLinks.requestBossGauge = nullptr;
    RunFrame(*manager, stage);
    EXPECT_EQ(stage.bossGaugeRequests, 1);
    EXPECT_EQ(boss->BossGaugeRequest, 2);
}

// The scene accessors walk the whole table, whatever stage is loaded.
TEST(EventManagerStage, SceneAccessorsVisitTheTablesInGameAnimations)
{
    FakeStage stage;
    StageLinks links(&stage);
    auto manager = MakeManager({BareEntry(79012400), BareEntry(79020700), BareEntry(79014000), BareEntry(79017000),
                                BareEntry(79030100)});
    manager->LoadStageEvents(kStage1, 1);
    EXPECT_EQ(manager->UnloadAnimEvents(), 3);
    EXPECT_EQ(manager->ReloadAnimEventCamera(), kNoEvent);  // none runs
    manager->Records()[4]->IsOccur = 1;
    manager->Records()[3]->IsOccur = 1;
    EXPECT_EQ(manager->ReloadAnimEventCamera(), 3);  // the first running one
    CSEventManager empty;
    EXPECT_EQ(empty.UnloadAnimEvents(), 0);
    EXPECT_EQ(empty.ReloadAnimEventCamera(), kNoEvent);
}

TEST(EventManagerStage, AccessorsAndFindEvent)
{
    FakeStage stage;
    StageLinks links(&stage);
    auto manager = MakeManager({BareEntry(79012400), BareEntry(3)});
    EXPECT_EQ(manager->FindEvent(79012400), manager->Records()[0]);
    EXPECT_EQ(manager->FindEvent(3), nullptr);
    EXPECT_EQ(manager->FindEvent(79000000), nullptr);
    EXPECT_EQ(manager->FindEvent(79050300), nullptr);
    EXPECT_FALSE(manager->HasEventOccurred(79012400));
    manager->Records()[0]->OccurCount = 1;
    EXPECT_TRUE(manager->HasEventOccurred(79012400));
    EXPECT_EQ(manager->GetEventModel(79012400), nullptr);
}

}  // namespace

}  // namespace event_manager_test
