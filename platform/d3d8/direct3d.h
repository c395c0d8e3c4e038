// The Direct3D object: one adapter (our processor device), its modes and format support,
// and device creation.
#pragma once

#include "com_object.h"
#include "d3d8/d3d8_platform.h"

namespace d3d8 {

class Direct3DImpl final : public ComObject<IDirect3D8> {
public:
    explicit Direct3DImpl(const Profile &profile) : profile_(profile) {}

    UINT GetAdapterCount() override { return 1; }
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags,
                                 D3DADAPTER_IDENTIFIER8 *identifier) override;
    UINT GetAdapterModeCount(UINT adapter) override;
    HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE *displayMode) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE *displayMode) override;
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                            D3DFORMAT backBufferFormat, BOOL windowed) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surfaceFormat,
                                       BOOL windowed,
                                       D3DMULTISAMPLE_TYPE multiSampleType) override;
    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat,
                                   D3DFORMAT depthStencilFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8 *caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS *presentationParameters,
                         IDirect3DDevice8 **device) override;

    const Profile &GetProfile() const { return profile_; }

private:
    Profile profile_;
};

// The display modes we offer, in the order EnumAdapterModes lists them: 640x480, 800x600,
// 1024x768 and the desktop size (when it is not one of those), all X8R8G8B8 at 60 Hz.
uint32_t ModeCount();
D3DDISPLAYMODE ModeAt(uint32_t index);
D3DDISPLAYMODE DesktopMode();

}  // namespace d3d8
