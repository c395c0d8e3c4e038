// Tests of the platform-independent texture dictionary: both layouts read,
// addressing defaults, a bad entry skipped without putting the rest out of
// step, and a failed read leaving callbacks, current dictionary and memory
// as they were.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtpitexd.h"
#include "support/engine/engine_env.h"
#include "support/engine/memory_stream.h"
#include "tests/rwsdk/src/image_test_support.h"

namespace rtpitexd_test {

namespace {

using imgtest::FakeRasters;

class PITexDTest : public rwtest::EngineTest {
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
};

struct Bytes {
    std::vector<RwUInt8> b;
    void U32(RwUInt32 v) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<RwUInt8>(v >> (8 * i))); }
    void Header(RwUInt32 type, RwUInt32 length) { U32(type), U32(length), U32(RwLibraryStampMake(0x35000, 0xFFFF)); }
    void Name(const std::string &s) { std::string t = s; t.resize(32, '\0'); b.insert(b.end(), t.begin(), t.end()); }
    void Level(RwInt32 w, RwInt32 h, RwUInt8 fill, RwInt32 depthOverride = 32)
    {
        const RwUInt32 stride = 4u * static_cast<RwUInt32>(w);
        Header(0x18, 12 + 16 + stride * h);
        Header(1, 16 + stride * h);
        U32(static_cast<RwUInt32>(w)), U32(static_cast<RwUInt32>(h)), U32(static_cast<RwUInt32>(depthOverride)), U32(stride);
        b.insert(b.end(), stride * h, fill);
    }
};

RwTexDictionary *Read(std::vector<RwUInt8> &bytes)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RwTexDictionary *dict = RtPITexDStreamRead(stream);
    RwStreamClose(stream, nullptr);
    return dict;
}

TEST_F(PITexDTest, FirstLayoutSkipsABadEntryAndKeepsTheRest)
{
    Bytes d;
    d.b = {3, 0, 0, 0};
    d.Name("good"), d.Name("m"), d.U32(2), d.U32(0x0200 | 2);
    d.Level(4, 4, 0x40), d.Level(2, 2, 0x20);
    d.Name("bad"), d.Name(""), d.U32(1), d.U32(0);
    d.Level(4, 4, 0x11, 16);  // an image depth no image has
    d.Name("next"), d.Name(""), d.U32(1), d.U32(0);
    d.Level(2, 2, 0x30);
    RwTexDictionary *dict = Read(d.b);
    ASSERT_NE(dict, nullptr);
    RwTexture *good = RwTexDictionaryFindTexture(dict, "good");
    RwTexture *next = RwTexDictionaryFindTexture(dict, "next");
    ASSERT_NE(good, nullptr);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(RwTexDictionaryFindTexture(dict, "bad"), nullptr);
    EXPECT_EQ(good->filterAddressing, 0x2202u);
    EXPECT_EQ(next->filterAddressing, 0x1100u);
    EXPECT_STREQ(good->mask, "m");
    ASSERT_EQ(FakeRasters::Levels(good->raster), 3);
    EXPECT_EQ(FakeRasters::Pixels(good->raster, 1)[0], 0x20);
    EXPECT_EQ(FakeRasters::Pixels(next->raster, 0)[5], 0x30);
    RwTexDictionaryDestroy(dict);
    rwtest::TakeError();
}

void SecondLayoutEntry(Bytes &d, const std::string &name)
{
    d.U32(1);
    d.Level(2, 2, 0x55);
    const RwUInt32 padded = (static_cast<RwUInt32>(name.size()) + 4) & ~3u;
    d.Header(6, 16 + 12 + padded + 12 + 4 + 12);
    d.Header(1, 4), d.U32(0x1102);
    d.Header(2, padded);
    std::string t = name;
    t.resize(padded, '\0');
    d.b.insert(d.b.end(), t.begin(), t.end());
    d.Header(2, 4), d.U32(0);
    d.Header(3, 0);
}

TEST_F(PITexDTest, SecondLayoutRestoresCallbacksAndCurrentOnSuccessAndFailure)
{
    RwTexDictionary *current = RwTexDictionaryGetCurrent();
    RwTextureCallBackRead read = RwTextureGetReadCallBack();
    RwTextureCallBackFind find = RwTextureGetFindCallBack();
    Bytes d;
    d.b = {2, 0, 1, 0};
    SecondLayoutEntry(d, "alpha");
    SecondLayoutEntry(d, "beta");
    RwTexDictionary *dict = Read(d.b);
    ASSERT_NE(dict, nullptr);
    ASSERT_NE(RwTexDictionaryFindTexture(dict, "beta"), nullptr);
    EXPECT_EQ(RwTexDictionaryFindTexture(dict, "alpha")->filterAddressing, 0x1102u);
    EXPECT_EQ(RwTexDictionaryGetCurrent(), current);
    EXPECT_EQ(RwTextureGetReadCallBack(), read);
    EXPECT_EQ(RwTextureGetFindCallBack(), find);
    RwTexDictionaryDestroy(dict);

    // The second entry's texture chunk is cut off: nothing is left behind.
    std::vector<RwUInt8> cut(d.b.begin(), d.b.end() - 30);
    EXPECT_EQ(Read(cut), nullptr);
    EXPECT_EQ(RwTexDictionaryGetCurrent(), current);
    EXPECT_EQ(RwTextureGetReadCallBack(), read);
    EXPECT_EQ(RwTextureGetFindCallBack(), find);
    // Every truncation of the dictionary is refused or read cleanly.
    for (size_t n = 0; n < d.b.size(); n += 7) {
        std::vector<RwUInt8> part(d.b.begin(), d.b.begin() + static_cast<long>(n));
        RwTexDictionary *partial = Read(part);
        if (partial != nullptr) RwTexDictionaryDestroy(partial);
    }
    rwtest::TakeError();
}

}  // namespace

}  // namespace rtpitexd_test
