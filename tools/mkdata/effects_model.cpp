// The sample material-effects prop of the maker (see effects_model.h).
#include "tools/mkdata/effects_model.h"

#include <cctype>
#include <cstring>
#include <filesystem>

#include "rpltmap.h"
#include "rpmatfx.h"
#include "rppatch.h"
#include "rtbmp.h"
#include "tools/mkdata/character_model.h"
#include "tools/mkdata/data_tree.h"
#include "tools/mkdata/model_writer.h"

namespace mkdata {
namespace {

// A texture reference by name: reading the model back resolves it through
// the dictionary or the read callback.
RwTexture *NamedTexture(const char *name) { return CreateTextureReference(name); }

bool SetEffects(RpMaterial *front, RpMaterial *back)
{
    RwTexture *env = NamedTexture(EffectsEnvTextureName());
    RwTexture *dual = NamedTexture(EffectsDualTextureName());
    bool ok = env != nullptr && dual != nullptr && RpMatFXMaterialSetEffects(front, rpMATFXEFFECTENVMAP) &&
              RpMatFXMaterialSetupEnvMap(front, env, nullptr, FALSE, kEffectsEnvCoefficient) &&
              RpMatFXMaterialSetEffects(back, rpMATFXEFFECTDUAL) &&
              RpMatFXMaterialSetupDualTexture(back, dual, rwBLENDDESTCOLOR, rwBLENDSRCCOLOR);
    if (env != nullptr) {
        RwTextureDestroy(env);
    }
    if (dual != nullptr) {
        RwTextureDestroy(dual);
    }
    return ok;
}

// Front face toward -z, back face toward +z: four triangles on eight
// vertices, one material each side.
RpGeometry *BuildPanel(RpMaterial *front, RpMaterial *back)
{
    const RwV3d corners[4] = {{-0.5f, 0.0f, 0.0f}, {0.5f, 0.0f, 0.0f}, {-0.5f, 1.0f, 0.0f}, {0.5f, 1.0f, 0.0f}};
    RpGeometry *g = BuildDoubleSidedPanel(corners, {200, 200, 200, 255}, front, back);
    if (g != nullptr) {
        g->morphTarget[0].boundingSphere = {{0.0f, 0.5f, 0.0f}, 0.71f};
    }
    return g;
}

}  // namespace

RpMaterial *TexturedMaterial(const char *name)
{
    RpMaterial *material = RpMaterialCreate();
    RwTexture *texture = NamedTexture(name);
    if (material == nullptr || texture == nullptr) {
        if (texture != nullptr) {
            RwTextureDestroy(texture);
        }
        if (material != nullptr) {
            RpMaterialDestroy(material);
        }
        return nullptr;
    }
    RpMaterialSetTexture(material, texture);
    RwTextureDestroy(texture);
    return material;
}

RpGeometry *BuildDoubleSidedPanel(const RwV3d corners[4], RwRGBA colour, RpMaterial *front, RpMaterial *back)
{
    constexpr RwUInt32 kFormat =
        rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS | rpGEOMETRYTEXTURED | rpGEOMETRYPRELIT | rpGEOMETRYLIGHT;
    RpGeometry *g = RpGeometryCreate(8, 4, kFormat);
    if (g == nullptr) {
        return nullptr;
    }
    const RwTexCoords uvs[4] = {{0, 1}, {1, 1}, {0, 0}, {1, 0}};
    for (RwInt32 side = 0; side < 2; ++side) {
        for (RwInt32 k = 0; k < 4; ++k) {
            const RwInt32 v = side * 4 + k;
            g->morphTarget[0].verts[v] = corners[k];
            g->morphTarget[0].normals[v] = {0.0f, 0.0f, side == 0 ? -1.0f : 1.0f};
            g->texCoords[0][v] = uvs[k];
            g->preLitLum[v] = colour;
        }
    }
    const RwUInt16 tris[4][3] = {{0, 1, 2}, {1, 3, 2}, {4, 6, 5}, {5, 6, 7}};
    for (RwInt32 t = 0; t < 4; ++t) {
        for (int k = 0; k < 3; ++k) {
            g->triangles[t].vertIndex[k] = tris[t][k];
        }
        RpGeometryTriangleSetMaterial(g, &g->triangles[t], t < 2 ? front : back);
    }
    return RpGeometryUnlock(g);
}

bool AttachSurfacePlugins() { return AttachGamePlugins(); }

RpClump *BuildEffectsClump()
{
    RpMaterial *front = TexturedMaterial(EffectsBaseTextureName());
    RpMaterial *back = TexturedMaterial(EffectsBaseTextureName());
    RpGeometry *geometry = nullptr;
    if (front != nullptr && back != nullptr && SetEffects(front, back)) {
        geometry = BuildPanel(front, back);
    }
    if (front != nullptr) {
        RpMaterialDestroy(front);
    }
    if (back != nullptr) {
        RpMaterialDestroy(back);
    }
    if (geometry == nullptr) {
        return nullptr;
    }
    RpAtomic *atomic = nullptr;
    RpClump *clump = SingleAtomicClump(geometry, &atomic);
    if (clump == nullptr) {
        return nullptr;
    }
    // The effects only draw through the effects pipeline; the flag in the
    // file puts a loaded atomic back on it.
    RpMatFXAtomicEnableEffects(atomic);
    return clump;
}

namespace {

// One panel of the showcase: four vertices from `first` (bottom-left,
// bottom-right, top-left, top-right, facing -z), two triangles from
// `triangle`, with corner normals leaning out by `lean`.
void AddShowcasePanel(RpGeometry *g, RwInt32 first, RwInt32 triangle, RwReal centreX, RwReal lean,
                      RpMaterial *material)
{
    const RwReal half = kShowcasePanelSize / 2.0f;
    const RwV3d corners[4] = {{centreX - half, 0.0f, 0.0f},
                              {centreX + half, 0.0f, 0.0f},
                              {centreX - half, kShowcasePanelSize, 0.0f},
                              {centreX + half, kShowcasePanelSize, 0.0f}};
    const RwTexCoords uvs[4] = {{0, 1}, {1, 1}, {0, 0}, {1, 0}};
    const RwReal sideX[4] = {-1.0f, 1.0f, -1.0f, 1.0f};
    const RwReal sideY[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
    for (RwInt32 k = 0; k < 4; ++k) {
        const RwInt32 v = first + k;
        g->morphTarget[0].verts[v] = corners[k];
        RwV3d normal = {lean * sideX[k], lean * sideY[k], -1.0f};
        RwV3dNormalize(&normal, &normal);
        g->morphTarget[0].normals[v] = normal;
        g->texCoords[0][v] = uvs[k];
        g->preLitLum[v] = {200, 200, 200, 255};
    }
    const RwUInt16 tris[2][3] = {{0, 2, 1}, {1, 2, 3}};
    for (RwInt32 t = 0; t < 2; ++t) {
        RpTriangle *tri = &g->triangles[triangle + t];
        for (int k = 0; k < 3; ++k) {
            tri->vertIndex[k] = static_cast<RwUInt16>(first + tris[t][k]);
        }
        RpGeometryTriangleSetMaterial(g, tri, material);
    }
}

// The bumped texture that a reader builds from the base and the bump
// texture (their pictures are not the maker's textures): the engine names
// it after both and writes it with the material, so the file names it too;
// where no picture of that name exists, the reader builds it again.
bool NameBumpedTexture(RpMaterial *material)
{
    RpMatFXEffectData *pass = RpMatFXMaterialGetPass(material, rpMATFXEFFECTBUMPMAP);
    if (pass == nullptr) {
        return false;
    }
    RwChar combined[rwTEXTURECOMBINEDNAMELENGTH + 1];
    RwTextureMakeCombinedName(combined, EffectsBaseTextureName(), EffectsBumpTextureName());
    pass->data.bumpMap.bumpedTexture = NamedTexture(combined);
    return pass->data.bumpMap.bumpedTexture != nullptr;
}

bool SetShowcaseEffects(RpMaterial *env, RpMaterial *dual, RpMaterial *bump)
{
    RwTexture *envTexture = NamedTexture(EffectsEnvTextureName());
    RwTexture *dualTexture = NamedTexture(EffectsDualTextureName());
    RwTexture *bumpTexture = NamedTexture(EffectsBumpTextureName());
    const bool ok =
        envTexture != nullptr && dualTexture != nullptr && bumpTexture != nullptr &&
        RpMatFXMaterialSetEffects(env, rpMATFXEFFECTENVMAP) &&
        RpMatFXMaterialSetupEnvMap(env, envTexture, nullptr, FALSE, kShowcaseEnvCoefficient) &&
        RpMatFXMaterialSetEffects(dual, rpMATFXEFFECTDUAL) &&
        RpMatFXMaterialSetupDualTexture(dual, dualTexture, rwBLENDDESTCOLOR, rwBLENDSRCCOLOR) &&
        RpMatFXMaterialSetEffects(bump, rpMATFXEFFECTBUMPMAP) &&
        RpMatFXMaterialSetupBumpMap(bump, bumpTexture, nullptr, kShowcaseBumpCoefficient) &&
        NameBumpedTexture(bump);
    for (RwTexture *texture : {envTexture, dualTexture, bumpTexture}) {
        if (texture != nullptr) {
            RwTextureDestroy(texture);
        }
    }
    return ok;
}

}  // namespace

RpClump *BuildEffectsShowcaseClump(const RwV3d &place, RwReal turn)
{
    RpMaterial *materials[3] = {};
    for (RpMaterial *&material : materials) {
        material = TexturedMaterial(EffectsBaseTextureName());
    }
    RpGeometry *g = nullptr;
    if (materials[0] != nullptr && materials[1] != nullptr && materials[2] != nullptr &&
        SetShowcaseEffects(materials[0], materials[1], materials[2])) {
        constexpr RwUInt32 kFormat =
            rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS | rpGEOMETRYTEXTURED | rpGEOMETRYPRELIT | rpGEOMETRYLIGHT;
        g = RpGeometryCreate(12, 6, kFormat);
    }
    if (g != nullptr) {
        // The environment map's panel leans its normals out; the others are flat.
        for (RwInt32 i = 0; i < 3; ++i) {
            AddShowcasePanel(g, 4 * i, 2 * i, kShowcasePanelSpacing * static_cast<RwReal>(i - 1),
                             i == 0 ? 1.0f : 0.0f, materials[i]);
        }
        g->morphTarget[0].boundingSphere = {{0.0f, kShowcasePanelSize / 2.0f, 0.0f},
                                            kShowcasePanelSpacing + kShowcasePanelSize};
        g = RpGeometryUnlock(g);
    }
    for (RpMaterial *material : materials) {
        if (material != nullptr) {
            RpMaterialDestroy(material);
        }
    }
    if (g == nullptr) {
        return nullptr;
    }
    RpAtomic *atomic = nullptr;
    RpClump *clump = SingleAtomicClump(g, &atomic);
    if (clump == nullptr) {
        return nullptr;
    }
    RpMatFXAtomicEnableEffects(atomic);
    const RwV3d yAxis = {0.0f, 1.0f, 0.0f};
    RwFrameRotate(RpClumpGetFrame(clump), &yAxis, turn, rwCOMBINEREPLACE);
    RwFrameTranslate(RpClumpGetFrame(clump), &place, rwCOMBINEPOSTCONCAT);
    return clump;
}

RwImage *MakeEffectsTextureImage(const char *name)
{
    constexpr RwInt32 kEdge = 32;
    RwImage *image = RwImageCreate(kEdge, kEdge, 32);
    if (image == nullptr || RwImageAllocatePixels(image) == nullptr) {
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        return nullptr;
    }
    const bool env = std::strcmp(name, EffectsEnvTextureName()) == 0;
    const bool dual = std::strcmp(name, EffectsDualTextureName()) == 0;
    const bool bump = std::strcmp(name, EffectsBumpTextureName()) == 0;
    for (RwInt32 y = 0; y < kEdge; ++y) {
        auto *row = reinterpret_cast<RwRGBA *>(image->cpPixels + y * image->stride);
        for (RwInt32 x = 0; x < kEdge; ++x) {
            if (env) {
                // A sky over a horizon: what an environment map reflects.
                const auto sky = static_cast<RwUInt8>(120 + 4 * y);
                row[x] = y < kEdge / 2 ? RwRGBA{90, static_cast<RwUInt8>(sky - 20), sky, 255}
                                       : RwRGBA{70, 60, 40, 255};
            } else if (bump) {
                // Round bumps, four across: raised (white) inside, flat (black) between.
                const RwInt32 dx = x % 8 - 4;
                const RwInt32 dy = y % 8 - 4;
                const bool raised = dx * dx + dy * dy <= 6;
                const auto grey = static_cast<RwUInt8>(raised ? 255 : 0);
                row[x] = {grey, grey, grey, 255};
            } else if (dual) {
                // Stripes to lay over the base twice as bright.
                const bool stripe = ((x + y) / 4) % 2 == 0;
                row[x] = stripe ? RwRGBA{200, 120, 60, 255} : RwRGBA{128, 128, 128, 255};
            } else {
                // A grey checker as the base.
                const bool light = ((x / 8) + (y / 8)) % 2 == 0;
                const auto shade = static_cast<RwUInt8>(light ? 180 : 110);
                row[x] = {shade, shade, shade, 255};
            }
        }
    }
    return image;
}

bool WriteEffectsModel(const std::string &root)
{
    const std::filesystem::path textures = std::filesystem::path(root) / EffectsModelFolder() / "TEXTURES";
    std::error_code error;
    std::filesystem::create_directories(textures, error);
    if (error) {
        return false;
    }
    for (const char *name : kEffectsTextureNames) {
        RwImage *image = MakeEffectsTextureImage(name);
        std::string file = name;
        for (char &c : file) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        const bool ok = image != nullptr && RtBmpWrite(image, (textures / (file + ".BMP")).string().c_str()) != nullptr;
        if (image != nullptr) {
            RwImageDestroy(image);
        }
        if (!ok) {
            return false;
        }
    }
    return WriteBuiltClump(root, EffectsModelFolder(), EffectsModelName(), BuildEffectsClump);
}

}  // namespace mkdata
