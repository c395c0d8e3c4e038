// Tests of textures and dictionaries: reference counts across dictionaries,
// the find and read callbacks, the texture chunk (exact bytes, cut names,
// switches restored), and the default reader over BMP files, mip levels
// included, with long names that once overran their buffers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "rtbmp.h"
#include "support/engine/engine_env.h"
#include "support/engine/memory_stream.h"
#include "support/engine/scratch_path.h"
#include "tests/rwsdk/src/image_test_support.h"

namespace batextur_test {

namespace {

using imgtest::FakeRasters;
using rwtest::TakeError;

class TextureTest : public rwtest::EngineTest {
protected:
    void SetUp() override
    {
        rwtest::EngineTest::SetUp();
        FakeRasters::Reset();
        FakeRasters::Install();
    }
    void TearDown() override
    {
        rwtest::EngineTest::TearDown();
        EXPECT_EQ(FakeRasters::LiveRasters(), 0);
    }
    RwTexture *Named(const char *name)
    {
        RwTexture *t = RwTextureCreate(RwRasterCreate(2, 2, 32, rwRASTERTYPETEXTURE));
        RwTextureSetName(t, name);
        return t;
    }
};

TEST_F(TextureTest, ReferenceCountsAcrossDictionaries)
{
    RwTexDictionary *dict = RwTexDictionaryCreate();
    RwTexDictionarySetCurrent(dict);
    RwTexDictionaryAddTexture(dict, Named("Brick"));
    RwTexture *a = RwTextureRead("brick", nullptr);
    ASSERT_NE(a, nullptr);
    RwTexture *b = RwTextureRead("BRICK", "");
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->refCount, 3);
    EXPECT_EQ(RwTextureRead("bri", nullptr), nullptr);  // never a mere prefix
    EXPECT_EQ(TakeError().errorCode, 22);
    RwTextureDestroy(a);
    RwTextureDestroy(a);
    // The dictionary gives up the creation reference; the survivor leaves it.
    RwTexture *kept = RwTextureAddRef(a);
    RwTexDictionaryDestroy(dict);
    EXPECT_EQ(RwTexDictionaryGetCurrent(), nullptr);
    EXPECT_EQ(kept->dict, nullptr);
    EXPECT_EQ(kept->refCount, 1);
    RwTextureDestroy(kept);
}

TEST_F(TextureTest, FindWithoutCurrentDictionarySearchesThemAll)
{
    RwTexDictionary *one = RwTexDictionaryCreate();
    RwTexDictionary *two = RwTexDictionaryCreate();
    RwTexDictionaryAddTexture(one, Named("grass"));
    RwTexDictionaryAddTexture(two, Named("grass"));
    RwTexDictionarySetCurrent(nullptr);
    RwTexture *found = RwTextureRead("GRASS", nullptr);
    EXPECT_EQ(found->dict, two);  // newest dictionary first
    RwTextureDestroy(found);
    int seen = 0;
    RwTexDictionaryForAllTextures(one, [](RwTexture *t, void *data) {
        ++*static_cast<int *>(data);
        RwTextureDestroy(t);  // the walk tolerates it
        return t;
    }, &seen);
    EXPECT_EQ(seen, 1);
    RwTexDictionaryDestroy(one);
    RwTexDictionaryDestroy(two);
}

TEST_F(TextureTest, NamesAreCutToTheirFields)
{
    RwTexture *t = Named(std::string(40, 'x').c_str());
    EXPECT_EQ(std::string(t->name), std::string(31, 'x'));
    EXPECT_EQ(TakeError().errorCode, E_RW_STRINGTRUNCATED);
    RwTextureDestroy(t);
}

TEST_F(TextureTest, StreamChunkHasTheExpectedBytes)
{
    RwTexture *t = Named("abc");
    RwTextureSetMaskName(t, "mask1");
    RwTextureSetFilterMode(t, rwFILTERLINEAR);
    RwTextureSetAddressingV(t, rwTEXTUREADDRESSCLAMP);
    EXPECT_EQ(RwTextureStreamGetSize(t), 4u + 8u + 52u);
    RwStream *out = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    ASSERT_NE(RwTextureStreamWrite(t, out), nullptr);
    const std::vector<RwUInt8> bytes = rwtest::CloseMemoryWrite(out);
    const RwUInt32 stamp = RwLibraryStampMake(0x35000, 0xFFFF);
    std::vector<RwUInt8> expected;
    auto put = [&expected](RwUInt32 v) {
        for (int i = 0; i < 4; ++i) expected.push_back(static_cast<RwUInt8>(v >> (8 * i)));
    };
    put(6), put(64), put(stamp);
    put(1), put(4), put(stamp), put(0x13102);  // raster without auto-mipmap: bit 16
    put(2), put(4), put(stamp), put('a' | 'b' << 8 | 'c' << 16);
    put(2), put(8), put(stamp), put('m' | 'a' << 8 | 's' << 16 | 'k' << 24), put('1');
    put(3), put(0), put(stamp);
    EXPECT_EQ(bytes, expected);
    RwTextureDestroy(t);
}

std::vector<RwUInt8> TextureChunk(RwUInt32 word, const std::string &name, RwUInt32 version = 0x35000)
{
    std::vector<RwUInt8> b;
    auto put = [&b](RwUInt32 v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<RwUInt8>(v >> (8 * i)));
    };
    const RwUInt32 padded = (static_cast<RwUInt32>(name.size()) + 4) & ~3u;
    put(1), put(4), put(RwLibraryStampMake(version, 0xFFFF)), put(word);
    put(2), put(padded), put(RwLibraryStampMake(version, 0xFFFF));
    std::string text = name;
    text.resize(padded, '\0');
    b.insert(b.end(), text.begin(), text.end());
    put(2), put(4), put(RwLibraryStampMake(version, 0xFFFF)), put(0);
    put(3), put(0), put(RwLibraryStampMake(version, 0xFFFF));
    return b;
}

