// Vertex processing four vertices at a time, one to a vector lane, for the draws most of
// the game makes: vertices we transform, lit (or not) by directional and point lights
// without specular, fogged linearly or by their own factor, their coordinates passed
// on as read. Each lane goes through the operations VertexProcessor::Process and
// LightVertex take for one vertex, in the same order, with the branches of one vertex
// made selections, so every lane's result is the same bit for bit.
#include <emmintrin.h>
#include <xmmintrin.h>

#include <cstring>
#include <initializer_list>
#include <utility>

#include "swr_vertex_processor.h"

namespace swr {
namespace {

using F = __m128;
using I = __m128i;

struct V3 {
    F x, y, z;
};

F Set(float v) { return _mm_set1_ps(v); }
F Add(F a, F b) { return _mm_add_ps(a, b); }
F Sub(F a, F b) { return _mm_sub_ps(a, b); }
F Mul(F a, F b) { return _mm_mul_ps(a, b); }
// mask ? a : b, lane by lane.
F Select(F mask, F a, F b) { return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b)); }

F Dot(const V3 &a, const V3 &b) { return Add(Add(Mul(a.x, b.x), Mul(a.y, b.y)), Mul(a.z, b.z)); }
F Length(const V3 &a) { return _mm_sqrt_ps(Dot(a, a)); }
V3 Scale(const V3 &a, F s) { return {Mul(a.x, s), Mul(a.y, s), Mul(a.z, s)}; }

V3 Normalize(const V3 &a) {
    const F len = Length(a);
    const F positive = _mm_cmpgt_ps(len, _mm_setzero_ps());
    const V3 scaled = Scale(a, _mm_div_ps(Set(1.0f), len));
    return {Select(positive, scaled.x, a.x), Select(positive, scaled.y, a.y), Select(positive, scaled.z, a.z)};
}

// Constant `at` of the draw's, splatted.
F K(const LaneConstants &c, uint32_t at) { return _mm_load_ps(c.lanes[at]); }

// One column of p * M for a point (w = 1) or a direction (no translation): the column's
// elements splatted from `at` on.
F PointColumn(const V3 &p, const LaneConstants &c, uint32_t at) {
    return Add(Add(Add(Mul(p.x, K(c, at)), Mul(p.y, K(c, at + 1))), Mul(p.z, K(c, at + 2))), K(c, at + 3));
}
F DirectionColumn(const V3 &p, const LaneConstants &c, uint32_t at) {
    return Add(Add(Mul(p.x, K(c, at)), Mul(p.y, K(c, at + 1))), Mul(p.z, K(c, at + 2)));
}

// UnitToByte of each lane, as a float.
F UnitToByteLanes(F v) {
    const F positive = _mm_cmpgt_ps(v, _mm_setzero_ps());  // false for NaN
    const F full = _mm_cmpge_ps(v, Set(1.0f));
    const F rounded = _mm_cvtepi32_ps(_mm_cvttps_epi32(Add(Mul(v, Set(255.0f)), Set(0.5f))));
    return _mm_and_ps(positive, Select(full, Set(255.0f), rounded));
}

// Channel `shift` of four packed colours, as floats 0..255.
F Channel(I colors, int shift) {
    return _mm_cvtepi32_ps(_mm_and_si128(_mm_srl_epi32(colors, _mm_cvtsi32_si128(shift)), _mm_set1_epi32(0xFF)));
}

struct Lanes4 {
    F r, g, b, a;
};

Lanes4 Channels(I colors) { return {Channel(colors, 16), Channel(colors, 8), Channel(colors, 0), Channel(colors, 24)}; }

// A material colour's source, lane by lane: the material's own is splatted from `at` on.
Lanes4 PickLanes(ColorSource source, const LaneConstants &c, uint32_t at, const Lanes4 &vd, const Lanes4 &vs) {
    switch (source) {
        case ColorSource::VertexDiffuse: return vd;
        case ColorSource::VertexSpecular: return vs;
        default: return {K(c, at), K(c, at + 1), K(c, at + 2), K(c, at + 3)};
    }
}

Lanes4 Scaled(const Lanes4 &c, float k) { return {Mul(c.r, Set(k)), Mul(c.g, Set(k)), Mul(c.b, Set(k)), Mul(c.a, Set(k))}; }

