// The sample prop of the maker (see prop_model.h). Everything is computed,
// so the model is the same on every run and every machine.
#include "tools/mkdata/prop_model.h"

#include <cmath>
#include <cstring>

#include "rpusrdat.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/sample_event_data.h"

namespace mkdata {
namespace {

constexpr RwUInt32 kCrateFormat = rpGEOMETRYTRISTRIP | rpGEOMETRYPOSITIONS | rpGEOMETRYPRELIT | rpGEOMETRYNORMALS |
                                  rpGEOMETRYLIGHT | rpGEOMETRYMODULATEMATERIALCOLOR | rpGEOMETRYTEXCOORDSETS(2);
constexpr RwUInt32 kLampFormat =
    rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS | rpGEOMETRYLIGHT | rpGEOMETRYTEXTURED | rpGEOMETRYPRELIT;

RwTexture *FindTexture(const char *name) { return RwTexDictionaryFindTexture(RwTexDictionaryGetCurrent(), name); }

RwSphere SphereOf(const RwV3d *verts, RwInt32 count)
{
    RwV3d lo = verts[0];
    RwV3d hi = verts[0];
    for (RwInt32 i = 1; i < count; ++i) {
        lo = {std::fmin(lo.x, verts[i].x), std::fmin(lo.y, verts[i].y), std::fmin(lo.z, verts[i].z)};
        hi = {std::fmax(hi.x, verts[i].x), std::fmax(hi.y, verts[i].y), std::fmax(hi.z, verts[i].z)};
    }
    RwV3d centre = {(lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f};
    RwReal radius = 0.0f;
    for (RwInt32 i = 0; i < count; ++i) {
        RwV3d d;
        RwV3dSub(&d, &verts[i], &centre);
        radius = std::fmax(radius, std::sqrt(RwV3dDotProduct(&d, &d)));
    }
    return {centre, radius};
}

RpMaterial *MakeMaterial(const char *texture, RwRGBA colour, RwSurfaceProperties surface)
{
    RpMaterial *material = RpMaterialCreate();
    if (material == nullptr) {
        return nullptr;
    }
    RpMaterialSetColor(material, &colour);
    RpMaterialSetSurfaceProperties(material, &surface);
    if (texture != nullptr) {
        RwTexture *t = FindTexture(texture);
        if (t == nullptr) {
            RpMaterialDestroy(material);
            return nullptr;
        }
        RpMaterialSetTexture(material, t);
    }
    return material;
}

// A box of 6 faces x 4 vertices, so every face has its own normals and
// texture coordinates; the list holds wood, metal and wood again, and the
// front face uses the repeated slot.
RpGeometry *BuildCrate(RwReal scale)
{
    RpGeometry *g = RpGeometryCreate(24, 12, kCrateFormat);
    if (g == nullptr) {
        return nullptr;
    }
    RpMaterial *wood = MakeMaterial("crate_wood", {255, 255, 255, 255}, {1.0f, 0.25f, 0.75f});
    RpMaterial *metal = MakeMaterial("crate_metal", {200, 210, 220, 255}, {0.5f, 0.9f, 0.6f});
    bool ok = wood != nullptr && metal != nullptr && RpMaterialListAppendMaterial(&g->matList, wood) == 0 &&
              RpMaterialListAppendMaterial(&g->matList, metal) == 1 &&
              RpMaterialListAppendMaterial(&g->matList, wood) == 2;
    if (wood != nullptr) {
        RpMaterialDestroy(wood);
    }
    if (metal != nullptr) {
        RpMaterialDestroy(metal);
    }
    if (!ok) {
        RpGeometryDestroy(g);
        return nullptr;
    }
    static const RwV3d normals[6] = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    static const RwInt16 faceSlot[6] = {2, 0, 0, 0, 1, 1};
    RpMorphTarget *base = &g->morphTarget[0];
    for (int f = 0; f < 6; ++f) {
        const RwV3d &n = normals[f];
        // Two axes spanning the face, chosen so the corners wind outwards.
        RwV3d u = std::fabs(n.y) > 0.5f ? RwV3d{1, 0, 0} : RwV3d{0, 1, 0};
        RwV3d v;
        RwV3dCrossProduct(&v, &n, &u);
        static const RwReal corner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int c = 0; c < 4; ++c) {
            int i = 4 * f + c;
            base->verts[i] = {scale * (n.x + u.x * corner[c][0] + v.x * corner[c][1]),
                              scale * (n.y + u.y * corner[c][0] + v.y * corner[c][1]),
                              scale * (n.z + u.z * corner[c][0] + v.z * corner[c][1])};
            base->normals[i] = n;
            g->texCoords[0][i] = {(corner[c][0] + 1) * 0.5f, (corner[c][1] + 1) * 0.5f};
            g->texCoords[1][i] = {corner[c][0] * 2.0f, corner[c][1] * 2.0f};
            g->preLitLum[i] = {static_cast<RwUInt8>(96 + 24 * f), static_cast<RwUInt8>(160 - 16 * c),
                               static_cast<RwUInt8>(64 + 8 * (f + c)), 255};
        }
        RpTriangle *t = &g->triangles[2 * f];
        const RwUInt16 b = static_cast<RwUInt16>(4 * f);
        t[0] = {{b, static_cast<RwUInt16>(b + 1), static_cast<RwUInt16>(b + 2)}, faceSlot[f]};
        t[1] = {{b, static_cast<RwUInt16>(b + 2), static_cast<RwUInt16>(b + 3)}, faceSlot[f]};
    }
    base->boundingSphere = SphereOf(base->verts, 24);
    // The second key shape is the crate squashed to 80% height and widened.
    if (RpGeometryAddMorphTargets(g, 1) != 1) {
        RpGeometryDestroy(g);
        return nullptr;
    }
    base = &g->morphTarget[0];
    RpMorphTarget *squashed = &g->morphTarget[1];
    for (int i = 0; i < 24; ++i) {
        squashed->verts[i] = {base->verts[i].x * 1.2f, base->verts[i].y * 0.8f, base->verts[i].z * 1.2f};
        squashed->normals[i] = base->normals[i];
    }
    squashed->boundingSphere = SphereOf(squashed->verts, 24);
    if (RpGeometryUnlock(g) == nullptr) {
        RpGeometryDestroy(g);
        return nullptr;
    }
    return g;
}

// A small four-sided lamp shade of translucent glass.
RpGeometry *BuildLamp(RwReal scale)
{
    RpGeometry *g = RpGeometryCreate(5, 4, kLampFormat);
    if (g == nullptr) {
        return nullptr;
    }
    RpMaterial *glass = MakeMaterial("lamp_glass", {255, 240, 200, 160}, {1.0f, 1.0f, 1.0f});
    bool ok = glass != nullptr && RpMaterialListAppendMaterial(&g->matList, glass) == 0;
    if (glass != nullptr) {
        RpMaterialDestroy(glass);
    }
    if (!ok) {
        RpGeometryDestroy(g);
        return nullptr;
    }
    RpMorphTarget *t = &g->morphTarget[0];
    const RwV3d verts[5] = {{0, 0.5f, 0}, {-0.3f, 0, -0.3f}, {0.3f, 0, -0.3f}, {0.3f, 0, 0.3f}, {-0.3f, 0, 0.3f}};
    for (int i = 0; i < 5; ++i) {
        t->verts[i] = {verts[i].x * scale, verts[i].y * scale, verts[i].z * scale};
        RwV3dNormalize(&t->normals[i], &verts[i]);
        g->texCoords[0][i] = {i == 0 ? 0.5f : (i % 2) * 1.0f, i == 0 ? 0.0f : 1.0f};
        g->preLitLum[i] = {255, static_cast<RwUInt8>(200 + 10 * i), 150, 255};
    }
    for (RwUInt16 i = 0; i < 4; ++i) {
        g->triangles[i] = {{0, static_cast<RwUInt16>(1 + (i + 1) % 4), static_cast<RwUInt16>(1 + i)}, 0};
    }
    t->boundingSphere = SphereOf(t->verts, 5);
    if (RpGeometryUnlock(g) == nullptr) {
        RpGeometryDestroy(g);
        return nullptr;
    }
    return g;
}

RpAtomic *AddPropAtomic(RpClump *clump, RwFrame *frame, RpGeometry *geometry)
{
    RpAtomic *atomic = RpAtomicCreate();
    if (atomic == nullptr) {
        return nullptr;
    }
    RpAtomicSetFrame(atomic, frame);
    RpAtomicSetGeometry(atomic, geometry, 0);
    RpClumpAddAtomic(clump, atomic);
    return atomic;
}

}  // namespace

const std::vector<PropTexture> &PropTextures()
{
    static const std::vector<PropTexture> textures = {
        {"crate_wood", 64, 64},
        {"crate_metal", 32, 32},
        {"lamp_glass", 16, 16},
    };
    return textures;
}

const char *PropUserProperties() { return "3514100P01\r\nbreakable = 1\r\nhp = 40"; }

bool CreatePropTextures()
{
    RwTexDictionary *dict = RwTexDictionaryGetCurrent();
    if (dict == nullptr) {
        return false;
    }
    static const RwInt32 filter[3] = {rwFILTERLINEAR, rwFILTERNEAREST, rwFILTERLINEAR};
    static const RwInt32 addressing[3] = {rwTEXTUREADDRESSWRAP, rwTEXTUREADDRESSCLAMP, rwTEXTUREADDRESSMIRROR};
    for (size_t i = 0; i < PropTextures().size(); ++i) {
        if (FindTexture(PropTextures()[i].name) != nullptr) {
            continue;
        }
        RwTexture *texture = CreateTextureReference(PropTextures()[i].name);
        if (texture == nullptr) {
            return false;
        }
        RwTextureSetFilterMode(texture, filter[i]);
        RwTextureSetAddressing(texture, addressing[i]);
        RwTexDictionaryAddTexture(dict, texture);
    }
    return true;
}

RpClump *BuildPropClump(RwReal scale, const RwV3d &place)
{
    RpClump *clump = RpClumpCreate();
    RwFrame *root = RwFrameCreate();
    if (clump == nullptr || root == nullptr) {
        if (clump != nullptr) {
            RpClumpDestroy(clump);
        }
        if (root != nullptr) {
            RwFrameDestroy(root);
        }
        return nullptr;
    }
    RpClumpSetFrame(clump, root);
    RwFrameTranslate(root, &place, rwCOMBINEREPLACE);
    RwFrame *lid = AddFrame(root, {0.0f, 1.0f * scale, 0.0f});
    RwFrame *lampFrame = lid != nullptr ? AddFrame(lid, {0.0f, 0.25f * scale, 0.0f}) : nullptr;
    RwFrame *lightFrame = lampFrame != nullptr ? AddFrame(lampFrame, {0.0f, 0.2f * scale, 0.0f}) : nullptr;
    RpGeometry *crate = BuildCrate(scale);
    RpGeometry *lamp = BuildLamp(scale);
    bool ok = lightFrame != nullptr && crate != nullptr && lamp != nullptr &&
              AddPropAtomic(clump, root, crate) != nullptr && AddPropAtomic(clump, lampFrame, lamp) != nullptr;
    // The lid's properties: the game scans frames for this array by name.
    if (ok) {
        RpUserDataList *list = RpUserDataFrameGetList(lid);
        RpUserDataArray *props =
            list != nullptr ? RpUserDataListAddArray(list, "3dsmax User Properties", rpSTRINGUSERDATA, 1) : nullptr;
        ok = props != nullptr && RpUserDataArraySetString(props, 0, PropUserProperties());
        RpUserDataArray *ids = ok ? RpUserDataListAddArray(list, "ids", rpINTUSERDATA, 2) : nullptr;
        ok = ids != nullptr;
        if (ok) {
            static_cast<RwInt32 *>(ids->data)[0] = 3514100;
            static_cast<RwInt32 *>(ids->data)[1] = -1;
        }
    }
    RpLight *light = ok ? RpLightCreate(rpLIGHTPOINT) : nullptr;
    if (light != nullptr) {
        const RwRGBAReal warm = {1.0f, 0.8f, 0.5f, 1.0f};
        RpLightSetColor(light, &warm);
        RpLightSetRadius(light, 6.0f * scale);
        RpLightSetFrame(light, lightFrame);
        RpClumpAddLight(clump, light);
    }
    ok = ok && light != nullptr;
    // The atomics hold their own references now.
    if (crate != nullptr) {
        RpGeometryDestroy(crate);
    }
    if (lamp != nullptr) {
        RpGeometryDestroy(lamp);
    }
    if (!ok) {
        RpClumpDestroy(clump);
        return nullptr;
    }
    return clump;
}

RwImage *MakePropTextureImage(const PropTexture &texture)
{
    RwImage *image = RwImageCreate(texture.width, texture.height, 32);
    if (image == nullptr || RwImageAllocatePixels(image) == nullptr) {
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        return nullptr;
    }
    const bool wood = std::strcmp(texture.name, "crate_wood") == 0;
    const bool metal = std::strcmp(texture.name, "crate_metal") == 0;
    for (RwInt32 y = 0; y < texture.height; ++y) {
        auto *row = reinterpret_cast<RwRGBA *>(image->cpPixels + y * image->stride);
        for (RwInt32 x = 0; x < texture.width; ++x) {
            if (wood) {
                // Planks with a darker seam every 16 texels and a grain.
                RwUInt8 grain = static_cast<RwUInt8>(((x * 7 + y * 3) % 23) * 2);
                bool seam = (y % 16) == 0;
                row[x] = {static_cast<RwUInt8>(seam ? 70 : 150 + grain), static_cast<RwUInt8>(seam ? 40 : 95 + grain / 2),
                          static_cast<RwUInt8>(seam ? 20 : 50), 255};
            } else if (metal) {
                bool rivet = (x % 8 == 3) && (y % 8 == 3);
                RwUInt8 shade = static_cast<RwUInt8>(rivet ? 230 : 140 + ((x + y) % 4) * 10);
                row[x] = {shade, shade, static_cast<RwUInt8>(shade + 10 > 255 ? 255 : shade + 10), 255};
            } else {
                RwUInt8 glow = static_cast<RwUInt8>(255 - 8 * (std::abs(x - 8) + std::abs(y - 8)));
                row[x] = {255, glow, 120, 255};
            }
        }
    }
    return image;
}

}  // namespace mkdata
