// Throughput of the software rasteriser's reference path: a lit, depth-tested mesh
// filling an 800x600 target, reported as triangles and pixels per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/d3d8/swr/swr_draw.h"

namespace {

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
    D3DCOLOR color;
};

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

// A gently bumpy grid of `cells` x `cells` quads filling the view at depth ~10.
void BuildMesh(int cells, std::vector<LitVertex> &vertices, std::vector<uint16_t> &indices) {
    const int n = cells + 1;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const float u = static_cast<float>(i) / cells, v = static_cast<float>(j) / cells;
            const float bump = 0.3f * std::sin(u * 12.0f) * std::cos(v * 9.0f);
            const float nx = -0.3f * std::cos(u * 12.0f), ny = 0.2f * std::sin(v * 9.0f);
            const float len = std::sqrt(nx * nx + ny * ny + 1.0f);
            vertices.push_back({(u - 0.5f) * 26.0f, (0.5f - v) * 20.0f, 10.0f + bump, nx / len, ny / len, -1.0f / len,
                                0xFFFFFFFFu});
        }
    }
    for (int j = 0; j < cells; ++j) {
        for (int i = 0; i < cells; ++i) {
            const uint16_t a = static_cast<uint16_t>(j * n + i), b = static_cast<uint16_t>(a + 1);
            const uint16_t c = static_cast<uint16_t>(a + n), d = static_cast<uint16_t>(c + 1);
            indices.insert(indices.end(), {a, b, d, a, d, c});
        }
    }
}

void BM_LitDepthTestedMesh(benchmark::State &bench) {
    const uint32_t width = 800, height = 600;
    const int cells = static_cast<int>(bench.range(0));
    std::vector<uint32_t> colorBits(width * height), depthBits(width * height);
    swr::ColorTarget color{width, height, width * 4, D3DFMT_X8R8G8B8, reinterpret_cast<uint8_t *>(colorBits.data())};
    swr::DepthTarget depth{width, height, width * 4, D3DFMT_D24S8, reinterpret_cast<uint8_t *>(depthBits.data())};

    static swr::DrawState state;
    swr::SetDefaultStates(state, true);
    state.viewport = D3DVIEWPORT8{0, 0, width, height, 0.0f, 1.0f};
    state.world = Identity();
    state.view = Identity();
    D3DMATRIX proj{};
    proj._11 = 1.5f / (static_cast<float>(width) / height);
    proj._22 = 1.5f;
    proj._33 = 100.0f / 99.0f;
    proj._34 = 1.0f;
    proj._43 = -100.0f / 99.0f;
    state.projection = proj;
    state.renderStates[D3DRS_CULLMODE] = D3DCULL_NONE;
    state.renderStates[D3DRS_AMBIENT] = 0xFF202020u;
    state.material.Diffuse = {0.8f, 0.7f, 0.6f, 1.0f};
    state.material.Ambient = {1, 1, 1, 1};
    state.stageStates[0][D3DTSS_COLOROP] = D3DTOP_SELECTARG2;
    state.stageStates[0][D3DTSS_COLORARG2] = D3DTA_DIFFUSE;
    D3DLIGHT8 sun{};
    sun.Type = D3DLIGHT_DIRECTIONAL;
    sun.Diffuse = {0.9f, 0.9f, 0.8f, 1};
    sun.Direction = {0.3f, -0.4f, 1.0f};
    D3DLIGHT8 lamp{};
    lamp.Type = D3DLIGHT_POINT;
    lamp.Diffuse = {0.5f, 0.3f, 0.2f, 1};
    lamp.Position = {2.0f, 1.0f, 7.0f};
    lamp.Range = 20.0f;
    lamp.Attenuation0 = 1.0f;
    lamp.Attenuation1 = 0.1f;
    state.lights[0] = &sun;
    state.lights[1] = &lamp;
    state.lightCount = 2;
    (void)Bits;

    std::vector<LitVertex> vertices;
    std::vector<uint16_t> indices;
    BuildMesh(cells, vertices, indices);
    const swr::VertexStream stream{reinterpret_cast<const uint8_t *>(vertices.data()),
                                   vertices.size() * sizeof(LitVertex), sizeof(LitVertex),
                                   D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE};
    const swr::IndexStream istream{reinterpret_cast<const uint8_t *>(indices.data()), indices.size() * 2, false};
    const uint32_t triangles = static_cast<uint32_t>(indices.size() / 3);

    for (auto _ : bench) {
        swr::Clear(state.viewport, &color, &depth, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        swr::DrawIndexedPrimitive(state, color, &depth, D3DPT_TRIANGLELIST, stream, istream, 0, 0,
                                  static_cast<uint32_t>(vertices.size()), 0, triangles);
        benchmark::DoNotOptimize(colorBits.data());
    }
    // The mesh covers the whole target once (a little more where bumps overlap).
    bench.counters["triangles/s"] = benchmark::Counter(static_cast<double>(triangles), benchmark::Counter::kIsIterationInvariantRate);
    bench.counters["pixels/s"] = benchmark::Counter(static_cast<double>(width) * height, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_LitDepthTestedMesh)->Arg(16)->Arg(64)->Arg(160)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
