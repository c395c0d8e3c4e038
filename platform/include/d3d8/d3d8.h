// The Direct3D 8 interfaces of our processor device: the Direct3D object (one adapter),
// the device, swap chains, surfaces, textures, cube textures, vertex and index buffers.
// Each is an abstract class; our device implements them (platform/d3d8/). Objects are
// reference counted: Create/Get calls hand out a reference, Release drops one.
//
// Reference rules of this layer:
//  - A device holds a reference on its Direct3D object, on every bound texture, stream
//    and index buffer, and on its current render target and depth/stencil surface.
//  - Resources do not hold their device. Releasing the device's last reference destroys
//    it; resources still alive keep working as memory but their GetDevice fails.
//  - Texture levels and cube faces share their texture's count, and the back buffers of a
//    swap chain share that swap chain's count (AddRef/Release on them count on the owner).
//
// Test controls (profiles, lost device, strict reset, presented frames) are in
// d3d8/d3d8_platform.h.
#pragma once

#include "d3d8/d3d8caps.h"
#include "d3d8/d3d8types.h"

struct IDirect3D8;
struct IDirect3DDevice8;

struct IUnknown {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

struct IDirect3DResource8 : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice8 **device) = 0;
    virtual DWORD SetPriority(DWORD priority) = 0;
    virtual DWORD GetPriority() = 0;
    virtual void PreLoad() = 0;
    virtual D3DRESOURCETYPE GetType() = 0;
};

struct IDirect3DSurface8 : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice8 **device) = 0;
    virtual HRESULT GetDesc(D3DSURFACE_DESC *desc) = 0;
    // Pitch is tight: width x bytes per pixel, or one row of 4x4 blocks for DXT formats.
    virtual HRESULT LockRect(D3DLOCKED_RECT *locked, const RECT *rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect() = 0;
};

struct IDirect3DBaseTexture8 : IDirect3DResource8 {
    virtual DWORD SetLOD(DWORD lod) = 0;
    virtual DWORD GetLOD() = 0;
    virtual DWORD GetLevelCount() = 0;
};

struct IDirect3DTexture8 : IDirect3DBaseTexture8 {
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC *desc) = 0;
    virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8 **surface) = 0;
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT *locked, const RECT *rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect(UINT level) = 0;
    virtual HRESULT AddDirtyRect(const RECT *rect) = 0;
};

struct IDirect3DCubeTexture8 : IDirect3DBaseTexture8 {
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC *desc) = 0;
    virtual HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level,
                                      IDirect3DSurface8 **surface) = 0;
    virtual HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT *locked,
                             const RECT *rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) = 0;
    virtual HRESULT AddDirtyRect(D3DCUBEMAP_FACES face, const RECT *rect) = 0;
};

struct IDirect3DVertexBuffer8 : IDirect3DResource8 {
    // size 0 locks from offset to the end. Write-only buffers read back what was written.
    virtual HRESULT Lock(UINT offset, UINT size, BYTE **data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC *desc) = 0;
};

struct IDirect3DIndexBuffer8 : IDirect3DResource8 {
    virtual HRESULT Lock(UINT offset, UINT size, BYTE **data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC *desc) = 0;
};

struct IDirect3DSwapChain8 : IUnknown {
    virtual HRESULT Present(const RECT *sourceRect, const RECT *destRect, HWND destWindowOverride,
                            const RGNDATA *dirtyRegion) = 0;
    virtual HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type,
                                  IDirect3DSurface8 **backBuffer) = 0;
};

struct IDirect3D8 : IUnknown {
    virtual UINT GetAdapterCount() = 0;
    virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags,
                                         D3DADAPTER_IDENTIFIER8 *identifier) = 0;
    virtual UINT GetAdapterModeCount(UINT adapter) = 0;
    virtual HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE *displayMode) = 0;
    virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE *displayMode) = 0;
    virtual HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                                    D3DFORMAT backBufferFormat, BOOL windowed) = 0;
    virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                      DWORD usage, D3DRESOURCETYPE resourceType,
                                      D3DFORMAT checkFormat) = 0;
    virtual HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type,
                                               D3DFORMAT surfaceFormat, BOOL windowed,
                                               D3DMULTISAMPLE_TYPE multiSampleType) = 0;
    virtual HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                           D3DFORMAT renderTargetFormat,
                                           D3DFORMAT depthStencilFormat) = 0;
    virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8 *caps) = 0;
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                                 DWORD behaviorFlags, D3DPRESENT_PARAMETERS *presentationParameters,
                                 IDirect3DDevice8 **device) = 0;
};

