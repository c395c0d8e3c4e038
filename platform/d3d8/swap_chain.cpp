// Swap chains: back buffers shown in a window by Present.
#include "swap_chain.h"

#include "device.h"

namespace d3d8 {
namespace {

SurfaceDesc BackBufferDesc(const D3DPRESENT_PARAMETERS &parameters) {
    SurfaceDesc desc;
    desc.format = parameters.BackBufferFormat;
    desc.usage = D3DUSAGE_RENDERTARGET;
    desc.pool = D3DPOOL_DEFAULT;
    desc.width = parameters.BackBufferWidth;
    desc.height = parameters.BackBufferHeight;
    return desc;
}

}  // namespace

SwapChainImpl::SwapChainImpl(DeviceImpl *device, const D3DPRESENT_PARAMETERS &parameters,
                             bool implicit)
    : DeviceChild(device, D3DPOOL_DEFAULT, implicit), parameters_(parameters) {
    Rebuild(parameters);
}

void SwapChainImpl::Rebuild(const D3DPRESENT_PARAMETERS &parameters) {
    parameters_ = parameters;
    const SurfaceDesc desc = BackBufferDesc(parameters);
    backBuffers_.resize(parameters.BackBufferCount);
    for (auto &surface : backBuffers_) {
        if (surface) {
            surface->Reallocate(desc.width, desc.height, desc.format);
        } else {
            surface = std::make_unique<SurfaceImpl>(desc, this, this);
        }
    }
}

HRESULT SwapChainImpl::Present(const RECT *, const RECT *, HWND destWindowOverride,
                               const RGNDATA *) {
    DeviceImpl *device = Device();
    if (!device) return D3DERR_INVALIDCALL;
    HWND window = destWindowOverride ? destWindowOverride : parameters_.hDeviceWindow;
    return device->PresentSurface(backBuffers_[0].get(), window);
}

HRESULT SwapChainImpl::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE,
                                     IDirect3DSurface8 **backBuffer) {
    if (!backBuffer) return D3DERR_INVALIDCALL;
    *backBuffer = nullptr;
    if (index >= backBuffers_.size()) return D3DERR_INVALIDCALL;
    *backBuffer = backBuffers_[index].get();
    (*backBuffer)->AddRef();
    return D3D_OK;
}

}  // namespace d3d8
