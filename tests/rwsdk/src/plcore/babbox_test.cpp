// Tests of axis-aligned boxes: built from points, widened point by point,
// and a box of no points refused.
#include <gtest/gtest.h>

#include "rwcore.h"
#include "support/engine/engine_env.h"

namespace babbox_test {

namespace {

using rwtest::EngineTest;
using rwtest::TakeError;

using BBoxTest = EngineTest;

TEST_F(BBoxTest, CalculateInitializeAndAdd)
{
    const RwV3d one{1.0f, -2.0f, 3.0f};
    RwBBox box;
    ASSERT_EQ(RwBBoxCalculate(&box, &one, 1), &box);
    EXPECT_EQ(box.sup.x, 1.0f);
    EXPECT_EQ(box.inf.x, 1.0f);
    EXPECT_EQ(box.sup.y, -2.0f);
    EXPECT_EQ(box.inf.z, 3.0f);

    const RwV3d pts[3] = {{0.0f, 0.0f, 0.0f}, {5.0f, -1.0f, 2.0f}, {-3.0f, 4.0f, -6.0f}};
    RwBBoxCalculate(&box, pts, 3);
    EXPECT_EQ(box.sup.x, 5.0f);
    EXPECT_EQ(box.sup.y, 4.0f);
    EXPECT_EQ(box.sup.z, 2.0f);
    EXPECT_EQ(box.inf.x, -3.0f);
    EXPECT_EQ(box.inf.y, -1.0f);
    EXPECT_EQ(box.inf.z, -6.0f);

    RwBBoxInitialize(&box, &one);
    const RwV3d far{-1.0f, 7.0f, 3.0f};
    RwBBoxAddPoint(&box, &far);
    EXPECT_EQ(box.inf.x, -1.0f);
    EXPECT_EQ(box.sup.x, 1.0f);
    EXPECT_EQ(box.sup.y, 7.0f);
    EXPECT_TRUE(RwBBoxContainsPoint(&box, &far));

    // No points: refused, box untouched.
    EXPECT_EQ(RwBBoxCalculate(&box, pts, 0), nullptr);
    EXPECT_EQ(box.sup.y, 7.0f);
    EXPECT_EQ(TakeError().errorCode, E_RW_BADPARAM);
}

}  // namespace

}  // namespace babbox_test
