// The link between a device and an object it made. The device keeps a registry of its
// children so it can count live default-pool objects and, when it goes away first, cut
// the link (the child then reports no device).
#pragma once

#include "d3d8/d3d8.h"

namespace d3d8 {

class DeviceImpl;

class DeviceChild {
public:
    DeviceChild(const DeviceChild &) = delete;
    DeviceChild &operator=(const DeviceChild &) = delete;

    DeviceImpl *Device() const { return device_; }
    D3DPOOL Pool() const { return pool_; }
    // Objects the device makes for itself (its swap chain and depth buffer) are not
    // counted as the caller's default-pool objects.
    bool IsImplicit() const { return implicit_; }
    void DetachFromDevice() { device_ = nullptr; }

protected:
    // A null device makes an unregistered child (a part of a registered container).
    DeviceChild(DeviceImpl *device, D3DPOOL pool, bool implicit);
    ~DeviceChild();

private:
    DeviceImpl *device_;
    D3DPOOL pool_;
    bool implicit_;
};

// GetDevice of every child: a new reference on the device, or failure once detached.
HRESULT HandOutDevice(DeviceImpl *device, IDirect3DDevice8 **out);

}  // namespace d3d8
