// Vertices processed four at a time exactly as one by one, under random lights, fog
// and vertex colours; texture coordinates as vertex processing hands them on: read from the chosen set,
// generated from camera-space normals, positions and reflection vectors, and put
// through the stage's texture transform; and projected coordinates divided at each
// pixel, seen on screen.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "platform/d3d8/swr/swr_vertex_processor.h"
#include "swr_test_scene.h"

namespace swr_vertex_processor_test {

namespace {

struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    float u0, v0;
    float u1, v1;
};
constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2;

class TexCoordTest : public ::testing::Test {
protected:
    TexCoordTest() {
        swr::SetDefaultStates(state);
        state.renderStates[D3DRS_LIGHTING] = FALSE;
    }
    // Stage `stage`'s four coordinate elements for vertex v.
    std::array<float, 4> Coords(const Vertex &v, uint32_t stage = 0) {
        swr::VertexProcessor p;
        const swr::VertexStream stream{reinterpret_cast<const uint8_t *>(&v), sizeof(v), sizeof(v), kFvf};
        EXPECT_TRUE(p.Prepare(state, stream, 1u << stage));
        swr::ClipVertex out;
        EXPECT_TRUE(p.Process(0, out));
        const float *c = out.var + swr::kVaryTexCoord + 4 * stage;
        return {c[0], c[1], c[2], c[3]};
    }
    swr::DrawState state{};
};

void ExpectNear(const std::array<float, 4> &got, const std::array<float, 4> &want) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], 1e-5f) << "element " << i;
}

const Vertex kVertex{3, 0, 4, 0, 0, -1, 0.25f, 0.5f, 0.75f, 1.0f};

TEST_F(TexCoordTest, StagesReadTheCoordinateSetTheyName) {
    ExpectNear(Coords(kVertex), {0.25f, 0.5f, 1.0f, 0.0f});  // the element after the last is 1
    state.stageStates[0][D3DTSS_TEXCOORDINDEX] = 1;
    ExpectNear(Coords(kVertex), {0.75f, 1.0f, 1.0f, 0.0f});
    state.stageStates[2][D3DTSS_TEXCOORDINDEX] = 0;
    ExpectNear(Coords(kVertex, 2), {0.25f, 0.5f, 1.0f, 0.0f});
}

TEST_F(TexCoordTest, CameraSpaceGenerationUsesTheViewTransform) {
    // The view moves the world 1 along z: the vertex sits at (3, 0, 5) in camera space.
    state.view._43 = 1.0f;
    state.stageStates[0][D3DTSS_TEXCOORDINDEX] = D3DTSS_TCI_CAMERASPACEPOSITION;
    ExpectNear(Coords(kVertex), {3, 0, 5, 1});
    // Normals come out unit length, turned with the view: a view that rotates 90 degrees
    // about y takes (0, 0, -1) to (-1, 0, 0).
    state.view = swrtest::IdentityMatrix();
    state.view._11 = 0, state.view._13 = -1, state.view._31 = 1, state.view._33 = 0;
    state.stageStates[0][D3DTSS_TEXCOORDINDEX] = D3DTSS_TCI_CAMERASPACENORMAL;
    Vertex longNormal = kVertex;
    longNormal.nz = -4;
    ExpectNear(Coords(longNormal), {-1, 0, 0, 1});
}

TEST_F(TexCoordTest, ReflectionVectorMirrorsTheViewAboutTheNormal) {
    state.stageStates[0][D3DTSS_TEXCOORDINDEX] = D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR;
    // Local viewer: from the eye to (3, 0, 4) is (0.6, 0, 0.8); a mirror facing -z
    // sends it back as (0.6, 0, -0.8).
    ExpectNear(Coords(kVertex), {0.6f, 0, -0.8f, 1});
    // A distant viewer looks along +z everywhere: straight back.
    state.renderStates[D3DRS_LOCALVIEWER] = FALSE;
    ExpectNear(Coords(kVertex), {0, 0, -1, 1});
}

