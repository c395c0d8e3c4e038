// Decoding of flexible vertex formats: where each component sits inside a vertex, so
// that the vertex fetch reads exactly the bytes the format declares and nothing else.
#pragma once

#include <cstdint>

#include "d3d8/d3d8types.h"

namespace swr {

constexpr uint32_t kMaxTexCoordSets = 8;

// Byte offsets inside one vertex; -1 where the format lacks the component.
struct VertexLayout {
    bool pretransformed = false;  // XYZRHW: screen-space x, y, z and 1/w
    uint32_t blendWeights = 0;    // XYZB1..XYZB5: floats after the position
    int32_t position = -1;
    int32_t normal = -1;
    int32_t pointSize = -1;
    int32_t diffuse = -1;
    int32_t specular = -1;
    uint32_t texCoordSets = 0;
    int32_t texCoord[kMaxTexCoordSets] = {-1, -1, -1, -1, -1, -1, -1, -1};
    uint32_t texCoordSize[kMaxTexCoordSets] = {};  // floats per set, 1 to 4
    uint32_t size = 0;                             // bytes of one vertex
};

// Fills `out` for `fvf`. False for formats we cannot draw: no position, reserved bits
// set, or more than eight coordinate sets.
bool DecodeVertexLayout(DWORD fvf, VertexLayout &out);

}  // namespace swr
