// Tests of immediate-mode 2D and the render-state interface: what reaches
// the device record, unchanged, and the rule that render states are set
// only while a camera is being updated.
#include <gtest/gtest.h>

#include <vector>

#include "rwcore.h"
#include "support/engine/engine_env.h"

namespace baim2d_test {

namespace {

using rwtest::TakeError;

struct Im2DCall {
    const char *what;
    RwInt32 primType;
    RwIm2DVertex *vertices;
    RwInt32 numVertices;
    std::vector<RwInt32> indices;
};

std::vector<Im2DCall> gCalls;
std::vector<std::pair<RwInt32, void *>> gStates;
RwBool gDeviceAnswer = TRUE;

RwBool Line(RwIm2DVertex *v, RwInt32 n, RwInt32 a, RwInt32 b)
{
    gCalls.push_back({"line", 0, v, n, {a, b}});
    return gDeviceAnswer;
}
RwBool Triangle(RwIm2DVertex *v, RwInt32 n, RwInt32 a, RwInt32 b, RwInt32 c)
{
    gCalls.push_back({"triangle", 0, v, n, {a, b, c}});
    return gDeviceAnswer;
}
RwBool Primitive(RwPrimitiveType t, RwIm2DVertex *v, RwInt32 n)
{
    gCalls.push_back({"primitive", t, v, n, {}});
    return gDeviceAnswer;
}
RwBool Indexed(RwPrimitiveType t, RwIm2DVertex *v, RwInt32 n, RwImVertexIndex *idx, RwInt32 count)
{
    gCalls.push_back({"indexed", t, v, n, std::vector<RwInt32>(idx, idx + count)});
    return gDeviceAnswer;
}
RwBool SetState(RwInt32 state, void *value)
{
    gStates.push_back({state, value});
    return gDeviceAnswer;
}
RwBool GetState(RwInt32 state, void *value)
{
    *static_cast<RwInt32 *>(value) = state * 10;
    return gDeviceAnswer;
}

class Im2DTest : public rwtest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        gCalls.clear();
        gStates.clear();
        gDeviceAnswer = TRUE;
        RwDeviceRecord *device = &RwEngineInst->dOpenDevice;
        device->fpIm2DRenderLine = Line;
        device->fpIm2DRenderTriangle = Triangle;
        device->fpIm2DRenderPrimitive = Primitive;
        device->fpIm2DRenderIndexedPrimitive = Indexed;
        device->fpRenderStateSet = SetState;
        device->fpRenderStateGet = GetState;
    }
    void TearDown() override
    {
        RwEngineInst->curCamera = nullptr;
        EngineTest::TearDown();
    }
};

TEST_F(Im2DTest, InterfaceQuadReachesTheDeviceAsGiven)
{
    RwIm2DVertex quad[4] = {{0, 0, 0, 10, 0xFFFFFFFFu, 0, 0},
                            {64, 0, 0, 10, 0xFFFFFFFFu, 1, 0},
                            {0, 32, 0, 10, 0xFFFFFFFFu, 0, 1},
                            {64, 32, 0, 10, 0xFFFFFFFFu, 1, 1}};
    RwImVertexIndex indices[6] = {0, 2, 1, 1, 2, 3};
    EXPECT_TRUE(RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, quad, 4, indices, 6));
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_STREQ(gCalls[0].what, "indexed");
    EXPECT_EQ(gCalls[0].primType, rwPRIMTYPETRILIST);
    EXPECT_EQ(gCalls[0].vertices, quad);
    EXPECT_EQ(gCalls[0].numVertices, 4);
    EXPECT_EQ(gCalls[0].indices, (std::vector<RwInt32>{0, 2, 1, 1, 2, 3}));

    EXPECT_TRUE(RwIm2DDrawPrimitive(rwPRIMTYPETRISTRIP, quad, 4));
    EXPECT_TRUE(RwIm2DDrawLine(quad, 4, 3, 0));
    EXPECT_TRUE(RwIm2DDrawTriangle(quad, 4, 0, 1, 2));
    EXPECT_EQ(gCalls[1].primType, rwPRIMTYPETRISTRIP);
    EXPECT_EQ(gCalls[2].indices, (std::vector<RwInt32>{3, 0}));
    EXPECT_EQ(gCalls[3].indices, (std::vector<RwInt32>{0, 1, 2}));
    // The device's answer is the caller's.
    gDeviceAnswer = FALSE;
    EXPECT_FALSE(RwIm2DDrawPrimitive(rwPRIMTYPEPOLYLINE, quad, 4));
    EXPECT_FLOAT_EQ(RwIm2DScreenZNear(), 0.0f);
    EXPECT_FLOAT_EQ(RwIm2DScreenZFar(), 1.0f);
}

TEST_F(Im2DTest, MissingDeviceFunctionsDrawNothing)
{
    RwEngineInst->dOpenDevice.fpIm2DRenderPrimitive = nullptr;
    RwEngineInst->dOpenDevice.fpRenderStateGet = nullptr;
    RwIm2DVertex v[2] = {};
    EXPECT_FALSE(RwIm2DDrawPrimitive(rwPRIMTYPELINELIST, v, 2));
    RwInt32 value = 0;
    EXPECT_FALSE(RwGetRenderState(rwRENDERSTATESRCBLEND, &value));
}

TEST_F(Im2DTest, RenderStatesAreSetOnlyDuringACameraUpdate)
{
    EXPECT_FALSE(RwSetRenderState(rwRENDERSTATEZTESTENABLE, RwRenderStateValue(TRUE)));
    RwError e = TakeError();
    EXPECT_EQ(e.pluginID, rwID_CORE);
    EXPECT_EQ(e.errorCode, E_RW_NOCAMERAUPDATE);
    EXPECT_TRUE(gStates.empty());
    RwInt32 value = 0;
    EXPECT_TRUE(RwGetRenderState(rwRENDERSTATEDESTBLEND, &value));
    EXPECT_EQ(value, 110);

    static int someCamera;
    RwEngineInst->curCamera = &someCamera;
    EXPECT_TRUE(RwSetRenderState(rwRENDERSTATESRCBLEND, RwRenderStateValue(rwBLENDSRCALPHA)));
    RwReal density = 0.5f;
    EXPECT_TRUE(RwSetRenderState(rwRENDERSTATEFOGDENSITY, &density));
    ASSERT_EQ(gStates.size(), 2u);
    EXPECT_EQ(gStates[0].first, 10);
    EXPECT_EQ(gStates[0].second, reinterpret_cast<void *>(5));
    EXPECT_EQ(gStates[1].first, 17);
    EXPECT_EQ(gStates[1].second, &density);
    gDeviceAnswer = FALSE;
    EXPECT_FALSE(RwSetRenderState(static_cast<RwRenderState>(19), nullptr));
}

}  // namespace

}  // namespace baim2d_test
