// The bitmap reader's commonest row conversion: pixels stored as blue, green, red bytes
// (three a pixel, or four with a byte that is not alpha) to opaque image colours. Whole
// groups of pixels go through one byte shuffle where the processor has one (SSSE3), the
// rest one by one; both give the same colours.
#pragma once

#include "rwimage.h"

// Converts `width` pixels `step` bytes apart (3 or 4) at `in` into `out`. Reads no
// byte past in[step * (width - 1) + 3].
void RtBmpBgrRowToColours(const RwUInt8 *in, RwUInt32 step, RwInt32 width, RwRGBA *out);
// The same, pixel by pixel only (what the shuffles must match).
void RtBmpBgrRowToColoursByPixel(const RwUInt8 *in, RwUInt32 step, RwInt32 width, RwRGBA *out);
