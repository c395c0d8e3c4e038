// A started engine with the world library and every animation plug-in
// attached, and small builders for the animations, skeletons and stream
// bytes the animation, skin and morph tests share.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "rpanimation.h"
#include "rpworld.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/fake_device.h"
#include "support/engine/memory_stream.h"

namespace animtest {

inline bool AttachAll()
{
    return RpWorldPluginAttach() && RtAnimToolkitInitialize() && RpHAnimPluginAttach() && RpSkinPluginAttach() &&
           RpMorphPluginAttach() && RpDeltaMorphPluginAttach();
}

class AnimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rwtest::CountingMemory::Reset();
        rwtest::FakeDevice::Reset();
        ASSERT_TRUE(rwtest::EngineStartUp(nullptr, 1 << 20, AttachAll));
    }
    void TearDown() override
    {
        EXPECT_TRUE(rwtest::EngineShutDown());
        EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), 0u);
    }
};

// Everything a write stream produced by `write`.
template <typename Write>
std::vector<RwUInt8> WrittenBy(Write write)
{
    RwMemoryDescriptor desc{nullptr, 0};
    RwStream *stream = RwStreamOpen(rwSTREAMMEMORY, rwSTREAMWRITE, &desc);
    write(stream);
    return rwtest::CloseMemoryWrite(stream);
}

// Little-endian byte builder for hand-made stream bodies.
struct Bytes {
    std::vector<RwUInt8> data;
    Bytes &U32(RwUInt32 v)
    {
        for (int i = 0; i < 4; ++i) {
            data.push_back(static_cast<RwUInt8>(v >> (8 * i)));
        }
        return *this;
    }
    Bytes &I32(RwInt32 v) { return U32(static_cast<RwUInt32>(v)); }
    Bytes &F32(RwReal f)
    {
        RwUInt32 v;
        std::memcpy(&v, &f, 4);
        return U32(v);
    }
    Bytes &U8(RwUInt8 v)
    {
        data.push_back(v);
        return *this;
    }
};

// Reads `body` as the `pluginID` data of an extension chunk into `object`
// through `registry`, as an object's reader does; true when accepted.
inline bool ReadExtensionInto(const RwPluginRegistry *registry, RwUInt32 pluginID, const std::vector<RwUInt8> &body,
                              void *object)
{
    Bytes chunk;
    RwUInt32 stamp = RwLibraryStampMake(rwLIBRARYVERSION, rwLIBRARYBUILD);
    chunk.U32(rwID_EXTENSION).U32(static_cast<RwUInt32>(body.size() + rwCHUNKHEADERSIZE)).U32(stamp);
    chunk.U32(pluginID).U32(static_cast<RwUInt32>(body.size())).U32(stamp);
    chunk.data.insert(chunk.data.end(), body.begin(), body.end());
    RwMemoryDescriptor desc{};
    RwStream *stream = rwtest::OpenMemoryRead(chunk.data, &desc);
    bool ok = RwPluginRegistryReadDataChunks(registry, stream, object) != nullptr;
    RwStreamClose(stream, nullptr);
    return ok;
}

// A keyframe as the tests write them: node, time, rotation about z in
// degrees, translation.
struct Key {
    RwInt32 node;
    RwReal time;
    RwReal degreesZ;
    RwV3d t;
};

inline RtQuat QuatZ(RwReal degrees)
{
    RwReal half = degrees * 3.14159265358979f / 360.0f;
    return {{0.0f, 0.0f, std::sin(half)}, std::cos(half)};
}

// A standard-scheme animation over `numNodes` nodes from `keys`, which must
// list every node's first keyframe, then every node's second, then the rest
// in the order they are needed; previous-keyframe links are filled in.
inline RtAnimAnimation *MakeAnimation(RwInt32 numNodes, RwReal duration, const std::vector<Key> &keys)
{
    RtAnimAnimation *animation =
        RtAnimAnimationCreate(rpHANIMSTDKEYFRAMETYPEID, static_cast<RwInt32>(keys.size()), 0, duration);
    if (animation == nullptr) {
        return nullptr;
    }
    auto *frames = static_cast<RpHAnimStdKeyFrame *>(animation->pFrames);
    std::vector<RwInt32> last(static_cast<size_t>(numNodes), -1);
    for (size_t k = 0; k < keys.size(); ++k) {
        const Key &key = keys[k];
        frames[k].time = key.time;
        frames[k].q = QuatZ(key.degreesZ);
        frames[k].t = key.t;
        RwInt32 previous = last[static_cast<size_t>(key.node)];
        frames[k].prevFrame = static_cast<RwUInt32>(previous >= 0 ? previous : static_cast<RwInt32>(k));
        last[static_cast<size_t>(key.node)] = static_cast<RwInt32>(k);
    }
    return animation;
}

// A chain of frames root -> ... with node ids 1..n, each `offset` from its
// parent; frames[0] is the root.
inline std::vector<RwFrame *> MakeChain(RwInt32 n, RwV3d offset)
{
    std::vector<RwFrame *> frames;
    for (RwInt32 i = 0; i < n; ++i) {
        RwFrame *frame = RwFrameCreate();
        RwFrameTranslate(frame, &offset, rwCOMBINEREPLACE);
        RpHAnimFrameSetID(frame, i + 1);
        if (!frames.empty()) {
            RwFrameAddChild(frames.back(), frame);
        }
        frames.push_back(frame);
    }
    return frames;
}

inline void ExpectNear(const RwV3d &a, const RwV3d &b, RwReal tolerance)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

inline void ExpectMatrixNear(const RwMatrix &a, const RwMatrix &b, RwReal tolerance)
{
    ExpectNear(a.right, b.right, tolerance);
    ExpectNear(a.up, b.up, tolerance);
    ExpectNear(a.at, b.at, tolerance);
    ExpectNear(a.pos, b.pos, tolerance);
}

}  // namespace animtest
