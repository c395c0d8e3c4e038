// Throughput of the software rasteriser at the game's resolution: an untextured lit
// mesh on one thread, through the per-pixel reference path and through the span
// routines; the frame the game must hold at 60 per second: 20,000 textured, lit,
// fogged triangles at 800x600 with depth and some blended ones, reported as frames per
// second with 1, 2 and every thread; and that frame with palettised, compressed and
// lightmapped textures, at each vector width; a full-screen layer as the rain's; and a
// burst of hit sparks added onto the frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "platform/d3d8/swr/swr_coarse_depth.h"
#include "platform/d3d8/swr/swr_draw.h"
#include "platform/d3d8/swr/swr_texel_copy.h"

namespace {

constexpr uint32_t kWidth = 800, kHeight = 600;

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
    D3DCOLOR color;
    float u, v;
    float lu, lv;  // lightmap coordinates (read by the lightmap kind only)
};
constexpr DWORD kLitFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr DWORD kLitFvf2 = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX2;

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

DWORD Bits(float f) {
    DWORD d;
    std::memcpy(&d, &f, 4);
    return d;
}

// A gently bumpy grid of `cells` x `rows` quads filling the view at depth ~10, its
// texture repeating eight times across.
void BuildMesh(int cells, int rows, std::vector<LitVertex> &vertices, std::vector<uint16_t> &indices) {
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= cells; ++i) {
            const float u = static_cast<float>(i) / cells, v = static_cast<float>(j) / rows;
            const float bump = 0.3f * std::sin(u * 12.0f) * std::cos(v * 9.0f);
            const float nx = -0.3f * std::cos(u * 12.0f), ny = 0.2f * std::sin(v * 9.0f);
            const float len = std::sqrt(nx * nx + ny * ny + 1.0f);
            // Farther towards the top, so depth and fog vary over the screen.
            const float depth = 8.0f + 6.0f * (1.0f - v) + bump;
            vertices.push_back({(u - 0.5f) * 2.2f * depth * 0.9f, (0.5f - v) * 1.6f * depth * 0.9f, depth, nx / len,
                                ny / len, -1.0f / len, 0xFFFFFFFFu, u * 8.0f, v * 6.0f, u, v});
        }
    }
    const int n = cells + 1;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < cells; ++i) {
            const uint16_t a = static_cast<uint16_t>(j * n + i), b = static_cast<uint16_t>(a + 1);
            const uint16_t c = static_cast<uint16_t>(a + n), d = static_cast<uint16_t>(c + 1);
            indices.insert(indices.end(), {a, b, d, a, d, c});
        }
    }
}

// The texture formats the game's frame is drawn with: its 32-bit texture, the same
// picture palettised (P8) or DXT1-compressed, or the 32-bit texture with a lightmap
// multiplied in by a second stage.
enum class Kind { Argb, P8, Dxt1, Lightmap };

// The checker-and-gradient texel the textures show at (x, y) of a level of size s.
uint32_t CheckerTexel(uint32_t x, uint32_t y, uint32_t s) {
    const bool check = ((x * 8 / s) + (y * 8 / s)) & 1;
    return 0xC0000000u | (check ? 0x00E0C080u : 0x00406080u) | ((x * 255 / s) << 8);
}

// A square texture with its full mip chain, each level with the copy slot the device
// gives its levels.
struct Texture {
    std::vector<std::vector<uint8_t>> levels;
    std::vector<swr::TextureLevel> views;
    std::vector<std::unique_ptr<swr::TexelCopy>> copies;
    swr::TextureView view;
    PALETTEENTRY palette[256] = {};