TEST_F(TexCoordTest, TextureTransformTakesTranslationFromTheThirdRowFor2DSets) {
    D3DMATRIX &m = state.textureTransform[0];
    m = swrtest::IdentityMatrix();
    m._11 = 2.0f;   // u doubles
    m._31 = 0.25f;  // and moves by a quarter, through the coordinate's implied 1
    m._42 = 7.0f;   // the fourth row meets the implied 0 and changes nothing
    state.stageStates[0][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2;
    ExpectNear(Coords(kVertex), {0.75f, 0.5f, 0, 0});  // elements past the count are 0
    // Generated coordinates carry a 1 in the fourth element, so the fourth row moves them.
    state.stageStates[0][D3DTSS_TEXCOORDINDEX] = D3DTSS_TCI_CAMERASPACENORMAL;
    state.stageStates[0][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT3;
    ExpectNear(Coords(kVertex), {-0.25f, 7, -1, 0});
}

TEST_F(TexCoordTest, EnvironmentMapMatrixMapsNormalsIntoTheTexture) {
    // u = 0.5 x + 0.5, v = -0.5 y + 0.5 of the camera-space normal.
    D3DMATRIX &m = state.textureTransform[0];
    m = D3DMATRIX{};
    m._11 = 0.5f, m._22 = -0.5f, m._33 = 1.0f, m._41 = 0.5f, m._42 = 0.5f;
    state.stageStates[0][D3DTSS_TEXCOORDINDEX] = D3DTSS_TCI_CAMERASPACENORMAL;
    state.stageStates[0][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2;
    Vertex v = kVertex;
    v.nx = 0.6f, v.ny = 0.8f, v.nz = 0;
    ExpectNear(Coords(v), {0.8f, 0.1f, 0, 0});
}

// A vertex with every component the four-lane processing reads.
struct FullVertex {
    float x, y, z;
    float nx, ny, nz;
    D3DCOLOR diffuse, specular;
    float u, v;
};
constexpr DWORD kFullFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

// Random draw states the four-lane processing takes: lighting on or off, renormalised
// or not, up to four directional and point lights (some with their vertices out of
// range or behind), material colours from the vertices or not, linear vertex fog by
// depth or by distance (with start and end apart or together), or the vertices' own fog.
void RandomLitState(std::mt19937 &rng, swr::DrawState &state, D3DLIGHT8 lights[4]) {
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f), positive(0.0f, 1.5f);
    swr::SetDefaultStates(state);
    state.world = swrtest::IdentityMatrix();
    state.world._11 = 1.0f + positive(rng), state.world._23 = unit(rng), state.world._42 = unit(rng);
    state.view = swrtest::IdentityMatrix();
    state.view._43 = 2.0f + positive(rng), state.view._12 = unit(rng) * 0.3f;
    state.projection = swrtest::IdentityMatrix();
    state.projection._34 = 1.0f, state.projection._44 = 0.0f, state.projection._43 = -0.1f;
    DWORD *rs = state.renderStates;
    rs[D3DRS_LIGHTING] = rng() % 4 != 0;
    rs[D3DRS_NORMALIZENORMALS] = rng() % 2;
    rs[D3DRS_COLORVERTEX] = rng() % 2;
    rs[D3DRS_DIFFUSEMATERIALSOURCE] = rng() % 3;
    rs[D3DRS_AMBIENTMATERIALSOURCE] = rng() % 3;
    rs[D3DRS_EMISSIVEMATERIALSOURCE] = rng() % 3;
    rs[D3DRS_AMBIENT] = rng();
    state.material.Diffuse = {positive(rng), positive(rng), positive(rng), positive(rng)};
    state.material.Ambient = {positive(rng), positive(rng), positive(rng), 1};
    state.material.Emissive = {positive(rng) * 0.3f, 0, positive(rng) * 0.3f, 0};
    state.lightCount = rng() % 5;
    for (uint32_t i = 0; i < state.lightCount; ++i) {
        D3DLIGHT8 &l = lights[i];
        l = D3DLIGHT8{};
        l.Type = rng() % 2 ? D3DLIGHT_POINT : D3DLIGHT_DIRECTIONAL;
        l.Diffuse = {positive(rng), positive(rng), positive(rng), 1};
        l.Ambient = {positive(rng) * 0.2f, positive(rng) * 0.2f, 0, 1};
        l.Direction = {unit(rng), unit(rng), unit(rng)};
        l.Position = {unit(rng) * 2, unit(rng) * 2, unit(rng) * 2};
        l.Range = positive(rng) * 3;
        l.Attenuation0 = rng() % 3 ? positive(rng) : 0.0f;
        l.Attenuation1 = positive(rng);
        l.Attenuation2 = rng() % 2 ? positive(rng) : 0.0f;
        state.lights[i] = &l;
    }
    rs[D3DRS_FOGENABLE] = rng() % 3 != 0;
    rs[D3DRS_FOGVERTEXMODE] = rng() % 3 ? D3DFOG_LINEAR : D3DFOG_NONE;
    rs[D3DRS_RANGEFOGENABLE] = rng() % 2;
    const float start = positive(rng) * 2, end = rng() % 4 ? start + positive(rng) * 3 : start;
    std::memcpy(&rs[D3DRS_FOGSTART], &start, 4);
    std::memcpy(&rs[D3DRS_FOGEND], &end, 4);
}

TEST(FourLanes, GiveEveryVertexWhatProcessingItAloneGives) {
    std::mt19937 rng(60);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::vector<FullVertex> vertices(64);
    for (FullVertex &v : vertices) {
        v = {unit(rng) * 2, unit(rng) * 2, unit(rng) * 2, unit(rng), unit(rng), unit(rng), static_cast<D3DCOLOR>(rng()),
             static_cast<D3DCOLOR>(rng()), unit(rng), unit(rng)};
    }
    vertices[5].nx = vertices[5].ny = vertices[5].nz = 0;  // no normal to renormalise
    const swr::VertexStream stream{reinterpret_cast<const uint8_t *>(vertices.data()),
                                   vertices.size() * sizeof(FullVertex), sizeof(FullVertex), kFullFvf};
    uint32_t fourLaneDraws = 0;
    for (int draw = 0; draw < 300; ++draw) {
        swr::DrawState state;
        D3DLIGHT8 lights[4];
        RandomLitState(rng, state, lights);
        if (draw % 7 == 0 && state.lightCount > 0) {
            // A point light sitting exactly on vertex 7 (no direction to it) and reaching
            // everything: with no world transform both go through the same view.
            state.world = swrtest::IdentityMatrix();
            lights[0].Type = D3DLIGHT_POINT;
            lights[0].Range = 100.0f;
            lights[0].Position = {vertices[7].x, vertices[7].y, vertices[7].z};
        }
        swr::VertexProcessor p;
        ASSERT_TRUE(p.Prepare(state, stream, 1));
        fourLaneDraws += p.FourLanes();
        uint32_t index[4];
        swr::ClipVertex batch[4];
        swr::ClipVertex *out[4] = {&batch[0], &batch[1], &batch[2], &batch[3]};
        const uint32_t count = 1 + rng() % 4;
        for (uint32_t i = 0; i < count; ++i) index[i] = i == 0 && draw % 7 == 0 ? 7 : rng() % vertices.size();
        p.ProcessBatch(index, count, out);
        for (uint32_t i = 0; i < count; ++i) {
            swr::ClipVertex one;
            ASSERT_TRUE(p.Process(index[i], one));
            EXPECT_EQ(std::memcmp(one.pos, batch[i].pos, sizeof(one.pos)), 0) << "draw " << draw << " lane " << i;
            for (uint32_t k = 0; k < p.VaryingCount(); ++k) {
                uint32_t a, b;
                std::memcpy(&a, &one.var[k], 4);
                std::memcpy(&b, &batch[i].var[k], 4);
                EXPECT_EQ(a, b) << "draw " << draw << " lane " << i << " varying " << k;
            }
        }
    }
    // Only the specular-free directional and point lights and linear fog go four at a time:
    // the random states are all of those.
    EXPECT_EQ(fourLaneDraws, 300u);
}

TEST(ProjectedCoordinates, AreDividedByTheirLastElementAtEachPixel) {
    // Coordinates (s, t, q) = (u q, v q, q) with q from 1 on the left to 3 on the right,
    // on a screen-space quad (so s, t and q themselves interpolate linearly) over 4x4
    // pixels of a 4x4 texture whose texel (x, y) holds red x, green y.
    struct V {
        float x, y, z, rhw;
        D3DCOLOR c;
        float s, t, q;
    };
    swrtest::TestTexture tex(D3DFMT_A8R8G8B8);
    std::vector<uint32_t> texels(16);
    for (uint32_t i = 0; i < 16; ++i) texels[i] = 0xFF000000u | (i % 4) << 16 | (i / 4) << 8;
    tex.AddLevel(4, 4, texels);
    swrtest::Scene s(4, 4);
    swrtest::ShowTexture(s.state, tex.View());
    s.state.stageStates[0][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT3 | D3DTTFF_PROJECTED;
    auto at = [](float x, float y, float u, float v, float q) { return V{x, y, 0, 1, 0xFFFFFFFFu, u * q, v * q, q}; };
    const std::vector<V> quad{at(-0.5f, -0.5f, 0, 0, 1), at(3.5f, -0.5f, 1, 0, 3), at(3.5f, 3.5f, 1, 1, 3),
                              at(-0.5f, -0.5f, 0, 0, 1), at(3.5f, 3.5f, 1, 1, 3), at(-0.5f, 3.5f, 0, 1, 1)};
    const DWORD fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE3(0);
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, quad, 2, fvf));
    // Pixel (0, 0) sits 1/8 into the quad both ways: s = 0.375, t = 0.375, q = 1.25, so
    // (u, v) = (0.3, 0.3): texel (1, 1). Pixel (3, 0): s = 2.625, t = 0.375, q = 2.75:
    // (0.95, 0.14): texel (3, 0). Pixel (0, 3), in the other triangle: s = 0.375,
    // t = 1.125, q = 1.25: (0.3, 0.9): texel (1, 3). Pixel (3, 3): texel (3, 3).
    EXPECT_EQ(s.Pixel(0, 0), 0xFF010100u);
    EXPECT_EQ(s.Pixel(3, 0), 0xFF030000u);
    EXPECT_EQ(s.Pixel(0, 3), 0xFF010300u);
    EXPECT_EQ(s.Pixel(3, 3), 0xFF030300u);
    // Unprojected, pixel (3, 0) reads u = 2.625, which wraps to texel 2.
    s.state.stageStates[0][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
    ASSERT_TRUE(s.Draw(D3DPT_TRIANGLELIST, quad, 2, fvf));
    EXPECT_EQ(s.Pixel(3, 0), 0xFF020100u);
}

}  // namespace

}  // namespace swr_vertex_processor_test
