// Where an interface picture drawn over a 3D view lets the view show: the texels of its
// texture that are not wholly opaque, and the screen pixels a quad draws from them. A
// screen that draws a view only to cover most of it with such a picture (the character
// selection's sky behind its page) draws the view inside those pixels alone; elsewhere
// the picture's opaque texels, blended over it, give the same pixels whatever lay below.
#pragma once

#include <cstdint>

#include "rwcore.h"

struct PictureWindow {
    bool known = false;  // false: the texture could not be read (draw the view everywhere)
    bool empty = true;   // no texel lets anything through
    // The texels that do, a rectangle of columns [x0, x1) and rows [y0, y1), of a
    // texture of width x height texels.
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int32_t width = 0, height = 0;
};

// Reads the texture's top level; only 8888 textures are read, others stay unknown.
PictureWindow FindPictureWindow(RwRaster *raster);

// The screen pixels (x2 and y2 just past them) that a quad (corners 0 top left and 3
// bottom right, its u and v running with x and y) draws from the window's texels through
// a bilinear filter, with a margin: outside them the quad's picture hides the view. False
// when the quad does not cover the whole `screenWidth` x `screenHeight` screen, a corner's
// colour is less than opaque or the window is unknown (the view is then to be drawn
// everywhere).
bool PictureWindowOnScreen(const PictureWindow &window, const RwIm2DVertex *quad, int32_t screenWidth,
                           int32_t screenHeight, int32_t out[4]);
