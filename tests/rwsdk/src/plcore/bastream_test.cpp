// Streams: memory growth, reads and skips at the end, hostile skips that
// would wrap, chunk bounds, file and custom streams, and bad arguments.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "rwcore.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/scratch_path.h"
#include "support/engine/memory_stream.h"

namespace bastream_test {

namespace {

class Stream : public rwtest::EngineTest {
protected:
    RwStream *OpenRead(std::vector<RwUInt8> &bytes) { return rwtest::OpenMemoryRead(bytes, &desc); }
    RwMemoryDescriptor desc{};
};

TEST_F(Stream, MemoryWriteGrowsBy512OrByTheWrite)
{
    RwStream *s = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    ASSERT_NE(s, nullptr);
    std::vector<RwUInt8> data(600, 0xAB);
    ASSERT_EQ(RwStreamWrite(s, data.data(), 600), s);
    EXPECT_EQ(s->Type.memory.nSize, 1112u);
    ASSERT_EQ(RwStreamWrite(s, data.data(), 10), s);
    EXPECT_EQ(s->Type.memory.nSize, 1112u);
    RwMemoryDescriptor out{};
    EXPECT_TRUE(RwStreamClose(s, &out));
    EXPECT_EQ(out.length, 610u);
    EXPECT_EQ(out.start[609], 0xAB);
    RwFree(out.start);
}

TEST_F(Stream, ClosingAWriteStreamWithoutTakingTheBufferFreesIt)
{
    RwStream *s = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr);
    RwUInt32 word = 7;
    RwStreamWrite(s, &word, 4);
    EXPECT_TRUE(RwStreamClose(s, nullptr));  // the fixture's leak check covers it
}

TEST_F(Stream, ReadPastTheEndReturnsWhatIsLeft)
{
    std::vector<RwUInt8> bytes(14, 1);
    RwStream *s = OpenRead(bytes);
    RwUInt8 buffer[16];
    EXPECT_EQ(RwStreamSkip(s, 10), s);
    EXPECT_EQ(RwStreamRead(s, buffer, 10), 4u);
    EXPECT_EQ(s->Type.memory.position, 14u);
    RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, rwID_CORE);
    EXPECT_EQ(error.errorCode, E_RW_ENDOFSTREAM);
    RwStreamClose(s, nullptr);
}

TEST_F(Stream, HugeSkipNeverWrapsBackwards)
{
    std::vector<RwUInt8> bytes(200, 0);
    RwStream *s = OpenRead(bytes);
    ASSERT_EQ(RwStreamSkip(s, 100), s);
    EXPECT_EQ(RwStreamSkip(s, 0xFFFFFFF0u), nullptr);
    EXPECT_EQ(s->Type.memory.position, 200u);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_ENDOFSTREAM);
    EXPECT_EQ(RwStreamSkip(s, 0), s);
    RwStreamClose(s, nullptr);
}

TEST_F(Stream, ChunkBoundsStopReadsAndSkips)
{
    std::vector<RwUInt8> bytes(64, 0x11);
    RwStream *s = OpenRead(bytes);
    RwUInt64 outer = RwStreamEnterChunk(s, 16);
    EXPECT_EQ(RwStreamBytesLeft(s), 16u);
    RwUInt64 inner = RwStreamEnterChunk(s, 40);  // never widens the outer bound
    EXPECT_EQ(RwStreamBytesLeft(s), 16u);
    RwStreamLeaveChunk(s, inner);
    RwUInt8 buffer[32];
    EXPECT_EQ(RwStreamRead(s, buffer, 32), 16u);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_ENDOFSTREAM);
    EXPECT_EQ(RwStreamSkip(s, 1), nullptr);
    RwStreamLeaveChunk(s, outer);
    EXPECT_EQ(RwStreamBytesLeft(s), 48u);
    EXPECT_EQ(RwStreamSkip(s, 48), s);
    RwStreamClose(s, nullptr);
}

TEST_F(Stream, ReadStreamsDoNotWriteIntoTheCallersBuffer)
{
    std::vector<RwUInt8> bytes(4, 0);
    RwStream *s = OpenRead(bytes);
    RwUInt32 word = 1;
    EXPECT_EQ(RwStreamWrite(s, &word, 4), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_BADACCESSMODE);
    RwStreamClose(s, nullptr);
}

