// A sample stage's camera walls (see camera_wall.h).
#include "tools/mkdata/camera_wall.h"

#include <cmath>

#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/stage_world.h"

namespace mkdata {

RpClump *BuildCameraWallClump()
{
    // Lit in its material's colour: the developer menu's "Render Wall" shows
    // the panels by tinting their material.
    RpGeometry *geometry = RpGeometryCreate(
        16, 8, rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS | rpGEOMETRYLIGHT | rpGEOMETRYMODULATEMATERIALCOLOR);
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
    const RwReal a = kCameraWallAt;
    const RwReal top = kCameraWallTop;
    // Each panel's corners, seen from inside the yard anticlockwise, and its inward normal.
    const RwV3d corners[4][4] = {
        {{-a, 0, a}, {a, 0, a}, {a, top, a}, {-a, top, a}},
        {{a, 0, -a}, {-a, 0, -a}, {-a, top, -a}, {a, top, -a}},
        {{a, 0, a}, {a, 0, -a}, {a, top, -a}, {a, top, a}},
        {{-a, 0, -a}, {-a, 0, a}, {-a, top, a}, {-a, top, -a}},
    };
    const RwV3d normals[4] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}};
    RpMorphTarget *target = &geometry->morphTarget[0];
    for (int p = 0; p < 4; ++p) {
        for (int c = 0; c < 4; ++c) {
            target->verts[4 * p + c] = corners[p][c];
            target->normals[4 * p + c] = normals[p];
        }
        const auto b = static_cast<RwUInt16>(4 * p);
        geometry->triangles[2 * p] = {{b, static_cast<RwUInt16>(b + 1), static_cast<RwUInt16>(b + 2)}, 0};
        geometry->triangles[2 * p + 1] = {{b, static_cast<RwUInt16>(b + 2), static_cast<RwUInt16>(b + 3)}, 0};
    }
    target->boundingSphere = {{0.0f, top / 2.0f, 0.0f}, std::sqrt(2.0f * a * a + top * top / 4.0f)};
    if (RpGeometryUnlock(geometry) == nullptr) {
        RpGeometryDestroy(geometry);
        return nullptr;
    }
    return SingleAtomicClump(geometry);
}

}  // namespace mkdata