// LightVertex for four vertices without specular, its lights directional or point: the
// diffuse colour's channels as floats 0..255 (the specular stays zero).
Lanes4 LightLanes(const LightingSetup &s, const LaneConstants &c, const V3 &position, V3 normal, I vertexDiffuse,
                  I vertexSpecular) {
    using L = LaneConstants;
    constexpr float k = 1.0f / 255.0f;
    const Lanes4 vd = Scaled(Channels(vertexDiffuse), k), vs = Scaled(Channels(vertexSpecular), k);
    const Lanes4 md = PickLanes(s.diffuseSource, c, L::kMaterialDiffuse, vd, vs);
    const Lanes4 ma = PickLanes(s.ambientSource, c, L::kMaterialAmbient, vd, vs);
    const Lanes4 me = PickLanes(s.emissiveSource, c, L::kMaterialEmissive, vd, vs);
    if (s.normalize) normal = Normalize(normal);

    F ambientR = K(c, L::kGlobalAmbient), ambientG = K(c, L::kGlobalAmbient + 1), ambientB = K(c, L::kGlobalAmbient + 2);
    F diffuseR = _mm_setzero_ps(), diffuseG = _mm_setzero_ps(), diffuseB = _mm_setzero_ps();
    for (uint32_t i = 0; i < s.lightCount; ++i) {
        const PreparedLight &l = s.lights[i];
        const uint32_t at = L::kLights + i * L::kPerLight;
        V3 toLight;
        F reach, lit;  // lit: the lanes the light reaches
        if (l.type == D3DLIGHT_DIRECTIONAL) {
            toLight = {K(c, at), K(c, at + 1), K(c, at + 2)};
            reach = Set(1.0f);
            lit = _mm_castsi128_ps(_mm_set1_epi32(-1));
        } else {
            const V3 delta{Sub(K(c, at), position.x), Sub(K(c, at + 1), position.y), Sub(K(c, at + 2), position.z)};
            const F distance = Length(delta);
            const F inRange = _mm_cmpngt_ps(distance, K(c, at + 3));
            const F away = _mm_cmpgt_ps(distance, _mm_setzero_ps());
            const V3 unit = Scale(delta, _mm_div_ps(Set(1.0f), distance));
            const F zero = _mm_setzero_ps();
            toLight = {Select(away, unit.x, zero), Select(away, unit.y, zero), Select(away, unit.z, zero)};
            const F denominator =
                Add(Add(K(c, at + 4), Mul(K(c, at + 5), distance)), Mul(Mul(K(c, at + 6), distance), distance));
            reach = Select(_mm_cmpgt_ps(denominator, zero), _mm_div_ps(Set(1.0f), denominator), Set(1.0f));
            lit = _mm_andnot_ps(_mm_cmple_ps(reach, zero), inRange);
        }
        ambientR = Select(lit, Add(ambientR, Mul(K(c, at + 7), reach)), ambientR);
        ambientG = Select(lit, Add(ambientG, Mul(K(c, at + 8), reach)), ambientG);
        ambientB = Select(lit, Add(ambientB, Mul(K(c, at + 9), reach)), ambientB);
        const F nDotL = Dot(normal, toLight);
        const F facing = _mm_andnot_ps(_mm_cmple_ps(nDotL, _mm_setzero_ps()), lit);
        const F kd = Mul(nDotL, reach);
        diffuseR = Select(facing, Add(diffuseR, Mul(K(c, at + 10), kd)), diffuseR);
        diffuseG = Select(facing, Add(diffuseG, Mul(K(c, at + 11), kd)), diffuseG);
        diffuseB = Select(facing, Add(diffuseB, Mul(K(c, at + 12), kd)), diffuseB);
    }
    return {UnitToByteLanes(Add(Add(me.r, Mul(ma.r, ambientR)), Mul(md.r, diffuseR))),
            UnitToByteLanes(Add(Add(me.g, Mul(ma.g, ambientG)), Mul(md.g, diffuseG))),
            UnitToByteLanes(Add(Add(me.b, Mul(ma.b, ambientB)), Mul(md.b, diffuseB))), UnitToByteLanes(md.a)};
}

// Three floats at p as lanes 0 to 2 (reading no further), and `word` in lane 3.
F ReadThree(const uint8_t *p, uint32_t word) {
    int64_t xy;
    float z;
    std::memcpy(&xy, p, 8);
    std::memcpy(&z, p + 8, 4);
    const F zw = _mm_unpacklo_ps(_mm_set_ss(z), _mm_castsi128_ps(_mm_cvtsi32_si128(static_cast<int32_t>(word))));
    return _mm_movelh_ps(_mm_castsi128_ps(_mm_cvtsi64_si128(xy)), zw);
}

// Zero in lanes 0 to 2, `word` in lane 3.
F OnlyFourth(uint32_t word) {
    return _mm_castsi128_ps(_mm_slli_si128(_mm_cvtsi32_si128(static_cast<int32_t>(word)), 12));
}

}  // namespace

