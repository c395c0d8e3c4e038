// Blending: every factor as source and as destination, the two "both" factors and
// every blend operation, against values worked out by hand.
#include <gtest/gtest.h>

#include "swr_test_scene.h"

namespace swr_blend_test {

namespace {

using swrtest::Quad;
using swrtest::Scene;

// Source (200, 100, 50, alpha 64) over destination (40, 80, 120, alpha 160).
constexpr D3DCOLOR kSource = 0x40C86432u;
constexpr D3DCOLOR kDest = 0xA0285078u;

uint32_t BlendOnePixel(DWORD src, DWORD dst, DWORD op = D3DBLENDOP_ADD, D3DFORMAT format = D3DFMT_A8R8G8B8) {
    Scene s(2, 2, format);
    s.FillPixels(kDest);
    s.SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    s.SetState(D3DRS_SRCBLEND, src);
    s.SetState(D3DRS_DESTBLEND, dst);
    s.SetState(D3DRS_BLENDOP, op);
    EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 2, 0, kSource), 2));
    return s.Pixel(1, 1);
}

struct FactorCase {
    DWORD factor;
    uint32_t asSourceOverOne;  // src factor, destination factor ONE
    uint32_t asDestUnderZero;  // source factor ZERO, this as destination factor
};

TEST(Blend, EveryFactorOnBothSides) {
    // Each channel is round((s * sf + d * df) / 255), clamped to 255.
    const FactorCase cases[] = {
        {D3DBLEND_ZERO, 0xA0285078u, 0x00000000u},
        {D3DBLEND_ONE, 0xE0F0B4AAu, 0xA0285078u},
        {D3DBLEND_SRCCOLOR, 0xB0C57782u, 0x281F1F18u},
        {D3DBLEND_INVSRCCOLOR, 0xD0538DA0u, 0x78093160u},
        {D3DBLEND_SRCALPHA, 0xB05A6985u, 0x280A141Eu},
        {D3DBLEND_INVSRCALPHA, 0xD0BE9B9Du, 0x781E3C5Au},
        {D3DBLEND_DESTALPHA, 0xC8A58F97u, 0x6419324Bu},
        {D3DBLEND_INVDESTALPHA, 0xB873758Bu, 0x3C0F1E2Du},
        {D3DBLEND_DESTCOLOR, 0xC8476F90u, 0x64061938u},
        {D3DBLEND_INVDESTCOLOR, 0xB8D19592u, 0x3C223740u},
        // min(source alpha, 1 - destination alpha) for colour, 1 for alpha.
        {D3DBLEND_SRCALPHASAT, 0xE05A6985u, 0xA00A141Eu},
    };
    for (const FactorCase &c : cases) {
        EXPECT_EQ(BlendOnePixel(c.factor, D3DBLEND_ONE), c.asSourceOverOne) << "source factor " << c.factor;
        EXPECT_EQ(BlendOnePixel(D3DBLEND_ZERO, c.factor), c.asDestUnderZero) << "destination factor " << c.factor;
    }
}

TEST(Blend, BothFactorsOverrideTheDestinationFactor) {
    // Source alpha 64: s * 64 + d * 191, and the inverse pairing; DESTBLEND is ignored.
    EXPECT_EQ(BlendOnePixel(D3DBLEND_BOTHSRCALPHA, D3DBLEND_ZERO), 0x88505566u);
    EXPECT_EQ(BlendOnePixel(D3DBLEND_BOTHINVSRCALPHA, D3DBLEND_ONE), 0x58A05F44u);
}

TEST(Blend, OperationsSubtractClampAndPickPerChannel) {
    EXPECT_EQ(BlendOnePixel(D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_SUBTRACT), 0x00A01400u);
    EXPECT_EQ(BlendOnePixel(D3DBLEND_ONE, D3DBLEND_ONE, D3DBLENDOP_REVSUBTRACT), 0x60000046u);
    // MIN and MAX ignore the factors.
    EXPECT_EQ(BlendOnePixel(D3DBLEND_ZERO, D3DBLEND_ZERO, D3DBLENDOP_MIN), 0x40285032u);
    EXPECT_EQ(BlendOnePixel(D3DBLEND_ZERO, D3DBLEND_ZERO, D3DBLENDOP_MAX), 0xA0C86478u);
}

TEST(Blend, TargetWithoutAlphaReadsDestinationAlphaAsOpaque) {
    // X8R8G8B8: destination alpha is 255, so INVDESTALPHA is 0 and the pixel keeps
    // only the source part: round(200 * 64 / 255) etc.; the alpha byte reads 0xFF.
    EXPECT_EQ(BlendOnePixel(D3DBLEND_SRCALPHA, D3DBLEND_INVDESTALPHA, D3DBLENDOP_ADD, D3DFMT_X8R8G8B8), 0xFF32190Du);
}

}  // namespace

}  // namespace swr_blend_test
