// The driver's device system: the numbered device requests of the engine
// (open, close, start, stop, video modes, sub-systems), adapter and mode
// discovery, the present parameters with their depth/stencil choice, and the
// format-capability queries the raster code asks.
#include <cstring>

#include "driver/d3d8/d3d8device.h"
#include "driver/d3d8/d3d8raster.h"
#include "rwcore.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

RwD3D8DeviceState rwD3D8Device;

namespace {

D3DDISPLAYMODE DesktopMode()
{
    D3DDISPLAYMODE desktop{};
    rwD3D8Device.d3d->GetAdapterDisplayMode(rwD3D8Device.adapter, &desktop);
    return desktop;
}

void TakeDesktopAsCurrentMode()
{
    const D3DDISPLAYMODE desktop = DesktopMode();
    rwD3D8Device.mode.width = desktop.Width;
    rwD3D8Device.mode.height = desktop.Height;
    rwD3D8Device.mode.refreshRate = desktop.RefreshRate;
    rwD3D8Device.mode.format = desktop.Format;
    rwD3D8Device.mode.depth = static_cast<RwUInt32>(RwD3D8FormatDepth(desktop.Format));
    rwD3D8Device.mode.flags = 0;
}

void FreeVideoModeList()
{
    RwFree(rwD3D8Device.modeList);
    rwD3D8Device.modeList = nullptr;
    rwD3D8Device.modeListCount = 0;
}

RwBool EnsureVideoModeList()
{
    return rwD3D8Device.modeList != nullptr || RwD3D8BuildVideoModeList();
}

RwBool DeviceOpen(const RwEngineOpenParams *params)
{
    if (params == nullptr) {
        return FALSE;
    }
    const RwD3D8DeviceState cleared{};
    rwD3D8Device = cleared;
    rwD3D8Device.deviceType = D3DDEVTYPE_HAL;
    rwD3D8Device.window = static_cast<HWND>(params->displayID);
    rwD3D8Device.d3d = Direct3DCreate8(D3D_SDK_VERSION);
    if (rwD3D8Device.d3d == nullptr) {
        return FALSE;
    }
    const UINT adapters = rwD3D8Device.d3d->GetAdapterCount();
    UINT adapter = 0;
    while (adapter < adapters &&
           FAILED(rwD3D8Device.d3d->GetDeviceCaps(adapter, rwD3D8Device.deviceType, &rwD3D8Device.caps))) {
        ++adapter;
    }
    if (adapter == adapters) {
        rwD3D8Device.d3d->Release();
        rwD3D8Device.d3d = nullptr;
        return FALSE;
    }
    rwD3D8Device.adapter = adapter;
    rwD3D8Device.adapterModeCount = rwD3D8Device.d3d->GetAdapterModeCount(adapter);
    TakeDesktopAsCurrentMode();
    rwD3D8Device.modeIndex = 0;
    rwD3D8Device.hasSSE = RwD3D8CpuHasSSE();
    return TRUE;
}

RwBool DeviceClose()
{
    FreeVideoModeList();
    if (rwD3D8Device.d3d != nullptr) {
        rwD3D8Device.d3d->Release();
        rwD3D8Device.d3d = nullptr;
    }
    return TRUE;
}

RwBool DescribeVideoMode(RwVideoModeInfo *info, RwInt32 index)
{
    if (!EnsureVideoModeList() || index < 0 || index >= rwD3D8Device.modeListCount || info == nullptr) {
        return FALSE;
    }
    const RwD3D8VideoModeEntry &entry = rwD3D8Device.modeList[index];
    const auto format = static_cast<D3DFORMAT>(entry.format);
    info->width = entry.width;
    info->height = entry.height;
    info->depth = static_cast<RwUInt32>(RwD3D8FormatDepth(format));
    info->flags = entry.flags;
    info->refRate = entry.refreshRate;
    info->format = static_cast<RwUInt32>(RwD3D8DisplayRasterFormat(format));
    return TRUE;
}

RwBool UseVideoMode(RwInt32 index)
{
    if (rwD3D8Device.started || !EnsureVideoModeList() || index < 0 || index >= rwD3D8Device.modeListCount) {
        return FALSE;
    }
    const RwD3D8VideoModeEntry &entry = rwD3D8Device.modeList[index];
    rwD3D8Device.mode.width = entry.width;
    rwD3D8Device.mode.height = entry.height;
    rwD3D8Device.mode.refreshRate = entry.refreshRate;
    rwD3D8Device.mode.format = static_cast<D3DFORMAT>(entry.format);
    rwD3D8Device.mode.depth = static_cast<RwUInt32>(RwD3D8FormatDepth(rwD3D8Device.mode.format));
    rwD3D8Device.mode.flags = entry.flags;
    rwD3D8Device.modeIndex = index;
    return TRUE;
}

RwBool DescribeSubSystem(RwSubSystemInfo *info, RwInt32 index)
{
    D3DADAPTER_IDENTIFIER8 identifier{};
    if (info == nullptr ||
        FAILED(rwD3D8Device.d3d->GetAdapterIdentifier(static_cast<UINT>(index), D3DENUM_NO_WHQL_LEVEL, &identifier))) {
        return FALSE;
    }
    const size_t length = strnlen(identifier.Description, sizeof(identifier.Description));
    const size_t kept = length < rwSUBSYSTEMNAMELENGTH - 1 ? length : rwSUBSYSTEMNAMELENGTH - 1;
    std::memcpy(info->name, identifier.Description, kept);
    info->name[kept] = '\0';
    return TRUE;
}

RwBool SelectSubSystem(RwInt32 index)
{
    if (index < 0 || static_cast<UINT>(index) >= rwD3D8Device.d3d->GetAdapterCount()) {
        return FALSE;
    }
    rwD3D8Device.adapter = static_cast<RwUInt32>(index);
    rwD3D8Device.adapterModeCount = rwD3D8Device.d3d->GetAdapterModeCount(rwD3D8Device.adapter);
    TakeDesktopAsCurrentMode();
    return RwD3D8BuildVideoModeList();
}

RwBool CheckDepthFormat(D3DFORMAT desktop, D3DFORMAT backBuffer, D3DFORMAT depth)
{
    IDirect3D8 *d3d = rwD3D8Device.d3d;
    return SUCCEEDED(d3d->CheckDeviceFormat(rwD3D8Device.adapter, rwD3D8Device.deviceType, desktop,
                                            D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, depth)) &&
           SUCCEEDED(d3d->CheckDepthStencilMatch(rwD3D8Device.adapter, rwD3D8Device.deviceType, desktop,
                                                 backBuffer, depth));
}

RwBool CheckFormat(DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format)
{
    return rwD3D8Device.d3d != nullptr &&
           SUCCEEDED(rwD3D8Device.d3d->CheckDeviceFormat(rwD3D8Device.adapter, rwD3D8Device.deviceType,
                                                         rwD3D8Device.mode.format, usage, type, format));
}

}  // namespace

