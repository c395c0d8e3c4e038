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

class VertexBufferImpl final : public ComObject<IDirect3DVertexBuffer8>, public DeviceChild {
public:
    VertexBufferImpl(DeviceImpl *device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);

    HRESULT GetDevice(IDirect3DDevice8 **device) override;
    DWORD SetPriority(DWORD priority) override;
    DWORD GetPriority() override { return priority_; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE **data, DWORD flags) override;
    HRESULT Unlock() override { return storage_.Unlock(); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC *desc) override;

    const BufferStorage &Storage() const { return storage_; }

private:
    BufferStorage storage_;
    DWORD usage_;
    DWORD fvf_;
    DWORD priority_ = 0;
};

class IndexBufferImpl final : public ComObject<IDirect3DIndexBuffer8>, public DeviceChild {
public:
    IndexBufferImpl(DeviceImpl *device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);

    HRESULT GetDevice(IDirect3DDevice8 **device) override;
    DWORD SetPriority(DWORD priority) override;
    DWORD GetPriority() override { return priority_; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, BYTE **data, DWORD flags) override;
    HRESULT Unlock() override { return storage_.Unlock(); }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC *desc) override;

    const BufferStorage &Storage() const { return storage_; }
    bool Is32Bit() const { return format_ == D3DFMT_INDEX32; }

private:
    BufferStorage storage_;
    DWORD usage_;
    D3DFORMAT format_;
    DWORD priority_ = 0;
};

}  // namespace d3d8
