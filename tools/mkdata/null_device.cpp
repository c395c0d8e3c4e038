// The null device of the sample-data maker (see null_device.h).
#include "tools/mkdata/null_device.h"

#include <cstring>

namespace mkdata {
namespace {

RwBool NullStandard(void *, void *, RwInt32) { return TRUE; }
RwBool NullRenderState(RwInt32, void *) { return TRUE; }
RwBool NullSystem(RwInt32 request, void *out, void *, RwInt32);

const RwDeviceRecord nullRecord = {
    1.0f, NullSystem, 0.0f, 1.0f, NullRenderState, NullRenderState, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr,
};

RwBool NullSystem(RwInt32 request, void *out, void *, RwInt32)
{
    switch (request) {
    case rwDEVICESYSTEMREGISTER:
        *static_cast<RwDeviceRecord *>(out) = nullRecord;
        return TRUE;
    case rwDEVICESYSTEMSTANDARDS: {
        auto *slots = static_cast<RwStandardFunc *>(out);
        for (RwInt32 i = 0; i < rwSTANDARDNUMOFSTANDARD; ++i) {
            slots[i] = NullStandard;
        }
        return TRUE;
    }
    case rwDEVICESYSTEMGETNUMMODES:
    case rwDEVICESYSTEMGETMODE:
        *static_cast<RwInt32 *>(out) = request == rwDEVICESYSTEMGETNUMMODES ? 1 : 0;
        return TRUE;
    case rwDEVICESYSTEMGETMODEINFO:
        *static_cast<RwVideoModeInfo *>(out) = {640, 480, 32, 0, 60, 0};
        return TRUE;
    default:
        return TRUE;
    }
}


const RwDeviceRecord *NullRecordSource() { return &nullRecord; }

}  // namespace

void InstallNullDevice() { RwDriverSetDeviceRecordSource(NullRecordSource); }

bool StartEngine(bool (*attach)())
{
    InstallNullDevice();
    return RwEngineStartUp(nullptr, 0, 1 << 20, attach, nullptr) != FALSE;
}

void StopEngine() { RwEngineShutDown(); }

}  // namespace mkdata
