// Sampling: texel-exact point sampling on screen, linear filtering and mip selection
// against values worked out by hand, every address mode at the texture's edges, cube
// faces, and the inline route against the general one.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <limits>
#include <random>

#include "platform/d3d8/swr/swr_sampler.h"
#include "platform/d3d8/swr/swr_span_plan.h"
#include "swr_test_scene.h"

namespace swr_sampler_test {

namespace {

using swr::Rgba8;
using swrtest::Scene;
using swrtest::TestTexture;

// Texel (x, y) of a level holds red x, green y, blue `level`, opaque.
std::vector<uint32_t> Ramp(uint32_t w, uint32_t h, uint32_t level) {
    std::vector<uint32_t> t(size_t{w} * h);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) t[y * w + x] = 0xFF000000u | (x << 16) | (y << 8) | level;
    }
    return t;
}

TestTexture RampChain(uint32_t size, uint32_t levels, D3DFORMAT format = D3DFMT_A8R8G8B8) {
    TestTexture t(format);
    for (uint32_t l = 0; l < levels; ++l) {
        const uint32_t s = std::max(1u, size >> l);
        t.AddLevel(s, s, Ramp(s, s, l));
    }
    return t;
}

struct StageSetup {
    DWORD mag = D3DTEXF_POINT, min = D3DTEXF_POINT, mip = D3DTEXF_NONE;
    DWORD u = D3DTADDRESS_WRAP, v = D3DTADDRESS_WRAP;
    DWORD border = 0, maxMip = 0;
    float bias = 0;
};

swr::Sampler MakeSampler(const swr::TextureView &view, const StageSetup &s) {
    swr::DrawState state{};
    swr::SetDefaultStates(state);
    state.textures[0] = view;
    DWORD *ts = state.stageStates[0];
    ts[D3DTSS_MAGFILTER] = s.mag;
    ts[D3DTSS_MINFILTER] = s.min;
    ts[D3DTSS_MIPFILTER] = s.mip;
    ts[D3DTSS_ADDRESSU] = s.u;
    ts[D3DTSS_ADDRESSV] = s.v;
    ts[D3DTSS_BORDERCOLOR] = s.border;
    ts[D3DTSS_MAXMIPLEVEL] = s.maxMip;
    ts[D3DTSS_MIPMAPLODBIAS] = swrtest::FloatBits(s.bias);
    swr::Sampler sampler;
    EXPECT_TRUE(sampler.Prepare(state, 0));
    return sampler;
}

swr::TexCoords At(float u, float v, float footprint = 0.0f) {
    swr::TexCoords tc;
    tc.c[0] = u;
    tc.c[1] = v;
    tc.ddx[0] = footprint;
    tc.ddy[1] = footprint;
    return tc;
}

TEST(Sampling, PointFilteringMapsTexelIToPixelI) {
    TestTexture tex = RampChain(8, 1);
    Scene s(8, 8);
    swrtest::ShowTexture(s.state, tex.View());
    // With pixel centres on integers, the quad from -0.5 to 7.5 puts pixel i's centre at
    // u = (i + 0.5) / 8, the centre of texel i.
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, swrtest::TexQuad(-0.5f, -0.5f, 7.5f, 7.5f, 0, 0, 1, 1), 2, swrtest::kTexFvf));
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(s.Pixel(x, y), 0xFF000000u | (uint32_t(x) << 16) | (uint32_t(y) << 8));
    }
}

