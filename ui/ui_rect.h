// Rectangles of the 640 x 480 interface screen and of a picture, and the
// few ways the screens place and draw a quad from them: a picture's source
// in 512ths (or in other units, by the picture's size), a screen
// rectangle, and one colour on all corners.
#pragma once

#include <cstdint>

#include "ui/ui_quad.h"

inline constexpr uint32_t kUIPictureColour = 0xFFF0F0F0u;  // grey 240, opaque

struct UIRect {
    float x0, y0, x1, y1;
};

// The whole 640 x 480 screen, and the whole of a 512 x 512 picture.
inline constexpr UIRect kUIScreen = {0, 0, 640, 480};
inline constexpr UIRect kUIWholePicture = {0, 0, 512, 512};

// Where a piece of a picture goes: screen rectangle, then source rectangle.
struct UIPlaced {
    UIRect screen;
    UIRect source;
};

// The quad at `screen` with `source` divided by (sourceWidth, sourceHeight).
inline void PlaceUIQuad(UIQuad *quad, const UIRect &screen, const UIRect &source, uint32_t argb = kUIPictureColour,
                        float sourceWidth = 512.0f, float sourceHeight = 512.0f)
{
    SetQuadPositions(quad->v, screen.x0, screen.y0, screen.x1, screen.y1);
    SetQuadUVs(quad->v, source.x0 / sourceWidth, source.y0 / sourceHeight, source.x1 / sourceWidth,
               source.y1 / sourceHeight);
    SetQuadArgb(quad->v, argb);
}

// The quad at (x0, y0)-(x1, y1) with its source (s0, t0)-(s1, t1) in 512ths.
inline void PlaceUIQuad(UIQuad *quad, float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1,
                        uint32_t argb = kUIPictureColour)
{
    SetQuadPositions(quad->v, x0, y0, x1, y1);
    SetQuadUVs512(quad->v, s0, t0, s1, t1);
    SetQuadArgb(quad->v, argb);
}

// The quad at `screen` in one colour, drawn with no texture (its source is
// never read, so none is set).
inline void PlaceUntexturedQuad(UIQuad *quad, const UIRect &screen, uint32_t argb)
{
    SetQuadPositions(quad->v, screen.x0, screen.y0, screen.x1, screen.y1);
    SetQuadArgb(quad->v, argb);
}

inline void DrawPlaced(const UIPlaced &placed, const RwTexture *texture, uint32_t argb = kUIPictureColour,
                       float sourceWidth = 512.0f, float sourceHeight = 512.0f)
{
    UIQuad quad;
    PlaceUIQuad(&quad, placed.screen, placed.source, argb, sourceWidth, sourceHeight);
    DrawUIQuad(quad, texture);
}

// An untextured quad of one colour.
inline void DrawUntexturedRect(const UIRect &screen, uint32_t argb)
{
    UIQuad quad;
    PlaceUIQuad(&quad, screen, {0, 0, 512, 512}, argb);
    DrawUIQuad(quad.v, nullptr);
}

// ARGB of grey 240 with `alpha`.
inline uint32_t PictureArgb(uint32_t alpha) { return (alpha > 255 ? 255u : alpha) << 24 | 0x00F0F0F0u; }

