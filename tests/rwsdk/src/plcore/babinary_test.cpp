// Chunk headers: the library stamp in both directions, header bytes,
// chunk search over hostile data, and word reads that come up short.
#include <gtest/gtest.h>

#include <vector>

#include "rwcore.h"
#include "support/engine/engine_env.h"
#include "support/engine/memory_stream.h"

namespace babinary_test {

namespace {

class Chunks : public rwtest::EngineTest {
protected:
    RwStream *OpenRead(std::vector<RwUInt8> &bytes) { return rwtest::OpenMemoryRead(bytes, &desc); }
    static void Put(std::vector<RwUInt8> &out, RwUInt32 v)
    {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<RwUInt8>(v >> (8 * i)));
    }
    static void Header(std::vector<RwUInt8> &out, RwUInt32 type, RwUInt32 length, RwUInt32 stamp)
    {
        Put(out, type);
        Put(out, length);
        Put(out, stamp);
    }
    RwMemoryDescriptor desc{};
};

TEST(LibraryStamp, PacksAndUnpacks)
{
    EXPECT_EQ(RwLibraryStampMake(0x35000, 0xFFFFFFFFu), 0x1400FFFFu);
    RwUInt32 version = 0, build = 0;
    RwLibraryStampDecode(0x1400FFFFu, &version, &build);
    EXPECT_EQ(version, 0x35000u);
    EXPECT_EQ(build, 0xFFFFu);
    RwLibraryStampDecode(0x310, &version, &build);
    EXPECT_EQ(version, 0x31000u);
    EXPECT_EQ(build, 0u);
    for (RwUInt32 v : {0x31000u, 0x33002u, 0x3403Fu, 0x35000u}) {
        RwLibraryStampDecode(RwLibraryStampMake(v, 0x1234), &version, &build);
        EXPECT_EQ(version, v);
        EXPECT_EQ(build, 0x1234u);
    }
}

TEST_F(Chunks, HeaderBytesAreLittleEndian)
{
    RwStream *s = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    RwStreamWriteChunkHeaderDefault(s, 0x0B, 0x01020304);
    const std::vector<RwUInt8> expected = {0x0B, 0, 0, 0, 4, 3, 2, 1, 0xFF, 0xFF, 0x00, 0x14};
    EXPECT_EQ(rwtest::CloseMemoryWrite(s), expected);
}

TEST_F(Chunks, FindSkipsOtherChunksAndKeepsTheLastHeader)
{
    std::vector<RwUInt8> bytes;
    Header(bytes, 0x22, 4, 0x1400FFFF);
    Put(bytes, 0);
    Header(bytes, 0x10, 8, 0x1400FFFF);
    Put(bytes, 1);
    Put(bytes, 2);
    RwStream *s = OpenRead(bytes);
    RwUInt32 length = 0, version = 0;
    ASSERT_TRUE(RwStreamFindChunk(s, 0x10, &length, &version));
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(version, 0x35000u);
    EXPECT_EQ(RwStreamGetLastChunkHeader()->type, 0x10u);
    EXPECT_TRUE(RwStreamGetLastChunkHeader()->isComplex);
    EXPECT_EQ(s->Type.memory.position, 28u);  // left at the body
    RwStreamClose(s, nullptr);
}

TEST_F(Chunks, VersionWindow)
{
    std::vector<RwUInt8> bytes;
    Header(bytes, 1, 0, RwLibraryStampMake(0x33000, 0));
    Header(bytes, 1, 0, RwLibraryStampMake(0x36000, 0));
    RwStream *s = OpenRead(bytes);
    EXPECT_TRUE(RwStreamFindChunk(s, 1, nullptr, nullptr));  // old: accepted with a warning
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_BADVERSION);
    EXPECT_FALSE(RwStreamFindChunk(s, 1, nullptr, nullptr));  // newer than this library
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_BADVERSION);
    RwStreamClose(s, nullptr);
}

TEST_F(Chunks, MissingTypeFailsAtTheEnd)
{
    std::vector<RwUInt8> bytes;
    Header(bytes, 2, 4, 0x1400FFFF);
    Put(bytes, 0);
    RwStream *s = OpenRead(bytes);
    EXPECT_FALSE(RwStreamFindChunk(s, 7, nullptr, nullptr));
    RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, rwID_CORE);
    EXPECT_EQ(error.errorCode, E_RW_ENDOFSTREAM);
    RwStreamClose(s, nullptr);
}

TEST_F(Chunks, HostileLengthsEndTheSearch)
{
    // A length that would wrap a 32-bit position back to the start.
    std::vector<RwUInt8> bytes;
    Header(bytes, 2, 0xFFFFFFF4u, 0x1400FFFF);
    Header(bytes, 2, 0, 0x1400FFFF);
    RwStream *s = OpenRead(bytes);
    EXPECT_FALSE(RwStreamFindChunk(s, 7, nullptr, nullptr));
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_ENDOFSTREAM);
    RwStreamClose(s, nullptr);

    // The wanted chunk claims more than the data holds.
    std::vector<RwUInt8> longer;
    Header(longer, 7, 100, 0x1400FFFF);
    Put(longer, 0);
    s = OpenRead(longer);
    EXPECT_FALSE(RwStreamFindChunk(s, 7, nullptr, nullptr));
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_READ);
    RwStreamClose(s, nullptr);

    // A truncated header.
    std::vector<RwUInt8> shortHeader = {1, 0, 0, 0, 5};
    s = OpenRead(shortHeader);
    EXPECT_FALSE(RwStreamReadChunkHeader(s, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_ENDOFSTREAM);
    RwStreamClose(s, nullptr);
}

TEST_F(Chunks, PartialWordReadsFail)
{
    std::vector<RwUInt8> bytes(6, 0x5A);
    RwStream *s = OpenRead(bytes);
    RwUInt32 words[2] = {};
    EXPECT_EQ(RwStreamReadWords(s, words, 8), nullptr);
    RwStreamClose(s, nullptr);
    rwtest::TakeError();

    RwStream *w = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    EXPECT_EQ(RwStreamWriteWords(w, words, 8), w);
    std::vector<RwUInt32> many(300, 0xA5A5A5A5u);
    EXPECT_EQ(RwStreamWriteConverted(w, many.data(), 1200), w);
    std::vector<RwUInt8> out = rwtest::CloseMemoryWrite(w);
    ASSERT_EQ(out.size(), 1208u);
    EXPECT_EQ(out[1207], 0xA5);
}

}  // namespace

}  // namespace babinary_test