RwInt32 RwD3D8FormatDepth(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: return 32;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: return 16;
    default: return 0;
    }
}

RwInt32 RwD3D8DisplayRasterFormat(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8: return rwRASTERFORMAT8888;
    case D3DFMT_X8R8G8B8: return rwRASTERFORMAT888;
    case D3DFMT_R5G6B5: return rwRASTERFORMAT565;
    case D3DFMT_X1R5G5B5: return rwRASTERFORMAT555;
    case D3DFMT_A1R5G5B5: return rwRASTERFORMAT1555;
    default: return 0;
    }
}

RwBool RwD3D8BuildVideoModeList(void)
{
    IDirect3D8 *d3d = rwD3D8Device.d3d;
    const RwUInt32 room = rwD3D8Device.adapterModeCount + 1;
    auto *list = static_cast<RwD3D8VideoModeEntry *>(
        RwRealloc(rwD3D8Device.modeList, sizeof(RwD3D8VideoModeEntry) * room));
    if (list == nullptr) {
        return FALSE;
    }
    rwD3D8Device.modeList = list;
    const D3DDISPLAYMODE desktop = DesktopMode();
    list[0] = {desktop.Width, desktop.Height, desktop.RefreshRate, static_cast<RwUInt32>(desktop.Format), 0};
    RwInt32 count = 0;
    if (RwD3D8FormatDepth(desktop.Format) != 0 && (rwD3D8Device.caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED) != 0) {
        count = 1;
    }
    for (RwUInt32 i = 0; i < rwD3D8Device.adapterModeCount; ++i) {
        D3DDISPLAYMODE mode{};
        if (FAILED(d3d->EnumAdapterModes(rwD3D8Device.adapter, i, &mode))) {
            continue;
        }
        // Refresh rates of one size and format collapse into one exclusive
        // entry offering the highest.
        RwBool merged = FALSE;
        for (RwInt32 j = 1; j < count; ++j) {
            RwD3D8VideoModeEntry &entry = list[j];
            if (entry.flags != 0 && entry.width == mode.Width && entry.height == mode.Height &&
                entry.format == static_cast<RwUInt32>(mode.Format)) {
                if (mode.RefreshRate > entry.refreshRate) {
                    entry.refreshRate = mode.RefreshRate;
                }
                merged = TRUE;
                break;
            }
        }
        if (!merged) {
            list[count++] = {mode.Width, mode.Height, mode.RefreshRate, static_cast<RwUInt32>(mode.Format), 1};
        }
    }
    if (static_cast<RwUInt32>(count) < room && count > 0) {
        auto *shrunk = static_cast<RwD3D8VideoModeEntry *>(RwRealloc(list, sizeof(RwD3D8VideoModeEntry) * count));
        if (shrunk != nullptr) {
            rwD3D8Device.modeList = shrunk;
        }
    }
    rwD3D8Device.modeListCount = count;
    return TRUE;
}