    explicit Texture(uint32_t size, Kind kind = Kind::Argb) {
        D3DFORMAT format = D3DFMT_A8R8G8B8;
        // The palette: the checker's two colours over 128 steps of the gradient.
        for (uint32_t i = 0; i < 256; ++i) {
            const uint32_t c = 0xC0000000u | ((i & 1) ? 0x00E0C080u : 0x00406080u) | ((i >> 1) * 2u << 8);
            palette[i] = PALETTEENTRY{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)};
        }
        for (uint32_t s = size; s >= 1; s /= 2) {
            std::vector<uint8_t> bytes;
            uint32_t pitch = s * 4;
            if (kind == Kind::P8) {
                format = D3DFMT_P8;
                pitch = s;
                for (uint32_t y = 0; y < s; ++y) {
                    for (uint32_t x = 0; x < s; ++x) {
                        const bool check = ((x * 8 / s) + (y * 8 / s)) & 1;
                        bytes.push_back(static_cast<uint8_t>((x * 128 / s) * 2 + (check ? 1 : 0)));
                    }
                }
            } else if (kind == Kind::Dxt1) {
                format = D3DFMT_DXT1;
                const uint32_t blocks = std::max(1u, s / 4);
                pitch = blocks * 8;
                for (uint32_t by = 0; by < blocks; ++by) {
                    for (uint32_t bx = 0; bx < blocks; ++bx) {
                        // End points from the block's corner texels, selectors a fixed ramp.
                        auto to565 = [](uint32_t c) {
                            return static_cast<uint16_t>(((c >> 19) & 31u) << 11 | ((c >> 10) & 63u) << 5 | ((c >> 3) & 31u));
                        };
                        const uint16_t e0 = to565(CheckerTexel(bx * 4, by * 4, s)) | 0x8000u;
                        const uint16_t e1 = to565(CheckerTexel(std::min(bx * 4 + 3, s - 1), std::min(by * 4 + 3, s - 1), s)) & 0x7FFFu;
                        const uint32_t selectors = 0xE4E4E4E4u;
                        const uint8_t block[8] = {uint8_t(e0), uint8_t(e0 >> 8), uint8_t(e1), uint8_t(e1 >> 8),
                                                  uint8_t(selectors), uint8_t(selectors >> 8), uint8_t(selectors >> 16),
                                                  uint8_t(selectors >> 24)};
                        bytes.insert(bytes.end(), block, block + 8);
                    }
                }
            } else {
                for (uint32_t y = 0; y < s; ++y) {
                    for (uint32_t x = 0; x < s; ++x) {
                        const uint32_t t = CheckerTexel(x, y, s);
                        bytes.insert(bytes.end(), {uint8_t(t), uint8_t(t >> 8), uint8_t(t >> 16), uint8_t(t >> 24)});
                    }
                }
            }
            levels.push_back(std::move(bytes));
            copies.push_back(std::make_unique<swr::TexelCopy>());
            views.push_back({s, s, pitch, nullptr, copies.back().get()});
        }
        for (size_t i = 0; i < levels.size(); ++i) views[i].bits = levels[i].data();
        view = swr::TextureView{format, static_cast<uint32_t>(views.size()), false, views.data()};
    }
};

void SetCommonState(swr::DrawState &state, D3DLIGHT8 lights[2]) {
    swr::SetDefaultStates(state, true);
    state.viewport = D3DVIEWPORT8{0, 0, kWidth, kHeight, 0.0f, 1.0f};
    D3DMATRIX proj{};
    proj._11 = 1.5f / (static_cast<float>(kWidth) / kHeight);
    proj._22 = 1.5f;
    proj._33 = 100.0f / 99.0f;
    proj._34 = 1.0f;
    proj._43 = -100.0f / 99.0f;
    state.projection = proj;
    state.world = state.view = Identity();
    state.renderStates[D3DRS_CULLMODE] = D3DCULL_NONE;
    state.renderStates[D3DRS_AMBIENT] = 0xFF202020u;
    state.material.Diffuse = {0.8f, 0.7f, 0.6f, 1.0f};
    state.material.Ambient = {1, 1, 1, 1};
    lights[0] = D3DLIGHT8{};
    lights[0].Type = D3DLIGHT_DIRECTIONAL;
    lights[0].Diffuse = {0.9f, 0.9f, 0.8f, 1};
    lights[0].Direction = {0.3f, -0.4f, 1.0f};
    lights[1] = D3DLIGHT8{};
    lights[1].Type = D3DLIGHT_POINT;
    lights[1].Diffuse = {0.5f, 0.3f, 0.2f, 1};
    lights[1].Position = {2.0f, 1.0f, 7.0f};
    lights[1].Range = 20.0f;
    lights[1].Attenuation0 = 1.0f;
    lights[1].Attenuation1 = 0.1f;
    state.lights[0] = &lights[0];
    state.lights[1] = &lights[1];
    state.lightCount = 2;
}

