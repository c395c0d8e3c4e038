// The delta-morph plug-in: delta targets on geometries, target weights on
// atomics, and the render wrapper that adds each change of weight into the
// geometry's vertices. A target's run map and point count are checked
// against the geometry's vertices and the target's points when read, so
// applying it never reaches outside either array.
#include <cstring>

#include "rpdmorph.h"
#include "rwcore.h"

namespace {

struct AtomicExt {
    RwReal *weights;
    void *spare;  // freed with the atomic; nothing here fills it
    RpAtomicCallBackRender savedRender;
    RwUInt32 numWeights;
};

constexpr RwUInt8 kRunTakesPoints = 0x80;
constexpr RwUInt8 kRunLength = 0x7F;
constexpr RwUInt32 kTargetFixedStreamSize = 4 + 16 + 16;

RwInt32 geometryOffset = -1;
RwInt32 atomicOffset = -1;
RwInt32 openCount = 0;

RpDeltaMorphGeometryData **DataSlot(const void *geometry)
{
    return reinterpret_cast<RpDeltaMorphGeometryData **>(static_cast<RwUInt8 *>(const_cast<void *>(geometry)) +
                                                         geometryOffset);
}

AtomicExt *AtomExt(const void *atomic)
{
    return reinterpret_cast<AtomicExt *>(static_cast<RwUInt8 *>(const_cast<void *>(atomic)) + atomicOffset);
}

void *CountOpen(void *instance, RwInt32, RwInt32)
{
    ++openCount;
    return instance;
}

void *CountClose(void *instance, RwInt32, RwInt32)
{
    --openCount;
    return instance;
}

RwUInt32 PointBytes(RwUInt32 flags)
{
    return ((flags & rpDMORPHPOSITIONS) ? 12u : 0u) + ((flags & rpDMORPHNORMALS) ? 12u : 0u) +
           ((flags & rpDMORPHPRELIGHT) ? 4u : 0u) + ((flags & rpDMORPHTEXCOORDS) ? 8u : 0u);
}

void FreeData(RpDeltaMorphGeometryData *data)
{
    if (data == nullptr) {
        return;
    }
    for (RwUInt32 i = 0; i < data->numTargets; ++i) {
        RpDeltaMorphTarget &t = data->targets[i];
        if (t.name != nullptr) {
            RwFree(t.name);
        }
        if (t.map != nullptr) {
            RwFree(t.map);
        }
        if (t.data != nullptr) {
            RwFree(t.data);
        }
    }
    RwFree(data);
}

void *GeometryConstruct(void *geometry, RwInt32, RwInt32)
{
    *DataSlot(geometry) = nullptr;
    return geometry;
}

void *GeometryDestruct(void *geometry, RwInt32, RwInt32)
{
    FreeData(*DataSlot(geometry));
    *DataSlot(geometry) = nullptr;
    return geometry;
}

void *GeometryCopy(void *dst, const void *, RwInt32, RwInt32) { return dst; }

void *AtomicConstruct(void *atomic, RwInt32, RwInt32)
{
    *AtomExt(atomic) = {nullptr, nullptr, nullptr, 0};
    return atomic;
}

void *AtomicDestruct(void *atomic, RwInt32, RwInt32)
{
    AtomicExt *ext = AtomExt(atomic);
    if (ext->weights != nullptr) {
        RwFree(ext->weights);
    }
    if (ext->spare != nullptr) {
        RwFree(ext->spare);
    }
    *ext = {nullptr, nullptr, nullptr, 0};
    return atomic;
}

RwReal *NewWeights(RwUInt32 count)
{
    auto *weights = static_cast<RwReal *>(RwMalloc(sizeof(RwReal) * count));
    if (weights == nullptr) {
        RwErrorReport(rpDMORPHPLUGINID, E_RW_NOMEM);
        return nullptr;
    }
    std::memset(weights, 0, sizeof(RwReal) * count);
    return weights;
}

void *AtomicCopy(void *dst, const void *src, RwInt32, RwInt32)
{
    const AtomicExt *from = AtomExt(src);
    AtomicExt *to = AtomExt(dst);
    RwUInt32 count = RpDeltaMorphGeometryGetNumTargets(static_cast<RpAtomic *>(dst)->geometry);
    if (RpDeltaMorphGeometryGetNumTargets(static_cast<const RpAtomic *>(src)->geometry) == 0 || count == 0) {
        return dst;
    }
    RwReal *weights = NewWeights(count);
    if (weights == nullptr) {
        return nullptr;
    }
    if (from->weights != nullptr) {
        std::memcpy(weights, from->weights, sizeof(RwReal) * (from->numWeights < count ? from->numWeights : count));
    }
    if (to->weights != nullptr) {
        RwFree(to->weights);
    }
    *to = {weights, nullptr, from->savedRender, count};
    return dst;
}

RwInt32 AtomicAlways(void *atomic, RwInt32, RwInt32)
{
    auto *a = static_cast<RpAtomic *>(atomic);
    if (RpDeltaMorphGeometryGetNumTargets(a->geometry) == 0) {
        return TRUE;
    }
    return RpDeltaMorphAtomicSetup(a) != nullptr;
}

// True when the run map stays inside the geometry's vertices and the
// target's points.
RwBool MapFits(const RpDeltaMorphTarget &target, RwUInt32 numVertices)
{
    RwUInt64 vertex = 0;
    RwUInt64 point = 0;
    for (RwUInt32 i = 0; i < target.mapSize; ++i) {
        RwUInt32 run = target.map[i] & kRunLength;
        vertex += run;
        if (target.map[i] & kRunTakesPoints) {
            point += run;
        }
        if (vertex > numVertices || point > target.numPoints) {
            return FALSE;
        }
    }
    return TRUE;
}

RwBool ReadTarget(RwStream *stream, RpDeltaMorphTarget *target, RpGeometry *geometry, RwUInt64 *left)
{
    RwUInt32 nameLength = 0;
    if (*left < kTargetFixedStreamSize || !RwStreamReadUInt32(stream, &nameLength)) {
        return FALSE;
    }
    *left -= kTargetFixedStreamSize;
    if (nameLength > *left) {
        return FALSE;
    }
    *left -= nameLength;
    target->geometry = geometry;
    if (nameLength > 0) {
        target->name = static_cast<RwChar *>(RwMalloc(nameLength));
        if (target->name == nullptr) {
            RwErrorReport(rpDMORPHPLUGINID, E_RW_NOMEM);
            return FALSE;
        }
        if (RwStreamRead(stream, target->name, nameLength) != nameLength) {
            return FALSE;
        }
        target->name[nameLength - 1] = '\0';
    }
    if (!RwStreamReadUInt32(stream, &target->dataFlags) || !RwStreamReadUInt32(stream, &target->lockFlags) ||
        !RwStreamReadUInt32(stream, &target->mapSize) || !RwStreamReadUInt32(stream, &target->numPoints)) {
        return FALSE;
    }
    RwUInt64 pointBytes = static_cast<RwUInt64>(target->numPoints) * PointBytes(target->dataFlags);
    if (target->mapSize > *left || pointBytes > *left - target->mapSize) {
        return FALSE;
    }
    *left -= target->mapSize + pointBytes;
    if (target->mapSize > 0) {
        target->map = static_cast<RwUInt8 *>(RwMalloc(target->mapSize));
        if (target->map == nullptr) {
            RwErrorReport(rpDMORPHPLUGINID, E_RW_NOMEM);
            return FALSE;
        }
        if (RwStreamRead(stream, target->map, target->mapSize) != target->mapSize) {
            return FALSE;
        }
    }
    if (!MapFits(*target, static_cast<RwUInt32>(geometry->numVertices))) {
        return FALSE;
    }
    if (target->numPoints > 0 && pointBytes > 0) {
        auto *data = static_cast<RwUInt8 *>(RwMalloc(pointBytes));
        if (data == nullptr) {
            RwErrorReport(rpDMORPHPLUGINID, E_RW_NOMEM);
            return FALSE;
        }
        target->data = data;
        RwUInt64 n = target->numPoints;
        if (target->dataFlags & rpDMORPHPOSITIONS) {
            target->positions = reinterpret_cast<RwV3d *>(data);
            data += n * 12;
        }
        if (target->dataFlags & rpDMORPHNORMALS) {
            target->normals = reinterpret_cast<RwV3d *>(data);
            data += n * 12;
        }
        if (target->dataFlags & rpDMORPHPRELIGHT) {
            target->colours = reinterpret_cast<RwRGBA *>(data);
            data += n * 4;
        }
        if (target->dataFlags & rpDMORPHTEXCOORDS) {
            target->texCoords = reinterpret_cast<RwTexCoords *>(data);
        }
        if ((target->positions != nullptr && RwStreamReadWords(stream, target->positions, n * 12) == nullptr) ||
            (target->normals != nullptr && RwStreamReadWords(stream, target->normals, n * 12) == nullptr) ||
            (target->colours != nullptr && RwStreamRead(stream, target->colours, n * 4) != n * 4) ||
            (target->texCoords != nullptr && RwStreamReadWords(stream, target->texCoords, n * 8) == nullptr)) {
            return FALSE;
        }
    }
    return RwStreamReadWords(stream, &target->boundingSphere, sizeof(RwSphere)) != nullptr;
}

}  // namespace

