// The registration table of the thirteen core engine modules. The order
// fixes each block's offset in the engine instance and the order in which
// the modules open at RwEngineStart (and close, reversed, at RwEngineStop).
#include "src/bacoremodules.h"

#include "rwcolor.h"
#include "rwresources.h"
#include "rwstream.h"

const RwCoreModuleEntry rwCoreModules[] = {
    {rwID_ERRORMODULE, &rwErrorModuleBlockSize, RwErrorModuleOpen, RwErrorModuleClose, &rwErrorModuleOffset},
    {rwID_SQRTMODULE, &rwV3dModuleBlockSize, RwV3dModuleOpen, RwV3dModuleClose, &rwV3dModuleOffset},
    {rwID_COLORMODULE, &rwColorModuleBlockSize, RwColorModuleOpen, RwColorModuleClose, &rwColorModuleOffset},
    {rwID_MATRIXMODULE, &rwMatrixModuleBlockSize, RwMatrixModuleOpen, RwMatrixModuleClose, &rwMatrixModuleOffset},
    {rwID_FRAMEMODULE, &rwFrameModuleBlockSize, RwFrameModuleOpen, RwFrameModuleClose, &rwFrameModuleOffset},
    {rwID_STREAMMODULE, &rwStreamModuleBlockSize, RwStreamModuleOpen, RwStreamModuleClose, &rwStreamModuleOffset},
    {rwID_CAMERAMODULE, &rwCameraModuleBlockSize, RwCameraModuleOpen, RwCameraModuleClose, &rwCameraModuleOffset},
    {rwID_IMAGEMODULE, &rwImageModuleBlockSize, RwImageOpen, RwImageClose, &rwImageModuleOffset},
    {rwID_RASTERMODULE, &rwRasterModuleBlockSize, RwRasterModuleOpen, RwRasterModuleClose, &rwRasterModuleOffset},
    {rwID_TEXTUREMODULE, &rwTextureModuleBlockSize, RwTextureOpen, RwTextureClose, &rwTextureModuleOffset},
    {rwID_PIPEMODULE, &rwPipelineModuleBlockSize, RwPipelineModuleOpen, RwPipelineModuleClose, &rwPipelineModuleOffset},
    {rwID_IM3DMODULE, &rwIm3DModuleBlockSize, RwIm3DModuleOpen, RwIm3DModuleClose, &rwIm3DModuleOffset},
    {rwID_RESOURCESMODULE, &rwResourcesModuleBlockSize, RwResourcesModuleOpen, RwResourcesModuleClose,
     &rwResourcesModuleOffset},
};

const RwInt32 rwNumCoreModules = static_cast<RwInt32>(sizeof(rwCoreModules) / sizeof(rwCoreModules[0]));
