// Memory-stream helpers for engine tests: read from a byte vector, and
// collect everything a write stream produced as a byte vector.
#pragma once

#include <vector>

#include "rwcore.h"

namespace rwtest {

// Opens a read stream over `bytes`; `desc` must outlive the stream.
RwStream *OpenMemoryRead(std::vector<RwUInt8> &bytes, RwMemoryDescriptor *desc);
// Closes a write stream and returns its bytes (the buffer is freed).
std::vector<RwUInt8> CloseMemoryWrite(RwStream *stream);

}  // namespace rwtest
