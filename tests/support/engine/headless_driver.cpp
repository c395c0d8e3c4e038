// The engine on the real driver in a headless window (see headless_driver.h).
#include "support/engine/headless_driver.h"

#include "rwd3d8.h"
#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"

namespace rwtest {

HWND OpenHeadlessWindow(const char *title, uint32_t width, uint32_t height)
{
    win::SetDesktopSizeOverride(1280, 1024);
    win::WindowDesc desc;
    desc.title = title;
    desc.clientWidth = width;
    desc.clientHeight = height;
    desc.backend = win::Backend::Headless;
    return win::CreatePlatformWindow(desc);
}

bool DriverStartUp(const d3d8::Profile &profile, HWND window, bool (*attach)())
{
    d3d8::SetNextProfile(profile);
    RwD3D8DriverInstall();
    return RwEngineStartUp(CountingMemory::Table(), EngineInitFlags(), 1 << 20, attach, window) != FALSE;
}

void CloseHeadlessWindow(HWND window)
{
    RwDriverSetAttach(nullptr);
    RwIm3DSetDeviceNodes(nullptr);
    if (window != nullptr) {
        win::DestroyPlatformWindow(window);
    }
    d3d8::ResetNextProfile();
    win::SetDesktopSizeOverride(0, 0);
}

}  // namespace rwtest
