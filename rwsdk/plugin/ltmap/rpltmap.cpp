// The lightmap plug-in: attach and life cycle, the extensions of atomics,
// sectors, materials and worlds, finding (or standing in for) lightmap
// textures, and the render style with its texture filtering.
#include <cstring>
#include <vector>

#include "ltmappriv.h"
#include "rpworld.h"
#include "rwraster.h"
#include "rwtexture.h"

namespace {

LightMapGlobals globals = {-1, -1, -1, -1, 0, 3, rpLTMAPDEFAULTSIZE, rpLTMAPRASTERFORMAT,
                           nullptr, nullptr, 0, 0, TRUE, TRUE};

constexpr RwInt32 kLockWrite = 0x01;

void *ObjectConstruct(void *object, RwInt32 offset, RwInt32)
{
    RpLightMapAtomicData *data = LightMapExtension<RpLightMapAtomicData>(object, offset);
    *data = {0, 0, 0, 0, nullptr, nullptr};
    return object;
}

void ReleaseShared(RpLightMapShared *shared)
{
    if (shared != nullptr && --shared->refCount <= 0) {
        RwFree(shared);
    }
}

void *ObjectDestruct(void *object, RwInt32 offset, RwInt32)
{
    RpLightMapAtomicData *data = LightMapExtension<RpLightMapAtomicData>(object, offset);
    if (data->lightMap != nullptr) {
        RwTextureDestroy(data->lightMap);
    }
    ReleaseShared(data->shared);
    *data = {0, 0, 0, 0, nullptr, nullptr};
    return object;
}

void *ObjectCopy(void *dstObject, const void *srcObject, RwInt32 offset, RwInt32)
{
    RpLightMapAtomicData *dst = LightMapExtension<RpLightMapAtomicData>(dstObject, offset);
    const RpLightMapAtomicData *src = LightMapExtension<RpLightMapAtomicData>(srcObject, offset);
    if (src->lightMap != nullptr) {
        RwTextureAddRef(src->lightMap);
    }
    if (src->shared != nullptr) {
        ++src->shared->refCount;
    }
    if (dst->lightMap != nullptr) {
        RwTextureDestroy(dst->lightMap);
    }
    ReleaseShared(dst->shared);
    *dst = *src;
    return dstObject;
}

void *MaterialConstruct(void *object, RwInt32 offset, RwInt32)
{
    *LightMapExtension<RpLightMapMaterialData>(object, offset) = {0, 1.0f, 0xFFFFFFFFu, 1.0f, 1.0f};
    return object;
}

void *PlainDestruct(void *object, RwInt32, RwInt32) { return object; }

void *MaterialCopy(void *dstObject, const void *srcObject, RwInt32 offset, RwInt32)
{
    *LightMapExtension<RpLightMapMaterialData>(dstObject, offset) =
        *LightMapExtension<RpLightMapMaterialData>(srcObject, offset);
    return dstObject;
}

void *WorldConstruct(void *object, RwInt32 offset, RwInt32)
{
    *LightMapExtension<RpLightMapWorldData>(object, offset) = {0, 0};
    return object;
}

void *WorldCopy(void *dstObject, const void *srcObject, RwInt32 offset, RwInt32)
{
    *LightMapExtension<RpLightMapWorldData>(dstObject, offset) =
        *LightMapExtension<RpLightMapWorldData>(srcObject, offset);
    return dstObject;
}

void *EngineOpen(void *instance, RwInt32, RwInt32)
{
    if (globals.openCount == 0 && !RpLightMapPipelinesCreate()) {
        return nullptr;
    }
    globals.defaultSize = rpLTMAPDEFAULTSIZE;
    globals.renderStyle = rpLTMAPSTYLERENDERBASE | rpLTMAPSTYLERENDERLIGHTMAP;
    globals.firstRender = TRUE;
    globals.singlePass = TRUE;
    ++globals.openCount;
    return instance;
}

void *EngineClose(void *instance, RwInt32, RwInt32)
{
    if (globals.openCount > 0 && --globals.openCount == 0) {
        RpLightMapPipelinesDestroy();
    }
    return instance;
}

// Collects each distinct lightmap texture of a world's sectors and of the
// atomics in them once.
struct TextureSet {
    std::vector<RwTexture *> textures;
    void Add(RwTexture *texture)
    {
        if (texture == nullptr) {
            return;
        }
        for (RwTexture *known : textures) {
            if (known == texture) {
                return;
            }
        }
        textures.push_back(texture);
    }
};

RpAtomic *CollectAtomic(RpAtomic *atomic, void *data)
{
    static_cast<TextureSet *>(data)->Add(RpLightMapAtomicGetLightMap(atomic));
    return atomic;
}

RpWorldSector *CollectSector(RpWorldSector *sector, void *data)
{
    static_cast<TextureSet *>(data)->Add(RpLightMapWorldSectorGetLightMap(sector));
    RpWorldSectorForAllAtomics(sector, CollectAtomic, data);
    return sector;
}

}  // namespace

