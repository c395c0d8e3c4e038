// The per-mesh renderers of the material-effects pipelines and the pieces
// of device set-up they share.
#pragma once

#include "matfxpriv.h"
#include "rpd3d8pipe.h"
#include "rwd3d8.h"
#include "rwtexture.h"

// Engine blend functions as they stand, to put back after a blended pass.
struct MatFXSavedBlend {
    RwUInt32 src;
    RwUInt32 dst;
};
MatFXSavedBlend MatFXSaveBlend(void);
void MatFXRestoreBlend(const MatFXSavedBlend &saved);

// Vertex alpha and the diffuse source as the mesh needs them.
void MatFXSetMeshStates(const RpD3D8MeshInstance *mesh);
// Fixed function, the mesh's vertex format and stream, then the draw.
void MatFXDrawMesh(const RpD3D8MeshInstance *mesh);
// The draw call alone (indexed or not).
void MatFXDrawMeshPrimitives(const RpD3D8MeshInstance *mesh);
// Binds an environment texture on `stage` with its coordinate generation
// and texture transform (sphere map through `frame`, or a cube map).
void MatFXEnvMapTextureSetup(RwTexture *texture, RwUInt32 stage, RwFrame *frame);

void MatFXRenderBlack(const RpD3D8MeshInstance *mesh);
void MatFXRenderPlain(const RpD3D8MeshInstance *mesh, RwUInt32 flags);
void MatFXRenderEnvMap(const RpD3D8MeshInstance *mesh, RwUInt32 flags, RwInt32 passIndex, RwTexture *baseTexture,
                       RwTexture *envTexture);
void MatFXRenderDual(const RpD3D8MeshInstance *mesh, RwUInt32 flags, RwTexture *baseTexture,
                     RwTexture *dualTexture);
void MatFXRenderBumpMap(const RpD3D8MeshInstance *mesh, RwUInt32 flags, RwTexture *baseTexture,
                        RwTexture *bumpedTexture, RwTexture *envTexture);

// The 44-byte vertex the bump renderer draws: position, normal, colour,
// the mesh's own coordinates and the offset ones.
struct MatFXBumpVertex {
    RwV3d position;
    RwV3d normal;
    RwUInt32 colour;
    RwReal u0, v0;
    RwReal u1, v1;
};
static_assert(sizeof(MatFXBumpVertex) == 44, "the bump vertex is 44 bytes");
static constexpr RwUInt32 kMatFXBumpFVF = 0x252;

// Fills `out` (one vertex per mesh vertex) from the mesh's own vertices,
// offsetting the second coordinates toward the light; false when the
// mesh's buffer cannot be read.
RwBool RpMatFXD3D8BumpMapVertices(const RpD3D8MeshInstance *mesh, MatFXBumpVertex *out);
