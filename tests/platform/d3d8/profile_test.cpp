// The caps of the profiles that switch on pixel shaders and point sprites: only the
// versions the interpreter runs are reported, and sprites bring their size limit and
// per-vertex sizes together.
#include <gtest/gtest.h>

#include "d3d8/d3d8_platform.h"

namespace profile_test {

namespace {

TEST(ProfileCaps, PixelShaderVersionsTheInterpreterRuns) {
    struct Case {
        DWORD asked, reported;
        float maxValue;
    };
    const Case cases[] = {
        {0, 0, 0.0f},
        {D3DPS_VERSION(1, 0), D3DPS_VERSION(1, 0), 1.0f},
        {D3DPS_VERSION(1, 1), D3DPS_VERSION(1, 1), 1.0f},
        {D3DPS_VERSION(1, 4), 0, 0.0f},
        {D3DPS_VERSION(2, 0), 0, 0.0f},
    };
    for (const Case &c : cases) {
        d3d8::Profile profile;
        profile.pixelShaderVersion = c.asked;
        const D3DCAPS8 caps = d3d8::CapsForProfile(profile);
        EXPECT_EQ(caps.PixelShaderVersion, c.reported) << std::hex << c.asked;
        EXPECT_EQ(caps.MaxPixelShaderValue, c.maxValue) << std::hex << c.asked;
    }
}

TEST(ProfileCaps, PointSpritesReportSizeAndPerVertexSizes) {
    d3d8::Profile profile;
    profile.pointSprites = true;
    const D3DCAPS8 caps = d3d8::CapsForProfile(profile);
    EXPECT_EQ(caps.MaxPointSize, 64.0f);
    EXPECT_EQ(caps.FVFCaps & D3DFVFCAPS_PSIZE, D3DFVFCAPS_PSIZE);
    EXPECT_EQ(caps.FVFCaps & 0xFFFFu, 8u);  // coordinate sets unchanged
    const D3DCAPS8 plain = d3d8::CapsForProfile(d3d8::DefaultProfile());
    EXPECT_EQ(plain.MaxPointSize, 1.0f);
    EXPECT_EQ(plain.FVFCaps & D3DFVFCAPS_PSIZE, 0u);
}

}  // namespace

}  // namespace profile_test