TEST(Sampling, LinearFilteringWeighsTheFourNeighbours) {
    TestTexture tex(D3DFMT_A8R8G8B8);
    tex.AddLevel(2, 2, {0xFF000000u, 0x80C80000u, 0x40640000u, 0x00000000u});  // red 0, 200 / 100, 0
    const swr::Sampler sampler = MakeSampler(tex.View(), {D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE,
                                                          D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP});
    // Texel centres sample exactly.
    EXPECT_EQ(sampler.Sample(At(0.75f, 0.25f)), (Rgba8{200, 0, 0, 128}));
    // Midway between all four: (0 + 200 + 100 + 0) / 4 = 75, alpha (255+128+64+0)/4 = 111.75 -> 112.
    EXPECT_EQ(sampler.Sample(At(0.5f, 0.5f)), (Rgba8{75, 0, 0, 112}));
    // x = 0.375 * 2 - 0.5 = 0.25 (weight 64/256 on the right), y on the first row:
    // red (0 * 192 + 200 * 64) / 256 = 50, alpha (255 * 192 + 128 * 64) / 256 = 223.25 -> 223.
    EXPECT_EQ(sampler.Sample(At(0.375f, 0.25f)), (Rgba8{50, 0, 0, 223}));
}

TEST(Sampling, MipLevelFollowsTheFootprint) {
    TestTexture tex = RampChain(16, 5);  // 16, 8, 4, 2, 1; blue names the level
    const StageSetup point{D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_POINT};
    const swr::Sampler sampler = MakeSampler(tex.View(), point);
    // Footprint in level-0 texels per pixel: 1 -> level 0, 2 -> 1, 4 -> 2, 16 -> 4, far
    // beyond -> the last level.
    EXPECT_EQ(sampler.Sample(At(0.5f, 0.5f, 1.0f / 16)).b, 0);
    EXPECT_EQ(sampler.Sample(At(0.5f, 0.5f, 2.0f / 16)).b, 1);
    EXPECT_EQ(sampler.Sample(At(0.5f, 0.5f, 4.0f / 16)).b, 2);
    EXPECT_EQ(sampler.Sample(At(0.5f, 0.5f, 1.0f)).b, 4);
    EXPECT_EQ(sampler.Sample(At(0.5f, 0.5f, 1000.0f)).b, 4);
    // round(log2 1.3) = 0 and round(log2 1.5) = 1.
    EXPECT_EQ(sampler.Sample(At(0.5f, 0.5f, 1.3f / 16)).b, 0);
    EXPECT_EQ(sampler.Sample(At(0.5f, 0.5f, 1.5f / 16)).b, 1);
    // The bias shifts the level; the largest level in use clamps it from above.
    StageSetup biased = point;
    biased.bias = 1.0f;
    EXPECT_EQ(MakeSampler(tex.View(), biased).Sample(At(0.5f, 0.5f, 2.0f / 16)).b, 2);
    StageSetup clamped = point;
    clamped.maxMip = 3;
    EXPECT_EQ(MakeSampler(tex.View(), clamped).Sample(At(0.5f, 0.5f, 0.0f)).b, 3);
    // Without a mip filter only the first level is read.
    EXPECT_EQ(MakeSampler(tex.View(), {D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE}).Sample(At(0.5f, 0.5f, 1.0f)).b, 0);
}

TEST(Sampling, LinearMipFilterBlendsNeighbouringLevels) {
    // Level 1 all green, level 2 all blue: lambda 1.5 (footprint 2, bias 0.5) blends
    // them half and half: (255 * 128 + 128) >> 8 = 128.
    TestTexture tex(D3DFMT_A8R8G8B8);
    tex.AddLevel(4, 4, std::vector<uint32_t>(16, 0xFFFF0000u));
    tex.AddLevel(2, 2, std::vector<uint32_t>(4, 0xFF00FF00u));
    tex.AddLevel(1, 1, std::vector<uint32_t>(1, 0xFF0000FFu));
    StageSetup linear{D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_LINEAR};
    linear.bias = 0.5f;
    EXPECT_EQ(MakeSampler(tex.View(), linear).Sample(At(0.5f, 0.5f, 2.0f / 4)), (Rgba8{0, 128, 128, 255}));
    // Magnified, the mip filter does not matter: level 0 alone.
    linear.bias = 0;
    EXPECT_EQ(MakeSampler(tex.View(), linear).Sample(At(0.5f, 0.5f, 0.5f / 4)), (Rgba8{255, 0, 0, 255}));
}

