// The controls of d3d8/d3d8_platform.h that act on a device: loss, strict reset, forced
// creation failures, hidden draws and the presented frame.
#include "d3d8/d3d8_platform.h"
#include "device.h"

namespace d3d8 {

void SetLossState(IDirect3DDevice8 *device, LossState state) {
    if (DeviceImpl *impl = AsDevice(device)) impl->lossState = state;
}

LossState GetLossState(IDirect3DDevice8 *device) {
    DeviceImpl *impl = AsDevice(device);
    return impl ? impl->lossState : LossState::Ok;
}

void SetStrictReset(IDirect3DDevice8 *device, bool on) {
    if (DeviceImpl *impl = AsDevice(device)) impl->strictReset = on;
}

uint32_t LiveDefaultPoolObjects(IDirect3DDevice8 *device) {
    DeviceImpl *impl = AsDevice(device);
    return impl ? impl->LiveDefaultPoolObjects() : 0;
}

void FailNextCreations(IDirect3DDevice8 *device, uint32_t count, HRESULT result) {
    if (DeviceImpl *impl = AsDevice(device)) {
        impl->failCreations = count;
        impl->failResult = result;
    }
}

void SetHiddenTarget(IDirect3DDevice8 *device, IDirect3DSurface8 *target) {
    if (DeviceImpl *impl = AsDevice(device)) impl->hiddenTarget = target;
}

uint64_t HiddenDraws(IDirect3DDevice8 *device) {
    DeviceImpl *impl = AsDevice(device);
    return impl ? impl->hiddenDraws : 0;
}

HWND PresentWindow(IDirect3DDevice8 *device) {
    DeviceImpl *impl = AsDevice(device);
    return impl ? impl->PresentWindow() : nullptr;
}

bool GetLastPresentedFrame(IDirect3DDevice8 *device, win::Frame *frame) {
    DeviceImpl *impl = AsDevice(device);
    if (!impl || !frame) return false;
    HWND window = impl->lastPresentWindow;
    if (!window || window->PresentCount() == 0 || !window->KeepsFrames()) return false;
    *frame = window->LastPresentedFrame();
    return true;
}

}  // namespace d3d8
