// Cameras: frame-attached objects that render into a frame-buffer raster
// with a z-buffer raster. A camera keeps its projection parameters and
// derives from them and its frame's world matrix the view matrix, six
// world-space frustum planes, eight frustum corners and their box. The
// derived values are rebuilt when the camera's frame is synchronised (at
// the next begin-update), never by the setters.
#pragma once

#include "rwframe.h"
#include "rwmatrix.h"
#include "rwplugin.h"
#include "rwraster.h"
#include "rwtypes.h"

struct RwStream;
struct RwCamera;

static constexpr RwUInt8 rwCAMERA = 4;  // object type byte of a camera

enum RwCameraProjection : RwUInt32 {
    rwNACAMERAPROJECTION = 0,
    rwPERSPECTIVE = 1,
    rwPARALLEL = 2,
};

// Outside when normal . p - distance > 0. closest[x,y,z] is 1 when that
// component of the normal has its sign bit clear, 0 when it is negative;
// box tests use them to pick corners without comparisons.
struct RwPlane {
    RwV3d normal;
    RwReal distance;
};

struct RwFrustumPlane {
    RwPlane plane;
    RwUInt8 closestX;
    RwUInt8 closestY;
    RwUInt8 closestZ;
    RwUInt8 pad;
};

// Plane order of RwCamera::frustumPlanes.
enum RwFrustumPlaneIndex : RwInt32 {
    rwFRUSTUMPLANEFAR = 0,
    rwFRUSTUMPLANENEAR = 1,
    rwFRUSTUMPLANELEFT = 2,    // through corners 1 and 2 (the -right side)
    rwFRUSTUMPLANETOP = 3,     // through corners 0 and 1 (the +up side)
    rwFRUSTUMPLANERIGHT = 4,   // through corners 3 and 0 (the +right side)
    rwFRUSTUMPLANEBOTTOM = 5,  // through corners 2 and 3 (the -up side)
    rwFRUSTUMNUMPLANES = 6,
};

enum RwFrustumTestResult : RwInt32 {
    rwSPHEREOUTSIDE = 0,
    rwSPHEREBOUNDARY = 1,
    rwSPHEREINSIDE = 2,
    rwBOXOUTSIDE = 0,
    rwBOXBOUNDARY = 1,
    rwBOXINSIDE = 2,
};

typedef RwCamera *(*RwCameraBeginUpdateFunc)(RwCamera *camera);
typedef RwCamera *(*RwCameraEndUpdateFunc)(RwCamera *camera);

struct RwCamera {
    RwFramedObject object;  // type 4; object.sync is RwCameraBuildFrustum
    RwCameraProjection projectionType;
    RwCameraBeginUpdateFunc beginUpdate;
    RwCameraEndUpdateFunc endUpdate;
    RwMatrix viewMatrix;  // world point to homogeneous screen coordinates
    RwRaster *frameBuffer;
    RwRaster *zBuffer;
    RwV2d viewWindow;  // half-extent at unit distance
    RwV2d recipViewWindow;
    RwV2d viewOffset;
    RwReal nearPlane;
    RwReal farPlane;
    RwReal fogPlane;
    RwReal zScale;
    RwReal zShift;
    RwFrustumPlane frustumPlanes[rwFRUSTUMNUMPLANES];
    RwBBox frustumBoundBox;
    // Near corners 0-3 then far corners 0-3; around the window 0 (+x,+y),
    // 1 (-x,+y), 2 (-x,-y), 3 (+x,-y), x along the right axis, y along up.
    RwV3d frustumCorners[8];
};

// Clear flags of RwCameraClear.
static constexpr RwInt32 rwCAMERACLEARIMAGE = 0x1;
static constexpr RwInt32 rwCAMERACLEARZ = 0x2;
static constexpr RwInt32 rwCAMERACLEARSTENCIL = 0x4;

