// A swap chain: back buffers that count on the chain, the window they are shown in and
// the parameters they were made with. The device's own chain is one of these.
#pragma once

#include <memory>
#include <vector>

#include "com_object.h"
#include "device_child.h"
#include "surface.h"

namespace d3d8 {

class SwapChainImpl final : public ComObject<IDirect3DSwapChain8>, public DeviceChild {
public:
    // `parameters` must already be resolved (sizes, count and format filled in).
    SwapChainImpl(DeviceImpl *device, const D3DPRESENT_PARAMETERS &parameters, bool implicit);

    HRESULT Present(const RECT *sourceRect, const RECT *destRect, HWND destWindowOverride,
                    const RGNDATA *dirtyRegion) override;
    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface8 **backBuffer) override;

    const D3DPRESENT_PARAMETERS &Parameters() const { return parameters_; }
    SurfaceImpl *BackBuffer(UINT index) const { return backBuffers_[index].get(); }
    // New parameters (resolved); existing back buffers keep their identity.
    void Rebuild(const D3DPRESENT_PARAMETERS &parameters);

private:
    D3DPRESENT_PARAMETERS parameters_;
    std::vector<std::unique_ptr<SurfaceImpl>> backBuffers_;
};

}  // namespace d3d8
