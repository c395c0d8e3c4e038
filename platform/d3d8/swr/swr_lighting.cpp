// Vertex lighting. All sums run in float and are clamped to [0, 1] only at the end,
// then rounded to 8 bits, so that strong lights saturate instead of wrapping.
#include "swr_lighting.h"

#include <cmath>

namespace swr {
namespace {

FloatColor FromValue(const D3DCOLORVALUE &c) { return {c.r, c.g, c.b, c.a}; }

FloatColor FromBytes(Rgba8 c) {
    constexpr float k = 1.0f / 255.0f;
    return {c.r * k, c.g * k, c.b * k, c.a * k};
}

ColorSource ResolveSource(const DrawState &state, D3DRENDERSTATETYPE rs, const VertexLayout &layout) {
    if (!state.renderStates[D3DRS_COLORVERTEX]) return ColorSource::Material;
    switch (state.renderStates[rs]) {
        case D3DMCS_COLOR1: return layout.diffuse >= 0 ? ColorSource::VertexDiffuse : ColorSource::Material;
        case D3DMCS_COLOR2: return layout.specular >= 0 ? ColorSource::VertexSpecular : ColorSource::Material;
        default: return ColorSource::Material;
    }
}

FloatColor Pick(ColorSource source, const FloatColor &material, const FloatColor &vd, const FloatColor &vs) {
    switch (source) {
        case ColorSource::VertexDiffuse: return vd;
        case ColorSource::VertexSpecular: return vs;
        default: return material;
    }
}

// Distance attenuation times spot factor; 0 when the vertex is out of reach.
// `toLight` receives the unit vector from the vertex towards the light.
float LightReach(const PreparedLight &light, Vec3 position, Vec3 &toLight) {
    if (light.type == D3DLIGHT_DIRECTIONAL) {
        toLight = light.toLight;
        return 1.0f;
    }
    const Vec3 delta = light.position - position;
    const float distance = Length(delta);
    if (distance > light.range) return 0.0f;
    toLight = distance > 0.0f ? delta * (1.0f / distance) : Vec3{0, 0, 0};
    const float denominator = light.att0 + light.att1 * distance + light.att2 * distance * distance;
    float reach = denominator > 0.0f ? 1.0f / denominator : 1.0f;
    if (light.type == D3DLIGHT_SPOT) {
        const float rho = Dot(-toLight, light.direction);
        if (rho <= light.cosHalfPhi) return 0.0f;
        if (rho <= light.cosHalfTheta) {
            float t = (rho - light.cosHalfPhi) / (light.cosHalfTheta - light.cosHalfPhi);
            if (light.falloff != 1.0f) t = std::pow(t, light.falloff);
            reach *= t;
        }
    }
    return reach;
}

}  // namespace

void PrepareLighting(const DrawState &state, const VertexLayout &layout, LightingSetup &out) {
    out = LightingSetup{};
    const DWORD *rs = state.renderStates;
    out.enabled = rs[D3DRS_LIGHTING] != 0 && !layout.pretransformed;
    if (!out.enabled) return;
    out.specular = rs[D3DRS_SPECULARENABLE] != 0;
    out.localViewer = rs[D3DRS_LOCALVIEWER] != 0;
    out.normalize = rs[D3DRS_NORMALIZENORMALS] != 0;
    out.globalAmbient = FromBytes(UnpackColor(rs[D3DRS_AMBIENT]));
    out.materialDiffuse = FromValue(state.material.Diffuse);
    out.materialAmbient = FromValue(state.material.Ambient);
    out.materialSpecular = FromValue(state.material.Specular);
    out.materialEmissive = FromValue(state.material.Emissive);
    out.power = state.material.Power;
    out.diffuseSource = ResolveSource(state, D3DRS_DIFFUSEMATERIALSOURCE, layout);
    out.ambientSource = ResolveSource(state, D3DRS_AMBIENTMATERIALSOURCE, layout);
    out.specularSource = ResolveSource(state, D3DRS_SPECULARMATERIALSOURCE, layout);
    out.emissiveSource = ResolveSource(state, D3DRS_EMISSIVEMATERIALSOURCE, layout);

    const uint32_t count = state.lightCount < 8 ? state.lightCount : 8;
    for (uint32_t i = 0; i < count; ++i) {
        const D3DLIGHT8 *src = state.lights[i];
        if (!src) continue;
        if (src->Type != D3DLIGHT_POINT && src->Type != D3DLIGHT_SPOT && src->Type != D3DLIGHT_DIRECTIONAL) continue;
        PreparedLight &l = out.lights[out.lightCount++];
        l.type = src->Type;
        l.diffuse = FromValue(src->Diffuse);
        l.specular = FromValue(src->Specular);
        l.ambient = FromValue(src->Ambient);
        const Vec4 p = TransformPoint(ToVec3(src->Position), state.view);
        l.position = {p.x, p.y, p.z};
        l.direction = Normalize(TransformDirection(ToVec3(src->Direction), state.view));
        l.toLight = -l.direction;
        l.range = src->Range;
        l.att0 = src->Attenuation0;
        l.att1 = src->Attenuation1;
        l.att2 = src->Attenuation2;
        l.cosHalfTheta = std::cos(src->Theta * 0.5f);
        l.cosHalfPhi = std::cos(src->Phi * 0.5f);
        l.falloff = src->Falloff;
    }
}

LitColors LightVertex(const LightingSetup &s, Vec3 position, Vec3 normal, Rgba8 vertexDiffuse,
                      Rgba8 vertexSpecular) {
    const FloatColor vd = FromBytes(vertexDiffuse), vs = FromBytes(vertexSpecular);
    const FloatColor md = Pick(s.diffuseSource, s.materialDiffuse, vd, vs);
    const FloatColor ma = Pick(s.ambientSource, s.materialAmbient, vd, vs);
    const FloatColor ms = Pick(s.specularSource, s.materialSpecular, vd, vs);
    const FloatColor me = Pick(s.emissiveSource, s.materialEmissive, vd, vs);
    if (s.normalize) normal = Normalize(normal);
    const Vec3 toViewer = s.localViewer ? Normalize(-position) : Vec3{0, 0, -1};

    // Light colour gathered per term before the material multiplies it.
    FloatColor ambient = s.globalAmbient, diffuse, specular;
    for (uint32_t i = 0; i < s.lightCount; ++i) {
        const PreparedLight &l = s.lights[i];
        Vec3 toLight;
        const float reach = LightReach(l, position, toLight);
        if (reach <= 0.0f) continue;
        ambient.r += l.ambient.r * reach;
        ambient.g += l.ambient.g * reach;
        ambient.b += l.ambient.b * reach;
        const float nDotL = Dot(normal, toLight);
        if (nDotL <= 0.0f) continue;
        const float kd = nDotL * reach;
        diffuse.r += l.diffuse.r * kd;
        diffuse.g += l.diffuse.g * kd;
        diffuse.b += l.diffuse.b * kd;
        if (s.specular) {
            const float nDotH = Dot(normal, Normalize(toLight + toViewer));
            if (nDotH > 0.0f) {
                const float ks = std::pow(nDotH, s.power) * reach;
                specular.r += l.specular.r * ks;
                specular.g += l.specular.g * ks;
                specular.b += l.specular.b * ks;
            }
        }
    }
    LitColors out;
    out.diffuse.r = UnitToByte(me.r + ma.r * ambient.r + md.r * diffuse.r);
    out.diffuse.g = UnitToByte(me.g + ma.g * ambient.g + md.g * diffuse.g);
    out.diffuse.b = UnitToByte(me.b + ma.b * ambient.b + md.b * diffuse.b);
    out.diffuse.a = UnitToByte(md.a);
    if (s.specular) {
        out.specular.r = UnitToByte(ms.r * specular.r);
        out.specular.g = UnitToByte(ms.g * specular.g);
        out.specular.b = UnitToByte(ms.b * specular.b);
        out.specular.a = UnitToByte(ms.a);
    }
    return out;
}

}  // namespace swr