RwBool RpDeltaMorphPluginAttach(void)
{
    if (RwEngineRegisterPlugin(0, rpDMORPHPLUGINID, CountOpen, CountClose) < 0) {
        return FALSE;
    }
    geometryOffset = RpGeometryRegisterPlugin(static_cast<RwInt32>(sizeof(RpDeltaMorphGeometryData *)),
                                              rpDMORPHPLUGINID, GeometryConstruct, GeometryDestruct, GeometryCopy);
    atomicOffset = RpAtomicRegisterPlugin(static_cast<RwInt32>(sizeof(AtomicExt)), rpDMORPHPLUGINID, AtomicConstruct,
                                          AtomicDestruct, AtomicCopy);
    return geometryOffset >= 0 && atomicOffset >= 0 &&
           RpGeometryRegisterPluginStream(rpDMORPHPLUGINID, RpDeltaMorphGeometryStreamRead,
                                          RpDeltaMorphGeometryStreamWrite, RpDeltaMorphGeometryStreamGetSize) >= 0 &&
           RpAtomicSetStreamAlwaysCallBack(rpDMORPHPLUGINID, AtomicAlways) >= 0;
}

RpDeltaMorphGeometryData *RpDeltaMorphGeometryGetData(const RpGeometry *geometry)
{
    return geometry != nullptr && geometryOffset >= 0 ? *DataSlot(geometry) : nullptr;
}

