// Dynamic geometry: the pool of dynamic vertex buffers shared by every
// renderer, the four shared buffers that immediate and per-frame vertices
// are appended into, index-buffer creation, and the registered pixel shaders
// that must be rebuilt after a device reset.
#include "driver/d3d8/d3d8device.h"
#include "rwcore.h"

namespace {

constexpr RwUInt32 rwD3D8DynamicUsage = D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC;
constexpr RwUInt32 rwD3D8SharedBufferSize = 0x40000;
constexpr RwInt32 rwD3D8SharedBufferCount = 4;

struct DynamicVertexBuffer {
    RwUInt32 fvf;
    RwUInt32 size;
    RwUInt32 inUse;
    IDirect3DVertexBuffer8 *buffer;
    IDirect3DVertexBuffer8 **owner;
    DynamicVertexBuffer *next;
};

struct SharedBuffers {
    RwInt32 current;
    RwUInt32 fill[rwD3D8SharedBufferCount];
    RwUInt32 size[rwD3D8SharedBufferCount];
    IDirect3DVertexBuffer8 *buffer[rwD3D8SharedBufferCount];
};

struct PixelShaderRecord {
    const RwUInt32 *function;
    RwUInt32 *handle;
    PixelShaderRecord *next;
};

RwFreeList *poolFreeList = nullptr;
DynamicVertexBuffer *pool = nullptr;
SharedBuffers shared = {};
RwFreeList *shaderFreeList = nullptr;
PixelShaderRecord *shaders = nullptr;

IDirect3DDevice8 *Device() { return rwD3D8Device.device; }

D3DPOOL DynamicPool() { return RwD3D8HardwareVertexProcessing() ? D3DPOOL_DEFAULT : D3DPOOL_SYSTEMMEM; }

void ReleaseBuffer(IDirect3DVertexBuffer8 *&buffer)
{
    if (buffer != nullptr) {
        buffer->Release();
        buffer = nullptr;
    }
}

// A shared buffer of exactly `size` bytes in slot `index`; on failure the
// slot is left empty with size 0, so nothing locks a buffer never made.
RwBool MakeSharedBuffer(RwInt32 index, RwUInt32 size)
{
    shared.fill[index] = 0;
    shared.size[index] = 0;
    shared.buffer[index] = nullptr;
    if (!RwD3D8CreateDynamicVertexBuffer(0, size, &shared.buffer[index])) {
        shared.buffer[index] = nullptr;
        return FALSE;
    }
    shared.size[index] = size;
    return TRUE;
}

void ReleaseSharedBuffer(RwInt32 index)
{
    if (shared.buffer[index] != nullptr) {
        RwD3D8ReleaseDynamicVertexBuffer(shared.buffer[index]);
        shared.buffer[index] = nullptr;
    }
    shared.fill[index] = 0;
    shared.size[index] = 0;
}

RwUInt32 RoundUp(RwUInt32 value, RwUInt32 stride) { return (value + stride - 1) / stride * stride; }

}  // namespace

RwBool RwD3D8DynamicVertexBufferPoolOpen(void)
{
    if (poolFreeList == nullptr) {
        poolFreeList = RwFreeListCreate(sizeof(DynamicVertexBuffer), 42, 4);
    }
    return poolFreeList != nullptr;
}

RwBool RwD3D8CreateDynamicVertexBuffer(RwUInt32 fvf, RwUInt32 size, IDirect3DVertexBuffer8 **slot)
{
    DynamicVertexBuffer *largest = nullptr;
    for (DynamicVertexBuffer *record = pool; record != nullptr; record = record->next) {
        if (record->inUse) {
            continue;
        }
        if (record->buffer != nullptr && record->fvf == fvf && record->size == size) {
            record->inUse = 1;
            record->owner = slot;
            *slot = record->buffer;
            return TRUE;
        }
        if (largest == nullptr || record->size > largest->size) {
            largest = record;
        }
    }
    DynamicVertexBuffer *record = largest;
    if (record != nullptr) {
        ReleaseBuffer(record->buffer);
    } else {
        if (poolFreeList == nullptr && !RwD3D8DynamicVertexBufferPoolOpen()) {
            return FALSE;
        }
        record = static_cast<DynamicVertexBuffer *>(RwFreeListEntryAlloc(poolFreeList));
        if (record == nullptr) {
            return FALSE;
        }
        *record = DynamicVertexBuffer{};
        record->next = pool;
        pool = record;
    }
    IDirect3DVertexBuffer8 *buffer = nullptr;
    if (Device() == nullptr || FAILED(Device()->CreateVertexBuffer(size, rwD3D8DynamicUsage, fvf, DynamicPool(),
                                                                   &buffer))) {
        record->buffer = nullptr;
        record->inUse = 0;
        record->owner = nullptr;
        return FALSE;
    }
    record->fvf = fvf;
    record->size = size;
    record->inUse = 1;
    record->buffer = buffer;
    record->owner = slot;
    *slot = buffer;
    return TRUE;
}

