// Vertex and index buffers: plain byte arrays with lock counting. Every buffer, write-only
// or not, reads back what was written; a discard lock keeps the contents (the device draws
// at once, so nothing can still be reading the old data).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "com_object.h"
#include "device_child.h"

namespace d3d8 {

class BufferStorage {
public:
    explicit BufferStorage(UINT size) : bytes_(size, 0) {}
    HRESULT Lock(UINT offset, UINT size, BYTE **data);
    HRESULT Unlock();
    const uint8_t *Data() const { return bytes_.data(); }
    size_t Size() const { return bytes_.size(); }
    bool IsLocked() const { return lockCount_ != 0; }

private:
    std::vector<uint8_t> bytes_;
    uint32_t lockCount_ = 0;
};

// What vertex and index buffers share: the bytes behind Lock and Unlock,
// the usage and pool their descriptions report, and the priority slot.
template <typename Interface, D3DRESOURCETYPE kType>
class BufferImpl : public ComObject<Interface>, public DeviceChild {
public:
    HRESULT GetDevice(IDirect3DDevice8 **device) override { return HandOutDevice(Device(), device); }
    DWORD SetPriority(DWORD priority) override {
        const DWORD previous = priority_;
        priority_ = priority;
        return previous;
    }
    DWORD GetPriority() override { return priority_; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return kType; }
    HRESULT Lock(UINT offset, UINT size, BYTE **data, DWORD) override { return storage_.Lock(offset, size, data); }
    HRESULT Unlock() override { return storage_.Unlock(); }

    const BufferStorage &Storage() const { return storage_; }

protected:
    BufferImpl(DeviceImpl *device, UINT length, DWORD usage, D3DPOOL pool)
        : DeviceChild(device, pool, false), storage_(length), usage_(usage) {}

    // The fields both kinds of description have.
    template <typename Desc>
    HRESULT FillDesc(Desc *desc, D3DFORMAT format) const {
        if (!desc) return D3DERR_INVALIDCALL;
        desc->Format = format;
        desc->Type = kType;
        desc->Usage = usage_;
        desc->Pool = Pool();
        desc->Size = UINT(storage_.Size());
        return D3D_OK;
    }

private:
    BufferStorage storage_;
    DWORD usage_;
    DWORD priority_ = 0;
};

class VertexBufferImpl final : public BufferImpl<IDirect3DVertexBuffer8, D3DRTYPE_VERTEXBUFFER> {
public:
    VertexBufferImpl(DeviceImpl *device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
        : BufferImpl(device, length, usage, pool), fvf_(fvf) {}

    HRESULT GetDesc(D3DVERTEXBUFFER_DESC *desc) override;

private:
    DWORD fvf_;
};

class IndexBufferImpl final : public BufferImpl<IDirect3DIndexBuffer8, D3DRTYPE_INDEXBUFFER> {
public:
    IndexBufferImpl(DeviceImpl *device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
        : BufferImpl(device, length, usage, pool), format_(format) {}

    HRESULT GetDesc(D3DINDEXBUFFER_DESC *desc) override { return FillDesc(desc, format_); }

    bool Is32Bit() const { return format_ == D3DFMT_INDEX32; }

private:
    D3DFORMAT format_;
};

}  // namespace d3d8
