// The device: owns the state every draw needs (kept as the rasteriser's DrawState), the
// bindings, the swap chain and the registry of objects it made. Drawing and clearing are
// handed to the rasteriser (swr) with exact buffer sizes.
#pragma once

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "buffer.h"
#include "com_object.h"
#include "d3d8/d3d8_platform.h"
#include "direct3d.h"
#include "pixel_shader.h"
#include "surface.h"
#include "swap_chain.h"
#include "swr/swr_draw.h"
#include "swr/swr_draw_queue.h"
#include "texture.h"

namespace d3d8 {

// Transform slots: view, projection, texture 0-7 and the 256 world matrices.
constexpr uint32_t kTransformSlots = 512;

class DeviceImpl final : public ComObject<IDirect3DDevice8> {
public:
    // Made by Direct3DImpl::CreateDevice after the parameters were checked and resolved.
    DeviceImpl(Direct3DImpl *direct3d, HWND focusWindow, DWORD behaviorFlags,
               const D3DPRESENT_PARAMETERS &resolved);
    ~DeviceImpl() override;

    // Present parameters with zero sizes and counts filled in; false when not acceptable.
    static HRESULT ResolveParameters(const D3DPRESENT_PARAMETERS &in, HWND focusWindow,
                                     bool additionalChain, D3DPRESENT_PARAMETERS *out);

    // Device and presentation (device.cpp).
    HRESULT TestCooperativeLevel() override;
    UINT GetAvailableTextureMem() override;
    HRESULT ResourceManagerDiscardBytes(DWORD bytes) override;
    HRESULT GetDirect3D(IDirect3D8 **direct3d) override;
    HRESULT GetDeviceCaps(D3DCAPS8 *caps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE *mode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS *parameters) override;
    HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS *presentationParameters,
                                      IDirect3DSwapChain8 **swapChain) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS *presentationParameters) override;
    HRESULT Present(const RECT *sourceRect, const RECT *destRect, HWND destWindowOverride,
                    const RGNDATA *dirtyRegion) override;
    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface8 **backBuffer) override;
    HRESULT GetFrontBuffer(IDirect3DSurface8 *destSurface) override;

    // Resources (device_resources.cpp).
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture8 **texture) override;
    HRESULT CreateCubeTexture(UINT edgeLength, UINT levels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DCubeTexture8 **cubeTexture) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8 **vertexBuffer) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer8 **indexBuffer) override;
    HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format,
                               D3DMULTISAMPLE_TYPE multiSample, BOOL lockable,
                               IDirect3DSurface8 **surface) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                      D3DMULTISAMPLE_TYPE multiSample,
                                      IDirect3DSurface8 **surface) override;
    HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format,
                               IDirect3DSurface8 **surface) override;
    HRESULT CopyRects(IDirect3DSurface8 *source, const RECT *sourceRects, UINT rectCount,
                      IDirect3DSurface8 *destination, const POINT *destPoints) override;

    // Targets, scenes, clears and draws (device_draw.cpp).
    HRESULT SetRenderTarget(IDirect3DSurface8 *renderTarget,
                            IDirect3DSurface8 *newZStencil) override;
    HRESULT GetRenderTarget(IDirect3DSurface8 **renderTarget) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface8 **zStencilSurface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT *rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT SetViewport(const D3DVIEWPORT8 *viewport) override;
    HRESULT GetViewport(D3DVIEWPORT8 *viewport) override;
    HRESULT SetScissorRect(const D3DRECT *rect) override;
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8 *streamData,
                            UINT stride) override;
    HRESULT GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8 **streamData,
                            UINT *stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8 *indexData, UINT baseVertexIndex) override;
    HRESULT GetIndices(IDirect3DIndexBuffer8 **indexData, UINT *baseVertexIndex) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void *vertexData,
                            UINT vertexStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex,
                                   UINT numVertexIndices, UINT primitiveCount,
                                   const void *indexData, D3DFORMAT indexFormat,
                                   const void *vertexData, UINT vertexStride) override;

    // Fixed-function state (device_state.cpp).
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX *matrix) override;
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX *matrix) override;
    HRESULT SetMaterial(const D3DMATERIAL8 *material) override;
    HRESULT GetMaterial(D3DMATERIAL8 *material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT8 *light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT8 *light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL *enable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD *value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8 *texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8 **texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                 DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                 DWORD *value) override;
    HRESULT ValidateDevice(DWORD *numPasses) override;
    HRESULT SetPaletteEntries(UINT paletteNumber, const PALETTEENTRY *entries) override;
    HRESULT GetPaletteEntries(UINT paletteNumber, PALETTEENTRY *entries) override;
    HRESULT SetCurrentTexturePalette(UINT paletteNumber) override;
    HRESULT GetCurrentTexturePalette(UINT *paletteNumber) override;
    HRESULT SetVertexShader(DWORD handle) override;
    HRESULT GetVertexShader(DWORD *handle) override;
    HRESULT CreatePixelShader(const DWORD *function, DWORD *handle) override;
    HRESULT SetPixelShader(DWORD handle) override;
    HRESULT GetPixelShader(DWORD *handle) override;
    HRESULT DeletePixelShader(DWORD handle) override;
    HRESULT SetPixelShaderConstant(DWORD registerNumber, const void *data,
                                   DWORD constantCount) override;
    HRESULT GetPixelShaderConstant(DWORD registerNumber, void *data,
                                   DWORD constantCount) override;

    // Used by the objects the device made and by the platform controls.
    void RegisterChild(DeviceChild *child) { children_.insert(child); }
    void UnregisterChild(DeviceChild *child) { children_.erase(child); }
    uint32_t LiveDefaultPoolObjects() const;
    HRESULT PresentSurface(SurfaceImpl *backBuffer, HWND window);
    const D3DCAPS8 &Caps() const { return caps_; }
    const Profile &GetProfile() const { return profile_; }
    LossState lossState = LossState::Ok;
    bool strictReset = false;
    uint32_t failCreations = 0;
    // Draws into this target do nothing (d3d8::SetHiddenTarget); compared, never used.
    const IDirect3DSurface8 *hiddenTarget = nullptr;
    uint64_t hiddenDraws = 0;
    HRESULT failResult = D3DERR_OUTOFVIDEOMEMORY;
    HWND PresentWindow() const;
    HWND lastPresentWindow = nullptr;
    // A forced creation failure, if one is pending (and counts it).
    bool TakeForcedFailure(HRESULT *result);
    // Draws are queued and rasterised together (swr_draw_queue.h): at a present, a
    // clear, a change of targets, and before anything reads, writes or frees memory a
    // queued draw uses (surfaces ask with their bits when they are locked, unlocked,
    // read, reallocated or destroyed).
    // The queue is reached from the drawing thread and from any thread that locks or
    // releases a surface (the game releases textures outside its render lock while its
    // loading screen draws), so these take the queue's mutex.
    void FlushDraws();
    void FlushDrawsUsing(const void *bits);
    // Surfaces locked now: while any is, draws are rasterised as they come (a draw reads
    // a locked texture as it is at that moment).
    void CountLock(int32_t change) { lockedSurfaces_ += change; }

