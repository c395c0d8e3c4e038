// Tests of the animation toolkit: the scheme registry, the animation stream,
// and the interpolator's steps, wraps and callbacks against a plain
// piecewise-linear reference, and its refusal of animations it cannot play.
#include "rwsdk/tool/anim/anim_test_support.h"

namespace rtanim_test {

namespace {

using animtest::AnimTest;
using animtest::Key;

// Node 0 moves along x: 0 at t=0, 10 at t=1, 30 at t=3. Node 1 along y:
// 0 at t=0, 20 at t=2, 0 at t=3.
std::vector<Key> TwoNodeKeys()
{
    return {{0, 0.0f, 0, {0, 0, 0}},  {1, 0.0f, 0, {0, 0, 0}},  {0, 1.0f, 0, {10, 0, 0}},
            {1, 2.0f, 0, {0, 20, 0}}, {0, 3.0f, 0, {30, 0, 0}}, {1, 3.0f, 0, {0, 0, 0}}};
}

RwReal ReferenceX(RwReal t) { return t <= 1.0f ? 10.0f * t : 10.0f + 10.0f * (t - 1.0f); }
RwReal ReferenceY(RwReal t) { return t <= 2.0f ? 10.0f * t : 20.0f - 20.0f * (t - 2.0f); }

void ExpectPose(RtAnimInterpolator *interpolator, RwReal t)
{
    auto *n0 = static_cast<RpHAnimInterpFrame *>(RtAnimInterpolatorGetNodeRecord(interpolator, 0));
    auto *n1 = static_cast<RpHAnimInterpFrame *>(RtAnimInterpolatorGetNodeRecord(interpolator, 1));
    EXPECT_NEAR(n0->t.x, ReferenceX(t), 1e-4f) << "at " << t;
    EXPECT_NEAR(n1->t.y, ReferenceY(t), 1e-4f) << "at " << t;
}

class InterpolatorTest : public AnimTest {
protected:
    void SetUp() override
    {
        AnimTest::SetUp();
        animation = animtest::MakeAnimation(2, 3.0f, TwoNodeKeys());
        interpolator = RtAnimInterpolatorCreate(2, sizeof(RpHAnimInterpFrame));
        ASSERT_NE(animation, nullptr);
        ASSERT_NE(interpolator, nullptr);
        ASSERT_TRUE(RtAnimInterpolatorSetCurrentAnim(interpolator, animation));
    }
    void TearDown() override
    {
        RtAnimInterpolatorDestroy(interpolator);
        RtAnimAnimationDestroy(animation);
        AnimTest::TearDown();
    }
    RtAnimAnimation *animation = nullptr;
    RtAnimInterpolator *interpolator = nullptr;
};

RwInt32 animCalls = 0;
RwInt32 loopCalls = 0;
RtAnimInterpolator *CountAnim(RtAnimInterpolator *i, void *) { return ++animCalls, i; }
RtAnimInterpolator *CountLoop(RtAnimInterpolator *i, void *) { return ++loopCalls, i; }
RtAnimInterpolator *CountAnimOnce(RtAnimInterpolator *, void *) { return ++animCalls, nullptr; }

TEST_F(InterpolatorTest, ForwardBackwardAndSetTimeGiveTheReferencePose)
{
    for (RwInt32 step = 1; step <= 11; ++step) {
        ASSERT_TRUE(RtAnimInterpolatorAddTime(interpolator, 0.25f));
        ExpectPose(interpolator, 0.25f * static_cast<RwReal>(step));
    }
    for (RwInt32 step = 10; step >= 0; --step) {
        ASSERT_TRUE(RtAnimInterpolatorSubTime(interpolator, 0.25f));
        ExpectPose(interpolator, 0.25f * static_cast<RwReal>(step));
    }
    for (RwReal t : {2.5f, 0.3f, 1.7f, 2.99f, 0.0f, 1.0f}) {
        ASSERT_TRUE(RtAnimInterpolatorSetCurrentTime(interpolator, t));
        EXPECT_FLOAT_EQ(interpolator->currentTime, t);
        ExpectPose(interpolator, t);
    }
}

TEST_F(InterpolatorTest, StepsWrapAtTheEndsAndFireTheCallbacks)
{
    RtAnimInterpolatorSetAnimCallBack(interpolator, CountAnim, -1.0f, nullptr);
    RtAnimInterpolatorSetAnimLoopCallBack(interpolator, CountLoop, nullptr);
    animCalls = loopCalls = 0;
    ASSERT_TRUE(RtAnimInterpolatorAddTime(interpolator, 3.0f));  // lands on the end: no wrap
    EXPECT_FLOAT_EQ(interpolator->currentTime, 3.0f);
    EXPECT_EQ(loopCalls, 0);
    ASSERT_TRUE(RtAnimInterpolatorAddTime(interpolator, 7.5f));  // several lengths at once
    EXPECT_NEAR(interpolator->currentTime, 1.5f, 1e-5f);
    ExpectPose(interpolator, 1.5f);
    EXPECT_EQ(animCalls, 1);
    EXPECT_EQ(loopCalls, 1);
    ASSERT_TRUE(RtAnimInterpolatorSubTime(interpolator, 2.0f));  // backwards past the start
    EXPECT_NEAR(interpolator->currentTime, 2.5f, 1e-5f);
    ExpectPose(interpolator, 2.5f);
    EXPECT_EQ(loopCalls, 2);
}

TEST_F(InterpolatorTest, NonPositiveStepsChangeNothingAndTimedCallbackFiresOnce)
{
    ASSERT_TRUE(RtAnimInterpolatorAddTime(interpolator, 0.5f));
    RtAnimInterpolatorSetAnimCallBack(interpolator, CountAnimOnce, 1.0f, nullptr);
    animCalls = 0;
    EXPECT_TRUE(RtAnimInterpolatorAddTime(interpolator, 0.0f));
    EXPECT_TRUE(RtAnimInterpolatorAddTime(interpolator, -1.0f));
    EXPECT_FLOAT_EQ(interpolator->currentTime, 0.5f);
    ASSERT_TRUE(RtAnimInterpolatorAddTime(interpolator, 0.75f));  // crosses 1.0
    EXPECT_EQ(animCalls, 1);
    EXPECT_EQ(interpolator->pAnimCallBack, nullptr);  // a null result unregisters
    ASSERT_TRUE(RtAnimInterpolatorSetCurrentTime(interpolator, 0.5f));
    ASSERT_TRUE(RtAnimInterpolatorAddTime(interpolator, 1.0f));
    EXPECT_EQ(animCalls, 1);
}

TEST_F(InterpolatorTest, HugeAndEndlessStepsFinish)
{
    ASSERT_TRUE(RtAnimInterpolatorAddTime(interpolator, 1e30f));
    EXPECT_GE(interpolator->currentTime, 0.0f);
    EXPECT_LE(interpolator->currentTime, 3.0f);
    ASSERT_TRUE(RtAnimInterpolatorSubTime(interpolator, 1e30f));
    EXPECT_GE(interpolator->currentTime, 0.0f);
    EXPECT_LE(interpolator->currentTime, 3.0f);
    RwReal before = interpolator->currentTime;
    EXPECT_TRUE(RtAnimInterpolatorAddTime(interpolator, INFINITY));
    EXPECT_TRUE(RtAnimInterpolatorAddTime(interpolator, NAN));
    EXPECT_FLOAT_EQ(interpolator->currentTime, before);
}

TEST_F(AnimTest, AnimationsThatCannotBePlayedAreRefused)
{
    RtAnimInterpolator *interpolator = RtAnimInterpolatorCreate(2, sizeof(RpHAnimInterpFrame));
    RtAnimInterpolator *small = RtAnimInterpolatorCreate(2, 16);
    for (RwReal duration : {0.0f, -1.0f, NAN}) {
        RtAnimAnimation *animation = animtest::MakeAnimation(2, duration, TwoNodeKeys());
        EXPECT_FALSE(RtAnimInterpolatorSetCurrentAnim(interpolator, animation)) << duration;
        RtAnimAnimationDestroy(animation);
    }
    RtAnimAnimation *good = animtest::MakeAnimation(2, 3.0f, TwoNodeKeys());
    EXPECT_FALSE(RtAnimInterpolatorSetCurrentAnim(small, good));  // records larger than reserved
    // One keyframe for node 1 only: node 1 has no second keyframe.
    RtAnimAnimation *thin = animtest::MakeAnimation(
        2, 3.0f, {{0, 0.0f, 0, {0, 0, 0}}, {1, 0.0f, 0, {0, 0, 0}}, {0, 1.0f, 0, {1, 0, 0}}});
    EXPECT_FALSE(RtAnimInterpolatorSetCurrentAnim(interpolator, thin));
    // A later keyframe that links forwards would send the backward walk astray.
    auto *frames = static_cast<RpHAnimStdKeyFrame *>(good->pFrames);
    frames[4].prevFrame = 5;
    EXPECT_FALSE(RtAnimInterpolatorSetCurrentAnim(interpolator, good));
    frames[4].prevFrame = 2;
    frames[2].prevFrame = 1;  // node 0's second keyframe claims node 1's first
    EXPECT_FALSE(RtAnimInterpolatorSetCurrentAnim(interpolator, good));
    EXPECT_EQ(interpolator->pCurrentAnim, nullptr);
    RtAnimAnimationDestroy(thin);
    RtAnimAnimationDestroy(good);
    RtAnimInterpolatorDestroy(small);
    RtAnimInterpolatorDestroy(interpolator);
    rwtest::TakeError();
}

TEST_F(AnimTest, KeyframesWhosePredecessorNoNodeHoldsAreSkippedWithoutHanging)
{
    // Keyframe 4 names keyframe 0 as predecessor, but node 0 has moved on to
    // keyframe 2: the node search must give up after one round.
    RtAnimAnimation *animation = animtest::MakeAnimation(2, 3.0f, TwoNodeKeys());
    auto *frames = static_cast<RpHAnimStdKeyFrame *>(animation->pFrames);
    frames[4].prevFrame = 0;
    RtAnimInterpolator *interpolator = RtAnimInterpolatorCreate(2, sizeof(RpHAnimInterpFrame));
    ASSERT_TRUE(RtAnimInterpolatorSetCurrentAnim(interpolator, animation));
    EXPECT_TRUE(RtAnimInterpolatorSetCurrentTime(interpolator, 2.5f));
    EXPECT_TRUE(RtAnimInterpolatorSetCurrentTime(interpolator, 0.5f));
    RtAnimInterpolatorDestroy(interpolator);
    RtAnimAnimationDestroy(animation);
}

TEST_F(AnimTest, BlendAndCopyWorkNodeByNode)
{
    RtAnimAnimation *animation = animtest::MakeAnimation(2, 3.0f, TwoNodeKeys());
    RtAnimInterpolator *a = RtAnimInterpolatorCreate(2, sizeof(RpHAnimInterpFrame));
    RtAnimInterpolator *b = RtAnimInterpolatorCreate(2, sizeof(RpHAnimInterpFrame));
    RtAnimInterpolator *out = RtAnimInterpolatorCreate(2, sizeof(RpHAnimInterpFrame));
    RtAnimInterpolator *wide = RtAnimInterpolatorCreate(3, sizeof(RpHAnimInterpFrame));
    ASSERT_TRUE(RtAnimInterpolatorSetCurrentAnim(a, animation));
    ASSERT_TRUE(RtAnimInterpolatorSetCurrentAnim(b, animation));
    ASSERT_TRUE(RtAnimInterpolatorSetCurrentAnim(out, animation));
    RtAnimInterpolatorSetCurrentTime(a, 1.0f);
    RtAnimInterpolatorSetCurrentTime(b, 2.0f);
    ASSERT_TRUE(RtAnimInterpolatorBlend(out, a, b, 0.25f));
    auto *n0 = static_cast<RpHAnimInterpFrame *>(RtAnimInterpolatorGetNodeRecord(out, 0));
    EXPECT_NEAR(n0->t.x, 10.0f + 0.25f * 10.0f, 1e-5f);
    ASSERT_TRUE(RtAnimInterpolatorCopy(out, b));
    EXPECT_NEAR(n0->t.x, 20.0f, 1e-5f);
    // Sources with fewer nodes than the destination would be over-read.
    EXPECT_FALSE(RtAnimInterpolatorCopy(wide, b));
    rwtest::TakeError();
    for (RtAnimInterpolator *i : {a, b, out, wide}) {
        RtAnimInterpolatorDestroy(i);
    }
    RtAnimAnimationDestroy(animation);
}

TEST_F(AnimTest, SchemeRegistryRefusesDuplicatesAndASeventeenth)
{
    RtAnimInterpolatorInfo scheme = *RpHAnimStdKeyFrameGetInterpInfo();
    EXPECT_EQ(RtAnimRegisterInterpolationScheme(&scheme), 0);  // id 1 is already there
    RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, static_cast<RwInt32>(rtANIMPLUGINID));
    EXPECT_EQ(error.errorCode, E_RT_ANIM_SCHEMEEXISTS);
    for (RwInt32 id = 2; id <= rtANIMMAXSCHEMES; ++id) {
        scheme.typeID = id;
        ASSERT_EQ(RtAnimRegisterInterpolationScheme(&scheme), 1) << id;
    }
    scheme.typeID = 100;
    EXPECT_EQ(RtAnimRegisterInterpolationScheme(&scheme), 0);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RT_ANIM_TOOMANYSCHEMES);
}

