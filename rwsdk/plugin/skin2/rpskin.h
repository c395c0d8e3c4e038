// Skinning: the skin record a geometry carries (per-vertex bone indices and
// weights, one inverse bind matrix per bone, the bone-split data), its
// stream forms, the atomic's link to the hierarchy that drives it, and the
// bone matrices and vertex blending that deform the geometry by that
// hierarchy's pose.
#pragma once

#include "rphanim.h"
#include "rpworld.h"
#include "rwtypes.h"

struct RwStream;
struct RwPipeline;
struct RwResEntry;
struct RxPipelineNode;
struct RxPipelineNodeParam;
struct RxNodeDefinition;
struct RpD3D8InstanceData;

static constexpr RwUInt32 rpSKINPLUGINID = 0x116;
// Bones one blend can address: the shared bone-matrix buffer holds this many.
static constexpr RwInt32 rpSKINMAXBONES = 256;

struct RwMatrixWeights {
    RwReal w0;
    RwReal w1;
    RwReal w2;
    RwReal w3;
};

// A run of the bone-split data: two bytes.
struct RpSkinBoneRLE {
    RwUInt8 startIndex;
    RwUInt8 length;
};

struct RpSkin {
    RwInt32 numBones;
    RwInt32 numUsedBones;
    RwUInt8 *usedBones;
    RwMatrix *skinToBoneMatrices;
    RwInt32 maxNumWeightsForVertex;
    RwUInt32 *vertexBoneIndices;
    RwMatrixWeights *vertexBoneWeights;
    RwInt32 boneLimit;
    RwInt32 numMeshes;
    RwInt32 numRLE;
    RwUInt8 *meshBoneRemapIndices;
    RpSkinBoneRLE *meshBoneRLECount;
    RpSkinBoneRLE *meshBoneRLE;
    void *dataBlock;
    // Vertices the per-vertex arrays hold; a skin never serves a geometry
    // with more.
    RwInt32 numVertices;
};

// Skin types of RpSkinAtomicSetType (one pipeline serves all here).
enum RpSkinType : RwInt32 {
    rpNASKINTYPE = 0,
    rpSKINTYPEGENERIC = 1,
    rpSKINTYPEMATFX = 2,
    rpSKINTYPETOON = 3,
};

RwBool RpSkinPluginAttach(void);

// A skin for `numVertices` vertices over `numBones` bones (at most
// rpSKINMAXBONES), copying the given arrays (weights and indices one entry
// per vertex; inverse bind matrices one per bone). Null when an index with
// weight, or one the blend reads, names no bone.
RpSkin *RpSkinCreate(RwInt32 numVertices, RwInt32 numBones, const RwMatrixWeights *vertexWeights,
                     const RwUInt32 *vertexIndices, const RwMatrix *inverseMatrices);
RpSkin *RpSkinDestroy(RpSkin *skin);

RpGeometry *RpSkinGeometrySetSkin(RpGeometry *geometry, RpSkin *skin);
RpSkin *RpSkinGeometryGetSkin(const RpGeometry *geometry);
RpSkin *RpSkinGeometrySortWeights(RpSkin *skin);
RpAtomic *RpSkinAtomicSetHierarchy(RpAtomic *atomic, RpHAnimHierarchy *hierarchy);
RpHAnimHierarchy *RpSkinAtomicGetHierarchy(const RpAtomic *atomic);
RpAtomic *RpSkinAtomicSetType(RpAtomic *atomic, RpSkinType type);
// The pipeline skinned atomics are switched to: the one-node skin pipeline
// built when the plug-in opens (null while the engine is not started).
RwPipeline *RpSkinGetAtomicPipeline(void);

inline const RwMatrix *RpSkinGetSkinToBoneMatrices(const RpSkin *skin) { return skin->skinToBoneMatrices; }
inline RwInt32 RpSkinGetNumBones(const RpSkin *skin) { return skin->numBones; }
inline const RwMatrixWeights *RpSkinGetVertexBoneWeights(const RpSkin *skin) { return skin->vertexBoneWeights; }
inline const RwUInt32 *RpSkinGetVertexBoneIndices(const RpSkin *skin) { return skin->vertexBoneIndices; }

// Bone matrices of the atomic's skin posed by its hierarchy, in the
// atomic's frame space, in the shared 16-byte aligned buffer. They are
// rebuilt unless the last build was for the same hierarchy, render frame
// and atomic placement. Null when the atomic has no skin or hierarchy, or
// the hierarchy has fewer nodes than the skin has bones.
const RwMatrix *RpSkinBuildBoneMatrices(RpAtomic *atomic);
// How many times bone matrices were built since the plug-in opened.
RwUInt32 RpSkinGetBoneMatrixBuildCount(void);
// Blends the geometry's first morph target by `bones` into `vertices`: a
// position per vertex at `stride` bytes, followed (when the geometry has
// normals) by the normal.
RwBool RpSkinBlendVertices(const RpSkin *skin, const RpGeometry *geometry, const RwMatrix *bones, void *vertices,
                           RwUInt32 stride);
// Both steps for one atomic.
RpAtomic *RpSkinAtomicBlendVertices(RpAtomic *atomic, void *vertices, RwUInt32 stride);

// Geometry stream callbacks (extension 0x116).
RwStream *RpSkinGeometryStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32 size);
RwStream *RpSkinGeometryStreamWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset,
                                    RwInt32 size);
RwInt32 RpSkinGeometryStreamGetSize(const void *object, RwInt32 offset, RwInt32 size);
RwStream *RpSkinAtomicStreamRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32 size);

// The skin pipeline on the Direct3D 8 device: one node,
// "nodeD3D8SkinAtomicAllInOne.csl", whose private data is the world
// pipelines' callback record (lighting and render callbacks replaceable).
RwPipeline *RpD3D8SkinPipelineCreate(void);
RxNodeDefinition *RpD3D8SkinAtomicAllInOneNodeDefinition(void);
RwBool RpD3D8SkinAtomicAllInOneNodeBody(RxPipelineNode *self, const RxPipelineNodeParam *params);
RwBool RpD3D8SkinAtomicAllInOneNodeInit(RxPipelineNode *self);
// Gives the meshes their vertex format and, unless the atomic is skinned
// into the shared dynamic buffers (a hierarchy on a hardware
// transform-and-lighting device), one vertex buffer for all their vertices.
RwBool RpD3D8SkinAtomicInstance(RpAtomic *atomic, RpD3D8InstanceData *data, RwBool hasHierarchy);
// Writes texture coordinates and prelit colours (and each mesh's
// vertex-alpha byte) into `vertices`, geometry vertex 0 first.
void RpD3D8SkinInstanceVertexExtras(const RpAtomic *atomic, RpD3D8InstanceData *data, RwUInt8 *vertices);
void RpD3D8SkinInstanceDataDestroy(RwResEntry *entry);
