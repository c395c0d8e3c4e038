// The Direct3D 8 driver as the game and the engine's renderers see it: the
// device handle, the device-call and render-state caches every renderer
// draws through, the dynamic vertex buffers, and the driver's installation
// into the engine.
#pragma once

#include "d3d8/d3d8.h"
#include "rwengine.h"
#include "rwmatrix.h"

struct RwCamera;
struct RwRaster;
struct RwTexture;
struct RwSurfaceProperties;

// Installs the driver as the engine's device (device-record source, raster
// extension attach, Im3D device nodes). Call once before RwEngineInit.
void RwD3D8DriverInstall(void);

// The driver's static device record (system function RwD3D8DeviceSystem).
const RwDeviceRecord *RwD3D8GetDeviceRecord(void);
RwBool RwD3D8DeviceSystem(RwInt32 request, void *out, void *inOut, RwInt32 number);

// The device between engine start and stop, null otherwise.
IDirect3DDevice8 *RwD3D8GetCurrentD3DDevice(void);
// Later draws change no pixel outside `rect` (screen pixels, x2 and y2 just past it;
// null: anywhere again), what they draw inside it unchanged: the camera's projection is
// left alone. Clears are not held to it. False without a device or for a rectangle of
// negative size.
RwBool RwD3D8SetScissor(const D3DRECT *rect);
// Forgets every cached device value (the caller may change the device
// directly afterwards) and returns the device.
IDirect3DDevice8 *RwD3D8DeviceResetCaches(void);
// The driver's copy of the adapter capabilities.
const D3DCAPS8 *RwD3D8GetDeviceCaps(void);

// Format support on the current adapter and display format.
RwBool RwD3D8CheckZBufferFormat(D3DFORMAT format);
RwBool RwD3D8CheckTextureFormat(D3DFORMAT format);
RwBool RwD3D8CheckRenderTargetFormat(D3DFORMAT format);
RwBool RwD3D8CheckCubeTextureFormat(D3DFORMAT format);
RwBool RwD3D8CpuHasSSE(void);

// Makes the camera's frame-buffer and z-buffer rasters present into a second
// window through their own swap chain (windowed mode only).
RwBool RwD3D8CameraCreateSwapChain(RwCamera *camera, HWND window);

// ---- Device call cache: each skips the device call when nothing changed.
RwBool RwD3D8SetVertexShader(RwUInt32 handle);
RwBool RwD3D8SetPixelShader(RwUInt32 handle);
RwBool RwD3D8SetStreamSource(RwUInt32 streamNumber, IDirect3DVertexBuffer8 *buffer, RwUInt32 stride);
RwBool RwD3D8SetIndices(IDirect3DIndexBuffer8 *buffer, RwUInt32 baseVertexIndex);
RwBool RwD3D8SetPixelShaderConstant(RwUInt32 firstRegister, const void *data, RwUInt32 registerCount);
// Flush the queued render states, then draw n vertices or indices.
RwBool RwD3D8DrawPrimitive(RwUInt32 primitiveType, RwUInt32 startVertex, RwUInt32 vertexCount);
RwBool RwD3D8DrawIndexedPrimitive(RwUInt32 primitiveType, RwUInt32 minIndex, RwUInt32 vertexCount,
                                  RwUInt32 startIndex, RwUInt32 indexCount);
// Primitive count of n vertices or indices of a Direct3D primitive type.
RwUInt32 RwD3D8PrimitiveCount(RwUInt32 primitiveType, RwUInt32 n, RwBool indexed);

// Transform states 0-259; a null matrix is the identity.
RwBool RwD3D8SetTransform(RwUInt32 state, const D3DMATRIX *matrix);
void RwD3D8GetTransform(RwUInt32 state, D3DMATRIX *matrix);
RwBool RwD3D8SetWorldMatrix(const RwMatrix *matrix);

RwBool RwD3D8SetSurfaceProperties(const RwRGBA *color, const RwSurfaceProperties *surfaceProps,
                                  RwBool modulate);
// The ambient light colour materials are lit by (kept by the lights).
void RwD3D8SetAmbientLightColor(const RwRGBAReal *color);

RwBool RwD3D8SetLight(RwInt32 index, const D3DLIGHT8 *light);
RwBool RwD3D8EnableLight(RwInt32 index, RwBool enable);
RwBool RwD3D8LightCacheRestore(void);

// ---- Dynamic buffers.
RwBool RwD3D8CreateDynamicVertexBuffer(RwUInt32 fvf, RwUInt32 size, IDirect3DVertexBuffer8 **slot);
void RwD3D8ReleaseDynamicVertexBuffer(IDirect3DVertexBuffer8 *buffer);
// Room for count vertices of stride bytes in the shared buffers.
RwBool RwD3D8LockDynamicVertices(RwUInt32 stride, RwUInt32 count, IDirect3DVertexBuffer8 **buffer,
                                 void **data, RwUInt32 *baseVertex);
RwBool RwD3D8UnlockVertexBuffer(IDirect3DVertexBuffer8 *buffer);
RwBool RwD3D8CreateIndexBuffer(RwUInt32 count, IDirect3DIndexBuffer8 **buffer);
RwBool RwD3D8CreateIndexBuffer32(RwUInt32 count, IDirect3DIndexBuffer8 **buffer);
RwBool RwD3D8CreatePixelShader(const RwUInt32 *function, RwUInt32 *handle);
RwBool RwD3D8DeletePixelShader(RwUInt32 handle);

// Whether an object lies wholly inside the camera frustum (device clipping
// may then be switched off for it).
RwBool RwD3D8CameraIsSphereVisible(const RwCamera *camera, const RwV3d *center, RwReal radius);
RwBool RwD3D8CameraIsBoxVisible(const RwCamera *camera, const RwBBox *box);

// ---- Render-state cache: sets are queued and sent at the next draw, and
// only when the value really changed.
RwBool RwD3D8SetRenderState(RwUInt32 state, RwUInt32 value);
void RwD3D8GetRenderState(RwUInt32 state, RwUInt32 *value);
RwBool RwD3D8SetTextureStageState(RwUInt32 stage, RwUInt32 type, RwUInt32 value);
void RwD3D8GetTextureStageState(RwUInt32 stage, RwUInt32 type, RwUInt32 *value);
void RwD3D8FlushRenderStates(void);
RwBool RwD3D8SetSrcBlend(RwUInt32 mode);
RwBool RwD3D8SetDestBlend(RwUInt32 mode);
RwBool RwD3D8SetStageRaster(RwRaster *raster, RwUInt32 stage);
RwBool RwD3D8SetTexture(RwTexture *texture, RwUInt32 stage);
RwRaster *RwD3D8GetStageRaster(RwUInt32 stage);
RwBool RwD3D8SetVertexAlpha(RwBool on);
RwBool RwD3D8GetVertexAlpha(void);
// Engine render states (RwSetRenderState / RwGetRenderState).
RwBool RwD3D8SetEngineRenderState(RwInt32 state, void *value);
RwBool RwD3D8GetEngineRenderState(RwInt32 state, void *value);
// Unbinds a raster from every texture stage that holds it (a raster about
// to be destroyed must not stay bound anywhere). True when stage 0 held it.
RwBool RwD3D8UnbindRaster(const RwRaster *raster);
