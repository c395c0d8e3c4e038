// Stage models drawn see-through when they hide a hero (see clump_fade.h).
#include "stage/clump_fade.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

// Where the pipeline keeps the atomic's built vertices: with the geometry,
// unless the geometry morphs (more than one morph target), when each atomic
// holds its own.
RwResEntry *BuiltVertices(const RpAtomic *atomic, const RpGeometry *geometry)
{
    const bool shared = (geometry->flags & rpGEOMETRYNATIVE) != 0 || geometry->numMorphTargets == 1;
    return shared ? geometry->repEntry : atomic->repEntry;
}

// The materials of a geometry, each once: a material list may hold one
// material in several slots (a stored list names an earlier slot for a
// repeat), and a material faded once per slot would be faded twice over.
std::vector<RpMaterial *> DistinctMaterials(RpGeometry *geometry)
{
    std::vector<RpMaterial *> materials;
    const RwInt32 count = RpGeometryGetNumMaterials(geometry);
    for (RwInt32 i = 0; i < count; ++i) {
        RpMaterial *material = RpGeometryGetMaterial(geometry, i);
        if (material != nullptr && std::find(materials.begin(), materials.end(), material) == materials.end()) {
            materials.push_back(material);
        }
    }
    return materials;
}

// The material colour carries the alpha to the lit pipeline only while the
// geometry modulates by it, so for the draw the geometry modulates: a
// material that was not modulating counts as white. Vertices are built
// (instanced) with the flags of their first draw, so a geometry never drawn
// yet is drawn plainly once rather than built with the fade in it.
RpAtomic *RenderAtomicTranslucent(RpAtomic *atomic, void *data)
{
    const float alpha = static_cast<Translucent *>(data)->alpha;
    RpGeometry *geometry = RpAtomicGetGeometry(atomic);
    if (geometry == nullptr || BuiltVertices(atomic, geometry) == nullptr || geometry->lockedSinceLastInst != 0) {
        RpAtomicRender(atomic);
        return atomic;
    }
    const RwUInt32 flags = geometry->flags;
    const bool modulating = (flags & rpGEOMETRYMODULATEMATERIALCOLOR) != 0;
    const std::vector<RpMaterial *> materials = DistinctMaterials(geometry);
    std::vector<RwRGBA> kept;
    kept.reserve(materials.size());
    for (RpMaterial *material : materials) {
        kept.push_back(material->color);
        RwRGBA faded = modulating ? material->color : RwRGBA{255, 255, 255, 255};
        faded.alpha = static_cast<RwUInt8>(std::lround(faded.alpha * alpha));
        material->color = faded;
    }
    geometry->flags = flags | rpGEOMETRYMODULATEMATERIALCOLOR;
    RpAtomicRender(atomic);
    geometry->flags = flags;
    for (size_t i = 0; i < materials.size(); ++i) {
        materials[i]->color = kept[i];
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
    RwUInt32 zWrite = TRUE;
    RwGetRenderState(rwRENDERSTATEZWRITEENABLE, &zWrite);
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(FALSE));
    RpClumpForAllAtomics(clump, RenderAtomicTranslucent, &data);
    RwSetRenderState(rwRENDERSTATEZWRITEENABLE, RwRenderStateValue(zWrite));
}

bool DeferIfBlocking(RpClump *clump, float alpha, const RwV3d &eye, const RwV3d *focuses, int count,
                     CSTranslucentList *list)
{
    RwSphere sphere;
    if (clump == nullptr || list == nullptr || !ClumpWorldSphere(clump, &sphere)) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if (SegmentMeetsSphere(eye, focuses[i], sphere.center, sphere.radius)) {
            list->Add(clump, alpha, eye);
            return true;
        }
    }
    return false;
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
