// The engine spine: the one engine instance, its life cycle (idle,
// initialised, opened, started), engine plug-in registration, and the
// numbered requests through which the engine reaches its device driver.
#include <cstdlib>
#include <cstring>

#include "rwcore.h"
#include "src/bacoremodules.h"

// Before RwEngineOpen only the fixed head exists; it lives here. The
// defaults make allocation work even before the first RwEngineInit.
static RwEngineInstance staticInstance = [] {
    RwEngineInstance inst{};
    inst.memoryFuncs.rwmalloc = std::malloc;
    inst.memoryFuncs.rwfree = std::free;
    inst.memoryFuncs.rwrealloc = std::realloc;
    inst.memoryFuncs.rwcalloc = RwMemoryZeroedAlloc;
    inst.memoryFuncs.rwfreelistalloc = RwFreeListAlloc;
    inst.memoryFuncs.rwfreelistfree = RwFreeListFree;
    inst.engineStatus = rwENGINESTATUSIDLE;
    return inst;
}();

RwEngineInstance *RwEngineInst = &staticInstance;

static RwPluginRegistry engineTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RwEngineInstance)));
static RwInt32 engineOpenCount = 0;

static RwDriverDeviceRecordSource driverDeviceRecordSource = nullptr;
static RwDriverAttachFunction driverAttach = nullptr;

void RwDriverSetDeviceRecordSource(RwDriverDeviceRecordSource source) { driverDeviceRecordSource = source; }

void RwDriverSetAttach(RwDriverAttachFunction attach) { driverAttach = attach; }

// Without a driver of its own the engine still reserves the driver's raster
// extension, so raster layouts are the same with or without one.
static RwBool DefaultDriverAttach(void)
{
    return RwRasterRegisterPlugin(rwDEVICE_RASTEREXT_SIZE, rwID_DEVICEMODULE, nullptr, nullptr, nullptr) >= 0;
}

RwPluginRegistry *RwEngineGetPluginRegistry(void) { return &engineTKList; }

RwInt32 RwEngineGetOpenCount(void) { return engineOpenCount; }

RwUInt32 RwEngineGetState(void) { return RwEngineInst != nullptr ? RwEngineInst->engineStatus : rwENGINESTATUSIDLE; }

// Copying the head moves the dirty-frame list head, whose empty form points
// at itself; no frame can be dirty across open and close, so it restarts.
static void CopyHead(RwEngineInstance *dst, const RwEngineInstance *src)
{
    std::memcpy(dst, src, sizeof(RwEngineInstance));
    RwLinkListInitialize(&dst->dirtyFrameList);
}

// ---- device requests ------------------------------------------------------

static const RwChar rwDEFAULTSUBSYSTEMNAME[] = "Only rendering sub system";

RwBool RwDeviceSystemRequest(RwDeviceRecord *device, RwInt32 requestID, void *pOut, void *pInOut, RwInt32 numIn)
{
    if (device != nullptr && device->fpSystem != nullptr && device->fpSystem(requestID, pOut, pInOut, numIn)) {
        return TRUE;
    }
    switch (requestID) {
    case rwDEVICESYSTEMGETNUMSUBSYSTEMS:
        if (pOut != nullptr) {
            *static_cast<RwInt32 *>(pOut) = 1;
        }
        return TRUE;
    case rwDEVICESYSTEMGETSUBSYSTEMINFO:
        if (numIn == 0 && pOut != nullptr) {
            auto *info = static_cast<RwSubSystemInfo *>(pOut);
            if (RwEngineInst->stringFuncs.vecStrcpy != nullptr) {
                RwEngineInst->stringFuncs.vecStrcpy(info->name, rwDEFAULTSUBSYSTEMNAME);
            } else {
                std::memcpy(info->name, rwDEFAULTSUBSYSTEMNAME, sizeof(rwDEFAULTSUBSYSTEMNAME));
            }
            return TRUE;
        }
        break;
    case rwDEVICESYSTEMGETCURRENTSUBSYSTEM:
        if (pOut != nullptr) {
            *static_cast<RwInt32 *>(pOut) = 0;
        }
        return TRUE;
    case rwDEVICESYSTEMSETSUBSYSTEM:
        if (numIn == 0) {
            return TRUE;
        }
        break;
    case rwDEVICESYSTEMFINALIZESTART:
    case rwDEVICESYSTEMINITIATESTOP:
        return TRUE;
    default:
        break;
    }
    RwErrorReport(rwID_CORE, E_RW_DEVICEREQUEST);
    return FALSE;
}

