// The collision plug-in: line, point, sphere, box and atomic queries against
// the triangles of an atomic, the static triangles of a world and the
// bounding spheres of a world's atomics, with the per-geometry and
// per-sector collision trees that keep those queries from testing every
// triangle, their stream format, and a builder for the trees.
#pragma once

#include "rpworldsector.h"
#include "rtintsec.h"

static constexpr RwUInt32 rwID_COLLISPLUGIN = 0x11D;

// Private error codes (plug-in id 0x11D).
static constexpr RwInt32 E_RP_COLLIS_BADINTERSECTIONTYPE = 0;
// Collision data whose counts, indices or tree references do not hold.
static constexpr RwInt32 E_RP_COLLIS_BADDATA = 1;

enum RpIntersectType : RwInt32 {
    rpINTERSECTNONE = 0,
    rpINTERSECTLINE = 1,
    rpINTERSECTPOINT = 2,
    rpINTERSECTSPHERE = 3,
    rpINTERSECTBOX = 4,
    rpINTERSECTATOMIC = 5,
};

struct RwLine {
    RwV3d start;
    RwV3d end;
};

union RpIntersectData {
    RwLine line;
    RwV3d point;
    RwSphere sphere;
    RwBBox box;
    void *object;  // the RpAtomic of an atomic query
};

struct RpIntersection {
    RpIntersectData t;
    RpIntersectType type;
};

// What a triangle callback receives about the triangle hit.
struct RpCollisionTriangle {
    RwV3d normal;     // unit cross(v1 - v0, v2 - v0)
    RwV3d point;      // the first vertex
    RwInt32 index;    // in the geometry's triangles or the sector's polygons
    RwV3d *vertices[3];
};

// Tree nodes. A branch's children are leaves or branches by their type; the
// left value is the largest coordinate on the axis of anything on the left,
// the right value the smallest of anything on the right.
static constexpr RwUInt8 rpCOLLISIONLEAF = 1;
static constexpr RwUInt8 rpCOLLISIONBRANCH = 2;

struct RpCollisionTreeBranch {
    RwUInt16 axis;  // byte offset of the coordinate: 0 x, 4 y, 8 z
    RwUInt8 leftType;
    RwUInt8 rightType;
    RwUInt16 leftNode;
    RwUInt16 rightNode;
    RwReal leftValue;
    RwReal rightValue;
};

// Map entries first .. first + count - 1.
struct RpCollisionTreeLeaf {
    RwUInt16 count;
    RwUInt16 first;
};

// numLeaves leaves and numLeaves - 1 branches; branch 0 is the root, or leaf
// 0 when there is no branch.
struct RpCollisionTree {
    RwUInt32 numLeaves;
    RpCollisionTreeBranch *branches;
    RpCollisionTreeLeaf *leaves;
};

// Record, tree and map live in one allocation.
static constexpr RwUInt32 rpCOLLISIONDATASINGLEBLOCK = 0x1;

struct RpCollisionData {
    RwUInt32 flags;
    RpCollisionTree *tree;
    RwUInt32 numTriangles;  // map entries
    RwUInt16 *triangleMap;
};

// Callbacks. A null result ends the query.
typedef RpCollisionTriangle *(*RpIntersectionCallBackGeometryTriangle)(RpIntersection *intersection,
                                                                      RpCollisionTriangle *collTriangle,
                                                                      RwReal distance, void *data);
typedef RpCollisionTriangle *(*RpIntersectionCallBackWorldTriangle)(RpIntersection *intersection,
                                                                   RpWorldSector *sector,
                                                                   RpCollisionTriangle *collTriangle,
                                                                   RwReal distance, void *data);
typedef RpAtomic *(*RpIntersectionCallBackAtomic)(RpIntersection *intersection, RpWorldSector *sector,
                                                  RpAtomic *atomic, RwReal distance, void *data);

// Registers the engine block and the extensions of world sectors, atomics
// and geometries; call between RwEngineInit and RwEngineOpen.
RwBool RpCollisionPluginAttach(void);

// Queries. Callbacks come in the order the hits are found; each query
// returns its object (or world) unless the intersection is unusable, which
// reports an error and returns null. Queries may be started from inside
// another query's callback.
RpAtomic *RpAtomicForAllIntersections(RpAtomic *atomic, RpIntersection *intersection,
                                      RpIntersectionCallBackGeometryTriangle callBack, void *data);
RpWorld *RpCollisionWorldForAllIntersections(RpWorld *world, RpIntersection *intersection,
                                             RpIntersectionCallBackWorldTriangle callBack, void *data);
RpWorld *RpWorldForAllAtomicIntersections(RpWorld *world, RpIntersection *intersection,
                                          RpIntersectionCallBackAtomic callBack, void *data);

// The collision data of a geometry or a world sector (null: none).
RpCollisionData *RpCollisionGeometryGetData(const RpGeometry *geometry);
RpCollisionData *RpCollisionWorldSectorGetData(const RpWorldSector *sector);

// Tree walks. The leaf callback gets the leaf's map range; returning FALSE
// ends the walk, which then returns FALSE (as does running out of memory
// for the pending-node stack, reported as out of memory).
typedef RwBool (*RpCollisionTreeLeafCallBack)(RwInt32 numTriangles, RwInt32 firstTriangle, void *data);
RwBool RpCollisionTreeForAllBoxLeaves(const RpCollisionTree *tree, const RwBBox *box,
                                      RpCollisionTreeLeafCallBack callBack, void *data);
RwBool RpCollisionTreeForAllLineLeaves(const RpCollisionTree *tree, const RwLine *line,
                                       RpCollisionTreeLeafCallBack callBack, void *data);

// World BSP walks: each leaf sector reached gets the callback; a null result
// ends the walk, which then returns FALSE.
RwBool RpCollisionWorldForAllSectorsInBox(RpWorld *world, const RwBBox *box, RpWorldSectorCallBack callBack,
                                          void *data);
RwBool RpCollisionWorldForAllSectorsOnLine(RpWorld *world, const RwLine *line, RpWorldSectorCallBack callBack,
                                           void *data);
RwBool RpCollisionWorldForAllSectorsInSphere(RpWorld *world, const RwSphere *sphere,
                                             RpWorldSectorCallBack callBack, void *data);

// Building. Triangles are split at the median of their centres along the
// widest axis until a leaf holds at most `maxLeafTriangles` (at least 1);
// existing data is replaced. Null (with an error) when the triangles do not
// fit a tree (more than 65535) or memory runs out.
static constexpr RwInt32 rpCOLLISIONBUILDLEAFSIZE = 8;
RpGeometry *RpCollisionGeometryBuildData(RpGeometry *geometry, RwInt32 maxLeafTriangles);
RpWorldSector *RpCollisionWorldSectorBuildData(RpWorldSector *sector, RwInt32 maxLeafTriangles);
// Every sector of the world that has triangles.
RpWorld *RpCollisionWorldBuildData(RpWorld *world, RwInt32 maxLeafTriangles);
// Frees a geometry's or sector's data (nothing when it has none).
void RpCollisionGeometryDestroyData(RpGeometry *geometry);
void RpCollisionWorldSectorDestroyData(RpWorldSector *sector);

// Engine block callbacks.
void *RpCollisionEngineOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RpCollisionEngineClose(void *instance, RwInt32 offset, RwInt32 size);