LightMapGlobals &LightMapGlobalsGet(void) { return globals; }

// Rights callbacks: an atomic or sector on one of our pipelines is written
// with us as its pipeline owner, and the reader hands it back here after its
// extension chunk; it keeps our pipeline when its lightmap came with it.
static RwInt32 AtomicRights(void *object, RwInt32 offset, RwInt32, RwUInt32)
{
    if (LightMapExtension<RpLightMapAtomicData>(object, offset)->lightMap != nullptr) {
        static_cast<RpAtomic *>(object)->pipeline = globals.atomicPipeline;
    }
    return 1;
}

static RwInt32 SectorRights(void *object, RwInt32 offset, RwInt32, RwUInt32)
{
    if (LightMapExtension<RpLightMapAtomicData>(object, offset)->lightMap != nullptr) {
        static_cast<RpWorldSector *>(object)->pipeline = globals.sectorPipeline;
    }
    return 1;
}

RwBool RpLightMapPluginAttach(void)
{
    globals.rasterFormat = rpLTMAPRASTERFORMAT;
    if (RwEngineRegisterPlugin(0, rwID_LTMAPPLUGIN, EngineOpen, EngineClose) < 0) {
        return FALSE;
    }
    globals.atomicOffset = RpAtomicRegisterPlugin(sizeof(RpLightMapAtomicData), rwID_LTMAPPLUGIN, ObjectConstruct,
                                                  ObjectDestruct, ObjectCopy);
    globals.sectorOffset = RpWorldSectorRegisterPlugin(sizeof(RpLightMapAtomicData), rwID_LTMAPPLUGIN,
                                                       ObjectConstruct, ObjectDestruct, ObjectCopy);
    globals.worldOffset = RpWorldRegisterPlugin(sizeof(RpLightMapWorldData), rwID_LTMAPPLUGIN, WorldConstruct,
                                                PlainDestruct, WorldCopy);
    globals.materialOffset = RpMaterialRegisterPlugin(sizeof(RpLightMapMaterialData), rwID_LTMAPPLUGIN,
                                                      MaterialConstruct, PlainDestruct, MaterialCopy);
    if (globals.atomicOffset < 0 || globals.sectorOffset < 0 || globals.worldOffset < 0 ||
        globals.materialOffset < 0) {
        return FALSE;
    }
    if (RpAtomicRegisterPluginStream(rwID_LTMAPPLUGIN, LightMapAtomicRead, LightMapObjectWrite,
                                     LightMapObjectSize) < 0 ||
        RpWorldSectorRegisterPluginStream(rwID_LTMAPPLUGIN, LightMapSectorRead, LightMapObjectWrite,
                                          LightMapObjectSize) < 0 ||
        RpWorldRegisterPluginStream(rwID_LTMAPPLUGIN, LightMapWorldRead, LightMapWorldWrite, LightMapWorldSize) <
            0 ||
        RpMaterialRegisterPluginStream(rwID_LTMAPPLUGIN, LightMapMaterialRead, LightMapMaterialWrite,
                                       LightMapMaterialSize) < 0 ||
        RpAtomicSetStreamRightsCallBack(rwID_LTMAPPLUGIN, AtomicRights) < 0 ||
        RwPluginRegistryAddRightsCallback(RpWorldSectorGetPluginRegistry(), rwID_LTMAPPLUGIN, SectorRights) < 0) {
        return FALSE;
    }
    return TRUE;
}

RpLightMapAtomicData *RpLightMapAtomicGetData(const RpAtomic *atomic)
{
    return LightMapExtension<RpLightMapAtomicData>(atomic, globals.atomicOffset);
}

RpLightMapAtomicData *RpLightMapWorldSectorGetData(const RpWorldSector *sector)
{
    return LightMapExtension<RpLightMapAtomicData>(sector, globals.sectorOffset);
}

