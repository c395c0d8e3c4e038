// The fake device behind engine tests (see fake_device.h).
#include "support/engine/fake_device.h"

#include <cstring>

namespace rwtest {
namespace {

struct FakeDeviceState {
    std::vector<DeviceCall> calls;
    std::set<RwInt32> failing;
    bool silent = false;
    const RwMemoryFunctions *memory = nullptr;
    RwInt32 subSystem = 0;
    RwInt32 mode = 0;
    bool opened = false;
    bool started = false;
};

FakeDeviceState &Fake()
{
    static FakeDeviceState state;
    return state;
}

const std::vector<RwVideoModeInfo> modes = {
    {640, 480, 32, 0, 60, 0x500},
    {640, 480, 32, rwVIDEOMODEEXCLUSIVE, 60, 0x500},
    {800, 600, 32, rwVIDEOMODEEXCLUSIVE, 75, 0x500},
};

const char *const subSystemNames[] = {"Fake adapter 0", "Fake adapter 1"};

RwBool FakeStandard(void *, void *, RwInt32) { return TRUE; }

RwBool FakeSystem(RwInt32 request, void *out, void *inOut, RwInt32 number);

const RwDeviceRecord record = {1.0f, FakeSystem, 0.0f, 1.0f, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

RwBool Answer(RwInt32 request, void *out, void *inOut, RwInt32 number)
{
    FakeDeviceState &s = Fake();
    switch (request) {
    case rwDEVICESYSTEMOPEN:
        s.opened = inOut != nullptr;
        return s.opened;
    case rwDEVICESYSTEMCLOSE:
        s.opened = false;
        return TRUE;
    case rwDEVICESYSTEMSTART:
        s.started = true;
        return TRUE;
    case rwDEVICESYSTEMSTOP:
        s.started = false;
        return TRUE;
    case rwDEVICESYSTEMREGISTER:
        std::memcpy(out, &record, sizeof(record));
        s.memory = static_cast<const RwMemoryFunctions *>(inOut);
        return TRUE;
    case rwDEVICESYSTEMGETNUMMODES:
        *static_cast<RwInt32 *>(out) = static_cast<RwInt32>(modes.size());
        return TRUE;
    case rwDEVICESYSTEMGETMODEINFO:
        if (number < 0 || number >= static_cast<RwInt32>(modes.size())) {
            return FALSE;
        }
        *static_cast<RwVideoModeInfo *>(out) = modes[static_cast<size_t>(number)];
        return TRUE;
    case rwDEVICESYSTEMUSEMODE:
        if (number < 0 || number >= static_cast<RwInt32>(modes.size())) {
            return FALSE;
        }
        s.mode = number;
        return TRUE;
    case rwDEVICESYSTEMFOCUS:
    case rwDEVICESYSTEMINITPIPELINE:
        return TRUE;
    case rwDEVICESYSTEMGETMODE:
        *static_cast<RwInt32 *>(out) = s.mode;
        return TRUE;
    case rwDEVICESYSTEMSTANDARDS: {
        auto *slots = static_cast<RwStandardFunc *>(out);
        for (RwInt32 i = 0; i < number; ++i) {
            slots[i] = FakeStandard;
        }
        return TRUE;
    }
    case rwDEVICESYSTEMGETTEXMEMSIZE:
        *static_cast<RwInt32 *>(out) = 16 << 20;
        return TRUE;
    case rwDEVICESYSTEMGETNUMSUBSYSTEMS:
        *static_cast<RwInt32 *>(out) = 2;
        return TRUE;
    case rwDEVICESYSTEMGETSUBSYSTEMINFO:
        if (number < 0 || number > 1) {
            return FALSE;
        }
        std::strcpy(static_cast<RwSubSystemInfo *>(out)->name, subSystemNames[number]);
        return TRUE;
    case rwDEVICESYSTEMGETCURRENTSUBSYSTEM:
        *static_cast<RwInt32 *>(out) = s.subSystem;
        return TRUE;
    case rwDEVICESYSTEMSETSUBSYSTEM:
        if (number < 0 || number > 1) {
            return FALSE;
        }
        s.subSystem = number;
        return TRUE;
    case rwDEVICESYSTEMFINALIZESTART:
    case rwDEVICESYSTEMINITIATESTOP:
        return TRUE;
    default:
        return FALSE;
    }
}

RwBool FakeSystem(RwInt32 request, void *out, void *inOut, RwInt32 number)
{
    FakeDeviceState &s = Fake();
    s.calls.push_back({request, number});
    EventLog().push_back("dev " + std::to_string(request));
    if (s.silent || s.failing.count(request) != 0) {
        return FALSE;
    }
    return Answer(request, out, inOut, number);
}

const RwDeviceRecord *Source() { return &record; }

}  // namespace

std::vector<std::string> &EventLog()
{
    static std::vector<std::string> log;
    return log;
}

void FakeDevice::Install()
{
    RwDriverSetDeviceRecordSource(Source);
    RwDriverSetAttach(nullptr);
}

void FakeDevice::Reset()
{
    FakeDeviceState &s = Fake();
    s.calls.clear();
    s.failing.clear();
    s.silent = false;
    s.subSystem = 0;
    s.mode = 0;
}

void FakeDevice::Fail(RwInt32 request) { Fake().failing.insert(request); }
void FakeDevice::AnswerNothing(bool on) { Fake().silent = on; }
const std::vector<DeviceCall> &FakeDevice::Calls() { return Fake().calls; }

std::vector<RwInt32> FakeDevice::RequestLog()
{
    std::vector<RwInt32> out;
    for (const DeviceCall &call : Fake().calls) {
        out.push_back(call.request);
    }
    return out;
}

const RwMemoryFunctions *FakeDevice::RegisteredMemory() { return Fake().memory; }
const RwDeviceRecord &FakeDevice::Record() { return record; }
const std::vector<RwVideoModeInfo> &FakeDevice::Modes() { return modes; }

}  // namespace rwtest