TEST(Sampling, MagnificationAndMinificationFiltersAreChosenByFootprint) {
    TestTexture tex(D3DFMT_A8R8G8B8);
    tex.AddLevel(2, 1, {0xFF000000u, 0xFFFF0000u});
    const StageSetup magLinear{D3DTEXF_LINEAR, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP};
    const swr::Sampler sampler = MakeSampler(tex.View(), magLinear);
    EXPECT_EQ(sampler.Sample(At(0.5f, 0.5f, 0.25f / 2)).r, 128);  // magnified: linear
    EXPECT_EQ(sampler.Sample(At(0.5f, 0.5f, 4.0f / 2)).r, 255);   // minified: point
}

TEST(Sampling, MipChainsOfAnyShapeReachOneByOne) {
    // 8x2 -> 4x1 -> 2x1 -> 1x1: the level of a footprint of 8 texels is the last.
    TestTexture tex(D3DFMT_A8R8G8B8);
    const uint32_t shapes[4][2] = {{8, 2}, {4, 1}, {2, 1}, {1, 1}};
    for (uint32_t l = 0; l < 4; ++l) tex.AddLevel(shapes[l][0], shapes[l][1], Ramp(shapes[l][0], shapes[l][1], l));
    const swr::Sampler sampler = MakeSampler(tex.View(), {D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_POINT});
    EXPECT_EQ(sampler.Sample(At(0.9f, 0.9f, 8.0f / 8)), (Rgba8{0, 0, 3, 255}));
    EXPECT_EQ(sampler.Sample(At(0.9f, 0.9f, 2.0f / 8)), (Rgba8{3, 0, 1, 255}));
}

TEST(Sampling, AddressModesAtTheEdges) {
    TestTexture tex = RampChain(4, 1);
    struct Case {
        DWORD mode;
        float u;
        int32_t texel;  // -1: border
    };
    // u * 4 = -0.5 -> texel -1; -1.5 -> -2; 4.5 -> 4; -4.5 -> -5.
    const Case cases[] = {
        {D3DTADDRESS_WRAP, -0.125f, 3},       {D3DTADDRESS_WRAP, -0.375f, 2},       {D3DTADDRESS_WRAP, 1.125f, 0},
        {D3DTADDRESS_MIRROR, -0.125f, 0},     {D3DTADDRESS_MIRROR, -0.375f, 1},     {D3DTADDRESS_MIRROR, 1.125f, 3},
        {D3DTADDRESS_CLAMP, -0.375f, 0},      {D3DTADDRESS_CLAMP, 1.125f, 3},       {D3DTADDRESS_BORDER, -0.125f, -1},
        {D3DTADDRESS_BORDER, 1.125f, -1},     {D3DTADDRESS_BORDER, 0.875f, 3},      {D3DTADDRESS_MIRRORONCE, -0.375f, 1},
        {D3DTADDRESS_MIRRORONCE, -1.125f, 3}, {D3DTADDRESS_MIRRORONCE, 1.125f, 3},
    };
    for (const Case &c : cases) {
        StageSetup u{D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, c.mode, D3DTADDRESS_CLAMP, 0xFF123456u};
        const Rgba8 got = MakeSampler(tex.View(), u).Sample(At(c.u, 0.1f));
        const Rgba8 want = c.texel < 0 ? Rgba8{0x12, 0x34, 0x56, 0xFF} : Rgba8{uint8_t(c.texel), 0, 0, 255};
        EXPECT_EQ(got, want) << "mode " << c.mode << " u " << c.u;
        // The same along v, with u clamped: each coordinate has its own mode.
        StageSetup v{D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP, c.mode, 0xFF123456u};
        const Rgba8 gotV = MakeSampler(tex.View(), v).Sample(At(0.1f, c.u));
        const Rgba8 wantV = c.texel < 0 ? Rgba8{0x12, 0x34, 0x56, 0xFF} : Rgba8{0, uint8_t(c.texel), 0, 255};
        EXPECT_EQ(gotV, wantV) << "mode " << c.mode << " v " << c.u;
    }
}

