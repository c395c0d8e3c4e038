// Sutherland-Hodgman clipping. An edge is always cut by interpolating from its inside
// end towards its outside end, so two triangles sharing an edge cut it at exactly the
// same point and leave no crack.
#include "swr_clipper.h"

#include <emmintrin.h>

#include <algorithm>

namespace swr {
namespace {

// Homogeneous planes: near (z >= 0), far (z <= w), the four guard-band sides, and
// w > 0 for projections that do not keep w positive between near and far.
constexpr uint32_t kHomogeneousPlanes = 7;
constexpr uint32_t kScreenPlanes = 4;
static_assert(kHomogeneousPlanes <= Clipper::kMaxPlanes);
constexpr float kMinW = 1e-6f;

}  // namespace

void Clipper::Prepare(const D3DVIEWPORT8 &viewport, bool screenSpace, uint32_t varyingCount) {
    screenSpace_ = screenSpace;
    varyingCount_ = varyingCount;
    planeCount_ = screenSpace ? kScreenPlanes : kHomogeneousPlanes;
    const float width = std::max(1.0f, static_cast<float>(viewport.Width));
    const float height = std::max(1.0f, static_cast<float>(viewport.Height));
    guardX_ = 1.0f + 2.0f * kGuardBandPixels / width;
    guardY_ = 1.0f + 2.0f * kGuardBandPixels / height;
    left_ = static_cast<float>(viewport.X) - kGuardBandPixels;
    top_ = static_cast<float>(viewport.Y) - kGuardBandPixels;
    right_ = static_cast<float>(viewport.X) + width + kGuardBandPixels;
    bottom_ = static_cast<float>(viewport.Y) + height + kGuardBandPixels;
}

// Signed distances to every plane (negative outside), all at once: outcodes of every
// vertex need them all, and computing them together is cheaper than plane by plane.
void Clipper::Distances(const ClipVertex &v, float d[kMaxPlanes]) const {
    const float x = v.pos[0], y = v.pos[1], z = v.pos[2], w = v.pos[3];
    if (screenSpace_) {
        d[0] = x - left_, d[1] = right_ - x, d[2] = y - top_, d[3] = bottom_ - y;
        return;
    }
    d[0] = z, d[1] = w - z;
    d[2] = x + guardX_ * w, d[3] = guardX_ * w - x;
    d[4] = y + guardY_ * w, d[5] = guardY_ * w - y;
    d[6] = w - kMinW;
}

float Clipper::Distance(const ClipVertex &v, uint32_t plane) const {
    float d[kMaxPlanes];
    Distances(v, d);
    return d[plane];
}

uint32_t Clipper::Outcode(const ClipVertex &v) const {
    float d[kMaxPlanes];
    Distances(v, d);
    uint32_t code = 0;
    // Written so that NaN coordinates count as outside.
    for (uint32_t p = 0; p < planeCount_; ++p) code |= static_cast<uint32_t>(!(d[p] >= 0.0f)) << p;
    return code;
}

void Clipper::Outcodes(const float x[4], const float y[4], const float z[4], const float w[4],
                       uint32_t codes[4]) const {
    if (screenSpace_) {
        for (uint32_t i = 0; i < 4; ++i) {
            ClipVertex v;
            v.pos[0] = x[i], v.pos[1] = y[i], v.pos[2] = z[i], v.pos[3] = w[i];
            codes[i] = Outcode(v);
        }
        return;
    }
    // Distances's planes, a vertex to a lane.
    const __m128 X = _mm_loadu_ps(x), Y = _mm_loadu_ps(y), Z = _mm_loadu_ps(z), W = _mm_loadu_ps(w);
    const __m128 gx = _mm_mul_ps(_mm_set1_ps(guardX_), W), gy = _mm_mul_ps(_mm_set1_ps(guardY_), W);
    const __m128 d[kHomogeneousPlanes] = {Z,
                                          _mm_sub_ps(W, Z),
                                          _mm_add_ps(X, gx),
                                          _mm_sub_ps(gx, X),
                                          _mm_add_ps(Y, gy),
                                          _mm_sub_ps(gy, Y),
                                          _mm_sub_ps(W, _mm_set1_ps(kMinW))};
    __m128i code = _mm_setzero_si128();
    for (uint32_t p = 0; p < kHomogeneousPlanes; ++p) {
        // Not at or above zero, so that NaN counts as outside.
        const __m128i outside = _mm_castps_si128(_mm_cmpnge_ps(d[p], _mm_setzero_ps()));
        code = _mm_or_si128(code, _mm_and_si128(outside, _mm_set1_epi32(static_cast<int32_t>(1u << p))));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i *>(codes), code);
}

void Clipper::Lerp(const ClipVertex &in, const ClipVertex &outv, float t, ClipVertex &out) const {
    for (int i = 0; i < 4; ++i) out.pos[i] = in.pos[i] + (outv.pos[i] - in.pos[i]) * t;
    if (!screenSpace_) {
        for (uint32_t i = 0; i < varyingCount_; ++i) out.var[i] = in.var[i] + (outv.var[i] - in.var[i]) * t;
        return;
    }
    // Screen space: varyings are linear in clip space, i.e. v * rhw is linear on screen.
    const float ra = in.pos[3], rb = outv.pos[3];
    const float r = ra + (rb - ra) * t;
    if (!(r != 0.0f)) {
        for (uint32_t i = 0; i < varyingCount_; ++i) out.var[i] = in.var[i] + (outv.var[i] - in.var[i]) * t;
        return;
    }
    for (uint32_t i = 0; i < varyingCount_; ++i) {
        out.var[i] = (in.var[i] * ra + (outv.var[i] * rb - in.var[i] * ra) * t) / r;
    }
}

uint32_t Clipper::ClipTriangle(const ClipVertex &a, const ClipVertex &b, const ClipVertex &c,
                               ClipVertex out[kMaxClippedVertices]) const {
    ClipVertex bufferA[kMaxClippedVertices], bufferB[kMaxClippedVertices];
    ClipVertex *src = bufferA, *dst = bufferB;
    src[0] = a;
    src[1] = b;
    src[2] = c;
    uint32_t count = 3;
    const uint32_t codes = Outcode(a) | Outcode(b) | Outcode(c);
    for (uint32_t p = 0; p < planeCount_ && count > 0; ++p) {
        if (!(codes & (1u << p))) continue;
        uint32_t n = 0;
        for (uint32_t i = 0; i < count; ++i) {
            const ClipVertex &cur = src[i];
            const ClipVertex &next = src[(i + 1) % count];
            const float dc = Distance(cur, p), dn = Distance(next, p);
            const bool curIn = dc >= 0.0f, nextIn = dn >= 0.0f;
            if (curIn) dst[n++] = cur;
            if (curIn != nextIn && n < kMaxClippedVertices) {
                if (curIn) Lerp(cur, next, dc / (dc - dn), dst[n++]);
                else Lerp(next, cur, dn / (dn - dc), dst[n++]);
            }
        }
        std::swap(src, dst);
        count = n;
    }
    if (count < 3) return 0;
    std::copy(src, src + count, out);
    return count;
}

bool Clipper::ClipLine(ClipVertex &a, ClipVertex &b) const {
    const uint32_t codes = Outcode(a) | Outcode(b);
    for (uint32_t p = 0; p < planeCount_; ++p) {
        if (!(codes & (1u << p))) continue;
        const float da = Distance(a, p), db = Distance(b, p);
        const bool aIn = da >= 0.0f, bIn = db >= 0.0f;
        if (!aIn && !bIn) return false;
        if (aIn && bIn) continue;
        ClipVertex cut;
        if (aIn) {
            Lerp(a, b, da / (da - db), cut);
            b = cut;
        } else {
            Lerp(b, a, db / (db - da), cut);
            a = cut;
        }
    }
    return true;
}

}  // namespace swr
