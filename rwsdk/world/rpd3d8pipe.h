// The Direct3D 8 world pipelines: instanced data of atomics and world
// sectors in the resource arena, the shared vertex-buffer manager, the two
// all-in-one nodes with their replaceable callbacks, the default lighting
// and render callbacks, the lights sent to the device, the default
// pipelines, and the native (pre-instanced) data chunk.
#pragma once

#include "d3d8/d3d8.h"
#include "rpworldsector.h"
#include "rwpipeline.h"
#include "rwresources.h"
#include "rwtypes.h"

struct RwResEntry;

// One mesh's buffers. The stream form (native data) is 44 bytes a record,
// written field by field; in memory the pointers take their real size and
// the compaction table rides along.
struct RpD3D8MeshInstance {
    RwUInt32 minVertexIndex;
    RwUInt32 stride;
    RwUInt32 numVertices;
    RwUInt32 numIndices;
    RpMaterial *material;
    RwUInt32 vertexShader;  // FVF code, or a shader handle (bit 0 set)
    RwUInt32 primitiveType;
    IDirect3DIndexBuffer8 *indexBuffer;
    IDirect3DVertexBuffer8 *vertexBuffer;
    RwUInt32 baseIndex;
    RwUInt8 vertexAlpha;
    RwUInt8 managed;
    RwUInt8 remapped;
    RwUInt8 pad;
    // Compacted mesh: source vertex (relative to minVertexIndex) of each
    // buffer vertex, kept so that a later refresh fills the same slots.
    RwUInt16 *remap;
};

struct RpD3D8InstanceData {
    RwUInt16 serialNumber;
    RwUInt16 numMeshes;
    RwUInt32 pad;
};

inline RpD3D8MeshInstance *RpD3D8InstanceDataGetMeshes(RpD3D8InstanceData *data)
{
    return reinterpret_cast<RpD3D8MeshInstance *>(data + 1);
}
inline RpD3D8InstanceData *RpD3D8ResEntryGetInstanceData(RwResEntry *entry)
{
    return static_cast<RpD3D8InstanceData *>(RwResEntryGetData(entry));
}

// Bytes of one mesh record and of the header in the native chunk.
static constexpr RwUInt32 rpD3D8MESHINSTANCESTREAMSIZE = 44;
static constexpr RwUInt32 rpD3D8INSTANCEHEADERSTREAMSIZE = 4;
static constexpr RwUInt32 rpD3D8NATIVEPLATFORM = 8;

// Object types handed to the render callback.
static constexpr RwUInt8 rpD3D8OBJECTATOMIC = 1;
static constexpr RwUInt8 rpD3D8OBJECTWORLDSECTOR = 0xFF;

typedef RwBool (*RpD3D8AllInOneInstanceCallBack)(void *object, RpD3D8MeshInstance *instance, RwBool reinstance);
typedef RwBool (*RpD3D8AllInOneReinstanceCallBack)(void *object, RwResEntry *entry, const RpMeshHeader *header,
                                                   RpD3D8AllInOneInstanceCallBack instanceCallback);
typedef void (*RpD3D8AllInOneLightingCallBack)(void *object);
typedef void (*RpD3D8AllInOneRenderCallBack)(RwResEntry *entry, void *object, RwUInt8 type, RwUInt32 flags);

// Private data of both all-in-one nodes.
struct RpD3D8AllInOneNodeData {
    RpD3D8AllInOneInstanceCallBack instanceCallback;
    RpD3D8AllInOneReinstanceCallBack reinstanceCallback;
    RpD3D8AllInOneLightingCallBack lightingCallback;
    RpD3D8AllInOneRenderCallBack renderCallback;
};

// Instanced data.
void RpD3D8IndexListGetRange(const RwUInt16 *indices, RwUInt32 count, RwUInt32 *numVertices,
                             RwUInt32 *minIndex);
RwResEntry *RpD3D8InstanceDataCreate(void *object, void *owner, RwResEntry **ownerRef, const RpMeshHeader *header,
                                     RpD3D8AllInOneInstanceCallBack instanceCallback, RwBool outsideArena);
void RpD3D8InstanceDataDestroy(RwResEntry *entry);
RwBool RpD3D8InstanceDataForAllMeshes(void *object, const RpMeshHeader *header, RpD3D8MeshInstance *first,
                                      RpD3D8AllInOneInstanceCallBack instanceCallback);
// Direct3D primitive type of a mesh-header flag word.
RwUInt32 RpD3D8PrimitiveTypeFromMeshFlags(RwUInt32 meshFlags);

// Default callbacks.
void RpD3D8DefaultRenderCallback(RwResEntry *entry, void *object, RwUInt8 type, RwUInt32 flags);
void RpD3D8AtomicDefaultLightingCallback(void *atomic);
void RpD3D8WorldSectorDefaultLightingCallback(void *sector);
RwBool RpD3D8AtomicInstanceCallback(void *atomic, RpD3D8MeshInstance *instance, RwBool reinstance);
RwBool RpD3D8WorldSectorInstanceCallback(void *sector, RpD3D8MeshInstance *instance, RwBool reinstance);
RwBool RpD3D8AtomicReinstanceCallback(void *atomic, RwResEntry *entry, const RpMeshHeader *header,
                                      RpD3D8AllInOneInstanceCallBack instanceCallback);

