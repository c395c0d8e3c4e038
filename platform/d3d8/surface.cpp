// Surfaces: pixel storage with tight pitches, locking, and the views the rasteriser
// draws into or samples from.
#include "surface.h"

#include <algorithm>

#include "device.h"
#include "format_info.h"
#include "swr/swr_coarse_depth.h"
#include "swr/swr_depth_stencil.h"
#include "swr/swr_texel_copy.h"

namespace d3d8 {
namespace {

// A colour or depth target over a surface's words: its size, pitch, format and bits
// (the rasteriser writes through it whatever the caller's constness).
template <class Target>
Target TargetOver(const SurfaceDesc &desc, uint32_t pitch, const uint8_t *bits) {
    Target target;
    target.width = desc.width;
    target.height = desc.height;
    target.pitch = pitch;
    target.format = desc.format;
    target.bits = const_cast<uint8_t *>(bits);
    return target;
}

}  // namespace

bool LockOffset(const SurfaceDesc &desc, const RECT *rect, uint32_t *offset) {
    if (!rect) {
        *offset = 0;
        return true;
    }
    if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
        rect->top >= rect->bottom || uint32_t(rect->right) > desc.width ||
        uint32_t(rect->bottom) > desc.height) {
        return false;
    }
    const FormatLayout layout = LayoutOf(desc.format);
    const uint32_t edge = layout.blockEdge;
    if (edge > 1) {
        const auto aligned = [edge](LONG v, uint32_t limit) {
            return uint32_t(v) % edge == 0 || uint32_t(v) == limit;
        };
        if (!aligned(rect->left, desc.width) || !aligned(rect->top, desc.height) ||
            !aligned(rect->right, desc.width) || !aligned(rect->bottom, desc.height)) {
            return false;
        }
    }
    *offset = uint32_t(rect->top) / edge * RowPitch(desc.format, desc.width) +
              uint32_t(rect->left) / edge * layout.bytesPerBlock;
    return true;
}

SurfaceImpl *SurfaceImpl::CreateStandalone(DeviceImpl *device, const SurfaceDesc &desc,
                                           bool implicit) {
    return new SurfaceImpl(desc, device, implicit);
}

SurfaceImpl::SurfaceImpl(const SurfaceDesc &desc, DeviceImpl *device, bool implicit)
    : DeviceChild(device, desc.pool, implicit), desc_(desc) {
    bits_.assign(SurfaceBytes(desc.format, desc.width, desc.height), 0);
    if (swr::DescribeDepthFormat(desc.format).bytes) coarse_ = std::make_unique<swr::CoarseDepth>();
}

SurfaceImpl::SurfaceImpl(const SurfaceDesc &desc, IUnknown *owner, const DeviceChild *link)
    : DeviceChild(nullptr, desc.pool, false), desc_(desc), owner_(owner), link_(link) {
    bits_.assign(SurfaceBytes(desc.format, desc.width, desc.height), 0);
    // Texture levels in formats the span routines do not read get a copy slot, and so do
    // small 32-bit ones that are never drawn into, which they read faster from a copy.
    const bool native = desc.format == D3DFMT_A8R8G8B8 || desc.format == D3DFMT_X8R8G8B8;
    const bool drawnInto = (desc.usage & D3DUSAGE_RENDERTARGET) != 0;
    if (!native || (!drawnInto && swr::TexelCopy::Copies32(desc.width, desc.height))) {
        copy_ = std::make_unique<swr::TexelCopy>();
    }
}

void SurfaceImpl::SettleDraws() const {
    if (DeviceImpl *device = OwningDevice()) device->FlushDrawsUsing(bits_.data());
}

uint8_t *SurfaceImpl::Bits() {
    SettleDraws();
    SettleDepthClear();
    HandBackShown();
    DropCopy();
    return bits_.data();
}

const uint8_t *SurfaceImpl::Bits() const {
    SettleDraws();
    SettleDepthClear();
    return bits_.data();
}

void SurfaceImpl::DropCopy() {
    if (copy_) copy_->Drop();
    if (coarse_) coarse_->Drop();
}

SurfaceImpl::~SurfaceImpl() {
    SettleDraws();
    HandBackShown();
    SetLocked(false);
}

void SurfaceImpl::SetLocked(bool locked) {
    if (locked == locked_) return;
    locked_ = locked;
    if (DeviceImpl *device = OwningDevice()) device->CountLock(locked ? 1 : -1);
}

