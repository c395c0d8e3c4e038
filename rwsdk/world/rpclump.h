// Atomics (drawable instances of a geometry on a frame) and clumps (a frame
// hierarchy with its atomics, lights and cameras): creation, cloning,
// walking, rendering, and the clump chunk reader.
#pragma once

#include "rpgeometry.h"
#include "rwcamera.h"  // rwID_CAMERA
#include "rwframe.h"
#include "rwplugin.h"
#include "rwtypes.h"

struct RwStream;
struct RwResEntry;
struct RwPipeline;
struct RwCamera;
struct RpLight;
struct RpClump;

static constexpr RwUInt8 rpATOMIC = 1;
static constexpr RwUInt8 rpCLUMP = 2;
static constexpr RwUInt32 rwID_CLUMP = 0x10;
static constexpr RwUInt32 rwID_ATOMIC = 0x14;
static constexpr RwUInt32 rwID_GEOMETRYLIST = 0x1A;
// Extension of lights and cameras linking them into a clump.
static constexpr RwUInt32 rwID_CLUMPLINKS = 0x10;

// Atomic flags and private flags.
static constexpr RwUInt8 rpATOMICCOLLISIONTEST = 0x01;
static constexpr RwUInt8 rpATOMICRENDER = 0x04;
static constexpr RwUInt8 rpATOMICPRIVATEWORLDBOUNDDIRTY = 0x01;
// RpAtomicSetGeometry: keep the bounding sphere.
static constexpr RwUInt32 rpATOMICSAMEBOUNDINGSPHERE = 0x01;

// Interpolator flags.
static constexpr RwUInt32 rpINTERPOLATORDIRTYINSTANCE = 0x01;
static constexpr RwUInt32 rpINTERPOLATORDIRTYSPHERE = 0x02;

struct RpInterpolator {
    RwUInt32 flags;
    RwInt16 startMorphTarget;
    RwInt16 endMorphTarget;
    RwReal time;
    RwReal recipTime;
    RwReal position;
};

struct RpAtomic;
typedef RpAtomic *(*RpAtomicCallBackRender)(RpAtomic *atomic);
typedef RpAtomic *(*RpAtomicCallBack)(RpAtomic *atomic, void *data);

struct RpAtomic {
    RwFramedObject object;  // type 1; object.parent is the frame
    RwResEntry *repEntry;
    RpGeometry *geometry;  // one reference held
    RwSphere boundingSphere;
    RwSphere worldBoundingSphere;
    RpClump *clump;
    RwLLLink inClumpLink;
    RpAtomicCallBackRender renderCallBack;
    RpInterpolator interpolator;
    RwUInt16 renderFrame;
    RwUInt16 pad;
    RwLinkList llWorldSectorsInAtomic;
    RwPipeline *pipeline;
};

typedef RpClump *(*RpClumpCallBack)(RpClump *clump, void *data);
typedef RpLight *(*RpLightCallBack)(RpLight *light, void *data);
typedef RwCamera *(*RwCameraCallBack)(RwCamera *camera, void *data);

struct RpClump {
    RwObject object;  // type 2; object.parent is the root frame
    RwLinkList atomicList;
    RwLinkList lightList;
    RwLinkList cameraList;
    RwLLLink inWorldLink;
    RpClumpCallBack callback;
};

// The clump-links extension on lights and cameras.
struct RpClumpLink {
    RpClump *clump;
    RwLLLink inClumpLink;
};

RpAtomic *RpAtomicCreate(void);
// Also takes the atomic out of its clump, so a clump never lists a freed atomic.
RwBool RpAtomicDestroy(RpAtomic *atomic);
RpAtomic *RpAtomicSetGeometry(RpAtomic *atomic, RpGeometry *geometry, RwUInt32 flags);
inline RpGeometry *RpAtomicGetGeometry(const RpAtomic *a) { return a->geometry; }
RpAtomic *RpAtomicSetFrame(RpAtomic *atomic, RwFrame *frame);
inline RwFrame *RpAtomicGetFrame(const RpAtomic *a) { return RwFramedObjectGetFrame(&a->object); }
inline RpClump *RpAtomicGetClump(const RpAtomic *a) { return a->clump; }
const RwSphere *RpAtomicGetWorldBoundingSphere(RpAtomic *atomic);
RpAtomic *RpAtomicUpdateBoundingSphere(RpAtomic *atomic);
RwFramedObject *RpAtomicSync(RwFramedObject *object);
RpAtomic *RpAtomicClone(RpAtomic *atomic);
RpAtomic *RpAtomicDefaultRenderCallBack(RpAtomic *atomic);
inline RpAtomic *RpAtomicRender(RpAtomic *a) { return a->renderCallBack(a); }
inline RpAtomic *RpAtomicSetRenderCallBack(RpAtomic *a, RpAtomicCallBackRender cb)
{
    a->renderCallBack = cb != nullptr ? cb : RpAtomicDefaultRenderCallBack;
    return a;
}
inline RwUInt8 RpAtomicGetFlags(const RpAtomic *a) { return a->object.object.flags; }
inline RpAtomic *RpAtomicSetFlags(RpAtomic *a, RwUInt8 flags)
{
    a->object.object.flags = flags;
    return a;
}
// The pipeline the default render callback runs when an atomic has none
// (the world pipelines install it; null until then).
void RpAtomicSetDefaultPipeline(RwPipeline *pipeline);
RwPipeline *RpAtomicGetDefaultPipeline(void);