static RwBool Request(RwInt32 requestID, void *pOut, void *pInOut, RwInt32 numIn)
{
    return RwDeviceSystemRequest(&RwEngineInst->dOpenDevice, requestID, pOut, pInOut, numIn);
}

// ---- life cycle -----------------------------------------------------------

static void CloseInitModules(void)
{
    RwPluginRegistryClose();
    RwFileFunctionsClose();
    RwMemoryClose();
    RwStringFunctionsClose();
}

static RwBool RegisterCoreModules(void)
{
    RwBool ok = TRUE;
    // Every registration is made even after a failure, so offsets stay the
    // same whichever one failed.
    for (RwInt32 i = 0; i < rwNumCoreModules; ++i) {
        const RwCoreModuleEntry &module = rwCoreModules[i];
        RwInt32 offset = RwEngineRegisterPlugin(*module.blockSize, module.pluginID, module.open, module.close);
        *module.offset = offset;
        if (offset < 0) {
            ok = FALSE;
        }
    }
    return ok;
}

RwBool RwEngineInit(const RwMemoryFunctions *memFuncs, RwUInt32 initFlags, RwUInt32 resArenaSize)
{
    // Refused before anything changes: a second init would otherwise swap
    // the instance and the free-list slots under a running engine.
    if (RwEngineInst != nullptr && RwEngineInst->engineStatus != rwENGINESTATUSIDLE) {
        return FALSE;
    }
    RwEngineInst = &staticInstance;
    if (initFlags & rwENGINEINITFREELISTS_OFF) {
        staticInstance.memoryFuncs.rwfreelistalloc = RwFreeListHeapAlloc;
        staticInstance.memoryFuncs.rwfreelistfree = RwFreeListHeapFree;
        RwFreeListSetPreallocation(FALSE);
    } else {
        staticInstance.memoryFuncs.rwfreelistalloc = RwFreeListAlloc;
        staticInstance.memoryFuncs.rwfreelistfree = RwFreeListFree;
        RwFreeListSetPreallocation(TRUE);
    }
    staticInstance.resArenaInitSize = resArenaSize;
    RwLinkListInitialize(&staticInstance.dirtyFrameList);

    if (!RwStringFunctionsOpen()) {
        return FALSE;
    }
    if (!RwMemoryOpen(memFuncs)) {
        RwStringFunctionsClose();
        return FALSE;
    }
    if (!RwFileFunctionsOpen()) {
        RwMemoryClose();
        RwStringFunctionsClose();
        return FALSE;
    }
    if (!RwPluginRegistryOpen()) {
        RwFileFunctionsClose();
        RwMemoryClose();
        RwStringFunctionsClose();
        return FALSE;
    }
    if (!RegisterCoreModules()) {
        CloseInitModules();
        return FALSE;
    }
    RwDriverAttachFunction attach = driverAttach != nullptr ? driverAttach : DefaultDriverAttach;
    if (!attach()) {
        CloseInitModules();
        return FALSE;
    }
    staticInstance.engineStatus = rwENGINESTATUSINITED;
    return TRUE;
}

