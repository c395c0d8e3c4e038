// The maker's lightmapped world read back through the engine: every leaf
// keeps its lightmap name and size, the lightmaps found in the dictionary
// are the ones attached, the missing one comes back as the placeholder (a
// texture of the asked size under its own name), and the leaves go onto
// the lightmap pipeline; the render style's point sampling reaches every
// lightmap texture of the world; the written stage folder holds the world
// and every lightmap image but the missing one.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "plugin/ltmap/ltmappriv.h"
#include "rpltmap.h"
#include "rtbmp.h"
#include "rwsdk/world/world_test_support.h"
#include "support/engine/scratch_path.h"
#include "tools/mkdata/lightmap_world.h"
#include "tools/mkdata/stage_world.h"

namespace lightmap_world_test {

namespace {

bool AttachLightMaps() { return RpWorldPluginAttach() && RpLightMapPluginAttach(); }

class LightMapWorldTest : public rwtest::WorldTest {
protected:
    LightMapWorldTest() : WorldTest(AttachLightMaps) {}
    void SetUp() override
    {
        WorldTest::SetUp();
        dictionary = RwTexDictionaryCreate();
        ASSERT_NE(dictionary, nullptr);
        RwTexDictionarySetCurrent(dictionary);
        ASSERT_TRUE(mkdata::CreateStageTextures());
    }
    void TearDown() override
    {
        RwTexDictionarySetCurrent(nullptr);
        RwTexDictionaryDestroy(dictionary);
        WorldTest::TearDown();
    }
    // Lightmaps in the dictionary for every name but the missing one.
    std::vector<RwTexture *> AddFoundLightMaps()
    {
        std::vector<RwTexture *> found;
        for (const std::string &name : mkdata::LightMapNames()) {
            if (name == mkdata::MissingLightMapName()) {
                continue;
            }
            RwRaster *raster = RwRasterCreate(mkdata::kLightMapEdge, mkdata::kLightMapEdge, 0,
                                              rwRASTERTYPETEXTURE | rwRASTERFORMAT888);
            RwTexture *texture = RwTextureCreate(raster);
            RwTextureSetName(texture, name.c_str());
            RwTexDictionaryAddTexture(dictionary, texture);
            found.push_back(texture);
        }
        return found;
    }
    RwTexDictionary *dictionary = nullptr;
};

template <typename T>
T *Gather(T *item, void *list)
{
    static_cast<std::vector<T *> *>(list)->push_back(item);
    return item;
}

std::vector<RpWorldSector *> Leaves(RpWorld *world)
{
    std::vector<RpWorldSector *> leaves;
    RpWorldForAllWorldSectors(world, Gather<RpWorldSector>, &leaves);
    return leaves;
}

RpWorld *ReadWorld(RwStream *stream)
{
    RwUInt32 length = 0;
    if (stream == nullptr || !RwStreamFindChunk(stream, rwID_WORLD_CHUNK, &length, nullptr)) {
        return nullptr;
    }
    const RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RpWorld *world = RpWorldStreamRead(stream);
    RwStreamLeaveChunk(stream, saved);
    return world;
}

// The maker's world written to memory and read back; null on failure.
RpWorld *BuiltAndReadBack()
{
    RpWorld *made = mkdata::BuildLightMapWorld();
    if (made == nullptr) {
        return nullptr;
    }
    std::vector<RwUInt8> bytes =
        rwtest::WrittenBy([&](RwStream *s) { EXPECT_NE(RpWorldStreamWrite(made, s), nullptr); });
    RpWorldDestroy(made);
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RpWorld *world = ReadWorld(stream);
    RwStreamClose(stream, nullptr);
    return world;
}

TEST_F(LightMapWorldTest, LeavesReadBackWithTheirLightMapsAndThePlaceholder)
{
    const std::vector<RwTexture *> found = AddFoundLightMaps();
    RpWorld *world = BuiltAndReadBack();
    ASSERT_NE(world, nullptr);
    const std::vector<RpWorldSector *> leaves = Leaves(world);
    ASSERT_EQ(leaves.size(), mkdata::LightMapNames().size());
    ASSERT_GE(leaves.size(), 2u);
    for (size_t i = 0; i < leaves.size(); ++i) {
        const std::string &name = mkdata::LightMapNames()[i];
        RwTexture *lightMap = RpLightMapWorldSectorGetLightMap(leaves[i]);
        ASSERT_NE(lightMap, nullptr) << name;
        EXPECT_EQ(std::string(lightMap->name), name);
        EXPECT_EQ(RpLightMapWorldSectorGetData(leaves[i])->size, static_cast<RwUInt32>(mkdata::kLightMapEdge));
        EXPECT_EQ(leaves[i]->pipeline, LightMapGlobalsGet().sectorPipeline) << name;
        if (name == mkdata::MissingLightMapName()) {
            // The placeholder: made here, not one of the dictionary's.
            EXPECT_EQ(std::find(found.begin(), found.end(), lightMap), found.end());
            ASSERT_NE(lightMap->raster, nullptr);
            EXPECT_EQ(lightMap->raster->width, mkdata::kLightMapEdge);
            EXPECT_EQ(lightMap->raster->height, mkdata::kLightMapEdge);
        } else {
            EXPECT_EQ(lightMap, found[i]);
        }
    }
    RpWorldDestroy(world);
}

TEST_F(LightMapWorldTest, RenderStyleFiltersEveryLightMapOfTheWorld)
{
    const std::vector<RwTexture *> found = AddFoundLightMaps();
    RpWorld *world = BuiltAndReadBack();
    ASSERT_NE(world, nullptr);
    auto filters = [&] {
        std::vector<RwInt32> modes;
        for (RpWorldSector *leaf : Leaves(world)) {
            modes.push_back(RwTextureGetFilterMode(RpLightMapWorldSectorGetLightMap(leaf)));
        }
        return modes;
    };
    const size_t count = mkdata::LightMapNames().size();
    ASSERT_TRUE(RpLightMapSetRenderStyle(rpLTMAPSTYLERENDERBASE | rpLTMAPSTYLERENDERLIGHTMAP | rpLTMAPSTYLEPOINTSAMPLE,
                                         world));
    EXPECT_EQ(filters(), std::vector<RwInt32>(count, rwFILTERNEAREST));
    ASSERT_TRUE(RpLightMapSetRenderStyle(rpLTMAPSTYLERENDERBASE | rpLTMAPSTYLERENDERLIGHTMAP, world));
    EXPECT_EQ(filters(), std::vector<RwInt32>(count, rwFILTERLINEAR));
    // The world's base textures are not lightmaps and keep their filter.
    RwTexture *tile = RwTexDictionaryFindTexture(dictionary, mkdata::StageTextures()[0].name);
    ASSERT_NE(tile, nullptr);
    EXPECT_NE(RwTextureGetFilterMode(tile), rwFILTERNEAREST);
    EXPECT_EQ(RpLightMapGetRenderStyle(), rpLTMAPSTYLERENDERBASE | rpLTMAPSTYLERENDERLIGHTMAP);
    RpWorldDestroy(world);
}

TEST_F(LightMapWorldTest, StageFolderHoldsTheWorldAndAllButTheMissingLightMap)
{
    const std::string root = rwtest::ScratchPath("mkdata-lightmap");
    ASSERT_TRUE(mkdata::WriteLightMapWorld(root));
    const std::filesystem::path textures = std::filesystem::path(root) / mkdata::StageTextureFolder();
    for (size_t leaf = 0; leaf < mkdata::LightMapNames().size(); ++leaf) {
        const std::string &name = mkdata::LightMapNames()[leaf];
        const std::filesystem::path path = textures / mkdata::LightMapFileName(name);
        if (name == mkdata::MissingLightMapName()) {
            EXPECT_FALSE(std::filesystem::exists(path));
            continue;
        }
        RwImage *image = RtBmpRead(path.string().c_str());
        ASSERT_NE(image, nullptr) << path;
        EXPECT_EQ(image->width, mkdata::kLightMapEdge);
        EXPECT_EQ(image->height, mkdata::kLightMapEdge);
        RwImageDestroy(image);
    }
    const std::string world = (std::filesystem::path(root) / mkdata::StageFolder() / mkdata::LightMapWorldName()).string();
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, world.c_str());
    ASSERT_NE(stream, nullptr);
    // With no lightmap in the dictionary or on the search path every leaf
    // gets a placeholder, and the read still succeeds.
    RpWorld *read = ReadWorld(stream);
    RwStreamClose(stream, nullptr);
    ASSERT_NE(read, nullptr);
    for (RpWorldSector *leaf : Leaves(read)) {
        EXPECT_NE(RpLightMapWorldSectorGetLightMap(leaf), nullptr);
    }
    RpWorldDestroy(read);
    std::filesystem::remove_all(root);
}

}  // namespace

}  // namespace lightmap_world_test
