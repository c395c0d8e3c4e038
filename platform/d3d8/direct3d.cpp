// The Direct3D object: our one adapter, its display modes and format support, and device
// creation under the object's capability profile.
#include "direct3d.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "device.h"
#include "format_info.h"
#include "win/window.h"

namespace d3d8 {
namespace {

std::vector<D3DDISPLAYMODE> Modes() {
    const D3DDISPLAYMODE desktop = DesktopMode();
    std::vector<D3DDISPLAYMODE> modes;
    const UINT sizes[3][2] = {{640, 480}, {800, 600}, {1024, 768}};
    for (const auto &size : sizes) {
        modes.push_back({size[0], size[1], 60, D3DFMT_X8R8G8B8});
    }
    const bool listed = std::any_of(modes.begin(), modes.end(), [&](const D3DDISPLAYMODE &m) {
        return m.Width == desktop.Width && m.Height == desktop.Height;
    });
    if (!listed) modes.push_back(desktop);
    std::stable_sort(modes.begin(), modes.end(), [](const D3DDISPLAYMODE &a,
                                                    const D3DDISPLAYMODE &b) {
        return a.Width != b.Width ? a.Width < b.Width : a.Height < b.Height;
    });
    return modes;
}

bool IsOurAdapter(UINT adapter, D3DDEVTYPE type) {
    return adapter == D3DADAPTER_DEFAULT && type == D3DDEVTYPE_HAL;
}

}  // namespace

D3DDISPLAYMODE DesktopMode() {
    uint32_t w = 0, h = 0;
    win::GetDesktopSize(&w, &h);
    return {w, h, 60, D3DFMT_X8R8G8B8};
}

uint32_t ModeCount() { return uint32_t(Modes().size()); }

D3DDISPLAYMODE ModeAt(uint32_t index) { return Modes()[index]; }

HRESULT Direct3DImpl::GetAdapterIdentifier(UINT adapter, DWORD,
                                           D3DADAPTER_IDENTIFIER8 *identifier) {
    if (adapter != D3DADAPTER_DEFAULT || !identifier) return D3DERR_INVALIDCALL;
    std::memset(identifier, 0, sizeof *identifier);
    std::snprintf(identifier->Driver, sizeof identifier->Driver, "%s", "swr8");
    std::snprintf(identifier->Description, sizeof identifier->Description, "%s",
                  "Processor Direct3D 8 device");
    identifier->DriverVersion.QuadPart = 0x0001000000000001LL;
    identifier->DeviceIdentifier = {0x73777238u, 0x0008u, 0x0001u, {'s', 'w', 'r', '8', 0, 0, 0, 1}};
    return D3D_OK;
}

UINT Direct3DImpl::GetAdapterModeCount(UINT adapter) {
    return adapter == D3DADAPTER_DEFAULT ? ModeCount() : 0;
}

HRESULT Direct3DImpl::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE *displayMode) {
    if (adapter != D3DADAPTER_DEFAULT || !displayMode || mode >= ModeCount()) {
        return D3DERR_INVALIDCALL;
    }
    *displayMode = ModeAt(mode);
    return D3D_OK;
}

HRESULT Direct3DImpl::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE *displayMode) {
    if (adapter != D3DADAPTER_DEFAULT || !displayMode) return D3DERR_INVALIDCALL;
    *displayMode = DesktopMode();
    return D3D_OK;
}

HRESULT Direct3DImpl::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                                      D3DFORMAT backBufferFormat, BOOL) {
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (type != D3DDEVTYPE_HAL || !IsDisplayFormat(displayFormat) ||
        !IsColorTargetFormat(backBufferFormat)) {
        return D3DERR_NOTAVAILABLE;
    }
    return D3D_OK;
}

