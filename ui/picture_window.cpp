// Where an interface picture lets a view show (see picture_window.h).
#include "ui/picture_window.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "rwim2d.h"
#include "rwsdk/driver/d3d8/d3d8raster.h"

namespace {

// Pixels added around the window on every side, over the filter's reach: the quad's
// texture coordinates are interpolated in floats.
constexpr float kMarginPixels = 2.0f;

}  // namespace

PictureWindow FindPictureWindow(RwRaster *raster)
{
    PictureWindow w;
    if (raster == nullptr || (RwRasterGetFormat(raster) & rwRASTERFORMATPIXELFORMATMASK) != rwRASTERFORMAT8888) {
        return w;
    }
    const RwUInt8 *bits = RwRasterLock(raster, 0, rwRASTERLOCKREAD);
    if (bits == nullptr) {
        return w;
    }
    w.width = RwRasterGetWidth(raster);
    w.height = RwRasterGetHeight(raster);
    const RwInt32 stride = RwRasterGetStride(raster);
    w.x0 = w.width;
    w.y0 = w.height;
    for (int32_t y = 0; y < w.height; ++y) {
        const RwUInt8 *row = bits + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int32_t x = 0; x < w.width; ++x) {
            uint32_t texel;
            std::memcpy(&texel, row + static_cast<size_t>(x) * 4, 4);
            if ((texel >> 24) != 0xFFu) {
                w.x0 = std::min(w.x0, x);
                w.x1 = std::max(w.x1, x + 1);
                w.y0 = std::min(w.y0, y);
                w.y1 = std::max(w.y1, y + 1);
            }
        }
    }
    RwRasterUnlock(raster);
    w.known = true;
    w.empty = w.x0 == w.width;  // no texel moved it
    return w;
}

bool PictureWindowOnScreen(const PictureWindow &window, const RwIm2DVertex *quad, int32_t screenWidth,
                           int32_t screenHeight, int32_t out[4])
{
    if (!window.known) {
        return false;
    }
    const float sx0 = quad[0].x, sy0 = quad[0].y, sx1 = quad[3].x, sy1 = quad[3].y;
    const float u0 = quad[0].u, v0 = quad[0].v, u1 = quad[3].u, v1 = quad[3].v;
    // A corner less than opaque lets the view through everywhere.
    for (int i = 0; i < 4; ++i) {
        if ((quad[i].emissiveColor >> 24) != 0xFFu) {
            return false;
        }
    }
    if (!(sx0 <= 0.0f && sy0 <= 0.0f && sx1 >= static_cast<float>(screenWidth) &&
          sy1 >= static_cast<float>(screenHeight) && u1 > u0 && v1 > v0)) {
        return false;
    }
    if (window.empty) {
        out[0] = out[1] = out[2] = out[3] = 0;
        return true;
    }
    // A pixel whose centre samples at texel coordinate t (t - 0.5 between the two texels
    // it weighs) reads texel columns floor(t - 0.5) and the next: the window's columns
    // reach the pixels whose t lies in (x0 - 0.5, x1 + 0.5).
    const auto span = [](float s0, float s1, float t0, float t1, int32_t size, int32_t first, int32_t past,
                         int32_t screen, int32_t *lo, int32_t *hi) {
        const auto at = [&](float texel) {
            const float t = texel / static_cast<float>(size);
            return s0 + (t - t0) / (t1 - t0) * (s1 - s0);
        };
        *lo = std::clamp(static_cast<int32_t>(std::floor(at(static_cast<float>(first) - 0.5f) - kMarginPixels)), 0,
                         screen);
        *hi = std::clamp(static_cast<int32_t>(std::ceil(at(static_cast<float>(past) + 0.5f) + kMarginPixels)), 0,
                         screen);
    };
    span(sx0, sx1, u0, u1, window.width, window.x0, window.x1, screenWidth, &out[0], &out[2]);
    span(sy0, sy1, v0, v1, window.height, window.y0, window.y1, screenHeight, &out[1], &out[3]);
    return true;
}
