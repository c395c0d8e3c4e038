// What device tests that draw textured quads through a pixel shader share: the vertex
// (screen space, a colour, one coordinate set) and the multiply-add program.
#pragma once

#include "d3d8/d3d8.h"
#include "platform/d3d8/pixel_shader.h"

namespace devicetest {

struct TexVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD kTexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// r0 = t0 * c0 + v0
using namespace d3d8::ps;
inline constexpr DWORD kMadShader[] = {kVersion11, kTex, Dst(kRegTexture, 0),
                                       kMad, Dst(kRegTemp, 0), Src(kRegTexture, 0), Src(kRegConst, 0), Src(kRegInput, 0),
                                       kEnd};

}  // namespace devicetest