// The targets, the depth target with the coarse depth the device's keep.
struct Targets {
    std::vector<uint32_t> colorBits = std::vector<uint32_t>(kWidth * kHeight);
    std::vector<uint32_t> depthBits = std::vector<uint32_t>(kWidth * kHeight);
    swr::CoarseDepth coarse;
    swr::ColorTarget color{kWidth, kHeight, kWidth * 4, D3DFMT_X8R8G8B8, reinterpret_cast<uint8_t *>(colorBits.data())};
    swr::DepthTarget depth{kWidth, kHeight, kWidth * 4, D3DFMT_D24S8, reinterpret_cast<uint8_t *>(depthBits.data()), &coarse};
};

// Arguments: mesh cells per side, span routines on (1) or off (0).
void BM_LitUntexturedMesh(benchmark::State &bench) {
    const int cells = static_cast<int>(bench.range(0));
    Targets t;
    static swr::DrawState state;
    D3DLIGHT8 lights[2];
    SetCommonState(state, lights);
    state.stageStates[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG2;
    state.stageStates[0][D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
    std::vector<LitVertex> vertices;
    std::vector<uint16_t> indices;
    BuildMesh(cells, cells, vertices, indices);
    const swr::VertexStream stream{reinterpret_cast<const uint8_t *>(vertices.data()),
                                   vertices.size() * sizeof(LitVertex), sizeof(LitVertex), kLitFvf};
    const swr::IndexStream istream{reinterpret_cast<const uint8_t *>(indices.data()), indices.size() * 2, false};
    const uint32_t triangles = static_cast<uint32_t>(indices.size() / 3);
    swr::SetThreadCount(1);
    swr::SetFastPathsEnabled(bench.range(1) != 0);
    for (auto _ : bench) {
        swr::Clear(state.viewport, &t.color, &t.depth, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        swr::DrawIndexedPrimitive(state, t.color, &t.depth, D3DPT_TRIANGLELIST, stream, istream, 0, 0,
                                  static_cast<uint32_t>(vertices.size()), 0, triangles);
        benchmark::DoNotOptimize(t.colorBits.data());
    }
    swr::SetFastPathsEnabled(true);
    swr::SetThreadCount(0);
    bench.counters["triangles/s"] = benchmark::Counter(triangles, benchmark::Counter::kIsIterationInvariantRate);
    bench.counters["pixels/s"] = benchmark::Counter(double{kWidth} * kHeight, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_LitUntexturedMesh)
    ->ArgsProduct({{16, 160}, {0, 1}})
    ->ArgNames({"cells", "fast"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The game's frame: 99 x 100 cells of ground (19,800 triangles) and 100 blended quads
// in front, textured, lit and fogged, drawn with `threads` threads (0: all of them).
void GameFrame(benchmark::State &bench, Kind kind, uint32_t threads) {
    Targets t;
    static swr::DrawState state;
    D3DLIGHT8 lights[2];
    SetCommonState(state, lights);
    Texture texture(256, kind == Kind::Lightmap ? Kind::Argb : kind);
    Texture lightmap(64);
    state.textures[0] = texture.view;
    state.palette = texture.palette;
    DWORD *ts = state.stageStates[0];
    ts[D3DTSS_COLOROP] = D3DTOP_MODULATE;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
    ts[D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_MINFILTER] = ts[D3DTSS_MAGFILTER] = D3DTEXF_LINEAR;
    ts[D3DTSS_MIPFILTER] = D3DTEXF_POINT;
    const DWORD fvf = kind == Kind::Lightmap ? kLitFvf2 : kLitFvf;
    if (kind == Kind::Lightmap) {
        // The lightmap route's single pass: stage 1 multiplies in the lightmap by its
        // own coordinates, alpha carried from stage 0.
        state.textures[1] = lightmap.view;
        DWORD *t1 = state.stageStates[1];
        t1[D3DTSS_COLOROP] = D3DTOP_MODULATE;
        t1[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        t1[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        t1[D3DTSS_ALPHAOP] = D3DTOP_SELECTARG2;
        t1[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        t1[D3DTSS_TEXCOORDINDEX] = 1;
        t1[D3DTSS_MINFILTER] = t1[D3DTSS_MAGFILTER] = D3DTEXF_LINEAR;
    }
    DWORD *rs = state.renderStates;
    rs[D3DRS_FOGENABLE] = TRUE;
    rs[D3DRS_FOGVERTEXMODE] = D3DFOG_LINEAR;
    rs[D3DRS_FOGSTART] = Bits(9.0f);
    rs[D3DRS_FOGEND] = Bits(16.0f);
    rs[D3DRS_FOGCOLOR] = 0xFF8090A0u;

    std::vector<LitVertex> ground, sprites;
    std::vector<uint16_t> groundIndices, spriteIndices;
    BuildMesh(99, 100, ground, groundIndices);
    for (int k = 0; k < 100; ++k) {
        const float cx = -5.0f + (k % 10) * 1.1f, cy = -3.5f + (k / 10) * 0.8f, z = 7.5f, r = 0.35f;
        const uint16_t base = static_cast<uint16_t>(sprites.size());
        const D3DCOLOR c = 0x80FFFFFFu;
        sprites.push_back({cx - r, cy + r, z, 0, 0, -1, c, 0, 0, 0, 0});
        sprites.push_back({cx + r, cy + r, z, 0, 0, -1, c, 1, 0, 1, 0});
        sprites.push_back({cx + r, cy - r, z, 0, 0, -1, c, 1, 1, 1, 1});
        sprites.push_back({cx - r, cy - r, z, 0, 0, -1, c, 0, 1, 0, 1});
        spriteIndices.insert(spriteIndices.end(), {base, uint16_t(base + 1), uint16_t(base + 2), base,
                                                   uint16_t(base + 2), uint16_t(base + 3)});
    }
    // The vertices keep the layout of one coordinate set unless the lightmap reads two.
    const uint32_t stride = kind == Kind::Lightmap ? sizeof(LitVertex) : sizeof(LitVertex) - 8;
    auto pack = [&](const std::vector<LitVertex> &in) {
        std::vector<uint8_t> out;
        for (const LitVertex &v : in) {
            const uint8_t *p = reinterpret_cast<const uint8_t *>(&v);
            out.insert(out.end(), p, p + stride);
        }
        return out;
    };
    const std::vector<uint8_t> groundBytes = pack(ground), spriteBytes = pack(sprites);
    const swr::VertexStream groundStream{groundBytes.data(), groundBytes.size(), stride, fvf};
    const swr::IndexStream groundIstream{reinterpret_cast<const uint8_t *>(groundIndices.data()),
                                         groundIndices.size() * 2, false};
    const swr::VertexStream spriteStream{spriteBytes.data(), spriteBytes.size(), stride, fvf};
    const swr::IndexStream spriteIstream{reinterpret_cast<const uint8_t *>(spriteIndices.data()),
                                         spriteIndices.size() * 2, false};
    const uint32_t groundTriangles = static_cast<uint32_t>(groundIndices.size() / 3);
    const uint32_t spriteTriangles = static_cast<uint32_t>(spriteIndices.size() / 3);

    swr::SetThreadCount(threads);
    for (auto _ : bench) {
        swr::Clear(state.viewport, &t.color, &t.depth, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF8090A0u, 1.0f, 0);
        rs[D3DRS_ALPHABLENDENABLE] = FALSE;
        rs[D3DRS_ZWRITEENABLE] = TRUE;
        swr::DrawIndexedPrimitive(state, t.color, &t.depth, D3DPT_TRIANGLELIST, groundStream, groundIstream, 0, 0,
                                  static_cast<uint32_t>(ground.size()), 0, groundTriangles);
        rs[D3DRS_ALPHABLENDENABLE] = TRUE;
        rs[D3DRS_SRCBLEND] = D3DBLEND_SRCALPHA;
        rs[D3DRS_DESTBLEND] = D3DBLEND_INVSRCALPHA;
        rs[D3DRS_ZWRITEENABLE] = FALSE;
        ts[D3DTSS_ALPHAOP] = D3DTOP_MODULATE;
        ts[D3DTSS_ALPHAARG2] = D3DTA_DIFFUSE;
        swr::DrawIndexedPrimitive(state, t.color, &t.depth, D3DPT_TRIANGLELIST, spriteStream, spriteIstream, 0, 0,
                                  static_cast<uint32_t>(sprites.size()), 0, spriteTriangles);
        ts[D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
        benchmark::DoNotOptimize(t.colorBits.data());
    }
    swr::SetThreadCount(0);
    state = swr::DrawState{};
    bench.counters["fps"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
    bench.counters["triangles"] = groundTriangles + spriteTriangles;
}

// Argument: threads (0: all of them).
void BM_GameFrame20kTexturedLitFogged(benchmark::State &bench) {
    GameFrame(bench, Kind::Argb, static_cast<uint32_t>(bench.range(0)));
}
BENCHMARK(BM_GameFrame20kTexturedLitFogged)
    ->Arg(1)
    ->Arg(2)
    ->Arg(0)
    ->ArgName("threads")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same frame with the game's other texture kinds, on one thread. Arguments: kind
// (0: 32-bit, 1: P8, 2: DXT1, 3: 32-bit with a lightmap stage), vector width (0: the
// widest the processor has, 8: AVX2, 4: the baseline).
void BM_GameFrameTextureKinds(benchmark::State &bench) {
    swr::SetSpanWidth(static_cast<uint32_t>(bench.range(1)));
    GameFrame(bench, static_cast<Kind>(bench.range(0)), 1);
    swr::SetSpanWidth(0);
}
BENCHMARK(BM_GameFrameTextureKinds)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 8, 4}})
    ->ArgNames({"kind", "lanes"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Overdraw behind a wall: a near textured wall over the lower two thirds of the view,
// then a ground of 30 x 30 cells (1,800 triangles of some 270 pixels) behind it, on one
// thread. Arguments: whether the depth target keeps its coarse depth (1) or not (0);
// and whether the ground is alpha-tested (1) as foliage and fences are, which puts its
// depth test after the texturing, and lets its hidden triangles skip the tiles of the
// coarse depth they lie behind.
void BM_GroundBehindAWall(benchmark::State &bench) {
    Targets t;
    if (bench.range(0) == 0) t.depth.coarse = nullptr;
    static swr::DrawState state;
    D3DLIGHT8 lights[2];
    SetCommonState(state, lights);
    Texture texture(256);
    state.textures[0] = texture.view;
    DWORD *ts = state.stageStates[0];
    ts[D3DTSS_COLOROP] = D3DTOP_MODULATE;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
    ts[D3DTSS_MINFILTER] = ts[D3DTSS_MAGFILTER] = D3DTEXF_LINEAR;
    ts[D3DTSS_MIPFILTER] = D3DTEXF_POINT;
    ts[D3DTSS_ALPHAOP] = D3DTOP_SELECTARG1;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    const bool alphaTest = bench.range(1) != 0;
    state.renderStates[D3DRS_ALPHAREF] = 0x80;
    state.renderStates[D3DRS_ALPHAFUNC] = D3DCMP_GREATEREQUAL;
    std::vector<LitVertex> ground, wall;
    std::vector<uint16_t> groundIndices, wallIndices;
    BuildMesh(30, 30, ground, groundIndices);
    for (const float y : {0.45f, -3.2f}) {
        for (const float x : {-3.0f, 3.0f}) wall.push_back({x, y, 2.0f, 0, 0, -1, 0xFFFFFFFFu, x, y, 0, 0});
    }
    wallIndices = {0, 1, 3, 0, 3, 2};
    auto stream = [](const std::vector<LitVertex> &v) {
        return swr::VertexStream{reinterpret_cast<const uint8_t *>(v.data()), v.size() * sizeof(LitVertex),
                                 sizeof(LitVertex), kLitFvf2};
    };
    auto istream = [](const std::vector<uint16_t> &i) {
        return swr::IndexStream{reinterpret_cast<const uint8_t *>(i.data()), i.size() * 2, false};
    };
    swr::SetThreadCount(1);
    for (auto _ : bench) {
        swr::Clear(state.viewport, &t.color, &t.depth, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF8090A0u, 1.0f, 0);
        state.renderStates[D3DRS_ALPHATESTENABLE] = FALSE;
        swr::DrawIndexedPrimitive(state, t.color, &t.depth, D3DPT_TRIANGLELIST, stream(wall), istream(wallIndices), 0, 0,
                                  static_cast<uint32_t>(wall.size()), 0, 2);
        state.renderStates[D3DRS_ALPHATESTENABLE] = alphaTest;
        swr::DrawIndexedPrimitive(state, t.color, &t.depth, D3DPT_TRIANGLELIST, stream(ground), istream(groundIndices), 0,
                                  0, static_cast<uint32_t>(ground.size()), 0,
                                  static_cast<uint32_t>(groundIndices.size() / 3));
        benchmark::DoNotOptimize(t.colorBits.data());
    }
    swr::SetThreadCount(0);
    state = swr::DrawState{};
    bench.counters["fps"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GroundBehindAWall)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"coarse", "alphatest"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Stage 0 as the layers and glows have it: the texture, repeated, times the vertex
// colour and alpha, through `filter` and one level.
void ModulateWrapped(DWORD *ts, DWORD filter) {
    ts[D3DTSS_COLOROP] = D3DTOP_MODULATE;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
    ts[D3DTSS_ALPHAOP] = D3DTOP_MODULATE;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_ALPHAARG2] = D3DTA_DIFFUSE;
    ts[D3DTSS_ADDRESSU] = ts[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    ts[D3DTSS_MINFILTER] = ts[D3DTSS_MAGFILTER] = filter;
    ts[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
}

// A full-screen layer drawn as the rain's streaks are: one screen-space quad of a small
// texture repeated three times across (magnified some eight times, filtered), its vertex
// alpha weighing it, added onto the frame with no depth test; on one thread. Argument:
// the texture filter (0: point, 1: linear).
void BM_ScreenLayer(benchmark::State &bench) {
    Targets t;
    static swr::DrawState state;
    swr::SetDefaultStates(state, true);
    state.viewport = D3DVIEWPORT8{0, 0, kWidth, kHeight, 0.0f, 1.0f};
    Texture texture(32);
    state.textures[0] = texture.view;
    DWORD *rs = state.renderStates;
    DWORD *ts = state.stageStates[0];
    ModulateWrapped(ts, bench.range(0) != 0 ? D3DTEXF_LINEAR : D3DTEXF_POINT);
    rs[D3DRS_CULLMODE] = D3DCULL_NONE;
    rs[D3DRS_ZENABLE] = FALSE;
    rs[D3DRS_ZWRITEENABLE] = FALSE;
    rs[D3DRS_ALPHABLENDENABLE] = TRUE;
    rs[D3DRS_SRCBLEND] = D3DBLEND_SRCALPHA;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ONE;
    struct ScreenVertex {
        float x, y, z, rhw;
        D3DCOLOR color;
        float u, v;
    };
    const float w = kWidth, h = kHeight, scroll = -0.37f, tiles = 3.0f;
    const ScreenVertex quad[4] = {{0, 0, 0, 1, 0x66FFFFFFu, 0, scroll},
                                  {w, 0, 0, 1, 0x66FFFFFFu, tiles, scroll},
                                  {0, h, 0, 1, 0x66FFFFFFu, 0, scroll + tiles * h / w},
                                  {w, h, 0, 1, 0x66FFFFFFu, tiles, scroll + tiles * h / w}};
    const uint16_t indices[6] = {0, 2, 1, 1, 2, 3};
    const swr::VertexStream stream{reinterpret_cast<const uint8_t *>(quad), sizeof(quad), sizeof(ScreenVertex),
                                   D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1};
    const swr::IndexStream istream{reinterpret_cast<const uint8_t *>(indices), sizeof(indices), false};
    swr::SetThreadCount(1);
    for (auto _ : bench) {
        swr::DrawIndexedPrimitive(state, t.color, &t.depth, D3DPT_TRIANGLELIST, stream, istream, 0, 0, 4, 0, 2);
        benchmark::DoNotOptimize(t.colorBits.data());
    }
    swr::SetThreadCount(0);
    state = swr::DrawState{};
    bench.counters["fps"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ScreenLayer)->Arg(0)->Arg(1)->ArgName("linear")->Unit(benchmark::kMillisecond)->UseRealTime();

// A burst of hit sparks over a scene, as a boss's hits throw them: 31 sprites whose
// corners lie at slightly different depths (drawn under perspective) and 37 square to
// the screen, each a quad of a 32x32 glow (its alpha falling to zero off a disc)
// magnified to 40-70 pixels, its vertex colour weighing it, added onto the frame
// (SRCALPHA, ONE) where its alpha is above zero and it passes a LESSEQUAL depth test
// without writing depth; on one thread. The scene's depth is nearer over the upper half
// of the target, in front of some sprites, so that the coarse depth hides some of their
// tiles.
void BM_SparkBurst(benchmark::State &bench) {
    Targets t;
    static swr::DrawState state;
    swr::SetDefaultStates(state, true);
    state.viewport = D3DVIEWPORT8{0, 0, kWidth, kHeight, 0.0f, 1.0f};
    constexpr uint32_t kSize = 32;
    std::vector<uint8_t> bytes;
    for (uint32_t y = 0; y < kSize; ++y) {
        for (uint32_t x = 0; x < kSize; ++x) {
            const float dx = (x + 0.5f) / kSize - 0.5f, dy = (y + 0.5f) / kSize - 0.5f;
            const float r = std::sqrt(dx * dx + dy * dy) * 2.2f;
            const uint32_t a = r >= 1.0f ? 0u : static_cast<uint32_t>(255.0f * (1.0f - r) * (1.0f - r));
            bytes.insert(bytes.end(), {uint8_t(160 + x), uint8_t(200 + y / 2), 255, uint8_t(a)});
        }
    }
    swr::TexelCopy copy;
    swr::TextureLevel level{kSize, kSize, kSize * 4, bytes.data(), &copy};
    state.textures[0] = swr::TextureView{D3DFMT_A8R8G8B8, 1, false, &level};
    DWORD *rs = state.renderStates;
    DWORD *ts = state.stageStates[0];
    ModulateWrapped(ts, D3DTEXF_LINEAR);
    rs[D3DRS_CULLMODE] = D3DCULL_NONE;
    rs[D3DRS_ALPHABLENDENABLE] = TRUE;
    rs[D3DRS_SRCBLEND] = D3DBLEND_SRCALPHA;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ONE;
    rs[D3DRS_ALPHATESTENABLE] = TRUE;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_GREATER;
    rs[D3DRS_ALPHAREF] = 0;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ZWRITEENABLE] = FALSE;
    struct ScreenVertex {
        float x, y, z, rhw;
        D3DCOLOR color;
        float u, v;
    };
    // The sprites: place, size and depth from a fixed scatter; the first 31 lean by a
    // hair (their corners' 1/w differ in the last bits), the others do not.
    std::vector<ScreenVertex> sprites;
    std::vector<uint16_t> indices;
    uint32_t seed = 12345u;
    auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f;
    };
    for (int i = 0; i < 68; ++i) {
        const float size = 40.0f + 30.0f * next(), x = 100.0f + 560.0f * next(), y = 60.0f + 440.0f * next();
        const float z = 0.3f + 0.6f * next(), rhw = 1.0f / (1.0f + 60.0f * z);
        const float lean = i < 31 ? 1e-6f : 0.0f;
        const D3DCOLOR color = 0xFF000000u | (uint32_t(128 + 127 * next()) << 16) | (uint32_t(128 + 127 * next()) << 8) | 0xC0u;
        const uint16_t first = static_cast<uint16_t>(sprites.size());
        sprites.push_back({x, y, z, rhw, color, 0.0f, 0.0f});
        sprites.push_back({x + size, y, z, rhw * (1.0f + lean), color, 1.0f, 0.0f});
        sprites.push_back({x, y + size, z, rhw * (1.0f - lean), color, 0.0f, 1.0f});
        sprites.push_back({x + size, y + size, z, rhw, color, 1.0f, 1.0f});
        indices.insert(indices.end(), {first, uint16_t(first + 1), uint16_t(first + 2), uint16_t(first + 2),
                                       uint16_t(first + 1), uint16_t(first + 3)});
    }
    const D3DRECT wall{0, 0, kWidth, kHeight / 2};
    constexpr DWORD kFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    const swr::VertexStream spriteStream{reinterpret_cast<const uint8_t *>(sprites.data()),
                                         sprites.size() * sizeof(ScreenVertex), sizeof(ScreenVertex), kFvf};
    const swr::IndexStream spriteIndices{reinterpret_cast<const uint8_t *>(indices.data()), indices.size() * 2, false};
    swr::SetThreadCount(1);
    for (auto _ : bench) {
        swr::Clear(state.viewport, &t.color, &t.depth, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF203040u, 1.0f, 0);
        swr::Clear(state.viewport, &t.color, &t.depth, 1, &wall, D3DCLEAR_ZBUFFER, 0, 0.5f, 0);
        // One draw a sprite, as the effects draw them.
        for (uint32_t i = 0; i < 68; ++i) {
            swr::DrawIndexedPrimitive(state, t.color, &t.depth, D3DPT_TRIANGLELIST, spriteStream, spriteIndices, 0, 0,
                                      static_cast<uint32_t>(sprites.size()), i * 6, 2);
        }
        benchmark::DoNotOptimize(t.colorBits.data());
    }
    swr::SetThreadCount(0);
    state = swr::DrawState{};
    bench.counters["fps"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SparkBurst)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The clear that starts each frame: the colour and depth of the whole target, on one
// thread.
void BM_FrameClear(benchmark::State &bench) {
    Targets t;
    const D3DVIEWPORT8 viewport{0, 0, kWidth, kHeight, 0.0f, 1.0f};
    swr::SetThreadCount(1);
    for (auto _ : bench) {
        swr::Clear(viewport, &t.color, &t.depth, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF8090A0u, 1.0f, 0);
        benchmark::DoNotOptimize(t.colorBits.data());
    }
    swr::SetThreadCount(0);
}
BENCHMARK(BM_FrameClear)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
