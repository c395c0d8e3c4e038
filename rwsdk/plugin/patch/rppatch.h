// Patch surfaces: an atomic's geometry as cubic Bezier quad (16 control
// points) and triangle (10) patches, refined at render time into a grid
// whose density follows the atomic's distance from the camera, and drawn
// through the atomic render callback. The patch records travel with the
// geometry as its extension data.
#pragma once

#include "rpclump.h"
#include "rpmaterial.h"
#include "rwtypes.h"

struct RwStream;
struct RwPipeline;

static constexpr RwUInt32 rwID_PATCHPLUGIN = 0x123;

// Mesh flags.
static constexpr RwUInt32 rpPATCHMESHPOSITIONS = 0x01;
static constexpr RwUInt32 rpPATCHMESHNORMALS = 0x02;
static constexpr RwUInt32 rpPATCHMESHPRELIGHTS = 0x04;
static constexpr RwUInt32 rpPATCHMESHTEXCOORDSETSMASK = 0x00FF0000;
inline constexpr RwUInt32 rpPATCHMESHTEXCOORDSETS(RwUInt32 n) { return (n & 0xFF) << 16; }

static constexpr RwUInt32 rpQUADPATCHNUMCONTROLINDICES = 16;
static constexpr RwUInt32 rpTRIPATCHNUMCONTROLINDICES = 10;
static constexpr RwInt32 rpPATCHMAXTEXCOORDSETS = 8;
// The finest refinement the renderer makes: a patch's strip stays within
// 16-bit vertex numbers.
static constexpr RwUInt32 rpPATCHLODMAXVALUE = 128;

struct RpQuadPatch {
    RwUInt32 cpIndices[rpQUADPATCHNUMCONTROLINDICES];
    RwUInt32 matIndex;
};

struct RpTriPatch {
    RwUInt32 cpIndices[rpTRIPATCHNUMCONTROLINDICES];
    RwUInt32 matIndex;
};

struct RpPatchMesh {
    RwV3d *positions;
    RwV3d *normals;
    RwRGBA *preLightColors;
    RwTexCoords *texCoords[rpPATCHMAXTEXCOORDSETS];
    RwUInt32 flags;
    RwUInt32 numControlPoints;
    RwUInt32 numTriPatches;
    RwUInt32 numQuadPatches;
    RwUInt32 numTexCoordSets;
    RwUInt32 lastLOD;  // 65535 at creation
    RwInt32 refCount;
    RpMaterialList matList;
    RpGeometry *geometry;  // the geometry that carries the mesh, or null
    RpQuadPatch *quadPatches;
    RpTriPatch *triPatches;
};

struct RpPatchMeshDefinition {
    RwUInt32 flag;
    RwUInt32 numControlPoints;
    RwUInt32 numTriPatches;
    RwUInt32 numQuadPatches;
    RwUInt32 numTexCoordSets;
};

// Distance LOD parameters (the engine block).
struct RpPatchLODParams {
    RwUInt32 minLod;
    RwUInt32 maxLod;
    RwReal minRange;
    RwReal maxRange;
    RwReal slope;
    RwReal recipRange;
};

typedef RwUInt32 (*RpPatchLODCallBack)(RpAtomic *atomic, void *data);

RwBool RpPatchPluginAttach(void);

RpPatchMesh *RpPatchMeshCreate(const RpPatchMeshDefinition *definition);
RwBool RpPatchMeshDestroy(RpPatchMesh *mesh);
RpPatchMesh *RpPatchMeshAddRef(RpPatchMesh *mesh);
// Reads the patch data that follows a geometry's other data (no header).
RpPatchMesh *RpPatchMeshStreamRead(RwStream *stream);
const RpPatchMesh *RpPatchMeshStreamWrite(const RpPatchMesh *mesh, RwStream *stream);
RwUInt32 RpPatchMeshStreamGetSize(const RpPatchMesh *mesh);

