// The interface's 2D drawing: every picture, panel, bar and fade is a quad
// of four screen-space vertices (top left 0, top right 1, bottom left 2,
// bottom right 3) placed in 640 x 480 units and drawn as two triangles with
// the shared indices 0, 2, 1, 1, 2, 3. Positions are scaled to the client
// area only when a vertex is written, so a 640 x 480 client stores the
// virtual coordinates exactly.
#pragma once

#include <cstdint>

#include "rwcore.h"

struct UIQuad {
    RwIm2DVertex v[4];
};

// The one index list every quad is drawn with.
extern RwImVertexIndex g_uiQuadIndices[6];

// Every interface vertex stands at screen depth 0 with this reciprocal depth.
inline constexpr float kUIVertexRecipZ = 10.0f;

// `count` 4 writes all four corners, 3 corners 0 to 2 only; any other count
// writes nothing.
void SetQuadPositions(RwIm2DVertex *v, float x0, float y0, float x1, float y1, int count = 4);
void SetQuadUVs(RwIm2DVertex *v, float s0, float t0, float s1, float t1, int count = 4);
// The source turned a quarter: corner 0 (s0, t1), 1 (s0, t0), 2 (s1, t1), 3 (s1, t0).
void SetQuadUVsRotated(RwIm2DVertex *v, float s0, float t0, float s1, float t1, int count = 4);
void SetQuadColour(RwIm2DVertex *v, uint8_t a, uint8_t r, uint8_t g, uint8_t b, int count = 4);
void SetQuadArgb(RwIm2DVertex *v, uint32_t argb, int count = 4);
// The alpha of all four corners, each keeping its colour.
void SetQuadAlpha(RwIm2DVertex *v, uint8_t alpha);
// Source rectangle in 1/512 steps of a 512 x 512 atlas.
inline void SetQuadUVs512(RwIm2DVertex *v, float s0, float t0, float s1, float t1)
{
    SetQuadUVs(v, s0 / 512.0f, t0 / 512.0f, s1 / 512.0f, t1 / 512.0f);
}

// The texture's raster, null for no texture (drawn untextured).
RwRaster *GetTextureRaster(const RwTexture *texture);

// Sets the texture raster state to `raster` and draws the quad.
void DrawUIQuad(const RwIm2DVertex *v, RwRaster *raster);
// Draws with the raster state as the caller left it.
void DrawUIQuadKeepRaster(const RwIm2DVertex *v);
inline void DrawUIQuad(const UIQuad &quad, const RwTexture *texture) { DrawUIQuad(quad.v, GetTextureRaster(texture)); }

// Draws a quad that may lie partly off the 640 x 480 screen, its source
// rectangle cut with it (the caller's quad is not changed); nothing when it
// lies wholly outside. The raster state is the caller's.
void DrawClippedQuad(const RwIm2DVertex *v);
// The clipping alone: the part of the quad on screen into `clipped`
// (colours as they were); false when nothing of it is.
bool ClipUIQuad(const RwIm2DVertex *v, UIQuad *clipped);

// The render states of the interface pass: Gouraud, vertex alpha, no depth
// test or write, source-alpha blending, linear filter, clamped addressing.
void SetInterfaceRenderStates();
// Depth test and write on or off together.
void SetDepthTestAndWrite(bool on);

// A picture of the interface: its quad, source and screen rectangles and
// texture. Place() fills the quad from the rectangles; Draw() draws it
// with the texture's raster.
struct UIPicture {
    RwIm2DVertex *vertices = nullptr;
    float s0 = 0.0f, t0 = 0.0f, s1 = 0.0f, t1 = 0.0f;
    float top = 0.0f, bottom = 0.0f, left = 0.0f, right = 0.0f;
    RwTexture *texture = nullptr;

    void Place() const;
    void Draw() const;
};

// A picture with its own quad, created from rectangles: source in atlas
// pixels / 512 and screen (x0, y0)-(x1, y1); colour on all corners.
struct OwnedPicture {
    UIQuad quad = {};
    UIPicture picture;

    OwnedPicture() { picture.vertices = quad.v; }
    OwnedPicture(const OwnedPicture &) = delete;
    OwnedPicture &operator=(const OwnedPicture &) = delete;
    void Set(RwTexture *texture, float s0, float t0, float s1, float t1, float x0, float y0, float x1, float y1,
             uint32_t argb);
    // The same with the source in texture coordinates (an order from right
    // to left or bottom to top mirrors or flips it).
    void SetUV(RwTexture *texture, float s0, float t0, float s1, float t1, float x0, float y0, float x1, float y1,
               uint32_t argb);
};
