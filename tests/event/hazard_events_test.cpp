// The toxic gas, the hero zone and the moving object, frame by frame
// through the manager over the fake stage; the hero zone finds the ground
// in the sample data's first world, the moving object moves a real clump.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "event/event_blocks.h"
#include "event/event_objects.h"
#include "event_test_support.h"
#include "rpworld.h"
#include "tests/stage/stage_test_support.h"

namespace hazard_events_test {

namespace {

using event_test::BoundEntry;
using event_test::FakeActor;
using event_test::FakeStage;
using event_test::MakeManager;
using event_test::PostedMessage;
using event_test::RunFrame;
using event_test::SquareEntry;
using event_test::StageLinks;
using event_test::TakePosted;

constexpr float kDt = 1.0f / 60.0f;

// ---- toxic gas ----

EventTableEntry GasEntry(int32_t id, int32_t param)
{
    EventTableEntry e = SquareEntry(id, 10.0f);
    e.param = param;
    e.maxOccur = 1000;
    e.label = "none";
    return e;
}

struct GasStage {
    FakeStage stage;
    FakeActor hero;
    std::unique_ptr<StageLinks> links;
    std::unique_ptr<CSEventManager> manager;
    CSToxicGasEvent *gas = nullptr;

    GasStage(int32_t id, int32_t param, int32_t stageId)
    {
        hero.aiType = 0;
        stage.heroes.push_back(&hero);
        links = std::make_unique<StageLinks>(&stage);
        manager = MakeManager({GasEntry(id, param)});
        manager->LoadStageEvents(stageId, 1);
        gas = static_cast<CSToxicGasEvent *>(manager->FindEvent(id));
    }
    int32_t Hurts()
    {
        int32_t hurts = 0;
        for (const PostedMessage &m : TakePosted(stage)) {
            EXPECT_EQ(m.kind, 2);
            EXPECT_EQ(m.word[1], 0x20010);
            hurts += m.target == &hero ? 1 : 0;
        }
        return hurts;
    }
};

TEST(ToxicGas, DefaultsAndTheThreeGroupsOfParam)
{
    GasStage plain(79180200, 999999, 2180000);
    EXPECT_FLOAT_EQ(plain.gas->StartInterval, 0.5f);
    EXPECT_FLOAT_EQ(plain.gas->HurtWindow, 3.0f);
    EXPECT_EQ(plain.gas->Damage, 1);
    EXPECT_EQ(plain.gas->Outlets->count, 3);
    EXPECT_STREQ(plain.gas->File1, "3517900.ZUS");
    EXPECT_STREQ(plain.gas->File2, "3517901.ZUS");
    GasStage coded(79180200, 5030007, 2180000);
    EXPECT_FLOAT_EQ(coded.gas->StartInterval, 0.5f);
    EXPECT_FLOAT_EQ(coded.gas->HurtWindow, 3.0f);
    EXPECT_EQ(coded.gas->Damage, 7);
    GasStage slow(79180200, 12045003, 2180000);
    EXPECT_FLOAT_EQ(slow.gas->StartInterval, 1.2f);
    EXPECT_FLOAT_EQ(slow.gas->HurtWindow, 4.5f);
    EXPECT_EQ(slow.gas->Damage, 3);
}

TEST(ToxicGas, SixOutletsRunAsTwoChains)
{
    GasStage s(79203100, 0, 2200000);
    ASSERT_EQ(s.gas->Outlets->count, 6);
    s.hero.position = {100.0f, 0.0f, 100.0f};  // away from the gas
    // An outlet's start shows as its mark; the last of a chain clears every
    // mark at once (the chain begins again), which shows as the marks gone.
    std::vector<std::vector<int>> startedAt(6);
    std::vector<int> cleared;
    uint8_t before[6] = {};
    for (int frame = 0; frame < 150; ++frame) {
        RunFrame(*s.manager, s.stage, kDt);
        bool any = false;
        for (int i = 0; i < 6; ++i) {
            if (s.gas->Outlets->started[i] != 0 && before[i] == 0) {
                startedAt[static_cast<size_t>(i)].push_back(frame);
            }
            any = any || s.gas->Outlets->started[i] != 0;
        }
        if (!any && before[1] != 0) {
            cleared.push_back(frame);
        }
        std::copy(s.gas->Outlets->started, s.gas->Outlets->started + 6, before);
    }
    ASSERT_GE(startedAt[0].size(), 2u) << "the chain begins again";
    ASSERT_FALSE(startedAt[3].empty());
    ASSERT_FALSE(startedAt[1].empty());
    ASSERT_FALSE(startedAt[4].empty());
    ASSERT_FALSE(cleared.empty());
    EXPECT_EQ(startedAt[0][0], startedAt[3][0]) << "each chain's first outlet starts at once";
    EXPECT_EQ(startedAt[1][0], startedAt[4][0]) << "the two chains keep step";
    EXPECT_NEAR(startedAt[1][0] - startedAt[0][0], 30, 1) << "0.5 s later";
    EXPECT_NEAR(cleared[0] - startedAt[1][0], 30, 1) << "the third outlets 0.5 s after the second";
    EXPECT_EQ(startedAt[0][1], cleared[0] + 1) << "and the first again on the next frame";
}

TEST(ToxicGas, HurtsAtMostOncePerHalfSecondInsideTheAreaOnly)
{
    GasStage s(79180200, 0, 2180000);
    s.hero.position = {100.0f, 0.0f, 100.0f};
    for (int frame = 0; frame < 120; ++frame) {
        RunFrame(*s.manager, s.stage, kDt);
    }
    EXPECT_EQ(s.Hurts(), 0) << "outside the area";
    s.hero.position = {0.0f, 0.0f, 0.0f};
    std::vector<int> hurtFrames;
    for (int frame = 0; frame < 180; ++frame) {
        RunFrame(*s.manager, s.stage, kDt);
        if (s.Hurts() > 0) {
            hurtFrames.push_back(frame);
        }
    }
    ASSERT_GE(hurtFrames.size(), 4u);
    for (size_t i = 1; i < hurtFrames.size(); ++i) {
        EXPECT_GE(hurtFrames[i] - hurtFrames[i - 1], 30) << "at most once per 0.5 s";
    }
    EXPECT_LE(hurtFrames[1] - hurtFrames[0], 32) << "and again as soon as the half second is up";
}

TEST(ToxicGas, OutOfViewTheWindowClosesAtOnce)
{
    GasStage s(79180200, 0, 2180000);
    s.hero.position = {0.0f, 0.0f, 0.0f};
    RunFrame(*s.manager, s.stage, kDt);
    RunFrame(*s.manager, s.stage, kDt);
    EXPECT_EQ(s.gas->Emitting, 1);
    EXPECT_GT(s.Hurts(), 0);
    s.stage.inView = false;
    for (int frame = 0; frame < 60; ++frame) {
        RunFrame(*s.manager, s.stage, kDt);
        EXPECT_EQ(s.gas->Emitting, 0);
        EXPECT_EQ(s.gas->HurtTimer, 0.0f);
        EXPECT_EQ(s.gas->CheckCondition(kDt), 0);
    }
    EXPECT_EQ(s.Hurts(), 0) << "no gas out of view";
    s.stage.inView = true;
    for (int frame = 0; frame < 32 && s.gas->Emitting == 0; ++frame) {
        RunFrame(*s.manager, s.stage, kDt);
    }
    EXPECT_EQ(s.gas->Emitting, 1) << "in view the chain goes on within its interval";
}

TEST(ToxicGas, OneSoundPerWindowThoughTheStepRunsTwice)
{
    GasStage s(79180200, 0, 2180000);
    s.hero.position = {0.0f, 0.0f, 0.0f};
    int windows = 0;
    uint8_t emitting = 0;
    for (int frame = 0; frame < 60 * 12; ++frame) {
        RunFrame(*s.manager, s.stage, kDt);
        windows += s.gas->Emitting != 0 && emitting == 0 ? 1 : 0;
        emitting = s.gas->Emitting;
    }
    const auto sounds = std::count(s.stage.sounds.begin(), s.stage.sounds.end(), 6500220);
    EXPECT_GE(windows, 3);
    EXPECT_EQ(sounds, windows);
}

// ---- the hero zone ----

class HeroZone : public stagetest::StageEngineTest {
protected:
    void SetUp() override
    {
        StageEngineTest::SetUp();
        world = stagetest::ReadSampleWorld(1);
        ASSERT_NE(world, nullptr) << "no sample data: build the sample-data target";
        hero.aiType = 0;
        hero.position = {-20.0f, 0.0f, -40.0f};
        hero.facing = {0.0f, 0.0f, 1.0f};
        stage.heroes.push_back(&hero);
        links = std::make_unique<StageLinks>(&stage);
        g_world = world;
        g_eventLinks.world = [] { return g_world; };
        EventTableEntry zone = SquareEntry(79230300, 30.0f);
        for (RwV3d &corner : zone.corners) {
            corner.x += -20.0f;
            corner.z += -40.0f;
        }
        zone.maxOccur = 1000;
        manager = MakeManager({zone});
        manager->LoadStageEvents(2230000, 1);
        this->zone = static_cast<CSHeroZoneEvent *>(manager->FindEvent(79230300));
    }
    void TearDown() override
    {
        manager.reset();
        links.reset();
        RpWorldDestroy(world);
        StageEngineTest::TearDown();
    }
    void Frame()
    {
        RunFrame(*manager, stage, kDt);
        manager->Render();
    }

