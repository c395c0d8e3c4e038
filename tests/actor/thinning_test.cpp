// Distance thinning over scripted sequences of distances: the bands, the
// cadence of full-detail frames, the time handed over, forced frames and
// the skip of far actors without a model.
#include <gtest/gtest.h>

#include <vector>

#include "actor/ai_object.h"
#include "actor/thinning.h"

namespace thinning_test {

namespace {

const ThinRadii kRadii{150.0f, 250.0f, 350.0f, 400.0f};
constexpr float kDt = 0.016f;

// Runs `frames` frames at one distance, returns the frames (1-based, from
// `first`) that were full-detail frames and checks each time handed over.
std::vector<int> RunFrames(AiObject *actor, float distance, int frames, int first = 1)
{
    std::vector<int> full;
    for (int f = first; f < first + frames; ++f) {
        const float before = actor->accumulatedTime;
        const ThinDecision d = StepThinning(actor, distance, kRadii, 0, kDt);
        EXPECT_TRUE(d.runType);
        if (actor->fullDetailFrame) {
            full.push_back(f);
            // In the full band the frame's own time; after a run of thinned
            // frames the gathered time alone, without this frame's own.
            EXPECT_FLOAT_EQ(d.dt, distance < kRadii.r1 ? kDt : before) << "frame " << f;
            actor->accumulatedTime = 0.0f;  // the type's update clears it after acting
        } else {
            EXPECT_FLOAT_EQ(d.dt, before + kDt) << "frame " << f;
        }
    }
    return full;
}

TEST(Thinning, BandsByGroundDistanceForDrawnActors)
{
    AiObject a;
    a.drawn = true;
    EXPECT_EQ(ThinBandOf(a, 0.0f, kRadii, 0), kBandFull);
    EXPECT_EQ(ThinBandOf(a, 149.9f, kRadii, 0), kBandFull);
    EXPECT_EQ(ThinBandOf(a, 150.0f, kRadii, 0), kBandNear);
    EXPECT_EQ(ThinBandOf(a, 250.0f, kRadii, 0), kBandMiddle);
    EXPECT_EQ(ThinBandOf(a, 350.0f, kRadii, 0), kBandFar);
    EXPECT_EQ(ThinBandOf(a, 1000.0f, kRadii, 0), kBandFar);
    a.drawn = false;
    EXPECT_EQ(ThinBandOf(a, 10.0f, kRadii, 0), kBandFar);
}

TEST(Thinning, FlagsAndSceneModesKeepTheFullBand)
{
    for (int which = 0; which < 5; ++which) {
        AiObject a;
        bool *flags[5] = {&a.fullDetail, &a.eventHeld, &a.eventModel, &a.holdState, &a.forcedFullFrame};
        *flags[which] = true;
        EXPECT_EQ(ThinBandOf(a, 380.0f, kRadii, 0), kBandFull) << which;
    }
    AiObject b;
    b.drawn = true;
    for (int mode = 0; mode <= 8; ++mode) {
        const bool scene = mode == 2 || mode == 5 || mode == 6;
        EXPECT_EQ(ThinBandOf(b, 380.0f, kRadii, mode) == kBandFull, scene) << mode;
    }
}

TEST(Thinning, CadenceOfEachBand)
{
    struct Case {
        float distance;
        std::vector<int> full;
    };
    const Case cases[] = {
        {100.0f, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {200.0f, {9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 99, 108, 117, 126, 135, 144}},
        {300.0f, {26, 52, 78, 104, 130}},
        {390.0f, {71, 142}},
    };
    for (const Case &c : cases) {
        AiObject a;
        a.drawn = true;
        const int frames = c.distance < 150.0f ? 10 : 150;
        EXPECT_EQ(RunFrames(&a, c.distance, frames), c.full) << "distance " << c.distance;
    }
}

TEST(Thinning, ScriptedApproachCarriesTheRunAcrossBands)
{
    AiObject a;
    a.drawn = true;
    // Five thinned frames far away, then the middle band counts on from
    // there, then the near band; at the end the actor walks into the full band.
    EXPECT_TRUE(RunFrames(&a, 380.0f, 5, 1).empty());
    EXPECT_EQ(RunFrames(&a, 300.0f, 21, 6), (std::vector<int>{26}));
    EXPECT_EQ(a.thinnedFrames, 0);
    EXPECT_EQ(RunFrames(&a, 200.0f, 12, 27), (std::vector<int>{35}));
    EXPECT_FLOAT_EQ(a.accumulatedTime, 3 * kDt);
    const ThinDecision d = StepThinning(&a, 50.0f, kRadii, 0, kDt);
    EXPECT_TRUE(a.fullDetailFrame);
    EXPECT_FLOAT_EQ(d.dt, kDt);
    EXPECT_FLOAT_EQ(a.accumulatedTime, 0.0f);
}

TEST(Thinning, ForcedFrameTakesItsOwnTimeAndDropsTheGathered)
{
    AiObject a;
    a.drawn = true;
    RunFrames(&a, 300.0f, 10);
    EXPECT_FLOAT_EQ(a.accumulatedTime, 10 * kDt);
    a.forcedFullFrame = true;
    const ThinDecision d = StepThinning(&a, 300.0f, kRadii, 0, 0.02f);
    EXPECT_TRUE(d.runType);
    EXPECT_TRUE(a.fullDetailFrame);
    EXPECT_FLOAT_EQ(d.dt, 0.02f);
    EXPECT_FLOAT_EQ(a.accumulatedTime, 0.0f);
    a.forcedFullFrame = false;  // the pass clears it after the update
    // The run starts over.
    EXPECT_EQ(RunFrames(&a, 300.0f, 26, 1), (std::vector<int>{26}));
}

TEST(Thinning, FarUndrawnActorsWithoutModelAreSkippedAndTheirQueueCleared)
{
    AiObject a;
    a.ReceiveMessage(MSGData{1, kMsgSensing, nullptr, &a, {2, 0, 0}});
    a.ReceiveMessage(MSGData{1, kMsgHitActor, nullptr, &a, {0, 1, 3}});
    ThinDecision d = StepThinning(&a, 400.5f, kRadii, 0, kDt);
    EXPECT_FALSE(d.runType);
    EXPECT_FALSE(a.fullDetailFrame);
    EXPECT_EQ(a.msgCount, 0);
    // At the far distance itself it still runs, thinned.
    d = StepThinning(&a, 400.0f, kRadii, 0, kDt);
    EXPECT_TRUE(d.runType);
    // A forced frame or being drawn keeps it running beyond.
    a.forcedFullFrame = true;
    EXPECT_TRUE(StepThinning(&a, 900.0f, kRadii, 0, kDt).runType);
    a.forcedFullFrame = false;
    a.drawn = true;
    EXPECT_TRUE(StepThinning(&a, 900.0f, kRadii, 0, kDt).runType);
}

}  // namespace

}  // namespace thinning_test