struct IDirect3DDevice8 : IUnknown {
    // Device and presentation.
    virtual HRESULT TestCooperativeLevel() = 0;
    virtual UINT GetAvailableTextureMem() = 0;
    virtual HRESULT ResourceManagerDiscardBytes(DWORD bytes) = 0;
    virtual HRESULT GetDirect3D(IDirect3D8 **direct3d) = 0;
    virtual HRESULT GetDeviceCaps(D3DCAPS8 *caps) = 0;
    virtual HRESULT GetDisplayMode(D3DDISPLAYMODE *mode) = 0;
    virtual HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS *parameters) = 0;
    virtual HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS *presentationParameters,
                                              IDirect3DSwapChain8 **swapChain) = 0;
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS *presentationParameters) = 0;
    virtual HRESULT Present(const RECT *sourceRect, const RECT *destRect, HWND destWindowOverride,
                            const RGNDATA *dirtyRegion) = 0;
    virtual HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type,
                                  IDirect3DSurface8 **backBuffer) = 0;
    // Copies the last presented frame into an A8R8G8B8 surface of the back buffer's size.
    virtual HRESULT GetFrontBuffer(IDirect3DSurface8 *destSurface) = 0;

    // Resources.
    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                  D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8 **texture) = 0;
    virtual HRESULT CreateCubeTexture(UINT edgeLength, UINT levels, DWORD usage, D3DFORMAT format,
                                      D3DPOOL pool, IDirect3DCubeTexture8 **cubeTexture) = 0;
    virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer8 **vertexBuffer) = 0;
    virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer8 **indexBuffer) = 0;
    virtual HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format,
                                       D3DMULTISAMPLE_TYPE multiSample, BOOL lockable,
                                       IDirect3DSurface8 **surface) = 0;
    virtual HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                              D3DMULTISAMPLE_TYPE multiSample,
                                              IDirect3DSurface8 **surface) = 0;
    virtual HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format,
                                       IDirect3DSurface8 **surface) = 0;
    // Copies rectangles between surfaces of one format. No rectangles: the whole source, to
    // the first point (or 0, 0).
    virtual HRESULT CopyRects(IDirect3DSurface8 *source, const RECT *sourceRects, UINT rectCount,
                              IDirect3DSurface8 *destination, const POINT *destPoints) = 0;

    // Targets and scenes.
    virtual HRESULT SetRenderTarget(IDirect3DSurface8 *renderTarget,
                                    IDirect3DSurface8 *newZStencil) = 0;
    virtual HRESULT GetRenderTarget(IDirect3DSurface8 **renderTarget) = 0;
    virtual HRESULT GetDepthStencilSurface(IDirect3DSurface8 **zStencilSurface) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Clear(DWORD count, const D3DRECT *rects, DWORD flags, D3DCOLOR color, float z,
                          DWORD stencil) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT8 *viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT8 *viewport) = 0;
    // Our own addition: draws change no pixel outside `rect` (x1, y1 inside, x2, y2 past
    // the last column and row), over and above the viewport; clears are not held to it.
    // Null lifts it. The viewport's transform stays as it is, so what a draw gives inside
    // the rectangle is what it gives without one.
    virtual HRESULT SetScissorRect(const D3DRECT *rect) = 0;

    // Fixed-function state.
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) = 0;
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX *matrix) = 0;
    virtual HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL8 *material) = 0;
    virtual HRESULT GetMaterial(D3DMATERIAL8 *material) = 0;
    virtual HRESULT SetLight(DWORD index, const D3DLIGHT8 *light) = 0;
    virtual HRESULT GetLight(DWORD index, D3DLIGHT8 *light) = 0;
    virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
    virtual HRESULT GetLightEnable(DWORD index, BOOL *enable) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD *value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8 *texture) = 0;
    virtual HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8 **texture) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                         DWORD value) = 0;
    virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                         DWORD *value) = 0;
    virtual HRESULT ValidateDevice(DWORD *numPasses) = 0;
    virtual HRESULT SetPaletteEntries(UINT paletteNumber, const PALETTEENTRY *entries) = 0;
    virtual HRESULT GetPaletteEntries(UINT paletteNumber, PALETTEENTRY *entries) = 0;
    virtual HRESULT SetCurrentTexturePalette(UINT paletteNumber) = 0;
    virtual HRESULT GetCurrentTexturePalette(UINT *paletteNumber) = 0;

    // Vertex input and drawing. A vertex shader handle is a flexible vertex format code;
    // pixel shaders (ps 1.0/1.1) exist only under a profile that grants them
    // (d3d8::Profile::pixelShaderVersion); otherwise pixel shader 0 is the only one.
    virtual HRESULT SetVertexShader(DWORD handle) = 0;
    virtual HRESULT GetVertexShader(DWORD *handle) = 0;
    virtual HRESULT CreatePixelShader(const DWORD *function, DWORD *handle) = 0;
    virtual HRESULT SetPixelShader(DWORD handle) = 0;
    virtual HRESULT GetPixelShader(DWORD *handle) = 0;
    virtual HRESULT DeletePixelShader(DWORD handle) = 0;
    virtual HRESULT SetPixelShaderConstant(DWORD registerNumber, const void *data,
                                           DWORD constantCount) = 0;
    // Not pure, so that wrappers which only forward what the engine calls need not
    // spell it out; those refuse it.
    virtual HRESULT GetPixelShaderConstant(DWORD, void *, DWORD) { return D3DERR_INVALIDCALL; }
    virtual HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8 *streamData,
                                    UINT stride) = 0;
    virtual HRESULT GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8 **streamData,
                                    UINT *stride) = 0;
    virtual HRESULT SetIndices(IDirect3DIndexBuffer8 *indexData, UINT baseVertexIndex) = 0;
    virtual HRESULT GetIndices(IDirect3DIndexBuffer8 **indexData, UINT *baseVertexIndex) = 0;
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex,
                                  UINT primitiveCount) = 0;
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT numVertices,
                                         UINT startIndex, UINT primitiveCount) = 0;
    // The UP draws read exactly the vertices and indices the primitive count needs, and
    // leave stream 0 (and the indices) unset afterwards.
    virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount,
                                    const void *vertexData, UINT vertexStride) = 0;
    virtual HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex,
                                           UINT numVertexIndices, UINT primitiveCount,
                                           const void *indexData, D3DFORMAT indexFormat,
                                           const void *vertexData, UINT vertexStride) = 0;
};

typedef IDirect3D8 *LPDIRECT3D8;
typedef IDirect3DDevice8 *LPDIRECT3DDEVICE8;
typedef IDirect3DSwapChain8 *LPDIRECT3DSWAPCHAIN8;
typedef IDirect3DResource8 *LPDIRECT3DRESOURCE8;
typedef IDirect3DBaseTexture8 *LPDIRECT3DBASETEXTURE8;
typedef IDirect3DTexture8 *LPDIRECT3DTEXTURE8;
typedef IDirect3DCubeTexture8 *LPDIRECT3DCUBETEXTURE8;
typedef IDirect3DSurface8 *LPDIRECT3DSURFACE8;
typedef IDirect3DVertexBuffer8 *LPDIRECT3DVERTEXBUFFER8;
typedef IDirect3DIndexBuffer8 *LPDIRECT3DINDEXBUFFER8;

// The Direct3D object, with the capability profile chosen at this moment
// (d3d8::SetNextProfile); null unless sdkVersion is D3D_SDK_VERSION.
IDirect3D8 *Direct3DCreate8(UINT sdkVersion);