RwBool RwEngineOpen(RwEngineOpenParams *initParams)
{
    if (RwEngineInst == nullptr) {
        RwEngineInst = &staticInstance;
    }
    if (RwEngineInst->engineStatus != rwENGINESTATUSINITED) {
        RwErrorReportCommon(E_RW_BADENGINESTATE);
        return FALSE;
    }
    if (initParams == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return FALSE;
    }
    const RwDeviceRecord *driverRecord = driverDeviceRecordSource != nullptr ? driverDeviceRecordSource() : nullptr;
    if (driverRecord == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return FALSE;
    }
    const size_t size = static_cast<size_t>(engineTKList.sizeOfStruct);
    auto *instance = static_cast<RwEngineInstance *>(RwMalloc(size));
    if (instance == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return FALSE;
    }
    std::memset(instance, 0, size);
    CopyHead(instance, &staticInstance);
    RwEngineInst = instance;

    RwDeviceRecord registerWith = *driverRecord;
    RwDeviceSystemRequest(&registerWith, rwDEVICESYSTEMREGISTER, &instance->dOpenDevice, &instance->memoryFuncs, 0);

    if (!Request(rwDEVICESYSTEMOPEN, nullptr, initParams, 0)) {
        CopyHead(&staticInstance, instance);
        RwEngineInst = &staticInstance;
        staticInstance.memoryFuncs.rwfree(instance);
        return FALSE;
    }
    Request(rwDEVICESYSTEMSTANDARDS, instance->stdFunc, nullptr, rwSTANDARDNUMOFSTANDARD);
    ++engineOpenCount;
    instance->engineStatus = rwENGINESTATUSOPENED;
    return TRUE;
}

RwBool RwEngineStart(void)
{
    if (RwEngineInst == nullptr || RwEngineInst->engineStatus != rwENGINESTATUSOPENED) {
        RwErrorReportCommon(E_RW_BADENGINESTATE);
        return FALSE;
    }
    if (!Request(rwDEVICESYSTEMSTART, nullptr, nullptr, 0)) {
        return FALSE;
    }
    if (RwPluginRegistryInitObject(&engineTKList, RwEngineInst) == nullptr) {
        Request(rwDEVICESYSTEMSTOP, nullptr, nullptr, 0);
        return FALSE;
    }
    RwImageSetGamma(RwEngineInst->dOpenDevice.gammaCorrection);
    Request(rwDEVICESYSTEMFINALIZESTART, nullptr, nullptr, 0);
    RwEngineInst->engineStatus = rwENGINESTATUSSTARTED;
    return TRUE;
}

RwBool RwEngineStop(void)
{
    if (RwEngineInst == nullptr || RwEngineInst->engineStatus != rwENGINESTATUSSTARTED) {
        RwErrorReportCommon(E_RW_BADENGINESTATE);
        return FALSE;
    }
    Request(rwDEVICESYSTEMINITIATESTOP, nullptr, nullptr, 0);
    RwPluginRegistryDeInitObject(&engineTKList, RwEngineInst);
    RwBool stopped = Request(rwDEVICESYSTEMSTOP, nullptr, nullptr, 0);
    // The modules are closed whatever the device said, so the engine is no
    // longer started: a second stop must not close them again.
    RwEngineInst->engineStatus = rwENGINESTATUSOPENED;
    return stopped;
}

RwBool RwEngineClose(void)
{
    if (RwEngineInst == nullptr || RwEngineInst->engineStatus != rwENGINESTATUSOPENED) {
        RwErrorReportCommon(E_RW_BADENGINESTATE);
        return FALSE;
    }
    if (!Request(rwDEVICESYSTEMCLOSE, nullptr, nullptr, 0)) {
        return FALSE;
    }
    RwEngineInstance *instance = RwEngineInst;
    CopyHead(&staticInstance, instance);
    RwEngineInst = &staticInstance;
    staticInstance.memoryFuncs.rwfree(instance);
    --engineOpenCount;
    staticInstance.engineStatus = rwENGINESTATUSINITED;
    return TRUE;
}

