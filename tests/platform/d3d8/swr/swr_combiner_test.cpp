// The texture-stage combiner: every colour operation and every argument with its
// modifiers against colours worked out by hand, alpha operations, and how stages pass
// results on through the current and temporary registers.
#include <gtest/gtest.h>

#include "platform/d3d8/swr/swr_combiner.h"

namespace swr_combiner_test {

namespace {

using swr::Rgba8;

constexpr Rgba8 kDiffuse{200, 100, 50, 128};
constexpr Rgba8 kTexel{100, 150, 250, 64};
constexpr Rgba8 kSpecular{5, 6, 7, 8};
constexpr D3DCOLOR kFactor = 0x280A141Eu;  // (10, 20, 30, 40)

class CombinerTest : public ::testing::Test {
protected:
    CombinerTest() {
        swr::SetDefaultStates(state);
        state.renderStates[D3DRS_TEXTUREFACTOR] = kFactor;
        in.diffuse = kDiffuse;
        in.specular = kSpecular;
        for (Rgba8 &t : in.texel) t = kTexel;
    }
    void Stage(uint32_t s, DWORD colorOp, DWORD arg1, DWORD arg2, DWORD alphaOp = D3DTOP_DISABLE,
               DWORD alpha1 = D3DTA_CURRENT, DWORD alpha2 = D3DTA_CURRENT) {
        DWORD *ts = state.stageStates[s];
        ts[D3DTSS_COLOROP] = colorOp;
        ts[D3DTSS_COLORARG1] = arg1;
        ts[D3DTSS_COLORARG2] = arg2;
        ts[D3DTSS_ALPHAOP] = alphaOp;
        ts[D3DTSS_ALPHAARG1] = alpha1;
        ts[D3DTSS_ALPHAARG2] = alpha2;
    }
    Rgba8 Run() {
        swr::Combiner c;
        c.Prepare(state);
        return c.Combine(in);
    }
    swr::DrawState state{};
    swr::CombinerInputs in;
};

TEST_F(CombinerTest, EveryColourOperationOnTextureAndDiffuse) {
    struct Case {
        DWORD op;
        Rgba8 want;  // alpha passes diffuse through (alpha operation disabled)
    };
    const Case cases[] = {
        {D3DTOP_SELECTARG1, {100, 150, 250, 128}},
        {D3DTOP_SELECTARG2, {200, 100, 50, 128}},
        {D3DTOP_MODULATE, {78, 59, 49, 128}},  // round(a * b / 255)
        {D3DTOP_MODULATE2X, {157, 118, 98, 128}},
        {D3DTOP_MODULATE4X, {255, 235, 196, 128}},
        {D3DTOP_ADD, {255, 250, 255, 128}},
        {D3DTOP_ADDSIGNED, {172, 122, 172, 128}},  // a + b - 128
        {D3DTOP_ADDSIGNED2X, {255, 244, 255, 128}},
        {D3DTOP_SUBTRACT, {0, 50, 200, 128}},
        {D3DTOP_ADDSMOOTH, {222, 191, 251, 128}},          // a + b (1 - a)
        {D3DTOP_BLENDDIFFUSEALPHA, {150, 125, 150, 128}},  // weight 128 on arg1
        {D3DTOP_BLENDCURRENTALPHA, {150, 125, 150, 128}},  // current is diffuse at stage 0
        {D3DTOP_BLENDTEXTUREALPHA, {175, 113, 100, 128}},  // weight 64
        {D3DTOP_BLENDFACTORALPHA, {184, 108, 81, 128}},    // weight 40
        {D3DTOP_BLENDTEXTUREALPHAPM, {250, 225, 255, 128}},         // a + b (1 - texture alpha)
        {D3DTOP_MODULATEALPHA_ADDCOLOR, {150, 175, 255, 128}},     // a + alpha(a) b
        {D3DTOP_MODULATECOLOR_ADDALPHA, {142, 123, 113, 128}},     // a b + alpha(a)
        {D3DTOP_MODULATEINVALPHA_ADDCOLOR, {250, 225, 255, 128}},  // a + (1 - alpha(a)) b
        {D3DTOP_MODULATEINVCOLOR_ADDALPHA, {186, 105, 65, 128}},   // (1 - a) b + alpha(a)
    };
    for (const Case &c : cases) {
        Stage(0, c.op, D3DTA_TEXTURE, D3DTA_DIFFUSE);
        EXPECT_EQ(Run(), c.want) << "op " << c.op;
    }
}

TEST_F(CombinerTest, ThreeArgumentOperationsTakeArgumentZero) {
    state.stageStates[0][D3DTSS_COLORARG0] = D3DTA_TFACTOR;
    Stage(0, D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    EXPECT_EQ(Run(), (Rgba8{88, 79, 79, 128}));  // factor + texture * diffuse
    Stage(0, D3DTOP_LERP, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    EXPECT_EQ(Run(), (Rgba8{196, 104, 74, 128}));  // factor weighs texture against diffuse
}

TEST_F(CombinerTest, DotProductGoesToEveryChannel) {
    in.texel[0] = Rgba8{255, 128, 128, 0};
    in.diffuse = Rgba8{255, 128, 128, 0};
    Stage(0, D3DTOP_DOTPRODUCT3, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    // 4 * (127 * 127) / 255 = 253.0; the dot product fills alpha too.
    EXPECT_EQ(Run(), (Rgba8{253, 253, 253, 253}));
    in.texel[0] = Rgba8{0, 128, 128, 0};
    EXPECT_EQ(Run(), (Rgba8{0, 0, 0, 0}));  // negative sums clamp to 0
}

TEST_F(CombinerTest, EveryArgumentWithItsModifiers) {
    state.stageStates[0][D3DTSS_RESULTARG] = D3DTA_TEMP;  // stage 0 fills temp with the factor
    Stage(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TFACTOR);
    struct Case {
        DWORD arg;
        Rgba8 want;
    };
    const Case cases[] = {
        {D3DTA_DIFFUSE, kDiffuse},
        {D3DTA_CURRENT, kDiffuse},  // stage 0 wrote temp, so current is still diffuse
        {D3DTA_TEXTURE, kTexel},
        {D3DTA_TFACTOR, {10, 20, 30, 40}},
        {D3DTA_SPECULAR, kSpecular},
        {D3DTA_TEMP, {10, 20, 30, 40}},
        {D3DTA_TEXTURE | D3DTA_COMPLEMENT, {155, 105, 5, 191}},
        {D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, {64, 64, 64, 64}},
        {D3DTA_TEXTURE | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE, {191, 191, 191, 191}},
        {D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE, {128, 128, 128, 128}},
    };
    for (const Case &c : cases) {
        Stage(1, D3DTOP_SELECTARG1, c.arg, D3DTA_CURRENT, D3DTOP_SELECTARG1, c.arg);
        EXPECT_EQ(Run(), c.want) << "arg " << std::hex << c.arg;
    }
}

TEST_F(CombinerTest, AlphaOperationsRunOnAlphaAlone) {
    Stage(0, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    EXPECT_EQ(Run(), (Rgba8{200, 100, 50, 32}));  // 64 * 128 / 255 = 32.1
    Stage(0, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_TFACTOR);
    EXPECT_EQ(Run(), (Rgba8{200, 100, 50, 104}));
    Stage(0, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_BLENDTEXTUREALPHA, D3DTA_TFACTOR, D3DTA_DIFFUSE);
    EXPECT_EQ(Run(), (Rgba8{200, 100, 50, 106}));  // (40 * 64 + 128 * 191) / 255 = 105.9
}

TEST_F(CombinerTest, StagesChainThroughCurrentAndStopAtTheFirstDisabled) {
    // Stage 0 modulates texture by diffuse, stage 1 adds the factor, stage 2 is off, so
    // stage 3 (which would turn everything black) never runs.
    Stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    Stage(1, D3DTOP_ADD, D3DTA_CURRENT, D3DTA_TFACTOR, D3DTOP_SELECTARG1, D3DTA_CURRENT);
    Stage(2, D3DTOP_DISABLE, D3DTA_CURRENT, D3DTA_CURRENT);
    Stage(3, D3DTOP_SELECTARG1, D3DTA_TFACTOR | D3DTA_COMPLEMENT, D3DTA_CURRENT);
    EXPECT_EQ(Run(), (Rgba8{88, 79, 79, 64}));
    // Each stage reads its own texel.
    in.texel[1] = Rgba8{1, 2, 3, 4};
    Stage(1, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    EXPECT_EQ(Run(), (Rgba8{1, 2, 3, 4}));
}

TEST_F(CombinerTest, StagesThatReadTheirTextureAreKnown) {
    Stage(0, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE);  // texture named but unused
    Stage(1, D3DTOP_BLENDTEXTUREALPHA, D3DTA_CURRENT, D3DTA_DIFFUSE);
    Stage(2, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    swr::Combiner c;
    c.Prepare(state);
    ASSERT_EQ(c.StageCount(), 3u);
    EXPECT_FALSE(c.Stage(0).readsTexture);
    EXPECT_TRUE(c.Stage(1).readsTexture);
    EXPECT_TRUE(c.Stage(2).readsTexture);
}

}  // namespace

}  // namespace swr_combiner_test
