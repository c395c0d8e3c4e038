// A fake device driver for engine tests: answers device requests 0 to 18
// like a small display adapter would, logs every request, and fails the
// requests a test scripts to fail.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "rwengine.h"

namespace rwtest {

struct DeviceCall {
    RwInt32 request;
    RwInt32 number;
};

struct FakeDevice {
    // Installs the fake as the engine's driver (device-record source); the
    // engine's default attach registers the raster extension.
    static void Install();
    // Forgets the log and every scripted failure; restores the modes.
    static void Reset();
    // The system function returns 0 for this request (the engine's defaults
    // may still answer it).
    static void Fail(RwInt32 request);
    // The system function answers nothing at all.
    static void AnswerNothing(bool on);
    static const std::vector<DeviceCall> &Calls();
    // Request numbers in the order they arrived.
    static std::vector<RwInt32> RequestLog();
    // Memory functions handed over by request 4 (null before it).
    static const RwMemoryFunctions *RegisteredMemory();
    static const RwDeviceRecord &Record();
    // Video modes the fake reports: the desktop mode first, then two
    // exclusive modes.
    static const std::vector<RwVideoModeInfo> &Modes();
};

// Shared event log: the fake device appends "dev N" for each request; tests
// append their own events (module opens and closes) to check interleaving.
std::vector<std::string> &EventLog();

}  // namespace rwtest
