// Primitive rendering: trivially accepted primitives skip the clipper; a clipped
// triangle comes back as a convex polygon and is drawn as a fan, whose pieces share
// edges and so, under the fill rule, cover each pixel once.
#include "swr_primitive_renderer.h"

#include <emmintrin.h>
#include <xmmintrin.h>

#include <algorithm>
#include <cmath>

#include "swr_triangle_raster.h"

namespace swr {

void PrimitiveRenderer::Prepare(const DrawState &state, const PixelPipeline &pixels, bool screenSpace,
                                uint32_t varyingCount) {
    const DWORD *rs = state.renderStates;
    const D3DVIEWPORT8 &vp = state.viewport;
    screenSpace_ = screenSpace;
    clipper_.Prepare(vp, screenSpace, varyingCount);
    ctx_ = RasterContext{};
    ctx_.pixels = &pixels;
    ctx_.varyingCount = varyingCount;
    ctx_.lastPixel = rs[D3DRS_LASTPIXEL] != 0;
    ctx_.flat = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    // Table fog measures eye depth when the projection carries it into w (and for
    // screen-space vertices, whose 1/w gives it); an orthographic projection leaves w
    // at 1, so there it measures depth instead.
    ctx_.tableFogUsesW = screenSpace || state.projection._34 != 0.0f;
    for (uint32_t s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s) {
        if (!(pixels.SampledStages() & (1u << s))) continue;
        ctx_.coords[s] = MakeStageCoordLayout(state, s, pixels.StageSampler(s).IsCube());
        ctx_.coordStages = s + 1;
    }
    planes_ = ~uint64_t{0};
    if (fast_.Prepare(pixels, ctx_)) {
        ctx_.fast = &fast_;
        planes_ = fast_.Planes();
    }
    cullMode_ = rs[D3DRS_CULLMODE];
    fillMode_ = rs[D3DRS_FILLMODE];
    mapping_.Set(vp);
}

void PrimitiveRenderer::Project(const ClipVertex &in, ScreenVertex &out) const {
    mapping_.Map(in.pos, screenSpace_, out.x, out.y, out.z, out.rhw);
    for (uint32_t k = 0; k < ctx_.varyingCount; ++k) out.var[k] = in.var[k];
}

void PrimitiveRenderer::SetFlatColors(const ClipVertex &provoking) {
    if (!ctx_.flat) return;
    ctx_.flatDiffuse = VaryingColor(provoking.var + kVaryDiffuse);
    ctx_.flatSpecular = VaryingColor(provoking.var + kVarySpecular);
}

void PrimitiveRenderer::FillPolygon(const ScreenVertex *v, uint32_t count) {
    if (SolidFill()) {
        for (uint32_t i = 1; i + 1 < count; ++i) {
            TriangleSetup &out = bin_->NextTriangle(setup_);
            if (SetupTriangle(v[0], v[i], v[i + 1], cullMode_, ctx_.varyingCount, out, planes_)) bin_->AddTriangle(out, ctx_);
        }
        return;
    }
    // Point and wireframe fill still honour culling: the polygon's facing is that of
    // its first non-degenerate fan piece.
    bool facing = false, found = false;
    for (uint32_t i = 1; i + 1 < count && !found; ++i) {
        const double area = (double{v[i].x} - v[0].x) * (double{v[i + 1].y} - v[0].y) -
                            (double{v[i + 1].x} - v[0].x) * (double{v[i].y} - v[0].y);
        if (area == 0.0) continue;
        found = true;
        facing = !((cullMode_ == D3DCULL_CW && area > 0) || (cullMode_ == D3DCULL_CCW && area < 0));
    }
    if (!facing) return;
    for (uint32_t i = 0; i < count; ++i) {
        if (fillMode_ == D3DFILL_POINT) Point(v[i]);
        else AddLine(v[i], v[(i + 1) % count]);
    }
}

namespace {
// Rows a primitive may touch, widened by one on each side of its rounding; anything
// not finite ends up outside every band.
int32_t RowBound(float y, bool upper) {
    const double r = upper ? std::ceil(double{y}) + 1.0 : std::floor(double{y}) - 1.0;
    if (!(r > -1e9)) return upper ? INT32_MIN : INT32_MAX;
    return static_cast<int32_t>(std::min(r, 1e9));
}
}  // namespace

void PrimitiveRenderer::AddLine(const ScreenVertex &a, const ScreenVertex &b) {
    bin_->AddLine(a, b, RowBound(std::min(a.y, b.y), false), RowBound(std::max(a.y, b.y), true), ctx_);
}

void PrimitiveRenderer::Point(const ScreenVertex &p) {
    const double y = std::floor(double{p.y} + 0.5);
    if (!(std::fabs(y) < 1e9)) return;
    bin_->AddPoint(p, static_cast<int32_t>(y), ctx_);
}

void PrimitiveRenderer::Finish(CachedVertex &v) const {
    v.outcode = clipper_.Outcode(v.clip);
    if (v.outcode == 0) {
        mapping_.Map(v.clip.pos, screenSpace_, v.x, v.y, v.z, v.rhw);
        v.snapped = SnapToGrid(v.x, v.y, v.sx, v.sy);
    }
    v.finished = true;
}

void PrimitiveRenderer::FinishFour(CachedVertex *const *v, uint32_t count) const {
    if (screenSpace_) {
        for (uint32_t i = 0; i < count; ++i) Finish(*v[i]);
        return;
    }
    // Lanes past `count` repeat the first vertex. The positions are read whole and
    // turned into lanes x, y, z, w in registers (gathered element by element through
    // memory, each lane's first read waited for the stores before it).
    __m128 X = _mm_loadu_ps(v[0]->clip.pos), Y = _mm_loadu_ps(v[count > 1 ? 1 : 0]->clip.pos),
           Z = _mm_loadu_ps(v[count > 2 ? 2 : 0]->clip.pos), W = _mm_loadu_ps(v[count > 3 ? 3 : 0]->clip.pos);
    _MM_TRANSPOSE4_PS(X, Y, Z, W);
    PositionLanes lanes;
    _mm_store_ps(lanes.x, X);
    _mm_store_ps(lanes.y, Y);
    _mm_store_ps(lanes.z, Z);
    _mm_store_ps(lanes.w, W);
    FinishFour(v, count, lanes);
}

void PrimitiveRenderer::FinishFour(CachedVertex *const *v, uint32_t count, const PositionLanes &lanes) const {
    if (screenSpace_) {
        for (uint32_t i = 0; i < count; ++i) Finish(*v[i]);
        return;
    }
    const __m128 X = _mm_load_ps(lanes.x), Y = _mm_load_ps(lanes.y), Z = _mm_load_ps(lanes.z),
                 W = _mm_load_ps(lanes.w);
    alignas(16) uint32_t codes[4];
    clipper_.Outcodes(lanes.x, lanes.y, lanes.z, lanes.w, codes);
    // ScreenMapping::Map, its operations in the same order.
    const ScreenMapping &m = mapping_;
    const __m128 rhw = _mm_div_ps(_mm_set1_ps(1.0f), W);
    const __m128 one = _mm_set1_ps(1.0f);
    alignas(16) float sx[4], sy[4], sz[4], srhw[4];
    _mm_store_ps(sx, _mm_add_ps(_mm_set1_ps(m.x0), _mm_mul_ps(_mm_add_ps(one, _mm_mul_ps(X, rhw)), _mm_set1_ps(m.halfWidth))));
    _mm_store_ps(sy, _mm_add_ps(_mm_set1_ps(m.y0), _mm_mul_ps(_mm_sub_ps(one, _mm_mul_ps(Y, rhw)), _mm_set1_ps(m.halfHeight))));
    _mm_store_ps(sz, _mm_add_ps(_mm_set1_ps(m.minZ), _mm_mul_ps(_mm_mul_ps(Z, rhw), _mm_set1_ps(m.depthRange))));
    _mm_store_ps(srhw, rhw);
    alignas(16) int32_t gridX[4], gridY[4];
    const uint32_t snapped = SnapFourToGrid(sx, sy, gridX, gridY);
    for (uint32_t i = 0; i < count; ++i) {
        CachedVertex &c = *v[i];
        c.outcode = codes[i];
        if (c.outcode == 0) {
            c.x = sx[i], c.y = sy[i], c.z = sz[i], c.rhw = srhw[i];
            c.snapped = (snapped >> i) & 1u;
            if (c.snapped) c.sx = gridX[i], c.sy = gridY[i];
        }
        c.finished = true;
    }
}

void PrimitiveRenderer::FillTriangle(const SetupVertex v[3]) {
    if (SolidFill()) {
        TriangleSetup &out = bin_->NextTriangle(setup_);
        if (SetupTriangle(v[0], v[1], v[2], cullMode_, ctx_.varyingCount, out, planes_)) bin_->AddTriangle(out, ctx_);
        return;
    }
    ScreenVertex corners[3];
    for (int i = 0; i < 3; ++i) {
        corners[i].x = v[i].x, corners[i].y = v[i].y, corners[i].z = v[i].z, corners[i].rhw = v[i].rhw;
        for (uint32_t k = 0; k < ctx_.varyingCount; ++k) corners[i].var[k] = v[i].var[k];
    }
    FillPolygon(corners, 3);
}

void PrimitiveRenderer::Triangle(const CachedVertex &a, const CachedVertex &b, const CachedVertex &c,
                                 const ClipVertex &provoking) {
    const uint32_t ca = a.outcode, cb = b.outcode, cc = c.outcode;
    if (ca & cb & cc) return;
    if (ctx_.flat) SetFlatColors(provoking);
    if ((ca | cb | cc) == 0) {
        const SetupVertex corners[3] = {{a.x, a.y, a.z, a.rhw, a.clip.var, a.snapped, a.sx, a.sy},
                                        {b.x, b.y, b.z, b.rhw, b.clip.var, b.snapped, b.sx, b.sy},
                                        {c.x, c.y, c.z, c.rhw, c.clip.var, c.snapped, c.sx, c.sy}};
        FillTriangle(corners);
        return;
    }
    ScreenVertex screen[kMaxClippedVertices];
    ClipVertex clipped[kMaxClippedVertices];
    const uint32_t count = clipper_.ClipTriangle(a.clip, b.clip, c.clip, clipped);
    for (uint32_t i = 0; i < count; ++i) Project(clipped[i], screen[i]);
    FillPolygon(screen, count);
}

void PrimitiveRenderer::Line(const ClipVertex &a, const ClipVertex &b, const ClipVertex &provoking) {
    ClipVertex ca = a, cb = b;
    if (!clipper_.ClipLine(ca, cb)) return;
    SetFlatColors(provoking);
    ScreenVertex sa, sb;
    Project(ca, sa);
    Project(cb, sb);
    AddLine(sa, sb);
}

void PrimitiveRenderer::Point(const ClipVertex &p) {
    if (clipper_.Outcode(p)) return;
    SetFlatColors(p);
    ScreenVertex s;
    Project(p, s);
    Point(s);
}

}  // namespace swr