RwInt32 RpAtomicRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                               RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RpAtomicRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                     RwPluginDataChunkWriteCallBack writeCB,
                                     RwPluginDataChunkGetSizeCallBack getSizeCB);
RwInt32 RpAtomicSetStreamAlwaysCallBack(RwUInt32 pluginID, RwPluginDataChunkAlwaysCallBack alwaysCB);
RwInt32 RpAtomicSetStreamRightsCallBack(RwUInt32 pluginID, RwPluginDataChunkRightsCallBack rightsCB);
RwInt32 RpAtomicGetPluginOffset(RwUInt32 pluginID);
RwPluginRegistry *RpAtomicGetPluginRegistry(void);

// Pipeline-owner extension data of atomics.
RwStream *RpAtomicPipelineIdStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset,
                                       RwInt32 size);
RwStream *RpAtomicPipelineIdStreamWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset,
                                        RwInt32 size);
RwInt32 RpAtomicPipelineIdStreamGetSize(const void *object, RwInt32 offset, RwInt32 size);

RpClump *RpClumpCreate(void);
RwBool RpClumpDestroy(RpClump *clump);
RpClump *RpClumpClone(RpClump *clump);
inline RwFrame *RpClumpGetFrame(const RpClump *c) { return static_cast<RwFrame *>(c->object.parent); }
inline RpClump *RpClumpSetFrame(RpClump *c, RwFrame *frame)
{
    c->object.parent = frame;
    return c;
}
RpClump *RpClumpAddAtomic(RpClump *clump, RpAtomic *atomic);
RpClump *RpClumpRemoveAtomic(RpClump *clump, RpAtomic *atomic);
RpClump *RpClumpAddLight(RpClump *clump, RpLight *light);
RpClump *RpClumpRemoveLight(RpClump *clump, RpLight *light);
RpClump *RpClumpAddCamera(RpClump *clump, RwCamera *camera);
RpClump *RpClumpRemoveCamera(RpClump *clump, RwCamera *camera);
RpClump *RpClumpForAllAtomics(RpClump *clump, RpAtomicCallBack callback, void *data);
RpClump *RpClumpForAllLights(RpClump *clump, RpLightCallBack callback, void *data);
RpClump *RpClumpForAllCameras(RpClump *clump, RwCameraCallBack callback, void *data);
RwInt32 RpClumpGetNumAtomics(RpClump *clump);
RwInt32 RpClumpGetNumLights(RpClump *clump);
RwInt32 RpClumpGetNumCameras(RpClump *clump);
RpClump *RpClumpRender(RpClump *clump);
inline RpClump *RpClumpSetCallBack(RpClump *c, RpClumpCallBack cb)
{
    c->callback = cb;
    return c;
}
// Reads a clump chunk body (the caller found the clump chunk header).
RpClump *RpClumpStreamRead(RwStream *stream);

RpClump *RpLightGetClump(const RpLight *light);
RpClump *RwCameraGetClump(const RwCamera *camera);

RwInt32 RpClumpRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                              RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RpClumpRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                    RwPluginDataChunkWriteCallBack writeCB,
                                    RwPluginDataChunkGetSizeCallBack getSizeCB);
RwInt32 RpClumpGetPluginOffset(RwUInt32 pluginID);
RwPluginRegistry *RpClumpGetPluginRegistry(void);
// Registers the clump links on lights and cameras.
RwBool RpClumpLinksAttach(void);

// Engine module callbacks (block 0x504).
void *RpClumpModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RpClumpModuleClose(void *instance, RwInt32 offset, RwInt32 size);
