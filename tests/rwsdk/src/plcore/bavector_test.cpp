// Tests of the table square roots, vector lengths and normalisation, and
// the point and direction transforms with their installable routines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "rwcore.h"
#include "support/engine/engine_env.h"

namespace bavector_test {

namespace {

using rwtest::EngineTest;
using rwtest::TakeError;

RwUInt32 Bits(float f)
{
    RwUInt32 b;
    std::memcpy(&b, &f, 4);
    return b;
}

using FastSqrtTest = EngineTest;

TEST_F(FastSqrtTest, ExactAtPowersOfFourAndZero)
{
    EXPECT_EQ(Bits(RwFastSqrt(1.0f)), Bits(1.0f));
    EXPECT_EQ(Bits(RwFastSqrt(4.0f)), Bits(2.0f));
    EXPECT_EQ(Bits(RwFastSqrt(0.25f)), Bits(0.5f));
    EXPECT_EQ(Bits(RwFastSqrt(0.0f)), 0u);
    EXPECT_EQ(Bits(RwFastInvSqrt(1.0f)), Bits(1.0f));
    EXPECT_EQ(Bits(RwFastInvSqrt(4.0f)), Bits(0.5f));
    EXPECT_EQ(Bits(RwFastInvSqrt(0.25f)), Bits(2.0f));
    EXPECT_EQ(RwFastInvSqrt(0.0f), 0.0f);
}

// The tables hold the correctly rounded root at each of their 4096 sample
// points; scaling the argument by a power of four scales the root exactly,
// so every sample point of every exponent is bit-exact.
TEST_F(FastSqrtTest, BitExactAtEveryTableSamplePoint)
{
    for (int k = -20; k <= 20; k += 5) {
        for (int i = 0; i < 2048; i += 7) {
            for (int half = 0; half < 2; ++half) {
                const float x = std::ldexp(1.0f + static_cast<float>(i) / 2048.0f, 2 * k + half);
                ASSERT_EQ(Bits(RwFastSqrt(x)), Bits(std::sqrt(x))) << x;
                const float inv = static_cast<float>(1.0 / std::sqrt(static_cast<double>(x)));
                ASSERT_EQ(Bits(RwFastInvSqrt(x)), Bits(inv)) << x;
            }
        }
    }
}

// Between sample points the argument is rounded to 11 mantissa bits, which
// costs at most about 2^-13 relative error in the root.
TEST_F(FastSqrtTest, ErrorSweepStaysWithinElevenBits)
{
    double worstSqrt = 0.0, worstInv = 0.0;
    RwUInt32 bits = Bits(1e-30f);
    const RwUInt32 last = Bits(1e30f);
    const RwUInt32 step = 997;  // odd, so every mantissa position is hit
    for (; bits < last; bits += step) {
        float x;
        std::memcpy(&x, &bits, 4);
        const double root = std::sqrt(static_cast<double>(x));
        worstSqrt = std::max(worstSqrt, std::fabs(RwFastSqrt(x) - root) / root);
        worstInv = std::max(worstInv, std::fabs(RwFastInvSqrt(x) - 1.0 / root) * root);
    }
    EXPECT_LT(worstSqrt, std::ldexp(1.0, -12));
    EXPECT_LT(worstInv, std::ldexp(1.0, -12));
    // A table, not the hardware square root: errors are there.
    EXPECT_GT(worstSqrt, std::ldexp(1.0, -16));
}

using VectorTest = EngineTest;

TEST_F(VectorTest, LengthsAndNormalisation)
{
    const RwV3d v{3.0f, 4.0f, 12.0f};
    EXPECT_NEAR(RwV3dLength(&v), 13.0f, 13.0f * 2e-4f);
    const RwV2d w{3.0f, 4.0f};
    EXPECT_NEAR(RwV2dLength(&w), 5.0f, 5.0f * 2e-4f);
    const RwV3d zero{0.0f, 0.0f, 0.0f};
    EXPECT_EQ(RwV3dLength(&zero), 0.0f);

    RwV3d unit;
    EXPECT_NEAR(RwV3dNormalize(&unit, &v), 13.0f, 13.0f * 2e-4f);
    EXPECT_NEAR(unit.x, 3.0f / 13.0f, 1e-3f);
    EXPECT_NEAR(unit.z, 12.0f / 13.0f, 1e-3f);
    EXPECT_EQ(TakeError().errorCode, E_RW_NOERROR);

    RwV3d out{9.0f, 9.0f, 9.0f};
    EXPECT_EQ(RwV3dNormalize(&out, &zero), 0.0f);
    EXPECT_EQ(out.x, 0.0f);
    EXPECT_EQ(out.y, 0.0f);
    EXPECT_EQ(out.z, 0.0f);
    const RwError error = TakeError();
    EXPECT_EQ(error.pluginID, rwID_CORE);
    EXPECT_EQ(error.errorCode, E_RW_ZEROLENGTH);

    RwV2d out2;
    const RwV2d zero2{0.0f, 0.0f};
    EXPECT_EQ(RwV2dNormalize(&out2, &zero2), 0.0f);
    EXPECT_EQ(TakeError().errorCode, E_RW_ZEROLENGTH);
}

RwMatrix Sample()
{
    RwMatrix m{};
    m.right = {0.0f, 1.0f, 0.0f};
    m.up = {-2.0f, 0.0f, 0.0f};
    m.at = {0.0f, 0.0f, 3.0f};
    m.pos = {10.0f, 20.0f, 30.0f};
    return m;
}

TEST_F(VectorTest, TransformPointsAndDirectionsInPlace)
{
    const RwMatrix m = Sample();
    RwV3d points[2] = {{1.0f, 2.0f, 3.0f}, {-1.0f, 0.0f, 1.0f}};
    EXPECT_EQ(RwV3dTransformPoints(points, points, 2, &m), points);
    // 1*right + 2*up + 3*at + pos = (0,1,0)+(-4,0,0)+(0,0,9)+(10,20,30)
    EXPECT_FLOAT_EQ(points[0].x, 6.0f);
    EXPECT_FLOAT_EQ(points[0].y, 21.0f);
    EXPECT_FLOAT_EQ(points[0].z, 39.0f);
    EXPECT_FLOAT_EQ(points[1].x, 10.0f);
    EXPECT_FLOAT_EQ(points[1].y, 19.0f);
    EXPECT_FLOAT_EQ(points[1].z, 33.0f);

    RwV3d dirs[1] = {{1.0f, 2.0f, 3.0f}};
    RwV3dTransformDirections(dirs, dirs, 1, &m);
    EXPECT_FLOAT_EQ(dirs[0].x, -4.0f);
    EXPECT_FLOAT_EQ(dirs[0].y, 1.0f);
    EXPECT_FLOAT_EQ(dirs[0].z, 9.0f);
}

int routineCalls = 0;
void CountingRoutine(RwV3d *, const RwV3d *, RwInt32, const RwMatrix *) { ++routineCalls; }

TEST_F(VectorTest, InstalledRoutinesAreUsedAndNullRestoresPortable)
{
    const RwMatrix m = Sample();
    RwV3d p{1.0f, 0.0f, 0.0f};
    routineCalls = 0;
    RwV3dSetTransformFunctions(CountingRoutine, CountingRoutine);
    RwV3dTransformPoints(&p, &p, 1, &m);
    RwV3dTransformDirections(&p, &p, 1, &m);
    EXPECT_EQ(routineCalls, 2);
    // A count of zero or less never reaches the routine and writes nothing.
    EXPECT_EQ(RwV3dTransformPoints(&p, &p, 0, &m), &p);
    EXPECT_EQ(RwV3dTransformDirections(&p, &p, -3, &m), &p);
    EXPECT_EQ(routineCalls, 2);
    EXPECT_FLOAT_EQ(p.x, 1.0f);

    RwV3dSetTransformFunctions(nullptr, nullptr);
    RwV3dTransformPoints(&p, &p, 1, &m);
    EXPECT_FLOAT_EQ(p.x, 10.0f);
    EXPECT_FLOAT_EQ(p.y, 21.0f);
}

}  // namespace

}  // namespace bavector_test
