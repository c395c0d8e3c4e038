// Render targets, scenes, viewport, clears, vertex input and draws. Draws hand the
// rasteriser the exact byte sizes of the vertex and index data, so every read it makes
// can be bounds-checked; a lost device accepts draws and clears and does nothing.
#include <algorithm>
#include <mutex>
#include <new>
#include <type_traits>

#include "device.h"
#include "format_info.h"

namespace d3d8 {
namespace {

bool IsPrimitiveType(D3DPRIMITIVETYPE type) {
    return type >= D3DPT_POINTLIST && type <= D3DPT_TRIANGLEFAN;
}

// Vertices (or indices) that `count` primitives of `type` use.
uint64_t ElementCount(D3DPRIMITIVETYPE type, uint64_t count) {
    if (count == 0) return 0;
    switch (type) {
    case D3DPT_POINTLIST: return count;
    case D3DPT_LINELIST: return count * 2;
    case D3DPT_LINESTRIP: return count + 1;
    case D3DPT_TRIANGLELIST: return count * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return count + 2;
    default: return 0;
    }
}

// Whether a clear covers every pixel of a target of this size: the viewport is all of
// it, and so is one of the rectangles (or there are none).
bool ClearsWholeTarget(const SurfaceDesc &target, const D3DVIEWPORT8 &viewport, DWORD count, const D3DRECT *rects) {
    if (viewport.X != 0 || viewport.Y != 0 || viewport.Width < target.width || viewport.Height < target.height) {
        return false;
    }
    if (count == 0) return true;
    for (DWORD i = 0; i < count; ++i) {
        if (rects[i].x1 <= 0 && rects[i].y1 <= 0 && rects[i].x2 >= LONG(target.width) &&
            rects[i].y2 >= LONG(target.height)) {
            return true;
        }
    }
    return false;
}

// Whether a draw with these states reads or writes depth/stencil words.
bool UsesDepthWords(const DWORD *renderStates) {
    return renderStates[D3DRS_ZENABLE] != D3DZB_FALSE || renderStates[D3DRS_STENCILENABLE] != 0;
}

// Whether a clear writes every byte of the colour target: 32-bit pixels, every one of
// them inside the viewport and inside one of the rectangles (or no rectangles).
bool ClearsWholeColorTarget(const SurfaceDesc &target, const D3DVIEWPORT8 &viewport, DWORD count,
                            const D3DRECT *rects, DWORD flags) {
    if (!(flags & D3DCLEAR_TARGET)) return false;
    if (target.format != D3DFMT_A8R8G8B8 && target.format != D3DFMT_X8R8G8B8) return false;
    return ClearsWholeTarget(target, viewport, count, rects);
}

template <class T>
void Rebind(T *&slot, T *object) {
    if (object) object->AddRef();
    if (slot) slot->Release();
    slot = object;
}

}  // namespace

HRESULT DeviceImpl::SetRenderTarget(IDirect3DSurface8 *renderTarget,
                                    IDirect3DSurface8 *newZStencil) {
    SurfaceImpl *color = renderTarget_;
    if (renderTarget) {
        color = dynamic_cast<SurfaceImpl *>(renderTarget);
        if (!color || color->OwningDevice() != this ||
            !(color->Desc().usage & D3DUSAGE_RENDERTARGET) ||
            !IsColorTargetFormat(color->Desc().format)) {
            return D3DERR_INVALIDCALL;
        }
    }
    SurfaceImpl *depth = nullptr;
    if (newZStencil) {
        depth = dynamic_cast<SurfaceImpl *>(newZStencil);
        if (!depth || depth->OwningDevice() != this ||
            !(depth->Desc().usage & D3DUSAGE_DEPTHSTENCIL) ||
            depth->Desc().width < color->Desc().width ||
            depth->Desc().height < color->Desc().height) {
            return D3DERR_INVALIDCALL;
        }
    }
    if (color != renderTarget_ || depth != depthStencil_) FlushDraws();
    BindTargets(color, depth);
    state_.viewport = {0, 0, color->Desc().width, color->Desc().height, 0.0f, 1.0f};
    return D3D_OK;
}

HRESULT DeviceImpl::GetRenderTarget(IDirect3DSurface8 **renderTarget) {
    if (!renderTarget) return D3DERR_INVALIDCALL;
    renderTarget_->AddRef();
    *renderTarget = renderTarget_;
    return D3D_OK;
}

HRESULT DeviceImpl::GetDepthStencilSurface(IDirect3DSurface8 **zStencilSurface) {
    if (!zStencilSurface) return D3DERR_INVALIDCALL;
    *zStencilSurface = depthStencil_;
    if (!depthStencil_) return D3DERR_NOTFOUND;
    depthStencil_->AddRef();
    return D3D_OK;
}

HRESULT DeviceImpl::BeginScene() {
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT DeviceImpl::EndScene() {
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT DeviceImpl::Clear(DWORD count, const D3DRECT *rects, DWORD flags, D3DCOLOR color,
                          float z, DWORD stencil) {
    if (count > 0 && !rects) return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthStencil_) {
        return D3DERR_INVALIDCALL;
    }
    if ((flags & D3DCLEAR_STENCIL) && depthStencil_->Desc().format != D3DFMT_D24S8) {
        return D3DERR_INVALIDCALL;
    }
    if (!Drawable()) return D3D_OK;
    // A window still showing the target (the last frame presented) need not copy what
    // is about to be cleared away: it takes the storage instead.
    if (ClearsWholeColorTarget(renderTarget_->Desc(), state_.viewport, count, rects, flags)) {
        renderTarget_->WillBeOverwritten();
    }
    swr::ColorTarget colorTarget =
        (flags & D3DCLEAR_TARGET) ? renderTarget_->AsColorTarget() : renderTarget_->ColorTargetUnwritten();
    swr::DepthTarget depthTarget;
    if (depthStencil_) depthTarget = depthStencil_->AsDepthTarget();
    {
        // Draws whose every write the clear overwrites are dropped undrawn: a frame
        // presented to a window that keeps no frames is, as a rule, never drawn.
        std::lock_guard<std::mutex> queued(queueMutex_);
        if (!queue_->DropOverwritten(state_.viewport, colorTarget, depthStencil_ ? &depthTarget : nullptr, count,
                                     rects, flags)) {
            queue_->Flush();
        }
    }
    // A clear of every depth/stencil word leaves the words to the first draw that uses
    // them (none, in a frame of pictures only); any other clear of them writes what an
    // earlier one left first.
    const float clampedZ = std::clamp(z, 0.0f, 1.0f);
    const bool clearsDepth = depthStencil_ && (flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL));
    const bool depthLater = clearsDepth && swr::ClearWritesWholeWords(depthStencil_->Desc().format, flags) &&
                            ClearsWholeTarget(depthStencil_->Desc(), state_.viewport, count, rects);
    if (clearsDepth && !depthLater) depthStencil_->SettleDepthClear();
    swr::Clear(state_.viewport, &colorTarget, depthStencil_ ? &depthTarget : nullptr,
               count, rects, flags, color, clampedZ, stencil, depthLater);
    if (depthLater) depthStencil_->DeferDepthClear(flags, clampedZ, stencil);
    return D3D_OK;
}

HRESULT DeviceImpl::SetViewport(const D3DVIEWPORT8 *viewport) {
    if (!viewport) return D3DERR_INVALIDCALL;
    const SurfaceDesc &target = renderTarget_->Desc();
    if (uint64_t(viewport->X) + viewport->Width > target.width ||
        uint64_t(viewport->Y) + viewport->Height > target.height ||
        !(viewport->MinZ >= 0.0f && viewport->MinZ <= 1.0f) ||
        !(viewport->MaxZ >= 0.0f && viewport->MaxZ <= 1.0f)) {
        return D3DERR_INVALIDCALL;
    }
    state_.viewport = *viewport;
    return D3D_OK;
}

HRESULT DeviceImpl::SetScissorRect(const D3DRECT *rect) {
    if (!rect) {
        state_.scissor = swr::kNoScissor;
        return D3D_OK;
    }
    if (rect->x1 < 0 || rect->y1 < 0 || rect->x2 < rect->x1 || rect->y2 < rect->y1) return D3DERR_INVALIDCALL;
    state_.scissor = *rect;
    return D3D_OK;
}

HRESULT DeviceImpl::GetViewport(D3DVIEWPORT8 *viewport) {
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT DeviceImpl::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8 *streamData,
                                    UINT stride) {
    if (streamNumber >= caps_.MaxStreams || stride > caps_.MaxStreamStride) {
        return D3DERR_INVALIDCALL;
    }
    VertexBufferImpl *buffer = nullptr;
    if (streamData) {
        buffer = dynamic_cast<VertexBufferImpl *>(streamData);
        if (!buffer || buffer->Device() != this) return D3DERR_INVALIDCALL;
    }
    Rebind(stream_, buffer);
    streamStride_ = buffer ? stride : 0;
    return D3D_OK;
}

HRESULT DeviceImpl::GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8 **streamData,
                                    UINT *stride) {
    if (!streamData || !stride || streamNumber >= caps_.MaxStreams) return D3DERR_INVALIDCALL;
    *streamData = stream_;
    *stride = streamStride_;
    if (stream_) stream_->AddRef();
    return D3D_OK;
}

