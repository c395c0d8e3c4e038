// A started engine with the world library and the user-data plug-in
// attached, on the fake device with counting memory, for the world tests.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "rpusrdat.h"
#include "rpworld.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/fake_device.h"
#include "support/engine/memory_stream.h"

namespace rwtest {

inline bool AttachWorldAndUserData() { return RpWorldPluginAttach() && RpUserDataPluginAttach(); }

class WorldTest : public ::testing::Test {
protected:
    explicit WorldTest(bool (*attach)(void) = AttachWorldAndUserData) : attachPlugins(attach) {}
    void SetUp() override
    {
        CountingMemory::Reset();
        FakeDevice::Reset();
        // Blocks an earlier test leaked are not this test's to answer for.
        liveBefore = CountingMemory::LiveBlocks();
        ASSERT_TRUE(EngineStartUp(nullptr, 1 << 20, attachPlugins));
    }
    void TearDown() override
    {
        EXPECT_TRUE(EngineShutDown());
        EXPECT_EQ(CountingMemory::LiveBlocks(), liveBefore);
    }
    size_t liveBefore = 0;
    bool (*attachPlugins)(void);
};

// Everything a write stream produced by `write`.
template <typename Write>
std::vector<RwUInt8> WrittenBy(Write write)
{
    RwMemoryDescriptor desc{nullptr, 0};
    RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, &desc);
    write(stream);
    return CloseMemoryWrite(stream);
}

// The world in the first world chunk of `bytes`, read by the engine; null
// when there is none or the engine refuses it.
inline RpWorld *ReadWorldChunk(std::vector<RwUInt8> bytes)
{
    RwMemoryDescriptor desc{};
    RwStream *stream = OpenMemoryRead(bytes, &desc);
    RpWorld *world = nullptr;
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (RwStreamFindChunk(stream, rwID_WORLD_CHUNK, &length, &version)) {
        world = RpWorldStreamRead(stream);
    }
    RwStreamClose(stream, &desc);
    return world;
}

}  // namespace rwtest
