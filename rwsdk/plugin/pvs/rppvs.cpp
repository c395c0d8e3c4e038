// The PVS plug-in's attach and extensions, the cell boxes and cell grid it
// derives from the world's BSP, and the visibility test. Cells may be flat
// (a sector squeezed to no extent on an axis): their grid step is clamped
// instead of being taken from the logarithm of an infinite ratio.
#include <cmath>

#include "plugin/pvs/pvsprivate.h"
#include "rwerror.h"
#include "rwmemory.h"

namespace {

RwInt32 worldOffset = -1;
RwInt32 sectorOffset = -1;

// Deepest BSP the cell-box recursion follows; the world reader accepts far
// shallower trees.
constexpr RwInt32 kMaxCellDepth = 256;

RpWorldSector *CountSector(RpWorldSector *sector, void *data)
{
    if (sector == nullptr) {
        RwErrorReport(static_cast<RwInt32>(rwID_PVSPLUGIN), E_RW_NULLP);
        return nullptr;
    }
    ++*static_cast<RwInt32 *>(data);
    return sector;
}

void CellBoxes(RpSector *node, const RwBBox &box, RwInt32 depth)
{
    if (node == nullptr || depth > kMaxCellDepth) {
        return;
    }
    if (node->type < 0) {
        auto *sector = reinterpret_cast<RpWorldSector *>(node);
        RpPVSSectorData *pvs = RpPVSSectorGetData(sector);
        pvs->cellBox = box;
        pvs->sectorBox = sector->boundingBox;
        RwV3d extent;
        RwV3dSub(&extent, &box.sup, &box.inf);
        pvs->cellDiagonal = RwFastSqrt(RwV3dDotProduct(&extent, &extent));
        return;
    }
    if (node->type != 0 && node->type != 4 && node->type != 8) {
        return;
    }
    const auto *plane = reinterpret_cast<const RpPlaneSector *>(node);
    const RwInt32 axis = node->type / 4;
    RwBBox left = box, right = box;
    (&left.sup.x)[axis] = plane->value;
    (&right.inf.x)[axis] = plane->value;
    CellBoxes(plane->leftSubTree, left, depth + 1);
    CellBoxes(plane->rightSubTree, right, depth + 1);
}

// -trunc(log2(largest / extent)): 0 for the widest axis, negative for the
// narrower ones, and the clamp for an axis too thin (or too odd) to have a
// finite ratio.
RwInt32 GridStep(RwReal largest, RwReal extent)
{
    if (extent >= largest) {
        return 0;
    }
    const RwReal ratio = largest / extent;
    if (!(extent > 0.0f) || !std::isfinite(ratio)) {
        return rpPVSMINCELLGRID;
    }
    const RwReal lg = std::log2(ratio);
    if (!(lg < static_cast<RwReal>(-rpPVSMINCELLGRID))) {
        return rpPVSMINCELLGRID;
    }
    return -static_cast<RwInt32>(std::trunc(lg));
}

void FreeBuildList(RpPVSWorldData *pvs)
{
    RpPVSBuildRecord *record = pvs->buildList;
    while (record != nullptr) {
        RpPVSBuildEntry *entry = record->entries;
        while (entry != nullptr) {
            RpPVSBuildEntry *next = entry->next;
            RwFree(entry);
            entry = next;
        }
        RpPVSBuildRecord *next = record->next;
        RwFree(record);
        record = next;
    }
    pvs->buildList = nullptr;
}

}  // namespace

RpPVSWorldData *RpPVSWorldGetData(const RpWorld *world)
{
    return reinterpret_cast<RpPVSWorldData *>(const_cast<RwUInt8 *>(reinterpret_cast<const RwUInt8 *>(world)) +
                                              worldOffset);
}

RpPVSSectorData *RpPVSSectorGetData(const RpWorldSector *sector)
{
    return reinterpret_cast<RpPVSSectorData *>(const_cast<RwUInt8 *>(reinterpret_cast<const RwUInt8 *>(sector)) +
                                               sectorOffset);
}

RwInt32 RpPVSWorldCountSectors(RpWorld *world)
{
    if (world == nullptr) {
        RwErrorReport(static_cast<RwInt32>(rwID_PVSPLUGIN), E_RW_NULLP);
        return -1;
    }
    RwInt32 count = 0;
    RpWorldForAllWorldSectors(world, CountSector, &count);
    return count;
}

void RpPVSComputeCellBoxes(RpSector *node, const RwBBox *box) { CellBoxes(node, *box, 0); }

