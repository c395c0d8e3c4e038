// Extension chunks: exact bytes, round trips through memory and file
// streams, unknown plug-ins skipped, and hostile sub-chunk lengths.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "rwcore.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/scratch_path.h"
#include "support/engine/fake_device.h"
#include "support/engine/memory_stream.h"

namespace batkbin_test {

namespace {

struct Ext {
    RwUInt32 value;
    RwInt32 always;
};

Ext &At(void *object, RwInt32 offset) { return *reinterpret_cast<Ext *>(static_cast<RwUInt8 *>(object) + offset); }
const Ext &At(const void *object, RwInt32 offset)
{
    return *reinterpret_cast<const Ext *>(static_cast<const RwUInt8 *>(object) + offset);
}

RwStream *ReadExt(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32)
{
    // Tries to read more than its body: the bound must stop it at the body.
    RwUInt32 words[4] = {};
    RwUInt32 got = RwStreamRead(stream, words, 16);
    if (got != static_cast<RwUInt32>(length)) return nullptr;
    At(object, offset).value = words[0];
    return stream;
}
RwStream *WriteExt(RwStream *stream, RwInt32, const void *object, RwInt32 offset, RwInt32)
{
    return RwStreamWriteUInt32(stream, At(object, offset).value);
}
RwInt32 SizeExt(const void *object, RwInt32 offset, RwInt32) { return At(object, offset).value != 0 ? 4 : 0; }
RwInt32 AlwaysExt(void *object, RwInt32 offset, RwInt32)
{
    At(object, offset).always++;
    return 1;
}
RwInt32 SizeWithoutWriter(const void *, RwInt32, RwInt32) { return 8; }
RwStream *WriteShort(RwStream *stream, RwInt32, const void *, RwInt32, RwInt32) { return stream; }
RwInt32 SizeShort(const void *, RwInt32, RwInt32) { return 4; }

RwPluginRegistry writer = rwPLUGINREGISTRY_INIT(8);
RwPluginRegistry reader = rwPLUGINREGISTRY_INIT(8);
RwPluginRegistry shortWriter = rwPLUGINREGISTRY_INIT(8);
RwInt32 wA, wB, rA;

bool Attach()
{
    wA = RwPluginRegistryAddPlugin(&writer, sizeof(Ext), 0x201, nullptr, nullptr, nullptr);
    wB = RwPluginRegistryAddPlugin(&writer, sizeof(Ext), 0x202, nullptr, nullptr, nullptr);
    RwPluginRegistryAddPluginStream(&writer, 0x201, ReadExt, WriteExt, SizeExt);
    RwPluginRegistryAddPluginStream(&writer, 0x202, ReadExt, WriteExt, SizeExt);
    RwPluginRegistryAddPlugin(&writer, 4, 0x203, nullptr, nullptr, nullptr);
    RwPluginRegistryAddPluginStream(&writer, 0x203, nullptr, nullptr, SizeWithoutWriter);
    // The reading side knows only 0x202.
    rA = RwPluginRegistryAddPlugin(&reader, sizeof(Ext), 0x202, nullptr, nullptr, nullptr);
    RwPluginRegistryAddPluginStream(&reader, 0x202, ReadExt, WriteExt, SizeExt);
    RwPluginRegistryAddStreamAlways(&reader, 0x202, AlwaysExt);
    RwPluginRegistryAddPlugin(&shortWriter, 4, 0x204, nullptr, nullptr, nullptr);
    RwPluginRegistryAddPluginStream(&shortWriter, 0x204, nullptr, WriteShort, SizeShort);
    return true;
}

class Extension : public ::testing::Test {
protected:
    void SetUp() override
    {
        rwtest::CountingMemory::Reset();
        rwtest::FakeDevice::Reset();
        ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 0, Attach));
        source.assign(static_cast<size_t>(writer.sizeOfStruct), 0);
        target.assign(static_cast<size_t>(reader.sizeOfStruct), 0);
    }
    void TearDown() override
    {
        EXPECT_TRUE(rwtest::EngineShutDown());
        EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), 0u);
    }
    std::vector<RwUInt8> Write()
    {
        RwStream *s = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
        EXPECT_NE(RwPluginRegistryWriteData(&writer, s, source.data()), nullptr);
        return rwtest::CloseMemoryWrite(s);
    }
    const RwPluginRegistry *Read(std::vector<RwUInt8> &bytes)
    {
        RwMemoryDescriptor d{};
        RwStream *s = rwtest::OpenMemoryRead(bytes, &d);
        const RwPluginRegistry *r = RwPluginRegistryReadData(&reader, s, target.data());
        RwStreamClose(s, nullptr);
        return r;
    }
    std::vector<RwUInt8> source, target;
};