void RwD3D8ReleaseDynamicVertexBuffer(IDirect3DVertexBuffer8 *buffer)
{
    for (DynamicVertexBuffer *record = pool; record != nullptr; record = record->next) {
        if (record->buffer == buffer && buffer != nullptr) {
            record->inUse = 0;
            record->owner = nullptr;
            return;
        }
    }
}

void RwD3D8DynamicVertexBufferPoolRelease(void)
{
    if (!RwD3D8HardwareVertexProcessing()) {
        return;
    }
    for (DynamicVertexBuffer *record = pool; record != nullptr; record = record->next) {
        ReleaseBuffer(record->buffer);
        if (record->owner != nullptr) {
            *record->owner = nullptr;
        }
    }
}

RwBool RwD3D8DynamicVertexBufferPoolRestore(void)
{
    if (!RwD3D8HardwareVertexProcessing()) {
        return TRUE;
    }
    for (DynamicVertexBuffer *record = pool; record != nullptr; record = record->next) {
        if (record->buffer != nullptr) {
            continue;
        }
        if (FAILED(Device()->CreateVertexBuffer(record->size, rwD3D8DynamicUsage, record->fvf, D3DPOOL_DEFAULT,
                                                &record->buffer))) {
            record->buffer = nullptr;
            return FALSE;
        }
        if (record->owner != nullptr) {
            *record->owner = record->buffer;
        }
    }
    return TRUE;
}

void RwD3D8DynamicVertexBufferPoolClose(void)
{
    while (pool != nullptr) {
        DynamicVertexBuffer *next = pool->next;
        ReleaseBuffer(pool->buffer);
        if (pool->owner != nullptr) {
            *pool->owner = nullptr;
        }
        RwFreeListEntryFree(poolFreeList, pool);
        pool = next;
    }
    if (poolFreeList != nullptr) {
        RwFreeListDestroy(poolFreeList);
        poolFreeList = nullptr;
    }
}

RwBool RwD3D8SharedVertexBuffersCreate(void)
{
    shared.current = 0;
    const RwInt32 made = RwD3D8HardwareVertexProcessing() ? rwD3D8SharedBufferCount : 1;
    RwBool ok = TRUE;
    for (RwInt32 i = 0; i < rwD3D8SharedBufferCount; ++i) {
        if (i < made) {
            ok = MakeSharedBuffer(i, rwD3D8SharedBufferSize) && ok;
        } else {
            shared.fill[i] = 0;
            shared.size[i] = 0;
            shared.buffer[i] = nullptr;
        }
    }
    return ok;
}

void RwD3D8SharedVertexBuffersRelease(void)
{
    shared.current = 0;
    for (RwInt32 i = 0; i < rwD3D8SharedBufferCount; ++i) {
        ReleaseSharedBuffer(i);
    }
}