RwUInt32 RpDeltaMorphGeometryGetNumTargets(const RpGeometry *geometry)
{
    const RpDeltaMorphGeometryData *data = RpDeltaMorphGeometryGetData(geometry);
    return data != nullptr ? data->numTargets : 0;
}

RwReal *RpDeltaMorphAtomicGetWeights(const RpAtomic *atomic) { return AtomExt(atomic)->weights; }
RwUInt32 RpDeltaMorphAtomicGetNumWeights(const RpAtomic *atomic) { return AtomExt(atomic)->numWeights; }

RpAtomic *RpDeltaMorphAtomicSetup(RpAtomic *atomic)
{
    RwUInt32 count = RpDeltaMorphGeometryGetNumTargets(atomic->geometry);
    AtomicExt *ext = AtomExt(atomic);
    if (count == 0) {
        return atomic;
    }
    if (ext->numWeights != count) {
        RwReal *weights = NewWeights(count);
        if (weights == nullptr) {
            return nullptr;
        }
        if (ext->weights != nullptr) {
            RwFree(ext->weights);
        }
        ext->weights = weights;
        ext->numWeights = count;
    }
    if (atomic->renderCallBack != RpDeltaMorphAtomicRender) {
        ext->savedRender = atomic->renderCallBack;
        atomic->renderCallBack = RpDeltaMorphAtomicRender;
    }
    return atomic;
}

