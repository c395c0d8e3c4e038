// The render-state cache: what reaches the device and when, the engine
// states' translation, texture binding and alpha, and the rebuild after a
// device reset.
#include "d3d8_driver_test_support.h"

#include <cstring>

#include "rwsdk/driver/d3d8/d3d8renderstate.h"

namespace d3d8renderstate_test {

using d3d8test::DriverTest;
using d3d8test::SpyCalls;
using d3d8test::SpyCount;

namespace {

class RenderStateCacheTest : public DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        ASSERT_TRUE(StartEngine());
        Spy();
    }
    size_t Sent(RwUInt32 state)
    {
        size_t n = 0;
        for (const auto &call : SpyCalls("SetRenderState")) {
            n += call.a == state ? 1 : 0;
        }
        return n;
    }
    DWORD OnDevice(D3DRENDERSTATETYPE state)
    {
        DWORD value = 0;
        real->GetRenderState(state, &value);
        return value;
    }
    RwBool Engine(RwInt32 state, RwInt64 value) { return RwD3D8SetEngineRenderState(state, RwRenderStateValue(value)); }
};

}  // namespace

TEST_F(RenderStateCacheTest, StatesReachTheDeviceOnlyAtFlushAndOnlyWhenChanged)
{
    RwD3D8SetRenderState(D3DRS_ALPHAREF, 77);
    EXPECT_EQ(Sent(D3DRS_ALPHAREF), 0u);
    RwD3D8FlushRenderStates();
    EXPECT_EQ(Sent(D3DRS_ALPHAREF), 1u);
    EXPECT_EQ(OnDevice(D3DRS_ALPHAREF), 77u);
    RwD3D8SetRenderState(D3DRS_ALPHAREF, 77);
    RwD3D8FlushRenderStates();
    EXPECT_EQ(Sent(D3DRS_ALPHAREF), 1u);
    // Away and back before a draw: nothing at all.
    RwD3D8SetRenderState(D3DRS_ALPHAREF, 5);
    RwD3D8SetRenderState(D3DRS_ALPHAREF, 77);
    RwD3D8FlushRenderStates();
    EXPECT_EQ(Sent(D3DRS_ALPHAREF), 1u);
    RwD3D8SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_ADD);
    RwD3D8SetRenderState(D3DRS_ALPHAREF, 9);
    RwD3D8FlushRenderStates();
    ASSERT_GE(d3d8test::SpyLog().size(), 2u);
    const auto &log = d3d8test::SpyLog();
    EXPECT_EQ(log[log.size() - 2].name, "SetRenderState") << "render states go before stage states";
    EXPECT_EQ(log.back().name, "SetTextureStageState");
}

TEST_F(RenderStateCacheTest, StatesWhoseUnknownIsZeroSendAllOnes)
{
    RwD3D8SetRenderState(D3DRS_FOGCOLOR, 0xFFFFFFFFu);
    RwD3D8SetRenderState(D3DRS_STENCILMASK, 0xFFFFFFFFu);
    RwD3D8FlushRenderStates();
    EXPECT_EQ(Sent(D3DRS_FOGCOLOR), 1u);
    EXPECT_EQ(OnDevice(D3DRS_AMBIENT), 0xFFFFFFFFu) << "open sends the white ambient";
}

TEST_F(RenderStateCacheTest, ZEnableFollowsEitherZFlag)
{
    Engine(rwRENDERSTATEZWRITEENABLE, 0);
    RwD3D8FlushRenderStates();
    EXPECT_EQ(OnDevice(D3DRS_ZENABLE), 1u);
    EXPECT_EQ(OnDevice(D3DRS_ZWRITEENABLE), 0u);
    Engine(rwRENDERSTATEZTESTENABLE, 0);
    RwD3D8FlushRenderStates();
    EXPECT_EQ(OnDevice(D3DRS_ZENABLE), 0u);
    EXPECT_EQ(OnDevice(D3DRS_ZFUNC), static_cast<DWORD>(D3DCMP_ALWAYS));
    Engine(rwRENDERSTATEZWRITEENABLE, 1);
    RwD3D8FlushRenderStates();
    EXPECT_EQ(OnDevice(D3DRS_ZENABLE), 1u);
}