private:
    struct LightSlot {
        D3DLIGHT8 light;
        bool enabled = false;
    };
    struct TextureBinding {
        IDirect3DBaseTexture8 *texture = nullptr;
        BindableTexture *bindable = nullptr;
    };

    void SetDefaultState();
    void ReleaseBindings();
    void BindTargets(SurfaceImpl *color, SurfaceImpl *depth);
    void CreateImplicitObjects();
    void EnterPresentationMode();
    // Points the DrawState's lights, textures and palette at the current bindings.
    void PrepareDrawState();
    bool Drawable() const;
    HRESULT DrawFromStreams(D3DPRIMITIVETYPE type, const swr::VertexStream &vertices,
                            const swr::IndexStream *indices, UINT baseVertexIndex,
                            UINT minIndex, UINT numVertices, UINT start, UINT primitiveCount);

    Direct3DImpl *direct3d_;
    Profile profile_;
    D3DCAPS8 caps_;
    HWND focusWindow_;
    DWORD behaviorFlags_;
    D3DPRESENT_PARAMETERS parameters_;
    SwapChainImpl *swapChain_ = nullptr;   // the device's own chain, one reference held
    SurfaceImpl *autoDepth_ = nullptr;     // one reference held, or null
    SurfaceImpl *renderTarget_ = nullptr;  // bound: one reference held
    SurfaceImpl *depthStencil_ = nullptr;  // bound: one reference held, or null
    bool inScene_ = false;

    swr::DrawState state_;
    std::array<D3DMATRIX, kTransformSlots> transforms_;
    std::map<DWORD, LightSlot> lights_;
    std::vector<DWORD> enabledLights_;  // in the order they were enabled
    std::array<TextureBinding, D3D8_MAX_TEXTURE_STAGES> textures_;
    VertexBufferImpl *stream_ = nullptr;
    UINT streamStride_ = 0;
    IndexBufferImpl *indices_ = nullptr;
    UINT baseVertexIndex_ = 0;
    DWORD vertexShader_ = 0;
    PixelShaderTable pixelShaders_;
    std::map<UINT, std::array<PALETTEENTRY, 256>> palettes_;
    UINT currentPalette_ = 0;

    std::unordered_set<DeviceChild *> children_;
    std::unique_ptr<swr::DrawQueue> queue_ = std::make_unique<swr::DrawQueue>();
    std::mutex queueMutex_;
    std::atomic<int32_t> lockedSurfaces_{0};
};

// The device behind an interface pointer made by our Direct3D object, or null.
DeviceImpl *AsDevice(IDirect3DDevice8 *device);

}  // namespace d3d8
