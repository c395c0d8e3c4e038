// Support for the driver's tests: a device spy that forwards every call to
// our device and logs the state-changing ones, and a fixture that starts the
// engine with the real driver on a headless window under a chosen profile,
// with the plug-ins a test asks for attached.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "d3d8/d3d8_platform.h"
#include "rwsdk/driver/d3d8/d3d8device.h"
#include "rwcore.h"

namespace d3d8test {

struct DeviceCall {
    std::string name;
    DWORD a;
    DWORD b;
    DWORD c;
    DWORD d;
};

// Wraps the driver's device; owns the reference the driver had.
IDirect3DDevice8 *MakeDeviceSpy(IDirect3DDevice8 *real);
std::vector<DeviceCall> &SpyLog();
// Calls of one name in the log.
std::vector<DeviceCall> SpyCalls(const std::string &name);
size_t SpyCount(const std::string &name);

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Engine init, then `attach` (plug-in registration; none when null),
    // open and start on the window under `profile`.
    bool StartEngine(bool (*attach)() = nullptr);
    void StopEngine();
    // Puts the spy between the driver and the device and clears the log.
    void Spy();
    IDirect3DDevice8 *Real() const { return real; }
    // A camera on rasters of the window's size, with a frame.
    RwCamera *MakeCamera();
    void DestroyCamera(RwCamera *camera);

    d3d8::Profile profile;
    // The window SetUp opens; a fixture may change these before then.
    const char *title = "driver test";
    uint32_t width = 64;
    uint32_t height = 48;
    HWND window = nullptr;
    IDirect3DDevice8 *real = nullptr;
    bool started = false;
};

}  // namespace d3d8test