TEST_F(RenderStateCacheTest, EngineStatesTranslateAndReadBack)
{
    EXPECT_TRUE(Engine(rwRENDERSTATEFOGTYPE, rwFOGTYPEEXPONENTIAL2));
    EXPECT_TRUE(Engine(rwRENDERSTATESRCBLEND, rwBLENDONE));
    EXPECT_TRUE(Engine(rwRENDERSTATECULLMODE, rwCULLMODECULLFRONT));
    RwReal density = 0.25f;
    EXPECT_TRUE(RwD3D8SetEngineRenderState(rwRENDERSTATEFOGDENSITY, &density));
    RwD3D8FlushRenderStates();
    const DWORD tableOrVertex = OnDevice(D3DRS_FOGTABLEMODE) | OnDevice(D3DRS_FOGVERTEXMODE);
    EXPECT_EQ(tableOrVertex, static_cast<DWORD>(D3DFOG_EXP2));
    EXPECT_EQ(OnDevice(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(OnDevice(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    RwUInt32 value = 0;
    EXPECT_TRUE(RwD3D8GetEngineRenderState(rwRENDERSTATEFOGDENSITY, &value));
    RwReal back;
    std::memcpy(&back, &value, 4);
    EXPECT_EQ(back, 0.25f);
    EXPECT_FALSE(Engine(rwRENDERSTATENARENDERSTATE, 0));
    EXPECT_FALSE(Engine(18, 0));
    EXPECT_FALSE(Engine(29, 0));
    EXPECT_TRUE(Engine(rwRENDERSTATETEXTUREPERSPECTIVE, 1));
    EXPECT_FALSE(Engine(rwRENDERSTATETEXTUREPERSPECTIVE, 0));
    // Addressing as one value only while U and V agree.
    Engine(rwRENDERSTATETEXTUREADDRESS, rwTEXTUREADDRESSCLAMP);
    EXPECT_TRUE(RwD3D8GetEngineRenderState(rwRENDERSTATETEXTUREADDRESS, &value));
    EXPECT_EQ(value, static_cast<RwUInt32>(rwTEXTUREADDRESSCLAMP));
    Engine(rwRENDERSTATETEXTUREADDRESSV, rwTEXTUREADDRESSMIRROR);
    EXPECT_FALSE(RwD3D8GetEngineRenderState(rwRENDERSTATETEXTUREADDRESS, &value));
}

TEST_F(RenderStateCacheTest, LinearFogResendsTheCameraDistancesEveryTime)
{
    RwCamera *camera = MakeCamera();
    RwCameraSetFogDistance(camera, 7.0f);
    RwCameraSetFarClip(camera, 90.0f);
    ASSERT_NE(RwCameraBeginUpdate(camera), nullptr);
    Engine(rwRENDERSTATEFOGTYPE, rwFOGTYPELINEAR);
    RwUInt32 start = 0;
    RwD3D8GetRenderState(D3DRS_FOGSTART, &start);
    RwReal value;
    std::memcpy(&value, &start, 4);
    EXPECT_EQ(value, 7.0f);
    RwCameraSetFogDistance(camera, 9.0f);
    Engine(rwRENDERSTATEFOGTYPE, rwFOGTYPELINEAR);
    RwD3D8GetRenderState(D3DRS_FOGSTART, &start);
    std::memcpy(&value, &start, 4);
    EXPECT_EQ(value, 9.0f);
    RwCameraEndUpdate(camera);
    RwCameraShowRaster(camera, nullptr, 0);
    DestroyCamera(camera);
}

TEST_F(RenderStateCacheTest, BoundTextureAlphaDrivesBlending)
{
    RwRaster *withAlpha = RwRasterCreate(8, 8, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
    RwRaster *opaque = RwRasterCreate(8, 8, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT888);
    ASSERT_NE(withAlpha, nullptr);
    ASSERT_NE(opaque, nullptr);
    RwD3D8SetStageRaster(withAlpha, 0);
    RwD3D8FlushRenderStates();
    EXPECT_EQ(OnDevice(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(OnDevice(D3DRS_ALPHATESTENABLE), 1u);
    RwD3D8SetStageRaster(opaque, 0);
    RwD3D8FlushRenderStates();
    EXPECT_EQ(OnDevice(D3DRS_ALPHABLENDENABLE), 0u);
    RwD3D8SetVertexAlpha(TRUE);
    RwD3D8SetStageRaster(opaque, 0);
    RwD3D8FlushRenderStates();
    EXPECT_EQ(OnDevice(D3DRS_ALPHABLENDENABLE), 1u) << "vertex alpha keeps blending on";
    RwD3D8SetVertexAlpha(FALSE);
    RwD3D8SetStageRaster(nullptr, 0);
    RwRasterDestroy(withAlpha);
    RwRasterDestroy(opaque);
}

TEST_F(RenderStateCacheTest, DestroyedTextureIsUnboundFromEveryStage)
{
    RwRaster *raster = RwRasterCreate(8, 8, 32, rwRASTERTYPETEXTURE | rwRASTERFORMAT8888);
    ASSERT_NE(raster, nullptr);
    RwD3D8SetStageRaster(raster, 0);
    RwD3D8SetStageRaster(raster, 3);
    d3d8test::SpyLog().clear();
    RwRasterDestroy(raster);
    EXPECT_EQ(RwD3D8GetStageRaster(0), nullptr);
    EXPECT_EQ(RwD3D8GetStageRaster(3), nullptr);
    bool stage0 = false, stage3 = false;
    for (const auto &call : SpyCalls("SetTexture")) {
        stage0 |= call.a == 0 && call.b == 0;
        stage3 |= call.a == 3 && call.b == 0;
    }
    EXPECT_TRUE(stage0);
    EXPECT_TRUE(stage3) << "a stage other than 0 kept a destroyed texture";
    IDirect3DBaseTexture8 *bound = nullptr;
    real->GetTexture(3, &bound);
    EXPECT_EQ(bound, nullptr);
}

TEST_F(RenderStateCacheTest, ResetResendsEveryStateFromTheEngineValues)
{
    Engine(rwRENDERSTATECULLMODE, rwCULLMODECULLNONE);
    Engine(rwRENDERSTATESRCBLEND, rwBLENDONE);
    Engine(rwRENDERSTATESTENCILFUNCTION, rwSTENCILFUNCTIONEQUAL);
    RwD3D8SetVertexAlpha(TRUE);
    RwD3D8FlushRenderStates();
    ASSERT_TRUE(RwD3D8DeviceReset());
    EXPECT_EQ(OnDevice(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(OnDevice(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(OnDevice(D3DRS_STENCILFUNC), static_cast<DWORD>(D3DCMP_EQUAL));
    EXPECT_EQ(OnDevice(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(OnDevice(D3DRS_ZENABLE), 1u);
    EXPECT_GT(Sent(D3DRS_LIGHTING), 0u);
    RwUInt32 wanted = 0;
    RwD3D8GetRenderState(D3DRS_DESTBLEND, &wanted);
    EXPECT_EQ(OnDevice(D3DRS_DESTBLEND), wanted);
}

TEST_F(RenderStateCacheTest, ResetSendsDefinedStencilStatesWhenNoneWereSet)
{
    ASSERT_TRUE(RwD3D8DeviceReset());
    EXPECT_EQ(OnDevice(D3DRS_STENCILENABLE), 0u);
    EXPECT_EQ(OnDevice(D3DRS_STENCILFUNC), static_cast<DWORD>(D3DCMP_ALWAYS));
    EXPECT_EQ(OnDevice(D3DRS_STENCILFAIL), static_cast<DWORD>(D3DSTENCILOP_KEEP));
    EXPECT_EQ(OnDevice(D3DRS_STENCILZFAIL), static_cast<DWORD>(D3DSTENCILOP_KEEP));
    EXPECT_EQ(OnDevice(D3DRS_STENCILPASS), static_cast<DWORD>(D3DSTENCILOP_KEEP));
    EXPECT_EQ(OnDevice(D3DRS_STENCILMASK), 0xFFFFFFFFu);
    EXPECT_EQ(OnDevice(D3DRS_STENCILWRITEMASK), 0xFFFFFFFFu);
    RwUInt32 value = 0;
    EXPECT_TRUE(RwD3D8GetEngineRenderState(rwRENDERSTATESTENCILFUNCTION, &value));
    EXPECT_EQ(value, static_cast<RwUInt32>(rwSTENCILFUNCTIONALWAYS));
}

TEST_F(RenderStateCacheTest, TextureFilterDropsRaisedAnisotropy)
{
    rwD3D8RenderStates.stages[0].maxAnisotropy = 4;
    const RwUInt32 filter = rwD3D8RenderStates.stages[0].filterMode;
    Engine(rwRENDERSTATETEXTUREFILTER, filter);
    RwD3D8FlushRenderStates();
    RwUInt32 aniso = 0;
    RwD3D8GetTextureStageState(0, D3DTSS_MAXANISOTROPY, &aniso);
    EXPECT_EQ(aniso, 1u);
    EXPECT_EQ(rwD3D8RenderStates.stages[0].maxAnisotropy, 1u);
}

}  // namespace d3d8renderstate_test
