// The device side of cameras: begin and end of a camera update (view and
// projection transforms, render target and viewport, the scene), camera
// clear, raster show with the vertical-sync switch, and cameras that present
// into a second window through their own swap chain.
#include "driver/d3d8/d3d8device.h"
#include "driver/d3d8/d3d8raster.h"
#include "rwcore.h"

namespace {

RwD3D8RasterExt *TopExt(RwRaster *raster) { return RwD3D8RasterGetExt(RwD3D8RasterGetTop(raster)); }

IDirect3DSurface8 *ZSurfaceOf(const RwCamera *camera)
{
    return camera->zBuffer != nullptr ? RwD3D8RasterExtSurface(TopExt(camera->zBuffer)) : nullptr;
}

void SetViewport(RwRaster *raster, RwBool atOrigin)
{
    D3DVIEWPORT8 viewport{};
    viewport.X = atOrigin ? 0u : static_cast<DWORD>(raster->nOffsetX);
    viewport.Y = atOrigin ? 0u : static_cast<DWORD>(raster->nOffsetY);
    viewport.Width = static_cast<DWORD>(raster->width);
    viewport.Height = static_cast<DWORD>(raster->height);
    viewport.MinZ = 0.0f;
    viewport.MaxZ = 1.0f;
    rwD3D8Device.device->SetViewport(&viewport);
}

void BackToMainTarget()
{
    rwD3D8Device.device->SetRenderTarget(rwD3D8Device.mainRenderTarget, rwD3D8Device.mainDepthStencil);
}

void SetViewTransform(RwCamera *camera)
{
    RwMatrix inverse;
    RwFrame *frame = RwCameraGetFrame(camera);
    if (frame != nullptr) {
        RwMatrixInvert(&inverse, RwFrameGetLTM(frame));
    } else {
        RwMatrixSetIdentity(&inverse);
    }
    const RwV3d *rows[4] = {&inverse.right, &inverse.up, &inverse.at, &inverse.pos};
    D3DMATRIX view{};
    for (int r = 0; r < 4; ++r) {
        // The engine is right-handed; negating x makes the view left-handed.
        view.m[r][0] = -rows[r]->x;
        view.m[r][1] = rows[r]->y;
        view.m[r][2] = rows[r]->z;
        view.m[r][3] = r == 3 ? 1.0f : 0.0f;
    }
    RwD3D8SetTransform(D3DTS_VIEW, &view);
}

void SetProjectionTransform(const RwCamera *camera)
{
    D3DMATRIX projection{};
    const RwReal n = camera->nearPlane;
    const RwReal f = camera->farPlane;
    projection.m[0][0] = camera->recipViewWindow.x;
    projection.m[1][1] = camera->recipViewWindow.y;
    projection.m[2][0] = camera->viewOffset.x * camera->recipViewWindow.x;
    projection.m[2][1] = camera->viewOffset.y * camera->recipViewWindow.y;
    projection.m[3][0] = -projection.m[2][0];
    projection.m[3][1] = -projection.m[2][1];
    if (camera->projectionType == rwPARALLEL) {
        projection.m[2][2] = 1.0f / (f - n);
        projection.m[2][3] = 0.0f;
        projection.m[3][3] = 1.0f;
    } else {
        projection.m[2][2] = f / (f - n);
        projection.m[2][3] = 1.0f;
        projection.m[3][3] = 0.0f;
    }
    projection.m[3][2] = -projection.m[2][2] * n;
    RwD3D8SetTransform(D3DTS_PROJECTION, &projection);
}

// A swap-chain camera follows its window: new rasters when the window's
// size changed, a new z raster when only that one is stale.
RwBool FitSwapChainCamera(RwCamera *camera)
{
    RwD3D8RasterExt *ext = TopExt(camera->frameBuffer);
    RECT client{};
    GetClientRect(ext->window, &client);
    const RwInt32 width = client.right - client.left;
    const RwInt32 height = client.bottom - client.top;
    if (width == 0 || height == 0) {
        return FALSE;
    }
    if (width != camera->frameBuffer->width || height != camera->frameBuffer->height) {
        return RwD3D8CameraCreateSwapChain(camera, ext->window);
    }
    if (camera->zBuffer != nullptr && (camera->zBuffer->width != width || camera->zBuffer->height != height)) {
        RwRasterDestroy(camera->zBuffer);
        camera->zBuffer = RwRasterCreate(width, height, 0, rwRASTERTYPEZBUFFER);
        if (camera->zBuffer == nullptr) {
            return FALSE;
        }
    }
    return TRUE;
}

// The main window: refuses a collapsed or minimised window and resizes the
// back buffer when the client area changed.
RwBool FitMainWindow()
{
    RwD3D8DeviceState &state = rwD3D8Device;
    RECT client{};
    GetClientRect(state.window, &client);
    const RwUInt32 width = static_cast<RwUInt32>(client.right - client.left);
    const RwUInt32 height = static_cast<RwUInt32>(client.bottom - client.top);
    if (width == 0 || height == 0 || IsIconic(state.window)) {
        return FALSE;
    }
    if (width != state.mode.width || height != state.mode.height) {
        return RwD3D8DeviceResize(width, height);
    }
    return TRUE;
}

// Level 0 of a camera texture (its face of a cube); a reference to release.
IDirect3DSurface8 *CameraTextureSurface(RwRaster *raster)
{
    return RwD3D8RasterGetLevelSurface(RwD3D8RasterGetTop(raster), 0);
}

// Draws into the texture itself when it is a render target; false when the
// drawing has to go to the back buffer and be copied afterwards.
RwBool BindCameraTexture(RwCamera *camera, IDirect3DSurface8 *surface)
{
    D3DSURFACE_DESC desc{};
    if (surface == nullptr || FAILED(surface->GetDesc(&desc)) || (desc.Usage & D3DUSAGE_RENDERTARGET) == 0) {
        return FALSE;
    }
    return SUCCEEDED(rwD3D8Device.device->SetRenderTarget(surface, ZSurfaceOf(camera)));
}

void CopyBackToTexture(RwRaster *raster, IDirect3DSurface8 *surface)
{
    RECT rect{raster->nOffsetX, raster->nOffsetY, raster->nOffsetX + raster->width,
              raster->nOffsetY + raster->height};
    POINT at{raster->nOffsetX, raster->nOffsetY};
    rwD3D8Device.device->CopyRects(rwD3D8Device.mainRenderTarget, &rect, 1, surface, &at);
}

RwBool HasSwapChain(RwRaster *raster) { return raster != nullptr && TopExt(raster)->swapChain != nullptr; }

}  // namespace

