// Im2D on our device: where vertices and indices go, which draw is issued
// for each kind of batch, and what lands in the frame buffer.
#include <vector>

#include "tests/rwsdk/driver/d3d8/d3d8_driver_test_support.h"

namespace d3d82drend_test {

using d3d8test::DriverTest;
using d3d8test::SpyCalls;
using d3d8test::SpyCount;

namespace {

class D3D8Im2DTest : public DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        ASSERT_TRUE(StartEngine());
        camera = MakeCamera();
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
    win::Frame Present()
    {
        RwCameraEndUpdate(camera);
        RwCameraShowRaster(camera, nullptr, 0);
        win::Frame frame;
        EXPECT_TRUE(d3d8::GetLastPresentedFrame(real, &frame));
        RwCameraBeginUpdate(camera);
        return frame;
    }
    static std::vector<RwIm2DVertex> Quad(float x0, float y0, float x1, float y1, RwUInt32 color)
    {
        return {{x0, y0, 0, 1, color, 0, 0}, {x0, y1, 0, 1, color, 0, 1}, {x1, y0, 0, 1, color, 1, 0},
                {x1, y1, 0, 1, color, 1, 1}};
    }
    RwCamera *camera = nullptr;
};

RwImVertexIndex quadIndices[6] = {0, 2, 1, 1, 2, 3};

}  // namespace

TEST_F(D3D8Im2DTest, UiQuadUsesTheIndexBuffer)
{
    auto quad = Quad(8, 8, 24, 24, 0xFF00FF00u);
    ASSERT_TRUE(RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, quad.data(), 4, quadIndices, 6));
    const auto draws = SpyCalls("DrawIndexedPrimitive");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].a, static_cast<DWORD>(D3DPT_TRIANGLELIST));
    EXPECT_EQ(draws[0].b, 4u);
    EXPECT_EQ(draws[0].d, 2u);
    const auto streams = SpyCalls("SetStreamSource");
    ASSERT_FALSE(streams.empty());
    EXPECT_EQ(streams.back().c, 28u);
    // A second quad follows the first in the index buffer.
    ASSERT_TRUE(RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, quad.data(), 4, quadIndices, 6));
    EXPECT_EQ(SpyCalls("DrawIndexedPrimitive")[1].c, draws[0].c + 6);
    const win::Frame frame = Present();
    EXPECT_EQ(frame.At(16, 16), 0xFF00FF00u);
    EXPECT_NE(frame.At(30, 30), 0xFF00FF00u);
}

TEST_F(D3D8Im2DTest, FewIndicesOverManyVerticesAreExpanded)
{
    auto quad = Quad(0, 0, 16, 16, 0xFFFFFFFFu);
    quad.push_back(quad[0]);
    quad.push_back(quad[1]);
    ASSERT_TRUE(RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, quad.data(), 6, quadIndices, 6));
    EXPECT_EQ(SpyCount("DrawIndexedPrimitive"), 0u);
    const auto draws = SpyCalls("DrawPrimitive");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].c, 2u);
}

TEST_F(D3D8Im2DTest, PrimitiveCountsOfStripsAndPolylines)
{
    auto quad = Quad(0, 0, 16, 16, 0xFFFFFFFFu);
    ASSERT_TRUE(RwIm2DDrawPrimitive(rwPRIMTYPETRISTRIP, quad.data(), 4));
    quad.push_back(quad[0]);
    ASSERT_TRUE(RwIm2DDrawPrimitive(rwPRIMTYPEPOLYLINE, quad.data(), 5));
    const auto draws = SpyCalls("DrawPrimitive");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].a, static_cast<DWORD>(D3DPT_TRIANGLESTRIP));
    EXPECT_EQ(draws[0].c, 2u);
    EXPECT_EQ(draws[1].a, static_cast<DWORD>(D3DPT_LINESTRIP));
    EXPECT_EQ(draws[1].c, 4u);
}

TEST_F(D3D8Im2DTest, TooManyIndicesDrawNothing)
{
    std::vector<RwImVertexIndex> indices(10001, 0);
    auto quad = Quad(0, 0, 16, 16, 0xFFFFFFFFu);
    EXPECT_FALSE(RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, quad.data(), 4, indices.data(), 10001));
    EXPECT_EQ(SpyCount("DrawIndexedPrimitive") + SpyCount("DrawPrimitive"), 0u);
    RwImVertexIndex wild[3] = {0, 1, 7};
    EXPECT_FALSE(RwIm2DDrawIndexedPrimitive(rwPRIMTYPETRILIST, quad.data(), 2, wild, 3))
        << "an index past the vertices is refused, not read";
}

TEST_F(D3D8Im2DTest, LineAndTriangleDrawTheNamedVertices)
{
    auto quad = Quad(0, 0, 16, 16, 0xFFFF0000u);
    ASSERT_TRUE(RwIm2DDrawTriangle(quad.data(), 4, 0, 2, 3));
    ASSERT_TRUE(RwIm2DDrawLine(quad.data(), 4, 0, 3));
    EXPECT_FALSE(RwIm2DDrawLine(quad.data(), 4, 0, 4));
    const auto draws = SpyCalls("DrawPrimitive");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].a, static_cast<DWORD>(D3DPT_TRIANGLELIST));
    EXPECT_EQ(draws[1].a, static_cast<DWORD>(D3DPT_LINELIST));
    EXPECT_EQ(draws[1].c, 1u);
}

TEST_F(D3D8Im2DTest, DrawSetUpTurnsClippingAndLightingOff)
{
    auto quad = Quad(0, 0, 16, 16, 0xFFFFFFFFu);
    RwD3D8SetRenderState(D3DRS_CLIPPING, TRUE);
    ASSERT_TRUE(RwIm2DDrawPrimitive(rwPRIMTYPETRISTRIP, quad.data(), 4));
    DWORD clipping = 1, lighting = 1, shader = 0;
    real->GetRenderState(D3DRS_CLIPPING, &clipping);
    real->GetRenderState(D3DRS_LIGHTING, &lighting);
    real->GetVertexShader(&shader);
    EXPECT_EQ(clipping, 0u);
    EXPECT_EQ(lighting, 0u);
    EXPECT_EQ(shader, D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
}

}  // namespace d3d82drend_test
