// The trigger test and the event end: circle and quadrilateral at their
// boundaries, height ignored, frame and action tests, confirm presses,
// the counts and links of EndEvent.
#include <gtest/gtest.h>

#include "app/game_system.h"
#include "app/input.h"
#include "event/event_objects.h"
#include "event_test_support.h"

namespace event_trigger_test {

namespace {

using namespace event_test;

class TriggerTest : public ::testing::Test {
protected:
    TriggerTest() : links_(&stage_) { stage_.heroes = {&hero_}; }

    // One frame test of `record` with the hero at `at`.
    void Test(CSEventManager &manager, EventRecord *record, RwV3d at, int32_t mode = kTriggerFrame)
    {
        hero_.position = at;
        manager.SetPlayerPose(0, AsActor(&hero_));
        manager.TestTrigger(record, 0.016f, mode, 0);
    }

    FakeStage stage_;
    StageLinks links_;
    FakeActor hero_;
};

TEST_F(TriggerTest, CircleRimIsInsideAndHeightIsIgnored)
{
    auto manager = MakeManager({CircleEntry(79012400, {10.0f, 5.0f, 0.0f}, 3.0f)});
    manager->LoadStageEvents(2010000, 1);
    EventRecord *r = manager->Records()[0];
    Test(*manager, r, {13.0f, -50.0f, 0.0f});
    EXPECT_EQ(r->InArea[0], 1);
    EXPECT_FLOAT_EQ(r->CenterDist[0], 3.0f);
    EXPECT_EQ(r->IsOccur, 1);
    r->IsOccur = 0;
    Test(*manager, r, {13.01f, 0.0f, 0.0f});
    EXPECT_EQ(r->InArea[0], 0);
    EXPECT_EQ(r->IsOccur, 0);
}

TEST_F(TriggerTest, QuadrilateralCornersEdgesAndOutside)
{
    EventTableEntry square = SquareEntry(79012400, 10.0f);
    square.corners[0].x = -10.0f;
    auto manager = MakeManager({square});
    manager->LoadStageEvents(2010000, 1);
    EventRecord *r = manager->Records()[0];
    const RwV3d inside[] = {{0.0f, 0.0f, 0.0f},   {-10.0f, 0.0f, -10.0f}, {10.0f, 0.0f, 10.0f},
                            {10.0f, 0.0f, 0.0f},  {0.0f, 0.0f, -10.0f},   {3.3f, 99.0f, -7.1f},
                            {-9.99f, -9.0f, 9.99f}};
    for (const RwV3d &at : inside) {
        Test(*manager, r, at);
        EXPECT_EQ(r->InArea[0], 1) << at.x << " " << at.z;
        EXPECT_GE(r->AngleSum[0], 359.5f);
    }
    const RwV3d outside[] = {{10.2f, 0.0f, 0.0f}, {0.0f, 0.0f, -10.5f}, {50.0f, 0.0f, 50.0f}, {-11.0f, 0.0f, 11.0f}};
    for (const RwV3d &at : outside) {
        Test(*manager, r, at);
        EXPECT_EQ(r->InArea[0], 0) << at.x << " " << at.z;
        EXPECT_LT(r->AngleSum[0], 359.5f);
    }
}

TEST_F(TriggerTest, NoAreaOccursOnTheConditionAloneAndACircleWithCornersIsSkipped)
{
    EventTableEntry both = CircleEntry(79012400, {0.0f, 0.0f, 0.0f}, 5.0f);
    both.corners[2].x = 1.0f;
    auto manager = MakeManager({BareEntry(79010400), both});
    manager->LoadStageEvents(2010000, 1);
    EventRecord *bare = manager->Records()[0];
    Test(*manager, bare, {500.0f, 0.0f, 0.0f});
    EXPECT_EQ(bare->IsOccur, 1);  // no bound actors: all removed
    EventRecord *skipped = manager->Records()[1];
    Test(*manager, skipped, {0.0f, 0.0f, 0.0f});
    EXPECT_EQ(skipped->InArea[0], 0);
    EXPECT_EQ(skipped->IsOccur, 0);
}

TEST_F(TriggerTest, PlayerMaskAndPlayerSlots)
{
    EventTableEntry second = SquareEntry(79012400);
    second.playerMask = 2;
    EventTableEntry none = SquareEntry(79021100);
    none.playerMask = 0;
    auto manager = MakeManager({second});
    manager->LoadStageEvents(2010000, 1);
    Test(*manager, manager->Records()[0], {0.0f, 0.0f, 0.0f});
    EXPECT_EQ(manager->Records()[0]->IsOccur, 0);  // the hero plays slot 0
    hero_.player = 1;
    Test(*manager, manager->Records()[0], {0.0f, 0.0f, 0.0f});
    EXPECT_EQ(manager->Records()[0]->IsOccur, 1);

    auto masked = MakeManager({none});
    masked->LoadStageEvents(2020000, 1);
    Test(*masked, masked->Records()[0], {0.0f, 0.0f, 0.0f});
    EXPECT_EQ(masked->Records()[0]->IsOccur, 0);
}

TEST_F(TriggerTest, ActionAndFrameTestsAndConfirmPresses)
{
    auto manager = MakeManager({SquareEntry(79012400)});
    manager->LoadStageEvents(2010000, 1);
    EventRecord *r = manager->Records()[0];
    hero_.player = 1;
    Test(*manager, r, {0.0f, 0.0f, 0.0f}, kTriggerAction);
    EXPECT_EQ(r->ActionReq[0], 1);  // the byte of the pressing slot; the other keeps its value
    EXPECT_EQ(r->ActionReq[1], 0);
    EXPECT_EQ(r->IsOccur, 1);  // a condition that ignores ActionReq occurs from an action test too
    manager->TestTrigger(r, 0.016f, kTriggerAction, 1);
    EXPECT_EQ(r->ActionReq[1], 1);
    MouseButtonState = 1;
    manager->TestTrigger(r, 0.016f, kTriggerAction, 0);
    EXPECT_EQ(r->PressCount[0], 0u);  // action tests count no presses
    EXPECT_EQ(r->ActionReq[0], 1);
    manager->TestTrigger(r, 0.016f, kTriggerFrame, 0);
    EXPECT_EQ(r->PressCount[0], 1u);
    EXPECT_EQ(r->PressCount[1], 1u);
    EXPECT_EQ(r->ActionReq[0], 0);
    EXPECT_EQ(r->ActionReq[1], 0);
    MouseButtonState = 0;
    manager->TestTrigger(r, 0.016f, kTriggerFrame, 0);
    EXPECT_EQ(r->PressCount[0], 1u);
}

TEST_F(TriggerTest, ConfirmPressesComeFromPadZerosCircleOrStart)
{
    auto manager = MakeManager({SquareEntry(79012400)});
    manager->LoadStageEvents(2010000, 1);
    EventRecord *r = manager->Records()[0];
    r->IsOccur = 1;
    CSGameSystem system;
    CSGameSystem *previous = g_pGameSystem;
    g_pGameSystem = &system;
    PadState *pads = system.padStates[kPadStateBlock];
    const auto press = [&](int32_t pad, int32_t button, uint8_t state) {
        pads[pad] = PadState{};
        pads[pad].buttons[button] = state;
        manager->TestTrigger(r, 0.016f, kTriggerFrame, 0);
        pads[pad] = PadState{};
    };
    press(0, kPadCircle, kPadPressedState);
    press(0, kPadStart, kPadPressedState);
    EXPECT_EQ(r->PressCount[0], 2u);
    press(0, kPadCircle, kPadHeldState);  // held, not pressed this frame
    press(0, kPadCross, kPadPressedState);
    press(1, kPadCircle, kPadPressedState);  // not the controlling pad
    EXPECT_EQ(r->PressCount[0], 2u);
    EXPECT_EQ(r->PressCount[1], 2u);
    g_pGameSystem = previous;
}

TEST_F(TriggerTest, ARecordWithoutRequiredHeroesStillKeepsItsAreaBytes)
{
    // CharNum 0: the test writes the hero's area byte all the same, and the
    // event occurs on its condition wherever the heroes stand.
    EventTableEntry anyone = SquareEntry(79012400);
    anyone.charNum = 0;
    auto manager = MakeManager({anyone});
    manager->LoadStageEvents(2010000, 1);
    EventRecord *r = manager->Records()[0];
    ASSERT_EQ(r->CharNum, 0);
    Test(*manager, r, {0.0f, 0.0f, 0.0f});
    EXPECT_EQ(r->InArea[0], 1);
    EXPECT_EQ(r->IsOccur, 1);
    r->IsOccur = 0;
    Test(*manager, r, {80.0f, 0.0f, 0.0f});
    EXPECT_EQ(r->InArea[0], 0);
    EXPECT_EQ(r->CharNumMet, 1);
    EXPECT_EQ(r->IsOccur, 1);
}

TEST_F(TriggerTest, AHeroWhoLeftKeepsHisLastInAreaByte)
{
    EventTableEntry both = SquareEntry(79012400);
    both.charNum = 2;
    auto manager = MakeManager({both});
    FakeActor second;
    second.player = 1;
    stage_.heroes = {&hero_, &second};
    manager->LoadStageEvents(2010000, 2);
    EventRecord *r = manager->Records()[0];
    manager->SetPlayerPose(1, AsActor(&second));
    Test(*manager, r, {50.0f, 0.0f, 0.0f});
    EXPECT_EQ(r->InArea[1], 1);
    stage_.heroes = {&hero_};
    second.position = {90.0f, 0.0f, 0.0f};
    Test(*manager, r, {0.0f, 0.0f, 0.0f});
    EXPECT_EQ(r->InArea[1], 1);
    EXPECT_EQ(r->IsOccur, 1);
}

TEST_F(TriggerTest, EndEventCountsLinksAndHoldsUnlimitedEventsAtOne)
{
    EventTableEntry once = BareEntry(79010400);
    once.linkId = 79012500;
    EventTableEntry forever = BareEntry(79010500);
    forever.maxOccur = 1000;
    auto manager = MakeManager({once, BareEntry(79012500), forever});
    manager->LoadStageEvents(2010000, 1);
    EventRecord *r = manager->Records()[0];
    EventRecord *link = manager->Records()[1];
    r->IsOccur = 1;
    manager->EndEvent(r);
    EXPECT_EQ(r->IsOccur, 0);
    EXPECT_EQ(r->OccurCount, 1);
    EXPECT_EQ(link->LinkEndNum, 1);
    manager->EndEvent(r);
    EXPECT_EQ(r->OccurCount, 2);
    EXPECT_EQ(link->LinkEndNum, 2);
    // MaxOccur 1 is spent: the pass no longer tests it.
    r->OccurCount = 1;
    RunFrame(*manager, stage_);
    EXPECT_EQ(r->IsOccur, 0);
    EXPECT_EQ(r->OccurCount, 1);
    EventRecord *unlimited = manager->Records()[2];
    for (int i = 0; i < 5; ++i) {
        RunFrame(*manager, stage_);
    }
    EXPECT_EQ(unlimited->OccurCount, 1);
    EXPECT_EQ(stage_.trace.back(), "79010500 end_at_once ended 1");
}

}  // namespace

}  // namespace event_trigger_test