RwBool RwEngineTerm(void)
{
    if (engineOpenCount != 0 || RwEngineInst == nullptr || RwEngineInst->engineStatus != rwENGINESTATUSINITED) {
        return FALSE;
    }
    RwPluginRegistryClose();
    RwFileFunctionsClose();
    RwMemoryClose();
    RwStringFunctionsClose();
    staticInstance.engineStatus = rwENGINESTATUSIDLE;
    return TRUE;
}

RwBool RwEngineStartUp(const RwMemoryFunctions *memFuncs, RwUInt32 initFlags, RwUInt32 resArenaSize,
                       bool (*attach)(), void *displayID)
{
    if (!RwEngineInit(memFuncs, initFlags, resArenaSize)) {
        return FALSE;
    }
    if (attach != nullptr && !attach()) {
        RwEngineTerm();
        return FALSE;
    }
    RwEngineOpenParams params{displayID};
    if (!RwEngineOpen(&params)) {
        RwEngineTerm();
        return FALSE;
    }
    if (!RwEngineStart()) {
        RwEngineClose();
        RwEngineTerm();
        return FALSE;
    }
    return TRUE;
}

RwBool RwEngineShutDown(void)
{
    RwBool ok = RwEngineStop();
    ok = RwEngineClose() && ok;
    ok = RwEngineTerm() && ok;
    return ok;
}

// ---- engine plug-ins ------------------------------------------------------

RwInt32 RwEngineRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor initCB,
                               RwPluginObjectDestructor termCB)
{
    return RwPluginRegistryAddPlugin(&engineTKList, size, pluginID, initCB, termCB, nullptr);
}

RwInt32 RwEngineGetPluginOffset(RwUInt32 pluginID)
{
    return RwPluginRegistryGetPluginOffset(&engineTKList, pluginID);
}

// ---- sub-systems and video modes -----------------------------------------

RwInt32 RwEngineGetNumSubSystems(void)
{
    RwInt32 count = 1;
    Request(rwDEVICESYSTEMGETNUMSUBSYSTEMS, &count, nullptr, 0);
    return count;
}

// Fills `info` through a describe request; null on failure.
template <typename Info>
static Info *Describe(RwInt32 requestID, Info *info, RwInt32 index)
{
    if (info == nullptr) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    return Request(requestID, info, nullptr, index) ? info : nullptr;
}

RwSubSystemInfo *RwEngineGetSubSystemInfo(RwSubSystemInfo *subSystemInfo, RwInt32 subSystemIndex)
{
    return Describe(rwDEVICESYSTEMGETSUBSYSTEMINFO, subSystemInfo, subSystemIndex);
}

static RwInt32 QueryIndex(RwInt32 requestID)
{
    RwInt32 value = -1;
    return Request(requestID, &value, nullptr, 0) ? value : -1;
}

RwInt32 RwEngineGetCurrentSubSystem(void) { return QueryIndex(rwDEVICESYSTEMGETCURRENTSUBSYSTEM); }

RwBool RwEngineSetSubSystem(RwInt32 subSystemIndex)
{
    return Request(rwDEVICESYSTEMSETSUBSYSTEM, nullptr, nullptr, subSystemIndex);
}

RwInt32 RwEngineGetNumVideoModes(void) { return QueryIndex(rwDEVICESYSTEMGETNUMMODES); }

RwVideoModeInfo *RwEngineGetVideoModeInfo(RwVideoModeInfo *modeinfo, RwInt32 modeIndex)
{
    return Describe(rwDEVICESYSTEMGETMODEINFO, modeinfo, modeIndex);
}

RwInt32 RwEngineGetCurrentVideoMode(void) { return QueryIndex(rwDEVICESYSTEMGETMODE); }

RwBool RwEngineSetVideoMode(RwInt32 modeIndex) { return Request(rwDEVICESYSTEMUSEMODE, nullptr, nullptr, modeIndex); }
