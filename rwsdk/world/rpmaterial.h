// Materials (texture, colour, surface lighting coefficients, optional own
// pipeline), the material lists that geometries and worlds keep, and the
// material and material-list chunks.
#pragma once

#include "rwplugin.h"
#include "rwtypes.h"

struct RwTexture;
struct RwPipeline;
struct RwStream;

static constexpr RwUInt32 rwID_MATERIAL = 0x07;
static constexpr RwUInt32 rwID_MATLIST = 0x08;
// Pipeline-owner extension on atomics, materials, worlds and sectors.
static constexpr RwUInt32 rwID_PIPEID = 0x1F;

struct RpMaterial {
    RwTexture *texture;  // one reference held
    RwRGBA color;
    RwPipeline *pipeline;
    RwSurfaceProperties surfaceProps;
    RwInt16 refCount;
};

// Every slot holds one material reference; grows 20 slots at a time.
struct RpMaterialList {
    RpMaterial **materials;
    RwInt32 numMaterials;
    RwInt32 space;
};

static constexpr RwInt32 rpMATERIALLISTGROWTH = 20;
// Body of a material's struct chunk.
static constexpr RwUInt32 rpMATERIALSTRUCTSIZE = 28;

typedef RpMaterial *(*RpMaterialCallBack)(RpMaterial *material, void *data);

RpMaterial *RpMaterialCreate(void);
RwBool RpMaterialDestroy(RpMaterial *material);
RpMaterial *RpMaterialAddRef(RpMaterial *material);
RpMaterial *RpMaterialSetTexture(RpMaterial *material, RwTexture *texture);
inline RwTexture *RpMaterialGetTexture(const RpMaterial *m) { return m->texture; }
inline const RwRGBA *RpMaterialGetColor(const RpMaterial *m) { return &m->color; }
inline RpMaterial *RpMaterialSetColor(RpMaterial *m, const RwRGBA *c) { m->color = *c; return m; }
inline const RwSurfaceProperties *RpMaterialGetSurfaceProperties(const RpMaterial *m) { return &m->surfaceProps; }
inline RpMaterial *RpMaterialSetSurfaceProperties(RpMaterial *m, const RwSurfaceProperties *s)
{
    m->surfaceProps = *s;
    return m;
}
// Null restores (1, 1, 1).
void RpMaterialSetDefaultSurfaceProperties(const RwSurfaceProperties *surfaceProps);
const RwSurfaceProperties *RpMaterialGetDefaultSurfaceProperties(void);

RpMaterial *RpMaterialStreamRead(RwStream *stream);
const RpMaterial *RpMaterialStreamWrite(const RpMaterial *material, RwStream *stream);
// Body size of the material chunk.
RwUInt32 RpMaterialStreamGetSize(const RpMaterial *material);

RwInt32 RpMaterialRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                                 RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RpMaterialRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                       RwPluginDataChunkWriteCallBack writeCB,
                                       RwPluginDataChunkGetSizeCallBack getSizeCB);
RwInt32 RpMaterialSetStreamAlwaysCallBack(RwUInt32 pluginID, RwPluginDataChunkAlwaysCallBack alwaysCB);
RwInt32 RpMaterialSetStreamRightsCallBack(RwUInt32 pluginID, RwPluginDataChunkRightsCallBack rightsCB);
RwInt32 RpMaterialGetPluginOffset(RwUInt32 pluginID);
RwPluginRegistry *RpMaterialGetPluginRegistry(void);

// Material lists.
RpMaterialList *RpMaterialListInitialize(RpMaterialList *list);
RpMaterialList *RpMaterialListDeinitialize(RpMaterialList *list);
RwInt32 RpMaterialListAppendMaterial(RpMaterialList *list, RpMaterial *material);
RwInt32 RpMaterialListFindMaterialIndex(const RpMaterialList *list, const RpMaterial *material);
inline RpMaterial *RpMaterialListGetMaterial(const RpMaterialList *list, RwInt32 index)
{
    return list->materials[index];
}
inline RwInt32 RpMaterialListGetNumMaterials(const RpMaterialList *list) { return list->numMaterials; }
// Reads a material-list chunk body into `list` (emptied first).
RpMaterialList *RpMaterialListStreamRead(RwStream *stream, RpMaterialList *list);
// Writes the whole material-list chunk, header included.
const RpMaterialList *RpMaterialListStreamWrite(const RpMaterialList *list, RwStream *stream);
// Body size of the material-list chunk.
RwUInt32 RpMaterialListStreamGetSize(const RpMaterialList *list);

// Pipeline-owner extension data of materials.
RwStream *RpMaterialPipelineIdStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset,
                                         RwInt32 size);
RwStream *RpMaterialPipelineIdStreamWrite(RwStream *stream, RwInt32 length, const void *object,
                                          RwInt32 offset, RwInt32 size);
RwInt32 RpMaterialPipelineIdStreamGetSize(const void *object, RwInt32 offset, RwInt32 size);

// Engine module callbacks (block 0x501).
void *RpMaterialModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RpMaterialModuleClose(void *instance, RwInt32 offset, RwInt32 size);
