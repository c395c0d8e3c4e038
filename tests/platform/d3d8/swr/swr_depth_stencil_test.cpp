// Depth and stencil: every compare function, every stencil operation, masks, and the
// stored values of each depth format.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "platform/d3d8/swr/swr_depth_stencil.h"
#include "swr_test_scene.h"

namespace swr_depth_stencil_test {

namespace {

using swrtest::CompareCase;
using swrtest::kCompareCases;
using swrtest::Quad;
using swrtest::Scene;

constexpr D3DCOLOR kWhite = 0xFFFFFFFFu;

// Draws a quad at depth `z` over a buffer cleared to 0.5; true when its colour landed.
bool DepthPasses(DWORD func, float z) {
    Scene s(4, 4, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    s.ClearDepthStencil(0.5f, 0);
    s.SetState(D3DRS_ZFUNC, func);
    EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 4, 4, z, kWhite), 2));
    return s.Pixel(2, 2) == kWhite;
}

TEST(DepthTest, EveryCompareFunctionAgainstNearerEqualAndFarther) {
    // Nearer is below the stored depth, farther above it.
    for (const CompareCase &c : kCompareCases) {
        EXPECT_EQ(DepthPasses(c.func, 0.25f), c.below) << c.func;
        EXPECT_EQ(DepthPasses(c.func, 0.5f), c.equal) << c.func;
        EXPECT_EQ(DepthPasses(c.func, 0.75f), c.above) << c.func;
    }
}

TEST(DepthTest, WritesFollowZWriteAndZEnable) {
    Scene s(4, 4, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    s.ClearDepthStencil(1.0f, 0x5A);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 4, 0.5f, kWhite), 2));
    // round(0.5 * (2^24 - 1)) = 0x800000 above the untouched stencil byte.
    EXPECT_EQ(s.DepthWord(1, 1), 0x8000005Au);
    s.SetState(D3DRS_ZWRITEENABLE, FALSE);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(2, 0, 4, 4, 0.25f, kWhite), 2));
    EXPECT_EQ(s.DepthWord(3, 1), 0xFFFFFF5Au);
    EXPECT_EQ(s.Pixel(3, 1), kWhite);
    // Depth disabled: a farther quad still draws, and nothing is written.
    s.SetState(D3DRS_ZWRITEENABLE, TRUE);
    s.SetState(D3DRS_ZENABLE, D3DZB_FALSE);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 4, 0.9f, 0xFF00FF00u), 2));
    EXPECT_EQ(s.Pixel(1, 1), 0xFF00FF00u);
    EXPECT_EQ(s.DepthWord(1, 1), 0x8000005Au);
}

TEST(DepthTest, EachFormatStoresRoundedDepth) {
    struct Case { D3DFORMAT format; uint32_t expected; };
    // z = 0.3f (0.30000001192...) scaled to each format's maximum and rounded:
    // D16 19660.5008 -> 19661; D24 5033164.70 -> 5033165 (shifted by 8);
    // D32 1288490239.7 -> 1288490240.
    const Case cases[] = {{D3DFMT_D16, 19661u}, {D3DFMT_D24X8, 5033165u << 8}, {D3DFMT_D32, 1288490240u}};
    for (const Case &c : cases) {
        Scene s(2, 2, D3DFMT_A8R8G8B8, c.format);
        s.ClearDepthStencil(1.0f, 0);
        ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 2, 0.3f, kWhite), 2));
        EXPECT_EQ(s.DepthWord(0, 0), c.expected) << c.format;
    }
}

TEST(DepthTest, ViewportDepthRangeMapsTransformedDepth) {
    Scene s(2, 2, D3DFMT_A8R8G8B8, D3DFMT_D16);
    s.ClearDepthStencil(1.0f, 0);
    s.state.viewport.MinZ = 0.25f;
    s.state.viewport.MaxZ = 0.75f;
    // Identity transforms: clip z 0.5 lands at 0.25 + 0.5 * 0.5 = 0.5 -> 32768.
    struct V { float x, y, z; D3DCOLOR c; };
    const std::vector<V> v{{-1, 1, 0.5f, kWhite}, {1, 1, 0.5f, kWhite}, {-1, -1, 0.5f, kWhite}, {1, -1, 0.5f, kWhite}};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLESTRIP, v, 2, D3DFVF_XYZ | D3DFVF_DIFFUSE));
    EXPECT_EQ(s.DepthWord(1, 1), 32768u);
}

