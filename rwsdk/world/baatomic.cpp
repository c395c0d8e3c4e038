// Atomics: one drawable instance of a geometry on a frame, with its model
// and world bounding spheres, morph interpolator, render callback and own
// pipeline; the atomic plug-in registry.
#include <algorithm>
#include <cstring>

#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwpipeline.h"
#include "rwresources.h"
#include "world/bamodules.h"

static RwPluginRegistry atomicTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RpAtomic)));
static RwPipeline *defaultAtomicPipeline = nullptr;

RwPluginRegistry *RpAtomicGetPluginRegistry(void) { return &atomicTKList; }

RwInt32 RpAtomicRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                               RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&atomicTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RpAtomicRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                     RwPluginDataChunkWriteCallBack writeCB,
                                     RwPluginDataChunkGetSizeCallBack getSizeCB)
{
    return RwPluginRegistryAddPluginStream(&atomicTKList, pluginID, readCB, writeCB, getSizeCB);
}

RwInt32 RpAtomicSetStreamAlwaysCallBack(RwUInt32 pluginID, RwPluginDataChunkAlwaysCallBack alwaysCB)
{
    return RwPluginRegistryAddStreamAlways(&atomicTKList, pluginID, alwaysCB);
}

RwInt32 RpAtomicSetStreamRightsCallBack(RwUInt32 pluginID, RwPluginDataChunkRightsCallBack rightsCB)
{
    return RwPluginRegistryAddRightsCallback(&atomicTKList, pluginID, rightsCB);
}

RwInt32 RpAtomicGetPluginOffset(RwUInt32 pluginID)
{
    return RwPluginRegistryGetPluginOffset(&atomicTKList, pluginID);
}

void RpAtomicSetDefaultPipeline(RwPipeline *pipeline) { defaultAtomicPipeline = pipeline; }

RwPipeline *RpAtomicGetDefaultPipeline(void) { return defaultAtomicPipeline; }

RpAtomic *RpAtomicDefaultRenderCallBack(RpAtomic *atomic)
{
    RwPipeline *pipeline = atomic->pipeline != nullptr ? atomic->pipeline : defaultAtomicPipeline;
    if (pipeline == nullptr) {
        return atomic;
    }
    return RwPipelineExecute(pipeline, atomic, TRUE) != nullptr ? atomic : nullptr;
}

