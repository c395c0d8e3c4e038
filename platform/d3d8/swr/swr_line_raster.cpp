// Line stepping and point placement. Values along a line are interpolated
// perspective-correctly from its two ends.
#include "swr_line_raster.h"

#include <algorithm>
#include <cmath>

namespace swr {
namespace {

constexpr float kMaxLineCoordinate = 1 << 20;

bool Finite(const ScreenVertex &v) {
    return std::fabs(v.x) < kMaxLineCoordinate && std::fabs(v.y) < kMaxLineCoordinate;
}

bool Inside(const PixelRect &r, int64_t x, int64_t y) { return x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1; }

void Emit(const ScreenVertex &a, const ScreenVertex &b, float t, int32_t x, int32_t y, const RasterContext &ctx) {
    float var[kMaxVaryings];
    const float z = a.z + (b.z - a.z) * t;
    const float rhw = a.rhw + (b.rhw - a.rhw) * t;
    const bool perspective = a.rhw != b.rhw;
    for (uint32_t k = 0; k < ctx.varyingCount; ++k) {
        var[k] = perspective ? (a.var[k] * a.rhw + (b.var[k] * b.rhw - a.var[k] * a.rhw) * t) / rhw
                             : a.var[k] + (b.var[k] - a.var[k]) * t;
    }
    Fragment f = MakeFragment(ctx, x, y, z, 1.0f / rhw, var);
    SetCoordsFromVaryings(ctx, var, f);
    ctx.pixels->Process(f);
}

}  // namespace

void RasterizeLine(const ScreenVertex &a, const ScreenVertex &b, const RasterContext &ctx, const PixelRect &region) {
    if (!Finite(a) || !Finite(b)) return;
    const double dx = double{b.x} - a.x, dy = double{b.y} - a.y;
    const bool xMajor = std::fabs(dx) >= std::fabs(dy);
    const double major = xMajor ? dx : dy;
    if (major == 0.0) {
        // Both ends on one point: only the last pixel can be drawn.
        if (ctx.lastPixel) RasterizePoint(b, ctx, region);
        return;
    }
    // Work along the major axis with coordinates flipped so that they grow.
    const double sign = major > 0 ? 1.0 : -1.0;
    const double start = (xMajor ? a.x : a.y) * sign, end = (xMajor ? b.x : b.y) * sign;
    const double minorStart = xMajor ? a.y : a.x;
    const double slope = (xMajor ? dy : dx) / major * sign;  // minor change per major step
    int64_t first = static_cast<int64_t>(std::ceil(start));
    int64_t last = static_cast<int64_t>(std::ceil(end)) - 1;
    if (ctx.lastPixel) last = std::max<int64_t>(last, static_cast<int64_t>(std::floor(end + 0.5)));
    // Skip the steps that fall outside the region along the major axis.
    const int64_t regionLo = xMajor ? region.x0 : region.y0, regionHi = int64_t{xMajor ? region.x1 : region.y1} - 1;
    first = std::max(first, sign > 0 ? regionLo : -regionHi);
    last = std::min(last, sign > 0 ? regionHi : -regionLo);
    const double length = end - start;
    for (int64_t i = first; i <= last; ++i) {
        const double along = static_cast<double>(i) - start;
        const int64_t minor = static_cast<int64_t>(std::floor(minorStart + along * slope + 0.5));
        const int64_t majorPixel = static_cast<int64_t>(i * sign);
        const int64_t x = xMajor ? majorPixel : minor, y = xMajor ? minor : majorPixel;
        if (!Inside(region, x, y)) continue;
        float t = static_cast<float>(along / length);
        t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
        Emit(a, b, t, static_cast<int32_t>(x), static_cast<int32_t>(y), ctx);
    }
}

void RasterizePoint(const ScreenVertex &p, const RasterContext &ctx, const PixelRect &region) {
    if (!Finite(p)) return;
    const int64_t x = static_cast<int64_t>(std::floor(double{p.x} + 0.5));
    const int64_t y = static_cast<int64_t>(std::floor(double{p.y} + 0.5));
    if (!Inside(region, x, y)) return;
    Fragment f = MakeFragment(ctx, static_cast<int32_t>(x), static_cast<int32_t>(y), p.z, 1.0f / p.rhw, p.var);
    SetCoordsFromVaryings(ctx, p.var, f);
    ctx.pixels->Process(f);
}

}  // namespace swr
