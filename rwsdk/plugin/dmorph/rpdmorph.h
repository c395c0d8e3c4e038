// Delta morphing: sparse per-geometry delta targets (offsets to positions,
// normals, prelit colours and texture coordinates of some vertices, chosen
// by a run map) and per-atomic target weights, applied to the geometry's
// vertices by the atomic's render callback whenever a weight changes.
#pragma once

#include "rpworld.h"
#include "rwtypes.h"

static constexpr RwUInt32 rpDMORPHPLUGINID = 0x122;

// What a delta target carries.
static constexpr RwUInt32 rpDMORPHPOSITIONS = 0x02;
static constexpr RwUInt32 rpDMORPHTEXCOORDS = 0x04;
static constexpr RwUInt32 rpDMORPHPRELIGHT = 0x08;
static constexpr RwUInt32 rpDMORPHNORMALS = 0x10;

struct RpDeltaMorphTarget {
    RpGeometry *geometry;
    RwChar *name;
    RwUInt32 dataFlags;
    RwUInt32 lockFlags;
    RwUInt8 *map;
    RwUInt32 mapSize;
    RwUInt32 numPoints;
    void *data;
    RwV3d *positions;
    RwV3d *normals;
    RwRGBA *colours;
    RwTexCoords *texCoords;
    RwSphere boundingSphere;
};

struct RpDeltaMorphGeometryData {
    RwUInt32 numTargets;
    RpDeltaMorphTarget *targets;
    RwReal *lastWeights;  // follows the targets in their allocation
};

RwBool RpDeltaMorphPluginAttach(void);
RwUInt32 RpDeltaMorphGeometryGetNumTargets(const RpGeometry *geometry);
RpDeltaMorphGeometryData *RpDeltaMorphGeometryGetData(const RpGeometry *geometry);
// Weights of the atomic (one per target of its geometry once it was read
// with delta targets); null when it has none.
RwReal *RpDeltaMorphAtomicGetWeights(const RpAtomic *atomic);
RwUInt32 RpDeltaMorphAtomicGetNumWeights(const RpAtomic *atomic);
// Sets up an atomic the way reading it does: weights sized by its
// geometry's targets and the applying render callback installed.
RpAtomic *RpDeltaMorphAtomicSetup(RpAtomic *atomic);
RpAtomic *RpDeltaMorphAtomicRender(RpAtomic *atomic);

// Geometry stream callbacks (extension 0x122).
RwStream *RpDeltaMorphGeometryStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset,
                                         RwInt32 size);
RwStream *RpDeltaMorphGeometryStreamWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset,
                                          RwInt32 size);
RwInt32 RpDeltaMorphGeometryStreamGetSize(const void *object, RwInt32 offset, RwInt32 size);
