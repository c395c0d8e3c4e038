// The maker's event table read back through the game's reader, every
// stage's end in it, and the first stage of the sample data tree: its
// events selected and its placed monster bound as a stage load does, run
// frame by frame.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>

#include "event/event_objects.h"
#include "event_test_support.h"
#include "stage/ai_placement.h"
#include "stage/stage_paths.h"
#include "support/engine/scratch_path.h"
#include "tools/mkdata/event_table.h"
#include "tools/mkdata/sample_scene_data.h"
#include "tools/mkdata/sample_stage_ends.h"
#include "tools/mkdata/sample_talk_data.h"
#include "tools/mkdata/stage_files.h"
#include "ui/stage_select.h"

namespace sample_event_table_test {

namespace {

using namespace event_test;

void ExpectVec(const RwV3d &a, const RwV3d &b)
{
    EXPECT_FLOAT_EQ(a.x, b.x);
    EXPECT_FLOAT_EQ(a.y, b.y);
    EXPECT_FLOAT_EQ(a.z, b.z);
}

TEST(SampleEventTable, ReadsBackFieldByField)
{
    const std::string path = rwtest::ScratchPath("G_EVENT.EVT");
    const auto &entries = mkdata::SampleEventTable();
    ASSERT_TRUE(mkdata::WriteEventTableFile(path, entries));
    CSEventManager manager;
    ASSERT_TRUE(manager.LoadEventTable(path.c_str()));
    ASSERT_EQ(manager.Records().size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const EventTableEntry &e = entries[i];
        const EventRecord *r = manager.Records()[i];
        if (FindEventRow(e.eventId) == nullptr) {
            EXPECT_EQ(r, nullptr) << e.eventId;
            continue;
        }
        ASSERT_NE(r, nullptr) << e.eventId;
        EXPECT_EQ(r->EventID, e.eventId);
        for (int c = 0; c < 4; ++c) {
            ExpectVec(r->EventArea[c], e.corners[c]);
        }
        ExpectVec(r->Placement.position, e.position);
        ExpectVec(r->Placement.at, e.at);
        ExpectVec(r->Placement.up, e.up);
        ExpectVec(r->Circle.centre, e.circleCentre);
        EXPECT_FLOAT_EQ(r->Circle.radius, e.radius);
        EXPECT_EQ(r->CharNum, e.charNum);
        EXPECT_EQ(r->NPCNum, e.npcNum);
        EXPECT_EQ(r->MaxOccur, e.maxOccur);
        EXPECT_EQ(r->Param, e.param);
        EXPECT_EQ(r->LinkID, e.linkId);
        EXPECT_EQ(r->PlayerEnable[0], e.playerMask & 1);
        EXPECT_EQ(r->PlayerEnable[1], (e.playerMask >> 1) & 1);
        EXPECT_EQ(r->Label, e.label);
        if (r->kind == EventKind::kSceneEffect) {
            const auto *effect = static_cast<const CSSceneEffectEvent *>(r);
            ASSERT_EQ(effect->PointStringCount, static_cast<int32_t>(e.points.size()));
            for (size_t p = 0; p < e.points.size(); ++p) {
                float x = 0.0f, y = 0.0f, z = 0.0f;
                ASSERT_EQ(std::sscanf(effect->PointStrings[p], "%f,%f,%f", &x, &y, &z), 3);
                ExpectVec({x, y, z}, e.points[p]);
            }
        } else {
            EXPECT_TRUE(e.points.empty());
        }
    }
    EXPECT_NE(manager.FindEvent(79160200), nullptr);
    // The chain: the cleared event reports to the link starter, which starts the exit.
    EXPECT_EQ(manager.FindEvent(79010400)->LinkEvent, manager.FindEvent(79012500));
    EXPECT_EQ(manager.FindEvent(79012500)->LinkEvent, manager.FindEvent(79012400));
}

// Every stage of the stage select's map but the first has its end: the
// event that finishes it (its exit, or stage 36's closing scene) with its
// chain of links found in the table, and the placed actor each bound event
// waits for (exactly one: the boss, stage 2's 1021 or the guard).
TEST(SampleEventTable, EveryStageOfTheMapHasAnEndWhoseLinksAndActorsAreThere)
{
    const std::string path = rwtest::ScratchPath("G_EVENT_ENDS.EVT");
    ASSERT_TRUE(mkdata::WriteEventTableFile(path, mkdata::SampleEventTable()));
    CSEventManager manager;
    ASSERT_TRUE(manager.LoadEventTable(path.c_str()));
    for (int i = 1; i < kMapNodes; ++i) {
        const int32_t stageId = StageMapNodes()[i].stageId;
        const int32_t number = StageNumberOf(stageId);
        SCOPED_TRACE(number);
        const mkdata::SampleStageEnd *end = mkdata::SampleStageEndOf(number);
        ASSERT_NE(end, nullptr);
        const int32_t finishing = end->exitEvent != 0 ? end->exitEvent : mkdata::kClosingScene36;
        const EventRecord *last = manager.FindEvent(finishing);
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(last->EventType, end->exitEvent != 0 ? 20 : 5);
        // Down the links to the bound event (none for the stages always open).
        const EventRecord *bound = last;
        for (int step = 0; step < 4 && bound->EventID != end->holder && bound->LinkEvent != nullptr; ++step) {
            bound = bound->LinkEvent;
        }
        if (end->holder == 0) {
            EXPECT_EQ(last->LinkEvent, nullptr);
            continue;
        }
        EXPECT_EQ(bound->EventID, end->holder);
        if (number == 5) {
            continue;  // the puzzle binds no actor
        }
        EXPECT_EQ(bound->NPCNum, 1);
        std::vector<AiPlacement> placements;
        ASSERT_TRUE(ReadPlacementFile(
            (std::string(RW_TEST_BINARY_DIR) + "/data/RESOURCE/AI/" + StageFileBaseName(stageId) + ".IAF").c_str(),
            &placements, false))
            << "no sample data: build the sample-data target";
        EXPECT_EQ(std::count_if(placements.begin(), placements.end(),
                                [end](const AiPlacement &p) { return p.eventId == end->holder; }),
                  1);
    }
}

// Host path of a file of the sample data tree.
std::string SampleDataPath(const std::string &relative)
{
    return std::string(RW_TEST_BINARY_DIR) + "/data/" + relative;
}

// The first stage as the sample data tree holds it: its event table and
// its placed actors (each bound by its placement's EventID), and hero 0
// at the stage's first start.
class SampleFirstStage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(manager.LoadEventTable(SampleDataPath("RESOURCE/G_EVENT/G_EVENT.EVT").c_str()))
            << "no sample data: build the sample-data target";
        std::vector<AiPlacement> placements;
        ASSERT_TRUE(ReadPlacementFile(SampleDataPath("RESOURCE/AI/STAGE00.IAF").c_str(), &placements, false));
        actors.resize(placements.size());
        hero.position = {-20.0f, 0.0f, -40.0f};
        stage.heroes = {&hero};
        stage.actors = {&hero};
        for (size_t i = 0; i < placements.size(); ++i) {
            actors[i].group = placements[i].eventId;
            stage.actors.push_back(&actors[i]);
        }
        manager.LoadStageEvents(2010000, 1);
    }

