// Registration of device children with their device.
#include "device_child.h"

#include "device.h"

namespace d3d8 {

DeviceChild::DeviceChild(DeviceImpl *device, D3DPOOL pool, bool implicit)
    : device_(device), pool_(pool), implicit_(implicit) {
    if (device_) device_->RegisterChild(this);
}

DeviceChild::~DeviceChild() {
    if (device_) device_->UnregisterChild(this);
}

HRESULT HandOutDevice(DeviceImpl *device, IDirect3DDevice8 **out) {
    if (!out) return D3DERR_INVALIDCALL;
    *out = device;
    if (!device) return D3DERR_INVALIDCALL;
    device->AddRef();
    return D3D_OK;
}

}  // namespace d3d8