// Stencil cleared to `initial`, one quad drawn with `func`/`ref`; returns the stencil byte.
struct StencilRun {
    DWORD func = D3DCMP_ALWAYS, fail = D3DSTENCILOP_KEEP, zfail = D3DSTENCILOP_KEEP, pass = D3DSTENCILOP_KEEP;
    DWORD ref = 0, mask = 0xFFFFFFFFu, writeMask = 0xFFFFFFFFu;
    uint32_t initial = 0;
    float z = 0.25f;  // the buffer's depth is 0.5
    bool colorWritten = false;

    uint32_t Run() {
        Scene s(2, 2, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
        s.ClearDepthStencil(0.5f, initial);
        s.SetState(D3DRS_STENCILENABLE, TRUE);
        s.SetState(D3DRS_STENCILFUNC, func);
        s.SetState(D3DRS_STENCILFAIL, fail);
        s.SetState(D3DRS_STENCILZFAIL, zfail);
        s.SetState(D3DRS_STENCILPASS, pass);
        s.SetState(D3DRS_STENCILREF, ref);
        s.SetState(D3DRS_STENCILMASK, mask);
        s.SetState(D3DRS_STENCILWRITEMASK, writeMask);
        EXPECT_TRUE(s.Draw(D3DPT_TRIANGLELIST, Quad(0, 0, 2, 2, z, kWhite), 2));
        colorWritten = s.Pixel(0, 0) == kWhite;
        return s.DepthWord(0, 0) & 0xFFu;
    }
};

TEST(StencilTest, EveryOperationIncludingWrapAndSaturation) {
    struct Case { DWORD op; uint32_t initial; uint32_t expected; };
    const Case cases[] = {
        {D3DSTENCILOP_KEEP, 5, 5},      {D3DSTENCILOP_ZERO, 5, 0},        {D3DSTENCILOP_REPLACE, 5, 7},
        {D3DSTENCILOP_INCRSAT, 5, 6},   {D3DSTENCILOP_INCRSAT, 255, 255}, {D3DSTENCILOP_DECRSAT, 5, 4},
        {D3DSTENCILOP_DECRSAT, 0, 0},   {D3DSTENCILOP_INVERT, 5, 250},    {D3DSTENCILOP_INCR, 255, 0},
        {D3DSTENCILOP_DECR, 0, 255},    {D3DSTENCILOP_INCR, 5, 6},        {D3DSTENCILOP_DECR, 5, 4},
    };
    for (const Case &c : cases) {
        StencilRun r;
        r.ref = 7;
        r.pass = c.op;
        r.initial = c.initial;
        EXPECT_EQ(r.Run(), c.expected) << "op " << c.op << " on " << c.initial;
    }
}

TEST(StencilTest, FailZFailAndPassPickTheirOperation) {
    StencilRun failing;  // stencil fails: no colour, fail op
    failing.func = D3DCMP_NEVER;
    failing.fail = D3DSTENCILOP_INCR;
    failing.zfail = D3DSTENCILOP_ZERO;
    failing.pass = D3DSTENCILOP_ZERO;
    failing.initial = 9;
    EXPECT_EQ(failing.Run(), 10u);
    EXPECT_FALSE(failing.colorWritten);

    StencilRun hidden = failing;  // stencil passes, depth fails
    hidden.func = D3DCMP_ALWAYS;
    hidden.fail = D3DSTENCILOP_ZERO;
    hidden.zfail = D3DSTENCILOP_DECR;
    hidden.z = 0.75f;
    EXPECT_EQ(hidden.Run(), 8u);
    EXPECT_FALSE(hidden.colorWritten);

    StencilRun visible = hidden;
    visible.zfail = D3DSTENCILOP_ZERO;
    visible.pass = D3DSTENCILOP_INVERT;
    visible.z = 0.25f;
    EXPECT_EQ(visible.Run(), 246u);
    EXPECT_TRUE(visible.colorWritten);
}

TEST(StencilTest, ReadMaskComparesMaskedReferenceAgainstMaskedValue) {
    // (ref & mask) LESS (stencil & mask): (0x13 & 0x0F) = 3 < (0x35 & 0x0F) = 5 passes;
    // unmasked, 0x13 < 0x35 also passes but 0x43 < 0x35 does not.
    StencilRun r;
    r.func = D3DCMP_LESS;
    r.pass = D3DSTENCILOP_ZERO;
    r.initial = 0x35;
    r.mask = 0x0F;
    r.ref = 0x43;
    EXPECT_EQ(r.Run(), 0u);
    EXPECT_TRUE(r.colorWritten);
    r.mask = 0xFF;
    EXPECT_EQ(r.Run(), 0x35u);
    EXPECT_FALSE(r.colorWritten);
}

TEST(StencilTest, WriteMaskKeepsUnmaskedBits) {
    StencilRun r;
    r.pass = D3DSTENCILOP_REPLACE;
    r.ref = 0xF7;
    r.writeMask = 0x0F;
    r.initial = 0x35;
    EXPECT_EQ(r.Run(), 0x37u);
}

// A row tested as a whole (four pixels at a time where the format allows) passes the
// same pixels and leaves the same words as testing pixel by pixel, for every format,
// compare function and write setting, ragged row lengths and odd depths included; the
// words past the row's end stay as they were.
TEST(DepthTest, WholeRowsMatchPixelByPixel) {
    std::mt19937 rng(5);
    const D3DFORMAT formats[] = {D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D16, D3DFMT_D32};
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(), -0.0f, -2.0f, 1.0f, 7.0f, 0.0f};
    for (D3DFORMAT format : formats) {
        for (DWORD func = D3DCMP_NEVER; func <= D3DCMP_ALWAYS; ++func) {
            for (int trial = 0; trial < 12; ++trial) {
                swr::DrawState state{};
                swr::SetDefaultStates(state, true);
                state.renderStates[D3DRS_ZFUNC] = func;
                state.renderStates[D3DRS_ZWRITEENABLE] = trial % 3 != 0;
                std::vector<uint32_t> byRow(16), byPixel(16);
                for (uint32_t &w : byRow) w = rng() % 3 == 0 ? 0xFFFFFFFFu : rng();
                byPixel = byRow;
                swr::DepthTarget rowTarget{16, 1, 64, format, reinterpret_cast<uint8_t *>(byRow.data())};
                swr::DepthTarget pixelTarget{16, 1, 64, format, reinterpret_cast<uint8_t *>(byPixel.data())};
                swr::DepthStencilUnit rowUnit, pixelUnit;
                ASSERT_TRUE(rowUnit.Prepare(state, &rowTarget));
                ASSERT_TRUE(pixelUnit.Prepare(state, &pixelTarget));
                float z[16];
                for (float &v : z) v = rng() % 6 == 0 ? odd[rng() % 6] : static_cast<float>(rng() % 1000) / 999.0f;
                const int32_t x = static_cast<int32_t>(rng() % 4), n = static_cast<int32_t>(rng() % (13 - x));
                bool pass[16] = {};
                // Pixels past the row but inside the target may be read, never changed.
                const int32_t reach = n + static_cast<int32_t>(rng() % static_cast<uint32_t>(16 - x - n + 1));
                const bool any = rowUnit.TestRow(x, 0, z, n, reach, pass);
                bool anyExpected = false;
                for (int32_t i = 0; i < n; ++i) {
                    const bool expected = pixelUnit.Test(x + i, 0, z[i]);
                    anyExpected |= expected;
                    ASSERT_EQ(pass[i], expected) << format << " " << func << " " << trial << " pixel " << i;
                }
                EXPECT_EQ(any, anyExpected);
                EXPECT_EQ(byRow, byPixel) << format << " " << func << " " << trial;
            }
        }
    }
}

TEST(StencilOps, SmallStencilFieldsWrapWithinTheirBits) {
    EXPECT_EQ(swr::ApplyStencilOp(D3DSTENCILOP_INCR, 15, 0, 4), 0u);
    EXPECT_EQ(swr::ApplyStencilOp(D3DSTENCILOP_INCRSAT, 15, 0, 4), 15u);
    EXPECT_EQ(swr::ApplyStencilOp(D3DSTENCILOP_INVERT, 1, 0, 1), 0u);
    EXPECT_EQ(swr::ApplyStencilOp(D3DSTENCILOP_REPLACE, 0, 0x1F, 4), 15u);
}

}  // namespace

}  // namespace swr_depth_stencil_test
