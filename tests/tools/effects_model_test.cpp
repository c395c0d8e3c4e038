// The maker's material-effects prop read back through the engine: the
// atomic keeps its effects flag and pipeline, both materials keep their
// effects, textures, coefficient and blend modes, and a second write gives
// the same bytes; the same for the showcase's three effects.
#include <gtest/gtest.h>

#include <cstring>

#include "rpmatfx.h"
#include "rwsdk/world/world_test_support.h"
#include "tools/mkdata/effects_model.h"
#include "tools/mkdata/model_writer.h"
#include "tools/model_test_support.h"

namespace effects_model_test {

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

// The showcase's three panels come back with their effects: the
// environment map with its texture and coefficient on the panel whose
// normals lean out, the second texture with its blend modes, and the bump
// map with its bump texture and the bumped texture named after the base and
// the bump texture (the name a reader builds it under); the model stands
// turned and placed, and a second write gives the same bytes.
TEST_F(EffectsModelTest, TheShowcasesThreeEffectsReadBack)
{
    const RwV3d place = {60.0f, 0.0f, -30.0f};
    RpClump *made = mkdata::BuildEffectsShowcaseClump(place, 45.0f);
    ASSERT_NE(made, nullptr);
    const std::vector<RwUInt8> bytes = Bytes(made);
    RpClumpDestroy(made);
    RpClump *clump = Read(bytes);
    ASSERT_NE(clump, nullptr);
    RpAtomic *atomic = FirstAtomic(clump);
    ASSERT_NE(atomic, nullptr);
    EXPECT_TRUE(RpMatFXAtomicQueryEffects(atomic));
    const RwMatrix *matrix = RwFrameGetMatrix(RpClumpGetFrame(clump));
    EXPECT_FLOAT_EQ(matrix->pos.x, place.x);
    EXPECT_FLOAT_EQ(matrix->pos.z, place.z);
    EXPECT_NEAR(matrix->at.x, matrix->at.z, 1e-5f) << "turned by 45 degrees";
    RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    ASSERT_EQ(geometry->matList.numMaterials, 3);
    ASSERT_EQ(geometry->numVertices, 12);
    RpMaterial *env = geometry->matList.materials[0];
    RpMaterial *dual = geometry->matList.materials[1];
    RpMaterial *bump = geometry->matList.materials[2];
    for (RpMaterial *material : {env, dual, bump}) {
        ASSERT_NE(material->texture, nullptr);
        EXPECT_STREQ(material->texture->name, mkdata::EffectsBaseTextureName());
    }
    ASSERT_EQ(RpMatFXMaterialGetEffects(env), rpMATFXEFFECTENVMAP);
    const RpMatFXEnvMapData &envData = RpMatFXMaterialGetPass(env, rpMATFXEFFECTENVMAP)->data.envMap;
    ASSERT_NE(envData.texture, nullptr);
    EXPECT_STREQ(envData.texture->name, mkdata::EffectsEnvTextureName());
    EXPECT_FLOAT_EQ(envData.coef, mkdata::kShowcaseEnvCoefficient);
    ASSERT_EQ(RpMatFXMaterialGetEffects(dual), rpMATFXEFFECTDUAL);
    const RpMatFXDualData &dualData = RpMatFXMaterialGetPass(dual, rpMATFXEFFECTDUAL)->data.dual;
    ASSERT_NE(dualData.texture, nullptr);
    EXPECT_STREQ(dualData.texture->name, mkdata::EffectsDualTextureName());
    EXPECT_EQ(dualData.srcBlendMode, static_cast<RwUInt32>(rwBLENDDESTCOLOR));
    ASSERT_EQ(RpMatFXMaterialGetEffects(bump), rpMATFXEFFECTBUMPMAP);
    const RpMatFXBumpMapData &bumpData = RpMatFXMaterialGetPass(bump, rpMATFXEFFECTBUMPMAP)->data.bumpMap;
    ASSERT_NE(bumpData.bumpTexture, nullptr);
    EXPECT_STREQ(bumpData.bumpTexture->name, mkdata::EffectsBumpTextureName());
    ASSERT_NE(bumpData.bumpedTexture, nullptr);
    RwChar combined[rwTEXTURECOMBINEDNAMELENGTH + 1];
    RwTextureMakeCombinedName(combined, mkdata::EffectsBaseTextureName(), mkdata::EffectsBumpTextureName());
    EXPECT_STREQ(bumpData.bumpedTexture->name, combined);
    EXPECT_FLOAT_EQ(bumpData.coef, -mkdata::kShowcaseBumpCoefficient);
    // The environment map's panel (vertices 0..3) leans its normals out;
    // the other two face straight ahead.
    const RwV3d *normals = geometry->morphTarget[0].normals;
    for (int v = 0; v < 12; ++v) {
        if (v < 4) {
            EXPECT_LT(-normals[v].z, 0.9f) << v;
        } else {
            EXPECT_FLOAT_EQ(normals[v].z, -1.0f) << v;
        }
    }
    EXPECT_EQ(Bytes(clump), bytes);
    RpClumpDestroy(clump);
}

}  // namespace

}  // namespace effects_model_test