class AnimationStreamTest : public AnimTest {
protected:
    // Reads an animation from `bytes` the way the game does: one chunk
    // header of any type, then the body.
    RtAnimAnimation *Read(std::vector<RwUInt8> bytes, bool header)
    {
        RwMemoryDescriptor desc{};
        RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
        RwUInt32 type = 0;
        RwUInt32 length = 0;
        if (header) {
            RwStreamReadChunkHeader(stream, &type, &length, nullptr, nullptr);
        }
        RtAnimAnimation *animation = RtAnimAnimationStreamRead(stream);
        RwStreamClose(stream, nullptr);
        return animation;
    }
    animtest::Bytes Head(RwInt32 scheme, RwInt32 numFrames, RwReal duration)
    {
        animtest::Bytes b;
        b.U32(0x100).I32(scheme).I32(numFrames).U32(0).F32(duration);
        return b;
    }
};

TEST_F(AnimationStreamTest, WrittenAnimationReadsBackExactly)
{
    RtAnimAnimation *animation = animtest::MakeAnimation(2, 3.0f, TwoNodeKeys());
    std::vector<RwUInt8> bytes = animtest::WrittenBy([&](RwStream *s) { RtAnimAnimationStreamWrite(animation, s); });
    ASSERT_EQ(bytes.size(), static_cast<size_t>(RtAnimAnimationStreamGetSize(animation)));
    RtAnimAnimation *copy = Read(bytes, true);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->numFrames, animation->numFrames);
    EXPECT_FLOAT_EQ(copy->duration, 3.0f);
    EXPECT_EQ(std::memcmp(copy->pFrames, animation->pFrames, 36u * 6u), 0);
    RtAnimAnimationDestroy(copy);
    RtAnimAnimationDestroy(animation);
}

