// Depths that lie at the rounding boundaries of a format (z * max within a few float steps
// of an integer and a half) are stored by the span routines as the scalar QuantizeDepth
// stores them, at every vector width, in 16- and 24-bit depth; and a deliberate error in
// the vector rounding (the sum rounded to the nearest float before it is cut) shows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/d3d8/swr/swr_depth_stencil.h"
#include "platform/d3d8/swr/swr_fast_triangle.h"
#include "swr_span_settings.h"
#include "swr_test_scene.h"

namespace swr_depth_rounding_test {

namespace {

using swrtest::Fault;
using swrtest::Quad;
using swrtest::Scene;
using swrtest::Width;
using swrtest::Widths;

struct Format {
    D3DFORMAT format;
    uint32_t bits, shift;
};
constexpr Format kFormats[] = {{D3DFMT_D16, 16, 0}, {D3DFMT_D24X8, 24, 8}};

// Floats around (k + 1/2) / max for integers k across the format's range: the nearest
// float and the three on either side of it.
std::vector<float> BoundaryDepths(uint32_t bits) {
    const uint32_t max = (uint32_t{1} << bits) - 1u;
    std::vector<uint32_t> ks{0, 1, 2, 3, 127, 128, 255, 256, 4095, max / 3, max / 2 - 1, max / 2, max / 2 + 1,
                             max - 3, max - 2, max - 1};
    for (uint32_t i = 1; i < 64; ++i) ks.push_back(static_cast<uint32_t>((uint64_t{max} * i * 37 / 64) % max));
    std::vector<float> depths;
    for (uint32_t k : ks) {
        float z = static_cast<float>((k + 0.5) / max);
        for (int step = 0; step < 3; ++step) z = std::nextafter(z, 0.0f);
        for (int step = 0; step < 7; ++step, z = std::nextafter(z, 2.0f)) depths.push_back(z);
    }
    return depths;
}

// The depth a quad at `z` leaves in a fresh target of `f`.
uint32_t StoredDepth(const Format &f, float z) {
    Scene s(4, 2, D3DFMT_A8R8G8B8, f.format);
    s.ClearDepthStencil(1.0f, 0);
    EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 4, 2, z, 0xFFFFFFFFu), 2));
    return s.DepthWord(1, 1) >> f.shift;
}

}  // namespace

TEST(DepthRounding, BoundaryDepthsAreStoredAsQuantizeDepthStoresThemAtEveryWidth) {
    for (const Format &f : kFormats) {
        const std::vector<float> depths = BoundaryDepths(f.bits);
        for (uint32_t lanes : Widths()) {
            Width width(lanes);
            for (float z : depths) {
                ASSERT_EQ(StoredDepth(f, z), swr::QuantizeDepth(z, f.bits))
                    << "z " << z << " (" << f.bits << " bits, " << lanes << " lanes)";
            }
        }
    }
}

TEST(DepthRounding, ADeliberateRoundingErrorShowsAtEveryWidth) {
    for (const Format &f : kFormats) {
        const std::vector<float> depths = BoundaryDepths(f.bits);
        for (uint32_t lanes : Widths()) {
            Width width(lanes);
            Fault wrong(swr::kSpanFaultDepthRound);
            bool seen = false;
            for (float z : depths) seen |= StoredDepth(f, z) != swr::QuantizeDepth(z, f.bits);
            EXPECT_TRUE(seen) << f.bits << " bits, " << lanes << " lanes";
        }
    }
}

}  // namespace swr_depth_rounding_test
