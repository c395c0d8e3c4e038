// The Direct3D 8 back end of immediate mode: the four Im2D renderers of the
// driver's device record and the two nodes of the default Im3D pipelines.
#pragma once

#include "rwcore.h"

RwBool RwD3D8Im2DRenderLine(RwIm2DVertex *vertices, RwInt32 numVertices, RwInt32 vert1, RwInt32 vert2);
RwBool RwD3D8Im2DRenderTriangle(RwIm2DVertex *vertices, RwInt32 numVertices, RwInt32 vert1, RwInt32 vert2,
                                RwInt32 vert3);
RwBool RwD3D8Im2DRenderPrimitive(RwPrimitiveType primType, RwIm2DVertex *vertices, RwInt32 numVertices);
RwBool RwD3D8Im2DRenderIndexedPrimitive(RwPrimitiveType primType, RwIm2DVertex *vertices, RwInt32 numVertices,
                                        RwImVertexIndex *indices, RwInt32 numIndices);

// Direct3D primitive type of an engine primitive type (0 for none).
RwUInt32 RwD3D8PrimitiveTypeOf(RwInt32 primType);

RwBool RwD3D8ImmInstanceNodeBody(RxPipelineNode *self, const RxPipelineNodeParam *params);
RwBool RwD3D8SubmitNoLightNodeBody(RxPipelineNode *self, const RxPipelineNodeParam *params);
RxNodeDefinition *RwNodeDefinitionGetImmInstance(void);
RxNodeDefinition *RwNodeDefinitionGetD3D8SubmitNoLight(void);