RpAtomic *RpAtomicCreate(void)
{
    RwFreeList *freeList = rpClumpGetGlobals()->atomicFreeList;
    auto *atomic = static_cast<RpAtomic *>(RwFreeListEntryAlloc(freeList));
    if (atomic == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(atomic, 0, static_cast<size_t>(atomicTKList.sizeOfStruct));
    atomic->object.object = {rpATOMIC, 0, rpATOMICCOLLISIONTEST | rpATOMICRENDER, 0, nullptr};
    RwLLLinkInitialize(&atomic->object.lFrame);
    atomic->object.sync = RpAtomicSync;
    RwLLLinkInitialize(&atomic->inClumpLink);
    atomic->renderCallBack = RpAtomicDefaultRenderCallBack;
    atomic->interpolator = {rpINTERPOLATORDIRTYINSTANCE | rpINTERPOLATORDIRTYSPHERE, 0, 0, 1.0f, 1.0f, 0.0f};
    atomic->renderFrame = static_cast<RwUInt16>(RwEngineInst->renderFrame - 1);
    RwLinkListInitialize(&atomic->llWorldSectorsInAtomic);
    if (RwPluginRegistryInitObject(&atomicTKList, atomic) == nullptr) {
        RwFreeListEntryFree(freeList, atomic);
        RwErrorReportCommon(E_RW_PLUGININIT);
        return nullptr;
    }
    return atomic;
}

RwBool RpAtomicDestroy(RpAtomic *atomic)
{
    RwPluginRegistryDeInitObject(&atomicTKList, atomic);
    if (atomic->repEntry != nullptr) {
        RwResourcesFreeEntry(atomic->repEntry);
    }
    if (atomic->geometry != nullptr) {
        RpGeometryDestroy(atomic->geometry);
        atomic->geometry = nullptr;
    }
    RwFramedObjectUnlinkFrame(&atomic->object);
    // A clump must never list a freed atomic: walking or destroying the
    // clump afterwards would touch freed memory.
    if (atomic->clump != nullptr) {
        RpClumpRemoveAtomic(atomic->clump, atomic);
    }
    RwFreeListEntryFree(rpClumpGetGlobals()->atomicFreeList, atomic);
    return TRUE;
}

RpAtomic *RpAtomicSetGeometry(RpAtomic *atomic, RpGeometry *geometry, RwUInt32 flags)
{
    if (geometry != atomic->geometry) {
        if (geometry != nullptr) {
            RpGeometryAddRef(geometry);
        }
        if (atomic->geometry != nullptr) {
            RpGeometryDestroy(atomic->geometry);
        }
        atomic->geometry = geometry;
    }
    if (!(flags & rpATOMICSAMEBOUNDINGSPHERE) && geometry != nullptr) {
        atomic->boundingSphere = geometry->morphTarget[0].boundingSphere;
        atomic->object.object.privateFlags |= rpATOMICPRIVATEWORLDBOUNDDIRTY;
    }
    return atomic;
}

RpAtomic *RpAtomicSetFrame(RpAtomic *atomic, RwFrame *frame)
{
    RwFramedObjectSetFrame(&atomic->object, frame);
    atomic->object.object.privateFlags |= rpATOMICPRIVATEWORLDBOUNDDIRTY;
    return atomic;
}

RpAtomic *RpAtomicUpdateBoundingSphere(RpAtomic *atomic)
{
    const RpGeometry *geometry = atomic->geometry;
    if (geometry == nullptr) {
        return atomic;
    }
    const RpInterpolator &in = atomic->interpolator;
    const RwInt32 s = in.startMorphTarget;
    const RwInt32 e = in.endMorphTarget;
    const RwBool valid = s >= 0 && e >= 0 && s < geometry->numMorphTargets && e < geometry->numMorphTargets;
    if (valid && s != e) {
        const RwSphere &a = geometry->morphTarget[s].boundingSphere;
        const RwSphere &b = geometry->morphTarget[e].boundingSphere;
        RwReal t = in.position * in.recipTime;
        atomic->boundingSphere.radius = a.radius + (b.radius - a.radius) * t;
        atomic->boundingSphere.center = {a.center.x + (b.center.x - a.center.x) * t,
                                         a.center.y + (b.center.y - a.center.y) * t,
                                         a.center.z + (b.center.z - a.center.z) * t};
    } else {
        atomic->boundingSphere = geometry->morphTarget[valid ? s : 0].boundingSphere;
    }
    atomic->interpolator.flags &= ~rpINTERPOLATORDIRTYSPHERE;
    atomic->object.object.privateFlags |= rpATOMICPRIVATEWORLDBOUNDDIRTY;
    return atomic;
}

RwFramedObject *RpAtomicSync(RwFramedObject *object)
{
    auto *atomic = reinterpret_cast<RpAtomic *>(object);
    if (atomic->interpolator.flags & rpINTERPOLATORDIRTYSPHERE) {
        RpAtomicUpdateBoundingSphere(atomic);
    }
    atomic->object.object.privateFlags |= rpATOMICPRIVATEWORLDBOUNDDIRTY;
    return object;
}

const RwSphere *RpAtomicGetWorldBoundingSphere(RpAtomic *atomic)
{
    if (atomic->interpolator.flags & rpINTERPOLATORDIRTYSPHERE) {
        RpAtomicUpdateBoundingSphere(atomic);
    }
    RwFrame *frame = RpAtomicGetFrame(atomic);
    if (frame == nullptr) {
        atomic->worldBoundingSphere = atomic->boundingSphere;
        return &atomic->worldBoundingSphere;
    }
    if (RwFrameIsDirty(frame) || (atomic->object.object.privateFlags & rpATOMICPRIVATEWORLDBOUNDDIRTY)) {
        const RwMatrix *ltm = RwFrameGetLTM(frame);
        RwV3dTransformPoints(&atomic->worldBoundingSphere.center, &atomic->boundingSphere.center, 1, ltm);
        RwReal radius = atomic->boundingSphere.radius;
        if ((ltm->flags & rwMATRIXTYPEORTHONORMAL) != rwMATRIXTYPEORTHONORMAL) {
            RwReal longest = std::max({RwV3dDotProduct(&ltm->right, &ltm->right),
                                       RwV3dDotProduct(&ltm->up, &ltm->up), RwV3dDotProduct(&ltm->at, &ltm->at)});
            radius *= RwFastSqrt(longest);
        }
        atomic->worldBoundingSphere.radius = radius;
        atomic->object.object.privateFlags &= static_cast<RwUInt8>(~rpATOMICPRIVATEWORLDBOUNDDIRTY);
    }
    return &atomic->worldBoundingSphere;
}

RpAtomic *RpAtomicClone(RpAtomic *atomic)
{
    RpAtomic *copy = RpAtomicCreate();
    if (copy == nullptr) {
        return nullptr;
    }
    copy->object.object.type = atomic->object.object.type;
    copy->object.object.subType = atomic->object.object.subType;
    copy->object.object.flags = atomic->object.object.flags;
    copy->object.object.privateFlags = atomic->object.object.privateFlags | rpATOMICPRIVATEWORLDBOUNDDIRTY;
    RpAtomicSetGeometry(copy, atomic->geometry, 0);
    copy->boundingSphere = atomic->boundingSphere;
    copy->renderCallBack = atomic->renderCallBack;
    copy->pipeline = atomic->pipeline;
    copy->interpolator = atomic->interpolator;
    RwPluginRegistryCopyObject(&atomicTKList, copy, atomic);
    return copy;
}
