// Flexible-vertex-format decoding: components follow one another in a fixed order
// (position, blend weights, normal, point size, diffuse, specular, coordinate sets).
#include "swr_vertex_layout.h"

namespace swr {

bool DecodeVertexLayout(DWORD fvf, VertexLayout &out) {
    out = VertexLayout{};
    if (fvf & (D3DFVF_RESERVED0 | D3DFVF_RESERVED2)) return false;

    uint32_t offset = 0;
    out.position = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
        case D3DFVF_XYZ: offset = 12; break;
        case D3DFVF_XYZRHW: offset = 16; out.pretransformed = true; break;
        case D3DFVF_XYZB1: case D3DFVF_XYZB2: case D3DFVF_XYZB3:
        case D3DFVF_XYZB4: case D3DFVF_XYZB5:
            out.blendWeights = ((fvf & D3DFVF_POSITION_MASK) - D3DFVF_XYZRHW) / 2u;
            offset = 12 + 4 * out.blendWeights;
            break;
        default: return false;
    }
    if (fvf & D3DFVF_NORMAL) { out.normal = static_cast<int32_t>(offset); offset += 12; }
    if (fvf & D3DFVF_PSIZE) { out.pointSize = static_cast<int32_t>(offset); offset += 4; }
    if (fvf & D3DFVF_DIFFUSE) { out.diffuse = static_cast<int32_t>(offset); offset += 4; }
    if (fvf & D3DFVF_SPECULAR) { out.specular = static_cast<int32_t>(offset); offset += 4; }

    out.texCoordSets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (out.texCoordSets > kMaxTexCoordSets) return false;
    for (uint32_t i = 0; i < out.texCoordSets; ++i) {
        static constexpr uint32_t kFloatsByCode[4] = {2, 3, 4, 1};
        const uint32_t code = (fvf >> (16 + 2 * i)) & 3u;
        out.texCoord[i] = static_cast<int32_t>(offset);
        out.texCoordSize[i] = kFloatsByCode[code];
        offset += 4 * kFloatsByCode[code];
    }
    out.size = offset;
    return true;
}

}  // namespace swr
