// The clump chunk reader: frame list, geometry list, atomics, lights and
// cameras on frames of the list, then the clump's extensions. Frame and
// geometry indices are checked against the lists they index, and each
// sub-chunk is read inside its own bounds.
#include "rwcamera.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwstream.h"
#include "world/bamodules.h"

namespace {

constexpr RwUInt32 rpCLUMPOLDSTRUCTVERSION = 0x33000;
constexpr RwUInt32 rpATOMICSTRUCTSIZE = 16;

struct GeometryList {
    RpGeometry **geometries;
    RwInt32 count;
};

void GeometryListDestroy(GeometryList *list)
{
    for (RwInt32 i = 0; i < list->count; ++i) {
        if (list->geometries[i] != nullptr) {
            RpGeometryDestroy(list->geometries[i]);
        }
    }
    if (list->geometries != nullptr) {
        RwFree(list->geometries);
    }
    list->geometries = nullptr;
    list->count = 0;
}

RwBool ReadGeometryList(RwStream *stream, GeometryList *list)
{
    RwUInt32 length = 0;
    if (!RwStreamFindChunk(stream, rwID_GEOMETRYLIST, &length, nullptr)) {
        return FALSE;
    }
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RwUInt32 structLength = 0;
    RwInt32 count = 0;
    RwBool ok = RwStreamFindStruct(stream, &structLength, nullptr);
    if (ok && (structLength < 4 || !RwStreamReadInt32(stream, &count) ||
               (structLength > 4 && RwStreamSkip(stream, structLength - 4) == nullptr))) {
        RwErrorReportCommon(E_RW_READ);
        ok = FALSE;
    }
    // Each geometry is a chunk of at least a header, a struct header and
    // the 16-byte geometry header.
    if (ok && (count < 0 || !RwStreamFits(stream, static_cast<RwUInt64>(count), 3 * rwCHUNKHEADERSIZE + 16))) {
        RwErrorReportCommon(E_RW_READ);
        ok = FALSE;
    }
    if (ok && count > 0) {
        list->geometries = static_cast<RpGeometry **>(RwMalloc(sizeof(RpGeometry *) * static_cast<size_t>(count)));
        if (list->geometries == nullptr) {
            RwErrorReportCommon(E_RW_NOMEM);
            ok = FALSE;
        }
    }
    for (RwInt32 i = 0; ok && i < count; ++i) {
        RpGeometry *geometry = RwStreamReadChunkObject<RpGeometry>(stream, rwID_GEOMETRY, RpGeometryStreamRead, RpGeometryDestroy);
        if (geometry == nullptr) {
            ok = FALSE;
            break;
        }
        list->geometries[list->count++] = geometry;
    }
    ok = ok && RwStreamSkipRest(stream);
    RwStreamLeaveChunk(stream, saved);
    return ok;
}

RpAtomic *ReadAtomic(RwStream *stream, const RwFrameList *frames, const GeometryList *geometries)
{
    RwUInt32 length = 0;
    if (!RwStreamFindStruct(stream, &length, nullptr)) {
        return nullptr;
    }
    RwUInt8 record[rpATOMICSTRUCTSIZE];
    if (length > rpATOMICSTRUCTSIZE || !RwStreamReadRecord(stream, length, record, rpATOMICSTRUCTSIZE)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    auto frameIndex = static_cast<RwInt32>(RwUInt32FromLE(record));
    auto geometryIndex = static_cast<RwInt32>(RwUInt32FromLE(record + 4));
    RwUInt32 flags = RwUInt32FromLE(record + 8);
    if ((frames->numFrames > 0 && (frameIndex < 0 || frameIndex >= frames->numFrames)) ||
        (geometries->count > 0 && (geometryIndex < 0 || geometryIndex >= geometries->count))) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RpAtomic *atomic = RpAtomicCreate();
    if (atomic == nullptr) {
        return nullptr;
    }
    atomic->object.object.flags = static_cast<RwUInt8>(flags & 0xFF);
    if (frames->numFrames > 0) {
        RpAtomicSetFrame(atomic, frames->frames[frameIndex]);
    }
    if (geometries->count == 0) {
        RpGeometry *geometry = RwStreamReadChunkObject<RpGeometry>(stream, rwID_GEOMETRY, RpGeometryStreamRead, RpGeometryDestroy);
        if (geometry == nullptr) {
            RpAtomicDestroy(atomic);
            return nullptr;
        }
        RpAtomicSetGeometry(atomic, geometry, 0);
        RpGeometryDestroy(geometry);
    } else {
        RpAtomicSetGeometry(atomic, geometries->geometries[geometryIndex], 0);
    }
    rpPipelineRightsClear();
    if (RwPluginRegistryReadData(RpAtomicGetPluginRegistry(), stream, atomic) == nullptr ||
        !rpPipelineRightsApply(RpAtomicGetPluginRegistry(), atomic)) {
        RpAtomicDestroy(atomic);
        return nullptr;
    }
    return atomic;
}

// One i32 frame index in a struct chunk before each light and camera.
RwBool ReadFrameIndex(RwStream *stream, const RwFrameList *frames, RwInt32 *index)
{
    RwUInt32 length = 0;
    if (!RwStreamFindStruct(stream, &length, nullptr)) {
        return FALSE;
    }
    RwUInt8 record[4];
    if (length < 4 || !RwStreamReadRecord(stream, length, record, 4)) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    *index = static_cast<RwInt32>(RwUInt32FromLE(record));
    if (*index < 0 || *index >= frames->numFrames) {
        RwErrorReportCommon(E_RW_READ);
        return FALSE;
    }
    return TRUE;
}

RwBool ReadContents(RwStream *stream, RpClump *clump, RwInt32 numAtomics, RwInt32 numLights, RwInt32 numCameras,
                    const RwFrameList *frames, const GeometryList *geometries)
{
    for (RwInt32 i = 0; i < numAtomics; ++i) {
        RpAtomic *atomic = RwStreamReadChunkObject<RpAtomic>(
            stream, rwID_ATOMIC, [&](RwStream *s) { return ReadAtomic(s, frames, geometries); }, RpAtomicDestroy);
        if (atomic == nullptr) {
            return FALSE;
        }
        RpClumpAddAtomic(clump, atomic);
    }
    for (RwInt32 i = 0; i < numLights; ++i) {
        RwInt32 index = 0;
        if (!ReadFrameIndex(stream, frames, &index)) {
            return FALSE;
        }
        RpLight *light = RwStreamReadChunkObject<RpLight>(stream, rwID_LIGHT, RpLightStreamRead, RpLightDestroy);
        if (light == nullptr) {
            return FALSE;
        }
        RpLightSetFrame(light, frames->frames[index]);
        RpClumpAddLight(clump, light);
    }
    for (RwInt32 i = 0; i < numCameras; ++i) {
        RwInt32 index = 0;
        if (!ReadFrameIndex(stream, frames, &index)) {
            return FALSE;
        }
        RwCamera *camera = RwStreamReadChunkObject<RwCamera>(stream, rwID_CAMERA, RwCameraStreamRead, RwCameraDestroy);
        if (camera == nullptr) {
            return FALSE;
        }
        RwFramedObjectSetFrame(&camera->object, frames->frames[index]);
        RpClumpAddCamera(clump, camera);
    }
    return TRUE;
}

RwBool ReadFrames(RwStream *stream, RwFrameList *frames)
{
    RwUInt32 length = 0;
    if (!RwStreamFindChunk(stream, rwID_FRAMELIST, &length, nullptr)) {
        return FALSE;
    }
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RwBool ok = RwFrameListStreamRead(stream, frames) != nullptr;
    RwBool skipped = ok && RwStreamSkipRest(stream);
    RwStreamLeaveChunk(stream, saved);
    if (!ok) {
        return FALSE;
    }
    // The clump owns the hierarchy under frame 0; a second root would be
    // owned by nobody.
    ok = skipped && frames->numFrames > 0;
    for (RwInt32 i = 1; ok && i < frames->numFrames; ++i) {
        ok = RwFrameGetParent(frames->frames[i]) != nullptr;
    }
    if (!ok) {
        RwErrorReportCommon(E_RW_READ);
        for (RwInt32 i = frames->numFrames - 1; i >= 0; --i) {
            if (RwFrameGetParent(frames->frames[i]) == nullptr) {
                RwFrameDestroyHierarchy(frames->frames[i]);
            }
        }
        RwFrameListDeinit(frames);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

RpClump *RpClumpStreamRead(RwStream *stream)
{
    RwUInt32 length = 0;
    RwUInt32 version = 0;
    if (!RwStreamFindStruct(stream, &length, &version)) {
        return nullptr;
    }
    RwUInt8 counts[12];
    RwUInt32 size = version <= rpCLUMPOLDSTRUCTVERSION ? 4 : 12;
    if (length < size || !RwStreamReadRecord(stream, length, counts, size)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    auto numAtomics = static_cast<RwInt32>(RwUInt32FromLE(counts));
    RwInt32 numLights = size == 12 ? static_cast<RwInt32>(RwUInt32FromLE(counts + 4)) : 0;
    RwInt32 numCameras = size == 12 ? static_cast<RwInt32>(RwUInt32FromLE(counts + 8)) : 0;
    // Every object takes at least one chunk header of the clump's body.
    if (numAtomics < 0 || numLights < 0 || numCameras < 0 ||
        !RwStreamFits(stream, static_cast<RwUInt64>(numAtomics) + static_cast<RwUInt64>(numLights) + numCameras,
                rwCHUNKHEADERSIZE)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RpClump *clump = RpClumpCreate();
    if (clump == nullptr) {
        return nullptr;
    }
    RwFrameList frames = {nullptr, 0};
    GeometryList geometries = {nullptr, 0};
    RwBool ok = ReadFrames(stream, &frames);
    if (ok) {
        RpClumpSetFrame(clump, frames.frames[0]);
        ok = ReadGeometryList(stream, &geometries) &&
             ReadContents(stream, clump, numAtomics, numLights, numCameras, &frames, &geometries);
    }
    GeometryListDestroy(&geometries);
    if (frames.frames != nullptr) {
        RwFrameListDeinit(&frames);
    }
    if (ok && RwPluginRegistryReadData(RpClumpGetPluginRegistry(), stream, clump) == nullptr) {
        ok = FALSE;
    }
    if (!ok) {
        RwErrorReportCommon(E_RW_READ);
        RpClumpDestroy(clump);
        return nullptr;
    }
    return clump;
}
