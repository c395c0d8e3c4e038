// The tank's built-in attribute layout: one allocation holding either one
// interleaved record per particle or one array per attribute, aligned to
// 16 bytes inside the allocation.
#include <cstring>

#include "plugin/ptank/ptank.h"
#include "rwerror.h"
#include "rwmemory.h"

RwBool RpPTankAllocateData(RpPTank *tank, RwInt32 maxPCount, RwUInt32 dataFlags)
{
    RpPTankData &data = tank->data;
    const RwBool interleaved = (dataFlags & rpPTANKDFLAGSTRUCTURE) != 0;
    RwInt32 numClusters = 0;
    RwUInt64 recordSize = 0;
    RwUInt64 offsets[rpPTANKNUMCLUSTERS] = {};
    for (RwInt32 c = 0; c < rpPTANKNUMCLUSTERS; ++c) {
        if (!(dataFlags & RpPTankFlagOfCluster(c))) {
            continue;
        }
        const RwUInt64 size = static_cast<RwUInt64>(RpPTankClusterSize(c));
        offsets[c] = interleaved ? recordSize : recordSize * static_cast<RwUInt64>(maxPCount);
        recordSize += size;
        ++numClusters;
    }
    if (interleaved && (dataFlags & rpPTANKDFLAGMATRIX)) {
        recordSize = RwAlignUp(recordSize, 4);
    }
    const RwUInt64 bytes = recordSize * static_cast<RwUInt64>(maxPCount) + 16;
    if (bytes > 0x7FFFFFFFu) {
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    void *block = RwMalloc(static_cast<size_t>(bytes));
    if (block == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    std::memset(block, 0, static_cast<size_t>(bytes));
    auto *base = reinterpret_cast<RwUInt8 *>(RwAlignUp(reinterpret_cast<RwUInt64>(block), 16));
    tank->rawdata = block;
    for (RwInt32 c = 0; c < rpPTANKNUMCLUSTERS; ++c) {
        if (dataFlags & RpPTankFlagOfCluster(c)) {
            data.clusters[c] = {base + offsets[c],
                                interleaved ? static_cast<RwInt32>(recordSize) : RpPTankClusterSize(c)};
        } else {
            data.clusters[c] = {nullptr, 0};
        }
    }
    data.format.numClusters = numClusters;
    data.format.stride = interleaved ? static_cast<RwInt32>(recordSize) : 0;
    data.format.dataFlags = dataFlags;
    return TRUE;
}
