// Morph-target animation: a ring of interpolators stored with a geometry,
// each naming a start and an end morph target and a duration, and the
// atomic's position in the current one, which the geometry pipeline turns
// into a blend of the two targets. Also the small owned-block list that
// effects free with RpMorphBlockListDestroy.
#pragma once

#include "rpworld.h"
#include "rwtypes.h"

static constexpr RwUInt32 rpMORPHPLUGINID = 0x105;
// Private error code: a morph operation on an atomic without a geometry.
static constexpr RwInt32 E_RP_MORPH_NOGEOMETRY = 1;

struct RpMorphInterpolator {
    RwUInt32 flags;
    RwUInt16 startMorphTarget;
    RwUInt16 endMorphTarget;
    RwReal time;
    RwReal recipTime;
    RpMorphInterpolator *next;
};

// (atomic, position past the current interpolator's end) -> new position;
// may change the current interpolator.
typedef RwReal (*RpMorphGeometryCallBack)(RpAtomic *atomic, RwReal position);

RwBool RpMorphPluginAttach(void);
RpGeometry *RpMorphGeometryCreateInterpolators(RpGeometry *geometry, RwInt32 count);
// Null (E_RW_NULLP) for an index outside the array, a target the geometry
// does not have, or a duration that is not positive.
RpGeometry *RpMorphGeometrySetInterpolator(RpGeometry *geometry, RwInt32 index, RwInt32 startTarget,
                                           RwInt32 endTarget, RwReal duration);
RwInt32 RpMorphGeometryGetNumInterpolators(const RpGeometry *geometry);
RpGeometry *RpMorphGeometrySetCallBack(RpGeometry *geometry, RpMorphGeometryCallBack callback);
RwReal RpMorphGeometryDefaultEndCallback(RpAtomic *atomic, RwReal position);
RpAtomic *RpMorphAtomicSetCurrentInterpolator(RpAtomic *atomic, RwInt32 index);
RwInt32 RpMorphAtomicGetCurrentInterpolator(RpAtomic *atomic);
RpAtomic *RpMorphAtomicSetTime(RpAtomic *atomic, RwReal time);
RpAtomic *RpMorphAtomicAddTime(RpAtomic *atomic, RwReal deltaTime);
RwReal RpMorphAtomicGetPosition(const RpAtomic *atomic);

// A list record: a count and that many entries, each a count and an owned
// block; the entries share the list record's allocation.
struct RpMorphBlock {
    RwInt32 count;
    void *block;
};
struct RpMorphBlockList {
    RwInt32 count;
    RpMorphBlock *entries;
};
RpMorphBlockList *RpMorphBlockListDestroy(RpMorphBlockList *list);
