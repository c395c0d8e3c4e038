// Shared by the maker's model tests: a clump written by the maker's clump
// writer to memory, read back through the engine's clump reader, and the
// first atomic of a clump.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "rwsdk/world/world_test_support.h"
#include "support/engine/memory_stream.h"
#include "tools/mkdata/model_writer.h"

namespace modeltest {

inline std::vector<RwUInt8> ClumpBytes(RpClump *clump)
{
    return rwtest::WrittenBy([&](RwStream *stream) { EXPECT_TRUE(mkdata::WriteClumpChunk(clump, stream)); });
}

// The clump chunk at the start of `bytes`, read within its own bounds; null
// when there is none or the reader refuses it.
inline RpClump *ReadClumpBytes(std::vector<RwUInt8> bytes)
{
    RwMemoryDescriptor desc;
    RwStream *stream = rwtest::OpenMemoryRead(bytes, &desc);
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    RpClump *clump = nullptr;
    if (RwStreamFindChunk(stream, rwID_CLUMP, &length, &version)) {
        RwUInt64 saved = RwStreamEnterChunk(stream, length);
        clump = RpClumpStreamRead(stream);
        RwStreamLeaveChunk(stream, saved);
    }
    RwStreamClose(stream, nullptr);
    return clump;
}

inline RpAtomic *FirstAtomic(RpClump *clump)
{
    RpAtomic *found = nullptr;
    RpClumpForAllAtomics(
        clump,
        [](RpAtomic *a, void *d) {
            *static_cast<RpAtomic **>(d) = a;
            return static_cast<RpAtomic *>(nullptr);
        },
        &found);
    return found;
}

}  // namespace modeltest
