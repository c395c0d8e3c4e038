// Mesh headers (a geometry's or sector's triangle indices grouped by
// material, as lists or strips), the build mesh they are made from, the
// list and strip generators, and the bin-mesh extension data.
#pragma once

#include "rwtypes.h"

struct RpMaterial;
struct RpMaterialList;
struct RwStream;

static constexpr RwUInt32 rwID_BINMESHPLUGIN = 0x50E;

// Primitive kind of a mesh header.
static constexpr RwUInt32 rpMESHHEADERTRILIST = 0x00;
static constexpr RwUInt32 rpMESHHEADERTRISTRIP = 0x01;
static constexpr RwUInt32 rpMESHHEADERTRIFAN = 0x02;
static constexpr RwUInt32 rpMESHHEADERLINELIST = 0x04;
static constexpr RwUInt32 rpMESHHEADERPOLYLINE = 0x08;
static constexpr RwUInt32 rpMESHHEADERPOINTLIST = 0x10;
static constexpr RwUInt32 rpMESHHEADERPRIMMASK = 0xFF;

struct RpMesh {
    RwUInt16 *indices;
    RwUInt32 numIndices;
    RpMaterial *material;  // no reference held
};

// One block: this header, numMeshes RpMesh records, then the indices.
struct RpMeshHeader {
    RwUInt32 flags;
    RwUInt16 numMeshes;
    RwUInt16 serialNum;
    RwUInt32 totalIndicesInMesh;
    RwUInt32 firstMeshOffset;  // always 0
};

inline RpMesh *RpMeshHeaderGetMeshes(RpMeshHeader *header) { return reinterpret_cast<RpMesh *>(header + 1); }
inline const RpMesh *RpMeshHeaderGetMeshes(const RpMeshHeader *header)
{
    return reinterpret_cast<const RpMesh *>(header + 1);
}

typedef RpMesh *(*RpMeshCallBack)(RpMesh *mesh, RpMeshHeader *header, void *data);

RpMeshHeader *RpMeshHeaderForAllMeshes(RpMeshHeader *header, RpMeshCallBack callback, void *data);
RwBool RpMeshHeaderDestroy(RpMeshHeader *header);
// The shared header of geometries without triangles; never freed.
RpMeshHeader *RpMeshGetEmptyHeader(void);
// Engine primitive type (1..6) of a mesh flag word, and back.
RwInt32 RpMeshFlagsToPrimType(RwUInt32 flags);
RwUInt32 RpMeshPrimTypeToFlags(RwInt32 primType);
// A new serial number for a freshly made header.
RwUInt16 RpMeshNextSerialNumber(void);
// Mesh-building allocations: the engine's allocator.
void *RpMeshAllocate(size_t size);

// Bin-mesh data of `owner` (a geometry or world sector), with `native` when
// the owner keeps its vertices only in device form (no indices streamed).
// Indices must name one of the owner's `numVertices` vertices.
RpMeshHeader *RpMeshStreamRead(RwStream *stream, RwInt32 length, RwBool native, const RpMaterialList *matList,
                               RwInt32 numVertices);
const RpMeshHeader *RpMeshStreamWrite(const RpMeshHeader *header, RwStream *stream, RwBool native,
                                      const RpMaterialList *matList);
RwInt32 RpMeshStreamGetSize(const RpMeshHeader *header, RwBool native);

struct RpBuildMeshTriangle {
    RwUInt16 vertIndex[3];
    RpMaterial *material;
    RwUInt16 matIndex;
    RwUInt16 textureIndex;
    RwUInt16 rasterIndex;
    RwUInt16 pipelineIndex;
};

struct RpBuildMesh {
    RwUInt32 triangleBufferSize;
    RwUInt32 numTriangles;
    RpBuildMeshTriangle *meshTriangles;
};

RpBuildMesh *RpBuildMeshCreate(RwUInt32 bufferSize);
RpBuildMesh *RpBuildMeshAddTriangle(RpBuildMesh *mesh, RpMaterial *material, RwInt32 vert1, RwInt32 vert2,
                                    RwInt32 vert3, RwUInt16 matIndex, RwUInt16 textureIndex,
                                    RwUInt16 rasterIndex, RwUInt16 pipelineIndex);
RwBool RpBuildMeshDestroy(RpBuildMesh *mesh);
// Sort order of build triangles: opaque first, then raster, pipeline,
// texture and material index. A strict ordering even when one material
// fills several list slots: those triangles compare equal.
RwInt32 RpBuildMeshTriangleCompare(const RpBuildMeshTriangle *a, const RpBuildMeshTriangle *b);
RpMeshHeader *RpBuildMeshGenerateTriList(RpBuildMesh *buildMesh, void *data);
RpMeshHeader *RpBuildMeshGenerateTriStrip(RpBuildMesh *buildMesh, void *data);
// The generation step of unlock: null for no build mesh, the shared empty
// header for no triangles, else a generator's header; the build mesh is
// destroyed unless generation fails.
RpMeshHeader *RpBuildMeshGenerate(RpBuildMesh *buildMesh, RwBool triStrip);
// Reorders one tri-list mesh into passes of vertex-disjoint triangles.
RwBool RpMeshReorderTriList(RwUInt16 *indices, RwUInt32 numIndices);

// A strip of indices from the strip builder (exposed for testing the joins).
struct RpTriStrip {
    RwUInt16 *indices;
    RwUInt32 length;
    RwUInt32 capacity;
    RpTriStrip *next;
};

// Joins `strips` (list head first) into one strip written to `out` (room
// for the sum of (length + 6)); returns its length.
RwUInt32 RpTriStripJoin(const RpTriStrip *strips, RwUInt16 *out);

// Engine module callbacks (block 0x502).
void *RpMeshModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RpMeshModuleClose(void *instance, RwInt32 offset, RwInt32 size);
