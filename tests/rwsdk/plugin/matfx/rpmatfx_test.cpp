// Material effects on a started engine: the passes each effect type lays
// out, texture references across set-ups and copies, the environment
// coefficient's 8-bit factor, the bump set-up without a base texture, the
// atomic flag and its round trip with the pipeline owner, and the material
// stream round trip.
#include "plugin/matfx/matfxpriv.h"
#include "rpmatfx.h"
#include "rwsdk/world/world_test_support.h"
#include "rwtexture.h"
#include "world/bamodules.h"

namespace rpmatfx_test {

namespace {

bool AttachMatFX() { return RpWorldPluginAttach() && RpMatFXPluginAttach(); }

RwTexture *ReadByName(const RwChar *name, const RwChar *)
{
    RwTexture *texture = RwTextureCreate(nullptr);
    RwTextureSetName(texture, name);
    return texture;
}

class MatFXTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rwtest::CountingMemory::Reset();
        rwtest::FakeDevice::Reset();
        live = rwtest::CountingMemory::LiveBlocks();
        ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 1 << 20, AttachMatFX));
        RwTextureSetReadCallBack(ReadByName);
    }
    void TearDown() override
    {
        EXPECT_TRUE(rwtest::EngineShutDown());
        EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), live);
    }
    size_t live = 0;
};

TEST_F(MatFXTest, EffectTypesLayOutTheirPasses)
{
    RpMaterial *m = RpMaterialCreate();
    EXPECT_EQ(RpMatFXMaterialGetEffects(m), 0u);
    ASSERT_EQ(RpMatFXMaterialSetEffects(m, rpMATFXEFFECTBUMPENVMAP), m);
    RpMatFXMaterialData *data = RpMatFXMaterialGetData(m);
    EXPECT_EQ(data->data[0].effectType, rpMATFXEFFECTBUMPMAP);
    EXPECT_EQ(data->data[1].effectType, rpMATFXEFFECTENVMAP);
    EXPECT_EQ(RpMatFXMaterialGetPass(m, rpMATFXEFFECTENVMAP), &data->data[1]);
    RpMatFXMaterialSetEffects(m, rpMATFXEFFECTDUAL);
    EXPECT_EQ(data->data[0].data.dual.srcBlendMode, 5u);
    EXPECT_EQ(data->data[0].data.dual.dstBlendMode, 6u);
    EXPECT_EQ(data->data[1].effectType, 0u);
    RpMaterialDestroy(m);
}

TEST_F(MatFXTest, EnvMapReplacesAndReleasesItsTexture)
{
    RpMaterial *m = RpMaterialCreate();
    RwTexture *a = RwTextureCreate(nullptr);
    RwTexture *b = RwTextureCreate(nullptr);
    RpMatFXMaterialSetEffects(m, rpMATFXEFFECTENVMAP);
    RpMatFXMaterialSetupEnvMap(m, a, nullptr, TRUE, 0.5f);
    EXPECT_EQ(a->refCount, 2);
    RpMatFXMaterialSetupEnvMap(m, b, nullptr, TRUE, 0.25f);
    EXPECT_EQ(a->refCount, 1);
    EXPECT_EQ(b->refCount, 2);
    // Same type again keeps the pass; another type clears it.
    RpMatFXMaterialSetEffects(m, rpMATFXEFFECTENVMAP);
    EXPECT_EQ(RpMatFXMaterialGetPass(m, 2)->data.envMap.texture, b);
    RpMaterial *copy = RpMaterialCreate();
    RwPluginRegistryCopyObject(RpMaterialGetPluginRegistry(), copy, m);
    EXPECT_EQ(b->refCount, 3);
    EXPECT_EQ(RpMatFXMaterialGetPass(copy, 2)->data.envMap.coef, 0.25f);
    RpMatFXMaterialSetEffects(m, rpMATFXEFFECTDUAL);
    EXPECT_EQ(b->refCount, 2);
    RpMaterialDestroy(copy);
    EXPECT_EQ(b->refCount, 1);
    RpMaterialDestroy(m);
    RwTextureDestroy(a);
    RwTextureDestroy(b);
}

