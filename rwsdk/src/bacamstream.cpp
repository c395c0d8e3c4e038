// The camera chunk (type 0x05): a 32-byte struct (view window, view
// offset, clip and fog distances, projection) and the extension chunk,
// read field by field, little-endian.
#include "rwerror.h"
#include "rwstream.h"
#include "src/bacamera.h"

static constexpr RwUInt32 rwCAMERASTRUCTSIZE = 32;

struct CameraRecord {
    RwV2d viewWindow;
    RwV2d viewOffset;
    RwReal nearPlane;
    RwReal farPlane;
    RwReal fogPlane;
    RwUInt32 projection;
};

static RwBool ReadRecord(RwStream *stream, CameraRecord *r)
{
    return RwStreamReadReal(stream, &r->viewWindow.x) && RwStreamReadReal(stream, &r->viewWindow.y) &&
           RwStreamReadReal(stream, &r->viewOffset.x) && RwStreamReadReal(stream, &r->viewOffset.y) &&
           RwStreamReadReal(stream, &r->nearPlane) && RwStreamReadReal(stream, &r->farPlane) &&
           RwStreamReadReal(stream, &r->fogPlane) && RwStreamReadUInt32(stream, &r->projection);
}

RwUInt32 RwCameraStreamGetSize(const RwCamera *camera)
{
    return rwCHUNKHEADERSIZE + rwCAMERASTRUCTSIZE + rwCHUNKHEADERSIZE +
           static_cast<RwUInt32>(RwPluginRegistryGetStreamSize(RwCameraGetPluginRegistry(), camera));
}

const RwCamera *RwCameraStreamWrite(const RwCamera *camera, RwStream *stream)
{
    const RwBool ok =
        RwStreamWriteChunkHeaderDefault(stream, rwID_CAMERA, RwCameraStreamGetSize(camera)) != nullptr &&
        RwStreamWriteChunkHeaderDefault(stream, rwID_STRUCT, rwCAMERASTRUCTSIZE) != nullptr &&
        RwStreamWriteReal(stream, camera->viewWindow.x) != nullptr &&
        RwStreamWriteReal(stream, camera->viewWindow.y) != nullptr &&
        RwStreamWriteReal(stream, camera->viewOffset.x) != nullptr &&
        RwStreamWriteReal(stream, camera->viewOffset.y) != nullptr &&
        RwStreamWriteReal(stream, camera->nearPlane) != nullptr && RwStreamWriteReal(stream, camera->farPlane) != nullptr &&
        RwStreamWriteReal(stream, camera->fogPlane) != nullptr &&
        RwStreamWriteUInt32(stream, camera->projectionType) != nullptr;
    if (!ok) {
        RwErrorReportCommon(E_RW_WRITE);
        return nullptr;
    }
    if (RwPluginRegistryWriteData(RwCameraGetPluginRegistry(), stream, camera) == nullptr) {
        return nullptr;
    }
    return camera;
}

// The whole record is read and checked before a camera is made, so a short
// struct never leaves a camera behind; a camera whose extension or
// projection is refused is destroyed again.
RwCamera *RwCameraStreamRead(RwStream *stream)
{
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindStruct(stream, &length, &version)) {
        return nullptr;
    }
    CameraRecord record = {};
    if (length < rwCAMERASTRUCTSIZE || !ReadRecord(stream, &record)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    if (length > rwCAMERASTRUCTSIZE && RwStreamSkip(stream, length - rwCAMERASTRUCTSIZE) == nullptr) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RwCamera *camera = RwCameraCreate();
    if (camera == nullptr) {
        return nullptr;
    }
    if (RwPluginRegistryReadData(RwCameraGetPluginRegistry(), stream, camera) == nullptr) {
        RwCameraDestroy(camera);
        return nullptr;
    }
    RwCameraSetViewWindow(camera, &record.viewWindow);
    RwCameraSetViewOffset(camera, &record.viewOffset);
    RwCameraSetNearClip(camera, record.nearPlane);
    RwCameraSetFarClip(camera, record.farPlane);
    camera->fogPlane = record.fogPlane;
    if (RwCameraSetProjection(camera, static_cast<RwCameraProjection>(record.projection)) == nullptr) {
        RwCameraDestroy(camera);
        return nullptr;
    }
    return camera;
}