TEST(Sampling, LinearFilteringAtTheEdgesUsesTheAddressedNeighbours) {
    TestTexture tex(D3DFMT_A8R8G8B8);
    tex.AddLevel(2, 1, {0xFF000000u, 0xFFC80000u});  // red 0, 200
    // u = 0: x = -0.5, halfway between texel -1 and texel 0.
    auto red = [&](DWORD mode) {
        return MakeSampler(tex.View(), {D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, mode, D3DTADDRESS_CLAMP, 0xFF640000u})
            .Sample(At(0.0f, 0.5f))
            .r;
    };
    EXPECT_EQ(red(D3DTADDRESS_WRAP), 100);   // texel 1 and texel 0
    EXPECT_EQ(red(D3DTADDRESS_CLAMP), 0);    // texel 0 twice
    EXPECT_EQ(red(D3DTADDRESS_BORDER), 50);  // border red 100 and texel 0
}

TEST(Sampling, CubeMapsPickTheFaceOfTheLargestCoordinate) {
    TestTexture tex(D3DFMT_A8R8G8B8, true);
    for (uint32_t face = 0; face < 6; ++face) tex.AddLevel(2, 2, Ramp(2, 2, face));
    const swr::Sampler sampler = MakeSampler(tex.View(), {});
    auto sample = [&](float x, float y, float z) {
        swr::TexCoords tc;
        tc.c[0] = x, tc.c[1] = y, tc.c[2] = z;
        return sampler.Sample(tc);
    };
    EXPECT_EQ(sample(1, 0.1f, 0.1f).b, 0);
    EXPECT_EQ(sample(-1, 0.1f, 0.1f).b, 1);
    EXPECT_EQ(sample(0.1f, 1, 0.1f).b, 2);
    EXPECT_EQ(sample(0.1f, -1, 0.1f).b, 3);
    EXPECT_EQ(sample(0.1f, 0.1f, 1).b, 4);
    EXPECT_EQ(sample(0.1f, 0.1f, -1).b, 5);
    // On +x, u runs along -z and v along -y: (1, 0.5, -0.5) -> (0.75, 0.25): texel (1, 0).
    EXPECT_EQ(sample(1, 0.5f, -0.5f), (Rgba8{1, 0, 0, 255}));
    // On +y, u runs along x and v along z: (-0.5, 1, 0.5) -> (0.25, 0.75): texel (0, 1).
    EXPECT_EQ(sample(-0.5f, 1, 0.5f), (Rgba8{0, 1, 2, 255}));
    // On -z, u runs along -x: (0.5, 0.5, -1) -> (0.25, 0.25): texel (0, 0).
    EXPECT_EQ(sample(0.5f, 0.5f, -1), (Rgba8{0, 0, 5, 255}));
}

TEST(Sampling, InlineRouteMatchesTheGeneralRoute) {
    std::mt19937 rng(7);
    TestTexture tex(D3DFMT_A8R8G8B8);
    for (uint32_t s = 32, l = 0; s >= 1; s /= 2, ++l) {
        std::vector<uint32_t> texels(s * s);
        for (uint32_t &t : texels) t = rng();
        tex.AddLevel(s, s, texels);
    }
    std::uniform_real_distribution<float> coord(-3.0f, 3.0f), footprint(0.0f, 0.5f);
    const DWORD filters[] = {D3DTEXF_POINT, D3DTEXF_LINEAR};
    const DWORD mips[] = {D3DTEXF_NONE, D3DTEXF_POINT, D3DTEXF_LINEAR};
    const DWORD modes[] = {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP};
    for (DWORD mag : filters) {
        for (DWORD min : filters) {
            for (DWORD mip : mips) {
                for (DWORD mode : modes) {
                    const StageSetup setup{mag, min, mip, mode, D3DTADDRESS_WRAP};
                    const swr::Sampler direct = MakeSampler(tex.View(), setup);
                    swr::Sampler general = direct;
                    general.ForceGeneralRoute();
                    ASSERT_TRUE(direct.DirectRoute());
                    for (int i = 0; i < 200; ++i) {
                        swr::TexCoords tc = At(coord(rng), coord(rng));
                        tc.ddx[0] = footprint(rng), tc.ddx[1] = footprint(rng);
                        tc.ddy[0] = footprint(rng), tc.ddy[1] = footprint(rng);
                        ASSERT_EQ(direct.Sample(tc), general.Sample(tc)) << mag << min << mip << mode << " " << i;
                    }
                }
            }
        }
    }
}

