// The world library's attach: registers the engine blocks of its modules
// in the order they must open (and, reversed, close), then the object
// extensions the modules share. New modules of the library add a row to
// the tables below at the place their opening order requires.
#include "rwengine.h"
#include "world/bamesh.h"
#include "world/bamodules.h"
#include "world/baworld.h"

namespace {

struct EngineModule {
    RwUInt32 pluginID;
    RwInt32 blockSize;
    RwPluginObjectConstructor open;
    RwPluginObjectDestructor close;
};

const EngineModule engineModules[] = {
    {rwID_MATERIALMODULE, static_cast<RwInt32>(sizeof(rpMaterialGlobals)), RpMaterialModuleOpen,
     RpMaterialModuleClose},
    {rwID_MESHMODULE, rpMeshModuleBlockSize, RpMeshModuleOpen, RpMeshModuleClose},
    {rwID_GEOMETRYMODULE, static_cast<RwInt32>(sizeof(rpGeometryGlobals)), RpGeometryModuleOpen,
     RpGeometryModuleClose},
    {rwID_CLUMPMODULE, static_cast<RwInt32>(sizeof(rpClumpGlobals)), RpClumpModuleOpen, RpClumpModuleClose},
    {rwID_LIGHTMODULE, static_cast<RwInt32>(sizeof(rpLightGlobals)), RpLightModuleOpen, RpLightModuleClose},
    {rwID_WORLDPIPEMODULE, 0, RpWorldCounterModuleOpen, RpWorldCounterModuleClose},
    {rwID_WORLDMODULE, static_cast<RwInt32>(sizeof(rpWorldGlobals)), RpWorldModuleOpen, RpWorldModuleClose},
    {rwID_WORLDSECTORMODULE, 0, RpWorldCounterModuleOpen, RpWorldCounterModuleClose},
};

RwBool AttachPipelineIds(void)
{
    return RpAtomicRegisterPlugin(0, rwID_PIPEID, nullptr, nullptr, nullptr) >= 0 &&
           RpAtomicRegisterPluginStream(rwID_PIPEID, RpAtomicPipelineIdStreamRead, RpAtomicPipelineIdStreamWrite,
                                        RpAtomicPipelineIdStreamGetSize) >= 0 &&
           RpMaterialRegisterPlugin(0, rwID_PIPEID, nullptr, nullptr, nullptr) >= 0 &&
           RpMaterialRegisterPluginStream(rwID_PIPEID, RpMaterialPipelineIdStreamRead,
                                          RpMaterialPipelineIdStreamWrite, RpMaterialPipelineIdStreamGetSize) >= 0;
}

RwBool AttachBinMesh(void)
{
    return RpGeometryRegisterPlugin(0, rwID_BINMESHPLUGIN, nullptr, nullptr, nullptr) >= 0 &&
           RpGeometryRegisterPluginStream(rwID_BINMESHPLUGIN, RpGeometryBinMeshStreamRead,
                                          RpGeometryBinMeshStreamWrite, RpGeometryBinMeshStreamGetSize) >= 0;
}

// Object extensions, attached after every engine block, in this order.
RwBool (*const objectAttaches[])(void) = {
    AttachPipelineIds,
    AttachBinMesh,
    RpWorldObjectPluginAttach,
    rpWorldAttachOwnerStreams,
    rpWorldSectorAttachStreams,
    RpClumpLinksAttach,
    RpWorldPipeAttach,
};

}  // namespace

RwBool RpWorldPluginAttach(void)
{
    for (const EngineModule &module : engineModules) {
        if (RwEngineRegisterPlugin(module.blockSize, module.pluginID, module.open, module.close) < 0) {
            return FALSE;
        }
    }
    for (auto attach : objectAttaches) {
        if (!attach()) {
            return FALSE;
        }
    }
    return TRUE;
}