bool VertexProcessor::FourAtOnce() const {
    if (layout_.pretransformed || needsEye_) return false;
    for (uint32_t s = 0; s < carriedStages_; ++s) {
        if (stageTransformCount_[s] != 0) return false;
    }
    if (vertexFog_ && fog_.mode != D3DFOG_LINEAR) return false;
    if (!lighting_.enabled) return true;
    if (lighting_.specular) return false;
    for (uint32_t i = 0; i < lighting_.lightCount; ++i) {
        if (lighting_.lights[i].type != D3DLIGHT_DIRECTIONAL && lighting_.lights[i].type != D3DLIGHT_POINT) return false;
    }
    return true;
}

void VertexProcessor::PrepareLanes(LaneConstants &c) const {
    using L = LaneConstants;
    if (!fourAtOnce_) return;
    auto put = [&c](uint32_t at, std::initializer_list<float> values) {
        for (float v : values) _mm_store_ps(c.lanes[at++], Set(v));
    };
    const D3DMATRIX &m = worldViewProjection_;
    put(L::kWorldViewProjection, {m._11, m._21, m._31, m._41, m._12, m._22, m._32, m._42,
                                  m._13, m._23, m._33, m._43, m._14, m._24, m._34, m._44});
    // Only what ProcessFour reads for this draw.
    if (lighting_.enabled || vertexFog_) {
        const D3DMATRIX &e = worldView_;
        put(L::kWorldView, {e._11, e._21, e._31, e._41, e._12, e._22, e._32, e._42, e._13, e._23, e._33, e._43});
    }
    if (vertexFog_) put(L::kFogEnd, {fog_.end, fog_.end - fog_.start});
    const LightingSetup &s = lighting_;
    if (!s.enabled) return;
    const D3DMATRIX &n = normalMatrix_;
    put(L::kNormal, {n._11, n._21, n._31, n._12, n._22, n._32, n._13, n._23, n._33});
    put(L::kGlobalAmbient, {s.globalAmbient.r, s.globalAmbient.g, s.globalAmbient.b});
    for (const auto &[at, color] : {std::pair{uint32_t{L::kMaterialDiffuse}, &s.materialDiffuse},
                                    std::pair{uint32_t{L::kMaterialAmbient}, &s.materialAmbient},
                                    std::pair{uint32_t{L::kMaterialEmissive}, &s.materialEmissive}}) {
        put(at, {color->r, color->g, color->b, color->a});
    }
    for (uint32_t i = 0; i < s.lightCount && i < L::kMaxLights; ++i) {
        // Where the light is (towards it, for a directional one), its range and
        // attenuation, then its ambient and diffuse colours.
        const PreparedLight &l = s.lights[i];
        const Vec3 place = l.type == D3DLIGHT_DIRECTIONAL ? l.toLight : l.position;
        put(L::kLights + i * L::kPerLight, {place.x, place.y, place.z, l.range, l.att0, l.att1, l.att2, l.ambient.r,
                                            l.ambient.g, l.ambient.b, l.diffuse.r, l.diffuse.g, l.diffuse.b});
    }
}

void VertexProcessor::ProcessPositions(const uint32_t *index, uint32_t count, ClipVertex *const *out,
                                       const LaneConstants &constants, PositionLanes &lanes) const {
    using L = LaneConstants;
    // ProcessFour's reads and products for the position alone (its fourth lanes, the
    // colour words there, are not read).
    F positions[4];
    for (uint32_t i = 0; i < 4; ++i) {
        const uint8_t *v = data_ + static_cast<size_t>(index[i < count ? i : 0]) * stride_;
        positions[i] = ReadThree(v + layout_.position, 0);
    }
    _MM_TRANSPOSE4_PS(positions[0], positions[1], positions[2], positions[3]);
    const V3 position{positions[0], positions[1], positions[2]};
    const LaneConstants &c = constants;
    F clip[4] = {PointColumn(position, c, L::kWorldViewProjection), PointColumn(position, c, L::kWorldViewProjection + 4),
                 PointColumn(position, c, L::kWorldViewProjection + 8), PointColumn(position, c, L::kWorldViewProjection + 12)};
    _mm_store_ps(lanes.x, clip[0]);
    _mm_store_ps(lanes.y, clip[1]);
    _mm_store_ps(lanes.z, clip[2]);
    _mm_store_ps(lanes.w, clip[3]);
    _MM_TRANSPOSE4_PS(clip[0], clip[1], clip[2], clip[3]);
    for (uint32_t i = 0; i < count; ++i) _mm_storeu_ps(out[i]->pos, clip[i]);
}

