// The device call cache: transforms, lights, material, shaders and the
// primitive counts of the draws.
#include "d3d8_driver_test_support.h"

#include "rpmaterial.h"

namespace d3d8rendst_test {

using d3d8test::DriverTest;
using d3d8test::SpyCalls;
using d3d8test::SpyCount;

namespace {

class CallCacheTest : public DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        ASSERT_TRUE(StartEngine());
        Spy();
    }
};

D3DLIGHT8 PointLight(float x)
{
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1, 1, 1, 1};
    light.Position = {x, 0, 0};
    light.Range = 10;
    return light;
}

}  // namespace

TEST_F(CallCacheTest, WorldMatrixIsSentOnlyWhenItChanges)
{
    RwMatrix matrix;
    RwMatrixSetIdentity(&matrix);
    const RwV3d offset = {1, 2, 3};
    RwMatrixTranslate(&matrix, &offset, rwCOMBINEREPLACE);
    RwD3D8SetWorldMatrix(&matrix);
    RwD3D8SetWorldMatrix(&matrix);
    EXPECT_EQ(SpyCount("SetTransform"), 1u);
    RwD3D8SetWorldMatrix(nullptr);
    RwD3D8SetWorldMatrix(nullptr);
    EXPECT_EQ(SpyCount("SetTransform"), 2u);
    // Null after an identity set through the slot sends nothing either.
    RwD3D8SetTransform(256, nullptr);
    EXPECT_EQ(SpyCount("SetTransform"), 2u);
    D3DMATRIX world{};
    RwD3D8GetTransform(256, &world);
    EXPECT_EQ(world.m[3][0], 0.0f);
    RwD3D8SetWorldMatrix(&matrix);
    RwD3D8GetTransform(256, &world);
    EXPECT_EQ(world.m[3][2], 3.0f);
    EXPECT_EQ(world.m[3][3], 1.0f);
}

TEST_F(CallCacheTest, LightCacheGrowsAndSkipsEqualLights)
{
    const D3DLIGHT8 light = PointLight(1);
    EXPECT_TRUE(RwD3D8SetLight(5, &light));
    EXPECT_TRUE(RwD3D8SetLight(5, &light));
    EXPECT_EQ(SpyCount("SetLight"), 1u);
    D3DLIGHT8 dimmer = light;
    dimmer.Attenuation0 = 0.5f;  // not a member the cache compares
    EXPECT_TRUE(RwD3D8SetLight(5, &dimmer));
    EXPECT_EQ(SpyCount("SetLight"), 1u);
    EXPECT_TRUE(RwD3D8EnableLight(2, FALSE)) << "lights 0-4 start disabled";
    EXPECT_EQ(SpyCount("LightEnable"), 0u);
    EXPECT_TRUE(RwD3D8EnableLight(9, TRUE)) << "a light never set";
    EXPECT_EQ(SpyCount("LightEnable"), 0u);
    EXPECT_TRUE(RwD3D8EnableLight(5, TRUE));
    EXPECT_TRUE(RwD3D8EnableLight(5, TRUE));
    EXPECT_EQ(SpyCount("LightEnable"), 1u);
    d3d8test::SpyLog().clear();
    EXPECT_TRUE(RwD3D8LightCacheRestore());
    EXPECT_EQ(SpyCount("SetLight"), 6u);
    EXPECT_EQ(SpyCount("LightEnable"), 6u);
}

TEST_F(CallCacheTest, MaterialIsSentOnceForEqualColours)
{
    const RwRGBA red = {255, 0, 0, 255};
    const RwSurfaceProperties props = {1.0f, 0.0f, 0.5f};
    RwD3D8SetSurfaceProperties(&red, &props, TRUE);
    RwD3D8SetSurfaceProperties(&red, &props, TRUE);
    EXPECT_EQ(SpyCount("SetMaterial"), 1u);
    D3DMATERIAL8 material{};
    real->GetMaterial(&material);
    EXPECT_FLOAT_EQ(material.Diffuse.r, 0.5f);
    EXPECT_FLOAT_EQ(material.Diffuse.g, 0.0f);
    RwD3D8SetSurfaceProperties(&red, &props, FALSE);
    real->GetMaterial(&material);
    EXPECT_FLOAT_EQ(material.Diffuse.g, 0.5f) << "without modulation the colour is ignored";
}

TEST_F(CallCacheTest, ShadersAreCachedUntilAReset)
{
    RwD3D8SetVertexShader(0x142);
    RwD3D8SetVertexShader(0x142);
    EXPECT_EQ(SpyCount("SetVertexShader"), 1u);
    ASSERT_TRUE(RwD3D8DeviceReset());
    d3d8test::SpyLog().clear();
    RwD3D8SetVertexShader(0x142);
    EXPECT_EQ(SpyCount("SetVertexShader"), 1u);
}

TEST_F(CallCacheTest, PrimitiveCountsFollowTheType)
{
    EXPECT_EQ(RwD3D8PrimitiveCount(D3DPT_POINTLIST, 7, FALSE), 7u);
    EXPECT_EQ(RwD3D8PrimitiveCount(D3DPT_POINTLIST, 7, TRUE), 0u);
    EXPECT_EQ(RwD3D8PrimitiveCount(D3DPT_LINELIST, 7, FALSE), 3u);
    EXPECT_EQ(RwD3D8PrimitiveCount(D3DPT_LINESTRIP, 5, FALSE), 4u);
    EXPECT_EQ(RwD3D8PrimitiveCount(D3DPT_TRIANGLELIST, 6, TRUE), 2u);
    EXPECT_EQ(RwD3D8PrimitiveCount(D3DPT_TRIANGLESTRIP, 4, FALSE), 2u);
    EXPECT_EQ(RwD3D8PrimitiveCount(D3DPT_TRIANGLEFAN, 1, FALSE), 0u);
    EXPECT_EQ(RwD3D8PrimitiveCount(99, 6, FALSE), 0u);
}

TEST_F(CallCacheTest, FrustumTestsNeedTheWholeObjectInside)
{
    RwCamera *camera = MakeCamera();
    const RwV3d at = {0, 0, 1};
    RwFrameTranslate(RwCameraGetFrame(camera), &at, rwCOMBINEREPLACE);
    RwCameraSetFarClip(camera, 100.0f);
    ASSERT_NE(RwCameraBeginUpdate(camera), nullptr);  // builds the frustum
    const RwV3d ahead = {0, 0, 20};
    EXPECT_TRUE(RwD3D8CameraIsSphereVisible(camera, &ahead, 1.0f));
    EXPECT_FALSE(RwD3D8CameraIsSphereVisible(camera, &ahead, 100.0f));
    const RwBBox inside = {{1, 1, 21}, {-1, -1, 19}};
    const RwBBox crossing = {{1, 1, 21}, {-1, -1, -5}};
    EXPECT_TRUE(RwD3D8CameraIsBoxVisible(camera, &inside));
    EXPECT_FALSE(RwD3D8CameraIsBoxVisible(camera, &crossing));
    RwCameraEndUpdate(camera);
    RwCameraShowRaster(camera, nullptr, 0);
    DestroyCamera(camera);
}

}  // namespace d3d8rendst_test
