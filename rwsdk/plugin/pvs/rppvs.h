// The potentially-visible-set plug-in: per world sector a bit map of the
// sectors visible from it and the box of the sector's cell in the world's
// BSP, carried in world streams and kept with the world, and the test that
// asks a viewer sector's map whether another sector can be seen.
#pragma once

#include "rpworldsector.h"

static constexpr RwUInt32 rwID_PVSPLUGIN = 0x12A;

// Private error code (plug-in id 0x12A): visibility data that does not fit
// the world it came with.
static constexpr RwInt32 E_RP_PVS_BADDATA = 1;

// Build bookkeeping a world may hold: records chained through `next`, each
// with its own chain of entries.
struct RpPVSBuildEntry {
    RpWorldSector *sector;
    RwInt32 polygon;
    RwReal weight;
    RpPVSBuildEntry *next;
};

struct RpPVSBuildRecord {
    RpWorldSector *sector;
    RpPVSBuildEntry *entries;
    RpPVSBuildRecord *next;
};

// The world extension.
struct RpPVSWorldData {
    RwInt32 pvsPresent;  // streamed; the world carries data when positive
    RwInt32 buildDataPresent;
    RwInt32 numSectors;
    RwInt32 polygonsTested;
    RwInt32 polygonsVisible;
    RwInt32 hooked;  // streamed, cleared after reading
    RwUInt32 reserved[3];
    RpPVSBuildRecord *buildList;
    RpWorldSectorCallBackRender savedSectorRenderCallback;
};

// The sector extension.
struct RpPVSSectorData {
    RwInt32 id;  // -1: none
    RwUInt32 mapSize;
    RwUInt32 mapWord;
    RwUInt8 *map;  // bit (n & 7) of byte n >> 3: the sector with id n
    RwUInt32 reserved[3];
    RwBBox cellBox;
    RwBBox sectorBox;
    RwReal cellDiagonal;
    RwV3d cellCentre;
    RwInt32 cellGrid[3];
};

// The most negative cell-grid step: what an axis with no extent gets.
static constexpr RwInt32 rpPVSMINCELLGRID = -127;

RwBool RpPVSPluginAttach(void);

RpPVSWorldData *RpPVSWorldGetData(const RpWorld *world);
RpPVSSectorData *RpPVSSectorGetData(const RpWorldSector *sector);

// Leaf count of a world; -1 with (0x12A, null argument) for a null world.
RwInt32 RpPVSWorldCountSectors(RpWorld *world);
// Gives every leaf under `node` its cell, starting from `box`.
void RpPVSComputeCellBoxes(RpSector *node, const RwBBox *box);
// The cell's centre and per-axis grid step of one sector.
RpWorldSector *RpPVSComputeCellGrid(RpWorldSector *sector, void *data);

// Whether `sector` is visible from `viewer` according to the viewer's map:
// with no map, or an id the map does not cover, it is. Counts the sector's
// polygons in the world's tested and visible counters.
RwBool RpPVSWorldSectorVisible(RpWorld *world, const RpWorldSector *viewer, const RpWorldSector *sector);

// Extension callbacks.
void *RpPVSWorldInit(void *object, RwInt32 offset, RwInt32 size);
void *RpPVSWorldDestroyData(void *object, RwInt32 offset, RwInt32 size);
void *RpPVSSectorInit(void *object, RwInt32 offset, RwInt32 size);
void *RpPVSSectorDestroyData(void *object, RwInt32 offset, RwInt32 size);
RwStream *RpPVSWorldStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32 size);
RwStream *RpPVSWorldStreamWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset,
                                RwInt32 size);
RwInt32 RpPVSWorldStreamGetSize(const void *object, RwInt32 offset, RwInt32 size);
RwStream *RpPVSSectorStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32 size);
RwStream *RpPVSSectorStreamWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset,
                                 RwInt32 size);
RwInt32 RpPVSSectorStreamGetSize(const void *object, RwInt32 offset, RwInt32 size);
