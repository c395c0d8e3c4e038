// Test scaffolding for the software rasteriser: small in-memory colour and depth
// targets, default state, and vertex buffers placed against an unreadable page so that
// any read past their end crashes the test instead of passing unnoticed.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/d3d8/swr/swr_coarse_depth.h"
#include "platform/d3d8/swr/swr_draw.h"
#include "platform/d3d8/swr/swr_draw_queue.h"
#include "platform/d3d8/swr/swr_pixel_shader.h"
#include "platform/d3d8/swr/swr_texel_copy.h"

namespace swrtest {

// Screen-space vertex with a colour: the layout of 2D drawing.
struct TLVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};
constexpr DWORD kTLFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

// Bytes whose end is followed by a page that cannot be read.
class GuardedBytes {
public:
    GuardedBytes(const void *data, size_t size) {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        const size_t dataPages = (size + page - 1) / page + 1;
        mappingSize_ = (dataPages + 1) * page;
        void *m = mmap(nullptr, mappingSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        mapping_ = static_cast<uint8_t *>(m);
        mprotect(mapping_ + dataPages * page, page, PROT_NONE);
        bytes_ = mapping_ + dataPages * page - size;
        if (size) std::memcpy(bytes_, data, size);
        size_ = size;
    }
    ~GuardedBytes() { munmap(mapping_, mappingSize_); }
    GuardedBytes(const GuardedBytes &) = delete;
    GuardedBytes &operator=(const GuardedBytes &) = delete;
    const uint8_t *data() const { return bytes_; }
    size_t size() const { return size_; }

private:
    uint8_t *mapping_ = nullptr;
    size_t mappingSize_ = 0;
    uint8_t *bytes_ = nullptr;
    size_t size_ = 0;
};

inline D3DMATRIX IdentityMatrix() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// Perspective projection that puts eye depth into w: w = z, depth 0 at `zn`, 1 at `zf`,
// x and y in [-z, z] fill the viewport.
inline D3DMATRIX PerspectiveMatrix(float zn, float zf) {
    D3DMATRIX m{};
    m._11 = 1.0f;
    m._22 = 1.0f;
    m._33 = zf / (zf - zn);
    m._34 = 1.0f;
    m._43 = -zn * zf / (zf - zn);
    return m;
}

inline DWORD FloatBits(float f) {
    DWORD d;
    std::memcpy(&d, &f, 4);
    return d;
}

class Scene {
public:
    Scene(uint32_t width, uint32_t height, D3DFORMAT colorFormat = D3DFMT_A8R8G8B8,
          D3DFORMAT depthFormat = D3DFMT_UNKNOWN)
        : pixels_(size_t{width} * height, 0), depthWords_(size_t{width} * height, 0) {
        color.width = width;
        color.height = height;
        color.pitch = width * 4;
        color.format = colorFormat;
        color.bits = reinterpret_cast<uint8_t *>(pixels_.data());
        const bool hasDepth = depthFormat != D3DFMT_UNKNOWN;
        if (hasDepth) {
            const bool twoBytes = depthFormat == D3DFMT_D16 || depthFormat == D3DFMT_D16_LOCKABLE || depthFormat == D3DFMT_D15S1;
            depth.width = width;
            depth.height = height;
            depth.pitch = width * (twoBytes ? 2 : 4);
            depth.format = depthFormat;
            depth.bits = reinterpret_cast<uint8_t *>(depthWords_.data());
        }
        swr::SetDefaultStates(state, hasDepth);
        state.viewport = D3DVIEWPORT8{0, 0, width, height, 0.0f, 1.0f};
        // Untextured drawing as the engine sets it up: colour and alpha from the vertices.
        state.renderStates[D3DRS_LIGHTING] = FALSE;
        state.renderStates[D3DRS_CULLMODE] = D3DCULL_NONE;
        state.stageStates[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG2;
        state.stageStates[0][D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
        state.stageStates[0][D3DTSS_ALPHAOP] = D3DTOP_SELECTARG2;
        state.stageStates[0][D3DTSS_ALPHAARG2] = D3DTA_DIFFUSE;
    }

    void SetState(D3DRENDERSTATETYPE rs, DWORD value) { state.renderStates[rs] = value; }
    void SetFloatState(D3DRENDERSTATETYPE rs, float value) { state.renderStates[rs] = FloatBits(value); }

    uint32_t Pixel(int32_t x, int32_t y) const { return pixels_[size_t(y) * color.width + size_t(x)]; }
    void FillPixels(uint32_t v) { std::fill(pixels_.begin(), pixels_.end(), v); }
    // The raw depth/stencil word of a pixel (16- or 32-bit formats).
    uint32_t DepthWord(int32_t x, int32_t y) const {
        if (depth.pitch == depth.width * 2) {
            uint16_t v;
            std::memcpy(&v, depth.bits + size_t(y) * depth.pitch + size_t(x) * 2, 2);
            return v;
        }
        return depthWords_[size_t(y) * depth.width + size_t(x)];
    }
    void ClearDepthStencil(float z, DWORD stencil) {
        swr::Clear(state.viewport, nullptr, &depth, 0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, z, stencil);
    }
    // The depth target keeps a coarse depth of its tiles from now on, as the device's do.
    void KeepCoarseDepth() { depth.coarse = &coarse_; }
    uint32_t CountPixels(uint32_t value) const {
        uint32_t n = 0;
        for (uint32_t p : pixels_) n += p == value;
        return n;
    }

    template <typename V>
    bool Draw(D3DPRIMITIVETYPE type, const std::vector<V> &vertices, uint32_t primitives, DWORD fvf = kTLFvf) {
        GuardedBytes bytes(vertices.data(), vertices.size() * sizeof(V));
        swr::VertexStream stream{bytes.data(), bytes.size(), sizeof(V), fvf};
        return DrawStream(type, stream, primitives);
    }

    // Draws at once, or through the queue given to Queue (the vertices may go as soon
    // as this returns: they are read while the draw is recorded).
    bool DrawStream(D3DPRIMITIVETYPE type, const swr::VertexStream &stream, uint32_t primitives) {
        if (queue_) return queue_->DrawPrimitive(state, color, DepthPtr(), type, stream, 0, primitives);
        return swr::DrawPrimitive(state, color, DepthPtr(), type, stream, 0, primitives);
    }
    // Draws go through `queue` from now on (null: at once again); Settle flushes it.
    void Queue(swr::DrawQueue *queue) { queue_ = queue; }
    void Settle() {
        if (queue_) queue_->Flush();
    }

    // Where an indexed draw's positions start and what it announces: each index plus
    // `base`, from index `start` on, vertices [min, min + count) (all when count is 0).
    struct IndexedRange {
        uint32_t base = 0, start = 0, min = 0, count = 0;
    };
    // Draws at once, or through the queue given to Queue (both streams may go as soon as
    // this returns).
    template <typename V, typename I>
    bool DrawIndexed(D3DPRIMITIVETYPE type, const std::vector<V> &vertices, const std::vector<I> &indices,
                     uint32_t primitives, DWORD fvf = kTLFvf, IndexedRange range = {}) {
        GuardedBytes vb(vertices.data(), vertices.size() * sizeof(V));
        GuardedBytes ib(indices.data(), indices.size() * sizeof(I));
        swr::VertexStream stream{vb.data(), vb.size(), sizeof(V), fvf};
        swr::IndexStream istream{ib.data(), ib.size(), sizeof(I) == 4};
        const uint32_t count = range.count ? range.count : static_cast<uint32_t>(vertices.size());
        if (queue_) {
            return queue_->DrawIndexedPrimitive(state, color, DepthPtr(), type, stream, istream, range.base,
                                                range.min, count, range.start, primitives);
        }
        return swr::DrawIndexedPrimitive(state, color, DepthPtr(), type, stream, istream, range.base, range.min,
                                         count, range.start, primitives);
    }

    swr::DrawState state{};
    swr::ColorTarget color;
    swr::DepthTarget depth;

private:
    swr::DepthTarget *DepthPtr() { return depth.bits ? &depth : nullptr; }
    swr::DrawQueue *queue_ = nullptr;
    std::vector<uint32_t> pixels_;
    std::vector<uint32_t> depthWords_;
    swr::CoarseDepth coarse_;
};

// Additive blending of a colour of 1 makes each pixel count how often it was drawn.
inline void CountCoverage(Scene &s) {
    s.SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    s.SetState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    s.SetState(D3DRS_DESTBLEND, D3DBLEND_ONE);
}

// Screen-space vertex with a colour and one 2D coordinate set.
struct TexVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD kTexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// A texture in memory: levels (faces after one another for a cube) of raw bytes, each
// with a slot for the rasteriser's 32-bit copy as the device gives it, and the view the
// rasteriser samples.
class TestTexture {
public:
    // Any format: raw level bytes with their size and pitch.
    TestTexture(D3DFORMAT format, bool cube = false) : format_(format), cube_(cube) {}
    void AddLevel(uint32_t width, uint32_t height, uint32_t pitch, std::vector<uint8_t> bytes) {
        bytes_.push_back(std::move(bytes));
        copies_.push_back(std::make_unique<swr::TexelCopy>());
        levels_.push_back(swr::TextureLevel{width, height, pitch, nullptr, nullptr});
        for (size_t i = 0; i < levels_.size(); ++i) {
            levels_[i].bits = bytes_[i].data();
            levels_[i].copy = withoutCopies_ ? nullptr : copies_[i].get();
        }
    }
    // A level of 32-bit texels, row by row.
    void AddLevel(uint32_t width, uint32_t height, const std::vector<uint32_t> &texels) {
        std::vector<uint8_t> bytes(texels.size() * 4);
        std::memcpy(bytes.data(), texels.data(), bytes.size());
        AddLevel(width, height, width * 4, std::move(bytes));
    }
    // No level has a copy slot (as the device's large 32-bit levels and those drawn
    // into): the span routines read its 32-bit levels where they lie.
    void WithoutCopySlots() {
        withoutCopies_ = true;
        for (swr::TextureLevel &l : levels_) l.copy = nullptr;
    }
    // Writable bits of a level: its copy is dropped, as the device does on a lock.
    uint8_t *Bits(size_t level) {
        copies_[level]->Drop();
        return bytes_[level].data();
    }
    swr::TexelCopy &Copy(size_t level) { return *copies_[level]; }
    swr::TextureView View() const {
        const uint32_t count = static_cast<uint32_t>(cube_ ? levels_.size() / 6 : levels_.size());
        return swr::TextureView{format_, count, cube_, levels_.data()};
    }

private:
    D3DFORMAT format_;
    bool cube_;
    bool withoutCopies_ = false;
    std::vector<std::vector<uint8_t>> bytes_;
    std::vector<std::unique_ptr<swr::TexelCopy>> copies_;
    std::vector<swr::TextureLevel> levels_;
};

// The program "tex t0; mul r0, t0, <by>0": stage 0's texel times the diffuse colour
// (PsReg::Input) or constant 0 (PsReg::Const).
inline swr::PixelShaderProgram TextureTimesProgram(swr::PsReg by) {
    swr::PixelShaderProgram program;
    program.version = 0x0101;
    program.count = 2;
    program.code[0].op = swr::PsOp::Tex;
    program.code[0].destType = swr::PsReg::Texture;
    program.code[1].op = swr::PsOp::Mul;
    program.code[1].sourceCount = 2;
    program.code[1].src[0].type = swr::PsReg::Texture;
    program.code[1].src[1].type = by;
    program.sampledStages = 1;
    return program;
}

// Stage 0 shows its texture alone: colour and alpha select the texture.
inline void ShowTexture(swr::DrawState &state, const swr::TextureView &view) {
    state.textures[0] = view;
    DWORD *ts = state.stageStates[0];
    ts[D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
}

// A screen-aligned rectangle whose corners carry the given coordinates: with pixel
// centres on integers, [x0 - 0.5, x1 - 0.5) covers pixels x0 .. x1 - 1.
inline std::vector<TexVertex> TexQuad(float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1,
                                      D3DCOLOR c = 0xFFFFFFFFu, float z = 0.0f) {
    return {{x0, y0, z, 1, c, u0, v0}, {x1, y0, z, 1, c, u1, v0}, {x1, y1, z, 1, c, u1, v1},
            {x0, y0, z, 1, c, u0, v0}, {x1, y1, z, 1, c, u1, v1}, {x0, y1, z, 1, c, u0, v1}};
}

// Two triangles covering the axis-aligned rectangle [x0, x1) x [y0, y1).
// What each compare function answers for a tested value below, equal to and
// above its reference (depth, stencil and alpha tests share the functions).
struct CompareCase {
    DWORD func;
    bool below, equal, above;
};
inline constexpr CompareCase kCompareCases[] = {
    {D3DCMP_NEVER, false, false, false},      {D3DCMP_LESS, true, false, false},
    {D3DCMP_EQUAL, false, true, false},       {D3DCMP_LESSEQUAL, true, true, false},
    {D3DCMP_GREATER, false, false, true},     {D3DCMP_NOTEQUAL, true, false, true},
    {D3DCMP_GREATEREQUAL, false, true, true}, {D3DCMP_ALWAYS, true, true, true},
};

inline std::vector<TLVertex> Quad(float x0, float y0, float x1, float y1, float z, D3DCOLOR c) {
    return {{x0, y0, z, 1, c}, {x1, y0, z, 1, c}, {x1, y1, z, 1, c},
            {x0, y0, z, 1, c}, {x1, y1, z, 1, c}, {x0, y1, z, 1, c}};
}

}  // namespace swrtest