RwBool RwD3D8CameraBeginUpdate(void *, void *inOut, RwInt32)
{
    auto *camera = static_cast<RwCamera *>(inOut);
    RwD3D8DeviceState &state = rwD3D8Device;
    RwD3D8FloatingPointSetUp(FALSE);
    state.currentCamera = camera;
    SetViewTransform(camera);
    SetProjectionTransform(camera);
    RwRaster *raster = camera->frameBuffer;
    if (HasSwapChain(raster)) {
        if (!FitSwapChainCamera(camera)) {
            return FALSE;
        }
        raster = camera->frameBuffer;
        state.device->SetRenderTarget(RwD3D8RasterExtSurface(TopExt(raster)), ZSurfaceOf(camera));
    } else {
        if (!FitMainWindow()) {
            return FALSE;
        }
        if (RwRasterGetType(raster) == rwRASTERTYPECAMERATEXTURE) {
            IDirect3DSurface8 *surface = CameraTextureSurface(raster);
            if (!BindCameraTexture(camera, surface)) {
                state.copyBackPending = TRUE;
            }
            if (surface != nullptr) {
                surface->Release();
            }
        }
    }
    SetViewport(raster, FALSE);
    return RwD3D8BeginScene();
}

RwBool RwD3D8CameraEndUpdate(void *, void *inOut, RwInt32)
{
    auto *camera = static_cast<RwCamera *>(inOut);
    RwD3D8DeviceState &state = rwD3D8Device;
    RwRaster *raster = camera->frameBuffer;
    if (state.currentCamera != nullptr && HasSwapChain(state.currentCamera->frameBuffer)) {
        BackToMainTarget();
    } else if (raster != nullptr && RwRasterGetType(raster) == rwRASTERTYPECAMERATEXTURE) {
        if (state.copyBackPending) {
            IDirect3DSurface8 *surface = CameraTextureSurface(raster);
            if (surface != nullptr) {
                CopyBackToTexture(raster, surface);
                surface->Release();
            }
            state.copyBackPending = FALSE;
        }
        BackToMainTarget();
    }
    state.currentCamera = nullptr;
    return TRUE;
}

RwBool RwD3D8CameraClear(void *out, void *inOut, RwInt32 flags)
{
    auto *camera = static_cast<RwCamera *>(out);
    const auto *colour = static_cast<const RwRGBA *>(inOut);
    RwD3D8DeviceState &state = rwD3D8Device;
    D3DCOLOR packed = 0;
    if ((flags & rwCAMERACLEARIMAGE) != 0 && colour != nullptr) {
        packed = D3DCOLOR_ARGB(colour->alpha, colour->red, colour->green, colour->blue);
    }
    RwRaster *raster = camera->frameBuffer;
    if (HasSwapChain(raster)) {
        if (!FitSwapChainCamera(camera)) {
            return FALSE;
        }
        raster = camera->frameBuffer;
        state.device->SetRenderTarget(RwD3D8RasterExtSurface(TopExt(raster)), ZSurfaceOf(camera));
        SetViewport(raster, TRUE);
        state.device->Clear(0, nullptr, static_cast<DWORD>(flags), packed, 1.0f, 0);
        BackToMainTarget();
        return TRUE;
    }
    if (!FitMainWindow()) {
        return FALSE;
    }
    if (RwRasterGetType(raster) == rwRASTERTYPECAMERATEXTURE) {
        IDirect3DSurface8 *surface = CameraTextureSurface(raster);
        if (surface == nullptr) {
            return FALSE;
        }
        const RwBool bound = BindCameraTexture(camera, surface);
        SetViewport(raster, FALSE);
        DWORD d3dFlags = static_cast<DWORD>(flags);
        if (camera->zBuffer == nullptr) {
            d3dFlags &= ~(D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL);
        }
        state.device->Clear(0, nullptr, d3dFlags, packed, 1.0f, 0);
        if (!bound) {
            CopyBackToTexture(raster, surface);
        }
        surface->Release();
        BackToMainTarget();
        return TRUE;
    }
    SetViewport(raster, FALSE);
    DWORD d3dFlags = 0;
    if ((flags & rwCAMERACLEARIMAGE) != 0) {
        d3dFlags |= D3DCLEAR_TARGET;
    }
    if ((flags & rwCAMERACLEARZ) != 0) {
        d3dFlags |= D3DCLEAR_ZBUFFER;
    }
    if ((flags & (rwCAMERACLEARZ | rwCAMERACLEARSTENCIL)) != 0 && state.stencilPresent) {
        d3dFlags |= D3DCLEAR_STENCIL;
    }
    state.device->Clear(0, nullptr, d3dFlags, packed, 1.0f, 0);
    return TRUE;
}

