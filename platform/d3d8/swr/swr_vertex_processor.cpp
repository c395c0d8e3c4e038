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

void VertexProcessor::ReadFrom(const uint8_t *data, size_t sizeBytes) {
    data_ = data;
    vertexCount_ = 0;
    if (data_ && sizeBytes >= layout_.size && stride_ > 0) {
        const uint64_t count = (sizeBytes - layout_.size) / stride_ + 1;
        vertexCount_ = count > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(count);
    }
}

bool VertexProcessor::Prepare(const DrawState &state, const VertexStream &stream, uint32_t texturedStages) {
    if (!DecodeVertexLayout(stream.fvf, layout_)) return false;
    if (stream.stride < layout_.size) return false;
    stride_ = stream.stride;
    ReadFrom(stream.data, stream.sizeBytes);
    worldView_ = Multiply(state.world, state.view);
    worldViewProjection_ = Multiply(worldView_, state.projection);
    PrepareLighting(state, layout_, lighting_);
    if (lighting_.enabled) normalMatrix_ = NormalMatrix(worldView_);
    fog_ = PrepareFog(state);
    const bool vertexWhere = fog_.where == FogSetup::Where::Vertex;
    vertexFog_ = vertexWhere && fog_.mode != D3DFOG_NONE && !layout_.pretransformed;
    suppliedFog_ = vertexWhere && !vertexFog_ && layout_.specular >= 0;

    carriedStages_ = 0;
    needsEye_ = false;
    localViewer_ = state.renderStates[D3DRS_LOCALVIEWER] != 0;
    for (uint32_t s = 0; s < D3D8_MAX_TEXTURE_STAGES; ++s) {
        stageTexCoordSet_[s] = -1;
        stageGeneration_[s] = D3DTSS_TCI_PASSTHRU;
        stageTransformCount_[s] = 0;
        if (!(texturedStages & (1u << s))) continue;
        const DWORD index = state.stageStates[s][D3DTSS_TEXCOORDINDEX];
        const uint32_t set = index & 0xFFFFu;
        // Transformed vertices bring their coordinates as they are.
        if (!layout_.pretransformed) stageGeneration_[s] = index & 0xFFFF0000u;
        if (stageGeneration_[s] != D3DTSS_TCI_PASSTHRU) needsEye_ = true;
        else if (set < layout_.texCoordSets) stageTexCoordSet_[s] = static_cast<int32_t>(set);
        const DWORD count = state.stageStates[s][D3DTSS_TEXTURETRANSFORMFLAGS] & 0xFFu;
        if (!layout_.pretransformed && count >= 1 && count <= 4) {
            stageTransformCount_[s] = count;
            textureTransform_[s] = state.textureTransform[s];
        }
        carriedStages_ = s + 1;
    }
    if (needsEye_ && !lighting_.enabled) normalMatrix_ = NormalMatrix(worldView_);
    varyingCount_ = kVaryTexCoord + 4 * carriedStages_;
    fourAtOnce_ = FourAtOnce();
    return true;
}

void VertexProcessor::ProcessBatch(const uint32_t *index, uint32_t count, ClipVertex *const *out) const {
    LaneConstants constants;
    if (fourAtOnce_) PrepareLanes(constants);
    ProcessBatch(index, count, out, constants);
}

void VertexProcessor::ProcessBatch(const uint32_t *index, uint32_t count, ClipVertex *const *out,
                                   const LaneConstants &constants) const {
    if (fourAtOnce_) return ProcessFour(index, count, out, constants);
    for (uint32_t i = 0; i < count; ++i) Process(index[i], *out[i]);
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
    Vec3 eye, normal;
    if (layout_.pretransformed) {
        std::memcpy(out.pos, p, sizeof(out.pos));
    } else {
        const Vec3 position{p[0], p[1], p[2]};
        const Vec4 clip = TransformPoint(position, worldViewProjection_);
        out.pos[0] = clip.x;
        out.pos[1] = clip.y;
        out.pos[2] = clip.z;
        out.pos[3] = clip.w;
        if (lighting_.enabled || vertexFog_ || needsEye_) {
            const Vec4 eye4 = TransformPoint(position, worldView_);
            eye = Vec3{eye4.x, eye4.y, eye4.z};
            if (lighting_.enabled || needsEye_) {
                if (layout_.normal >= 0) {
                    float n[3];
                    std::memcpy(n, v + layout_.normal, 12);
                    normal = TransformDirection(Vec3{n[0], n[1], n[2]}, normalMatrix_);
                }
            }
            if (lighting_.enabled) {
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
    for (uint32_t s = 0; s < carriedStages_; ++s) StageCoords(s, v, eye, normal, out.var + kVaryTexCoord + 4 * s);
    return true;
}

void VertexProcessor::StageCoords(uint32_t s, const uint8_t *v, Vec3 eye, Vec3 eyeNormal, float *dst) const {
    float in[4] = {0, 0, 0, 1};
    const DWORD generation = stageGeneration_[s];
    if (generation != D3DTSS_TCI_PASSTHRU) {
        Vec3 g;
        const Vec3 n = Normalize(eyeNormal);
        if (generation == D3DTSS_TCI_CAMERASPACENORMAL) {
            g = n;
        } else if (generation == D3DTSS_TCI_CAMERASPACEPOSITION) {
            g = eye;
        } else {
            // The view direction reflected about the normal; a distant viewer looks
            // straight down the camera's z axis.
            const Vec3 toEye = localViewer_ ? -Normalize(eye) : Vec3{0, 0, -1};
            g = n * (2.0f * Dot(n, toEye)) - toEye;
        }
        in[0] = g.x, in[1] = g.y, in[2] = g.z;
    } else if (stageTexCoordSet_[s] >= 0) {
        const int32_t set = stageTexCoordSet_[s];
        ReadTexCoord(v + layout_.texCoord[set], layout_.texCoordSize[set], in);
    }
    const uint32_t count = stageTransformCount_[s];
    if (count == 0) {
        std::memcpy(dst, in, sizeof(in));
        return;
    }
    const Vec4 t = TransformVec4(Vec4{in[0], in[1], in[2], in[3]}, textureTransform_[s]);
    const float out[4] = {t.x, t.y, t.z, t.w};
    for (uint32_t i = 0; i < 4; ++i) dst[i] = i < count ? out[i] : 0.0f;
}

}  // namespace swr