TEST_F(Extension, EmptyChunkIsTwelveBytes)
{
    // No plug-in has data; 0x203 sizes data it cannot write, so it is not counted.
    std::vector<RwUInt8> bytes = Write();
    const std::vector<RwUInt8> expected = {3, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0x00, 0x14};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(RwPluginRegistryGetStreamSize(&writer, source.data()), 0);
}

TEST_F(Extension, KnownDataIsReadUnknownSkippedAlwaysRuns)
{
    At(source.data(), wA).value = 0x1111;
    At(source.data(), wB).value = 0x2222;
    EXPECT_EQ(RwPluginRegistryGetStreamSize(&writer, source.data()), 32);
    std::vector<RwUInt8> bytes = Write();
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(bytes[4], 32);
    EXPECT_EQ(bytes[12], 0x01);  // first sub-chunk: 0x201
    EXPECT_EQ(bytes[13], 0x02);
    ASSERT_EQ(Read(bytes), &reader);
    EXPECT_EQ(At(target.data(), rA).value, 0x2222u);
    EXPECT_EQ(At(target.data(), rA).always, 1);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_ENDOFSTREAM);  // the reader hit its bound
}

TEST_F(Extension, RoundTripThroughAFile)
{
    At(source.data(), wB).value = 0xBEEF;
    std::string path = rwtest::ScratchPath("batkbin_test.bin");
    RwStream *w = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMWRITE, path.c_str());
    ASSERT_NE(w, nullptr);
    ASSERT_NE(RwPluginRegistryWriteData(&writer, w, source.data()), nullptr);
    RwStreamWriteUInt32(w, 0x5157);  // data after the chunk stays in place
    RwStreamClose(w, nullptr);
    RwStream *r = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, path.c_str());
    ASSERT_NE(RwPluginRegistryReadData(&reader, r, target.data()), nullptr);
    EXPECT_EQ(At(target.data(), rA).value, 0xBEEFu);
    RwUInt32 trailer = 0;
    EXPECT_TRUE(RwStreamReadUInt32(r, &trailer));
    EXPECT_EQ(trailer, 0x5157u);
    RwStreamClose(r, nullptr);
    r = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, path.c_str());
    ASSERT_NE(RwPluginRegistrySkipData(&reader, r), nullptr);
    EXPECT_TRUE(RwStreamReadUInt32(r, &trailer));
    EXPECT_EQ(trailer, 0x5157u);
    RwStreamClose(r, nullptr);
    std::remove(path.c_str());
}

TEST_F(Extension, SubChunkLongerThanItsChunkIsRefused)
{
    At(source.data(), wB).value = 0x2222;
    std::vector<RwUInt8> bytes = Write();
    bytes[16] = 0xF0;  // sub-chunk length 0xF0 inside a 16-byte chunk
    At(target.data(), rA).value = 0;
    rwtest::TakeError();
    EXPECT_EQ(Read(bytes), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_READ);
    EXPECT_EQ(At(target.data(), rA).value, 0u);  // the reader never ran
}

TEST_F(Extension, ChunkLongerThanTheDataIsRefused)
{
    At(source.data(), wB).value = 0x2222;
    std::vector<RwUInt8> bytes = Write();
    bytes.erase(bytes.end() - 2, bytes.end());
    rwtest::TakeError();
    EXPECT_EQ(Read(bytes), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_READ);
    std::vector<RwUInt8> wrongVersion = Write();
    wrongVersion[11] = 0x18;  // a newer library
    EXPECT_EQ(Read(wrongVersion), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_BADVERSION);
}

TEST_F(Extension, WriterThatWritesLessThanItSizedFails)
{
    std::vector<RwUInt8> object(static_cast<size_t>(shortWriter.sizeOfStruct), 0);
    RwStream *s = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    EXPECT_EQ(RwPluginRegistryWriteData(&shortWriter, s, object.data()), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_WRITE);
    RwStreamClose(s, nullptr);
}

}  // namespace

}  // namespace batkbin_test