TEST_F(MatFXTest, EnvCoefficientClampsInsteadOfWrapping)
{
    EXPECT_EQ(MatFXEnvCoefficientByte(0.0f), 0u);
    EXPECT_EQ(MatFXEnvCoefficientByte(1.0f / 600.0f), 0u);  // below 1/510 draws plainly
    EXPECT_EQ(MatFXEnvCoefficientByte(0.5f), 128u);
    EXPECT_EQ(MatFXEnvCoefficientByte(1.0f), 255u);
    EXPECT_EQ(MatFXEnvCoefficientByte(1.5f), 255u);  // wrapping would give 126
    EXPECT_EQ(MatFXEnvCoefficientByte(-2.0f), 0u);
}

TEST_F(MatFXTest, BumpSetupWithoutABaseTextureIsSafe)
{
    RpMaterial *m = RpMaterialCreate();
    RwTexture *bump = RwTextureCreate(nullptr);
    RpMatFXMaterialSetEffects(m, rpMATFXEFFECTBUMPMAP);
    RwFrame *frame = RwFrameCreate();
    EXPECT_EQ(RpMatFXMaterialSetupBumpMap(m, bump, frame, 0.75f), m);
    const RpMatFXBumpMapData &pass = RpMatFXMaterialGetPass(m, 1)->data.bumpMap;
    EXPECT_EQ(pass.bumpTexture, bump);
    EXPECT_EQ(pass.bumpedTexture, nullptr);
    EXPECT_EQ(pass.coef, -0.75f);
    EXPECT_EQ(pass.invBumpWidth, 0.0f);
    EXPECT_EQ(RpMatFXMaterialSetupBumpMap(m, nullptr, frame, 1.0f), m);
    EXPECT_EQ(bump->refCount, 1);
    RpMaterialDestroy(m);
    RwTextureDestroy(bump);
    RwFrameDestroy(frame);
}

TEST_F(MatFXTest, AtomicEnableIsOnceAndCopies)
{
    RpAtomic *atomic = RpAtomicCreate();
    EXPECT_FALSE(RpMatFXAtomicQueryEffects(atomic));
    RpMatFXAtomicEnableEffects(atomic);
    EXPECT_TRUE(RpMatFXAtomicQueryEffects(atomic));
    EXPECT_EQ(atomic->pipeline, RpMatFXGetD3D8Pipeline(FALSE));
    atomic->pipeline = nullptr;
    RpMatFXAtomicEnableEffects(atomic);  // already on: nothing changes
    EXPECT_EQ(atomic->pipeline, nullptr);
    RpAtomicDestroy(atomic);
}

// The atomic's extension chunk written and read back the way the clump
// reader reads it: pending owner cleared, extensions read, owner's rights.
RpAtomic *AtomicExtensionsRoundTrip(const RpAtomic *atomic, size_t *bytesWritten)
{
    const RwPluginRegistry *registry = RpAtomicGetPluginRegistry();
    std::vector<RwUInt8> bytes =
        rwtest::WrittenBy([&](RwStream *s) { EXPECT_NE(RwPluginRegistryWriteData(registry, s, atomic), nullptr); });
    *bytesWritten = bytes.size();
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RpAtomic *read = RpAtomicCreate();
    rpPipelineRightsClear();
    if (RwPluginRegistryReadData(registry, stream, read) == nullptr || !rpPipelineRightsApply(registry, read)) {
        RpAtomicDestroy(read);
        read = nullptr;
    }
    RwStreamClose(stream, nullptr);
    return read;
}

