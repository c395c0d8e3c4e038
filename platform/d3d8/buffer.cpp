// Vertex and index buffers.
#include "buffer.h"

#include "device.h"

namespace d3d8 {
HRESULT BufferStorage::Lock(UINT offset, UINT size, BYTE **data) {
    if (!data) return D3DERR_INVALIDCALL;
    const uint64_t end = size == 0 ? bytes_.size() : uint64_t(offset) + size;
    if (offset > bytes_.size() || end > bytes_.size()) {
        *data = nullptr;
        return D3DERR_INVALIDCALL;
    }
    *data = bytes_.data() + offset;
    ++lockCount_;
    return D3D_OK;
}

HRESULT BufferStorage::Unlock() {
    if (lockCount_ == 0) return D3DERR_INVALIDCALL;
    --lockCount_;
    return D3D_OK;
}

VertexBufferImpl::VertexBufferImpl(DeviceImpl *device, UINT length, DWORD usage, DWORD fvf,
                                   D3DPOOL pool)
    : DeviceChild(device, pool, false), storage_(length), usage_(usage), fvf_(fvf) {}

HRESULT VertexBufferImpl::GetDevice(IDirect3DDevice8 **device) {
    return HandOutDevice(Device(), device);
}

DWORD VertexBufferImpl::SetPriority(DWORD priority) {
    const DWORD previous = priority_;
    priority_ = priority;
    return previous;
}

HRESULT VertexBufferImpl::Lock(UINT offset, UINT size, BYTE **data, DWORD) {
    return storage_.Lock(offset, size, data);
}

HRESULT VertexBufferImpl::GetDesc(D3DVERTEXBUFFER_DESC *desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    desc->Format = D3DFMT_VERTEXDATA;
    desc->Type = D3DRTYPE_VERTEXBUFFER;
    desc->Usage = usage_;
    desc->Pool = Pool();
    desc->Size = UINT(storage_.Size());
    desc->FVF = fvf_;
    return D3D_OK;
}

IndexBufferImpl::IndexBufferImpl(DeviceImpl *device, UINT length, DWORD usage, D3DFORMAT format,
                                 D3DPOOL pool)
    : DeviceChild(device, pool, false), storage_(length), usage_(usage), format_(format) {}

HRESULT IndexBufferImpl::GetDevice(IDirect3DDevice8 **device) {
    return HandOutDevice(Device(), device);
}

DWORD IndexBufferImpl::SetPriority(DWORD priority) {
    const DWORD previous = priority_;
    priority_ = priority;
    return previous;
}

HRESULT IndexBufferImpl::Lock(UINT offset, UINT size, BYTE **data, DWORD) {
    return storage_.Lock(offset, size, data);
}

HRESULT IndexBufferImpl::GetDesc(D3DINDEXBUFFER_DESC *desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    desc->Format = format_;
    desc->Type = D3DRTYPE_INDEXBUFFER;
    desc->Usage = usage_;
    desc->Pool = Pool();
    desc->Size = UINT(storage_.Size());
    return D3D_OK;
}

}  // namespace d3d8