TEST_F(Stream, BadTypeAndAccessAreRefused)
{
    EXPECT_EQ(RwStreamOpen(static_cast<RwStreamType>(9), rwSTREAMREAD, nullptr), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_BADSTREAMTYPE);
    RwMemoryDescriptor d{nullptr, 0};
    EXPECT_EQ(RwStreamOpen(rwSTREAMMEMORY, static_cast<RwStreamAccessType>(7), &d), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_BADACCESSMODE);
    EXPECT_EQ(RwStreamOpen(rwSTREAMFILENAME, static_cast<RwStreamAccessType>(0), "x"), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_BADACCESSMODE);
    EXPECT_EQ(RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, "/nonexistent/dir/FILE.DFF"), nullptr);
    RwError error = rwtest::TakeError();
    EXPECT_EQ(error.pluginID, rwID_COMMON);
    EXPECT_EQ(error.errorCode, E_RW_BADOPEN);
}

TEST_F(Stream, FileStreamsWriteReadAndStopAtTheEnd)
{
    std::string path = rwtest::ScratchPath("bastream_test.bin");
    RwStream *w = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMWRITE, path.c_str());
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(RwStreamWriteUInt32(w, 0x01020304u), w);
    ASSERT_EQ(RwStreamWriteReal(w, 1.5f), w);
    EXPECT_TRUE(RwStreamClose(w, nullptr));

    RwStream *r = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, path.c_str());
    ASSERT_NE(r, nullptr);
    RwUInt32 value = 0;
    RwReal real = 0;
    EXPECT_TRUE(RwStreamReadUInt32(r, &value));
    EXPECT_EQ(value, 0x01020304u);
    EXPECT_TRUE(RwStreamReadReal(r, &real));
    EXPECT_EQ(real, 1.5f);
    EXPECT_EQ(RwStreamSkip(r, 0xFFFFFFF0u), nullptr);
    EXPECT_EQ(rwtest::TakeError().errorCode, E_RW_ENDOFSTREAM);
    EXPECT_FALSE(RwStreamReadUInt32(r, &value));
    EXPECT_TRUE(RwStreamClose(r, nullptr));
    std::remove(path.c_str());

    // A caller's file pointer is left open.
    std::FILE *fp = std::tmpfile();
    RwStream *f = RwStreamOpen(rwSTREAMFILE, rwSTREAMWRITE, fp);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(RwStreamClose(f, nullptr));
    EXPECT_EQ(std::fputc('x', fp), 'x');
    std::fclose(fp);
}

struct CustomData {
    std::vector<RwUInt8> bytes;
    size_t at = 0;
    bool closed = false;
};

RwUInt32 CustomRead(void *data, void *buffer, RwUInt32 n)
{
    auto *c = static_cast<CustomData *>(data);
    RwUInt32 take = static_cast<RwUInt32>(std::min<size_t>(n, c->bytes.size() - c->at));
    std::memcpy(buffer, c->bytes.data() + c->at, take);
    c->at += take;
    return take;
}
RwBool CustomWrite(void *data, const void *buffer, RwUInt32 n)
{
    auto *c = static_cast<CustomData *>(data);
    const auto *p = static_cast<const RwUInt8 *>(buffer);
    c->bytes.insert(c->bytes.end(), p, p + n);
    return TRUE;
}
RwBool CustomSkip(void *data, RwUInt32 n)
{
    auto *c = static_cast<CustomData *>(data);
    if (c->bytes.size() - c->at < n) return FALSE;
    c->at += n;
    return TRUE;
}
RwBool CustomClose(void *data)
{
    static_cast<CustomData *>(data)->closed = true;
    return TRUE;
}

TEST_F(Stream, CustomCallbacksCarryTheData)
{
    CustomData data;
    RwStreamCustom custom{CustomClose, CustomRead, CustomWrite, CustomSkip, &data};
    RwStream *w = RwStreamOpen(rwSTREAMCUSTOM, rwSTREAMWRITE, &custom);
    ASSERT_NE(w, nullptr);
    RwStreamWriteChunkHeaderDefault(w, 0x10, 4);
    RwStreamWriteUInt32(w, 99);
    RwStreamClose(w, nullptr);
    EXPECT_TRUE(data.closed);
    RwStream *r = RwStreamOpen(rwSTREAMCUSTOM, rwSTREAMREAD, &custom);
    RwUInt32 length = 0;
    ASSERT_TRUE(RwStreamFindChunk(r, 0x10, &length, nullptr));
    RwUInt32 value = 0;
    EXPECT_TRUE(RwStreamReadUInt32(r, &value));
    EXPECT_EQ(value, 99u);
    EXPECT_FALSE(RwStreamFindChunk(r, 0x10, nullptr, nullptr));
    RwStreamClose(r, nullptr);
}

TEST(StreamModule, StreamsNeedAStartedEngine)
{
    EXPECT_EQ(RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, nullptr), nullptr);
}

}  // namespace

}  // namespace bastream_test
