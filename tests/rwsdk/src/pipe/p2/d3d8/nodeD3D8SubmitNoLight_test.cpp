// The Im3D submit node on our device: vertex layouts, the index paths, the
// clipping flag, and the pixels of a drawn batch.
#include <vector>

#include "tests/rwsdk/driver/d3d8/d3d8_driver_test_support.h"

namespace nodeD3D8SubmitNoLight_test {

using d3d8test::DriverTest;
using d3d8test::SpyCalls;
using d3d8test::SpyCount;

namespace {

class D3D8SubmitNodeTest : public DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        ASSERT_TRUE(StartEngine());
        camera = MakeCamera();
        RwRGBA black = {0, 0, 0, 255};
        RwCameraClear(camera, &black, rwCAMERACLEARIMAGE | rwCAMERACLEARZ);
        ASSERT_NE(RwCameraBeginUpdate(camera), nullptr);
        RwSetRenderState(rwRENDERSTATECULLMODE, RwRenderStateValue(rwCULLMODECULLNONE));
        Spy();
    }
    void TearDown() override
    {
        RwCameraEndUpdate(camera);
        RwCameraShowRaster(camera, nullptr, 0);
        DestroyCamera(camera);
        DriverTest::TearDown();
    }
    // n vertices on a plane in front of the camera (z = 5), opaque white.
    static std::vector<RwIm3DVertex> Vertices(RwUInt32 n)
    {
        std::vector<RwIm3DVertex> v(n);
        for (RwUInt32 i = 0; i < n; ++i) {
            const float x = (i % 2 == 0) ? -1.0f : 1.0f;
            const float y = (i / 2 % 2 == 0) ? -1.0f : 1.0f;
            v[i] = {{x, y, 5.0f}, {0, 0, 1}, 0xFFFFFFFFu, 0, 0};
        }
        return v;
    }
    RwUInt32 LastStride()
    {
        const auto streams = SpyCalls("SetStreamSource");
        return streams.empty() ? 0 : streams.back().c;
    }
    RwCamera *camera = nullptr;
};

}  // namespace

TEST_F(D3D8SubmitNodeTest, UnindexedBatchWithoutUvUsesSixteenByteVertices)
{
    auto v = Vertices(3);
    ASSERT_NE(RwIm3DTransform(v.data(), 3, nullptr, rwIM3D_NOCLIP), nullptr);
    ASSERT_TRUE(RwIm3DRenderPrimitive(rwPRIMTYPETRILIST));
    RwIm3DEnd();
    EXPECT_EQ(LastStride(), 16u);
    DWORD clipping = 1;
    real->GetRenderState(D3DRS_CLIPPING, &clipping);
    EXPECT_EQ(clipping, 0u);
    const auto draws = SpyCalls("DrawPrimitive");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].c, 1u);
}

TEST_F(D3D8SubmitNodeTest, UvBatchKeepsClippingOnAndUsesTwentyFourBytes)
{
    auto v = Vertices(4);
    ASSERT_NE(RwIm3DTransform(v.data(), 4, nullptr, rwIM3D_VERTEXUV), nullptr);
    ASSERT_TRUE(RwIm3DRenderPrimitive(rwPRIMTYPETRISTRIP));
    RwIm3DEnd();
    EXPECT_EQ(LastStride(), 24u);
    DWORD clipping = 0;
    real->GetRenderState(D3DRS_CLIPPING, &clipping);
    EXPECT_EQ(clipping, 1u);
}

TEST_F(D3D8SubmitNodeTest, NineIndicesGoThroughTheIndexBufferEightAreExpanded)
{
    auto v = Vertices(9);
    RwImVertexIndex nine[9] = {0, 1, 2, 1, 2, 3, 2, 3, 4};
    ASSERT_NE(RwIm3DTransform(v.data(), 9, nullptr, 0), nullptr);
    ASSERT_TRUE(RwIm3DRenderIndexedPrimitive(rwPRIMTYPETRILIST, nine, 9));
    EXPECT_EQ(SpyCount("DrawIndexedPrimitive"), 1u);
    EXPECT_EQ(SpyCount("DrawPrimitive"), 0u);
    RwImVertexIndex six[6] = {0, 1, 2, 1, 2, 3};
    ASSERT_TRUE(RwIm3DRenderIndexedPrimitive(rwPRIMTYPETRILIST, six, 6));
    EXPECT_EQ(SpyCount("DrawIndexedPrimitive"), 1u);
    const auto draws = SpyCalls("DrawPrimitive");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].c, 2u);
    RwIm3DEnd();
}

TEST_F(D3D8SubmitNodeTest, BatchLandsInTheMiddleOfTheFrame)
{
    auto v = Vertices(4);
    ASSERT_NE(RwIm3DTransform(v.data(), 4, nullptr, rwIM3D_ALLOPAQUE), nullptr);
    ASSERT_TRUE(RwIm3DRenderPrimitive(rwPRIMTYPETRISTRIP));
    RwIm3DEnd();
    RwCameraEndUpdate(camera);
    RwCameraShowRaster(camera, nullptr, 0);
    win::Frame frame;
    ASSERT_TRUE(d3d8::GetLastPresentedFrame(real, &frame));
    EXPECT_EQ(frame.At(width / 2, height / 2), 0xFFFFFFFFu);
    EXPECT_NE(frame.At(0, 0), 0xFFFFFFFFu);
    RwCameraBeginUpdate(camera);
}

TEST_F(D3D8SubmitNodeTest, WithoutItsIndexBufferTheNodeDrawsFromMemory)
{
    RwD3D8Im3DSubmitClose();
    auto v = Vertices(9);
    RwImVertexIndex nine[9] = {0, 1, 2, 1, 2, 3, 2, 3, 4};
    ASSERT_NE(RwIm3DTransform(v.data(), 9, nullptr, 0), nullptr);
    ASSERT_TRUE(RwIm3DRenderIndexedPrimitive(rwPRIMTYPETRILIST, nine, 9));
    RwIm3DEnd();
    const auto draws = SpyCalls("DrawIndexedPrimitiveUP");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].c, sizeof(RwIm3DVertex));
    EXPECT_TRUE(RwD3D8Im3DSubmitOpen());
}

}  // namespace nodeD3D8SubmitNoLight_test
