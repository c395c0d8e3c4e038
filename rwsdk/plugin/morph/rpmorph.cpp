// The morph plug-in: interpolator rings on geometries, the atomic's current
// interpolator and position, time stepping that carries overflow into the
// successors, the geometry stream data, and the owned-block list. Stored
// successor and target indices are checked against the array and the
// geometry's morph targets, and a step never loops without bound, whatever
// the durations are.
#include <cmath>
#include <cstring>

#include "rpmorph.h"
#include "rwcore.h"

namespace {

struct GeometryExt {
    RwInt32 numInterpolators;
    RpMorphGeometryCallBack callback;
    RpMorphInterpolator *interpolators;
};

struct AtomicExt {
    RpMorphInterpolator *current;
    RwReal position;
    RpGeometry *geometry;  // whose array `current` points into
};

constexpr RwUInt32 kRecordStreamSize = 20;
constexpr RwUInt32 rpINTERPOLATORNOFRAMEDIRTY = 0x04;

RwInt32 geometryOffset = -1;
RwInt32 atomicOffset = -1;
RwInt32 openCount = 0;

GeometryExt *GeomExt(const void *geometry)
{
    return reinterpret_cast<GeometryExt *>(static_cast<RwUInt8 *>(const_cast<void *>(geometry)) + geometryOffset);
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

void Refresh(RpAtomic *atomic, const RpMorphInterpolator *record, RwReal position)
{
    RpInterpolator *interpolator = &atomic->interpolator;
    interpolator->startMorphTarget = static_cast<RwInt16>(record->startMorphTarget);
    interpolator->endMorphTarget = static_cast<RwInt16>(record->endMorphTarget);
    interpolator->time = record->time;
    interpolator->recipTime = 1.0f / record->time;
    interpolator->position = position;
    interpolator->flags |= rpINTERPOLATORDIRTYINSTANCE | rpINTERPOLATORDIRTYSPHERE;
    if (!(interpolator->flags & rpINTERPOLATORNOFRAMEDIRTY) && RpAtomicGetFrame(atomic) != nullptr) {
        RwFrameMarkDirty(RpAtomicGetFrame(atomic));
    }
}

void FreeArray(GeometryExt *ext)
{
    if (ext->interpolators != nullptr) {
        RwFree(ext->interpolators);
    }
    ext->interpolators = nullptr;
    ext->numInterpolators = 0;
}

// A zeroed array of `count` records, or null (reported).
RpMorphInterpolator *NewArray(RwInt32 count)
{
    auto *array = static_cast<RpMorphInterpolator *>(RwMalloc(sizeof(RpMorphInterpolator) * static_cast<size_t>(count)));
    if (array == nullptr) {
        RwErrorReportCommon(E_RW_NOMEM);
        return nullptr;
    }
    std::memset(array, 0, sizeof(RpMorphInterpolator) * static_cast<size_t>(count));
    return array;
}

RwBool RecordValid(const RpGeometry *geometry, RwInt32 start, RwInt32 end, RwReal duration)
{
    return start >= 0 && end >= 0 && start < geometry->numMorphTargets && end < geometry->numMorphTargets &&
           duration > 0.0f && std::isfinite(duration);
}

void *GeometryConstruct(void *geometry, RwInt32, RwInt32)
{
    *GeomExt(geometry) = {0, RpMorphGeometryDefaultEndCallback, nullptr};
    return geometry;
}

void *GeometryDestruct(void *geometry, RwInt32, RwInt32)
{
    FreeArray(GeomExt(geometry));
    return geometry;
}

void *GeometryCopy(void *dst, const void *src, RwInt32, RwInt32)
{
    const GeometryExt *from = GeomExt(src);
    GeometryExt *to = GeomExt(dst);
    if (from->numInterpolators < 1 || from->interpolators == nullptr) {
        return dst;
    }
    RpMorphInterpolator *array = NewArray(from->numInterpolators);
    if (array == nullptr) {
        return nullptr;
    }
    FreeArray(to);
    for (RwInt32 i = 0; i < from->numInterpolators; ++i) {
        array[i] = from->interpolators[i];
        array[i].next = array + (from->interpolators[i].next - from->interpolators);
    }
    to->interpolators = array;
    to->numInterpolators = from->numInterpolators;
    return dst;
}

void *AtomicConstruct(void *atomic, RwInt32, RwInt32)
{
    *AtomExt(atomic) = {nullptr, 0.0f, nullptr};
    return atomic;
}

void *AtomicCopy(void *dst, const void *src, RwInt32, RwInt32)
{
    const AtomicExt *from = AtomExt(src);
    auto *atomic = static_cast<RpAtomic *>(dst);
    if (from->geometry != static_cast<const RpAtomic *>(src)->geometry) {
        *AtomExt(dst) = {nullptr, 0.0f, nullptr};
        return dst;
    }
    *AtomExt(dst) = *from;
    if (from->current != nullptr) {
        Refresh(atomic, from->current, from->position);
    }
    return dst;
}

RwInt32 StreamGetSize(const void *geometry, RwInt32, RwInt32)
{
    RwInt32 count = GeomExt(geometry)->numInterpolators;
    return count > 0 ? static_cast<RwInt32>(4 + kRecordStreamSize * static_cast<RwUInt32>(count)) : 0;
}

RwStream *StreamWrite(RwStream *stream, RwInt32, const void *geometry, RwInt32, RwInt32)
{
    const GeometryExt *ext = GeomExt(geometry);
    if (RwStreamWriteUInt32(stream, static_cast<RwUInt32>(ext->numInterpolators)) == nullptr) {
        return nullptr;
    }
    for (RwInt32 i = 0; i < ext->numInterpolators; ++i) {
        const RpMorphInterpolator &r = ext->interpolators[i];
        if (RwStreamWriteUInt32(stream, r.flags) == nullptr || RwStreamWriteInt32(stream, r.startMorphTarget) == nullptr ||
            RwStreamWriteInt32(stream, r.endMorphTarget) == nullptr || RwStreamWriteReal(stream, r.time) == nullptr ||
            RwStreamWriteInt32(stream, static_cast<RwInt32>(r.next - ext->interpolators)) == nullptr) {
            return nullptr;
        }
    }
    return stream;
}

RwStream *StreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32, RwInt32)
{
    auto *geometry = static_cast<RpGeometry *>(object);
    RwInt32 count = 0;
    if (!RwStreamReadInt32(stream, &count)) {
        return nullptr;
    }
    if (count < 1) {
        return stream;
    }
    if (static_cast<RwUInt64>(count) * kRecordStreamSize + 4 > static_cast<RwUInt64>(length)) {
        RwErrorReportCommon(E_RW_READ);
        return nullptr;
    }
    RpMorphInterpolator *array = NewArray(count);
    if (array == nullptr) {
        return nullptr;
    }
    for (RwInt32 i = 0; i < count; ++i) {
        RwUInt32 flags = 0;
        RwInt32 start = 0;
        RwInt32 end = 0;
        RwReal time = 0.0f;
        RwInt32 next = 0;
        if (!RwStreamReadUInt32(stream, &flags) || !RwStreamReadInt32(stream, &start) ||
            !RwStreamReadInt32(stream, &end) || !RwStreamReadReal(stream, &time) || !RwStreamReadInt32(stream, &next)) {
            RwFree(array);
            return nullptr;
        }
        start &= 0xFFFF;
        end &= 0xFFFF;
        if (!RecordValid(geometry, start, end, time) || next < 0 || next >= count) {
            RwErrorReportCommon(E_RW_READ);
            RwFree(array);
            return nullptr;
        }
        array[i] = {flags, static_cast<RwUInt16>(start), static_cast<RwUInt16>(end), time, 1.0f / time, array + next};
    }
    GeometryExt *ext = GeomExt(geometry);
    FreeArray(ext);
    ext->interpolators = array;
    ext->numInterpolators = count;
    return stream;
}

// The atomic's geometry extension with its current record chosen: the
// first record when the atomic has none yet or its geometry changed.
GeometryExt *Prepare(RpAtomic *atomic)
{
    if (atomic->geometry == nullptr) {
        RwErrorReport(rpMORPHPLUGINID, E_RP_MORPH_NOGEOMETRY);
        return nullptr;
    }
    AtomicExt *ext = AtomExt(atomic);
    GeometryExt *geom = GeomExt(atomic->geometry);
    if (ext->geometry != atomic->geometry || ext->current == nullptr) {
        ext->current = geom->interpolators;
        ext->geometry = atomic->geometry;
    }
    return geom;
}

// Length of the ring through `record`, or 0 when following the successors
// from it never comes back to it.
RwReal RingLength(const RpMorphInterpolator *record, RwInt32 count)
{
    RwReal total = 0.0f;
    const RpMorphInterpolator *r = record;
    for (RwInt32 i = 0; i < count && r != nullptr; ++i) {
        total += r->time;
        r = r->next;
        if (r == record) {
            return total;
        }
    }
    return 0.0f;
}

}  // namespace

