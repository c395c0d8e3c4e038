// Lightmaps on a started engine: attach refuses failed registrations, the
// atomic and material chunks round-trip, names and sizes from the file
// are checked, and an empty name keeps the atomic's pipeline.
#include <cstring>

#include "rpltmap.h"
#include "rwsdk/world/world_test_support.h"
#include "rwtexture.h"

namespace rpltmap_test {

namespace {

bool AttachLightMap() { return RpWorldPluginAttach() && RpLightMapPluginAttach(); }

RwTexture *ReadByName(const RwChar *name, const RwChar *)
{
    RwTexture *texture = RwTextureCreate(nullptr);
    RwTextureSetName(texture, name);
    return texture;
}

class LightMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rwtest::CountingMemory::Reset();
        rwtest::FakeDevice::Reset();
        live = rwtest::CountingMemory::LiveBlocks();
        ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 1 << 20, AttachLightMap));
        RwTextureSetReadCallBack(ReadByName);
    }
    void TearDown() override
    {
        EXPECT_TRUE(rwtest::EngineShutDown());
        EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), live);
    }
    size_t live = 0;
};

// The body of an atomic's lightmap chunk (header included).
std::vector<RwUInt8> ObjectChunk(RwUInt32 length, RwUInt32 size, const char *name, size_t nameBytes = 32)
{
    return rwtest::WrittenBy([&](RwStream *s) {
        RwStreamWriteChunkHeaderDefault(s, rwID_LTMAPPLUGIN, length);
        RwStreamWriteUInt32(s, 1);
        RwStreamWriteUInt32(s, 7);
        RwStreamWriteUInt32(s, size);
        char buffer[40] = {};
        std::memset(buffer, 'x', sizeof(buffer));
        std::memcpy(buffer, name, std::min(std::strlen(name) + 1, nameBytes));
        RwStreamWrite(s, buffer, static_cast<RwUInt32>(nameBytes));
    });
}

RwPluginEntry *LightMapEntry()
{
    RwPluginEntry *entry = RpAtomicGetPluginRegistry()->firstRegEntry;
    while (entry != nullptr && entry->pluginID != rwID_LTMAPPLUGIN) entry = entry->nextRegEntry;
    return entry;
}

RpAtomic *ReadInto(RpAtomic *atomic, std::vector<RwUInt8> bytes)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RwInt32 offset = RpAtomicGetPluginOffset(rwID_LTMAPPLUGIN);
    RwUInt64 saved = RwStreamEnterChunk(stream, static_cast<RwUInt32>(bytes.size()));
    RwPluginEntry *entry = LightMapEntry();
    RwStream *result = entry->readStream(stream, static_cast<RwInt32>(bytes.size()), atomic, offset, 0);
    RwStreamLeaveChunk(stream, saved);
    RwStreamClose(stream, nullptr);
    return result != nullptr ? atomic : nullptr;
}

TEST_F(LightMapTest, AttachAfterOpenReportsFailure)
{
    EXPECT_FALSE(RpLightMapPluginAttach());
    rwtest::TakeError();
}

TEST_F(LightMapTest, AtomicChunkRoundTripFindsTheTexture)
{
    RpAtomic *atomic = RpAtomicCreate();
    ASSERT_NE(ReadInto(atomic, ObjectChunk(44, 0, "room_lm")), nullptr);
    RwTexture *lightMap = RpLightMapAtomicGetLightMap(atomic);
    ASSERT_NE(lightMap, nullptr);
    EXPECT_STREQ(lightMap->name, "room_lm");
    EXPECT_EQ(atomic->pipeline, RpLightMapGetAtomicPipeline());
    EXPECT_EQ(RpLightMapAtomicGetData(atomic)->word1, 7u);
    const RwInt32 offset = RpAtomicGetPluginOffset(rwID_LTMAPPLUGIN);
    EXPECT_EQ(LightMapEntry()->getSizeStream(atomic, offset, 0), 56);
    std::vector<RwUInt8> written = rwtest::WrittenBy(
        [&](RwStream *s) { LightMapEntry()->writeStream(s, 56, atomic, offset, 0); });
    std::vector<RwUInt8> expected = ObjectChunk(44, 0, "room_lm");
    ASSERT_EQ(written.size(), 56u);
    // Header and words as read; the name up to its terminator.
    EXPECT_EQ(std::memcmp(written.data(), expected.data(), 24 + 8), 0);
    // The object holds the only reference (no dictionary is current); a
    // clone shares it and each lets go of its own.
    EXPECT_EQ(lightMap->refCount, 1);
    RpAtomic *clone = RpAtomicClone(atomic);
    EXPECT_EQ(RpLightMapAtomicGetLightMap(clone), lightMap);
    EXPECT_EQ(lightMap->refCount, 2);
    RpAtomicDestroy(clone);
    EXPECT_EQ(lightMap->refCount, 1);
    RpAtomicDestroy(atomic);
}

TEST_F(LightMapTest, NamesAndSizesFromTheFileAreChecked)
{
    RpAtomic *atomic = RpAtomicCreate();
    EXPECT_EQ(ReadInto(atomic, ObjectChunk(40, 0, "short", 28)), nullptr);  // chunk too short
    rwtest::TakeError();
    EXPECT_EQ(ReadInto(atomic, ObjectChunk(44, 0, "0123456789012345678901234567890123", 32)), nullptr);
    rwtest::TakeError();  // no terminator inside 32 bytes
    EXPECT_EQ(ReadInto(atomic, ObjectChunk(44, 0x10000000u, "huge")), nullptr);
    rwtest::TakeError();
    EXPECT_EQ(ReadInto(atomic, ObjectChunk(44, 0, "")), atomic);  // empty name: no texture, pipeline kept
    EXPECT_EQ(RpLightMapAtomicGetLightMap(atomic), nullptr);
    EXPECT_EQ(atomic->pipeline, nullptr);
    RpAtomicDestroy(atomic);
}

TEST_F(LightMapTest, MaterialWordsTravelOnlyWhenFlagged)
{
    RpMaterial *m = RpMaterialCreate();
    RpLightMapMaterialData *data = RpLightMapMaterialGetData(m);
    EXPECT_EQ(data->word2, 0xFFFFFFFFu);
    EXPECT_EQ(RwPluginRegistryGetSize(RpMaterialGetPluginRegistry(), m), 0);
    data->flags = 3;
    data->word3 = 0.5f;
    EXPECT_EQ(RwPluginRegistryGetSize(RpMaterialGetPluginRegistry(), m), 12 + 32);
    RpMaterial *copy = RpMaterialCreate();
    RwPluginRegistryCopyObject(RpMaterialGetPluginRegistry(), copy, m);
    EXPECT_EQ(RpLightMapMaterialGetData(copy)->word3, 0.5f);
    RpMaterialDestroy(copy);
    RpMaterialDestroy(m);
}

TEST_F(LightMapTest, RenderStyleIsStored)
{
    EXPECT_EQ(RpLightMapGetRenderStyle(), 3u);
    EXPECT_TRUE(RpLightMapSetRenderStyle(rpLTMAPSTYLERENDERLIGHTMAP, nullptr));
    EXPECT_EQ(RpLightMapGetRenderStyle(), 2u);
}

}  // namespace

}  // namespace rpltmap_test