HRESULT Direct3DImpl::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                        DWORD usage, D3DRESOURCETYPE resourceType,
                                        D3DFORMAT checkFormat) {
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (type != D3DDEVTYPE_HAL || !IsDisplayFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
    bool ok = false;
    switch (resourceType) {
    case D3DRTYPE_SURFACE:
    case D3DRTYPE_TEXTURE:
    case D3DRTYPE_CUBETEXTURE:
        if (usage & D3DUSAGE_DEPTHSTENCIL) {
            ok = resourceType == D3DRTYPE_SURFACE && IsDepthFormat(checkFormat) &&
                 !(usage & D3DUSAGE_RENDERTARGET);
        } else if (usage & D3DUSAGE_RENDERTARGET) {
            ok = IsColorTargetFormat(checkFormat);
        } else {
            ok = IsTextureFormat(checkFormat);
        }
        break;
    case D3DRTYPE_VERTEXBUFFER:
        ok = checkFormat == D3DFMT_VERTEXDATA;
        break;
    case D3DRTYPE_INDEXBUFFER:
        ok = checkFormat == D3DFMT_INDEX16 || checkFormat == D3DFMT_INDEX32;
        break;
    default:
        ok = false;
    }
    return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DImpl::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type,
                                                 D3DFORMAT surfaceFormat, BOOL,
                                                 D3DMULTISAMPLE_TYPE multiSampleType) {
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (type != D3DDEVTYPE_HAL || multiSampleType != D3DMULTISAMPLE_NONE) {
        return D3DERR_NOTAVAILABLE;
    }
    return IsColorTargetFormat(surfaceFormat) || IsDepthFormat(surfaceFormat)
               ? D3D_OK
               : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DImpl::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type,
                                             D3DFORMAT adapterFormat,
                                             D3DFORMAT renderTargetFormat,
                                             D3DFORMAT depthStencilFormat) {
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (type != D3DDEVTYPE_HAL || !IsDisplayFormat(adapterFormat) ||
        !IsColorTargetFormat(renderTargetFormat) || !IsDepthFormat(depthStencilFormat)) {
        return D3DERR_NOTAVAILABLE;
    }
    return D3D_OK;
}

HRESULT Direct3DImpl::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8 *caps) {
    if (!caps || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
    *caps = CapsForProfile(profile_);
    return D3D_OK;
}

HRESULT Direct3DImpl::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                                   DWORD behaviorFlags,
                                   D3DPRESENT_PARAMETERS *presentationParameters,
                                   IDirect3DDevice8 **device) {
    if (!device || !presentationParameters) return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (!IsOurAdapter(adapter, type)) {
        return adapter != D3DADAPTER_DEFAULT ? D3DERR_INVALIDCALL : D3DERR_NOTAVAILABLE;
    }
    const DWORD processing = behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                              D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                              D3DCREATE_MIXED_VERTEXPROCESSING);
    if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING &&
        processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
        processing != D3DCREATE_MIXED_VERTEXPROCESSING) {
        return D3DERR_INVALIDCALL;
    }
    const D3DCAPS8 caps = CapsForProfile(profile_);
    const bool hardware = (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0;
    if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING && !hardware) return D3DERR_INVALIDCALL;
    if ((behaviorFlags & D3DCREATE_PUREDEVICE) && !(caps.DevCaps & D3DDEVCAPS_PUREDEVICE)) {
        return D3DERR_INVALIDCALL;
    }
    D3DPRESENT_PARAMETERS resolved;
    const HRESULT hr =
        DeviceImpl::ResolveParameters(*presentationParameters, focusWindow, false, &resolved);
    if (FAILED(hr)) return hr;
    *device = new DeviceImpl(this, focusWindow, behaviorFlags, resolved);
    return D3D_OK;
}

}  // namespace d3d8

IDirect3D8 *Direct3DCreate8(UINT sdkVersion) {
    if (sdkVersion != D3D_SDK_VERSION) return nullptr;
    return new d3d8::Direct3DImpl(d3d8::NextProfile());
}