void RwD3D8BuildPresentParameters(const D3DDISPLAYMODE *desktop)
{
    D3DPRESENT_PARAMETERS &present = rwD3D8Device.present;
    present = D3DPRESENT_PARAMETERS{};
    const RwD3D8CurrentVideoMode &mode = rwD3D8Device.mode;
    if ((mode.flags & rwVIDEOMODEEXCLUSIVE) == 0) {
        present.Windowed = TRUE;
        present.BackBufferFormat = desktop->Format;
        present.BackBufferCount = 1;
        RECT rect{};
        if (rwD3D8Device.window != nullptr) {
            GetWindowRect(rwD3D8Device.window, &rect);
        }
        // Zero asks the device for the window's size; a collapsed window
        // still needs a one-pixel buffer.
        present.BackBufferWidth = (rect.right - rect.left) == 0 ? 1 : 0;
        present.BackBufferHeight = (rect.bottom - rect.top) == 0 ? 1 : 0;
        present.SwapEffect = D3DSWAPEFFECT_COPY;
    } else {
        present.Windowed = FALSE;
        present.BackBufferFormat = mode.format;
        present.BackBufferCount = 1;
        present.FullScreen_RefreshRateInHz = mode.refreshRate;
        present.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        present.BackBufferWidth = mode.width;
        present.BackBufferHeight = mode.height;
        present.SwapEffect = D3DSWAPEFFECT_FLIP;
    }
    present.EnableAutoDepthStencil = TRUE;
    RwInt32 depth = RwD3D8FormatDepth(present.BackBufferFormat);
    D3DFORMAT chosen = D3DFMT_UNKNOWN;
    RwBool stencil = FALSE;
    if (depth == 32) {
        static const struct {
            D3DFORMAT format;
            RwBool stencil;
        } deep[] = {{D3DFMT_D24S8, TRUE}, {D3DFMT_D24X4S4, TRUE}, {D3DFMT_D32, FALSE}, {D3DFMT_D24X8, FALSE}};
        for (const auto &candidate : deep) {
            if (CheckDepthFormat(desktop->Format, present.BackBufferFormat, candidate.format)) {
                chosen = candidate.format;
                stencil = candidate.stencil;
                break;
            }
        }
        if (chosen == D3DFMT_UNKNOWN) {
            depth = 16;
        }
    }
    if (depth == 16) {
        if (CheckDepthFormat(desktop->Format, present.BackBufferFormat, D3DFMT_D15S1)) {
            chosen = D3DFMT_D15S1;
            stencil = TRUE;
        } else {
            chosen = D3DFMT_D16;
        }
    }
    present.AutoDepthStencilFormat = chosen;
    rwD3D8Device.stencilPresent = stencil;
    rwD3D8Device.zBufferDepth = depth;
}

RwBool RwD3D8CheckZBufferFormat(D3DFORMAT format)
{
    return CheckFormat(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, format) &&
           SUCCEEDED(rwD3D8Device.d3d->CheckDepthStencilMatch(rwD3D8Device.adapter, rwD3D8Device.deviceType,
                                                              rwD3D8Device.mode.format, rwD3D8Device.mode.format,
                                                              format));
}

RwBool RwD3D8CheckTextureFormat(D3DFORMAT format) { return CheckFormat(0, D3DRTYPE_TEXTURE, format); }