RpPatchMesh *RpPatchGeometryGetMesh(const RpGeometry *geometry);
// Gives the geometry the mesh (the geometry keeps one reference).
RpGeometry *RpPatchGeometrySetMesh(RpGeometry *geometry, RpPatchMesh *mesh);
RpPatchMesh *RpPatchAtomicGetMesh(const RpAtomic *atomic);

RwBool RpPatchSetLODParams(RwUInt32 minLod, RwUInt32 maxLod, RwReal minRange, RwReal maxRange);
const RpPatchLODParams *RpPatchGetLODParams(void);
RpAtomic *RpPatchAtomicSetLODCallBack(RpAtomic *atomic, RpPatchLODCallBack callback, void *data);
RwUInt32 RpPatchAtomicDistanceLOD(RpAtomic *atomic, void *data);
// LOD of `z` units in front of the camera under the current parameters.
RwUInt32 RpPatchLODFromDepth(RwReal z);
// The atomic's LOD from its callback, kept within 1..rpPATCHLODMAXVALUE.
RwUInt32 RpPatchAtomicGetLOD(RpAtomic *atomic);

RwPipeline *RpPatchGetGenericAtomicPipeline(void);
// The "PatchAtomic.csl" node of the patch pipeline.
struct RxNodeDefinition;
RxNodeDefinition *RpPatchAtomicNodeDefinition(void);
RpAtomic *RpPatchAtomicSetPipeline(RpAtomic *atomic);

// Refinement counts at LOD `lod` (at least 1).
inline RwUInt32 RpPatchQuadVertexCount(RwUInt32 lod) { return (lod + 1) * (lod + 1); }
inline RwUInt32 RpPatchTriVertexCount(RwUInt32 lod) { return (lod + 1) * (lod + 2) / 2; }
inline RwUInt32 RpPatchQuadStripCount(RwUInt32 lod) { return 2 * lod * (lod + 1); }
inline RwUInt32 RpPatchTriStripCount(RwUInt32 lod) { return lod * (lod + 2) + (lod & 1u); }

// Strip indices of one patch, each plus `base`; returns the count written.
RwUInt32 RpPatchQuadStripIndices(RwUInt32 lod, RwUInt16 base, RwUInt16 *out);
RwUInt32 RpPatchTriStripIndices(RwUInt32 lod, RwUInt16 base, RwUInt16 *out);

// One patch's refined vertices: `controls` are the patch's control-point
// indices (16 for a quad, 10 for a triangle) into the geometry's arrays;
// each vertex is written `stride` bytes apart at the given byte offsets
// (~0u: not written). Positions are always written.
struct RpPatchVertexLayout {
    RwUInt32 stride;
    RwUInt32 normalOffset;
    RwUInt32 colourOffset;
    RwUInt32 texCoordOffset[rpPATCHMAXTEXCOORDSETS];
};
struct RpPatchSource {
    const RwV3d *positions;
    const RwV3d *normals;
    const RwRGBA *colours;
    const RwTexCoords *texCoords[rpPATCHMAXTEXCOORDSETS];
};
void RpPatchRefine(const RpPatchSource *source, const RwUInt16 *controls, RwBool triangle, RwUInt32 lod,
                   const RpPatchVertexLayout *layout, RwUInt8 *out);

// A geometry's batch plan at LOD `lod`: one batch per mesh with indices,
// split before a patch whose strip would take the batch past 65535
// indices. `batches` (room for `capacity`) receive (first patch index in
// mesh order, patch count, mesh index); returns the number of batches.
struct RpPatchBatch {
    RwUInt32 mesh;
    RwUInt32 firstPatch;  // within the mesh
    RwUInt32 numPatches;
    RwUInt32 numVertices;
    RwUInt32 numIndices;
};
RwUInt32 RpPatchPlanBatches(const RpGeometry *geometry, RwUInt32 lod, RpPatchBatch *batches, RwUInt32 capacity);
// Whether the geometry draws patch `index` of mesh `mesh` as a triangle patch.
RwBool RpPatchIsTriangle(const RpGeometry *geometry, const RwUInt16 *controls);
