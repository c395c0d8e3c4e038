// Point sprites: each point is processed on the calling thread into a square on screen
// and a fragment template holding what its pixels share; the squares are then drawn
// band by band (over the worker threads when there are many pixels), every band taking
// the squares in draw order, so the pixels never depend on the threads.
#include "swr_point_sprite.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "swr_fog.h"
#include "swr_math.h"
#include "swr_raster_common.h"
#include "swr_thread_pool.h"
#include "swr_vertex_layout.h"

namespace swr {
namespace {

constexpr int32_t kSubpixel = 256;
// Centres farther out than this are not drawn (their squares could not reach a target).
constexpr float kMaxCentre = 1 << 20;
constexpr int32_t kSpriteBandRows = 16;
constexpr uint64_t kSpriteParallelArea = 16384;

// Ceiling of n / kSubpixel for any sign.
int64_t CeilPixel(int64_t n) { return n >= 0 ? (n + kSubpixel - 1) / kSubpixel : -((-n) / kSubpixel); }

struct Sprite {
    PixelRect rect;           // covered pixels, already inside the scissor
    float left = 0, top = 0;  // the snapped top-left corner
    float invSize = 0;        // coordinate change per pixel
    Fragment base;            // colours, fog and depth of every pixel
};

// Everything that turns a processed vertex into a square.
class SpriteBuilder {
public:
    SpriteBuilder(const DrawState &state, const PixelPipeline &pixels, const VertexProcessor &processor,
                  const VertexStream &vertices)
        : pixels_(pixels), stream_(vertices) {
        DecodeVertexLayout(vertices.fvf, layout_);
        screenSpace_ = processor.Pretransformed();
        ctx_.pixels = &pixels;
        ctx_.varyingCount = processor.VaryingCount();
        ctx_.tableFogUsesW = screenSpace_ || state.projection._34 != 0.0f;
        const D3DVIEWPORT8 &vp = state.viewport;
        mapping_.Set(vp);
        size_ = StateFloat(state, D3DRS_POINTSIZE);
        minSize_ = StateFloat(state, D3DRS_POINTSIZE_MIN);
        maxSize_ = std::min(StateFloat(state, D3DRS_POINTSIZE_MAX), kMaxPointSpriteSize);
        scaled_ = !screenSpace_ && state.renderStates[D3DRS_POINTSCALEENABLE] != 0;
        if (scaled_) {
            worldView_ = Multiply(state.world, state.view);
            scaleA_ = StateFloat(state, D3DRS_POINTSCALE_A);
            scaleB_ = StateFloat(state, D3DRS_POINTSCALE_B);
            scaleC_ = StateFloat(state, D3DRS_POINTSCALE_C);
            viewportHeight_ = static_cast<float>(vp.Height);
        }
    }

    // False when the point draws nothing.
    bool Build(uint32_t index, const ClipVertex &v, Sprite &out) const {
        // A point behind the eye or outside the depth range draws nothing.
        if (!screenSpace_ && (!(v.pos[3] > 0.0f) || !(v.pos[2] >= 0.0f) || !(v.pos[2] <= v.pos[3]))) return false;
        float x, y, z, rhw;
        mapping_.Map(v.pos, screenSpace_, x, y, z, rhw);
        if (!(std::fabs(x) < kMaxCentre) || !(std::fabs(y) < kMaxCentre)) return false;
        const float size = Size(index);
        if (!(size > 0.0f)) return false;

        const int64_t l = std::llround(double{x - size * 0.5f} * kSubpixel);
        const int64_t t = std::llround(double{y - size * 0.5f} * kSubpixel);
        const int64_t r = std::llround(double{x + size * 0.5f} * kSubpixel);
        const int64_t b = std::llround(double{y + size * 0.5f} * kSubpixel);
        if (r <= l || b <= t) return false;
        const PixelRect covered{static_cast<int32_t>(CeilPixel(l)), static_cast<int32_t>(CeilPixel(t)),
                                static_cast<int32_t>(CeilPixel(r)), static_cast<int32_t>(CeilPixel(b))};
        out.rect = Intersect(covered, pixels_.Scissor());
        if (out.rect.Empty()) return false;
        out.left = static_cast<float>(l) / kSubpixel;
        out.top = static_cast<float>(t) / kSubpixel;
        out.invSize = static_cast<float>(kSubpixel) / static_cast<float>(r - l);
        out.base = MakeFragment(ctx_, 0, 0, z, 1.0f / rhw, v.var);
        return true;
    }

private:
    // The edge in pixels, clamped; NaN when the attenuation makes no sense.
    float Size(uint32_t index) const {
        const uint8_t *vertex = stream_.data + static_cast<size_t>(index) * stream_.stride;
        float size = size_;
        if (layout_.pointSize >= 0) std::memcpy(&size, vertex + layout_.pointSize, sizeof size);
        if (scaled_) {
            float p[3];
            std::memcpy(p, vertex + layout_.position, sizeof p);
            const Vec4 eye = TransformPoint(Vec3{p[0], p[1], p[2]}, worldView_);
            const float d = Length(Vec3{eye.x, eye.y, eye.z});
            const float attenuation = scaleA_ + scaleB_ * d + scaleC_ * d * d;
            // No attenuation at all leaves the size unbounded, so the clamps decide it.
            size = attenuation > 0.0f ? viewportHeight_ * size * std::sqrt(1.0f / attenuation)
                                      : (attenuation == 0.0f ? kMaxPointSpriteSize : NAN);
        }
        if (std::isnan(size)) return size;
        return std::min(std::max(size, minSize_), maxSize_);
    }

