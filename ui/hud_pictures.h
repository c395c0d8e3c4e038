// What the overlay's pictures share: quads placed in the 640 x 480 virtual
// screen, textured ones cut from the 512 x 512 PLAYER atlas by atlas
// pixels, the three digit sets the panels and counters cut from it, and
// the colours they are drawn in.
#pragma once

#include <cstdint>

#include "ui/ui_quad.h"

// A rectangle of the PLAYER atlas in its pixels (left, top, right, bottom).
struct AtlasRect {
    float s0, t0, s1, t1;
};

// "White" of the overlay: (240, 240, 240) at alpha 255.
inline constexpr uint32_t kHudWhite = 0xFFF0F0F0u;
inline constexpr uint32_t kHudBlack = 0xFF000000u;

inline uint32_t HudArgb(uint8_t a, uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
}

// An untextured quad: positions, the whole source and a colour.
void PlacePlainQuad(UIQuad *quad, float x0, float y0, float x1, float y1, uint32_t argb);
// A quad cut from the atlas.
void PlaceAtlasQuad(UIQuad *quad, float x0, float y0, float x1, float y1, const AtlasRect &source, uint32_t argb);
// Only the right edge of a quad moves (a bar's length).
void SetQuadRight(UIQuad *quad, float x1);

// The digit sets of the PLAYER atlas: small (the money counter), large
// (the hit counter) and count (the quick item's count).
enum class HudDigits { kSmall, kLarge, kCount };
// Digit d's picture; a value outside 0..9 takes the whole atlas.
AtlasRect HudDigitCell(HudDigits set, int32_t digit);
// The whole atlas as texture coordinates, in atlas pixels.
inline constexpr AtlasRect kWholeAtlas = {0.0f, 0.0f, 512.0f, 512.0f};