struct Seen {
    std::string name;
    RwBool mipmapping;
    RwBool autoMipmapping;
};
Seen seen;
RwTexture *RecordRead(const RwChar *name, const RwChar *)
{
    seen = Seen{name, RwTextureGetMipmapping(), RwTextureGetAutoMipmapping()};
    return RwTextureCreate(nullptr);
}

TEST_F(TextureTest, StreamReadModesSwitchesAndLongNames)
{
    RwTextureSetReadCallBack(RecordRead);
    std::vector<RwUInt8> bytes = TextureChunk(0x0302, "wall");
    bytes.push_back(0x77);  // whatever follows must be untouched
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RwTexture *t = RwTextureStreamRead(stream);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->filterAddressing, 0x3302u);
    EXPECT_FALSE(seen.mipmapping);
    RwUInt8 next = 0;
    EXPECT_EQ(RwStreamRead(stream, &next, 1), 1u);
    EXPECT_EQ(next, 0x77);
    RwStreamClose(stream, nullptr);
    RwTextureDestroy(t);

    bytes = TextureChunk(0x1104, std::string(300, 'q'));
    stream = rwtest::OpenMemoryRead(bytes, &desc);
    t = RwTextureStreamRead(stream);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(seen.name, std::string(127, 'q'));
    EXPECT_TRUE(seen.mipmapping);
    EXPECT_TRUE(seen.autoMipmapping);
    EXPECT_FALSE(RwTextureGetMipmapping());
    EXPECT_EQ(RwStreamBytesLeft(stream), 0u);
    RwStreamClose(stream, nullptr);
    RwTextureDestroy(t);
    TakeError();

    RwTextureSetMipmapping(TRUE);
    bytes = TextureChunk(0x1104, "old", 0x30000);
    stream = rwtest::OpenMemoryRead(bytes, &desc);
    EXPECT_EQ(RwTextureStreamRead(stream), nullptr);
    EXPECT_EQ(TakeError().errorCode, E_RW_BADVERSION);
    EXPECT_TRUE(RwTextureGetMipmapping());
    RwStreamClose(stream, nullptr);
    RwTextureSetReadCallBack(RwTextureDefaultRead);
}

