// The maker's character as the game gets it: the model and an animation
// written to memory by the maker's writers and read back through the
// engine's readers, and the posing the game does each frame.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "stage/model_frames.h"
#include "rwsdk/world/world_test_support.h"
#include "support/engine/memory_stream.h"
#include "tools/mkdata/character_model.h"
#include "tools/mkdata/model_writer.h"
#include "tools/model_test_support.h"

namespace charactertest {

inline std::vector<RwUInt8> ModelBytes()
{
    RpClump *clump = mkdata::BuildCharacterClump();
    EXPECT_NE(clump, nullptr);
    std::vector<RwUInt8> bytes =
        rwtest::WrittenBy([&](RwStream *stream) { EXPECT_TRUE(mkdata::WriteClumpChunk(clump, stream)); });
    RpClumpDestroy(clump);
    return bytes;
}

inline std::vector<RwUInt8> AnimationBytes(RtAnimAnimation *(*build)())
{
    RtAnimAnimation *animation = build();
    EXPECT_NE(animation, nullptr);
    std::vector<RwUInt8> bytes = rwtest::WrittenBy(
        [&](RwStream *stream) { EXPECT_NE(RtAnimAnimationStreamWrite(animation, stream), nullptr); });
    RtAnimAnimationDestroy(animation);
    return bytes;
}

// Finds the chunk of `type` at the start of `bytes` and reads its body.
template <typename Read>
auto ReadChunk(std::vector<RwUInt8> bytes, RwUInt32 type, Read read) -> decltype(read(nullptr))
{
    RwMemoryDescriptor desc{};
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    decltype(read(nullptr)) result = nullptr;
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (stream != nullptr && RwStreamFindChunk(stream, type, &length, &version)) {
        result = read(stream);
    }
    if (stream != nullptr) {
        RwStreamClose(stream, nullptr);
    }
    return result;
}

inline RpClump *ReadModel(const std::vector<RwUInt8> &bytes)
{
    return ReadChunk(bytes, rwID_CLUMP, [](RwStream *s) { return s ? RpClumpStreamRead(s) : nullptr; });
}

inline RtAnimAnimation *ReadAnimation(const std::vector<RwUInt8> &bytes)
{
    return ReadChunk(bytes, rwID_ANIMANIMATION, [](RwStream *s) { return s ? RtAnimAnimationStreamRead(s) : nullptr; });
}

using modeltest::FirstAtomic;

// Binds the read hierarchy to the clump's frames and its skinned atomic,
// as the game does after loading, and plays `animation` on it.
inline RpHAnimHierarchy *Bind(RpClump *clump, RtAnimAnimation *animation)
{
    RpHAnimHierarchy *hierarchy = GetClumpHierarchy(clump);
    if (hierarchy == nullptr) {
        return nullptr;
    }
    RpHAnimHierarchyAttach(hierarchy);
    RpSkinAtomicSetHierarchy(FirstAtomic(clump), hierarchy);
    return RtAnimInterpolatorSetCurrentAnim(hierarchy->currentAnim, animation) ? hierarchy : nullptr;
}

inline void PoseAt(RpHAnimHierarchy *hierarchy, RwReal time)
{
    RtAnimInterpolatorSetCurrentTime(hierarchy->currentAnim, time);
    RpHAnimHierarchyUpdateMatrices(hierarchy);
}

}  // namespace charactertest
