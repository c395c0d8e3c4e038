// Vertex lighting against hand-computed colours: each light type, range, attenuation,
// spot cones, ambient and emissive terms, material sources and specular highlights.
#include <gtest/gtest.h>

#include "platform/d3d8/swr/swr_lighting.h"
#include "swr_test_scene.h"

namespace swr_lighting_test {

namespace {

using swr::Rgba8;

class Lighting : public ::testing::Test {
protected:
    Lighting() {
        swr::SetDefaultStates(state);
        state.renderStates[D3DRS_LIGHTING] = TRUE;
        state.material.Diffuse = {1, 1, 1, 1};
    }

    void AddLight(const D3DLIGHT8 &l) {
        lights[state.lightCount] = l;
        state.lights[state.lightCount] = &lights[state.lightCount];
        ++state.lightCount;
    }

    swr::LitColors Light(swr::Vec3 position, swr::Vec3 normal, DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL,
                         Rgba8 diffuse = {}, Rgba8 specular = {}) {
        swr::VertexLayout layout;
        EXPECT_TRUE(swr::DecodeVertexLayout(fvf, layout));
        swr::LightingSetup setup;
        swr::PrepareLighting(state, layout, setup);
        return swr::LightVertex(setup, position, normal, diffuse, specular);
    }

    static D3DLIGHT8 Directional(D3DVECTOR direction, D3DCOLORVALUE diffuse) {
        D3DLIGHT8 l{};
        l.Type = D3DLIGHT_DIRECTIONAL;
        l.Direction = direction;
        l.Diffuse = diffuse;
        return l;
    }

    static D3DLIGHT8 Point(D3DVECTOR position, D3DCOLORVALUE diffuse, float range, float a0, float a1, float a2) {
        D3DLIGHT8 l{};
        l.Type = D3DLIGHT_POINT;
        l.Position = position;
        l.Diffuse = diffuse;
        l.Range = range;
        l.Attenuation0 = a0;
        l.Attenuation1 = a1;
        l.Attenuation2 = a2;
        return l;
    }

