// Materials: creation with the current default surface properties, the
// reference count shared by material lists and extensions, texture
// swapping, the material plug-in registry and the material module block.
#include <cstring>

#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwraster.h"
#include "rwtexture.h"
#include "world/bamodules.h"

static RwPluginRegistry materialTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RpMaterial)));
static RwInt32 materialModuleOffset = -1;
static RwSurfaceProperties defaultSurfaceProps = {1.0f, 1.0f, 1.0f};

static constexpr RwInt32 rpMATERIALENTRIESPERBLOCK = 256;
static constexpr RwInt32 rpMATERIALALIGNMENT = 8;

rpMaterialGlobals *rpMaterialGetGlobals(void)
{
    return static_cast<rpMaterialGlobals *>(RwEngineGetModuleBlock(materialModuleOffset));
}

RwPluginRegistry *RpMaterialGetPluginRegistry(void) { return &materialTKList; }

RwInt32 RpMaterialRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                                 RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&materialTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RpMaterialRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                       RwPluginDataChunkWriteCallBack writeCB,
                                       RwPluginDataChunkGetSizeCallBack getSizeCB)
{
    return RwPluginRegistryAddPluginStream(&materialTKList, pluginID, readCB, writeCB, getSizeCB);
}

RwInt32 RpMaterialSetStreamAlwaysCallBack(RwUInt32 pluginID, RwPluginDataChunkAlwaysCallBack alwaysCB)
{
    return RwPluginRegistryAddStreamAlways(&materialTKList, pluginID, alwaysCB);
}

RwInt32 RpMaterialSetStreamRightsCallBack(RwUInt32 pluginID, RwPluginDataChunkRightsCallBack rightsCB)
{
    return RwPluginRegistryAddRightsCallback(&materialTKList, pluginID, rightsCB);
}

RwInt32 RpMaterialGetPluginOffset(RwUInt32 pluginID)
{
    return RwPluginRegistryGetPluginOffset(&materialTKList, pluginID);
}

void RpMaterialSetDefaultSurfaceProperties(const RwSurfaceProperties *surfaceProps)
{
    defaultSurfaceProps = surfaceProps != nullptr ? *surfaceProps : RwSurfaceProperties{1.0f, 1.0f, 1.0f};
}

const RwSurfaceProperties *RpMaterialGetDefaultSurfaceProperties(void) { return &defaultSurfaceProps; }

RpMaterial *RpMaterialCreate(void)
{
    rpMaterialGlobals *globals = rpMaterialGetGlobals();
    auto *material = static_cast<RpMaterial *>(RwFreeListEntryAlloc(globals->materialFreeList));
    if (material == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(material, 0, static_cast<size_t>(materialTKList.sizeOfStruct));
    material->texture = nullptr;
    material->color = {255, 255, 255, 255};
    material->pipeline = nullptr;
    material->surfaceProps = defaultSurfaceProps;
    material->refCount = 1;
    if (RwPluginRegistryInitObject(&materialTKList, material) == nullptr) {
        RwFreeListEntryFree(globals->materialFreeList, material);
        RwErrorReportCommon(E_RW_PLUGININIT);
        return nullptr;
    }
    return material;
}

RwBool RpMaterialDestroy(RpMaterial *material)
{
    if (material->refCount > 1) {
        --material->refCount;
        return TRUE;
    }
    RwPluginRegistryDeInitObject(&materialTKList, material);
    if (material->texture != nullptr) {
        RwTextureDestroy(material->texture);
        material->texture = nullptr;
    }
    RwFreeListEntryFree(rpMaterialGetGlobals()->materialFreeList, material);
    return TRUE;
}

RpMaterial *RpMaterialAddRef(RpMaterial *material)
{
    ++material->refCount;
    return material;
}

RpMaterial *RpMaterialSetTexture(RpMaterial *material, RwTexture *texture)
{
    // The new reference is taken before the old one goes, so setting the
    // texture a material already has never frees it in between.
    if (texture != nullptr) {
        RwTextureAddRef(texture);
    }
    if (material->texture != nullptr) {
        RwTextureDestroy(material->texture);
    }
    material->texture = texture;
    return material;
}

RwBool rpMaterialIsTranslucent(const RpMaterial *material)
{
    if (material->color.alpha != 255) {
        return TRUE;
    }
    const RwTexture *texture = material->texture;
    if (texture == nullptr || texture->raster == nullptr) {
        return FALSE;
    }
    RwUInt32 pixelFormat = (static_cast<RwUInt32>(texture->raster->cFormat) << 8) & rwRASTERFORMATPIXELFORMATMASK;
    return pixelFormat == static_cast<RwUInt32>(rwRASTERFORMAT1555) ||
           pixelFormat == static_cast<RwUInt32>(rwRASTERFORMAT4444) ||
           pixelFormat == static_cast<RwUInt32>(rwRASTERFORMAT8888);
}

void *RpMaterialModuleOpen(void *instance, RwInt32 offset, RwInt32 size)
{
    materialModuleOffset = offset;
    auto *globals = reinterpret_cast<rpMaterialGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    std::memset(globals, 0, static_cast<size_t>(size));
    globals->materialFreeList =
        RwFreeListCreate(materialTKList.sizeOfStruct, rpMATERIALENTRIESPERBLOCK, rpMATERIALALIGNMENT);
    if (globals->materialFreeList == nullptr) {
        return nullptr;
    }
    defaultSurfaceProps = {1.0f, 1.0f, 1.0f};
    return instance;
}

void *RpMaterialModuleClose(void *instance, RwInt32 offset, RwInt32)
{
    auto *globals = reinterpret_cast<rpMaterialGlobals *>(static_cast<RwUInt8 *>(instance) + offset);
    if (globals->materialFreeList != nullptr) {
        RwFreeListDestroy(globals->materialFreeList);
        globals->materialFreeList = nullptr;
    }
    return instance;
}
