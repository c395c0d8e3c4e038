// Engine start-up for the fuzz targets: a device that answers every request
// and whose standard functions all succeed without touching pixels, so the
// readers run their whole course on whatever bytes the fuzzer hands them.
#pragma once

#include <cstdlib>
#include <cstring>

#include "rwcore.h"

namespace fuzzengine {

inline RwBool Standard(void *, void *, RwInt32) { return TRUE; }

inline RwBool System(RwInt32 request, void *out, void *, RwInt32 number);

inline const RwDeviceRecord record = {1.0f, System, 0.0f, 1.0f, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

inline RwBool System(RwInt32 request, void *out, void *, RwInt32 number)
{
    if (request == rwDEVICESYSTEMREGISTER) {
        std::memcpy(out, &record, sizeof(record));
    } else if (request == rwDEVICESYSTEMSTANDARDS) {
        for (RwInt32 i = 0; i < number; ++i) static_cast<RwStandardFunc *>(out)[i] = Standard;
    }
    return TRUE;
}

inline const RwDeviceRecord *Source() { return &record; }

// Starts the engine once for the whole run. With RW_FUZZ_FREELISTS_OFF set
// every record is its own heap block, so the sanitizers see an overrun of a
// pooled record (frame, texture, image) that the pools would hide.
inline bool Started()
{
    static const bool started = [] {
        RwDriverSetDeviceRecordSource(Source);
        RwEngineOpenParams params{reinterpret_cast<void *>(0x1)};
        const RwUInt32 flags = std::getenv("RW_FUZZ_FREELISTS_OFF") != nullptr ? rwENGINEINITFREELISTS_OFF : 0;
        return RwEngineInit(nullptr, flags, 1 << 20) && RwEngineOpen(&params) && RwEngineStart();
    }();
    return started;
}

// Opens a read stream over the input (null for an empty one).
inline RwStream *OpenInput(const uint8_t *data, size_t size, RwMemoryDescriptor *desc)
{
    desc->start = const_cast<RwUInt8 *>(data);
    desc->length = static_cast<RwUInt32>(size);
    return RwStreamOpen(rwSTREAMMEMORY, rwSTREAMREAD, desc);
}

}  // namespace fuzzengine
