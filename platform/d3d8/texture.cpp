// Textures and cube textures: level chains (cube faces stored face by face, each face a
// full chain) and the view the rasteriser samples.
#include "texture.h"

#include "device.h"
#include "format_info.h"

namespace d3d8 {
namespace {

HRESULT HandOut(SurfaceImpl *surface, IDirect3DSurface8 **out) {
    if (!out) return D3DERR_INVALIDCALL;
    *out = surface;
    if (!surface) return D3DERR_INVALIDCALL;
    surface->AddRef();
    return D3D_OK;
}

}  // namespace

TextureStorage::TextureStorage(const TextureDesc &desc, uint32_t faces, IUnknown *owner,
                               const DeviceChild *link)
    : desc_(desc), faces_(faces) {
    surfaces_.reserve(size_t(faces) * desc.levels);
    views_.reserve(size_t(faces) * desc.levels);
    for (uint32_t face = 0; face < faces; ++face) {
        for (uint32_t level = 0; level < desc.levels; ++level) {
            SurfaceDesc surface;
            surface.format = desc.format;
            surface.usage = desc.usage;
            surface.pool = desc.pool;
            surface.width = MipExtent(desc.width, level);
            surface.height = MipExtent(desc.height, level);
            surfaces_.push_back(std::make_unique<SurfaceImpl>(surface, owner, link));
            views_.push_back(surfaces_.back()->AsTextureLevel());
        }
    }
}

DWORD TextureStorage::SetLod(DWORD lod) {
    const DWORD previous = lod_;
    if (desc_.pool != D3DPOOL_MANAGED) return 0;
    const DWORD last = desc_.levels - 1;
    lod_ = lod > last ? last : lod;
    return previous;
}

swr::TextureView TextureStorage::View() const {
    swr::TextureView view;
    view.format = desc_.format;
    view.levelCount = desc_.levels;
    view.firstLevel = lod_;
    view.isCube = faces_ == 6;
    view.levels = views_.data();
    return view;
}

TextureImpl::TextureImpl(DeviceImpl *device, const TextureDesc &desc)
    : DeviceChild(device, desc.pool, false), storage_(desc, 1, this, this) {}

HRESULT TextureImpl::GetDevice(IDirect3DDevice8 **device) { return HandOutDevice(Device(), device); }

DWORD TextureImpl::SetPriority(DWORD priority) {
    const DWORD previous = storage_.priority;
    storage_.priority = priority;
    return previous;
}

DWORD TextureImpl::SetLOD(DWORD lod) { return storage_.SetLod(lod); }

HRESULT TextureImpl::GetLevelDesc(UINT level, D3DSURFACE_DESC *desc) {
    if (level >= storage_.Desc().levels) return D3DERR_INVALIDCALL;
    return storage_.Level(0, level)->GetDesc(desc);
}

HRESULT TextureImpl::GetSurfaceLevel(UINT level, IDirect3DSurface8 **surface) {
    return HandOut(level < storage_.Desc().levels ? storage_.Level(0, level) : nullptr, surface);
}

HRESULT TextureImpl::LockRect(UINT level, D3DLOCKED_RECT *locked, const RECT *rect,
                              DWORD flags) {
    if (level >= storage_.Desc().levels) return D3DERR_INVALIDCALL;
    return storage_.Level(0, level)->LockRect(locked, rect, flags);
}

HRESULT TextureImpl::UnlockRect(UINT level) {
    if (level >= storage_.Desc().levels) return D3DERR_INVALIDCALL;
    return storage_.Level(0, level)->UnlockRect();
}

CubeTextureImpl::CubeTextureImpl(DeviceImpl *device, const TextureDesc &desc)
    : DeviceChild(device, desc.pool, false), storage_(desc, 6, this, this) {}

HRESULT CubeTextureImpl::GetDevice(IDirect3DDevice8 **device) {
    return HandOutDevice(Device(), device);
}

DWORD CubeTextureImpl::SetPriority(DWORD priority) {
    const DWORD previous = storage_.priority;
    storage_.priority = priority;
    return previous;
}

DWORD CubeTextureImpl::SetLOD(DWORD lod) { return storage_.SetLod(lod); }

SurfaceImpl *CubeTextureImpl::Face(D3DCUBEMAP_FACES face, UINT level) const {
    if (uint32_t(face) >= 6 || level >= storage_.Desc().levels) return nullptr;
    return storage_.Level(uint32_t(face), level);
}

HRESULT CubeTextureImpl::GetLevelDesc(UINT level, D3DSURFACE_DESC *desc) {
    SurfaceImpl *surface = Face(D3DCUBEMAP_FACE_POSITIVE_X, level);
    return surface ? surface->GetDesc(desc) : D3DERR_INVALIDCALL;
}

HRESULT CubeTextureImpl::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level,
                                           IDirect3DSurface8 **surface) {
    return HandOut(Face(face, level), surface);
}

HRESULT CubeTextureImpl::LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT *locked,
                                  const RECT *rect, DWORD flags) {
    SurfaceImpl *surface = Face(face, level);
    return surface ? surface->LockRect(locked, rect, flags) : D3DERR_INVALIDCALL;
}

HRESULT CubeTextureImpl::UnlockRect(D3DCUBEMAP_FACES face, UINT level) {
    SurfaceImpl *surface = Face(face, level);
    return surface ? surface->UnlockRect() : D3DERR_INVALIDCALL;
}

BindableTexture *AsBindable(IDirect3DBaseTexture8 *texture) {
    return dynamic_cast<BindableTexture *>(texture);
}

}  // namespace d3d8