HRESULT DeviceImpl::SetIndices(IDirect3DIndexBuffer8 *indexData, UINT baseVertexIndex) {
    IndexBufferImpl *buffer = nullptr;
    if (indexData) {
        buffer = dynamic_cast<IndexBufferImpl *>(indexData);
        if (!buffer || buffer->Device() != this) return D3DERR_INVALIDCALL;
    }
    Rebind(indices_, buffer);
    baseVertexIndex_ = baseVertexIndex;
    return D3D_OK;
}

HRESULT DeviceImpl::GetIndices(IDirect3DIndexBuffer8 **indexData, UINT *baseVertexIndex) {
    if (!indexData || !baseVertexIndex) return D3DERR_INVALIDCALL;
    *indexData = indices_;
    *baseVertexIndex = baseVertexIndex_;
    if (indices_) indices_->AddRef();
    return D3D_OK;
}

bool DeviceImpl::Drawable() const { return lossState == LossState::Ok; }

void DeviceImpl::PrepareDrawState() {
    state_.lightCount = 0;
    for (DWORD index : enabledLights_) {
        if (state_.lightCount == 8) break;
        state_.lights[state_.lightCount++] = &lights_.at(index).light;
    }
    for (uint32_t stage = 0; stage < D3D8_MAX_TEXTURE_STAGES; ++stage) {
        const TextureBinding &binding = textures_[stage];
        // The view made right in its place (a view returned into a temporary and copied
        // over was read back whole just after being written field by field, and waited
        // for those stores).
        static_assert(std::is_trivially_destructible_v<swr::TextureView>);
        ::new (&state_.textures[stage]) swr::TextureView(binding.bindable ? binding.bindable->View() : swr::TextureView());
    }
    const auto palette = palettes_.find(currentPalette_);
    state_.palette = palette == palettes_.end() ? nullptr : palette->second.data();
    state_.pixelShader = pixelShaders_.Bound();
    state_.pixelShaderConstants = &pixelShaders_.Constants();
}

