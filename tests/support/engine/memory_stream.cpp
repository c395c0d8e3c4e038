// Memory-stream helpers for engine tests (see memory_stream.h).
#include "support/engine/memory_stream.h"

namespace rwtest {

RwStream *OpenMemoryRead(std::vector<RwUInt8> &bytes, RwMemoryDescriptor *desc)
{
    *desc = {bytes.data(), static_cast<RwUInt32>(bytes.size())};
    return RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, desc);
}

std::vector<RwUInt8> CloseMemoryWrite(RwStream *stream)
{
    RwMemoryDescriptor out{nullptr, 0};
    RwStreamClose(stream, &out);
    std::vector<RwUInt8> bytes(out.start, out.start + out.length);
    RwFree(out.start);
    return bytes;
}

}  // namespace rwtest
