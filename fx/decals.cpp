// Ground decals (see decals.h).
#include "fx/decals.h"

#include <algorithm>

#include "rpcollis.h"

namespace {

constexpr float kLift = 0.05f;
constexpr float kUpward = 0.5f;  // least normal y of a ground triangle

struct Cut {
    RwV3d centre;
    float radius;
    std::vector<RwV3d> *out;
};

// Keeps the part of `poly` where its coordinate `axis` * sign <= limit * sign.
std::vector<RwV3d> ClipAxis(const std::vector<RwV3d> &poly, float RwV3d::*axis, float limit, float sign)
{
    std::vector<RwV3d> out;
    auto value = [axis](const RwV3d &p) { return p.*axis; };
    for (size_t i = 0; i < poly.size(); ++i) {
        const RwV3d &a = poly[i];
        const RwV3d &b = poly[(i + 1) % poly.size()];
        const float da = (value(a) - limit) * sign;
        const float db = (value(b) - limit) * sign;
        if (da <= 0.0f) {
            out.push_back(a);
        }
        if ((da < 0.0f && db > 0.0f) || (da > 0.0f && db < 0.0f)) {
            const float t = da / (da - db);
            out.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t});
        }
    }
    return out;
}

RpCollisionTriangle *CollectTriangle(RpIntersection *, RpWorldSector *, RpCollisionTriangle *triangle, RwReal,
                                     void *data)
{
    auto *cut = static_cast<Cut *>(data);
    if (triangle->normal.y < kUpward || cut->out->size() >= kMaxDecalVertices) {
        return triangle;
    }
    std::vector<RwV3d> poly = {*triangle->vertices[0], *triangle->vertices[1], *triangle->vertices[2]};
    const float r = cut->radius;
    poly = ClipAxis(poly, &RwV3d::x, cut->centre.x + r, 1.0f);
    poly = ClipAxis(poly, &RwV3d::x, cut->centre.x - r, -1.0f);
    poly = ClipAxis(poly, &RwV3d::z, cut->centre.z + r, 1.0f);
    poly = ClipAxis(poly, &RwV3d::z, cut->centre.z - r, -1.0f);
    for (size_t i = 1; i + 1 < poly.size(); ++i) {
        for (const RwV3d &p : {poly[0], poly[i], poly[i + 1]}) {
            cut->out->push_back({p.x + triangle->normal.x * kLift, p.y + triangle->normal.y * kLift,
                                 p.z + triangle->normal.z * kLift});
        }
    }
    return triangle;
}

RwUInt32 Packed(RwRGBA c, float alphaScale)
{
    const auto a = static_cast<RwUInt32>(static_cast<float>(c.alpha) * alphaScale);
    return (a << 24) | (static_cast<RwUInt32>(c.red) << 16) | (static_cast<RwUInt32>(c.green) << 8) | c.blue;
}

}  // namespace

void CSDecalManager::SetTexture(RwTexture *texture)
{
    if (texture_ != nullptr) {
        RwTextureDestroy(texture_);
    }
    texture_ = texture != nullptr ? RwTextureAddRef(texture) : nullptr;
}

Decal *CSDecalManager::Spawn(const RwV3d &position, float radius, RwRGBA colour)
{
    if (world_ == nullptr || !(radius > 0.0f)) {
        return nullptr;
    }
    std::vector<RwV3d> points;
    Cut cut = {position, radius, &points};
    RpIntersection box;
    box.type = rpINTERSECTBOX;
    box.t.box.inf = {position.x - radius, position.y - 1.5f * radius, position.z - radius};
    box.t.box.sup = {position.x + radius, position.y + 1.5f * radius, position.z + radius};
    RpCollisionWorldForAllIntersections(world_, &box, CollectTriangle, &cut);
    if (points.empty()) {
        return nullptr;
    }
    Decal *decal = &decals_[0];
    for (Decal &d : decals_) {
        if (!d.used) {
            decal = &d;
            break;
        }
        if (d.age > decal->age) {
            decal = &d;  // the oldest gives way
        }
    }
    decal->used = true;
    decal->age = 0.0f;
    decal->colour = colour;
    decal->vertices.clear();
    for (const RwV3d &p : points) {
        RwIm3DVertex v = {};
        v.objVertex = p;
        v.objNormal = {0.0f, 1.0f, 0.0f};
        v.u = (p.x - position.x) / (2.0f * radius) + 0.5f;
        v.v = (p.z - position.z) / (2.0f * radius) + 0.5f;
        decal->vertices.push_back(v);
    }
    return decal;
}

void CSDecalManager::Update(float dt)
{
    for (Decal &d : decals_) {
        if (d.used) {
            d.age += dt;
            if (d.age >= kDecalShowSeconds + kDecalFadeSeconds) {
                d.used = false;
                d.vertices.clear();
            }
        }
    }
}

void CSDecalManager::Render()
{
    RwSetRenderState(rwRENDERSTATETEXTURERASTER, texture_ != nullptr ? RwTextureGetRaster(texture_) : nullptr);
    RwSetRenderState(rwRENDERSTATEVERTEXALPHAENABLE, RwRenderStateValue(TRUE));
    RwSetRenderState(rwRENDERSTATESRCBLEND, RwRenderStateValue(rwBLENDSRCALPHA));
    RwSetRenderState(rwRENDERSTATEDESTBLEND, RwRenderStateValue(rwBLENDINVSRCALPHA));
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(FALSE));
    for (Decal &d : decals_) {
        if (!d.used || d.vertices.empty()) {
            continue;
        }
        // Whole while shown, then fading out to nothing.
        const float fade = std::clamp(1.0f - (d.age - kDecalShowSeconds) / kDecalFadeSeconds, 0.0f, 1.0f);
        for (RwIm3DVertex &v : d.vertices) {
            v.color = Packed(d.colour, fade);
        }
        if (RwIm3DTransform(d.vertices.data(), static_cast<RwUInt32>(d.vertices.size()), nullptr,
                            texture_ != nullptr ? rwIM3D_VERTEXUV : 0) != nullptr) {
            RwIm3DRenderPrimitive(rwPRIMTYPETRILIST);
            RwIm3DEnd();
        }
    }
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(TRUE));
}

void CSDecalManager::Clear()
{
    for (Decal &d : decals_) {
        d.used = false;
        d.vertices.clear();
    }
}

void CSDecalManager::Release()
{
    Clear();
    SetTexture(nullptr);
}

int32_t CSDecalManager::DecalsInUse() const
{
    return static_cast<int32_t>(std::count_if(decals_.begin(), decals_.end(), [](const Decal &d) { return d.used; }));
}
