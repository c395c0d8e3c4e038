// The vertex-buffer manager: packs the vertices of many meshes into shared
// managed vertex buffers, one family of buffers per vertex format (or per
// stride for shader-based formats), handing out and taking back byte
// ranges and merging freed neighbours. Buffers stay alive until the
// manager closes.
#include <initializer_list>
#include "rpd3d8pipe.h"
#include "rwd3d8.h"
#include "rwmemory.h"

namespace {

struct FreeBlock {
    RwUInt32 offset;
    RwUInt32 size;
    IDirect3DVertexBuffer8 *vertexBuffer;
    FreeBlock *next;
    FreeBlock *prev;
};

struct BufferNode {
    IDirect3DVertexBuffer8 *vertexBuffer;
    BufferNode *next;
};

struct StrideClass {
    RwUInt32 key;
    FreeBlock *freeBlocks;
    BufferNode *buffers;
    StrideClass *next;
};

struct Manager {
    StrideClass *classes = nullptr;
    RwFreeList *classFreeList = nullptr;
    RwFreeList *blockFreeList = nullptr;
    RwFreeList *bufferFreeList = nullptr;
};

// Engine-global and unguarded, as every caller renders on one thread.
Manager manager;

StrideClass *FindClass(RwUInt32 key)
{
    for (StrideClass *c = manager.classes; c != nullptr; c = c->next) {
        if (c->key == key) {
            return c;
        }
    }
    return nullptr;
}

void Unlink(StrideClass *c, FreeBlock *block)
{
    if (block->prev != nullptr) {
        block->prev->next = block->next;
    } else {
        c->freeBlocks = block->next;
    }
    if (block->next != nullptr) {
        block->next->prev = block->prev;
    }
}

void PushFront(StrideClass *c, FreeBlock *block)
{
    block->prev = nullptr;
    block->next = c->freeBlocks;
    if (c->freeBlocks != nullptr) {
        c->freeBlocks->prev = block;
    }
    c->freeBlocks = block;
}

RwBool Allocate(RwUInt32 key, RwUInt32 stride, RwUInt32 size, IDirect3DVertexBuffer8 **vertexBuffer,
                RwUInt32 *baseIndex)
{
    if (stride == 0 || manager.classFreeList == nullptr) {
        return FALSE;
    }
    StrideClass *c = FindClass(key);
    if (c == nullptr) {
        c = static_cast<StrideClass *>(RwFreeListEntryAlloc(manager.classFreeList));
        if (c == nullptr) {
            return FALSE;
        }
        *c = {key, nullptr, nullptr, manager.classes};
        manager.classes = c;
    }
    FreeBlock *block = c->freeBlocks;
    // The carve rounds the offset up to a whole vertex, so a block must
    // hold that padding too.
    while (block != nullptr) {
        const RwUInt32 start = (block->offset + stride - 1) / stride * stride;
        if (block->size >= size + (start - block->offset)) {
            break;
        }
        block = block->next;
    }
    if (block == nullptr) {
        IDirect3DDevice8 *device = RwD3D8GetCurrentD3DDevice();
        if (device == nullptr) {
            return FALSE;
        }
        const RwUInt32 standard = (rwD3D8VERTEXBUFFERDEFAULTSIZE + stride - 1) / stride * stride;
        const RwUInt32 blockSize = size < standard ? standard : size;
        block = static_cast<FreeBlock *>(RwFreeListEntryAlloc(manager.blockFreeList));
        auto *node = static_cast<BufferNode *>(RwFreeListEntryAlloc(manager.bufferFreeList));
        IDirect3DVertexBuffer8 *buffer = nullptr;
        if (block == nullptr || node == nullptr ||
            device->CreateVertexBuffer(blockSize, D3DUSAGE_WRITEONLY, key < 0x10000 ? key : 0, D3DPOOL_MANAGED,
                                       &buffer) < 0) {
            if (block != nullptr) {
                RwFreeListEntryFree(manager.blockFreeList, block);
            }
            if (node != nullptr) {
                RwFreeListEntryFree(manager.bufferFreeList, node);
            }
            return FALSE;
        }
        *block = {0, blockSize, buffer, nullptr, nullptr};
        PushFront(c, block);
        *node = {buffer, c->buffers};
        c->buffers = node;
    }
    const RwUInt32 index = (block->offset + stride - 1) / stride;
    const RwUInt32 newOffset = index * stride + size;
    block->size -= newOffset - block->offset;
    block->offset = newOffset;
    *vertexBuffer = block->vertexBuffer;
    *baseIndex = index;
    if (block->size == 0) {
        Unlink(c, block);
        RwFreeListEntryFree(manager.blockFreeList, block);
    }
    return TRUE;
}

// The first block of the same buffer that touches [start, end), other
// than `skip`.
FreeBlock *FindNeighbour(StrideClass *c, IDirect3DVertexBuffer8 *buffer, RwUInt32 start, RwUInt32 end,
                         const FreeBlock *skip)
{
    for (FreeBlock *b = c->freeBlocks; b != nullptr; b = b->next) {
        if (b != skip && b->vertexBuffer == buffer && (b->offset + b->size == start || b->offset == end)) {
            return b;
        }
    }
    return nullptr;
}

void Grow(FreeBlock *block, RwUInt32 start, RwUInt32 size)
{
    if (start < block->offset) {
        block->offset = start;
    }
    block->size += size;
}

void Release(RwUInt32 key, RwUInt32 stride, RwUInt32 size, IDirect3DVertexBuffer8 *buffer, RwUInt32 baseIndex)
{
    StrideClass *c = FindClass(key);
    if (c == nullptr) {
        return;
    }
    const RwUInt32 start = baseIndex * stride;
    FreeBlock *block = FindNeighbour(c, buffer, start, start + size, nullptr);
    if (block == nullptr) {
        block = static_cast<FreeBlock *>(RwFreeListEntryAlloc(manager.blockFreeList));
        if (block != nullptr) {
            *block = {start, size, buffer, nullptr, nullptr};
            PushFront(c, block);
        }
        return;
    }
    Grow(block, start, size);
    for (;;) {
        FreeBlock *other = FindNeighbour(c, buffer, block->offset, block->offset + block->size, block);
        if (other == nullptr) {
            return;
        }
        Unlink(c, block);
        Grow(other, block->offset, block->size);
        RwFreeListEntryFree(manager.blockFreeList, block);
        block = other;
    }
}

}  // namespace

