// A 5 x 7 block font for labelling pictures the tools make: upper-case letters, digits
// and a little punctuation; anything else is left blank.
#pragma once

#include <cstdint>
#include <string>

namespace media {

// Draws `text` into 32-bit pixels (`pitch` values a row) with its top left at (x, y),
// each font dot `scale` pixels square; clipped to width x height.
void DrawBlockText(uint32_t *pixels, int width, int height, int pitch, int x, int y, int scale, uint32_t colour,
                   const std::string &text);

}  // namespace media