    static RpWorld *g_world;
    RpWorld *world = nullptr;
    FakeStage stage;
    FakeActor hero;
    std::unique_ptr<StageLinks> links;
    std::unique_ptr<CSEventManager> manager;
    CSHeroZoneEvent *zone = nullptr;
};
RpWorld *HeroZone::g_world = nullptr;

TEST_F(HeroZone, FourEffectsAFifthOfASecondApartThenTheHitThenTheRest)
{
    ASSERT_EQ(zone->HeroCount, 1);
    hero.knockedDown = true;
    std::vector<int> effectFrames;
    std::vector<int> hitFrames;
    for (int frame = 0; frame < 60 * 4; ++frame) {
        const size_t before = stage.downHits.size();
        Frame();
        if (stage.downHits.size() > before) {
            effectFrames.push_back(frame);
        }
        for (const PostedMessage &m : TakePosted(stage)) {
            EXPECT_EQ(m.kind, 2);
            EXPECT_EQ(m.word[1], 0x20000);
            EXPECT_EQ(m.word[2], 5);
            hitFrames.push_back(frame);
        }
    }
    ASSERT_GE(effectFrames.size(), 5u);
    for (int i = 1; i < 4; ++i) {
        EXPECT_NEAR(effectFrames[i] - effectFrames[i - 1], 12, 1) << "0.2 s apart";
    }
    ASSERT_EQ(hitFrames.size(), 2u) << "a hit every four effects and a rest";
    EXPECT_EQ(hitFrames[0], effectFrames[3]) << "the hit after the fourth, from the draw pass of that frame";
    EXPECT_GE(effectFrames[4] - effectFrames[3], 120) << "a rest of 2 s";
    EXPECT_LE(effectFrames[4] - effectFrames[3], 120 + 13);
    EXPECT_EQ(hitFrames[1], effectFrames[7]);
    // The effects walk up to the hero: 12, 9, 6 behind it, then at its feet.
    EXPECT_NEAR(stage.downHits[0].z, -52.0f, 0.01f);
    EXPECT_NEAR(stage.downHits[1].z, -49.0f, 0.01f);
    EXPECT_NEAR(stage.downHits[2].z, -46.0f, 0.01f);
    EXPECT_NEAR(stage.downHits[3].z, -40.0f, 0.01f);
    EXPECT_NEAR(stage.downHits[0].y, 0.0f, 0.05f) << "on the ground";
    EXPECT_EQ(zone->CheckCondition(kDt), 0) << "the event itself never occurs";
}

TEST_F(HeroZone, NothingOutsideStateFourOrOutsideTheArea)
{
    for (int frame = 0; frame < 120; ++frame) {
        Frame();
    }
    EXPECT_TRUE(stage.downHits.empty()) << "not in state 4";
    hero.position = {200.0f, 0.0f, 200.0f};
    Frame();  // the area test that follows the condition sees the hero leave
    hero.knockedDown = true;
    for (int frame = 0; frame < 120; ++frame) {
        Frame();
    }
    EXPECT_TRUE(stage.downHits.empty()) << "outside the area";
    EXPECT_TRUE(stage.posted.empty());
}

// ---- the moving object ----

using MoveObject = stagetest::StageEngineTest;

TEST_F(MoveObject, CoversItsDisplacementInExactlyItsDuration)
{
    {
        FakeStage stage;
        FakeActor hero;
        stage.heroes.push_back(&hero);
        StageLinks links(&stage);
        EventTableEntry entry = BoundEntry(79170400, 0, 0, 0);  // condition 400: its actors (none) gone
        entry.position = {10.0f, 2.0f, -30.0f};
        auto manager = MakeManager({entry});
        manager->LoadStageEvents(2170000, 1);
        auto *move = static_cast<CSMoveObjectEvent *>(manager->FindEvent(79170400));
        ASSERT_FLOAT_EQ(move->Duration, 5.0f);
        RpClump *clump = RpClumpCreate();
        RwFrame *frame = RwFrameCreate();
        RpClumpSetFrame(clump, frame);
        RwFrameGetMatrix(frame)->pos = entry.position;
        FreeEventBlock(move->Models);  // "none": an empty slot
        move->Models = NewEventBlock<RpClump *>(1);
        move->Models[0] = clump;
        move->ModelNum = 1;
        int frames = 0;
        while (move->OccurCount == 0 && frames < 400) {
            RunFrame(*manager, stage, kDt);
            ++frames;
        }
        EXPECT_EQ(frames, 300) << "5 s at 60 frames a second";
        const RwV3d &at = RwFrameGetMatrix(frame)->pos;
        EXPECT_NEAR(at.x, 0.81f, 1e-3f);
        EXPECT_NEAR(at.y, 95.63f, 1e-3f);
        EXPECT_NEAR(at.z, -255.82f, 1e-3f);
        manager->Release();
    }
}

}  // namespace

}  // namespace hazard_events_test
