// Private seams of the world pipelines: helpers the atomic and sector
// instancing share.
#pragma once

#include "rpd3d8pipe.h"

// Gives a record's vertex space back (manager or dynamic pool).
void rpD3D8MeshInstanceReleaseVertices(RpD3D8MeshInstance *instance);

// A prelit colour as D3DCOLOR, modulated by the material colour when
// `modulate` is set and the material is not opaque white.
RwUInt32 rpD3D8PrelitColor(const RwRGBA &source, const RpMaterial *material, RwBool modulate);

// Fills the all-in-one node data of a freshly made pipeline node.
RwBool rpD3D8AllInOneNodeInit(RxPipelineNode *node, const RpD3D8AllInOneNodeData &callbacks);

// The FVF code of a geometry's instanced vertices (position, then normal,
// prelit colour and texture coordinate sets as its flags have them), with
// their stride in bytes in `stride`.
RwUInt32 rpD3D8GeometryVertexFormat(const RpGeometry *geometry, RwUInt32 *stride);
