// 8-bit-per-channel colour arithmetic shared by lighting output, the stage combiner,
// fog and blending. Every operation rounds to nearest so that results can be worked
// out by hand: a product of two channels is round(a * b / 255).
#pragma once

#include <algorithm>
#include <cstdint>

#include "d3d8/d3d8types.h"

namespace swr {

struct Rgba8 {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 0;

    friend bool operator==(const Rgba8 &, const Rgba8 &) = default;
};

// Exact round(x / 255) for any non-negative x that fits in 32 bits; x / 255 never has
// a fractional part of exactly one half, so adding 127 rounds to nearest.
inline uint32_t Div255Round(uint32_t x) { return (x + 127u) / 255u; }

inline uint8_t Mul8(uint32_t a, uint32_t b) { return static_cast<uint8_t>(Div255Round(a * b)); }

inline uint8_t Sat8(int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// A float colour channel in [0, 1] (clamped) to 8 bits, rounding to nearest.
inline uint8_t UnitToByte(float v) {
    if (!(v > 0.0f)) return 0;  // also catches NaN
    if (v >= 1.0f) return 255;
    return static_cast<uint8_t>(static_cast<int32_t>(v * 255.0f + 0.5f));
}

inline Rgba8 UnpackColor(D3DCOLOR c) {
    return Rgba8{static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                 static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 24)};
}

inline D3DCOLOR PackColor(Rgba8 c) {
    return (static_cast<uint32_t>(c.a) << 24) | (static_cast<uint32_t>(c.r) << 16) |
           (static_cast<uint32_t>(c.g) << 8) | c.b;
}

}  // namespace swr
