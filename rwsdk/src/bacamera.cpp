// Cameras: creation and destruction, the projection setters (which only
// store and mark the frame dirty), begin/end update through the device,
// clearing and showing, and the frustum visibility tests.
#include <cstring>

#include "rwengine.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "src/bacamera.h"
#include "src/baraster.h"

static RwPluginRegistry cameraTKList = rwPLUGINREGISTRY_INIT(static_cast<RwInt32>(sizeof(RwCamera)));

RwPluginRegistry *RwCameraGetPluginRegistry(void) { return &cameraTKList; }

RwInt32 RwCameraRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                               RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB)
{
    return RwPluginRegistryAddPlugin(&cameraTKList, size, pluginID, constructCB, destructCB, copyCB);
}

RwInt32 RwCameraRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                     RwPluginDataChunkWriteCallBack writeCB, RwPluginDataChunkGetSizeCallBack getSizeCB)
{
    return RwPluginRegistryAddPluginStream(&cameraTKList, pluginID, readCB, writeCB, getSizeCB);
}

RwInt32 RwCameraGetPluginOffset(RwUInt32 pluginID) { return RwPluginRegistryGetPluginOffset(&cameraTKList, pluginID); }

// Derived values are rebuilt when the frame is next synchronised; a camera
// without a frame keeps them until it is attached.
static RwCamera *MarkFrameDirty(RwCamera *camera)
{
    RwFrame *frame = RwCameraGetFrame(camera);
    if (frame != nullptr) {
        RwFrameMarkDirty(frame);
    }
    return camera;
}

RwCamera *RwCameraCreate(void)
{
    auto *camera = static_cast<RwCamera *>(RwFreeListEntryAlloc(rwCameraGetGlobals()->cameraFreeList));
    if (camera == nullptr) {
        return nullptr;
    }
    std::memset(camera, 0, sizeof(RwCamera));
    camera->object.object.type = rwCAMERA;
    RwLLLinkInitialize(&camera->object.lFrame);
    camera->object.sync = RwCameraBuildFrustum;
    camera->projectionType = rwPERSPECTIVE;
    camera->beginUpdate = RwCameraDefaultBeginUpdate;
    camera->endUpdate = RwCameraDefaultEndUpdate;
    RwMatrixSetIdentity(&camera->viewMatrix);
    camera->viewWindow = {1.0f, 1.0f};
    camera->recipViewWindow = {1.0f, 1.0f};
    camera->viewOffset = {0.0f, 0.0f};
    camera->nearPlane = 0.05f;
    camera->farPlane = 10.0f;
    camera->fogPlane = 5.0f;
    RwCameraUpdateZShiftScale(camera);
    if (RwPluginRegistryInitObject(&cameraTKList, camera) == nullptr) {
        RwFreeListEntryFree(rwCameraGetGlobals()->cameraFreeList, camera);
        RwErrorReportCommon(E_RW_PLUGININIT);
        return nullptr;
    }
    return camera;
}

RwBool RwCameraDestroy(RwCamera *camera)
{
    RwPluginRegistryDeInitObject(&cameraTKList, camera);
    RwFramedObjectUnlinkFrame(&camera->object);
    if (RwEngineInst->curCamera == camera) {
        RwEngineInst->curCamera = nullptr;
    }
    RwFreeListEntryFree(rwCameraGetGlobals()->cameraFreeList, camera);
    return TRUE;
}

RwCamera *RwCameraGetCurrentCamera(void) { return static_cast<RwCamera *>(RwEngineInst->curCamera); }

RwCamera *RwCameraBeginUpdate(RwCamera *camera) { return camera->beginUpdate(camera); }

RwCamera *RwCameraEndUpdate(RwCamera *camera) { return camera->endUpdate(camera); }

// The camera stays current when the device refuses to begin.
RwCamera *RwCameraDefaultBeginUpdate(RwCamera *camera)
{
    RwEngineInst->curCamera = camera;
    RwFrameSyncDirty();
    return rwStandardCall(rwSTANDARDCAMERABEGINUPDATE, nullptr, camera, 0) ? camera : nullptr;
}

// A camera update for drawing in screen space from a second thread while
// another builds the scene: the frame hierarchy is not brought up to date
// (the other thread may be changing it) and no world is entered. A camera
// without a frame draws with the identity view.
RwCamera *RwCameraBeginScreenUpdate(RwCamera *camera)
{
    RwEngineInst->curCamera = camera;
    return rwStandardCall(rwSTANDARDCAMERABEGINUPDATE, nullptr, camera, 0) ? camera : nullptr;
}

RwCamera *RwCameraEndScreenUpdate(RwCamera *camera) { return RwCameraDefaultEndUpdate(camera); }

