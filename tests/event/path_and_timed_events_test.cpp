// The bridges' path presets of stage 17 on the fake stage's dynamic effect
// slots, and event 79362800's result words driving 79361900 and 79362000.
#include <gtest/gtest.h>

#include "event/bridge_paths.h"
#include "event/event_objects.h"
#include "event_test_support.h"

namespace path_and_timed_events_test {

namespace {

using event_test::BoundEntry;
using event_test::FakeActor;
using event_test::FakeStage;
using event_test::MakeManager;
using event_test::RunFrame;
using event_test::StageLinks;

TEST(BridgePaths, EachPresetPlacesItsPieces)
{
    struct Expected {
        int32_t id;
        int32_t count;
        int32_t direction;
        float step;
        float angles[2];
    };
    const Expected expected[] = {
        {79170200, 19, 1, -10.0f, {0.0f, 180.0f}},  {79170500, 13, 1, -17.0f, {0.0f, 180.0f}},
        {79170800, 14, 2, 13.0f, {90.0f, 270.0f}},  {79171100, 13, 3, 14.0f, {0.0f, 180.0f}},
        {79171400, 13, 3, 15.0f, {0.0f, 180.0f}},   {79171700, 14, 2, 10.0f, {90.0f, 270.0f}},
    };
    for (const Expected &e : expected) {
        FakeStage stage;
        FakeActor hero;
        stage.heroes.push_back(&hero);
        StageLinks links(&stage, 32);
        EventTableEntry entry = BoundEntry(e.id, 0, 1000000, 0);  // a piece every 0.1 s
        auto manager = MakeManager({entry});
        manager->LoadStageEvents(2170000, 1);
        auto *bridge = static_cast<CSBridgeEvent *>(manager->FindEvent(e.id));
        const BridgePathPreset *preset = FindBridgePathPreset(e.id);
        ASSERT_NE(preset, nullptr) << e.id;
        ASSERT_EQ(bridge->PieceCount, e.count) << e.id;
        EXPECT_EQ(bridge->Values[0], preset->points[0].x) << e.id;
        EXPECT_EQ(bridge->Values[1], 1.0f) << e.id;
        EXPECT_EQ(bridge->Values[2], preset->points[0].z) << e.id;
        EXPECT_EQ(bridge->Values[3], static_cast<float>(e.direction)) << e.id;
        EXPECT_EQ(bridge->Values[4], e.step) << e.id;
        EXPECT_EQ(bridge->Values[5], static_cast<float>(e.count)) << e.id;
        for (int32_t i = 0; i < e.count; ++i) {
            EXPECT_EQ(bridge->Pieces[i].position.x, preset->points[i].x) << e.id << " piece " << i;
            EXPECT_EQ(bridge->Pieces[i].position.y, 1.0f);
            EXPECT_EQ(bridge->Pieces[i].position.z, preset->points[i].z) << e.id << " piece " << i;
        }
        // Built piece by piece, each turned to face its angle.
        for (int frame = 0; frame < 60 * 4 && bridge->PiecesStanding() < e.count; ++frame) {
            RunFrame(*manager, stage, 1.0f / 60.0f);
        }
        EXPECT_EQ(bridge->PiecesStanding(), e.count) << e.id;
        for (int32_t i = 0; i < e.count; ++i) {
            EXPECT_EQ(stage.dynTurns[static_cast<size_t>(bridge->Pieces[i].slot)], e.angles[i % 2]) << e.id;
        }
    }
}

// 79362800 counts down its linked event's actors: cleared gives 2 (for
// 79362000), the time running out first gives 1 (for 79361900).
TEST(TimedEvent, ResultWordsDriveTheTwoScenes)
{
    for (const bool cleared : {true, false}) {
        FakeStage stage;
        FakeActor hero;
        stage.heroes.push_back(&hero);
        FakeActor a;
        FakeActor b;
        a.group = b.group = 79362700;
        stage.actors = {&a, &b};
        StageLinks links(&stage);
        auto manager = MakeManager({BoundEntry(79362700, 2, 0, 0), BoundEntry(79362800, 0, 3, 79362700),
                                    BoundEntry(79361900, 0, 0, 79362800), BoundEntry(79362000, 0, 0, 79362800)});
        manager->LoadStageEvents(2360000, 1);
        auto *timed = static_cast<CSTimedEvent *>(manager->FindEvent(79362800));
        EventRecord *lost = manager->FindEvent(79361900);
        EventRecord *won = manager->FindEvent(79362000);
        EXPECT_EQ(timed->Code, 300);
        EXPECT_EQ(timed->Time, 3.0f);
        EXPECT_EQ(timed->CheckCondition(0.0f), 0) << "79362700 has not ended";
        manager->FindEvent(79362700)->OccurCount = 1;
        timed->IsOccur = 1;
        for (int frame = 0; frame < 60; ++frame) {
            timed->Update(1.0f / 60.0f);
        }
        EXPECT_EQ(timed->Mode, 0);
        EXPECT_EQ(lost->CheckCondition(0.0f) + won->CheckCondition(0.0f), 0);
        if (cleared) {
            a.removed = b.removed = true;
        }
        for (int frame = 0; frame < 150 && timed->IsOccur != 0; ++frame) {
            timed->Update(1.0f / 60.0f);
        }
        EXPECT_EQ(timed->IsOccur, 0);
        EXPECT_EQ(timed->Mode, cleared ? 2 : 1);
        EXPECT_EQ(won->CheckCondition(0.0f), cleared ? 1 : 0);
        EXPECT_EQ(lost->CheckCondition(0.0f), cleared ? 0 : 1);
    }
}

}  // namespace

}  // namespace path_and_timed_events_test