    FakeStage stage;
    StageLinks links{&stage};
    CSEventManager manager;
    FakeActor hero;
    std::vector<FakeActor> actors;
};

TEST_F(SampleFirstStage, StartsAtIndexOneAndBindsItsMonster)
{
    // The exit's chain at 1..3, then (wherever the table puts them) the
    // notice board, the talk and its talk starter, the conversation, the
    // scene and the two doors.
    std::vector<int32_t> expected;
    for (const int32_t id : {79010400, 79012500, 79012400, 79010000, 79010200, mkdata::kSampleTalkStarter, 79010300,
                             mkdata::kSampleScene, 79011200, 79013400}) {
        for (int32_t i = 0; i < static_cast<int32_t>(manager.Records().size()); ++i) {
            if (manager.Record(i) != nullptr && manager.Record(i)->EventID == id) {
                expected.push_back(i);
            }
        }
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(manager.StageEvents(), expected);
    EXPECT_EQ(std::vector<int32_t>(expected.begin(), expected.begin() + 3), (std::vector<int32_t>{1, 2, 3}));
    ASSERT_EQ(actors.size(), mkdata::SamplePlacements().size());
    EXPECT_EQ(mkdata::SamplePlacements()[0].eventId, mkdata::kSampleMonsterEvent);  // the monster first
    const EventRecord *cleared = manager.FindEvent(mkdata::kSampleMonsterEvent);
    ASSERT_NE(cleared, nullptr);
    EXPECT_EQ(cleared->ActorNum, 1);
    ASSERT_NE(cleared->Actors, nullptr);
    EXPECT_EQ(cleared->Actors[0], AsActor(&actors[0]));
}

// While the monster stands nothing leaves the stage, however long the
// hero waits at the start.
TEST_F(SampleFirstStage, StaysInPlayWhileTheMonsterStands)
{
    for (int frame = 0; frame < 600; ++frame) {
        RunFrame(manager, stage);
    }
    EXPECT_TRUE(stage.stageChanges.empty());
    // Only the notice board, which runs from the start, has begun.
    EXPECT_EQ(stage.trace, (std::vector<std::string>{"79010000 first_event started 0"}));
}

// Walking into the far end of the yard while the monster stands leaves
// nothing: the exit is shut.
TEST_F(SampleFirstStage, TheExitStaysShutWhileTheMonsterStands)
{
    hero.position = {0.0f, 0.0f, 150.0f};
    for (int frame = 0; frame < 120; ++frame) {
        RunFrame(manager, stage);
    }
    EXPECT_TRUE(stage.stageChanges.empty());
    EXPECT_EQ(manager.FindEvent(mkdata::kSampleMonsterEvent)->OccurCount, 0);
}

// Once the monster is gone the exit is open, but the stage goes on until a
// hero walks into it; then the monster's event ends, the link starter
// starts the exit and the exit finishes the stage.
TEST_F(SampleFirstStage, TheMonsterGoneOpensTheExitThatAHeroWalksInto)
{
    RunFrame(manager, stage);
    actors[0].removed = true;
    for (int frame = 0; frame < 120; ++frame) {
        RunFrame(manager, stage);
    }
    EXPECT_TRUE(stage.stageChanges.empty());
    hero.position = {0.0f, 0.0f, 150.0f};
    for (int frame = 0; frame < 3; ++frame) {
        RunFrame(manager, stage);
    }
    ASSERT_EQ(stage.stageChanges.size(), 1u);
    EXPECT_EQ(stage.stageChanges[0].target, 1);
    EXPECT_EQ(stage.stageChanges[0].ms, 2000);
}

}  // namespace

}  // namespace sample_event_table_test