RwBool RpMorphPluginAttach(void)
{
    if (RwEngineRegisterPlugin(0, rpMORPHPLUGINID, CountOpen, CountClose) < 0) {
        return FALSE;
    }
    atomicOffset = RpAtomicRegisterPlugin(static_cast<RwInt32>(sizeof(AtomicExt)), rpMORPHPLUGINID, AtomicConstruct,
                                          AtomicConstruct, AtomicCopy);
    geometryOffset = RpGeometryRegisterPlugin(static_cast<RwInt32>(sizeof(GeometryExt)), rpMORPHPLUGINID,
                                              GeometryConstruct, GeometryDestruct, GeometryCopy);
    return atomicOffset >= 0 && geometryOffset >= 0 &&
           RpGeometryRegisterPluginStream(rpMORPHPLUGINID, StreamRead, StreamWrite, StreamGetSize) >= 0;
}

RpGeometry *RpMorphGeometryCreateInterpolators(RpGeometry *geometry, RwInt32 count)
{
    GeometryExt *ext = GeomExt(geometry);
    FreeArray(ext);
    if (count < 1) {
        return geometry;
    }
    RpMorphInterpolator *array = NewArray(count);
    if (array == nullptr) {
        return nullptr;
    }
    // Records not yet set still link into the ring, so no step follows a
    // null successor.
    for (RwInt32 i = 0; i < count; ++i) {
        array[i].next = i == count - 1 ? array : array + i + 1;
    }
    ext->interpolators = array;
    ext->numInterpolators = count;
    return geometry;
}