RwUInt32 RwD3D8FVFGetStride(RwUInt32 fvf)
{
    static const RwUInt32 positionSizes[8] = {0, 12, 16, 16, 20, 24, 28, 32};
    static const RwUInt32 texSizes[4] = {8, 12, 16, 4};
    RwUInt32 stride = positionSizes[(fvf & 0x0E) >> 1];
    if (fvf & 0x010) {
        stride += 12;
    }
    for (RwUInt32 bit : {0x020u, 0x040u, 0x080u}) {
        if (fvf & bit) {
            stride += 4;
        }
    }
    const RwUInt32 sets = (fvf >> 8) & 15;
    for (RwUInt32 set = 0; set < sets; ++set) {
        stride += texSizes[(fvf >> (16 + 2 * set)) & 3];
    }
    return stride;
}

void RwD3D8VertexBufferManagerClose(void)
{
    while (manager.classes != nullptr) {
        StrideClass *c = manager.classes;
        manager.classes = c->next;
        while (c->freeBlocks != nullptr) {
            FreeBlock *b = c->freeBlocks;
            c->freeBlocks = b->next;
            RwFreeListEntryFree(manager.blockFreeList, b);
        }
        while (c->buffers != nullptr) {
            BufferNode *n = c->buffers;
            c->buffers = n->next;
            n->vertexBuffer->Release();
            RwFreeListEntryFree(manager.bufferFreeList, n);
        }
        RwFreeListEntryFree(manager.classFreeList, c);
    }
    for (RwFreeList **list : {&manager.classFreeList, &manager.blockFreeList, &manager.bufferFreeList}) {
        if (*list != nullptr) {
            RwFreeListDestroy(*list);
            *list = nullptr;
        }
    }
}

RwBool RwD3D8VertexBufferManagerOpen(void)
{
    RwD3D8VertexBufferManagerClose();
    manager.classFreeList = RwFreeListCreate(static_cast<RwInt32>(sizeof(StrideClass)), 16, 4);
    manager.blockFreeList = RwFreeListCreate(static_cast<RwInt32>(sizeof(FreeBlock)), 100, 4);
    manager.bufferFreeList = RwFreeListCreate(static_cast<RwInt32>(sizeof(BufferNode)), 100, 4);
    if (manager.classFreeList == nullptr || manager.blockFreeList == nullptr || manager.bufferFreeList == nullptr) {
        RwD3D8VertexBufferManagerClose();
        return FALSE;
    }
    return TRUE;
}

RwBool RwD3D8VertexBufferCreate(RwUInt32 fvf, RwUInt32 size, IDirect3DVertexBuffer8 **vertexBuffer,
                                RwUInt32 *baseIndex)
{
    return Allocate(fvf, RwD3D8FVFGetStride(fvf), size, vertexBuffer, baseIndex);
}

void RwD3D8VertexBufferDestroy(RwUInt32 fvf, RwUInt32 size, IDirect3DVertexBuffer8 *vertexBuffer,
                               RwUInt32 baseIndex)
{
    Release(fvf, RwD3D8FVFGetStride(fvf), size, vertexBuffer, baseIndex);
}

void RwD3D8VertexBufferDestroyByStride(RwUInt32 stride, RwUInt32 size, IDirect3DVertexBuffer8 *vertexBuffer,
                                       RwUInt32 baseIndex)
{
    Release(stride << 16, stride, size, vertexBuffer, baseIndex);
}

void RwD3D8VertexBufferManagerForAllFree(RwUInt32 key,
                                         void (*visit)(IDirect3DVertexBuffer8 *, RwUInt32, RwUInt32, void *),
                                         void *data)
{
    StrideClass *c = FindClass(key);
    for (FreeBlock *b = c != nullptr ? c->freeBlocks : nullptr; b != nullptr; b = b->next) {
        visit(b->vertexBuffer, b->offset, b->size, data);
    }
}