// Four pixels at a time: the same texels and weights as one at a time, also for
// coordinates far outside the texture, NaN, and levels of detail past either end.
TEST(Sampling, FourAtATimeMatchesTheGeneralRoute) {
    std::mt19937 rng(11);
    TestTexture tex(D3DFMT_X8R8G8B8);
    for (uint32_t w = 64, h = 16;; w = std::max(w / 2, 1u), h = std::max(h / 2, 1u)) {
        std::vector<uint32_t> texels(size_t{w} * h);
        for (uint32_t &t : texels) t = rng();
        tex.AddLevel(w, h, texels);
        if (w == 1 && h == 1) break;
    }
    std::uniform_real_distribution<float> coord(-3.0f, 3.0f), footprint(0.0f, 0.8f);
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(), 3e9f, -3e9f, 1e30f, -0.0f, 0.5f, 1.0f / 64, 2.0f};
    const DWORD filters[] = {D3DTEXF_POINT, D3DTEXF_LINEAR};
    const DWORD mips[] = {D3DTEXF_NONE, D3DTEXF_POINT};
    const DWORD modes[] = {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP};
    for (DWORD mag : filters) {
        for (DWORD min : filters) {
            for (DWORD mip : mips) {
                for (DWORD mode : modes) {
                    const StageSetup setup{mag, min, mip, mode, mode == D3DTADDRESS_WRAP ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP,
                                           0, static_cast<DWORD>(rng() % 2), rng() % 2 ? -0.7f : 0.4f};
                    const swr::Sampler direct = MakeSampler(tex.View(), setup);
                    swr::Sampler general = direct;
                    general.ForceGeneralRoute();
                    ASSERT_TRUE(direct.DirectFourRoute());
                    for (int i = 0; i < 100; ++i) {
                        swr::TexCoords tc[4];
                        float u[4], v[4], lambda[4];
                        for (int k = 0; k < 4; ++k) {
                            tc[k] = At(coord(rng), coord(rng));
                            if (rng() % 8 == 0) tc[k].c[rng() % 2] = odd[rng() % 8];
                            tc[k].ddx[0] = footprint(rng), tc[k].ddx[1] = footprint(rng);
                            tc[k].ddy[0] = footprint(rng), tc[k].ddy[1] = footprint(rng);
                            if (rng() % 8 == 0) tc[k].ddx[0] = 1e20f;  // past the smallest level
                            u[k] = tc[k].c[0], v[k] = tc[k].c[1], lambda[k] = direct.DirectLambda(tc[k]);
                        }
                        swr::DirectTaps<4> taps;
                        direct.DirectTaps4(_mm_loadu_ps(u), _mm_loadu_ps(v), _mm_loadu_ps(lambda), taps, 0);
                        for (int k = 0; k < 4; ++k) {
                            ASSERT_EQ(direct.DirectTapSample(taps, k), swr::PackColor(general.Sample(tc[k])))
                                << mag << min << mip << mode << " " << i << " " << u[k] << ", " << v[k];
                        }
                    }
                }
            }
        }
    }
    // A linear mip filter blends two levels: that stays with one pixel at a time.
    EXPECT_FALSE(MakeSampler(tex.View(), StageSetup{D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR}).DirectFourRoute());
}

