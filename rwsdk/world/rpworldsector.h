// Worlds: a stage's static scenery as a binary space partition of plane
// nodes and leaf sectors, the world chunk reader and writer, and the
// dynamic contents (clumps, lights, cameras) tied to the leaves their
// bounds reach.
#pragma once

#include "rpclump.h"
#include "rplight.h"
#include "rpmaterial.h"
#include "rpmesh.h"
#include "rwcamera.h"
#include "rwplugin.h"
#include "rwtypes.h"

struct RwStream;
struct RwResEntry;
struct RwPipeline;

static constexpr RwUInt8 rpWORLD = 7;  // object type byte
static constexpr RwUInt32 rwID_WORLD_CHUNK = 0x0B;
static constexpr RwUInt32 rwID_ATOMICSECT = 0x09;
static constexpr RwUInt32 rwID_PLANESECT = 0x0A;

// Engine blocks of the world modules.
static constexpr RwUInt32 rwID_WORLDMODULE = 0x507;
static constexpr RwUInt32 rwID_WORLDOBJMODULE = 0x509;
static constexpr RwUInt32 rwID_WORLDPIPEMODULE = 0x50A;
static constexpr RwUInt32 rwID_WORLDSECTORMODULE = 0x50B;

// World format flags beyond the geometry's.
static constexpr RwUInt32 rpWORLDSECTORSOVERLAP = 0x40000000;
// Private flag: the world and its whole tree are one allocation.
static constexpr RwUInt8 rpWORLDSINGLEMALLOC = 0x01;

// Sizes of the world chunk's struct bodies and of a leaf's header.
static constexpr RwUInt32 rpWORLDSTRUCTSIZE = 64;
static constexpr RwUInt32 rpWORLDSTRUCTSIZEOLD = 52;
static constexpr RwUInt32 rpATOMICSECTSTRUCTSIZE = 44;
static constexpr RwUInt32 rpPLANESECTSTRUCTSIZE = 24;

// A leaf's node type; plane nodes use the axis offset (0 x, 4 y, 8 z).
static constexpr RwInt32 rpWORLDSECTORLEAF = -1;

// A leaf's triangle: material index relative to the leaf's window base.
struct RpPolygon {
    RwUInt16 matIndex;
    RwUInt16 vertIndex[3];
};

// Normals as signed bytes scaled by 128.
struct RpVertexNormal {
    RwInt8 x;
    RwInt8 y;
    RwInt8 z;
    RwUInt8 pad;
};

struct RpSector {
    RwInt32 type;
};

struct RpWorldSector {
    RwInt32 type;  // rpWORLDSECTORLEAF
    RpPolygon *polygons;
    RwV3d *vertices;
    RpVertexNormal *normals;
    RwTexCoords *texCoords[rwMAXTEXTURECOORDS];
    RwRGBA *preLitLum;
    RwResEntry *repEntry;
    RwLinkList collAtomicsInWorldSector;
    RwLinkList noCollAtomicsInWorldSector;
    RwLinkList lightsInWorldSector;
    RwBBox boundingBox;       // region cut from the world box by the planes
    RwBBox tightBoundingBox;  // box of the leaf's own vertices
    RpMeshHeader *mesh;
    RwPipeline *pipeline;
    RwUInt16 matListWindowBase;
    RwUInt16 numVertices;
    RwUInt16 numPolygons;
    RwUInt16 pad;
};

struct RpPlaneSector {
    RwInt32 type;  // axis as the byte offset of its component: 0, 4 or 8
    RwReal value;
    RpSector *leftSubTree;
    RpSector *rightSubTree;
    RwReal leftValue;   // upper bound of the left region
    RwReal rightValue;  // lower bound of the right region
};

struct RpWorld;
typedef RpWorldSector *(*RpWorldSectorCallBackRender)(RpWorldSector *sector);
typedef RpWorldSector *(*RpWorldSectorCallBack)(RpWorldSector *sector, void *data);

struct RpWorld {
    RwObject object;  // type 7
    RwUInt32 flags;
    RwUInt32 renderOrder;
    RpMaterialList matList;
    RpSector *rootSector;
    RwInt32 numTexCoordSets;
    RwInt32 numClumpsInWorld;
    RwLLLink *currentClumpLink;
    RwLinkList clumpList;
    RwLinkList lightList;             // local lights
    RwLinkList directionalLightList;  // global lights
    RwV3d worldOrigin;
    RwBBox boundingBox;
    RpWorldSectorCallBackRender renderCallBack;
    RwPipeline *pipeline;
};

// A tie of an atomic to a leaf: linked in the leaf's list and the atomic's.
struct RpTie {
    RwLLLink lAtomicInWorldSector;
    RpAtomic *apAtom;
    RwLLLink lWorldSectorInAtomic;
    RpWorldSector *worldSector;
};

// A tie of a local light to a leaf.
struct RpLightTie {
    RwLLLink lightInWorldSector;
    RpLight *light;
    RwLLLink WorldSectorInLight;
    RpWorldSector *sect;
};

// The world-membership extensions.
struct RpAtomicWorldExt {
    RpWorld *world;
    RwFramedObjectSyncCallBack savedSync;
};
struct RpLightWorldExt {
    RpWorld *world;
    RwFramedObjectSyncCallBack savedSync;
};
struct RpClumpWorldExt {
    RpWorld *world;
    RwUInt32 reserved;
};
struct RpCameraWorldExt {
    RpWorldSector **sectors;
    RwInt32 capacity;
    RwInt32 count;
    RpWorld *world;
    RwCameraBeginUpdateFunc savedBeginUpdate;
    RwCameraEndUpdateFunc savedEndUpdate;
    RwFramedObjectSyncCallBack savedSync;
};