// The all-in-one nodes.
RxNodeDefinition *RpD3D8AtomicAllInOneNodeDefinition(void);
RxNodeDefinition *RpD3D8WorldSectorAllInOneNodeDefinition(void);
RwBool RpD3D8AtomicAllInOneNodeBody(RxPipelineNode *self, const RxPipelineNodeParam *params);
RwBool RpD3D8WorldSectorAllInOneNodeBody(RxPipelineNode *self, const RxPipelineNodeParam *params);
RwBool RpD3D8AtomicAllInOneNodeInit(RxPipelineNode *self);
RwBool RpD3D8WorldSectorAllInOneNodeInit(RxPipelineNode *self);
RxPipelineNode *RpD3D8AllInOneNodeSetRenderCallback(RxPipelineNode *node, RpD3D8AllInOneRenderCallBack callback);
// A pipeline of the one all-in-one node `definition` (atomic or sector),
// owned by plug-in `pluginId` and drawing through `renderCallback`; null
// when it cannot be built.
RwPipeline *RpD3D8AllInOnePipelineCreate(RxNodeDefinition *definition, RwUInt32 pluginId,
                                         RpD3D8AllInOneRenderCallBack renderCallback);

// The vertex-buffer manager.
RwBool RwD3D8VertexBufferManagerOpen(void);
void RwD3D8VertexBufferManagerClose(void);
RwBool RwD3D8VertexBufferCreate(RwUInt32 fvf, RwUInt32 size, IDirect3DVertexBuffer8 **vertexBuffer,
                                RwUInt32 *baseIndex);
void RwD3D8VertexBufferDestroy(RwUInt32 fvf, RwUInt32 size, IDirect3DVertexBuffer8 *vertexBuffer,
                               RwUInt32 baseIndex);
void RwD3D8VertexBufferDestroyByStride(RwUInt32 stride, RwUInt32 size, IDirect3DVertexBuffer8 *vertexBuffer,
                                       RwUInt32 baseIndex);
RwUInt32 RwD3D8FVFGetStride(RwUInt32 fvf);
static constexpr RwUInt32 rwD3D8VERTEXBUFFERDEFAULTSIZE = 131072;
// Free regions of one class (diagnostics and tests): calls `visit` with
// each free block's buffer, byte offset and byte size, newest first.
void RwD3D8VertexBufferManagerForAllFree(RwUInt32 key,
                                         void (*visit)(IDirect3DVertexBuffer8 *, RwUInt32, RwUInt32, void *),
                                         void *data);

// Default pipelines.
RwBool RpWorldPipesCreate(void);
void RpWorldPipesDestroy(void);
RwBool RpWorldPipeAttach(void);
// Null restores the default.
void RpWorldSetDefaultSectorPipeline(RwPipeline *pipeline);
RwPipeline *RpWorldGetDefaultSectorPipeline(void);
RwPipeline *RpWorldGetGenericSectorPipeline(void);
RwPipeline *RpAtomicGetGenericPipeline(void);

// Mesh headers from build meshes (geometry and sector unlock).
RpMeshHeader *RpMeshHeaderCreateFromBuildMesh(RpBuildMesh *buildMesh, RwUInt32 flags);
RpMeshHeader *RpMeshDefaultTriStripCallback(RpBuildMesh *buildMesh, void *data);

// Native data of geometries and world sectors (extension 0x510).
RwStream *RpGeometryNativeRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32 size);
RwStream *RpGeometryNativeWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset,
                                RwInt32 size);
RwInt32 RpGeometryNativeSize(const void *object, RwInt32 offset, RwInt32 size);
RwStream *RpWorldSectorNativeRead(RwStream *stream, RwInt32 length, void *object, RwInt32 offset, RwInt32 size);
RwStream *RpWorldSectorNativeWrite(RwStream *stream, RwInt32 length, const void *object, RwInt32 offset,
                                   RwInt32 size);
RwInt32 RpWorldSectorNativeSize(const void *object, RwInt32 offset, RwInt32 size);

// Lights on the device.
struct RpD3D8LightExt {
    RwInt32 index;  // device light index, -1 while none
    RwReal attenuationConstant;
    RwReal attenuationLinear;
    RwReal attenuationQuadratic;
};
RwBool RpD3D8LightAttach(void);
RpD3D8LightExt *RpD3D8LightGetExt(const RpLight *light);
RwBool RpD3D8LightsOpen(void);
void RpD3D8LightsClose(void);
RwBool RpD3D8SetGlobalLights(RwUInt8 flagMask);
RwBool RpD3D8SetDirectionalLight(RpLight *light);
RwBool RpD3D8SetLocalLight(RpLight *light);
RwBool RpD3D8EnableLights(RwBool on, RwInt32 unused);
// The ambient colour summed from the global lights of the last pass.
const RwRGBAReal *RpD3D8LightsGetAmbient(void);
void RpD3D8LightsSetAmbient(const RwRGBAReal *color);
