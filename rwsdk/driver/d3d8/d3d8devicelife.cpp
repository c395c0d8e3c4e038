// Life of the rendering device: creation at engine start, release at stop,
// beginning the scene, and recovery of a lost or resized device, where every
// default-pool object is let go before Reset and rebuilt after it in order.
#include "driver/d3d8/d3d8device.h"
#include "driver/d3d8/d3d8raster.h"
#include "rwcore.h"

namespace {

void UnbindEverything(IDirect3DDevice8 *device)
{
    for (DWORD stage = 0; stage < 8; ++stage) {
        device->SetTexture(stage, nullptr);
    }
    device->SetStreamSource(0, nullptr, 0);
    device->SetIndices(nullptr, 0);
}

// The device keeps its surfaces alive; the driver only needs to name them.
void FetchMainSurfaces()
{
    IDirect3DDevice8 *device = rwD3D8Device.device;
    rwD3D8Device.mainRenderTarget = nullptr;
    rwD3D8Device.mainDepthStencil = nullptr;
    if (SUCCEEDED(device->GetRenderTarget(&rwD3D8Device.mainRenderTarget))) {
        rwD3D8Device.mainRenderTarget->Release();
    }
    if (SUCCEEDED(device->GetDepthStencilSurface(&rwD3D8Device.mainDepthStencil))) {
        rwD3D8Device.mainDepthStencil->Release();
    } else {
        rwD3D8Device.mainDepthStencil = nullptr;
    }
}

}  // namespace