RwBool RwD3D8LockDynamicVertices(RwUInt32 stride, RwUInt32 count, IDirect3DVertexBuffer8 **buffer, void **data,
                                 RwUInt32 *baseVertex)
{
    if (stride == 0 || count == 0) {
        return FALSE;
    }
    const RwUInt64 wide = static_cast<RwUInt64>(stride) * count;
    if (wide > 0x7FFFFFFFu) {
        return FALSE;
    }
    const RwUInt32 bytes = static_cast<RwUInt32>(wide);
    RwUInt32 offset = 0;
    if (RwD3D8HardwareVertexProcessing()) {
        RwInt32 chosen = -1;
        for (RwInt32 k = 0; k < rwD3D8SharedBufferCount && chosen < 0; ++k) {
            const RwInt32 i = k == 0 ? shared.current : (k <= shared.current ? k - 1 : k);
            const RwUInt32 at = RoundUp(shared.fill[i], stride);
            if (static_cast<RwUInt64>(at) + bytes <= shared.size[i]) {
                chosen = i;
                offset = at;
            }
        }
        if (chosen < 0) {
            chosen = (shared.current + 1) % rwD3D8SharedBufferCount;
            offset = 0;
        }
        shared.current = chosen;
    }
    const RwInt32 current = shared.current;
    // Grow (or make again) a buffer too small for this batch; a failure
    // leaves the slot empty and the lock refused.
    if (bytes > shared.size[current] || shared.buffer[current] == nullptr) {
        const RwUInt32 size = bytes > shared.size[current] ? bytes : shared.size[current];
        ReleaseSharedBuffer(current);
        if (!MakeSharedBuffer(current, size)) {
            return FALSE;
        }
        offset = 0;
    }
    IDirect3DVertexBuffer8 *target = shared.buffer[current];
    BYTE *bits = nullptr;
    HRESULT result;
    if (offset == 0) {
        result = target->Lock(0, bytes, &bits, D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK);
        shared.fill[current] = bytes;
        *baseVertex = 0;
    } else {
        result = target->Lock(offset, bytes, &bits, D3DLOCK_NOOVERWRITE | D3DLOCK_NOSYSLOCK);
        shared.fill[current] = offset + bytes;
        *baseVertex = offset / stride;
    }
    *buffer = target;
    *data = bits;
    return SUCCEEDED(result);
}

RwBool RwD3D8UnlockVertexBuffer(IDirect3DVertexBuffer8 *buffer) { return SUCCEEDED(buffer->Unlock()); }

RwBool RwD3D8CreateIndexBuffer(RwUInt32 count, IDirect3DIndexBuffer8 **buffer)
{
    return SUCCEEDED(Device()->CreateIndexBuffer(count * 2, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, buffer));
}

RwBool RwD3D8CreateIndexBuffer32(RwUInt32 count, IDirect3DIndexBuffer8 **buffer)
{
    return SUCCEEDED(Device()->CreateIndexBuffer(count * 4, D3DUSAGE_WRITEONLY, D3DFMT_INDEX32, D3DPOOL_MANAGED, buffer));
}

RwBool RwD3D8CreatePixelShader(const RwUInt32 *function, RwUInt32 *handle)
{
    if (FAILED(Device()->CreatePixelShader(reinterpret_cast<const DWORD *>(function), handle))) {
        return FALSE;
    }
    if (shaderFreeList == nullptr) {
        shaderFreeList = RwFreeListCreate(sizeof(PixelShaderRecord), 40, 4);
    }
    auto *record = shaderFreeList != nullptr ? static_cast<PixelShaderRecord *>(RwFreeListEntryAlloc(shaderFreeList))
                                             : nullptr;
    if (record == nullptr) {
        Device()->DeletePixelShader(*handle);
        *handle = 0;
        return FALSE;
    }
    *record = {function, handle, shaders};
    shaders = record;
    return TRUE;
}

RwBool RwD3D8DeletePixelShader(RwUInt32 handle)
{
    const HRESULT result = Device()->DeletePixelShader(handle);
    for (PixelShaderRecord **link = &shaders; *link != nullptr; link = &(*link)->next) {
        if (*(*link)->handle == handle) {
            PixelShaderRecord *record = *link;
            *link = record->next;
            RwFreeListEntryFree(shaderFreeList, record);
            break;
        }
    }
    return SUCCEEDED(result);
}

void RwD3D8PixelShaderListRelease(void)
{
    for (PixelShaderRecord *record = shaders; record != nullptr; record = record->next) {
        if (*record->handle != 0) {
            Device()->DeletePixelShader(*record->handle);
            *record->handle = 0;
        }
    }
}

RwBool RwD3D8PixelShaderListRestore(void)
{
    for (PixelShaderRecord *record = shaders; record != nullptr; record = record->next) {
        if (*record->handle == 0 &&
            FAILED(Device()->CreatePixelShader(reinterpret_cast<const DWORD *>(record->function), record->handle))) {
            return FALSE;
        }
    }
    return TRUE;
}

void RwD3D8PixelShaderListClose(void)
{
    while (shaders != nullptr) {
        PixelShaderRecord *next = shaders->next;
        if (*shaders->handle != 0) {
            Device()->DeletePixelShader(*shaders->handle);
            *shaders->handle = 0;
        }
        RwFreeListEntryFree(shaderFreeList, shaders);
        shaders = next;
    }
    if (shaderFreeList != nullptr) {
        RwFreeListDestroy(shaderFreeList);
        shaderFreeList = nullptr;
    }
}
