// The world chunk reader. A world read from a stream is one allocation
// holding the record, every leaf and plane node and all vertex and
// triangle arrays; every count in the file is checked against what the
// world struct declared and what the enclosing chunk still holds before
// any of that space is handed out.
#include <algorithm>
#include <cstring>

#include "rwerror.h"
#include "rwmemory.h"
#include "rwstream.h"
#include "world/bamodules.h"
#include "world/baworld.h"

namespace {

constexpr RwUInt32 kBoxFromStructVersion = 0x34003;
constexpr RwUInt32 kSurfacePropsLastVersion = 0x34000;

size_t Align(size_t size) { return (size + 7) & ~static_cast<size_t>(7); }

// What the world struct declared, and the space still to hand out.
struct Reader {
    RpWorld *world;
    RwUInt8 *next;
    RwInt32 sectorsLeft;
    RwInt32 planesLeft;
    RwInt64 verticesLeft;
    RwInt64 trianglesLeft;
    RwBool native;
};

void *Carve(Reader *r, size_t size)
{
    void *at = r->next;
    r->next += Align(size);
    return at;
}

RwBool Fail(RwInt32 code)
{
    RwErrorReport(rwID_WORLD, code);
    return FALSE;
}

RwUInt16 U16(const RwUInt8 *bytes) { return static_cast<RwUInt16>(bytes[0] | (bytes[1] << 8)); }

RwBool ReadSectorReals(RwStream *stream, RwReal *out, RwUInt32 count)
{
    for (RwUInt32 i = 0; i < count; ++i) {
        if (!RwStreamReadReal(stream, &out[i])) {
            return FALSE;
        }
    }
    return TRUE;
}

RwBool ReadBytes(RwStream *stream, void *out, RwUInt32 count)
{
    return RwStreamRead(stream, out, count) == count;
}

RwUInt32 LeafArrayBytes(const Reader &r, RwUInt32 nv, RwUInt32 nt)
{
    if (r.native) {
        return 0;
    }
    const RpWorld *w = r.world;
    RwUInt32 perVertex = 12 + ((w->flags & rpGEOMETRYNORMALS) ? 4 : 0) + ((w->flags & rpGEOMETRYPRELIT) ? 4 : 0) +
                         8 * static_cast<RwUInt32>(w->numTexCoordSets);
    return perVertex * nv + 8 * nt;
}

// The leaf's arrays, which follow its 44-byte header inside its struct.
RwBool ReadLeafArrays(RwStream *stream, Reader *r, RpWorldSector *leaf)
{
    const RpWorld *w = r->world;
    const RwUInt32 nv = leaf->numVertices;
    const RwUInt32 nt = leaf->numPolygons;
    if (r->native) {
        return TRUE;
    }
    if (nv > 0) {
        leaf->vertices = static_cast<RwV3d *>(Carve(r, 12 * static_cast<size_t>(nv)));
        if (!ReadSectorReals(stream, &leaf->vertices[0].x, 3 * nv)) {
            return FALSE;
        }
        if (w->flags & rpGEOMETRYNORMALS) {
            leaf->normals = static_cast<RpVertexNormal *>(Carve(r, 4 * static_cast<size_t>(nv)));
            if (!ReadBytes(stream, leaf->normals, 4 * nv)) {
                return FALSE;
            }
        }
        if (w->flags & rpGEOMETRYPRELIT) {
            leaf->preLitLum = static_cast<RwRGBA *>(Carve(r, 4 * static_cast<size_t>(nv)));
            if (!ReadBytes(stream, leaf->preLitLum, 4 * nv)) {
                return FALSE;
            }
        }
        for (RwInt32 s = 0; s < w->numTexCoordSets; ++s) {
            leaf->texCoords[s] = static_cast<RwTexCoords *>(Carve(r, 8 * static_cast<size_t>(nv)));
            if (!ReadSectorReals(stream, &leaf->texCoords[s][0].u, 2 * nv)) {
                return FALSE;
            }
        }
    }
    if (nt > 0) {
        leaf->polygons = static_cast<RpPolygon *>(Carve(r, 8 * static_cast<size_t>(nt)));
        for (RwUInt32 t = 0; t < nt; ++t) {
            RwUInt8 raw[8];
            if (!ReadBytes(stream, raw, 8)) {
                return FALSE;
            }
            RpPolygon &poly = leaf->polygons[t];
            poly = {U16(raw), {U16(raw + 2), U16(raw + 4), U16(raw + 6)}};
            if (poly.vertIndex[0] >= nv || poly.vertIndex[1] >= nv || poly.vertIndex[2] >= nv ||
                leaf->matListWindowBase + static_cast<RwInt32>(poly.matIndex) >= w->matList.numMaterials) {
                return FALSE;
            }
        }
    }
    return TRUE;
}

RwBool ReadLeafStruct(RwStream *stream, Reader *r, RpWorldSector *leaf)
{
    RwUInt32 length = 0;
    if (!RwStreamFindStruct(stream, &length, nullptr)) {
        return FALSE;
    }
    if (length < rpATOMICSECTSTRUCTSIZE) {
        return Fail(E_RW_READ);
    }
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RwUInt8 raw[rpATOMICSECTSTRUCTSIZE];
    RwBool ok = ReadBytes(stream, raw, sizeof(raw));
    if (ok) {
        const RwInt32 base = static_cast<RwInt32>(RwUInt32FromLE(raw));
        const RwInt32 nt = static_cast<RwInt32>(RwUInt32FromLE(raw + 4));
        const RwInt32 nv = static_cast<RwInt32>(RwUInt32FromLE(raw + 8));
        ok = base >= 0 && base <= 0xFFFF && nt >= 0 && nt <= 0xFFFF && nv >= 0 && nv <= 0xFFFF &&
             nv <= r->verticesLeft && nt <= r->trianglesLeft &&
             length - rpATOMICSECTSTRUCTSIZE >= LeafArrayBytes(*r, static_cast<RwUInt32>(nv), static_cast<RwUInt32>(nt));
        if (ok) {
            r->verticesLeft -= nv;
            r->trianglesLeft -= nt;
            leaf->matListWindowBase = static_cast<RwUInt16>(base);
            leaf->numPolygons = static_cast<RwUInt16>(nt);
            leaf->numVertices = static_cast<RwUInt16>(nv);
            leaf->tightBoundingBox.inf = {RwRealFromLE(raw + 12), RwRealFromLE(raw + 16), RwRealFromLE(raw + 20)};
            leaf->tightBoundingBox.sup = {RwRealFromLE(raw + 24), RwRealFromLE(raw + 28), RwRealFromLE(raw + 32)};
            ok = ReadLeafArrays(stream, r, leaf);
        }
        if (!ok) {
            RwErrorReport(rwID_WORLD, E_RW_READ);
        }
    } else {
        RwErrorReport(rwID_WORLD, E_RW_READ);
    }
    ok = ok && RwStreamSkipRest(stream);
    RwStreamLeaveChunk(stream, saved);
    return ok;
}

RwBool ReadAtomicSection(RwStream *stream, Reader *r, RpSector **out)
{
    if (r->sectorsLeft <= 0) {
        return Fail(E_RW_READ);
    }
    --r->sectorsLeft;
    RwPluginRegistry *registry = RpWorldSectorGetPluginRegistry();
    auto *leaf = static_cast<RpWorldSector *>(Carve(r, static_cast<size_t>(registry->sizeOfStruct)));
    rpWorldInitLeaf(leaf, &r->world->boundingBox);
    if (!ReadLeafStruct(stream, r, leaf)) {
        return FALSE;
    }
    if (RwPluginRegistryInitObject(registry, leaf) == nullptr) {
        return Fail(E_RW_NOMEM);
    }
    // From here the leaf is part of the tree, so a failure destroys it.
    *out = reinterpret_cast<RpSector *>(leaf);
    rpPipelineRightsClear();
    if (RwPluginRegistryReadData(registry, stream, leaf) == nullptr || !rpPipelineRightsApply(registry, leaf)) {
        return FALSE;
    }
    // A native leaf has no triangle array to build its mesh from: its
    // triangles exist only as the mesh its extension carried.
    if (r->native && leaf->numPolygons > 0 && leaf->mesh == nullptr) {
        return Fail(E_RW_READ);
    }
    return TRUE;
}

RwBool ReadSection(RwStream *stream, Reader *r, RwBool isLeaf, RpSector **out, RwInt32 depth);

RwBool ReadPlaneSection(RwStream *stream, Reader *r, RpSector **out, RwInt32 depth)
{
    if (r->planesLeft <= 0 || depth >= rpWORLDMAXBSPDEPTH) {
        return Fail(E_RW_READ);
    }
    --r->planesLeft;
    RwUInt32 length = 0;
    if (!RwStreamFindStruct(stream, &length, nullptr)) {
        return FALSE;
    }
    RwUInt8 raw[rpPLANESECTSTRUCTSIZE];
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RwBool ok = RwStreamReadRecord(stream, length, raw, sizeof(raw));
    RwStreamLeaveChunk(stream, saved);
    if (!ok) {
        return FALSE;
    }
    auto *plane = static_cast<RpPlaneSector *>(Carve(r, sizeof(RpPlaneSector)));
    plane->type = static_cast<RwInt32>(RwUInt32FromLE(raw));
    plane->value = RwRealFromLE(raw + 4);
    if (plane->type != 0 && plane->type != 4 && plane->type != 8) {
        return Fail(E_RW_READ);
    }
    if (r->world->flags & rpWORLDSECTORSOVERLAP) {
        plane->leftValue = RwRealFromLE(raw + 16);
        plane->rightValue = RwRealFromLE(raw + 20);
    } else {
        plane->leftValue = plane->value;
        plane->rightValue = plane->value;
    }
    *out = reinterpret_cast<RpSector *>(plane);
    return ReadSection(stream, r, RwUInt32FromLE(raw + 8) != 0, &plane->leftSubTree, depth + 1) &&
           ReadSection(stream, r, RwUInt32FromLE(raw + 12) != 0, &plane->rightSubTree, depth + 1);
}

RwBool ReadSection(RwStream *stream, Reader *r, RwBool isLeaf, RpSector **out, RwInt32 depth)
{
    RwUInt32 length = 0;
    if (!RwStreamFindChunk(stream, isLeaf ? rwID_ATOMICSECT : rwID_PLANESECT, &length, nullptr)) {
        return FALSE;
    }
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RwBool ok = isLeaf ? ReadAtomicSection(stream, r, out) : ReadPlaneSection(stream, r, out, depth);
    ok = ok && RwStreamSkipRest(stream);
    RwStreamLeaveChunk(stream, saved);
    return ok;
}

// The world struct's fields.
struct WorldHeader {
    RwBool rootIsSector;
    RwV3d inverseOrigin;
    RwInt32 numTriangles;
    RwInt32 numVertices;
    RwInt32 numPlanes;
    RwInt32 numSectors;
    RwInt32 collisionSize;
    RwUInt32 format;
    RwBBox box;
};

RwBool ReadWorldHeader(RwStream *stream, WorldHeader *h, RwUInt32 *version)
{
    RwUInt32 length = 0;
    if (!RwStreamFindStruct(stream, &length, version)) {
        return FALSE;
    }
    const RwBool withBox = *version > kSurfacePropsLastVersion;
    const RwUInt32 size = withBox ? rpWORLDSTRUCTSIZE : rpWORLDSTRUCTSIZEOLD;
    if (length < size) {
        return Fail(E_RW_READ);
    }
    RwUInt8 raw[rpWORLDSTRUCTSIZE];
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RwBool ok = RwStreamReadRecord(stream, length, raw, size);
    RwStreamLeaveChunk(stream, saved);
    if (!ok) {
        return FALSE;
    }
    const RwUInt8 *at = raw;
    h->rootIsSector = RwUInt32FromLE(at) != 0;
    h->inverseOrigin = {RwRealFromLE(at + 4), RwRealFromLE(at + 8), RwRealFromLE(at + 12)};
    at += withBox ? 16 : 28;  // old worlds carry three ignored surface values
    h->numTriangles = static_cast<RwInt32>(RwUInt32FromLE(at));
    h->numVertices = static_cast<RwInt32>(RwUInt32FromLE(at + 4));
    h->numPlanes = static_cast<RwInt32>(RwUInt32FromLE(at + 8));
    h->numSectors = static_cast<RwInt32>(RwUInt32FromLE(at + 12));
    h->collisionSize = static_cast<RwInt32>(RwUInt32FromLE(at + 16));
    h->format = RwUInt32FromLE(at + 20);
    if (withBox) {
        h->box.sup = {RwRealFromLE(at + 24), RwRealFromLE(at + 28), RwRealFromLE(at + 32)};
        h->box.inf = {RwRealFromLE(at + 36), RwRealFromLE(at + 40), RwRealFromLE(at + 44)};
    } else {
        h->box = {};
    }
    return TRUE;
}

RwInt32 SectorTexCoordSets(RwUInt32 format)
{
    RwInt32 sets = static_cast<RwInt32>((format & rpGEOMETRYTEXCOORDSETSMASK) >> 16);
    if (sets == 0) {
        sets = (format & rpGEOMETRYTEXTURED2) ? 2 : (format & rpGEOMETRYTEXTURED) ? 1 : 0;
    }
    return sets > rwMAXTEXTURECOORDS ? rwMAXTEXTURECOORDS : sets;
}

RwBool ReadMaterialList(RwStream *stream, RpWorld *world)
{
    RwUInt32 length = 0;
    if (!RwStreamFindChunk(stream, rwID_MATLIST, &length, nullptr)) {
        return FALSE;
    }
    RwUInt64 saved = RwStreamEnterChunk(stream, length);
    RwBool ok = RpMaterialListStreamRead(stream, &world->matList) != nullptr && RwStreamSkipRest(stream);
    RwStreamLeaveChunk(stream, saved);
    return ok;
}

struct BoxUnion {
    RwBBox box;
    RwBool empty;
};

RpWorldSector *AddTightBox(RpWorldSector *leaf, void *data)
{
    auto *u = static_cast<BoxUnion *>(data);
    const RwBBox &t = leaf->tightBoundingBox;
    if (u->empty) {
        u->box = t;
        u->empty = FALSE;
    } else {
        u->box.sup = {std::max(u->box.sup.x, t.sup.x), std::max(u->box.sup.y, t.sup.y), std::max(u->box.sup.z, t.sup.z)};
        u->box.inf = {std::min(u->box.inf.x, t.inf.x), std::min(u->box.inf.y, t.inf.y), std::min(u->box.inf.z, t.inf.z)};
    }
    return leaf;
}

}  // namespace