RpAtomic *RpDeltaMorphAtomicRender(RpAtomic *atomic)
{
    AtomicExt *ext = AtomExt(atomic);
    RpGeometry *geometry = atomic->geometry;
    RpDeltaMorphGeometryData *data = RpDeltaMorphGeometryGetData(geometry);
    if (data != nullptr && ext->weights != nullptr && geometry->numMorphTargets > 0) {
        // Weights sized for another geometry only reach the targets both have.
        RwUInt32 count = data->numTargets < ext->numWeights ? data->numTargets : ext->numWeights;
        for (RwUInt32 i = 0; i < count; ++i) {
            RwReal weight = ext->weights[i];
            RwReal last = data->lastWeights[i];
            if (weight == last) {
                continue;
            }
            const RpDeltaMorphTarget &target = data->targets[i];
            RwReal d = weight - last;
            RpGeometryLock(geometry, static_cast<RwUInt16>(target.lockFlags));
            RwV3d *verts = geometry->morphTarget[0].verts;
            RwV3d *normals = geometry->morphTarget[0].normals;
            RwTexCoords *uv = geometry->texCoords[0];
            RwRGBA *colours = geometry->preLitLum;
            RwUInt32 vertex = 0;
            RwUInt32 point = 0;
            for (RwUInt32 m = 0; m < target.mapSize; ++m) {
                RwUInt32 run = target.map[m] & kRunLength;
                if (!(target.map[m] & kRunTakesPoints)) {
                    vertex += run;
                    continue;
                }
                for (RwUInt32 r = 0; r < run; ++r, ++vertex, ++point) {
                    if (target.positions != nullptr && verts != nullptr) {
                        RwV3dIncrementScaled(&verts[vertex], &target.positions[point], d);
                    }
                    if (target.normals != nullptr && normals != nullptr) {
                        RwV3dIncrementScaled(&normals[vertex], &target.normals[point], d);
                    }
                    if (target.texCoords != nullptr && uv != nullptr) {
                        uv[vertex].u += d * target.texCoords[point].u;
                        uv[vertex].v += d * target.texCoords[point].v;
                    }
                    if (target.colours != nullptr && colours != nullptr) {
                        RwUInt8 *c = &colours[vertex].red;
                        const RwUInt8 *delta = &target.colours[point].red;
                        for (RwInt32 ch = 0; ch < 4; ++ch) {
                            c[ch] = static_cast<RwUInt8>(c[ch] - static_cast<RwInt32>(delta[ch] * last) +
                                                         static_cast<RwInt32>(delta[ch] * weight));
                        }
                    }
                }
            }
            RpGeometryUnlock(geometry);
            data->lastWeights[i] = weight;
        }
    }
    RpAtomicCallBackRender render = ext->savedRender != nullptr ? ext->savedRender : RpAtomicDefaultRenderCallBack;
    render(atomic);
    return atomic;
}

RwStream *RpDeltaMorphGeometryStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32, RwInt32)
{
    auto *geometry = static_cast<RpGeometry *>(object);
    RwUInt32 count = 0;
    if (length < 4 || !RwStreamReadUInt32(stream, &count)) {
        return nullptr;
    }
    RwUInt64 left = static_cast<RwUInt64>(length) - 4;
    if (count == 0) {
        return stream;
    }
    if (static_cast<RwUInt64>(count) * kTargetFixedStreamSize > left) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    size_t bytes = (sizeof(RpDeltaMorphTarget) + sizeof(RwReal)) * count;
    auto *block = static_cast<RwUInt8 *>(RwMalloc(sizeof(RpDeltaMorphGeometryData) + bytes));
    if (block == nullptr) {
        RwErrorReport(rpDMORPHPLUGINID, E_RW_NOMEM);
        return nullptr;
    }
    std::memset(block, 0, sizeof(RpDeltaMorphGeometryData) + bytes);
    auto *data = reinterpret_cast<RpDeltaMorphGeometryData *>(block);
    data->numTargets = count;
    data->targets = reinterpret_cast<RpDeltaMorphTarget *>(data + 1);
    data->lastWeights = reinterpret_cast<RwReal *>(data->targets + count);
    for (RwUInt32 i = 0; i < count; ++i) {
        if (!ReadTarget(stream, &data->targets[i], geometry, &left)) {
            RwErrorReportCommon(E_RW_READ);
            FreeData(data);
            return nullptr;
        }
    }
    FreeData(*DataSlot(geometry));
    *DataSlot(geometry) = data;
    return stream;
}

RwInt32 RpDeltaMorphGeometryStreamGetSize(const void *object, RwInt32, RwInt32)
{
    const RpDeltaMorphGeometryData *data = *DataSlot(object);
    if (data == nullptr || data->numTargets == 0) {
        return 0;
    }
    RwInt32 size = 4;
    for (RwUInt32 i = 0; i < data->numTargets; ++i) {
        const RpDeltaMorphTarget &t = data->targets[i];
        RwUInt32 nameLength = t.name != nullptr ? static_cast<RwUInt32>(std::strlen(t.name)) + 1 : 0;
        size += static_cast<RwInt32>(kTargetFixedStreamSize + nameLength + t.mapSize +
                                     t.numPoints * PointBytes(t.dataFlags));
    }
    return size;
}

RwStream *RpDeltaMorphGeometryStreamWrite(RwStream *stream, RwInt32, const void *object, RwInt32, RwInt32)
{
    const RpDeltaMorphGeometryData *data = *DataSlot(object);
    if (data == nullptr) {
        return stream;
    }
    if (RwStreamWriteUInt32(stream, data->numTargets) == nullptr) {
        return nullptr;
    }
    for (RwUInt32 i = 0; i < data->numTargets; ++i) {
        const RpDeltaMorphTarget &t = data->targets[i];
        RwUInt32 nameLength = t.name != nullptr ? static_cast<RwUInt32>(std::strlen(t.name)) + 1 : 0;
        RwUInt32 n = t.numPoints;
        if (RwStreamWriteUInt32(stream, nameLength) == nullptr ||
            (nameLength > 0 && RwStreamWrite(stream, t.name, nameLength) == nullptr) ||
            RwStreamWriteUInt32(stream, t.dataFlags) == nullptr || RwStreamWriteUInt32(stream, t.lockFlags) == nullptr ||
            RwStreamWriteUInt32(stream, t.mapSize) == nullptr || RwStreamWriteUInt32(stream, n) == nullptr ||
            (t.mapSize > 0 && RwStreamWrite(stream, t.map, t.mapSize) == nullptr) ||
            (n > 0 && t.positions != nullptr && RwStreamWriteWords(stream, t.positions, n * 12) == nullptr) ||
            (n > 0 && t.normals != nullptr && RwStreamWriteWords(stream, t.normals, n * 12) == nullptr) ||
            (n > 0 && t.colours != nullptr && RwStreamWrite(stream, t.colours, n * 4) == nullptr) ||
            (n > 0 && t.texCoords != nullptr && RwStreamWriteWords(stream, t.texCoords, n * 8) == nullptr) ||
            RwStreamWriteWords(stream, &t.boundingSphere, sizeof(RwSphere)) == nullptr) {
            return nullptr;
        }
    }
    return stream;
}