class TextureFileTest : public TextureTest {
protected:
    void SetUp() override
    {
        TextureTest::SetUp();
        dir = rwtest::ScratchPath("tex") + "/";
        ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
        ASSERT_TRUE(RwImageRegisterFormat("bmp", RtBmpRead, RtBmpWrite));
        RwImageSetPath(dir.c_str());
    }
    void TearDown() override
    {
        std::system(("rm -rf " + dir).c_str());
        TextureTest::TearDown();
    }
    void WriteBmp(const std::string &name, RwInt32 w, RwInt32 h)
    {
        RwImage *image = imgtest::MakeImage32(w, h, imgtest::Pattern);
        ASSERT_NE(RtBmpWrite(image, (dir + name + ".bmp").c_str()), nullptr);
        RwImageDestroy(image);
    }
    std::string dir;
};

TEST_F(TextureFileTest, DefaultReadMakesTheRasterFromTheFile)
{
    WriteBmp("stone", 6, 5);
    RwTexture *t = RwTextureRead("stone", nullptr);
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->name, "stone");
    EXPECT_EQ(t->dict, RwTexDictionaryGetCurrent());
    RwImage *expected = imgtest::MakeImage32(6, 5, imgtest::Pattern);
    EXPECT_EQ(FakeRasters::Pixels(t->raster, 0), imgtest::ImageRGBA(expected));
    RwImageDestroy(expected);
    RwTextureDestroy(t);

    // Sizes the device will not take are resampled to the ones it gives.
    FakeRasters::SetPowerOfTwo(true);
    t = RwTextureRead("stone", nullptr);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->raster->width, 4);
    EXPECT_EQ(t->raster->height, 4);
    RwTextureDestroy(t);
}

TEST_F(TextureFileTest, MipmappedReadTakesEachLevelFromItsFileAndLongNamesStayInBounds)
{
    WriteBmp("bark", 4, 4);
    WriteBmp("barkm1", 2, 2);
    WriteBmp("barkm2", 1, 1);
    RwTextureSetMipmapping(TRUE);
    RwTexture *t = RwTextureRead("bark", nullptr);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(FakeRasters::Levels(t->raster), 3);
    RwImage *level1 = imgtest::MakeImage32(2, 2, imgtest::Pattern);
    EXPECT_EQ(FakeRasters::Pixels(t->raster, 1), imgtest::ImageRGBA(level1));
    RwImageDestroy(level1);
    RwTextureDestroy(t);
    // A 300-character name with a mip suffix and an extension appended.
    EXPECT_EQ(RwTextureRead(std::string(300, 'z').c_str(), std::string(290, 'y').c_str()), nullptr);
    TakeError();
    RwTextureSetMipmapping(FALSE);
}

TEST_F(TextureFileTest, GeneratedMipmapsAreResampledFromLevelZero)
{
    RwRaster *raster = RwRasterCreate(8, 8, 32, rwRASTERTYPETEXTURE | rwRASTERFORMATMIPMAP);
    RwImage *image = imgtest::MakeImage32(8, 8, [](RwInt32, RwInt32) { return RwRGBA{90, 80, 70, 255}; });
    ASSERT_TRUE(RwTextureRasterGenerateMipmaps(raster, image));
    ASSERT_EQ(FakeRasters::Levels(raster), 4);
    const std::vector<RwUInt8> last = FakeRasters::Pixels(raster, 3);
    EXPECT_EQ(last, (std::vector<RwUInt8>{90, 80, 70, 255}));
    RwImageDestroy(image);
    RwRasterDestroy(raster);
}

}  // namespace

}  // namespace batextur_test