RwBool RwD3D8DeviceStart(void)
{
    RwD3D8DeviceState &state = rwD3D8Device;
    const D3DDISPLAYMODE desktop = [] {
        D3DDISPLAYMODE mode{};
        rwD3D8Device.d3d->GetAdapterDisplayMode(rwD3D8Device.adapter, &mode);
        return mode;
    }();
    RwD3D8BuildPresentParameters(&desktop);
    state.present.hDeviceWindow = state.window;
    state.present.MultiSampleType = D3DMULTISAMPLE_NONE;
    state.present.Flags = 0;
    state.d3d->GetDeviceCaps(state.adapter, state.deviceType, &state.caps);
    DWORD behaviour = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    if ((state.caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0) {
        behaviour = D3DCREATE_HARDWARE_VERTEXPROCESSING;
        if ((state.caps.DevCaps & D3DDEVCAPS_PUREDEVICE) != 0) {
            behaviour |= D3DCREATE_PUREDEVICE;
        }
    }
    if (FAILED(state.d3d->CreateDevice(state.adapter, state.deviceType, state.window, behaviour, &state.present,
                                       &state.device))) {
        state.device = nullptr;
        state.started = FALSE;
        return FALSE;
    }
    if (state.window != nullptr) {
        RECT client{};
        GetClientRect(state.window, &client);
        state.mode.width = static_cast<RwUInt32>(client.right - client.left);
        state.mode.height = static_cast<RwUInt32>(client.bottom - client.top);
    }
    FetchMainSurfaces();
    state.inScene = FALSE;
    state.copyBackPending = FALSE;
    state.currentCamera = nullptr;
    RwD3D8DeviceResetCaches();
    RwD3D8RasterOpen();
    RwD3D8Im2DOpen();
    RwD3D8RenderStateCacheOpen();
    RwD3D8DynamicVertexBufferPoolOpen();
    RwD3D8SharedVertexBuffersCreate();
    state.started = TRUE;
    return TRUE;
}

void RwD3D8DeviceStop(void)
{
    RwD3D8DeviceState &state = rwD3D8Device;
    state.started = FALSE;
    RwFree(state.modeList);
    state.modeList = nullptr;
    state.modeListCount = 0;
    RwD3D8FloatingPointRestore();
    if (state.device == nullptr) {
        return;
    }
    RwD3D8TransformCacheClose();
    RwD3D8LightCacheClear();
    UnbindEverything(state.device);
    RwD3D8RasterClose();
    RwD3D8SharedVertexBuffersRelease();
    RwD3D8Im2DClose();
    RwD3D8PixelShaderListClose();
    RwD3D8DynamicVertexBufferPoolClose();
    state.device->Release();
    state.device = nullptr;
    state.mainRenderTarget = nullptr;
    state.mainDepthStencil = nullptr;
    state.inScene = FALSE;
    state.currentCamera = nullptr;
}

void RwD3D8DeviceReleaseForReset(void)
{
    RwD3D8ResetCallCacheValues();
    RwD3D8TransformCacheReset();
    UnbindEverything(rwD3D8Device.device);
    RwD3D8Im2DClose();
    RwD3D8Im3DSubmitReleaseForReset();
    RwD3D8PixelShaderListRelease();
    RwD3D8SharedVertexBuffersRelease();
    RwD3D8DynamicVertexBufferPoolRelease();
    RwD3D8RasterReleaseVideoMemory();
    RwFreeListPurgeAllFreeLists();
    rwD3D8Device.inScene = FALSE;
}

RwBool RwD3D8DeviceRestoreAfterReset(void)
{
    FetchMainSurfaces();
    if (!RwD3D8RasterRestoreVideoMemory()) {
        return FALSE;
    }
    if (!RwD3D8DynamicVertexBufferPoolRestore() || !RwD3D8PixelShaderListRestore()) {
        return FALSE;
    }
    RwD3D8RenderStateCacheRestore();
    if (!RwD3D8LightCacheRestore() || !RwD3D8Im2DOpen()) {
        return FALSE;
    }
    if (!RwD3D8Im3DSubmitRestoreAfterReset()) {
        return FALSE;
    }
    return RwD3D8SharedVertexBuffersCreate();
}

RwBool RwD3D8DeviceReset(void)
{
    RwD3D8DeviceState &state = rwD3D8Device;
    RwD3D8DeviceReleaseForReset();
    HRESULT result = state.device->Reset(&state.present);
    if (result == D3DERR_INVALIDCALL && state.present.Windowed) {
        // The desktop format changed under a windowed device: follow it.
        D3DDISPLAYMODE desktop{};
        state.d3d->GetAdapterDisplayMode(state.adapter, &desktop);
        state.mode.format = desktop.Format;
        state.mode.depth = static_cast<RwUInt32>(RwD3D8FormatDepth(desktop.Format));
        state.present.BackBufferFormat = desktop.Format;
        result = state.device->Reset(&state.present);
    }
    if (FAILED(result)) {
        return FALSE;
    }
    return RwD3D8DeviceRestoreAfterReset();
}

RwBool RwD3D8DeviceResize(RwUInt32 clientWidth, RwUInt32 clientHeight)
{
    RwD3D8DeviceState &state = rwD3D8Device;
    RwD3D8DeviceReleaseForReset();
    HRESULT result = state.device->TestCooperativeLevel();
    if (SUCCEEDED(result) && state.present.Windowed) {
        state.present.BackBufferWidth = clientWidth;
        state.present.BackBufferHeight = clientHeight;
    }
    result = state.device->Reset(&state.present);
    if (SUCCEEDED(result)) {
        if (!RwD3D8DeviceRestoreAfterReset()) {
            return FALSE;
        }
        state.mode.width = clientWidth;
        state.mode.height = clientHeight;
        return TRUE;
    }
    if (!state.present.Windowed) {
        return FALSE;
    }
    // The bigger buffer could not be had: keep the mode's size and make the
    // window fit it again.
    state.present.BackBufferWidth = state.mode.width;
    state.present.BackBufferHeight = state.mode.height;
    if (FAILED(state.device->Reset(&state.present))) {
        return FALSE;
    }
    const LONG style = GetWindowLongA(state.window, GWL_STYLE);
    if ((static_cast<DWORD>(style) & WS_MAXIMIZE) != 0) {
        SetWindowLongA(state.window, GWL_STYLE, static_cast<LONG>(static_cast<DWORD>(style) & ~WS_MAXIMIZE));
    }
    RECT rect{0, 0, static_cast<LONG>(state.mode.width), static_cast<LONG>(state.mode.height)};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongA(state.window, GWL_STYLE)),
                       GetMenu(state.window) != nullptr, static_cast<DWORD>(GetWindowLongA(state.window, GWL_EXSTYLE)));
    SetWindowPos(state.window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    return RwD3D8DeviceRestoreAfterReset();
}

RwBool RwD3D8BeginScene(void)
{
    RwD3D8DeviceState &state = rwD3D8Device;
    if (state.inScene) {
        return TRUE;
    }
    HRESULT result = state.device->TestCooperativeLevel();
    if (result == D3DERR_DEVICENOTRESET) {
        result = RwD3D8DeviceReset() ? D3D_OK : E_FAIL;
    }
    if (FAILED(result) || FAILED(state.device->BeginScene())) {
        return FALSE;
    }
    state.inScene = TRUE;
    return TRUE;
}
