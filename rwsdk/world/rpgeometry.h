// Geometry: the shared, reference-counted shape of a model — morph targets
// of positions and normals, texture-coordinate sets, prelit colours,
// triangles with their materials, the material list and the mesh header —
// with lock/unlock editing and the geometry chunk reader.
#pragma once

#include "rpmaterial.h"
#include "rpmesh.h"
#include "rwmatrix.h"
#include "rwplugin.h"
#include "rwtypes.h"

struct RwStream;
struct RwResEntry;

static constexpr RwUInt8 rpGEOMETRY = 8;  // object type byte
static constexpr RwUInt32 rwID_GEOMETRY = 0x0F;
static constexpr RwUInt32 rwID_NATIVEDATAPLUGIN = 0x510;

// Format flags.
static constexpr RwUInt32 rpGEOMETRYTRISTRIP = 0x01;
static constexpr RwUInt32 rpGEOMETRYPOSITIONS = 0x02;
static constexpr RwUInt32 rpGEOMETRYTEXTURED = 0x04;
static constexpr RwUInt32 rpGEOMETRYPRELIT = 0x08;
static constexpr RwUInt32 rpGEOMETRYNORMALS = 0x10;
static constexpr RwUInt32 rpGEOMETRYLIGHT = 0x20;
static constexpr RwUInt32 rpGEOMETRYMODULATEMATERIALCOLOR = 0x40;
static constexpr RwUInt32 rpGEOMETRYTEXTURED2 = 0x80;
static constexpr RwUInt32 rpGEOMETRYTEXCOORDSETSMASK = 0x00FF0000;
static constexpr RwUInt32 rpGEOMETRYNATIVE = 0x01000000;
static constexpr RwUInt32 rpGEOMETRYNATIVEINSTANCE = 0x02000000;
static constexpr RwUInt32 rpGEOMETRYFLAGSMASK = 0x0000007B;
static constexpr RwUInt32 rpGEOMETRYNATIVEFLAGSMASK = 0x0F000000;
inline constexpr RwUInt32 rpGEOMETRYTEXCOORDSETS(RwUInt32 n) { return (n & 0xFF) << 16; }

// Lock flags.
static constexpr RwUInt16 rpGEOMETRYLOCKPOLYGONS = 0x001;
static constexpr RwUInt16 rpGEOMETRYLOCKVERTICES = 0x002;
static constexpr RwUInt16 rpGEOMETRYLOCKNORMALS = 0x004;
static constexpr RwUInt16 rpGEOMETRYLOCKPRELIGHT = 0x008;
static constexpr RwUInt16 rpGEOMETRYLOCKTEXCOORDS1 = 0x010;
static constexpr RwUInt16 rpGEOMETRYLOCKALL = 0xFFF;
inline constexpr RwUInt16 rpGEOMETRYLOCKTEXCOORDSIDX(RwUInt32 n) { return static_cast<RwUInt16>(0x10u << n); }

static constexpr RwInt32 rwMAXTEXTURECOORDS = 8;
static constexpr RwInt32 rpGEOMETRYMAXVERTICES = 65535;

// Private world error codes (plug-in id 2).
static constexpr RwInt32 E_RP_WORLD_CLUMPNOTINWORLD = 4;
static constexpr RwInt32 E_RP_WORLD_FRAMELESSATOMIC = 5;
static constexpr RwInt32 E_RP_WORLD_TOOMANYVERTICES = 6;

struct RwTexCoords {
    RwReal u;
    RwReal v;
};

struct RpTriangle {
    RwUInt16 vertIndex[3];
    RwInt16 matIndex;  // -1: no material yet
};

struct RpGeometry;

struct RpMorphTarget {
    RpGeometry *parentGeom;
    RwSphere boundingSphere;
    RwV3d *verts;
    RwV3d *normals;
};

struct RpGeometry {
    RwObject object;  // type 8
    RwUInt32 flags;
    RwUInt16 lockedSinceLastInst;
    RwInt16 refCount;
    RwInt32 numTriangles;
    RwInt32 numVertices;
    RwInt32 numMorphTargets;
    RwInt32 numTexCoordSets;
    RpMaterialList matList;
    RpTriangle *triangles;
    RwRGBA *preLitLum;
    RwTexCoords *texCoords[rwMAXTEXTURECOORDS];
    RpMeshHeader *mesh;
    RwResEntry *repEntry;
    RpMorphTarget *morphTarget;
};

typedef RpGeometry *(*RpGeometryCallBack)(RpGeometry *geometry, void *data);

RpGeometry *RpGeometryCreate(RwInt32 numVerts, RwInt32 numTriangles, RwUInt32 format);
RpGeometry *RpGeometryCreateSpace(RwReal radius);
RwBool RpGeometryDestroy(RpGeometry *geometry);
RpGeometry *RpGeometryAddRef(RpGeometry *geometry);
RwInt32 RpGeometryAddMorphTargets(RpGeometry *geometry, RwInt32 mtcount);
RpGeometry *RpGeometryTriangleSetMaterial(RpGeometry *geometry, RpTriangle *triangle, RpMaterial *material);
RpGeometry *RpGeometryForAllMaterials(RpGeometry *geometry, RpMaterialCallBack callback, void *data);
RpGeometry *RpGeometryLock(RpGeometry *geometry, RwUInt16 lockMode);
RpGeometry *RpGeometryUnlock(RpGeometry *geometry);
// Reads a geometry chunk body (the caller found the chunk header).
RpGeometry *RpGeometryStreamRead(RwStream *stream);

inline RwInt32 RpGeometryGetNumMaterials(const RpGeometry *g) { return g->matList.numMaterials; }
inline RpMaterial *RpGeometryGetMaterial(const RpGeometry *g, RwInt32 i) { return g->matList.materials[i]; }
inline RpMorphTarget *RpGeometryGetMorphTarget(const RpGeometry *g, RwInt32 i) { return &g->morphTarget[i]; }
inline RwUInt32 RpGeometryGetFlags(const RpGeometry *g) { return g->flags; }

RwInt32 RpGeometryRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                                 RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RpGeometryRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                       RwPluginDataChunkWriteCallBack writeCB,
                                       RwPluginDataChunkGetSizeCallBack getSizeCB);
RwInt32 RpGeometrySetStreamAlwaysCallBack(RwUInt32 pluginID, RwPluginDataChunkAlwaysCallBack alwaysCB);
RwInt32 RpGeometryGetPluginOffset(RwUInt32 pluginID);
RwPluginRegistry *RpGeometryGetPluginRegistry(void);

// Bin-mesh extension callbacks of geometries (id 0x50E).
RwStream *RpGeometryBinMeshStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset,
                                      RwInt32 size);
RwStream *RpGeometryBinMeshStreamWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset,
                                       RwInt32 size);
RwInt32 RpGeometryBinMeshStreamGetSize(const void *object, RwInt32 offset, RwInt32 size);

// Engine module callbacks (block 0x503).
void *RpGeometryModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RpGeometryModuleClose(void *instance, RwInt32 offset, RwInt32 size);
