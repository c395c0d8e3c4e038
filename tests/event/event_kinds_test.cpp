// The stage exit, the link and talk starters, the end-at-once events, the
// bridge and the vine hazard, frame by frame over a fake stage.
#include <gtest/gtest.h>

#include "app/game_rand.h"
#include "app/game_system.h"
#include "event/event_objects.h"
#include "event_test_support.h"

namespace event_kinds_test {

namespace {

using namespace event_test;

class KindTest : public ::testing::Test {
protected:
    KindTest() : links_(&stage_) { stage_.heroes = {&hero_}; }

    void Frames(CSEventManager &manager, int count, float dt = 0.1f)
    {
        for (int i = 0; i < count; ++i) {
            RunFrame(manager, stage_, dt);
        }
    }

    // A vine hazard (the square of half-size 10 around the origin) linked
    // to a scene that binds `boss`; the scene itself is kept out of the passes.
    std::unique_ptr<CSEventManager> VineStage(FakeActor *boss)
    {
        EventTableEntry vines = SquareEntry(79253000, 10.0f);
        vines.linkId = 79252900;
        vines.maxOccur = 1000;
        EventTableEntry scene = BareEntry(79252900);
        scene.npcNum = 1;
        auto manager = MakeManager({vines, scene});
        boss->group = 79252900;
        stage_.actors = {boss};
        manager->LoadStageEvents(2250000, 1);
        manager->Records()[1]->MaxOccur = 0;
        return manager;
    }