    const PixelPipeline &pixels_;
    VertexStream stream_;
    VertexLayout layout_;
    RasterContext ctx_;
    bool screenSpace_ = false;
    bool scaled_ = false;
    ScreenMapping mapping_;
    float size_ = 1, minSize_ = 0, maxSize_ = kMaxPointSpriteSize;
    float scaleA_ = 1, scaleB_ = 0, scaleC_ = 0, viewportHeight_ = 0;
    D3DMATRIX worldView_{};
};

void RasterizeSprite(const Sprite &s, const PixelRect &region, uint32_t sampledStages, const PixelPipeline &pixels) {
    const PixelRect r = Intersect(s.rect, region);
    Fragment f = s.base;
    for (uint32_t stage = 0; stage < D3D8_MAX_TEXTURE_STAGES; ++stage) {
        if (!(sampledStages & (1u << stage))) continue;
        f.tex[stage] = TexCoords{};
        f.tex[stage].ddx[0] = s.invSize;
        f.tex[stage].ddy[1] = s.invSize;
    }
    for (int32_t y = r.y0; y < r.y1; ++y) {
        const float v = (static_cast<float>(y) - s.top) * s.invSize;
        for (int32_t x = r.x0; x < r.x1; ++x) {
            const float u = (static_cast<float>(x) - s.left) * s.invSize;
            f.x = x;
            f.y = y;
            for (uint32_t stage = 0; stage < D3D8_MAX_TEXTURE_STAGES; ++stage) {
                if (!(sampledStages & (1u << stage))) continue;
                f.tex[stage].c[0] = u;
                f.tex[stage].c[1] = v;
            }
            pixels.Process(f);
        }
    }
}

}  // namespace

bool DrawPointSprites(const DrawState &state, const PixelPipeline &pixels, const VertexProcessor &processor,
                      const VertexStream &vertices, uint64_t count,
                      const std::function<uint64_t(uint64_t)> &vertexAt) {
    const SpriteBuilder builder(state, pixels, processor, vertices);
    thread_local std::vector<Sprite> callerSprites;
    std::vector<Sprite> &sprites = callerSprites;
    sprites.clear();
    uint64_t area = 0;
    ClipVertex v;
    Sprite sprite;
    for (uint64_t k = 0; k < count; ++k) {
        const uint64_t index = vertexAt(k);
        if (index >= processor.VertexCount() || !processor.Process(static_cast<uint32_t>(index), v)) continue;
        if (!builder.Build(static_cast<uint32_t>(index), v, sprite)) continue;
        area += uint64_t(sprite.rect.x1 - sprite.rect.x0) * uint64_t(sprite.rect.y1 - sprite.rect.y0);
        sprites.push_back(sprite);
    }
    if (sprites.empty()) return true;
    const PixelRect scissor = pixels.Scissor();
    const uint32_t sampled = pixels.SampledStages();
    if (area < kSpriteParallelArea) {
        for (const Sprite &s : sprites) RasterizeSprite(s, scissor, sampled, pixels);
        return true;
    }
    const uint32_t bands = static_cast<uint32_t>((scissor.y1 - scissor.y0 + kSpriteBandRows - 1) / kSpriteBandRows);
    RunJobs(bands, [&](uint32_t band) {
        PixelRect region = scissor;
        region.y0 = scissor.y0 + static_cast<int32_t>(band) * kSpriteBandRows;
        region.y1 = std::min(scissor.y1, region.y0 + kSpriteBandRows);
        for (const Sprite &s : sprites) {
            if (s.rect.y1 > region.y0 && s.rect.y0 < region.y1) RasterizeSprite(s, region, sampled, pixels);
        }
    });
    return true;
}

}  // namespace swr
