// Textures and cube textures: chains of level surfaces that share the texture's count,
// and the view of them the rasteriser samples from.
#pragma once

#include <memory>
#include <vector>

#include "com_object.h"
#include "device_child.h"
#include "surface.h"

namespace d3d8 {

struct TextureDesc {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    DWORD usage = 0;
    D3DPOOL pool = D3DPOOL_MANAGED;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t levels = 1;  // resolved: at least 1
};

// What both texture kinds share: levels stored face by face, the rasteriser's view,
// level of detail and priority.
class TextureStorage {
public:
    TextureStorage(const TextureDesc &desc, uint32_t faces, IUnknown *owner,
                   const DeviceChild *link);
    const TextureDesc &Desc() const { return desc_; }
    SurfaceImpl *Level(uint32_t face, uint32_t level) const {
        return surfaces_[size_t(face) * desc_.levels + level].get();
    }
    // What sampling sees: every level, with the level of detail as the first in use.
    swr::TextureView View() const;
    DWORD Lod() const { return lod_; }
    // Managed textures only (others keep 0); clamped to the last level. Returns the
    // previous level of detail.
    DWORD SetLod(DWORD lod);

    DWORD priority = 0;

private:
    TextureDesc desc_;
    uint32_t faces_;
    DWORD lod_ = 0;
    std::vector<std::unique_ptr<SurfaceImpl>> surfaces_;
    std::vector<swr::TextureLevel> views_;
};

// Implemented by both texture kinds so the device can bind either.
class BindableTexture {
public:
    virtual swr::TextureView View() const = 0;
    virtual IDirect3DBaseTexture8 *AsBaseTexture() = 0;
    virtual DeviceImpl *OwningDevice() const = 0;

protected:
    ~BindableTexture() = default;
};

class TextureImpl final : public ComObject<IDirect3DTexture8>,
                          public DeviceChild,
                          public BindableTexture {
public:
    TextureImpl(DeviceImpl *device, const TextureDesc &desc);

    HRESULT GetDevice(IDirect3DDevice8 **device) override;
    DWORD SetPriority(DWORD priority) override;
    DWORD GetPriority() override { return storage_.priority; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD SetLOD(DWORD lod) override;
    DWORD GetLOD() override { return storage_.Lod(); }
    DWORD GetLevelCount() override { return storage_.Desc().levels; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC *desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8 **surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT *locked, const RECT *rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    HRESULT AddDirtyRect(const RECT *) override { return D3D_OK; }

    swr::TextureView View() const override { return storage_.View(); }
    IDirect3DBaseTexture8 *AsBaseTexture() override { return this; }
    DeviceImpl *OwningDevice() const override { return Device(); }

private:
    TextureStorage storage_;
};

class CubeTextureImpl final : public ComObject<IDirect3DCubeTexture8>,
                              public DeviceChild,
                              public BindableTexture {
public:
    CubeTextureImpl(DeviceImpl *device, const TextureDesc &desc);

    HRESULT GetDevice(IDirect3DDevice8 **device) override;
    DWORD SetPriority(DWORD priority) override;
    DWORD GetPriority() override { return storage_.priority; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
    DWORD SetLOD(DWORD lod) override;
    DWORD GetLOD() override { return storage_.Lod(); }
    DWORD GetLevelCount() override { return storage_.Desc().levels; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC *desc) override;
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level,
                              IDirect3DSurface8 **surface) override;
    HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT *locked, const RECT *rect,
                     DWORD flags) override;
    HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override;
    HRESULT AddDirtyRect(D3DCUBEMAP_FACES, const RECT *) override { return D3D_OK; }

    swr::TextureView View() const override { return storage_.View(); }
    IDirect3DBaseTexture8 *AsBaseTexture() override { return this; }
    DeviceImpl *OwningDevice() const override { return Device(); }

private:
    SurfaceImpl *Face(D3DCUBEMAP_FACES face, UINT level) const;
    TextureStorage storage_;
};

// The bindable side of a texture made by our device, or null.
BindableTexture *AsBindable(IDirect3DBaseTexture8 *texture);

}  // namespace d3d8