RwCamera *RwCameraDefaultEndUpdate(RwCamera *camera)
{
    if (!rwStandardCall(rwSTANDARDCAMERAENDUPDATE, nullptr, camera, 0)) {
        return nullptr;
    }
    RwEngineInst->curCamera = nullptr;
    return camera;
}

RwCamera *RwCameraClear(RwCamera *camera, RwRGBA *colour, RwInt32 clearMode)
{
    return rwStandardCall(rwSTANDARDCAMERACLEAR, camera, colour, clearMode) ? camera : nullptr;
}

RwCamera *RwCameraShowRaster(RwCamera *camera, void *windowHandle, RwUInt32 flags)
{
    if (camera->frameBuffer == nullptr) {
        return nullptr;
    }
    return RwRasterShow(camera->frameBuffer, windowHandle, static_cast<RwInt32>(flags)) != nullptr ? camera
                                                                                                   : nullptr;
}

RwCamera *RwCameraSetViewWindow(RwCamera *camera, const RwV2d *viewWindow)
{
    camera->viewWindow = *viewWindow;
    camera->recipViewWindow = {1.0f / viewWindow->x, 1.0f / viewWindow->y};
    return MarkFrameDirty(camera);
}

RwCamera *RwCameraSetViewOffset(RwCamera *camera, const RwV2d *offset)
{
    camera->viewOffset = *offset;
    return MarkFrameDirty(camera);
}

RwCamera *RwCameraSetNearClip(RwCamera *camera, RwReal nearClip)
{
    camera->nearPlane = nearClip;
    RwCameraUpdateZShiftScale(camera);
    return MarkFrameDirty(camera);
}

RwCamera *RwCameraSetFarClip(RwCamera *camera, RwReal farClip)
{
    camera->farPlane = farClip;
    RwCameraUpdateZShiftScale(camera);
    return MarkFrameDirty(camera);
}

RwCamera *RwCameraSetFogDistance(RwCamera *camera, RwReal fogDistance)
{
    camera->fogPlane = fogDistance;
    return camera;
}

RwCamera *RwCameraSetProjection(RwCamera *camera, RwCameraProjection projection)
{
    if (projection != rwPERSPECTIVE && projection != rwPARALLEL) {
        RwErrorReportCommon(E_RW_BADPARAM);
        return nullptr;
    }
    camera->projectionType = projection;
    MarkFrameDirty(camera);
    return RwCameraUpdateZShiftScale(camera);
}

RwCamera *RwCameraSetFrame(RwCamera *camera, RwFrame *frame)
{
    RwFramedObjectSetFrame(&camera->object, frame);
    return camera;
}

RwCamera *RwCameraSetRaster(RwCamera *camera, RwRaster *raster)
{
    camera->frameBuffer = raster;
    return camera;
}

RwCamera *RwCameraSetZRaster(RwCamera *camera, RwRaster *zRaster)
{
    camera->zBuffer = zRaster;
    return camera;
}

static inline RwReal PlaneDistance(const RwFrustumPlane *plane, const RwV3d *point)
{
    return RwV3dDotProduct(&plane->plane.normal, point) - plane->plane.distance;
}

// A sphere touching a plane from outside (distance exactly its radius) is
// not rejected.
RwFrustumTestResult RwCameraSphereInFrustum(const RwCamera *camera, const RwSphere *sphere)
{
    RwFrustumTestResult result = rwSPHEREINSIDE;
    for (const RwFrustumPlane &plane : camera->frustumPlanes) {
        const RwReal e = PlaneDistance(&plane, &sphere->center);
        if (e > sphere->radius) {
            return rwSPHEREOUTSIDE;
        }
        if (e > -sphere->radius) {
            result = rwSPHEREBOUNDARY;
        }
    }
    return result;
}

// Per plane, the corner furthest inside decides rejection and the corner
// furthest outside decides crossing; the selector bytes pick them.
RwFrustumTestResult RwCameraBBoxInFrustum(const RwCamera *camera, const RwBBox *box)
{
    RwFrustumTestResult result = rwBOXINSIDE;
    for (const RwFrustumPlane &plane : camera->frustumPlanes) {
        const RwV3d inner = {plane.closestX ? box->inf.x : box->sup.x, plane.closestY ? box->inf.y : box->sup.y,
                             plane.closestZ ? box->inf.z : box->sup.z};
        if (PlaneDistance(&plane, &inner) > 0.0f) {
            return rwBOXOUTSIDE;
        }
        const RwV3d outer = {plane.closestX ? box->sup.x : box->inf.x, plane.closestY ? box->sup.y : box->inf.y,
                             plane.closestZ ? box->sup.z : box->inf.z};
        if (PlaneDistance(&plane, &outer) > 0.0f) {
            result = rwBOXBOUNDARY;
        }
    }
    return result;
}