RpWorld *RpWorldStreamRead(RwStream *stream)
{
    WorldHeader h{};
    RwUInt32 version = 0;
    if (!ReadWorldHeader(stream, &h, &version)) {
        return nullptr;
    }
    if (h.collisionSize != 0) {
        RwErrorReport(rwID_WORLD, E_RW_BADVERSION);
        return nullptr;
    }
    // Every leaf, plane node, vertex and triangle has bytes of its own in
    // the rest of the stream, so the declared totals cannot exceed it.
    const RwBool native = (h.format & rpGEOMETRYNATIVE) != 0;
    if (h.numSectors < 1 || h.numPlanes < 0 || h.numVertices < 0 || h.numTriangles < 0 ||
        !RwStreamFits(stream, static_cast<RwUInt64>(h.numSectors) + static_cast<RwUInt64>(h.numPlanes),
                rwCHUNKHEADERSIZE * 2) ||
        (!native && (!RwStreamFits(stream, static_cast<RwUInt64>(h.numVertices), 12) ||
                     !RwStreamFits(stream, static_cast<RwUInt64>(h.numTriangles), 8)))) {
        RwErrorReport(rwID_WORLD, E_RW_READ);
        return nullptr;
    }
    const RwInt32 sets = SectorTexCoordSets(h.format);
    const RwPluginRegistry *worldReg = RpWorldGetPluginRegistry();
    const RwPluginRegistry *sectorReg = RpWorldSectorGetPluginRegistry();
    size_t size = Align(static_cast<size_t>(worldReg->sizeOfStruct)) +
                  Align(static_cast<size_t>(sectorReg->sizeOfStruct)) * static_cast<size_t>(h.numSectors) +
                  Align(sizeof(RpPlaneSector)) * static_cast<size_t>(h.numPlanes);
    if (!native) {
        const size_t perVertex = 12 + ((h.format & rpGEOMETRYNORMALS) ? 4 : 0) +
                                 ((h.format & rpGEOMETRYPRELIT) ? 4 : 0) + 8 * static_cast<size_t>(sets);
        // Each leaf's arrays are padded to 8 bytes on their own.
        size += perVertex * static_cast<size_t>(h.numVertices) + 8 * static_cast<size_t>(h.numTriangles) +
                static_cast<size_t>(h.numSectors) * 8 * (4 + static_cast<size_t>(sets));
    }
    auto *block = static_cast<RwUInt8 *>(RwMalloc(size));
    if (block == nullptr) {
        RwErrorReport(rwID_WORLD, E_RW_NOMEM);
        return nullptr;
    }
    std::memset(block, 0, size);
    auto *world = reinterpret_cast<RpWorld *>(block);
    rpWorldInitRecord(world);
    world->object.privateFlags = rpWORLDSINGLEMALLOC;
    world->flags = h.format & ~rpGEOMETRYTEXCOORDSETSMASK;
    world->numTexCoordSets = sets;
    world->worldOrigin = {-h.inverseOrigin.x, -h.inverseOrigin.y, -h.inverseOrigin.z};
    world->boundingBox = h.box;
    if (!rpWorldRecordAdd(world, static_cast<RwUInt32>(size))) {
        RwFree(block);
        return nullptr;
    }
    Reader reader{world, block + Align(static_cast<size_t>(worldReg->sizeOfStruct)), h.numSectors, h.numPlanes,
                  h.numVertices, h.numTriangles, native};
    if (!ReadMaterialList(stream, world) ||
        !ReadSection(stream, &reader, h.rootIsSector, &world->rootSector, 0)) {
        rpWorldDestroyTree(world, FALSE);
        return nullptr;
    }
    if (version < kBoxFromStructVersion) {
        BoxUnion u{{}, TRUE};
        RpWorldForAllWorldSectors(world, AddTightBox, &u);
        world->boundingBox = u.box;
    }
    rpWorldSetRegionBoxes(world);
    world->renderCallBack = RpWorldSectorDefaultRenderCallBack;
    if (RwPluginRegistryInitObject(worldReg, world) == nullptr) {
        rpWorldDestroyTree(world, FALSE);
        return nullptr;
    }
    rpPipelineRightsClear();
    if (RwPluginRegistryReadData(worldReg, stream, world) == nullptr || !rpPipelineRightsApply(worldReg, world) ||
        RpWorldBuildSectorMeshes(world) == nullptr) {
        RpWorldDestroy(world);
        return nullptr;
    }
    return world;
}