RpGeometry *RpMorphGeometrySetInterpolator(RpGeometry *geometry, RwInt32 index, RwInt32 startTarget,
                                           RwInt32 endTarget, RwReal duration)
{
    GeometryExt *ext = GeomExt(geometry);
    if (index < 0 || index >= ext->numInterpolators || !RecordValid(geometry, startTarget, endTarget, duration)) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    RpMorphInterpolator *array = ext->interpolators;
    array[index] = {0, static_cast<RwUInt16>(startTarget), static_cast<RwUInt16>(endTarget), duration, 1.0f / duration,
                    index == ext->numInterpolators - 1 ? array : array + index + 1};
    return geometry;
}

RwInt32 RpMorphGeometryGetNumInterpolators(const RpGeometry *geometry) { return GeomExt(geometry)->numInterpolators; }

RpGeometry *RpMorphGeometrySetCallBack(RpGeometry *geometry, RpMorphGeometryCallBack callback)
{
    GeomExt(geometry)->callback = callback != nullptr ? callback : RpMorphGeometryDefaultEndCallback;
    return geometry;
}

RwReal RpMorphGeometryDefaultEndCallback(RpAtomic *atomic, RwReal position)
{
    AtomicExt *ext = AtomExt(atomic);
    RwReal left = position - ext->current->time;
    ext->current = ext->current->next;
    return left < 0.0f ? 0.0f : left;
}