ULONG SurfaceImpl::AddRef() {
    if (owner_) return owner_->AddRef();
    return ++refs_;
}

ULONG SurfaceImpl::Release() {
    if (owner_) return owner_->Release();
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

DeviceImpl *SurfaceImpl::OwningDevice() const { return owner_ ? link_->Device() : Device(); }

HRESULT SurfaceImpl::GetDevice(IDirect3DDevice8 **device) {
    return HandOutDevice(OwningDevice(), device);
}

HRESULT SurfaceImpl::GetDesc(D3DSURFACE_DESC *desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    desc->Format = desc_.format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = desc_.usage;
    desc->Pool = desc_.pool;
    desc->Size = UINT(bits_.size());
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->Width = desc_.width;
    desc->Height = desc_.height;
    return D3D_OK;
}

HRESULT SurfaceImpl::LockRect(D3DLOCKED_RECT *locked, const RECT *rect, DWORD) {
    if (!locked || locked_) return D3DERR_INVALIDCALL;
    uint32_t offset = 0;
    if (!LockOffset(desc_, rect, &offset)) return D3DERR_INVALIDCALL;
    SettleDraws();
    SettleDepthClear();
    HandBackShown();
    locked->Pitch = INT(Pitch());
    locked->pBits = bits_.data() + offset;
    SetLocked(true);
    DropCopy();  // whatever is written through the lock
    return D3D_OK;
}

HRESULT SurfaceImpl::UnlockRect() {
    if (!locked_) return D3DERR_INVALIDCALL;
    SetLocked(false);
    DropCopy();  // a draw while it was locked may have copied it half written
    return D3D_OK;
}

void SurfaceImpl::ShowIn(PlatformWindow *window) {
    SettleDraws();
    if (shownIn_.window && shownIn_.window != window) HandBackShownRows();
    shownIn_.window = window;
    window->PresentInPlace(win::FrameRows{bits_.data(), desc_.width, desc_.height, Pitch()}, &shownIn_);
}

void SurfaceImpl::HandBackShownRows() {
    PlatformWindow *window = shownIn_.window;
    shownIn_.window = nullptr;
    window->HandBackRows(&shownIn_);
}

void SurfaceImpl::WillBeOverwritten() {
    if (!shownIn_.window || locked_) return;
    SettleDraws();
    PlatformWindow *window = shownIn_.window;
    shownIn_.window = nullptr;
    window->HandBackRowsWithStorage(&shownIn_, &bits_);
}

void SurfaceImpl::DeferDepthClear(DWORD flags, float z, DWORD stencil) {
    deferredClear_ = DeferredClear{flags, z, stencil};
}

void SurfaceImpl::WriteDeferredClear() const {
    const swr::DepthTarget target = TargetOver<swr::DepthTarget>(desc_, Pitch(), bits_.data());
    const DeferredClear clear = deferredClear_;
    deferredClear_ = DeferredClear{};
    swr::ClearDepthWords(target, clear.flags, clear.z, clear.stencil);
}

uint32_t SurfaceImpl::Pitch() const { return RowPitch(desc_.format, desc_.width); }

void SurfaceImpl::Reallocate(uint32_t width, uint32_t height, D3DFORMAT format) {
    SettleDraws();
    HandBackShown();
    desc_.width = width;
    desc_.height = height;
    desc_.format = format;
    bits_.assign(SurfaceBytes(format, width, height), 0);
    deferredClear_ = DeferredClear{};
    SetLocked(false);
    DropCopy();
    if (swr::DescribeDepthFormat(format).bytes && !coarse_) coarse_ = std::make_unique<swr::CoarseDepth>();
}

swr::TextureLevel SurfaceImpl::AsTextureLevel() const {
    swr::TextureLevel level;
    level.width = desc_.width;
    level.height = desc_.height;
    level.pitch = Pitch();
    level.bits = bits_.data();
    level.copy = copy_.get();
    return level;
}

swr::ColorTarget SurfaceImpl::AsColorTarget() {
    HandBackShown();
    DropCopy();  // drawn into from now on
    return ColorTargetUnwritten();
}

swr::ColorTarget SurfaceImpl::ColorTargetUnwritten() const {
    return TargetOver<swr::ColorTarget>(desc_, Pitch(), bits_.data());
}

swr::DepthTarget SurfaceImpl::AsDepthTarget() {
    swr::DepthTarget target = TargetOver<swr::DepthTarget>(desc_, Pitch(), bits_.data());
    target.coarse = coarse_.get();
    return target;
}

}  // namespace d3d8
