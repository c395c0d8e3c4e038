// The maker's material-effects prop read back through the engine: the
// atomic keeps its effects flag and pipeline, both materials keep their
// effects, textures, coefficient and blend modes, and a second write gives
// the same bytes.
#include <gtest/gtest.h>

#include <cstring>

#include "rpmatfx.h"
#include "rwsdk/world/world_test_support.h"
#include "tools/mkdata/effects_model.h"
#include "tools/mkdata/model_writer.h"
#include "tools/model_test_support.h"

namespace {

bool AttachEffects() { return RpWorldPluginAttach() && RpMatFXPluginAttach(); }

// A texture as the game holds one read from its file: on a raster.
RwTexture *ByName(const RwChar *name, const RwChar *) { return mkdata::CreateTextureReference(name); }

class EffectsModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rwtest::CountingMemory::Reset();
        rwtest::FakeDevice::Reset();
        ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 1 << 20, AttachEffects));
        RwTextureSetReadCallBack(ByName);
    }
    void TearDown() override { EXPECT_TRUE(rwtest::EngineShutDown()); }

    static std::vector<RwUInt8> Bytes(RpClump *clump) { return modeltest::ClumpBytes(clump); }
    static RpClump *Read(std::vector<RwUInt8> bytes) { return modeltest::ReadClumpBytes(std::move(bytes)); }
};

using modeltest::FirstAtomic;

TEST_F(EffectsModelTest, EnvironmentAndDualMaterialsReadBack)
{
    RpClump *made = mkdata::BuildEffectsClump();
    ASSERT_NE(made, nullptr);
    const std::vector<RwUInt8> bytes = Bytes(made);
    RpClumpDestroy(made);
    RpClump *clump = Read(bytes);
    ASSERT_NE(clump, nullptr);
    RpAtomic *atomic = FirstAtomic(clump);
    ASSERT_NE(atomic, nullptr);
    // The flag comes back and, with it, the effects pipeline the file's
    // pipeline owner names.
    EXPECT_TRUE(RpMatFXAtomicQueryEffects(atomic));
    EXPECT_EQ(atomic->pipeline, RpMatFXGetD3D8Pipeline(FALSE));
    RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    ASSERT_EQ(geometry->matList.numMaterials, 2);
    RpMaterial *front = geometry->matList.materials[0];
    RpMaterial *back = geometry->matList.materials[1];
    ASSERT_EQ(RpMatFXMaterialGetEffects(front), rpMATFXEFFECTENVMAP);
    const RpMatFXEnvMapData &env = RpMatFXMaterialGetPass(front, rpMATFXEFFECTENVMAP)->data.envMap;
    ASSERT_NE(env.texture, nullptr);
    EXPECT_STREQ(env.texture->name, mkdata::EffectsEnvTextureName());
    EXPECT_FLOAT_EQ(env.coef, mkdata::kEffectsEnvCoefficient);
    ASSERT_EQ(RpMatFXMaterialGetEffects(back), rpMATFXEFFECTDUAL);
    const RpMatFXDualData &dual = RpMatFXMaterialGetPass(back, rpMATFXEFFECTDUAL)->data.dual;
    ASSERT_NE(dual.texture, nullptr);
    EXPECT_STREQ(dual.texture->name, mkdata::EffectsDualTextureName());
    EXPECT_EQ(dual.srcBlendMode, static_cast<RwUInt32>(rwBLENDDESTCOLOR));
    EXPECT_EQ(dual.dstBlendMode, static_cast<RwUInt32>(rwBLENDSRCCOLOR));
    EXPECT_EQ(Bytes(clump), bytes);
    RpClumpDestroy(clump);
}

}  // namespace