RwCamera *RwCameraCreate(void);
RwBool RwCameraDestroy(RwCamera *camera);
RwCamera *RwCameraBeginUpdate(RwCamera *camera);
RwCamera *RwCameraEndUpdate(RwCamera *camera);
RwCamera *RwCameraDefaultBeginUpdate(RwCamera *camera);
RwCamera *RwCameraDefaultEndUpdate(RwCamera *camera);
// Begin and end of an update that neither synchronises frames nor enters
// the camera's world: screen-space drawing from a thread of its own.
RwCamera *RwCameraBeginScreenUpdate(RwCamera *camera);
RwCamera *RwCameraEndScreenUpdate(RwCamera *camera);
RwCamera *RwCameraClear(RwCamera *camera, RwRGBA *colour, RwInt32 clearMode);
RwCamera *RwCameraShowRaster(RwCamera *camera, void *windowHandle, RwUInt32 flags);

RwCamera *RwCameraSetViewWindow(RwCamera *camera, const RwV2d *viewWindow);
RwCamera *RwCameraSetViewOffset(RwCamera *camera, const RwV2d *offset);
RwCamera *RwCameraSetNearClip(RwCamera *camera, RwReal nearClip);
RwCamera *RwCameraSetFarClip(RwCamera *camera, RwReal farClip);
RwCamera *RwCameraSetFogDistance(RwCamera *camera, RwReal fogDistance);
RwCamera *RwCameraSetProjection(RwCamera *camera, RwCameraProjection projection);
RwCamera *RwCameraSetFrame(RwCamera *camera, RwFrame *frame);
RwCamera *RwCameraSetRaster(RwCamera *camera, RwRaster *raster);
RwCamera *RwCameraSetZRaster(RwCamera *camera, RwRaster *zRaster);

inline RwFrame *RwCameraGetFrame(const RwCamera *camera) { return RwFramedObjectGetFrame(&camera->object); }
inline RwRaster *RwCameraGetRaster(const RwCamera *camera) { return camera->frameBuffer; }
inline RwRaster *RwCameraGetZRaster(const RwCamera *camera) { return camera->zBuffer; }
inline const RwV2d *RwCameraGetViewWindow(const RwCamera *camera) { return &camera->viewWindow; }
inline const RwV2d *RwCameraGetViewOffset(const RwCamera *camera) { return &camera->viewOffset; }
inline RwReal RwCameraGetNearClipPlane(const RwCamera *camera) { return camera->nearPlane; }
inline RwReal RwCameraGetFarClipPlane(const RwCamera *camera) { return camera->farPlane; }
inline RwReal RwCameraGetFogDistance(const RwCamera *camera) { return camera->fogPlane; }
inline RwCameraProjection RwCameraGetProjection(const RwCamera *camera) { return camera->projectionType; }
inline const RwMatrix *RwCameraGetViewMatrix(const RwCamera *camera) { return &camera->viewMatrix; }
// The engine's current camera (between begin- and end-update), or null.
RwCamera *RwCameraGetCurrentCamera(void);

// Derived values: z mapping now, frustum when the frame is synchronised.
RwCamera *RwCameraUpdateZShiftScale(RwCamera *camera);
RwFramedObject *RwCameraBuildFrustum(RwFramedObject *object);

// 0 outside, 1 crossing a plane, 2 inside every plane.
RwFrustumTestResult RwCameraSphereInFrustum(const RwCamera *camera, const RwSphere *sphere);
RwFrustumTestResult RwCameraBBoxInFrustum(const RwCamera *camera, const RwBBox *box);

RwInt32 RwCameraRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                               RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RwCameraRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                     RwPluginDataChunkWriteCallBack writeCB,
                                     RwPluginDataChunkGetSizeCallBack getSizeCB);
RwInt32 RwCameraGetPluginOffset(RwUInt32 pluginID);
RwPluginRegistry *RwCameraGetPluginRegistry(void);

// Camera chunk (type 0x05): a 32-byte struct then the extension chunk.
static constexpr RwUInt32 rwID_CAMERA = 0x05;
RwCamera *RwCameraStreamRead(RwStream *stream);
const RwCamera *RwCameraStreamWrite(const RwCamera *camera, RwStream *stream);
RwUInt32 RwCameraStreamGetSize(const RwCamera *camera);