TEST_F(AnimationStreamTest, HostileBodiesAreRefused)
{
    EXPECT_EQ(Read(Head(7, 0, 1.0f).data, false), nullptr);  // unknown scheme
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RT_ANIM_SCHEMEUNKNOWN);
    animtest::Bytes badVersion;
    badVersion.U32(0x101).I32(1).I32(0).U32(0).F32(1.0f);
    EXPECT_EQ(Read(badVersion.data, false), nullptr);
    // A count far beyond the bytes present is refused before allocating.
    animtest::Bytes huge = Head(1, 0x7FFFFFFF, 1.0f);
    EXPECT_EQ(Read(huge.data, false), nullptr);
    animtest::Bytes many = Head(1, 1 << 21, 1.0f);
    EXPECT_EQ(Read(many.data, false), nullptr);
    EXPECT_EQ(Read(Head(1, -3, 1.0f).data, false), nullptr);
    // A previous-keyframe offset beyond the array.
    animtest::Bytes link = Head(1, 1, 1.0f);
    link.F32(0).F32(0).F32(0).F32(0).F32(1).F32(0).F32(0).F32(0).U32(36);
    EXPECT_EQ(Read(link.data, false), nullptr);
    // Short keyframe data.
    animtest::Bytes shortData = Head(1, 2, 1.0f);
    shortData.F32(0).F32(0);
    EXPECT_EQ(Read(shortData.data, false), nullptr);
    rwtest::TakeError();
}

}  // namespace

}  // namespace rtanim_test