    swr::DrawState state{};
    D3DLIGHT8 lights[8]{};
};

TEST_F(Lighting, DirectionalLightScalesWithTheCosine) {
    state.material.Diffuse = {0.4f, 0.8f, 1.0f, 0.6f};
    AddLight(Directional({0, 0, 1}, {1.0f, 0.5f, 0.25f, 1}));
    // Facing the light: (0.4, 0.4, 0.25) -> 102, 102, 63.75 -> 64; alpha 0.6 -> 153.
    EXPECT_EQ(Light({0, 0, 5}, {0, 0, -1}).diffuse, (Rgba8{102, 102, 64, 153}));
    // At 60 degrees the cosine is 0.5: (0.2, 0.2, 0.125) -> 51, 51, 31.875 -> 32.
    EXPECT_EQ(Light({0, 0, 5}, {0.8660254f, 0, -0.5f}).diffuse, (Rgba8{51, 51, 32, 153}));
    // Facing away: nothing.
    EXPECT_EQ(Light({0, 0, 5}, {0, 0, 1}).diffuse, (Rgba8{0, 0, 0, 153}));
}

TEST_F(Lighting, PointLightAttenuatesAndStopsAtItsRange) {
    // Distance 2: 1 / (1 + 0.5 * 2 + 0.25 * 4) = 1/3 of (0.75, 0.6, 0.45).
    AddLight(Point({0, 0, 0}, {0.75f, 0.6f, 0.45f, 1}, 10.0f, 1.0f, 0.5f, 0.25f));
    EXPECT_EQ(Light({0, 0, 2}, {0, 0, -1}).diffuse, (Rgba8{64, 51, 38, 255}));
    lights[0].Range = 1.9f;
    EXPECT_EQ(Light({0, 0, 2}, {0, 0, -1}).diffuse, (Rgba8{0, 0, 0, 255}));
}

TEST_F(Lighting, LightPositionsAreTakenIntoCameraSpace) {
    // The view moves the world 3 units away along z: a light at the world origin sits at
    // camera z = 3, so a vertex at camera z = 5 is 2 units from it.
    state.view._43 = 3.0f;
    AddLight(Point({0, 0, 0}, {0.75f, 0.6f, 0.45f, 1}, 10.0f, 1.0f, 0.5f, 0.25f));
    EXPECT_EQ(Light({0, 0, 5}, {0, 0, -1}).diffuse, (Rgba8{64, 51, 38, 255}));
}

TEST_F(Lighting, SpotConeIsFullInsideThetaZeroOutsidePhiAndRampsBetween) {
    D3DLIGHT8 spot{};
    spot.Type = D3DLIGHT_SPOT;
    spot.Diffuse = {1, 1, 1, 1};
    spot.Direction = {0, 0, 1};
    spot.Range = 100;
    spot.Attenuation0 = 1;
    spot.Theta = 1.04719755f;  // 60 degrees: cos 30 = 0.8660
    spot.Phi = 1.57079633f;    // 90 degrees: cos 45 = 0.7071
    spot.Falloff = 1;
    AddLight(spot);
    auto facingLight = [](swr::Vec3 p) { return swr::Normalize(-p); };
    const swr::Vec3 inner{0.2f, 0, 2}, between{0.75f, 0, 1}, outer{2, 0, 1};
    EXPECT_EQ(Light(inner, facingLight(inner)).diffuse.r, 255);
    // rho = 0.8: (0.8 - 0.70711) / (0.86603 - 0.70711) = 0.58452 -> 149.05 -> 149.
    EXPECT_EQ(Light(between, facingLight(between)).diffuse.r, 149);
    EXPECT_EQ(Light(outer, facingLight(outer)).diffuse.r, 0);
    // Falloff 2 squares the ramp: 0.34166 -> 87.1 -> 87.
    lights[0].Falloff = 2;
    EXPECT_EQ(Light(between, facingLight(between)).diffuse.r, 87);
}

TEST_F(Lighting, AmbientAndEmissiveAddToTheLights) {
    state.renderStates[D3DRS_AMBIENT] = 0x00404040u;  // 64/255 each
    state.material.Ambient = {1.0f, 0.55f, 0.25f, 1};
    state.material.Emissive = {0.12f, 0.0f, 0.2f, 0};
    state.material.Diffuse = {0, 0, 0, 1};
    D3DLIGHT8 l = Directional({0, 0, 1}, {0, 0, 0, 1});
    l.Ambient = {0.2f, 0.2f, 0.2f, 1};
    AddLight(l);
    // Ambient light 64/255 + 0.2 = 0.45098 per channel.
    // r: 0.12 + 1.0 * 0.45098 -> 145.6 -> 146;  g: 0.55 * 0.45098 -> 63.25 -> 63;
    // b: 0.2 + 0.25 * 0.45098 -> 79.75 -> 80.
    const Rgba8 c = Light({0, 0, 5}, {0, 0, -1}).diffuse;
    EXPECT_EQ(c.r, 146);
    EXPECT_EQ(c.g, 63);
    EXPECT_EQ(c.b, 80);
}

TEST_F(Lighting, MaterialSourcesTakeVertexColoursOnlyWithColorVertex) {
    const DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR;
    state.material.Diffuse = {1, 1, 1, 1};
    state.material.Emissive = {0, 0, 0, 0};
    AddLight(Directional({0, 0, 1}, {0.5f, 0.5f, 0.5f, 1}));
    const Rgba8 vd{200, 100, 0, 77}, vs{0, 0, 255, 255};
    // Diffuse from COLOR1 (the default): 0.5 * 200 = 100, 0.5 * 100 = 50; alpha from the vertex.
    EXPECT_EQ(Light({0, 0, 5}, {0, 0, -1}, fvf, vd, vs).diffuse, (Rgba8{100, 50, 0, 77}));
    // COLORVERTEX off: the material's white, 0.5 -> 127.5 -> 128.
    state.renderStates[D3DRS_COLORVERTEX] = FALSE;
    EXPECT_EQ(Light({0, 0, 5}, {0, 0, -1}, fvf, vd, vs).diffuse, (Rgba8{128, 128, 128, 255}));
    // Emissive from COLOR2 (the specular colour): blue 255 on top of 0.5 * diffuse.
    state.renderStates[D3DRS_COLORVERTEX] = TRUE;
    state.renderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_MATERIAL;
    state.renderStates[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_COLOR2;
    EXPECT_EQ(Light({0, 0, 5}, {0, 0, -1}, fvf, vd, vs).diffuse, (Rgba8{128, 128, 255, 255}));
    // A source the vertex lacks falls back to the material.
    state.renderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    state.renderStates[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    EXPECT_EQ(Light({0, 0, 5}, {0, 0, -1}, D3DFVF_XYZ | D3DFVF_NORMAL).diffuse, (Rgba8{128, 128, 128, 255}));
}

TEST_F(Lighting, SpecularHighlightWhenEnabled) {
    state.renderStates[D3DRS_SPECULARENABLE] = TRUE;
    state.renderStates[D3DRS_LOCALVIEWER] = FALSE;
    state.material.Specular = {1.0f, 0.5f, 1.0f, 1};
    state.material.Power = 4;
    D3DLIGHT8 l = Directional({0, 0, 1}, {0, 0, 0, 1});
    l.Specular = {0.8f, 0.8f, 0.4f, 1};
    AddLight(l);
    // Light and viewer both straight ahead: N.H = 1 -> (0.8, 0.4, 0.4).
    EXPECT_EQ(Light({0, 0, 5}, {0, 0, -1}).specular, (Rgba8{204, 102, 102, 255}));
    // Normal tilted by 30 degrees from H: cos^4 = 0.5625 -> (0.45, 0.225, 0.225).
    const Rgba8 tilted = Light({0, 0, 5}, {0.5f, 0, -0.8660254f}).specular;
    EXPECT_EQ(tilted.r, 115);  // 114.75
    EXPECT_EQ(tilted.g, 57);   // 57.375
    state.renderStates[D3DRS_SPECULARENABLE] = FALSE;
    EXPECT_EQ(Light({0, 0, 5}, {0, 0, -1}).specular, (Rgba8{0, 0, 0, 0}));
}

TEST_F(Lighting, NormalizeNormalsUndoesScaling) {
    AddLight(Directional({0, 0, 1}, {0.4f, 0.4f, 0.4f, 1}));
    // A normal of length 2 doubles the light unless renormalised.
    EXPECT_EQ(Light({0, 0, 5}, {0, 0, -2}).diffuse.r, 204);
    state.renderStates[D3DRS_NORMALIZENORMALS] = TRUE;
    EXPECT_EQ(Light({0, 0, 5}, {0, 0, -2}).diffuse.r, 102);
}

TEST(LitDraw, DirectionalLightReachesThePixels) {
    swrtest::Scene s(4, 4);
    s.SetState(D3DRS_LIGHTING, TRUE);
    s.SetState(D3DRS_AMBIENT, 0);
    s.state.material.Diffuse = {0.4f, 0.8f, 1.0f, 1.0f};
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Direction = {0, 0, 1};
    light.Diffuse = {1.0f, 0.5f, 0.25f, 1};
    s.state.lights[0] = &light;
    s.state.lightCount = 1;
    // World scaled by 2 with renormalisation: the normal still has unit length.
    s.state.world._11 = s.state.world._22 = s.state.world._33 = 2.0f;
    s.SetState(D3DRS_NORMALIZENORMALS, TRUE);
    struct V { float x, y, z, nx, ny, nz; };
    const std::vector<V> v{{-1, 1, 0.25f, 0, 0, -1}, {1, 1, 0.25f, 0, 0, -1}, {-1, -1, 0.25f, 0, 0, -1},
                           {1, -1, 0.25f, 0, 0, -1}};
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLESTRIP, v, 2, D3DFVF_XYZ | D3DFVF_NORMAL));
    EXPECT_EQ(s.Pixel(2, 2), 0xFF666640u);
}

}  // namespace

}  // namespace swr_lighting_test