RwBool RwD3D8CheckRenderTargetFormat(D3DFORMAT format)
{
    return CheckFormat(D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, format) &&
           SUCCEEDED(rwD3D8Device.d3d->CheckDepthStencilMatch(rwD3D8Device.adapter, rwD3D8Device.deviceType,
                                                              rwD3D8Device.mode.format, format,
                                                              rwD3D8Device.present.AutoDepthStencilFormat));
}

RwBool RwD3D8CheckCubeTextureFormat(D3DFORMAT format) { return CheckFormat(0, D3DRTYPE_CUBETEXTURE, format); }

// Every x86-64 processor has CPUID, so only the feature bits are read.
RwBool RwD3D8CpuHasSSE(void)
{
#if defined(__x86_64__) || defined(__i386__)
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) {
        return FALSE;
    }
    return (edx & ((1u << 25) | (1u << 26))) != 0 ? TRUE : FALSE;
#else
    return FALSE;
#endif
}

// The engine's maths is compiled for SSE with IEEE behaviour and no
// fused or fast maths, so results match on every machine; narrowing x87
// precision or flushing denormals would only break that sameness. The
// control state is left as it is.
void RwD3D8FloatingPointSetUp(RwBool save)
{
    if (save) {
        rwD3D8Device.savedFPControl = 0;
    }
}

void RwD3D8FloatingPointRestore(void) {}

IDirect3DDevice8 *RwD3D8GetCurrentD3DDevice(void) { return rwD3D8Device.device; }

RwBool RwD3D8SetScissor(const D3DRECT *rect)
{
    return rwD3D8Device.device != nullptr && SUCCEEDED(rwD3D8Device.device->SetScissorRect(rect)) ? TRUE : FALSE;
}

const D3DCAPS8 *RwD3D8GetDeviceCaps(void) { return &rwD3D8Device.caps; }

RwBool RwD3D8DeviceSystem(RwInt32 request, void *out, void *inOut, RwInt32 number)
{
    if (request != rwDEVICESYSTEMOPEN && request != rwDEVICESYSTEMREGISTER &&
        request != rwDEVICESYSTEMSTANDARDS && rwD3D8Device.d3d == nullptr) {
        return FALSE;
    }
    switch (request) {
    case rwDEVICESYSTEMOPEN: return DeviceOpen(static_cast<const RwEngineOpenParams *>(inOut));
    case rwDEVICESYSTEMCLOSE: return DeviceClose();
    case rwDEVICESYSTEMSTART: return RwD3D8DeviceStart();
    case rwDEVICESYSTEMSTOP: RwD3D8DeviceStop(); return TRUE;
    case rwDEVICESYSTEMREGISTER:
        *static_cast<RwDeviceRecord *>(out) = *RwD3D8GetDeviceRecord();
        return TRUE;
    case rwDEVICESYSTEMGETNUMMODES:
        if (!EnsureVideoModeList()) {
            return FALSE;
        }
        *static_cast<RwInt32 *>(out) = rwD3D8Device.modeListCount;
        return TRUE;
    case rwDEVICESYSTEMGETMODEINFO: return DescribeVideoMode(static_cast<RwVideoModeInfo *>(out), number);
    case rwDEVICESYSTEMUSEMODE: return UseVideoMode(number);
    case rwDEVICESYSTEMGETMODE: *static_cast<RwInt32 *>(out) = rwD3D8Device.modeIndex; return TRUE;
    case rwDEVICESYSTEMSTANDARDS: RwD3D8FillStandardFunctions(static_cast<RwStandardFunc *>(out), number); return TRUE;
    case rwDEVICESYSTEMGETNUMSUBSYSTEMS:
        *static_cast<RwInt32 *>(out) = static_cast<RwInt32>(rwD3D8Device.d3d->GetAdapterCount());
        return TRUE;
    case rwDEVICESYSTEMGETSUBSYSTEMINFO: return DescribeSubSystem(static_cast<RwSubSystemInfo *>(out), number);
    case rwDEVICESYSTEMGETCURRENTSUBSYSTEM:
        *static_cast<RwInt32 *>(out) = static_cast<RwInt32>(rwD3D8Device.adapter);
        return TRUE;
    case rwDEVICESYSTEMSETSUBSYSTEM: return SelectSubSystem(number);
    case rwDEVICESYSTEMFINALIZESTART: RwD3D8FloatingPointSetUp(TRUE); return TRUE;
    default: return FALSE;
    }
}