void VertexProcessor::ProcessFour(const uint32_t *index, uint32_t count, ClipVertex *const *out,
                                  const LaneConstants &constants) const {
    using L = LaneConstants;
    // Each vertex's position with its diffuse colour, and its normal with its specular
    // colour, read into a vector and the four turned into lanes x, y, z and colour in
    // registers: lanes gathered through memory, element by element, made every lane's
    // first read wait for the stores before it.
    const uint8_t *vertex[4];
    F positions[4], normals[4];
    const bool readNormals = lighting_.enabled && layout_.normal >= 0;
    for (uint32_t i = 0; i < 4; ++i) {
        // Lanes past `count` repeat the first vertex.
        const uint8_t *v = data_ + static_cast<size_t>(index[i < count ? i : 0]) * stride_;
        vertex[i] = v;
        uint32_t diffuseWord = 0xFFFFFFFFu, specularWord = 0;
        if (layout_.diffuse >= 0) std::memcpy(&diffuseWord, v + layout_.diffuse, 4);
        if (layout_.specular >= 0) std::memcpy(&specularWord, v + layout_.specular, 4);
        positions[i] = ReadThree(v + layout_.position, diffuseWord);
        normals[i] = readNormals ? ReadThree(v + layout_.normal, specularWord) : OnlyFourth(specularWord);
    }
    _MM_TRANSPOSE4_PS(positions[0], positions[1], positions[2], positions[3]);
    _MM_TRANSPOSE4_PS(normals[0], normals[1], normals[2], normals[3]);
    const V3 position{positions[0], positions[1], positions[2]};
    const LaneConstants &c = constants;
    const F clip[4] = {PointColumn(position, c, L::kWorldViewProjection), PointColumn(position, c, L::kWorldViewProjection + 4),
                       PointColumn(position, c, L::kWorldViewProjection + 8),
                       PointColumn(position, c, L::kWorldViewProjection + 12)};
    const I diffuseIn = _mm_castps_si128(positions[3]);
    const I specularIn = _mm_castps_si128(normals[3]);
    Lanes4 diffuse = Channels(diffuseIn), specular = Channels(specularIn);
    F fog = Set(255.0f);
    if (lighting_.enabled || vertexFog_) {
        const V3 eye{PointColumn(position, c, L::kWorldView), PointColumn(position, c, L::kWorldView + 4),
                     PointColumn(position, c, L::kWorldView + 8)};
        if (lighting_.enabled) {
            V3 normal{_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps()};
            if (layout_.normal >= 0) {
                const V3 given{normals[0], normals[1], normals[2]};
                normal = {DirectionColumn(given, c, L::kNormal), DirectionColumn(given, c, L::kNormal + 3),
                          DirectionColumn(given, c, L::kNormal + 6)};
            }
            diffuse = LightLanes(lighting_, c, eye, normal, diffuseIn, specularIn);
            specular = {_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps()};
        }
        if (vertexFog_) {
            // FogFactor's linear curve.
            const F distance = fog_.rangeBased ? Length(eye) : eye.z;
            F f;
            if (fog_.end != fog_.start) f = _mm_div_ps(Sub(K(c, L::kFogEnd), distance), K(c, L::kFogEnd + 1));
            else f = Select(_mm_cmplt_ps(distance, K(c, L::kFogEnd)), Set(1.0f), _mm_setzero_ps());
            fog = UnitToByteLanes(f);
        }
    }
    if (suppliedFog_) fog = Channel(specularIn, 24);

    // The lanes' results turned into each vertex's position, diffuse and specular
    // colours in registers, each stored whole.
    F position4[4] = {clip[0], clip[1], clip[2], clip[3]};
    F diffuse4[4] = {diffuse.r, diffuse.g, diffuse.b, diffuse.a};
    F specular4[4] = {specular.r, specular.g, specular.b, specular.a};
    _MM_TRANSPOSE4_PS(position4[0], position4[1], position4[2], position4[3]);
    _MM_TRANSPOSE4_PS(diffuse4[0], diffuse4[1], diffuse4[2], diffuse4[3]);
    _MM_TRANSPOSE4_PS(specular4[0], specular4[1], specular4[2], specular4[3]);
    alignas(16) float fogLanes[4];
    _mm_store_ps(fogLanes, fog);
    for (uint32_t i = 0; i < count; ++i) {
        ClipVertex &o = *out[i];
        _mm_storeu_ps(o.pos, position4[i]);
        _mm_storeu_ps(o.var + kVaryDiffuse, diffuse4[i]);
        _mm_storeu_ps(o.var + kVarySpecular, specular4[i]);
        o.var[kVaryFog] = fogLanes[i];
        for (uint32_t s = 0; s < carriedStages_; ++s) {
            // StageCoords without generation or transform: the set as read (the element
            // after the last given 1, the rest 0), or (0, 0, 0, 1) without one.
            float *dst = o.var + kVaryTexCoord + 4 * s;
            const int32_t set = stageTexCoordSet_[s];
            if (set >= 0) {
                ReadTexCoord(vertex[i] + layout_.texCoord[set], layout_.texCoordSize[set], dst);
            } else {
                dst[0] = dst[1] = dst[2] = 0.0f;
                dst[3] = 1.0f;
            }
        }
    }
}

}  // namespace swr
