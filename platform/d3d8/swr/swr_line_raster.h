// Lines and points, one pixel wide.
//
// Lines step along their major axis (the one with the larger extent; x on a tie).
// They cover each column (or row) whose centre c satisfies start <= c < end along the
// direction of travel, with the pixel whose centre is nearest to the line there
// (a tie goes to the larger coordinate). With the last-pixel state on, the pixel
// holding the end point is covered too. A point covers the pixel whose centre is
// nearest to it, ties again to the larger coordinate. Sizes above one are not drawn
// larger.
#pragma once

#include "swr_pixel_pipeline.h"
#include "swr_raster_common.h"

namespace swr {

void RasterizeLine(const ScreenVertex &a, const ScreenVertex &b, const RasterContext &ctx, const PixelRect &region);
void RasterizePoint(const ScreenVertex &p, const RasterContext &ctx, const PixelRect &region);

}  // namespace swr
