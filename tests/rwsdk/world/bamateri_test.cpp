// Materials and material lists: defaults, reference counts across lists
// and textures, the repeat entries of the list chunk and their checks.
#include "rwsdk/world/world_test_support.h"
#include "rwtexture.h"

namespace bamateri_test {

namespace {

using rwtest::WorldTest;

class MaterialTest : public WorldTest {};

TEST_F(MaterialTest, DefaultsAndTextureReferences)
{
    const RwSurfaceProperties old = {0.1f, 0.2f, 0.3f};
    RpMaterialSetDefaultSurfaceProperties(&old);
    RpMaterial *m = RpMaterialCreate();
    EXPECT_EQ(m->surfaceProps.diffuse, 0.3f);
    RpMaterialSetDefaultSurfaceProperties(nullptr);
    EXPECT_EQ(m->color.alpha, 255);
    EXPECT_EQ(m->refCount, 1);
    RwTexture *t = RwTextureCreate(nullptr);
    RpMaterialSetTexture(m, t);
    RpMaterialSetTexture(m, t);  // the same texture again is safe
    EXPECT_EQ(t->refCount, 2);
    RpMaterialDestroy(m);
    EXPECT_EQ(t->refCount, 1);
    RwTextureDestroy(t);
}

RpMaterialList *ReadList(std::vector<RwUInt8> bytes, RpMaterialList *list)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RwUInt32 length = 0;
    RpMaterialList *result = nullptr;
    if (RwStreamFindChunk(stream, rwID_MATLIST, &length, nullptr)) {
        result = RpMaterialListStreamRead(stream, list);
    }
    RwStreamClose(stream, nullptr);
    return result;
}

TEST_F(MaterialTest, RepeatedSlotsShareOneMaterial)
{
    RpMaterialList list;
    RpMaterialListInitialize(&list);
    RpMaterial *a = RpMaterialCreate();
    RpMaterial *b = RpMaterialCreate();
    for (RpMaterial *m : {a, b, a}) {
        RpMaterialListAppendMaterial(&list, m);
    }
    RpMaterialDestroy(a);
    RpMaterialDestroy(b);
    EXPECT_EQ(RpMaterialListFindMaterialIndex(&list, a), 2);
    std::vector<RwUInt8> bytes = rwtest::WrittenBy([&](RwStream *s) { RpMaterialListStreamWrite(&list, s); });
    EXPECT_EQ(bytes.size(), 12 + RpMaterialListStreamGetSize(&list));
    RpMaterialList read;
    RpMaterialListInitialize(&read);
    ASSERT_NE(ReadList(bytes, &read), nullptr);
    ASSERT_EQ(read.numMaterials, 3);
    EXPECT_EQ(read.materials[2], read.materials[0]);
    EXPECT_NE(read.materials[1], read.materials[0]);
    EXPECT_EQ(read.materials[0]->refCount, 2);
    RpMaterialListDeinitialize(&read);
    RpMaterialListDeinitialize(&list);
}

TEST_F(MaterialTest, ListEntriesMustNameEarlierSlots)
{
    for (RwInt32 entry : {1, 5, -2}) {
        std::vector<RwUInt8> bytes = rwtest::WrittenBy([&](RwStream *s) {
            RwStreamWriteChunkHeaderDefault(s, rwID_MATLIST, 12 + 8);
            RwStreamWriteChunkHeaderDefault(s, rwID_STRUCT, 8);
            RwStreamWriteInt32(s, 1);
            RwStreamWriteInt32(s, entry);
        });
        RpMaterialList list;
        RpMaterialListInitialize(&list);
        EXPECT_EQ(ReadList(bytes, &list), nullptr);
        EXPECT_EQ(list.numMaterials, 0);
        rwtest::TakeError();
    }
    // A count larger than the struct can hold is refused before allocating.
    std::vector<RwUInt8> bytes = rwtest::WrittenBy([&](RwStream *s) {
        RwStreamWriteChunkHeaderDefault(s, rwID_MATLIST, 12 + 8);
        RwStreamWriteChunkHeaderDefault(s, rwID_STRUCT, 8);
        RwStreamWriteInt32(s, 0x7FFFFFFF);
        RwStreamWriteInt32(s, -1);
    });
    RpMaterialList list;
    RpMaterialListInitialize(&list);
    EXPECT_EQ(ReadList(bytes, &list), nullptr);
    rwtest::TakeError();
}

}  // namespace

}  // namespace bamateri_test
