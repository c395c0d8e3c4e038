// Inside the Direct3D 8 driver: the one device state record (there is one
// device per process), the video-mode list, and the driver-internal entry
// points that device start, stop and reset run in a fixed order.
#pragma once

#include "d3d8/d3d8.h"
#include "rwd3d8.h"
#include "win/winuser.h"

struct RwCamera;

// One entry of the video-mode list. flags bit 0: exclusive full-screen mode.
struct RwD3D8VideoModeEntry {
    RwUInt32 width;
    RwUInt32 height;
    RwUInt32 refreshRate;
    RwUInt32 format;
    RwUInt32 flags;
};

struct RwD3D8CurrentVideoMode {
    RwUInt32 width;
    RwUInt32 height;
    RwUInt32 refreshRate;
    D3DFORMAT format;
    RwUInt32 depth;
    RwUInt32 flags;
};

struct RwD3D8DeviceState {
    IDirect3D8 *d3d;
    RwUInt32 adapter;
    D3DDEVTYPE deviceType;
    HWND window;
    IDirect3DDevice8 *device;
    // Kept without a reference: the device holds them.
    IDirect3DSurface8 *mainRenderTarget;
    IDirect3DSurface8 *mainDepthStencil;
    D3DCAPS8 caps;
    D3DPRESENT_PARAMETERS present;
    RwD3D8CurrentVideoMode mode;
    RwInt32 modeIndex;
    RwUInt32 adapterModeCount;
    RwD3D8VideoModeEntry *modeList;
    RwInt32 modeListCount;
    RwBool started;
    RwBool inScene;
    RwBool stencilPresent;
    RwCamera *currentCamera;
    RwBool copyBackPending;
    RwBool hasSSE;
    RwUInt32 savedFPControl;
    // Bits of the depth/stencil format chosen for the present parameters
    // (32, 16, or 0 without one); z-buffer rasters follow it.
    RwInt32 zBufferDepth;
};

extern RwD3D8DeviceState rwD3D8Device;

inline RwBool RwD3D8HardwareVertexProcessing(void)
{
    return (rwD3D8Device.caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0;
}

// Bits per pixel of a display format (0 for formats the driver cannot show).
RwInt32 RwD3D8FormatDepth(D3DFORMAT format);
// Engine raster format code of a display format.
RwInt32 RwD3D8DisplayRasterFormat(D3DFORMAT format);

// Video modes and present parameters.
RwBool RwD3D8BuildVideoModeList(void);
void RwD3D8BuildPresentParameters(const D3DDISPLAYMODE *desktop);

// Device start, stop and loss.
RwBool RwD3D8DeviceStart(void);
void RwD3D8DeviceStop(void);
RwBool RwD3D8BeginScene(void);
// The full reset sequence with the present parameters as they stand.
RwBool RwD3D8DeviceReset(void);
// Steps before Reset (everything in the default pool let go) and after it
// (surfaces fetched, everything rebuilt in order).
void RwD3D8DeviceReleaseForReset(void);
RwBool RwD3D8DeviceRestoreAfterReset(void);
// Resizes the back buffer of the main window to its client size.
RwBool RwD3D8DeviceResize(RwUInt32 clientWidth, RwUInt32 clientHeight);

// Floating-point set-up of finalise start and stop.
void RwD3D8FloatingPointSetUp(RwBool save);
void RwD3D8FloatingPointRestore(void);

// Standard functions served by the device system.
RwBool RwD3D8CameraBeginUpdate(void *out, void *inOut, RwInt32 number);
RwBool RwD3D8CameraEndUpdate(void *out, void *inOut, RwInt32 number);
RwBool RwD3D8CameraClear(void *out, void *inOut, RwInt32 number);
RwBool RwD3D8RasterShow(void *out, void *inOut, RwInt32 number);
void RwD3D8FillStandardFunctions(RwStandardFunc *table, RwInt32 count);

// Call cache life cycle.
void RwD3D8TransformCacheReset(void);
void RwD3D8TransformCacheClose(void);
void RwD3D8LightCacheClear(void);
void RwD3D8ResetCallCacheValues(void);

// Dynamic buffers and pixel shaders around start, stop and reset.
RwBool RwD3D8DynamicVertexBufferPoolOpen(void);
void RwD3D8DynamicVertexBufferPoolRelease(void);
RwBool RwD3D8DynamicVertexBufferPoolRestore(void);
void RwD3D8DynamicVertexBufferPoolClose(void);
RwBool RwD3D8SharedVertexBuffersCreate(void);
void RwD3D8SharedVertexBuffersRelease(void);
void RwD3D8PixelShaderListRelease(void);
RwBool RwD3D8PixelShaderListRestore(void);
void RwD3D8PixelShaderListClose(void);

// Render-state cache.
void RwD3D8RenderStateCacheOpen(void);
void RwD3D8RenderStateCacheRestore(void);

// Im2D buffers and the submit node's index buffer.
RwBool RwD3D8Im2DOpen(void);
void RwD3D8Im2DClose(void);
RwBool RwD3D8Im3DSubmitOpen(void);
void RwD3D8Im3DSubmitClose(void);
// The submit node's buffer lives with the Im3D pipelines: a reset lets it go
// and rebuilds it only while they are open.
void RwD3D8Im3DSubmitReleaseForReset(void);
RwBool RwD3D8Im3DSubmitRestoreAfterReset(void);
