// Vertex fetch and processing. Every read goes through a bounds check on the whole
// vertex first, so a short stream makes its last vertices unreadable rather than
// half-read.
#include "swr_vertex_processor.h"

#include <cstring>

namespace swr {
namespace {

Rgba8 ReadColor(const uint8_t *p) {
    D3DCOLOR c;
    std::memcpy(&c, p, 4);
    return UnpackColor(c);
}

void StoreColor(float *dst, Rgba8 c) {
    dst[0] = c.r;
    dst[1] = c.g;
    dst[2] = c.b;
    dst[3] = c.a;
}

}  // namespace

bool VertexProcessor::Prepare(const DrawState &state, const VertexStream &stream, uint32_t texturedStages) {
    if (!DecodeVertexLayout(stream.fvf, layout_)) return false;
    if (stream.stride < layout_.size) return false;
    data_ = stream.data;
    stride_ = stream.stride;
    vertexCount_ = 0;
    if (data_ && stream.sizeBytes >= layout_.size && stride_ > 0) {
        const uint64_t count = (stream.sizeBytes - layout_.size) / stride_ + 1;
        vertexCount_ = count > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(count);
    }
    worldView_ = Multiply(state.world, state.view);
    worldViewProjection_ = Multiply(worldView_, state.projection);
    PrepareLighting(state, layout_, lighting_);
    if (lighting_.enabled) normalMatrix_ = NormalMatrix(worldView_);
    fog_ = PrepareFog(state);
    const bool vertexWhere = fog_.where == FogSetup::Where::Vertex;
    vertexFog_ = vertexWhere && fog_.mode != D3DFOG_NONE && !layout_.pretransformed;
    suppliedFog_ = vertexWhere && !vertexFog_ && layout_.specular >= 0;

    carriedStages_ = 0;
    for (uint32_t s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s) {
        stageTexCoordSet_[s] = -1;
        if (!(texturedStages & (1u << s))) continue;
        const uint32_t set = state.stageStates[s][D3DTSS_TEXCOORDINDEX] & 0xFFFFu;
        if (set < layout_.texCoordSets) stageTexCoordSet_[s] = static_cast<int32_t>(set);
        carriedStages_ = s + 1;
    }
    varyingCount_ = kVaryTexCoord + 4 * carriedStages_;
    return true;
}

bool VertexProcessor::Process(uint32_t index, ClipVertex &out) const {
    if (index >= vertexCount_) return false;
    const uint8_t *v = data_ + static_cast<size_t>(index) * stride_;

    float p[4] = {0, 0, 0, 1};
    std::memcpy(p, v + layout_.position, layout_.pretransformed ? 16 : 12);
    const Rgba8 vertexDiffuse = layout_.diffuse >= 0 ? ReadColor(v + layout_.diffuse) : Rgba8{255, 255, 255, 255};
    const Rgba8 vertexSpecular = layout_.specular >= 0 ? ReadColor(v + layout_.specular) : Rgba8{0, 0, 0, 0};

    Rgba8 diffuse = vertexDiffuse, specular = vertexSpecular;
    float fog = 255.0f;
    if (layout_.pretransformed) {
        std::memcpy(out.pos, p, sizeof(out.pos));
    } else {
        const Vec3 position{p[0], p[1], p[2]};
        const Vec4 clip = TransformPoint(position, worldViewProjection_);
        out.pos[0] = clip.x;
        out.pos[1] = clip.y;
        out.pos[2] = clip.z;
        out.pos[3] = clip.w;
        if (lighting_.enabled || vertexFog_) {
            const Vec4 eye4 = TransformPoint(position, worldView_);
            const Vec3 eye{eye4.x, eye4.y, eye4.z};
            if (lighting_.enabled) {
                Vec3 normal;
                if (layout_.normal >= 0) {
                    float n[3];
                    std::memcpy(n, v + layout_.normal, 12);
                    normal = TransformDirection(Vec3{n[0], n[1], n[2]}, normalMatrix_);
                }
                const LitColors lit = LightVertex(lighting_, eye, normal, vertexDiffuse, vertexSpecular);
                diffuse = lit.diffuse;
                specular = lit.specular;
            }
            if (vertexFog_) fog = FogFactor(fog_, fog_.rangeBased ? Length(eye) : eye.z);
        }
    }
    if (suppliedFog_) fog = vertexSpecular.a;

    StoreColor(out.var + kVaryDiffuse, diffuse);
    StoreColor(out.var + kVarySpecular, specular);
    out.var[kVaryFog] = fog;
    for (uint32_t s = 0; s < carriedStages_; ++s) {
        float *dst = out.var + kVaryTexCoord + 4 * s;
        dst[0] = dst[1] = dst[2] = 0.0f;
        dst[3] = 1.0f;
        const int32_t set = stageTexCoordSet_[s];
        if (set >= 0) std::memcpy(dst, v + layout_.texCoord[set], 4 * layout_.texCoordSize[set]);
    }
    return true;
}

}  // namespace swr
