// A sample stage's wall clumps (see camera_wall.h).
#include "tools/mkdata/camera_wall.h"

#include <cmath>

#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/stage_world.h"

namespace mkdata {

namespace {

// One upright panel: its corners, seen from inside the yard anticlockwise,
// and its inward normal.
struct Panel {
    RwV3d corners[4];
    RwV3d normal;
};

// A clump of `count` panels, two triangles each, in one material. Lit in
// its material's colour: the developer menu's "Render Wall" shows the
// panels by tinting their material.
RpClump *BuildPanelClump(const Panel *panels, int count, const RwSphere &bounds)
{
    RpGeometry *geometry =
        RpGeometryCreate(4 * count, 2 * count,
                         rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS | rpGEOMETRYLIGHT | rpGEOMETRYMODULATEMATERIALCOLOR);
    RpMaterial *material = RpMaterialCreate();
    if (geometry == nullptr || material == nullptr) {
        if (geometry != nullptr) {
            RpGeometryDestroy(geometry);
        }
        if (material != nullptr) {
            RpMaterialDestroy(material);
        }
        return nullptr;
    }
    const RwRGBA magenta = {255, 0, 255, 255};
    RpMaterialSetColor(material, &magenta);
    const bool listed = RpMaterialListAppendMaterial(&geometry->matList, material) == 0;
    RpMaterialDestroy(material);
    if (!listed) {
        RpGeometryDestroy(geometry);
        return nullptr;
    }
    RpMorphTarget *target = &geometry->morphTarget[0];
    for (int p = 0; p < count; ++p) {
        for (int c = 0; c < 4; ++c) {
            target->verts[4 * p + c] = panels[p].corners[c];
            target->normals[4 * p + c] = panels[p].normal;
        }
        const auto b = static_cast<RwUInt16>(4 * p);
        geometry->triangles[2 * p] = {{b, static_cast<RwUInt16>(b + 1), static_cast<RwUInt16>(b + 2)}, 0};
        geometry->triangles[2 * p + 1] = {{b, static_cast<RwUInt16>(b + 2), static_cast<RwUInt16>(b + 3)}, 0};
    }
    target->boundingSphere = bounds;
    if (RpGeometryUnlock(geometry) == nullptr) {
        RpGeometryDestroy(geometry);
        return nullptr;
    }
    return SingleAtomicClump(geometry);
}

}  // namespace

RpClump *BuildCameraWallClump()
{
    const RwReal a = kCameraWallAt;
    const RwReal top = kCameraWallTop;
    const Panel panels[4] = {
        {{{-a, 0, a}, {a, 0, a}, {a, top, a}, {-a, top, a}}, {0, 0, -1}},
        {{{a, 0, -a}, {-a, 0, -a}, {-a, top, -a}, {a, top, -a}}, {0, 0, 1}},
        {{{a, 0, a}, {a, 0, -a}, {a, top, -a}, {a, top, a}}, {-1, 0, 0}},
        {{{-a, 0, -a}, {-a, 0, a}, {-a, top, a}, {-a, top, -a}}, {1, 0, 0}},
    };
    return BuildPanelClump(panels, 4, {{0.0f, top / 2.0f, 0.0f}, std::sqrt(2.0f * a * a + top * top / 4.0f)});
}

RpClump *BuildStageWallClump()
{
    const RwReal a = kStageWallAt;
    const RwReal low = kStageWallBottom;
    const RwReal top = kStageWallTop;
    const RwReal z = kHangingWallZ;
    const RwReal x0 = kHangingWallX0;
    const RwReal x1 = kHangingWallX1;
    const RwReal h0 = kHangingWallBottom;
    const RwReal h1 = kHangingWallTop;
    const Panel panels[3] = {
        {{{-a, low, a}, {a, low, a}, {a, top, a}, {-a, top, a}}, {0, 0, -1}},
        {{{a, low, a}, {a, low, -a}, {a, top, -a}, {a, top, a}}, {-1, 0, 0}},
        {{{x0, h0, z}, {x1, h0, z}, {x1, h1, z}, {x0, h1, z}}, {0, 0, -1}},
    };
    return BuildPanelClump(panels, 3, {{0.0f, h1 / 2.0f, 0.0f}, std::sqrt(2.0f * a * a + h1 * h1 / 4.0f)});
}

}  // namespace mkdata
