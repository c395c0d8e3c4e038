// Reading the object of a file's first chunk of a type: the chunk headers
// are scanned until one of the type, and the object is read inside that
// chunk's bounds.
#pragma once

#include <string>

#include "rwcore.h"

namespace game {

// `read(stream)` on the body of the first chunk of `type` in the stream;
// null when there is none or the read fails.
template <typename T, typename Read>
T *ReadFirstChunk(RwStream *stream, RwUInt32 type, Read read)
{
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindChunk(stream, type, &length, &version)) {
        return nullptr;
    }
    const RwUInt64 saved = RwStreamEnterChunk(stream, length);
    T *object = read(stream);
    RwStreamLeaveChunk(stream, saved);
    return object;
}

// Why the engine refused the last read, in its words (its error slot,
// which this empties), or `otherwise` when it reported nothing.
std::string TakeEngineError(const char *otherwise);

}  // namespace game
