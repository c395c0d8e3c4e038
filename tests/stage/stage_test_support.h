// Support for the stage tests: an engine with the game's plug-ins on the
// fake device, and the sample data tree the build writes (its character,
// monster and first stage) read through the engine.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/plugins.h"
#include "rpanimation.h"
#include "rpworld.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"

namespace stagetest {

// Host path of a file of the sample data tree ("RESOURCE/STAGE/1/STAGE.BSP").
inline std::string SamplePath(const std::string &relative)
{
    std::string path = RW_TEST_BINARY_DIR "/data/";
    path += relative;
    return path;
}

// The first chunk of `type` in a host file, read by `read` inside its bounds.
template <typename T, typename Read>
T *ReadChunkFile(const std::string &path, RwUInt32 type, Read read)
{
    RwStream *stream = RwStreamOpen(rwSTREAMFILENAME, rwSTREAMREAD, path.c_str());
    if (stream == nullptr) {
        return nullptr;
    }
    T *object = nullptr;
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (RwStreamFindChunk(stream, type, &length, &version)) {
        const RwUInt64 saved = RwStreamEnterChunk(stream, length);
        object = read(stream);
        RwStreamLeaveChunk(stream, saved);
    }
    RwStreamClose(stream, nullptr);
    return object;
}

inline RpClump *ReadSampleClump(const std::string &relative)
{
    return ReadChunkFile<RpClump>(SamplePath(relative), rwID_CLUMP, RpClumpStreamRead);
}

inline RpWorld *ReadSampleWorld(int stageNumber = 1)
{
    return ReadChunkFile<RpWorld>(SamplePath("RESOURCE/STAGE/" + std::to_string(stageNumber) + "/STAGE.BSP"),
                                  rwID_WORLD_CHUNK, RpWorldStreamRead);
}

inline RpClump *ReadSampleHero() { return ReadSampleClump("RESOURCE/MAINCHAR/HERO01/HERO01.DFF"); }
inline std::string SampleHeroAnimationPath() { return SamplePath("RESOURCE/MAINCHAR/HERO01/HERO01.ANM"); }

// A started engine with the game's plug-ins; the tear-down checks that
// nothing the engine allocated is left.
class StageEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rwtest::CountingMemory::Reset();
        ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 1 << 20, game::AttachPlugins));
    }
    void TearDown() override
    {
        EXPECT_TRUE(rwtest::EngineShutDown());
        EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), 0u);
    }
};

}  // namespace stagetest