TEST_F(MatFXTest, AtomicFlagRoundTripsWithItsPipelineOwner)
{
    RpAtomic *atomic = RpAtomicCreate();
    size_t plainBytes = 0;
    RpAtomic *plain = AtomicExtensionsRoundTrip(atomic, &plainBytes);
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(RpMatFXAtomicQueryEffects(plain));
    EXPECT_NE(plain->pipeline, RpMatFXGetD3D8Pipeline(FALSE));
    RpAtomicDestroy(plain);

    RpMatFXAtomicEnableEffects(atomic);
    size_t flaggedBytes = 0;
    RpAtomic *read = AtomicExtensionsRoundTrip(atomic, &flaggedBytes);
    // The file names this plug-in as the pipeline's owner: the read must
    // not fail on it, and the atomic is back on the effects pipeline.
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(RpMatFXAtomicQueryEffects(read));
    EXPECT_EQ(read->pipeline, RpMatFXGetD3D8Pipeline(FALSE));
    // The flag's sub-chunk (header and word) and the owner's (header, id, data).
    EXPECT_EQ(flaggedBytes - plainBytes, (12u + 4u) + (12u + 8u));
    RpAtomicDestroy(read);

    // An owner named without the flag chunk still gets its pipeline back.
    RwUInt32 *flag = MatFXFlagSlot(atomic, MatFXGlobalsGet().atomicOffset);
    *flag = 0;
    read = AtomicExtensionsRoundTrip(atomic, &flaggedBytes);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->pipeline, RpMatFXGetD3D8Pipeline(FALSE));
    EXPECT_FALSE(RpMatFXAtomicQueryEffects(read));
    RpAtomicDestroy(read);
    RpAtomicDestroy(atomic);
}

RpMaterial *RoundTrip(const RpMaterial *m, size_t *extensionBytes)
{
    std::vector<RwUInt8> bytes = rwtest::WrittenBy([&](RwStream *s) { RpMaterialStreamWrite(m, s); });
    *extensionBytes = bytes.size();
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RwUInt32 length = 0;
    RpMaterial *read = nullptr;
    if (RwStreamFindChunk(stream, rwID_MATERIAL, &length, nullptr)) {
        read = RpMaterialStreamRead(stream);
    }
    RwStreamClose(stream, nullptr);
    return read;
}

TEST_F(MatFXTest, MaterialStreamRoundTrip)
{
    RpMaterial *m = RpMaterialCreate();
    size_t plainBytes = 0;
    RpMatFXMaterialSetEffects(m, rpMATFXEFFECTNULL);  // a record with no effect writes nothing
    RpMaterialDestroy(RoundTrip(m, &plainBytes));
    RwTexture *env = ReadByName("chrome", nullptr);
    RwTexture *dual = ReadByName("dirt", nullptr);
    RpMatFXMaterialSetEffects(m, rpMATFXEFFECTENVMAP);
    RpMatFXMaterialSetupEnvMap(m, env, nullptr, TRUE, 0.625f);
    size_t envBytes = 0;
    RpMaterial *read = RoundTrip(m, &envBytes);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(envBytes - plainBytes, 12u + RpMatFXMaterialStreamGetSize(m, 0, 0));
    const RpMatFXEnvMapData &e = RpMatFXMaterialGetPass(read, 2)->data.envMap;
    EXPECT_EQ(e.coef, 0.625f);
    EXPECT_EQ(e.useFrameBufferAlpha, 1u);
    ASSERT_NE(e.texture, nullptr);
    EXPECT_STREQ(e.texture->name, "chrome");
    EXPECT_EQ(e.texture->refCount, 1);
    RpMaterialDestroy(read);
    RpMatFXMaterialSetEffects(m, rpMATFXEFFECTDUAL);
    RpMatFXMaterialSetupDualTexture(m, dual, 9, 1);
    read = RoundTrip(m, &envBytes);
    ASSERT_NE(read, nullptr);
    const RpMatFXDualData &d = RpMatFXMaterialGetPass(read, 4)->data.dual;
    EXPECT_EQ(d.srcBlendMode, 9u);
    EXPECT_EQ(d.dstBlendMode, 1u);
    EXPECT_STREQ(d.texture->name, "dirt");
    RpMaterialDestroy(read);
    RpMaterialDestroy(m);
    RwTextureDestroy(env);
    RwTextureDestroy(dual);
}

TEST_F(MatFXTest, ShaderStreamsDecodeOnTheDevice)
{
    for (RwInt32 i = 0; i < 6; ++i) {
        const RwUInt32 *tokens = RpMatFXD3D8PixelShaderTokens(i);
        ASSERT_NE(tokens, nullptr);
        EXPECT_EQ(tokens[0], 0xFFFF0100u);
    }
    EXPECT_EQ(RpMatFXD3D8PixelShaderTokens(6), nullptr);
}

}  // namespace

}  // namespace rpmatfx_test