RwBool RwD3D8RasterShow(void *out, void *, RwInt32 flags)
{
    auto *raster = static_cast<RwRaster *>(out);
    RwD3D8DeviceState &state = rwD3D8Device;
    if (state.inScene) {
        state.device->EndScene();
        state.inScene = FALSE;
    }
    const RwBool sync = (flags & 1) != 0;
    RwBool changed = FALSE;
    D3DPRESENT_PARAMETERS &present = state.present;
    if (!present.Windowed) {
        if (sync && present.FullScreen_PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE) {
            present.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_ONE;
            changed = TRUE;
        } else if (!sync && present.FullScreen_PresentationInterval == D3DPRESENT_INTERVAL_ONE) {
            present.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
            changed = TRUE;
        }
    } else if (sync && present.SwapEffect == D3DSWAPEFFECT_COPY) {
        present.SwapEffect = D3DSWAPEFFECT_COPY_VSYNC;
        changed = TRUE;
    } else if (!sync && present.SwapEffect == D3DSWAPEFFECT_COPY_VSYNC) {
        present.SwapEffect = D3DSWAPEFFECT_COPY;
        changed = TRUE;
    }
    if (changed) {
        RwD3D8DeviceReset();
    }
    HRESULT result;
    if (raster != nullptr && HasSwapChain(raster)) {
        result = TopExt(raster)->swapChain->Present(nullptr, nullptr, nullptr, nullptr);
    } else {
        result = state.device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    if (result == D3DERR_DEVICELOST && state.device->TestCooperativeLevel() == D3DERR_DEVICENOTRESET) {
        RwD3D8DeviceReset();
    }
    return SUCCEEDED(result);
}

RwBool RwD3D8CameraCreateSwapChain(RwCamera *camera, HWND window)
{
    RwD3D8DeviceState &state = rwD3D8Device;
    if (!state.present.Windowed || window == nullptr || window == state.window || state.device == nullptr) {
        return FALSE;
    }
    if (camera->frameBuffer != nullptr) {
        RwRasterDestroy(camera->frameBuffer);
        camera->frameBuffer = nullptr;
    }
    if (camera->zBuffer != nullptr) {
        RwRasterDestroy(camera->zBuffer);
        camera->zBuffer = nullptr;
    }
    D3DPRESENT_PARAMETERS parameters = state.present;
    parameters.BackBufferWidth = 0;
    parameters.BackBufferHeight = 0;
    parameters.hDeviceWindow = window;
    parameters.EnableAutoDepthStencil = FALSE;
    IDirect3DSwapChain8 *swapChain = nullptr;
    if (FAILED(state.device->CreateAdditionalSwapChain(&parameters, &swapChain))) {
        return FALSE;
    }
    IDirect3DSurface8 *backBuffer = nullptr;
    D3DSURFACE_DESC desc{};
    if (FAILED(swapChain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) ||
        FAILED(backBuffer->GetDesc(&desc))) {
        if (backBuffer != nullptr) {
            backBuffer->Release();
        }
        swapChain->Release();
        return FALSE;
    }
    RwRaster *raster = RwRasterCreate(static_cast<RwInt32>(desc.Width), static_cast<RwInt32>(desc.Height),
                                      RwD3D8FormatDepth(desc.Format), rwRASTERTYPECAMERA | rwRASTERDONTALLOCATE);
    // The swap chain keeps its back buffer alive; the raster only names it.
    backBuffer->Release();
    if (raster == nullptr) {
        swapChain->Release();
        return FALSE;
    }
    RwD3D8RasterExt *ext = RwD3D8RasterGetExt(raster);
    ext->texture = backBuffer;
    ext->window = window;
    ext->swapChain = swapChain;
    camera->frameBuffer = raster;
    camera->zBuffer = RwRasterCreate(raster->width, raster->height, 0, rwRASTERTYPEZBUFFER);
    return TRUE;
}