    FakeStage stage_;
    StageLinks links_;
    FakeActor hero_;
};

TEST_F(KindTest, StageExitWithCode400LeavesOnItsFirstTest)
{
    EventTableEntry exit = SquareEntry(79012400, 5.0f);
    auto manager = MakeManager({exit});
    manager->LoadStageEvents(2010000, 1);
    hero_.position = {50.0f, 0.0f, 0.0f};
    Frames(*manager, 3);
    EXPECT_TRUE(stage_.stageChanges.empty());
    hero_.position = {1.0f, 0.0f, 1.0f};
    Frames(*manager, 1);
    ASSERT_EQ(stage_.stageChanges.size(), 1u);
    EXPECT_EQ(stage_.stageChanges[0].target, 1);
    EXPECT_EQ(stage_.stageChanges[0].flag, 1);
    EXPECT_EQ(stage_.stageChanges[0].ms, 2000);
    EXPECT_EQ(stage_.trace, (std::vector<std::string>{"79012400 stage_exit started 0", "79012400 stage_exit ended 1"}));
    Frames(*manager, 3);
    EXPECT_EQ(stage_.stageChanges.size(), 1u);  // MaxOccur 1
}

TEST_F(KindTest, StageExitCodesAndTheStartFromOutside)
{
    EventTableEntry exit = BareEntry(79021100);  // code 500: after its link ended once
    exit.linkId = 79020200;
    auto manager = MakeManager({exit, BareEntry(79020200)});
    manager->LoadStageEvents(2020000, 1);
    auto *record = static_cast<CSStageExitEvent *>(manager->Records()[0]);
    EventRecord *talk = manager->Records()[1];
    EXPECT_EQ(record->Check(0.0f), 0);
    talk->IsOccur = 1;
    record->Condition = 600;
    EXPECT_EQ(record->Check(0.0f), 1);
    record->Condition = 500;
    manager->EndEvent(talk);
    EXPECT_EQ(record->Check(0.0f), 1);
    record->LinkEvent = nullptr;
    EXPECT_EQ(record->Check(0.0f), 0);
    record->Condition = 700;
    EXPECT_EQ(record->Check(0.0f), 0);
    // The movie's end starts it at once.
    manager->StartStageExit(0);
    ASSERT_EQ(stage_.stageChanges.size(), 1u);
    EXPECT_EQ(stage_.stageChanges[0].target, 2);
    EXPECT_EQ(record->OccurCount, 1);
    EXPECT_EQ(record->IsOccur, 0);
}

TEST_F(KindTest, KillingTheBoundMonsterChainsTheEndTheLinkStarterAndTheExit)
{
    EventTableEntry end = BareEntry(79010400);
    end.npcNum = 1;
    end.linkId = 79012500;
    EventTableEntry starter = BareEntry(79012500);
    starter.linkId = 79012400;
    EventTableEntry exit = SquareEntry(79012400, 5.0f);
    exit.corners[0] = {100.0f, 0.0f, 100.0f};  // far from the hero
    exit.corners[1] = {110.0f, 0.0f, 100.0f};
    exit.corners[2] = {110.0f, 0.0f, 110.0f};
    exit.corners[3] = {100.0f, 0.0f, 110.0f};
    auto manager = MakeManager({BareEntry(79021100), end, starter, exit});
    FakeActor monster;
    monster.group = 79010400;
    stage_.actors = {&hero_, &monster};
    manager->LoadStageEvents(2010000, 1);
    Frames(*manager, 5);
    EXPECT_TRUE(stage_.trace.empty());
    monster.removed = true;
    Frames(*manager, 3);
    const std::vector<std::string> expected = {
        "79010400 end_at_once started 0",  "79010400 end_at_once ended 1", "79012500 link_starter started 0",
        "79012500 link_starter ended 1",   "79012400 stage_exit started 0", "79012400 stage_exit ended 1"};
    EXPECT_EQ(stage_.trace, expected);
    ASSERT_EQ(stage_.stageChanges.size(), 1u);
    EXPECT_EQ(stage_.stageChanges[0].target, 1);
}

TEST_F(KindTest, LinkStarterCodeOneFiresAfterOneReportingEventEnded)
{
    EventTableEntry starter = BareEntry(79012500);
    starter.linkId = 79012800;
    starter.param = 79012700;
    EventTableEntry reporter = BareEntry(79010500);
    reporter.linkId = 79012500;
    reporter.npcNum = 1;
    auto manager = MakeManager({starter, reporter, BareEntry(79012800), BareEntry(79012700)});
    FakeActor monster;
    monster.group = 79010500;
    stage_.actors = {&monster};
    manager->LoadStageEvents(2010000, 1);
    EventRecord *first = manager->Records()[2];
    EventRecord *second = manager->Records()[3];
    // The linked pair are link starters too, waiting for their own reports.
    Frames(*manager, 2);
    EXPECT_EQ(manager->Records()[0]->OccurCount, 0);
    monster.removed = true;
    Frames(*manager, 1);
    EXPECT_EQ(manager->Records()[1]->OccurCount, 1);
    EXPECT_EQ(manager->Records()[0]->OccurCount, 0);  // tested before the report arrived this frame
    Frames(*manager, 1);
    EXPECT_EQ(manager->Records()[0]->OccurCount, 1);
    EXPECT_EQ(first->OccurCount + first->IsOccur, 1);
    EXPECT_EQ(second->OccurCount + second->IsOccur, 1);
}

TEST_F(KindTest, TalkStarterHandsItsParamToADialogueOnly)
{
    EventTableEntry starter = BareEntry(79012900);
    starter.linkId = 79012200;
    starter.param = 1234;
    starter.maxOccur = 1000;
    EventTableEntry reporter = BareEntry(79010400);
    reporter.linkId = 79012900;
    auto manager = MakeManager({starter, BareEntry(79012200), reporter});
    manager->LoadStageEvents(2010000, 1);
    auto *record = static_cast<CSTalkStarterEvent *>(manager->Records()[0]);
    EventRecord *talk = manager->Records()[1];
    EXPECT_EQ(record->Condition, 1);
    EXPECT_EQ(record->Check(0.0f), 0);  // LinkEndNum 0
    Frames(*manager, 2);                // the reporter has no actors: it ends at once
    EXPECT_EQ(record->LinkEndNum, 1);
    EXPECT_EQ(talk->Param, 1234);
    EXPECT_EQ(record->OccurCount, 1);
    record->Condition = 100;
    EXPECT_EQ(record->Check(0.0f), 1);
    record->Condition = 150;
    EXPECT_EQ(record->Check(0.0f), 0);
    // A link of another type: nothing happens, the starter keeps running.
    record->LinkEvent = manager->Records()[2];
    record->IsOccur = 1;
    record->Update(0.1f);
    EXPECT_EQ(record->IsOccur, 1);
}

TEST_F(KindTest, BridgeBuildsPieceByPieceAndComesDownOnceItsLinkRuns)
{
    EventTableEntry bridge = BareEntry(79170200);
    bridge.param = 5 * 1000000 + 12 * 1000 + 34;  // 0.5 s, middle 12, low 34
    bridge.linkId = 79173200;
    auto manager = MakeManager({bridge, BareEntry(79173200)});
    manager->LoadStageEvents(2170000, 1);
    auto *record = static_cast<CSBridgeEvent *>(manager->Records()[0]);
    EXPECT_EQ(record->IntervalTenths, 5);
    EXPECT_EQ(record->Middle, 12);
    EXPECT_EQ(record->Low, 34);
    record->SetPath({{-29.527f, 1.0f, -35.445f}, 1, -10.0522f, 3, {7, 8}, {0.0f, 0.0f}});
    EXPECT_FLOAT_EQ(record->Pieces[2].position.z, -35.445f - 2.0f * 10.0522f);
    record->IsOccur = 1;
    EventRecord *exit = manager->Records()[1];
    exit->MaxOccur = 0;  // keep the exit itself out of the passes
    auto step = [&](int frames) {
        for (int i = 0; i < frames; ++i) {
            record->Update(0.1f);
        }
    };
    step(7);  // the clock passes 0.5 s: the first piece
    EXPECT_EQ(record->PiecesStanding(), 1);
    EXPECT_EQ(stage_.dynSlots[0], 7);
    EXPECT_EQ(stage_.dynShown[0], std::make_pair(true, false));
    EXPECT_EQ(stage_.dynCounts[0], 1);
    step(14);  // one piece each time more than 0.5 s has passed
    EXPECT_EQ(record->PiecesStanding(), 3);
    EXPECT_EQ(stage_.dynSlots[1], 8);
    step(20);
    EXPECT_EQ(record->PiecesStanding(), 3);
    EXPECT_EQ(record->Done, 0);
    exit->IsOccur = 1;
    step(1);
    EXPECT_EQ(record->Done, 1);
    step(6);
    EXPECT_EQ(record->PiecesStanding(), 2);
    EXPECT_EQ(stage_.dynSlots[0], -1);
    step(12);
    EXPECT_EQ(record->PiecesStanding(), 0);
    EXPECT_EQ(record->IsOccur, 0);
    EXPECT_EQ(record->OccurCount, 1);
    // Without the effect set the bridge waits.
    manager->ReleaseStageEvents();
    EXPECT_EQ(record->Pieces, nullptr);
}

TEST_F(KindTest, VinesOnlyWhileEveryRequiredHeroIsInside)
{
    FakeActor boss;
    auto manager = VineStage(&boss);
    auto *record = static_cast<CSVineHazardEvent *>(manager->Records()[0]);
    hero_.position = {40.0f, 0.0f, 0.0f};
    Frames(*manager, 30);
    EXPECT_EQ(record->IsOccur, 0);
    hero_.position = {0.0f, 0.0f, 0.0f};
    Frames(*manager, 1);
    EXPECT_EQ(record->IsOccur, 0);  // the condition reads the angle sum of the test before
    Frames(*manager, 1);
    ASSERT_EQ(record->IsOccur, 1);
    Frames(*manager, 25);  // 2.5 s inside
    const int32_t started = stage_.vinesStarted;
    const int32_t spawnClock = static_cast<int32_t>(record->Clock * 10.0f + 0.5f);
    hero_.position = {40.0f, 0.0f, 0.0f};
    Frames(*manager, 1);  // the trigger test refreshes the angle sum
    Frames(*manager, 30);
    EXPECT_EQ(stage_.vinesStarted, started);  // none while outside
    EXPECT_EQ(static_cast<int32_t>(record->Clock * 10.0f + 0.5f), spawnClock);  // the clock waits too
    for (int i = 0; i < 4; ++i) {
        EXPECT_LE(std::abs(record->OffsetsX[i]), 49);
        EXPECT_LE(std::abs(record->OffsetsZ[i]), 49);
    }
    boss.removed = true;
    Frames(*manager, 2);
    EXPECT_EQ(record->Done, 1);
    EXPECT_GE(stage_.vineUpdates, 1);
    EXPECT_EQ(stage_.vinesStarted, started);
}

TEST_F(KindTest, VineDrawsReseedTheGamesOneGeneratorFromTheLastTick)
{
    FakeActor boss;
    auto manager = VineStage(&boss);
    auto *record = static_cast<CSVineHazardEvent *>(manager->Records()[0]);
    CSGameSystem system;
    CSGameSystem *previous = g_pGameSystem;
    g_pGameSystem = &system;
    system.frameClock.Start(0);
    system.frameClock.Tick(4321);
    Frames(*manager, 2);  // the angle sum, then the first spawn
    ASSERT_EQ(record->IsOccur, 1);
    // Every draw of the frame was the first after the seed 4321; the game's
    // draws go on from that seed.
    game::Srand(4321);
    const int first = game::Rand();
    const int second = game::Rand();
    game::Srand(99);
    Frames(*manager, 1);
    EXPECT_EQ(game::Rand(), second);
    const int32_t offset = (first % 2 != 0 ? 1 : -1) * (first % 50);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(record->OffsetsX[i], offset);
        EXPECT_EQ(record->OffsetsZ[i], offset);
    }
    g_pGameSystem = previous;
}

}  // namespace

}  // namespace event_kinds_test