HRESULT DeviceImpl::DrawFromStreams(D3DPRIMITIVETYPE type, const swr::VertexStream &vertices,
                                    const swr::IndexStream *indices, UINT baseVertexIndex,
                                    UINT minIndex, UINT numVertices, UINT start,
                                    UINT primitiveCount) {
    if (!Drawable() || primitiveCount == 0) return D3D_OK;
    if (hiddenTarget != nullptr && hiddenTarget == static_cast<const IDirect3DSurface8 *>(renderTarget_)) {
        ++hiddenDraws;
        return D3D_OK;
    }
    PrepareDrawState();
    if (depthStencil_ && UsesDepthWords(state_.renderStates)) depthStencil_->SettleDepthClear();
    swr::ColorTarget colorTarget = renderTarget_->AsColorTarget();
    swr::DepthTarget depthTarget;
    if (depthStencil_) depthTarget = depthStencil_->AsDepthTarget();
    swr::DepthTarget *depth = depthStencil_ ? &depthTarget : nullptr;
    std::lock_guard<std::mutex> queued(queueMutex_);
    const bool ok =
        indices ? queue_->DrawIndexedPrimitive(state_, colorTarget, depth, type, vertices, *indices,
                                               baseVertexIndex, minIndex, numVertices, start,
                                               primitiveCount)
                : queue_->DrawPrimitive(state_, colorTarget, depth, type, vertices, start,
                                        primitiveCount);
    if (lockedSurfaces_.load() > 0) queue_->Flush();
    return ok ? D3D_OK : D3DERR_INVALIDCALL;
}