RpLightMapMaterialData *RpLightMapMaterialGetData(const RpMaterial *material)
{
    return LightMapExtension<RpLightMapMaterialData>(material, globals.materialOffset);
}

RpLightMapWorldData *RpLightMapWorldGetData(const RpWorld *world)
{
    return LightMapExtension<RpLightMapWorldData>(world, globals.worldOffset);
}

RwTexture *RpLightMapAtomicGetLightMap(const RpAtomic *atomic) { return RpLightMapAtomicGetData(atomic)->lightMap; }

RwTexture *RpLightMapWorldSectorGetLightMap(const RpWorldSector *sector)
{
    return RpLightMapWorldSectorGetData(sector)->lightMap;
}

RwPipeline *RpLightMapGetAtomicPipeline(void) { return globals.atomicPipeline; }
RwPipeline *RpLightMapGetWorldSectorPipeline(void) { return globals.sectorPipeline; }
RwUInt32 RpLightMapGetRenderStyle(void) { return globals.renderStyle; }

RwBool RpLightMapTextureFillPattern(RwTexture *texture, const RwRGBA *colour)
{
    RwRaster *raster = texture != nullptr ? texture->raster : nullptr;
    RwUInt8 *pixels = raster != nullptr ? RwRasterLock(raster, 0, kLockWrite) : nullptr;
    if (pixels == nullptr) {
        return FALSE;
    }
    const RwUInt32 fill = colour != nullptr ? 0xFF000000u | (static_cast<RwUInt32>(colour->red) << 16) |
                                                  (static_cast<RwUInt32>(colour->green) << 8) | colour->blue
                                            : 0;
    for (RwInt32 y = 0; y < raster->height; ++y) {
        auto *row = reinterpret_cast<RwUInt32 *>(pixels + y * raster->stride);
        for (RwInt32 x = 0; x < raster->width; ++x) {
            RwUInt32 value = fill;
            if (colour == nullptr) {
                value = ((x + y) & 1) == 0 ? 0xFFFFFFFFu : 0xFF000000u;
            }
            std::memcpy(&row[x], &value, sizeof(value));
        }
    }
    RwRasterUnlock(raster);
    return TRUE;
}

RwTexture *RpLightMapTextureFind(const RwChar *name, RwInt32 size)
{
    if (name == nullptr || name[0] == '\0') {
        return nullptr;
    }
    RwTexDictionary *dict = RwTexDictionaryGetCurrent();
    RwTexture *texture = dict != nullptr ? RwTexDictionaryFindTexture(dict, name) : nullptr;
    if (texture != nullptr) {
        return RwTextureAddRef(texture);
    }
    texture = RwTextureRead(name, nullptr);
    if (texture != nullptr) {
        return texture;
    }
    // A missing lightmap never fails the read: a placeholder stands in.
    RwError ignored;
    RwErrorGet(&ignored);
    const RwInt32 edge = size > 0 ? size : globals.defaultSize;
    RwRaster *raster = RwRasterCreate(edge, edge, 0, globals.rasterFormat);
    if (raster == nullptr) {
        return nullptr;
    }
    texture = RwTextureCreate(raster);
    if (texture == nullptr) {
        RwRasterDestroy(raster);
        return nullptr;
    }
    RwTextureSetName(texture, name);
    RpLightMapTextureFillPattern(texture, nullptr);
    if (dict != nullptr) {
        // The dictionary keeps the creation reference; the object its own.
        RwTexDictionaryAddTexture(dict, texture);
        RwTextureAddRef(texture);
    }
    return texture;
}

RwBool RpLightMapSetRenderStyle(RwUInt32 style, RpWorld *world)
{
    if (world != nullptr) {
        RwInt32 filter = rwFILTERLINEAR;
        if (style & rpLTMAPSTYLEPOINTSAMPLE) {
            filter = rwFILTERNEAREST;
        } else if (globals.rasterFormat & rwRASTERFORMATMIPMAP) {
            filter = rwFILTERLINEARMIPLINEAR;
        }
        TextureSet set;
        RpWorldForAllWorldSectors(world, CollectSector, &set);
        for (RwTexture *texture : set.textures) {
            RwTextureSetFilterMode(texture, filter);
        }
    }
    globals.renderStyle = style;
    return TRUE;
}
