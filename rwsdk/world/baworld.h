// Private seams between the world's source files: the world module's
// block (world records and current pipelines), the world-object block
// (tie free lists), the offsets of the membership extensions, and the
// BSP walk shared by the atomic and light sync hooks.
#pragma once

#include "rpworldsector.h"

struct RwFreeList;
struct RwPipeline;

// One world known to the engine, with the bytes its single block spans.
struct rpWorldRecord {
    RpWorld *world;
    RwUInt32 blockSize;
    rpWorldRecord *next;
};

struct rpWorldGlobals {
    RwFreeList *recordFreeList;
    rpWorldRecord *worlds;
    RwPipeline *currentAtomicPipeline;
    RwPipeline *currentSectorPipeline;
    RwPipeline *defaultAtomicPipeline;
    RwPipeline *defaultSectorPipeline;
};

struct rpWorldObjGlobals {
    RwFreeList *atomicTieFreeList;
    RwFreeList *lightTieFreeList;
    RwUInt32 reserved;
};

rpWorldGlobals *rpWorldGetGlobals(void);
rpWorldObjGlobals *rpWorldObjGetGlobals(void);

// Records a world (and the size of its single block, 0 when it has none).
RwBool rpWorldRecordAdd(RpWorld *world, RwUInt32 blockSize);
void rpWorldRecordRemove(RpWorld *world);

// Membership extensions of atomics, lights, clumps and cameras.
RpAtomicWorldExt *rpAtomicWorldExt(const RpAtomic *atomic);
RpLightWorldExt *rpLightWorldExt(const RpLight *light);
RpClumpWorldExt *rpClumpWorldExt(const RpClump *clump);
RpCameraWorldExt *rpCameraWorldExt(const RwCamera *camera);

// Drops every tie of an atomic or a light.
void rpAtomicRemoveTies(RpAtomic *atomic);
void rpLightRemoveTies(RpLight *light);
// Frees the ties that hang off a leaf (world destruction).
void rpWorldSectorRemoveTies(RpWorldSector *sector);

// Every leaf whose region the box reaches, from the root, with an explicit
// stack; stops and returns false when the callback fails.
typedef RwBool (*rpSectorVisit)(RpWorldSector *sector, void *data);
RwBool rpWorldForSectorsInBox(const RpWorld *world, const RwBBox *box, rpSectorVisit visit, void *data);

// Region boxes of every leaf, cut from the world's box by the planes.
void rpWorldSetRegionBoxes(RpWorld *world);

// Frees one leaf's arrays when the leaf owns them (separately allocated tree).
void rpWorldSectorFreeArrays(RpWorldSector *sector);

// Fresh world and leaf records (plug-in data not yet constructed).
void rpWorldInitRecord(RpWorld *world);
void rpWorldInitLeaf(RpWorldSector *sector, const RwBBox *box);

// Registers the leaves' bin-mesh and native-data extensions (and the
// geometry's native data).
RwBool rpWorldSectorAttachStreams(void);

// Destroys a world; `constructed` says whether the world's own plug-in
// data was constructed (a reader failing earlier has not).
void rpWorldDestroyTree(RpWorld *world, RwBool constructed);

// Registers the pipeline-owner data of worlds and leaves.
RwBool rpWorldAttachOwnerStreams(void);

// Deepest BSP the traversal stacks accept.
static constexpr RwInt32 rpWORLDMAXBSPDEPTH = 64;
