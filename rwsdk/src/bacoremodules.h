// The thirteen core engine modules that RwEngineInit registers, in the
// order that fixes their block offsets and their open/close order. Modules
// owned by other parts of the engine start as placeholders in their own
// *_module.cpp files; their owners replace the block size and the open and
// close callbacks there without touching the table in bacoremodules.cpp.
#pragma once

#include "rwengine.h"

struct RwCoreModuleEntry {
    RwUInt32 pluginID;
    const RwInt32 *blockSize;  // the module's own constant (its block record's real size)
    RwPluginObjectConstructor open;
    RwPluginObjectDestructor close;
    RwInt32 *offset;           // where the module keeps the offset it was given
};

// The registration table, in registration order.
extern const RwCoreModuleEntry rwCoreModules[];
extern const RwInt32 rwNumCoreModules;

// Square-root tables (0x401).
extern const RwInt32 rwV3dModuleBlockSize;
extern RwInt32 rwV3dModuleOffset;
void *RwV3dModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwV3dModuleClose(void *instance, RwInt32 offset, RwInt32 size);

// Matrices (0x402).
extern const RwInt32 rwMatrixModuleBlockSize;
extern RwInt32 rwMatrixModuleOffset;
void *RwMatrixModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwMatrixModuleClose(void *instance, RwInt32 offset, RwInt32 size);

// Frames (0x403).
extern const RwInt32 rwFrameModuleBlockSize;
extern RwInt32 rwFrameModuleOffset;
void *RwFrameModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwFrameModuleClose(void *instance, RwInt32 offset, RwInt32 size);

// Cameras (0x405).
extern const RwInt32 rwCameraModuleBlockSize;
extern RwInt32 rwCameraModuleOffset;
void *RwCameraModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwCameraModuleClose(void *instance, RwInt32 offset, RwInt32 size);

// Images (0x406); the engine hands the device's gamma to RwImageSetGamma at start.
extern const RwInt32 rwImageModuleBlockSize;
extern RwInt32 rwImageModuleOffset;
void *RwImageOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwImageClose(void *instance, RwInt32 offset, RwInt32 size);
RwBool RwImageSetGamma(RwReal gammaValue);

// Rasters (0x407) and the raster plug-in registry the driver extends.
extern const RwInt32 rwRasterModuleBlockSize;
extern RwInt32 rwRasterModuleOffset;
void *RwRasterModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwRasterModuleClose(void *instance, RwInt32 offset, RwInt32 size);
RwPluginRegistry *RwRasterGetPluginRegistry(void);
RwInt32 RwRasterRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                               RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);

// Textures (0x408).
extern const RwInt32 rwTextureModuleBlockSize;
extern RwInt32 rwTextureModuleOffset;
void *RwTextureOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwTextureClose(void *instance, RwInt32 offset, RwInt32 size);

// Pipelines (0x409).
extern const RwInt32 rwPipelineModuleBlockSize;
extern RwInt32 rwPipelineModuleOffset;
void *RwPipelineModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwPipelineModuleClose(void *instance, RwInt32 offset, RwInt32 size);

// Immediate mode 3D (0x40A).
extern const RwInt32 rwIm3DModuleBlockSize;
extern RwInt32 rwIm3DModuleOffset;
void *RwIm3DModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RwIm3DModuleClose(void *instance, RwInt32 offset, RwInt32 size);

// Modules of this layer: error slot (0x40F), colour (0x40D), streams
// (0x404), resource arena (0x40B).
extern const RwInt32 rwErrorModuleBlockSize;
extern RwInt32 rwErrorModuleOffset;
extern const RwInt32 rwColorModuleBlockSize;
extern RwInt32 rwColorModuleOffset;
extern const RwInt32 rwStreamModuleBlockSize;
extern RwInt32 rwStreamModuleOffset;
extern const RwInt32 rwResourcesModuleBlockSize;
extern RwInt32 rwResourcesModuleOffset;
