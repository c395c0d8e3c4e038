// Stage models drawn see-through when they hide a hero (see clump_fade.h).
#include "stage/clump_fade.h"

#include <algorithm>
#include <cmath>

#include "stage/camera_math.h"
#include "stage/v3.h"

namespace {

struct SphereSum {
    RwSphere sphere;
    bool any;
};

RpAtomic *AddAtomicSphere(RpAtomic *atomic, void *data)
{
    auto *sum = static_cast<SphereSum *>(data);
    const RwSphere *sphere = RpAtomicGetWorldBoundingSphere(atomic);
    if (sphere != nullptr) {
        sum->sphere = sum->any ? MergeSpheres(sum->sphere, *sphere) : *sphere;
        sum->any = true;
    }
    return atomic;
}

struct Translucent {
    float alpha;
};

RpAtomic *RenderAtomicTranslucent(RpAtomic *atomic, void *data)
{
    const float alpha = static_cast<Translucent *>(data)->alpha;
    RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    if (geometry == nullptr) {
        return atomic;
    }
    const RwInt32 count = RpGeometryGetNumMaterials(geometry);
    std::vector<RwUInt8> kept(static_cast<size_t>(std::max<RwInt32>(count, 0)));
    for (RwInt32 i = 0; i < count; ++i) {
        RpMaterial *material = RpGeometryGetMaterial(geometry, i);
        kept[static_cast<size_t>(i)] = material->color.alpha;
        material->color.alpha = static_cast<RwUInt8>(std::lround(material->color.alpha * alpha));
    }
    RpAtomicRender(atomic);
    for (RwInt32 i = 0; i < count; ++i) {
        RpGeometryGetMaterial(geometry, i)->color.alpha = kept[static_cast<size_t>(i)];
    }
    return atomic;
}

}  // namespace

RwSphere MergeSpheres(const RwSphere &a, const RwSphere &b)
{
    const RwV3d offset = V3Sub(b.center, a.center);
    const RwReal distance = V3Length(offset);
    if (distance + b.radius <= a.radius) {
        return a;
    }
    if (distance + a.radius <= b.radius) {
        return b;
    }
    const RwReal radius = 0.5f * (distance + a.radius + b.radius);
    // distance > 0 here: equal centres make one sphere hold the other
    const RwV3d centre = V3Add(a.center, V3Scale(offset, (radius - a.radius) / distance));
    return {centre, radius};
}

bool ClumpWorldSphere(RpClump *clump, RwSphere *sphere)
{
    if (clump == nullptr) {
        return false;
    }
    SphereSum sum{{{0.0f, 0.0f, 0.0f}, 0.0f}, false};
    RpClumpForAllAtomics(clump, AddAtomicSphere, &sum);
    if (sum.any) {
        *sphere = sum.sphere;
    }
    return sum.any;
}

bool ClumpBlocksView(RpClump *clump, const RwV3d &eye, const RwV3d &focus)
{
    RwSphere sphere;
    return ClumpWorldSphere(clump, &sphere) && SegmentMeetsSphere(eye, focus, sphere.center, sphere.radius);
}

void RenderClumpTranslucent(RpClump *clump, float alpha)
{
    if (clump == nullptr) {
        return;
    }
    Translucent data{std::isfinite(alpha) ? std::clamp(alpha, 0.0f, 1.0f) : 1.0f};
    RwUInt32 zWrite = 1;
    RwGetRenderState(rwRENDERSTATEZWRITEENABLE, &zWrite);
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(0));
    RpClumpForAllAtomics(clump, RenderAtomicTranslucent, &data);
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(zWrite));
}

void CSTranslucentList::Add(RpClump *clump, float alpha, const RwV3d &eye)
{
    RwSphere sphere;
    if (clump == nullptr || !ClumpWorldSphere(clump, &sphere)) {
        return;
    }
    entries_.push_back({clump, alpha, V3Distance(sphere.center, eye)});
}

void CSTranslucentList::Draw()
{
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry &a, const Entry &b) { return a.distance > b.distance; });
    for (const Entry &entry : entries_) {
        RenderClumpTranslucent(entry.clump, entry.alpha);
    }
    entries_.clear();
}