// The point mip filter's level, looked up from the footprint's steps as the sixteen-lane
// span routines do, against the level lambda gives, for footprints in every binade the
// steps hold, on both sides of every step, and outside them (tiny, endless, NaN), for
// several ranges of levels.
TEST(Sampling, PointMipLevelStepsGiveLambdasLevelForEveryFootprint) {
    // The steps rest on log2's cubic never falling as the mantissa grows: every one of them.
    float previous = -1.0f;
    uint32_t falls = 0;
    for (uint32_t m = 0; m < (1u << 23); ++m) {
        const float l = swr::sampling::Log2(std::bit_cast<float>(0x3F800000u | m));
        falls += l < previous;
        previous = l;
    }
    ASSERT_EQ(falls, 0u);
    ASSERT_LE(previous, 1.0f);
    const swr::LodSteps *steps = swr::ZeroBiasLodSteps();
    ASSERT_NE(steps, nullptr);
    auto reference = [](int32_t bits, int32_t base, int32_t last) {
        const float lambda = swr::sampling::LambdaOfFootprint(std::bit_cast<float>(bits), 0.0f);
        if (lambda <= 0.0f) return base;
        return std::clamp(swr::sampling::FloorToInt(lambda + 0.5f), base, last);
    };
    auto lookedUp = [&](int32_t bits, int32_t base, int32_t last) {
        if (bits < 0 || bits > 0x7F800000) return base;
        const int32_t i = std::clamp((bits >> 23) - swr::LodSteps::kFirst, 0, swr::LodSteps::kCount - 1);
        return std::clamp(steps->level[i] + (bits >= steps->step[i] ? 1 : 0), base, last);
    };
    std::vector<int32_t> footprints{0, 1, 0x00800000, std::bit_cast<int32_t>(1e-31f), std::bit_cast<int32_t>(0.5f),
                                    std::bit_cast<int32_t>(1e31f), 0x7F800000, 0x7FC00000, static_cast<int32_t>(0xFFC00000u),
                                    std::bit_cast<int32_t>(-0.0f), steps->magnified, steps->magnified + 1};
    std::mt19937 rng(60);
    for (int32_t i = 0; i < swr::LodSteps::kCount; ++i) {
        const int32_t first = (swr::LodSteps::kFirst + i) << 23;
        footprints.push_back(first);
        footprints.push_back(first - 1);
        footprints.push_back(first | 0x007FFFFF);
        for (int k = 0; k < 200; ++k) footprints.push_back(first | static_cast<int32_t>(rng() & 0x007FFFFFu));
        if (steps->step[i] != INT32_MAX) {
            for (int32_t d = -3; d <= 3; ++d) footprints.push_back(steps->step[i] + d);
        }
    }
    int stepped = 0;
    for (int32_t i = 0; i < swr::LodSteps::kCount; ++i) stepped += steps->step[i] != INT32_MAX;
    EXPECT_GT(stepped, 0);  // rounding lifts the top of some binades a level
    for (const int32_t bits : footprints) {
        for (const auto &[base, last] : {std::pair{0, 0}, std::pair{0, 8}, std::pair{2, 9}, std::pair{0, 15}, std::pair{5, 15}}) {
            ASSERT_EQ(lookedUp(bits, base, last), reference(bits, base, last))
                << std::hex << bits << std::dec << " levels " << base << " to " << last;
        }
        const bool magnifies = swr::sampling::LambdaOfFootprint(std::bit_cast<float>(bits), 0.0f) <= 0.0f ||
                               bits < 0 || bits > 0x7F800000;
        ASSERT_EQ(magnifies, bits <= steps->magnified || bits > 0x7F800000) << std::hex << bits;
    }
}

TEST(Sampling, StagesWithoutAUsableTextureAreRefused) {
    swr::DrawState state{};
    swr::SetDefaultStates(state);
    swr::Sampler sampler;
    EXPECT_FALSE(sampler.Prepare(state, 0));
    TestTexture odd(D3DFMT_V8U8);
    odd.AddLevel(1, 1, 2, {0, 0});
    state.textures[0] = odd.View();
    EXPECT_FALSE(sampler.Prepare(state, 0));
}

}  // namespace

}  // namespace swr_sampler_test
