// The device's life: creation from resolved present parameters, its own swap chain and
// depth buffer, default state, device loss and reset, presentation and release.
#include "device.h"

#include <algorithm>
#include <cstring>

#include "format_info.h"
#include "win/window.h"
#include "win/winuser.h"

namespace d3d8 {
namespace {

D3DMATRIX Identity() {
    D3DMATRIX m;
    std::memset(&m, 0, sizeof m);
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

bool IsFullscreenMode(UINT width, UINT height) {
    for (uint32_t i = 0; i < ModeCount(); ++i) {
        const D3DDISPLAYMODE mode = ModeAt(i);
        if (mode.Width == width && mode.Height == height) return true;
    }
    return false;
}

}  // namespace

HRESULT DeviceImpl::ResolveParameters(const D3DPRESENT_PARAMETERS &in, HWND focusWindow,
                                      bool additionalChain, D3DPRESENT_PARAMETERS *out) {
    *out = in;
    HWND window = in.hDeviceWindow ? in.hDeviceWindow : focusWindow;
    if (!window) return D3DERR_INVALIDCALL;
    out->hDeviceWindow = window;
    if (in.MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_INVALIDCALL;
    if (in.BackBufferCount > 3) return D3DERR_INVALIDCALL;
    if (out->BackBufferCount == 0) out->BackBufferCount = 1;
    if (in.SwapEffect < D3DSWAPEFFECT_DISCARD || in.SwapEffect > D3DSWAPEFFECT_COPY_VSYNC) {
        return D3DERR_INVALIDCALL;
    }
    if (!IsColorTargetFormat(in.BackBufferFormat)) return D3DERR_INVALIDCALL;
    if (in.Windowed) {
        uint32_t w = 0, h = 0;
        window->GetClientSize(&w, &h);
        if (out->BackBufferWidth == 0) out->BackBufferWidth = w ? w : 1;
        if (out->BackBufferHeight == 0) out->BackBufferHeight = h ? h : 1;
    } else {
        if (additionalChain) return D3DERR_INVALIDCALL;
        if (!IsFullscreenMode(in.BackBufferWidth, in.BackBufferHeight)) return D3DERR_INVALIDCALL;
        if (in.FullScreen_RefreshRateInHz != 0 && in.FullScreen_RefreshRateInHz != 60) {
            return D3DERR_INVALIDCALL;
        }
    }
    if (additionalChain) {
        out->EnableAutoDepthStencil = FALSE;
    } else if (in.EnableAutoDepthStencil && !IsDepthFormat(in.AutoDepthStencilFormat)) {
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

DeviceImpl::DeviceImpl(Direct3DImpl *direct3d, HWND focusWindow, DWORD behaviorFlags,
                       const D3DPRESENT_PARAMETERS &resolved)
    : direct3d_(direct3d),
      profile_(direct3d->GetProfile()),
      caps_(CapsForProfile(profile_)),
      focusWindow_(focusWindow),
      behaviorFlags_(behaviorFlags),
      parameters_(resolved) {
    direct3d_->AddRef();
    strictReset = profile_.strictReset;
    CreateImplicitObjects();
    EnterPresentationMode();
    SetDefaultState();
}

DeviceImpl::~DeviceImpl() {
    FlushDraws();
    ReleaseBindings();
    BindTargets(nullptr, nullptr);
    if (!parameters_.Windowed && parameters_.hDeviceWindow) {
        parameters_.hDeviceWindow->LeaveFullscreen();
    }
    if (autoDepth_) autoDepth_->Release();
    swapChain_->Release();
    for (DeviceChild *child : children_) child->DetachFromDevice();
    children_.clear();
    direct3d_->Release();
}

void DeviceImpl::CreateImplicitObjects() {
    swapChain_ = new SwapChainImpl(this, parameters_, true);
    if (parameters_.EnableAutoDepthStencil) {
        SurfaceDesc desc;
        desc.format = parameters_.AutoDepthStencilFormat;
        desc.usage = D3DUSAGE_DEPTHSTENCIL;
        desc.pool = D3DPOOL_DEFAULT;
        desc.width = parameters_.BackBufferWidth;
        desc.height = parameters_.BackBufferHeight;
        autoDepth_ = SurfaceImpl::CreateStandalone(this, desc, true);
    }
    BindTargets(swapChain_->BackBuffer(0), autoDepth_);
}

void DeviceImpl::EnterPresentationMode() {
    HWND window = parameters_.hDeviceWindow;
    if (parameters_.Windowed) {
        window->LeaveFullscreen();
    } else {
        window->EnterFullscreen(parameters_.BackBufferWidth, parameters_.BackBufferHeight);
    }
}

void DeviceImpl::BindTargets(SurfaceImpl *color, SurfaceImpl *depth) {
    if (color) color->AddRef();
    if (depth) depth->AddRef();
    if (renderTarget_) renderTarget_->Release();
    if (depthStencil_) depthStencil_->Release();
    renderTarget_ = color;
    depthStencil_ = depth;
}

void DeviceImpl::ReleaseBindings() {
    for (TextureBinding &binding : textures_) {
        if (binding.texture) binding.texture->Release();
        binding = TextureBinding();
    }
    if (stream_) stream_->Release();
    stream_ = nullptr;
    streamStride_ = 0;
    if (indices_) indices_->Release();
    indices_ = nullptr;
    baseVertexIndex_ = 0;
}

void DeviceImpl::SetDefaultState() {
    ReleaseBindings();
    swr::SetDefaultStates(state_, autoDepth_ != nullptr);
    const D3DMATRIX identity = Identity();
    transforms_.fill(identity);
    state_.world = state_.view = state_.projection = identity;
    for (D3DMATRIX &m : state_.textureTransform) m = identity;
    state_.viewport = {0, 0, renderTarget_->Desc().width, renderTarget_->Desc().height, 0.0f,
                       1.0f};
    std::memset(&state_.material, 0, sizeof state_.material);
    lights_.clear();
    enabledLights_.clear();
    state_.lightCount = 0;
    palettes_.clear();
    currentPalette_ = 0;
    state_.palette = nullptr;
    vertexShader_ = 0;
    pixelShaders_.Reset();
    inScene_ = false;
}

uint32_t DeviceImpl::LiveDefaultPoolObjects() const {
    return uint32_t(std::count_if(children_.begin(), children_.end(), [](DeviceChild *child) {
        return child->Pool() == D3DPOOL_DEFAULT && !child->IsImplicit();
    }));
}

bool DeviceImpl::TakeForcedFailure(HRESULT *result) {
    if (failCreations == 0) return false;
    --failCreations;
    *result = failResult;
    return true;
}

HWND DeviceImpl::PresentWindow() const { return parameters_.hDeviceWindow; }

HRESULT DeviceImpl::TestCooperativeLevel() {
    switch (lossState) {
    case LossState::Lost: return D3DERR_DEVICELOST;
    case LossState::NotReset: return D3DERR_DEVICENOTRESET;
    default: return D3D_OK;
    }
}

UINT DeviceImpl::GetAvailableTextureMem() { return profile_.availableTextureMemory; }

HRESULT DeviceImpl::ResourceManagerDiscardBytes(DWORD) { return D3D_OK; }

HRESULT DeviceImpl::GetDirect3D(IDirect3D8 **direct3d) {
    if (!direct3d) return D3DERR_INVALIDCALL;
    direct3d_->AddRef();
    *direct3d = direct3d_;
    return D3D_OK;
}

HRESULT DeviceImpl::GetDeviceCaps(D3DCAPS8 *caps) {
    if (!caps) return D3DERR_INVALIDCALL;
    *caps = caps_;
    return D3D_OK;
}

HRESULT DeviceImpl::GetDisplayMode(D3DDISPLAYMODE *mode) {
    if (!mode) return D3DERR_INVALIDCALL;
    if (parameters_.Windowed) {
        *mode = DesktopMode();
    } else {
        *mode = {parameters_.BackBufferWidth, parameters_.BackBufferHeight, 60,
                 D3DFMT_X8R8G8B8};
    }
    return D3D_OK;
}

HRESULT DeviceImpl::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS *parameters) {
    if (!parameters) return D3DERR_INVALIDCALL;
    parameters->AdapterOrdinal = D3DADAPTER_DEFAULT;
    parameters->DeviceType = D3DDEVTYPE_HAL;
    parameters->hFocusWindow = focusWindow_;
    parameters->BehaviorFlags = behaviorFlags_;
    return D3D_OK;
}

HRESULT DeviceImpl::CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS *presentationParameters,
                                              IDirect3DSwapChain8 **swapChain) {
    if (!presentationParameters || !swapChain) return D3DERR_INVALIDCALL;
    *swapChain = nullptr;
    D3DPRESENT_PARAMETERS resolved;
    HRESULT hr = ResolveParameters(*presentationParameters, nullptr, true, &resolved);
    if (FAILED(hr)) return hr;
    if (TakeForcedFailure(&hr)) return hr;
    *swapChain = new SwapChainImpl(this, resolved, false);
    return D3D_OK;
}

HRESULT DeviceImpl::Reset(D3DPRESENT_PARAMETERS *presentationParameters) {
    if (!presentationParameters) return D3DERR_INVALIDCALL;
    if (lossState == LossState::Lost) return D3DERR_DEVICELOST;
    FlushDraws();
    inScene_ = false;
    D3DPRESENT_PARAMETERS resolved;
    HRESULT hr = ResolveParameters(*presentationParameters, focusWindow_, false, &resolved);
    ReleaseBindings();
    BindTargets(swapChain_->BackBuffer(0), autoDepth_);
    if (SUCCEEDED(hr) && strictReset && LiveDefaultPoolObjects() > 0) hr = D3DERR_INVALIDCALL;
    if (FAILED(hr)) {
        lossState = LossState::NotReset;
        return hr;
    }
    parameters_ = resolved;
    swapChain_->Rebuild(parameters_);
    BindTargets(swapChain_->BackBuffer(0), nullptr);
    if (parameters_.EnableAutoDepthStencil) {
        if (autoDepth_) {
            autoDepth_->Reallocate(parameters_.BackBufferWidth, parameters_.BackBufferHeight,
                                   parameters_.AutoDepthStencilFormat);
        } else {
            SurfaceDesc desc;
            desc.format = parameters_.AutoDepthStencilFormat;
            desc.usage = D3DUSAGE_DEPTHSTENCIL;
            desc.pool = D3DPOOL_DEFAULT;
            desc.width = parameters_.BackBufferWidth;
            desc.height = parameters_.BackBufferHeight;
            autoDepth_ = SurfaceImpl::CreateStandalone(this, desc, true);
        }
    } else if (autoDepth_) {
        autoDepth_->Release();
        autoDepth_ = nullptr;
    }
    BindTargets(swapChain_->BackBuffer(0), autoDepth_);
    EnterPresentationMode();
    SetDefaultState();
    lossState = LossState::Ok;
    return D3D_OK;
}

HRESULT DeviceImpl::Present(const RECT *, const RECT *, HWND destWindowOverride,
                            const RGNDATA *) {
    HWND window = destWindowOverride ? destWindowOverride : parameters_.hDeviceWindow;
    return PresentSurface(swapChain_->BackBuffer(0), window);
}

HRESULT DeviceImpl::PresentSurface(SurfaceImpl *backBuffer, HWND window) {
    // A window that keeps no frames never reads this one: what is queued stays queued,
    // to be drawn when something reads the targets or dropped by a clear that overwrites
    // it (the next frame's, as a rule).
    const bool kept = !window || window->KeepsFrames();
    if (kept) FlushDraws();
    if (lossState != LossState::Ok) return D3DERR_DEVICELOST;
    if (!window) return D3DERR_INVALIDCALL;
    lastPresentWindow = window;
    if (!kept) {
        window->PresentUnkept();
        return D3D_OK;
    }
    // Shown where it is: the window copies it only if it is written while still shown;
    // a clear of all of it (the next frame's, as a rule) hands over its storage instead.
    backBuffer->ShowIn(window);
    return D3D_OK;
}

HRESULT DeviceImpl::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type,
                                  IDirect3DSurface8 **backBuffer) {
    return swapChain_->GetBackBuffer(index, type, backBuffer);
}

HRESULT DeviceImpl::GetFrontBuffer(IDirect3DSurface8 *destSurface) {
    auto *dest = dynamic_cast<SurfaceImpl *>(destSurface);
    if (!dest || dest->Desc().format != D3DFMT_A8R8G8B8 || dest->IsLocked()) {
        return D3DERR_INVALIDCALL;
    }
    HWND window = lastPresentWindow ? lastPresentWindow : parameters_.hDeviceWindow;
    // A window that keeps no frames has no front buffer to give.
    if (!window->KeepsFrames()) return D3DERR_INVALIDCALL;
    FlushDraws();
    const win::Frame &frame = window->LastPresentedFrame();
    std::fill(dest->Bits(), dest->Bits() + dest->SizeBytes(), uint8_t(0));
    const uint32_t w = std::min(frame.width, dest->Desc().width);
    const uint32_t h = std::min(frame.height, dest->Desc().height);
    for (uint32_t y = 0; y < h; ++y) {
        std::memcpy(dest->Bits() + size_t(y) * dest->Pitch(), frame.pixels.data() + size_t(y) * frame.width,
                    size_t(w) * 4);
    }
    return D3D_OK;
}

DeviceImpl *AsDevice(IDirect3DDevice8 *device) { return dynamic_cast<DeviceImpl *>(device); }

}  // namespace d3d8
