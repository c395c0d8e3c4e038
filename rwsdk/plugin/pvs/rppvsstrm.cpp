// PVS data in world streams: two words for the world, id, map size, a kept
// word and the map bytes for each sector. Sizes are weighed against the
// chunk before anything is allocated, and once the world's words are read
// every sector's id and map are checked against the world's sector count.
#include "plugin/pvs/pvsprivate.h"
#include "rwerror.h"
#include "rwmemory.h"
#include "rwstream.h"

namespace {

constexpr RwInt32 kWorldBytes = 8;
constexpr RwInt32 kSectorHeaderBytes = 12;

void ReportBadData() { RwErrorReport(static_cast<RwInt32>(rwID_PVSPLUGIN), E_RP_PVS_BADDATA); }

RpPVSWorldData *WorldData(const void *object, RwInt32 offset)
{
    return reinterpret_cast<RpPVSWorldData *>(const_cast<RwUInt8 *>(static_cast<const RwUInt8 *>(object)) + offset);
}

RpPVSSectorData *SectorData(const void *object, RwInt32 offset)
{
    return reinterpret_cast<RpPVSSectorData *>(const_cast<RwUInt8 *>(static_cast<const RwUInt8 *>(object)) + offset);
}

struct SectorCheck {
    RwInt32 numSectors;
    RwUInt8 *idSeen;
    RwBool ok;
};

// A sector's id names one sector of this world, no other sector has it, and
// its map has a bit for every sector.
RpWorldSector *CheckSector(RpWorldSector *sector, void *data)
{
    auto *check = static_cast<SectorCheck *>(data);
    const RpPVSSectorData *pvs = RpPVSSectorGetData(sector);
    if (pvs->id == -1) {
        return sector;
    }
    const RwUInt32 needed = (static_cast<RwUInt32>(check->numSectors) + 7u) / 8u;
    if (pvs->id < 0 || pvs->id >= check->numSectors || check->idSeen[pvs->id] != 0 || pvs->mapSize < needed ||
        pvs->map == nullptr) {
        check->ok = FALSE;
        return nullptr;
    }
    check->idSeen[pvs->id] = 1;
    return sector;
}

RwBool SectorsFitWorld(RpWorld *world, RwInt32 numSectors)
{
    if (numSectors <= 0) {
        return numSectors == 0;
    }
    SectorCheck check = {numSectors, static_cast<RwUInt8 *>(RwCalloc(static_cast<size_t>(numSectors), 1)), TRUE};
    if (check.idSeen == nullptr) {
        RwErrorReport(static_cast<RwInt32>(rwID_PVSPLUGIN), E_RW_NOMEM);
        return FALSE;
    }
    RpWorldForAllWorldSectors(world, CheckSector, &check);
    RwFree(check.idSeen);
    if (!check.ok) {
        ReportBadData();
    }
    return check.ok;
}

}  // namespace

RwStream *RpPVSWorldStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32)
{
    auto *world = static_cast<RpWorld *>(object);
    RpPVSWorldData *pvs = WorldData(object, offset);
    if (length < kWorldBytes) {
        ReportBadData();
        return nullptr;
    }
    if (!RwStreamReadInt32(stream, &pvs->pvsPresent) || !RwStreamReadInt32(stream, &pvs->hooked)) {
        return nullptr;
    }
    if (length > kWorldBytes && RwStreamSkip(stream, static_cast<RwUInt32>(length - kWorldBytes)) == nullptr) {
        return nullptr;
    }
    // Nothing in this engine hooks the world's render callback, so the
    // stored state names nothing to restore.
    pvs->hooked = 0;
    rpPVSWorldDeriveCells(world);
    return SectorsFitWorld(world, pvs->numSectors) ? stream : nullptr;
}

RwStream *RpPVSWorldStreamWrite(RwStream *stream, RwInt32, const void *object, RwInt32 offset, RwInt32)
{
    const RpPVSWorldData *pvs = WorldData(object, offset);
    if (RwStreamWriteInt32(stream, pvs->pvsPresent) == nullptr || RwStreamWriteInt32(stream, pvs->hooked) == nullptr) {
        return nullptr;
    }
    return stream;
}

RwInt32 RpPVSWorldStreamGetSize(const void *object, RwInt32 offset, RwInt32)
{
    return WorldData(object, offset)->pvsPresent > 0 ? kWorldBytes : 0;
}

RwStream *RpPVSSectorStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32)
{
    RpPVSSectorData *pvs = SectorData(object, offset);
    // A second chunk for the same sector replaces the first.
    RwFree(pvs->map);
    pvs->map = nullptr;
    pvs->mapSize = 0;
    RwInt32 id = -1;
    RwUInt32 mapSize = 0, mapWord = 0;
    if (length < kSectorHeaderBytes) {
        ReportBadData();
        return nullptr;
    }
    if (!RwStreamReadInt32(stream, &id) || !RwStreamReadUInt32(stream, &mapSize) ||
        !RwStreamReadUInt32(stream, &mapWord)) {
        return nullptr;
    }
    if (id < -1 || mapSize != static_cast<RwUInt32>(length - kSectorHeaderBytes)) {
        ReportBadData();
        return nullptr;
    }
    RwUInt8 *map = nullptr;
    if (mapSize > 0) {
        map = static_cast<RwUInt8 *>(RwMalloc(mapSize));
        if (map == nullptr) {
            RwErrorReport(static_cast<RwInt32>(rwID_PVSPLUGIN), E_RW_NOMEM);
            return nullptr;
        }
        if (RwStreamRead(stream, map, mapSize) != mapSize) {
            RwFree(map);
            RwErrorReportCommon(E_RW_READ);
            return nullptr;
        }
    }
    pvs->id = id;
    pvs->mapSize = mapSize;
    pvs->mapWord = mapWord;
    pvs->map = map;
    return stream;
}

RwStream *RpPVSSectorStreamWrite(RwStream *stream, RwInt32, const void *object, RwInt32 offset, RwInt32)
{
    const RpPVSSectorData *pvs = SectorData(object, offset);
    if (RwStreamWriteInt32(stream, pvs->id) == nullptr || RwStreamWriteUInt32(stream, pvs->mapSize) == nullptr ||
        RwStreamWriteUInt32(stream, pvs->mapWord) == nullptr) {
        return nullptr;
    }
    if (pvs->mapSize > 0 && RwStreamWrite(stream, pvs->map, pvs->mapSize) == nullptr) {
        return nullptr;
    }
    return stream;
}

RwInt32 RpPVSSectorStreamGetSize(const void *object, RwInt32 offset, RwInt32)
{
    const RpPVSSectorData *pvs = SectorData(object, offset);
    return pvs->id != -1 ? kSectorHeaderBytes + static_cast<RwInt32>(pvs->mapSize) : 0;
}