void DeviceImpl::FlushDraws() {
    std::lock_guard<std::mutex> queued(queueMutex_);
    queue_->Flush();
}

void DeviceImpl::FlushDrawsUsing(const void *bits) {
    std::lock_guard<std::mutex> queued(queueMutex_);
    if (queue_->Uses(bits)) queue_->Flush();
}

HRESULT DeviceImpl::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    if (!inScene_ || !stream_ || !IsPrimitiveType(type)) return D3DERR_INVALIDCALL;
    const swr::VertexStream vertices{stream_->Storage().Data(), stream_->Storage().Size(),
                                     streamStride_, vertexShader_};
    return DrawFromStreams(type, vertices, nullptr, 0, 0, 0, startVertex, primitiveCount);
}

HRESULT DeviceImpl::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT numVertices,
                                         UINT startIndex, UINT primitiveCount) {
    if (!inScene_ || !stream_ || !indices_ || !IsPrimitiveType(type)) return D3DERR_INVALIDCALL;
    const swr::VertexStream vertices{stream_->Storage().Data(), stream_->Storage().Size(),
                                     streamStride_, vertexShader_};
    const swr::IndexStream indices{indices_->Storage().Data(), indices_->Storage().Size(),
                                   indices_->Is32Bit()};
    return DrawFromStreams(type, vertices, &indices, baseVertexIndex_, minIndex, numVertices,
                           startIndex, primitiveCount);
}

HRESULT DeviceImpl::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount,
                                    const void *vertexData, UINT vertexStride) {
    if (!inScene_ || !vertexData || vertexStride == 0 || !IsPrimitiveType(type)) {
        return D3DERR_INVALIDCALL;
    }
    SetStreamSource(0, nullptr, 0);
    const swr::VertexStream vertices{static_cast<const uint8_t *>(vertexData),
                                     size_t(ElementCount(type, primitiveCount) * vertexStride),
                                     vertexStride, vertexShader_};
    return DrawFromStreams(type, vertices, nullptr, 0, 0, 0, 0, primitiveCount);
}

HRESULT DeviceImpl::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex,
                                           UINT numVertexIndices, UINT primitiveCount,
                                           const void *indexData, D3DFORMAT indexFormat,
                                           const void *vertexData, UINT vertexStride) {
    if (!inScene_ || !indexData || !vertexData || vertexStride == 0 || !IsPrimitiveType(type) ||
        (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32)) {
        return D3DERR_INVALIDCALL;
    }
    SetStreamSource(0, nullptr, 0);
    SetIndices(nullptr, 0);
    const bool is32 = indexFormat == D3DFMT_INDEX32;
    const swr::VertexStream vertices{
        static_cast<const uint8_t *>(vertexData),
        size_t((uint64_t(minVertexIndex) + numVertexIndices) * vertexStride), vertexStride,
        vertexShader_};
    const swr::IndexStream indices{static_cast<const uint8_t *>(indexData),
                                   size_t(ElementCount(type, primitiveCount) * (is32 ? 4 : 2)),
                                   is32};
    return DrawFromStreams(type, vertices, &indices, 0, minVertexIndex, numVertexIndices, 0,
                           primitiveCount);
}

}  // namespace d3d8
