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

HRESULT VertexBufferImpl::GetDesc(D3DVERTEXBUFFER_DESC *desc) {
    const HRESULT hr = FillDesc(desc, D3DFMT_VERTEXDATA);
    if (hr == D3D_OK) desc->FVF = fvf_;
    return hr;
}

}  // namespace d3d8