// Worlds.
RpWorld *RpWorldCreate(const RwBBox *boundingBox);
RwBool RpWorldDestroy(RpWorld *world);
// Reads a world chunk body (the caller found the world chunk header).
RpWorld *RpWorldStreamRead(RwStream *stream);
// Writes the whole world chunk, header included, and its body size.
const RpWorld *RpWorldStreamWrite(const RpWorld *world, RwStream *stream);
RwUInt32 RpWorldStreamGetSize(const RpWorld *world);
RpWorld *RpWorldForAllWorldSectors(RpWorld *world, RpWorldSectorCallBack callback, void *data);
RpWorld *RpWorldForAllClumps(RpWorld *world, RpClumpCallBack callback, void *data);
RpWorld *RpWorldForAllLights(RpWorld *world, RpLightCallBack callback, void *data);
RpWorld *RpWorldSetSectorRenderCallBack(RpWorld *world, RpWorldSectorCallBackRender callback);
RpWorldSector *RpWorldSectorDefaultRenderCallBack(RpWorldSector *sector);
// Draws one leaf through the current world's sector render callback.
RpWorldSector *RpWorldSectorRender(RpWorldSector *sector);
// Builds the mesh header of every leaf that has none.
RpWorld *RpWorldBuildSectorMeshes(RpWorld *world);
inline RwUInt32 RpWorldGetFlags(const RpWorld *w) { return w->flags; }
inline const RwBBox *RpWorldGetBBox(const RpWorld *w) { return &w->boundingBox; }
inline RwInt32 RpWorldGetNumMaterials(const RpWorld *w) { return w->matList.numMaterials; }
inline RpMaterial *RpWorldGetMaterial(const RpWorld *w, RwInt32 i) { return w->matList.materials[i]; }

// Leaves.
inline RwUInt16 RpWorldSectorGetNumVertices(const RpWorldSector *s) { return s->numVertices; }
inline RwUInt16 RpWorldSectorGetNumTriangles(const RpWorldSector *s) { return s->numPolygons; }
inline const RwBBox *RpWorldSectorGetBBox(const RpWorldSector *s) { return &s->boundingBox; }
inline const RwBBox *RpWorldSectorGetTightBBox(const RpWorldSector *s) { return &s->tightBoundingBox; }
// The world that holds a leaf (searches the engine's world list).
RpWorld *RpWorldSectorGetWorld(const RpWorldSector *sector);
RpWorldSector *RpWorldSectorForAllAtomics(RpWorldSector *sector, RpAtomicCallBack callback, void *data);
RpWorldSector *RpWorldSectorForAllCollisionAtomics(RpWorldSector *sector, RpAtomicCallBack callback, void *data);
RpWorldSector *RpWorldSectorForAllLights(RpWorldSector *sector, RpLightCallBack callback, void *data);
RpAtomic *RpAtomicForAllWorldSectors(RpAtomic *atomic, RpWorldSectorCallBack callback, void *data);

// World contents.
RpWorld *RpWorldAddClump(RpWorld *world, RpClump *clump);
RpWorld *RpWorldRemoveClump(RpWorld *world, RpClump *clump);
RpWorld *RpWorldAddLight(RpWorld *world, RpLight *light);
RpWorld *RpWorldRemoveLight(RpWorld *world, RpLight *light);
RpWorld *RpWorldAddCamera(RpWorld *world, RwCamera *camera);
RpWorld *RpWorldRemoveCamera(RpWorld *world, RwCamera *camera);
RpWorld *RpClumpGetWorld(const RpClump *clump);
RpWorld *RpAtomicGetWorld(const RpAtomic *atomic);
RpWorld *RpLightGetWorld(const RpLight *light);
RpWorld *RpCameraGetWorld(const RwCamera *camera);
// The world being rendered (set by a camera in a world at begin-update).
RpWorld *RpWorldGetCurrent(void);
// The sync hooks installed over atomics' and lights' own.
RwFramedObject *RpAtomicWorldSync(RwFramedObject *object);
RwFramedObject *RpLightWorldSync(RwFramedObject *object);

// Plug-in registries.
RwInt32 RpWorldRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                              RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RpWorldRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                    RwPluginDataChunkWriteCallBack writeCB,
                                    RwPluginDataChunkGetSizeCallBack getSizeCB);
RwInt32 RpWorldGetPluginOffset(RwUInt32 pluginID);
RwPluginRegistry *RpWorldGetPluginRegistry(void);
RwInt32 RpWorldSectorRegisterPlugin(RwInt32 size, RwUInt32 pluginID, RwPluginObjectConstructor constructCB,
                                    RwPluginObjectDestructor destructCB, RwPluginObjectCopy copyCB);
RwInt32 RpWorldSectorRegisterPluginStream(RwUInt32 pluginID, RwPluginDataChunkReadCallBack readCB,
                                          RwPluginDataChunkWriteCallBack writeCB,
                                          RwPluginDataChunkGetSizeCallBack getSizeCB);
RwInt32 RpWorldSectorGetPluginOffset(RwUInt32 pluginID);
RwPluginRegistry *RpWorldSectorGetPluginRegistry(void);

// Attaches: the membership extensions and the world's stream extensions.
RwBool RpWorldObjectPluginAttach(void);

// Engine module callbacks (blocks 0x507, 0x509, 0x50A, 0x50B).
void *RpWorldModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RpWorldModuleClose(void *instance, RwInt32 offset, RwInt32 size);
void *RpWorldObjModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RpWorldObjModuleClose(void *instance, RwInt32 offset, RwInt32 size);
void *RpWorldCounterModuleOpen(void *instance, RwInt32 offset, RwInt32 size);
void *RpWorldCounterModuleClose(void *instance, RwInt32 offset, RwInt32 size);