RpAtomic *RpMorphAtomicSetCurrentInterpolator(RpAtomic *atomic, RwInt32 index)
{
    if (atomic->geometry == nullptr) {
        RwErrorReport(rpMORPHPLUGINID, E_RP_MORPH_NOGEOMETRY);
        return nullptr;
    }
    GeometryExt *geom = GeomExt(atomic->geometry);
    if (index < 0 || index >= geom->numInterpolators) {
        RwErrorReportCommon(E_RW_NULLP);
        return nullptr;
    }
    AtomicExt *ext = AtomExt(atomic);
    ext->geometry = atomic->geometry;
    ext->current = geom->interpolators + index;
    ext->position = 0.0f;
    Refresh(atomic, ext->current, 0.0f);
    return atomic;
}

RwInt32 RpMorphAtomicGetCurrentInterpolator(RpAtomic *atomic)
{
    if (atomic->geometry == nullptr) {
        RwErrorReport(rpMORPHPLUGINID, E_RP_MORPH_NOGEOMETRY);
        return -1;
    }
    const GeometryExt *geom = GeomExt(atomic->geometry);
    const AtomicExt *ext = AtomExt(atomic);
    if (geom->numInterpolators < 1 || ext->geometry != atomic->geometry || ext->current == nullptr) {
        return -1;
    }
    std::ptrdiff_t index = ext->current - geom->interpolators;
    return index >= 0 && index < geom->numInterpolators ? static_cast<RwInt32>(index) : -1;
}

RpAtomic *RpMorphAtomicSetTime(RpAtomic *atomic, RwReal time)
{
    if (Prepare(atomic) == nullptr) {
        return nullptr;
    }
    AtomicExt *ext = AtomExt(atomic);
    if (ext->current == nullptr) {
        return atomic;
    }
    ext->position = time;
    Refresh(atomic, ext->current, time);
    return atomic;
}

RpAtomic *RpMorphAtomicAddTime(RpAtomic *atomic, RwReal deltaTime)
{
    GeometryExt *geom = Prepare(atomic);
    if (geom == nullptr) {
        return nullptr;
    }
    AtomicExt *ext = AtomExt(atomic);
    if (ext->current == nullptr) {
        return atomic;
    }
    RwReal position = ext->position + deltaTime;
    // Whole turns of the ring change nothing but cost a step per record;
    // a position far past the ring's length would never be worked off.
    if (geom->callback == RpMorphGeometryDefaultEndCallback && position > ext->current->time) {
        RwReal ring = RingLength(ext->current, geom->numInterpolators);
        if (ring > 0.0f && position > ring) {
            position = ring + std::fmod(position, ring);
        }
    }
    // Zero-length records (never set, or made by a custom end callback)
    // could carry the position round for ever: a bounded number of steps,
    // then the position stops at the current record's end.
    RwInt32 steps = 4 * geom->numInterpolators + 4;
    while (position > ext->current->time) {
        if (steps-- == 0) {
            position = ext->current->time;
            break;
        }
        position = geom->callback(atomic, position);
        if (ext->current == nullptr) {
            return atomic;
        }
    }
    ext->position = position;
    Refresh(atomic, ext->current, position);
    return atomic;
}

RwReal RpMorphAtomicGetPosition(const RpAtomic *atomic) { return AtomExt(atomic)->position; }

RpMorphBlockList *RpMorphBlockListDestroy(RpMorphBlockList *list)
{
    if (list == nullptr) {
        return nullptr;
    }
    for (RwInt32 i = 0; i < list->count; ++i) {
        if (list->entries[i].block != nullptr) {
            RwFree(list->entries[i].block);
        }
    }
    RwFree(list);
    return nullptr;
}
