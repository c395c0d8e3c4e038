// The span routines against the reference per-pixel path: randomised scenes under
// randomised states must leave the same colour, depth and stencil, bit for bit; and
// the states the engine uses most do take the span routines.
#include <gtest/gtest.h>

#include "platform/d3d8/swr/swr_fast_triangle.h"
#include "swr_random_scene.h"

namespace {

using swrtest::RandomScene;
using swrtest::Scene;

class FastPathsOff {
public:
    FastPathsOff() { swr::SetFastPathsEnabled(false); }
    ~FastPathsOff() { swr::SetFastPathsEnabled(true); }
};

std::vector<uint32_t> Render(uint32_t seed, D3DFORMAT colorFormat, D3DFORMAT depthFormat, bool fast) {
    Scene s(61, 47, colorFormat, depthFormat);
    RandomScene scene(61, 47, seed);
    if (fast) {
        scene.Render(s, 12, 24);
    } else {
        FastPathsOff off;
        scene.Render(s, 12, 24);
    }
    return swrtest::Snapshot(s);
}

TEST(FastTriangle, SamePixelsAsTheReferencePathOnRandomScenes) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        const D3DFORMAT color = seed % 3 == 0 ? D3DFMT_X8R8G8B8 : D3DFMT_A8R8G8B8;
        const D3DFORMAT depths[] = {D3DFMT_D24S8, D3DFMT_D16, D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D32};
        const D3DFORMAT depth = depths[seed % 6];
        const std::vector<uint32_t> fast = Render(seed, color, depth, true);
        const std::vector<uint32_t> reference = Render(seed, color, depth, false);
        ASSERT_EQ(fast.size(), reference.size());
        for (size_t i = 0; i < fast.size(); ++i) {
            ASSERT_EQ(fast[i], reference[i]) << "seed " << seed << (i % 2 ? " depth" : " colour") << " of pixel "
                                             << i / 2 % 61 << ", " << i / 2 / 61;
        }
    }
}

// Whether a draw state takes a span routine.
bool TakesSpans(const swr::DrawState &state) {
    std::vector<uint32_t> pixels(16);
    swr::ColorTarget color{4, 4, 16, D3DFMT_A8R8G8B8, reinterpret_cast<uint8_t *>(pixels.data())};
    swr::PixelPipeline pipeline;
    EXPECT_TRUE(pipeline.Prepare(state, color, nullptr));
    swr::RasterContext ctx;
    if (pipeline.SampledStages() & 1u) ctx.coords[0] = swr::MakeStageCoordLayout(state, 0, false), ctx.coordStages = 1;
    swr::FastTriangle fast;
    return fast.Prepare(pipeline, ctx);
}

TEST(FastTriangle, CommonEngineStatesTakeTheSpanRoutines) {
    swrtest::TestTexture tex(D3DFMT_A8R8G8B8);
    tex.AddLevel(1, 1, {0xFFFFFFFFu});
    Scene s(4, 4);
    swr::DrawState &st = s.state;
    // Untextured: colour from the vertices.
    EXPECT_TRUE(TakesSpans(st));
    // A texture modulated by diffuse, alpha from the texture, blended and fogged.
    st.textures[0] = tex.View();
    DWORD *ts = st.stageStates[0];
    ts[D3DTSS_COLOROP] = D3DTOP_MODULATE;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
    ts[D3DTSS_ALPHAOP] = D3DTOP_MODULATE;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_ALPHAARG2] = D3DTA_DIFFUSE;
    s.SetState(D3DRS_ALPHABLENDENABLE, TRUE);
    s.SetState(D3DRS_FOGENABLE, TRUE);
    s.SetState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    EXPECT_TRUE(TakesSpans(st));
    // Flat black objects: the texture factor.
    ts[D3DTSS_COLOROP] = D3DTOP_SELECTARG2;
    ts[D3DTSS_COLORARG2] = D3DTA_TFACTOR;
    EXPECT_TRUE(TakesSpans(st));
    // Two stages and specular added take them too; a dot product needs the general path.
    st.stageStates[1][D3DTSS_COLOROP] = D3DTOP_ADD;
    EXPECT_TRUE(TakesSpans(st));
    s.SetState(D3DRS_SPECULARENABLE, TRUE);
    EXPECT_TRUE(TakesSpans(st));
    st.stageStates[1][D3DTSS_COLOROP] = D3DTOP_DOTPRODUCT3;
    EXPECT_FALSE(TakesSpans(st));
    st.stageStates[1][D3DTSS_COLOROP] = D3DTOP_DISABLE;
    s.SetState(D3DRS_SPECULARENABLE, FALSE);
    // Turned off, nothing takes them.
    FastPathsOff off;
    EXPECT_FALSE(TakesSpans(st));
}

}  // namespace
