// A surface: one 2D array of pixels. Standalone surfaces (image surfaces, render targets,
// depth buffers) count their own references; texture levels, cube faces and back buffers
// belong to a container and count on it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "com_object.h"
#include "d3d8/d3d8.h"
#include "device_child.h"
#include "swr/swr_draw.h"
#include "win/window.h"

namespace d3d8 {

struct SurfaceDesc {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    DWORD usage = 0;
    D3DPOOL pool = D3DPOOL_DEFAULT;
    uint32_t width = 0;
    uint32_t height = 0;
};

class SurfaceImpl final : public IDirect3DSurface8, public DeviceChild {
public:
    // A standalone surface registered with `device`.
    static SurfaceImpl *CreateStandalone(DeviceImpl *device, const SurfaceDesc &desc,
                                         bool implicit);
    // A surface of a container: `owner` takes the counting, `link` gives the device.
    SurfaceImpl(const SurfaceDesc &desc, IUnknown *owner, const DeviceChild *link);
    ~SurfaceImpl() override;

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice8 **device) override;
    HRESULT GetDesc(D3DSURFACE_DESC *desc) override;
    HRESULT LockRect(D3DLOCKED_RECT *locked, const RECT *rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    const SurfaceDesc &Desc() const { return desc_; }
    uint32_t Pitch() const;
    // The bits, with every queued draw that uses them drawn. Writable bits: whatever the
    // rasteriser keeps of them (a 32-bit copy, a coarse depth) is dropped.
    uint8_t *Bits();
    const uint8_t *Bits() const;
    size_t SizeBytes() const { return bits_.size(); }
    bool IsLocked() const { return locked_; }
    // New size or format; the contents become zero.
    void Reallocate(uint32_t width, uint32_t height, D3DFORMAT format);
    swr::TextureLevel AsTextureLevel() const;
    swr::ColorTarget AsColorTarget();
    // The same for an operation that leaves the colour as it is (a clear of depth only).
    swr::ColorTarget ColorTargetUnwritten() const;
    swr::DepthTarget AsDepthTarget();
    // Shows the surface's rows in `window` where they are (a presented back buffer): the
    // window reads them until they are about to change, when it is handed them back.
    void ShowIn(PlatformWindow *window);
    // Every pixel is about to be overwritten (a clear of the whole surface): a window
    // still showing the rows takes their storage as its copy and gives its own in
    // exchange, so that nothing is copied.
    void WillBeOverwritten();
    // Depth/stencil surfaces: a clear of every bit of every word whose words are written
    // only when something first uses them (a draw that tests depth or stencil, a lock, a
    // copy); a frame that draws nothing with depth before the next such clear never
    // writes them. The coarse depth is brought up to date by the clear itself.
    void DeferDepthClear(DWORD flags, float z, DWORD stencil);
    // Writes a deferred clear's words now: before anything reads or writes them.
    void SettleDepthClear() const {
        if (deferredClear_.flags) WriteDeferredClear();
    }
    // The device of the surface or of its container.
    DeviceImpl *OwningDevice() const;
    bool IsContained() const { return owner_ != nullptr; }

private:
    SurfaceImpl(const SurfaceDesc &desc, DeviceImpl *device, bool implicit);
    void DropCopy();
    // Has the device draw what it queued that reads or writes these bits.
    void SettleDraws() const;
    // Changes the lock and tells the device, which draws at once while any is held.
    void SetLocked(bool locked);
    // The bits may change from now on: a window showing them keeps a copy first.
    void HandBackShown() {
        if (shownIn_.window) HandBackShownRows();
    }
    void HandBackShownRows();
    void WriteDeferredClear() const;

    // The window showing the rows in place, if any (it lets go when it shows other rows).
    struct ShownIn final : win::ShownRowsHolder {
        PlatformWindow *window = nullptr;
        void WindowLetGo() override { window = nullptr; }
    };

    SurfaceDesc desc_;
    std::vector<uint8_t> bits_;
    // Where the rasteriser keeps a 32-bit copy of a texture level it cannot sample as it
    // is (texture levels only); dropped whenever the bits may change.
    std::unique_ptr<swr::TexelCopy> copy_;
    // Where it keeps the coarse depth of a depth/stencil surface's tiles; dropped likewise
    // (drawing and clearing keep it up to date themselves).
    std::unique_ptr<swr::CoarseDepth> coarse_;
    IUnknown *owner_ = nullptr;          // container, or null when standalone
    const DeviceChild *link_ = nullptr;  // registry entry giving the device
    ULONG refs_ = 1;                     // standalone surfaces only
    bool locked_ = false;
    ShownIn shownIn_;
    // A clear of the depth/stencil words not written yet (flags 0: none).
    struct DeferredClear {
        DWORD flags = 0;
        float z = 0;
        DWORD stencil = 0;
    };
    mutable DeferredClear deferredClear_;
};

// Checks a lock rectangle against a surface and returns the byte offset of its corner.
// Compressed formats need corners on 4x4 block edges (or at the surface's edge).
bool LockOffset(const SurfaceDesc &desc, const RECT *rect, uint32_t *offset);

}  // namespace d3d8