RpWorldSector *RpPVSComputeCellGrid(RpWorldSector *sector, void *)
{
    RpPVSSectorData *pvs = RpPVSSectorGetData(sector);
    const RwBBox &cell = pvs->cellBox;
    RwV3d extent;
    RwV3dSub(&extent, &cell.sup, &cell.inf);
    RwV3dAdd(&pvs->cellCentre, &cell.sup, &cell.inf);
    RwV3dScale(&pvs->cellCentre, &pvs->cellCentre, 0.5f);
    const RwReal largest = std::fmax(extent.x, std::fmax(extent.y, extent.z));
    pvs->cellGrid[0] = GridStep(largest, extent.x);
    pvs->cellGrid[1] = GridStep(largest, extent.y);
    pvs->cellGrid[2] = GridStep(largest, extent.z);
    return sector;
}

// Sector count, cell boxes and grid: done when a world is made and again
// when its visibility data has been read.
void rpPVSWorldDeriveCells(RpWorld *world)
{
    RpPVSWorldGetData(world)->numSectors = RpPVSWorldCountSectors(world);
    RpPVSComputeCellBoxes(world->rootSector, &world->boundingBox);
    RpWorldForAllWorldSectors(world, RpPVSComputeCellGrid, nullptr);
}

RwBool RpPVSWorldSectorVisible(RpWorld *world, const RpWorldSector *viewer, const RpWorldSector *sector)
{
    const RpPVSSectorData *from = RpPVSSectorGetData(viewer);
    const RwInt32 id = RpPVSSectorGetData(sector)->id;
    RwBool visible = TRUE;
    if (from->map != nullptr && id >= 0 && static_cast<RwUInt32>(id >> 3) < from->mapSize) {
        visible = (from->map[id >> 3] >> (id & 7) & 1u) != 0;
    }
    RpPVSWorldData *pvs = RpPVSWorldGetData(world);
    pvs->polygonsTested += sector->numPolygons;
    if (visible) {
        pvs->polygonsVisible += sector->numPolygons;
    }
    return visible;
}

void *RpPVSWorldInit(void *object, RwInt32 offset, RwInt32)
{
    auto *world = static_cast<RpWorld *>(object);
    *reinterpret_cast<RpPVSWorldData *>(static_cast<RwUInt8 *>(object) + offset) = {};
    rpPVSWorldDeriveCells(world);
    return object;
}

void *RpPVSWorldDestroyData(void *object, RwInt32 offset, RwInt32)
{
    auto *world = static_cast<RpWorld *>(object);
    auto *pvs = reinterpret_cast<RpPVSWorldData *>(static_cast<RwUInt8 *>(object) + offset);
    if (pvs->hooked != 0) {
        RpWorldSetSectorRenderCallBack(world, pvs->savedSectorRenderCallback);
        pvs->hooked = 0;
        pvs->savedSectorRenderCallback = nullptr;
    }
    if (pvs->buildDataPresent != 0) {
        FreeBuildList(pvs);
        pvs->buildDataPresent = 0;
    }
    return object;
}

void *RpPVSSectorInit(void *object, RwInt32 offset, RwInt32)
{
    auto *pvs = reinterpret_cast<RpPVSSectorData *>(static_cast<RwUInt8 *>(object) + offset);
    *pvs = {};
    pvs->id = -1;
    pvs->reserved[1] = 3;
    return object;
}

void *RpPVSSectorDestroyData(void *object, RwInt32 offset, RwInt32)
{
    auto *pvs = reinterpret_cast<RpPVSSectorData *>(static_cast<RwUInt8 *>(object) + offset);
    pvs->id = -1;
    pvs->mapWord = 0;
    RwFree(pvs->map);
    pvs->map = nullptr;
    pvs->mapSize = 0;
    return object;
}

RwBool RpPVSPluginAttach(void)
{
    worldOffset = RpWorldRegisterPlugin(static_cast<RwInt32>(sizeof(RpPVSWorldData)), rwID_PVSPLUGIN, RpPVSWorldInit,
                                        RpPVSWorldDestroyData, nullptr);
    if (worldOffset < 0 || RpWorldRegisterPluginStream(rwID_PVSPLUGIN, RpPVSWorldStreamRead, RpPVSWorldStreamWrite,
                                                       RpPVSWorldStreamGetSize) < 0) {
        return FALSE;
    }
    sectorOffset = RpWorldSectorRegisterPlugin(static_cast<RwInt32>(sizeof(RpPVSSectorData)), rwID_PVSPLUGIN,
                                               RpPVSSectorInit, RpPVSSectorDestroyData, nullptr);
    return sectorOffset >= 0 && RpWorldSectorRegisterPluginStream(rwID_PVSPLUGIN, RpPVSSectorStreamRead,
                                                                  RpPVSSectorStreamWrite, RpPVSSectorStreamGetSize) >= 0;
}
