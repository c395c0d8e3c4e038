// The bump-map route of the effects renderer: vertices whose second
// coordinates are shifted along the surface toward the light, drawn either
// through the bump pixel shaders or as two blended passes.
#include <cmath>
#include <cstring>
#include <vector>

#include "matfxrender.h"
#include "rpclump.h"
#include "rplight.h"
#include "rwd3d8raster.h"
#include "rwcamera.h"
#include "rwframe.h"

namespace {

RwV3d Sub(const RwV3d &a, const RwV3d &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
RwReal Dot(const RwV3d &a, const RwV3d &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
RwV3d Cross(const RwV3d &a, const RwV3d &b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
RwV3d Normalise(const RwV3d &v)
{
    RwReal len = std::sqrt(Dot(v, v));
    return len > 0.0f ? RwV3d{v.x / len, v.y / len, v.z / len} : RwV3d{0.0f, 0.0f, 0.0f};
}

struct SourceLayout {
    RwUInt32 normal;  // byte offsets, ~0u when absent
    RwUInt32 colour;
    RwUInt32 uv;
};

SourceLayout LayoutOf(RwUInt32 fvf)
{
    SourceLayout layout = {~0u, ~0u, 12};
    if (fvf & D3DFVF_NORMAL) {
        layout.normal = layout.uv;
        layout.uv += 12;
    }
    if (fvf & D3DFVF_DIFFUSE) {
        layout.colour = layout.uv;
        layout.uv += 4;
    }
    return layout;
}

RpLight *FirstLight(RwFrame *frame)
{
    RwLinkList *list = &frame->objectList;
    RwLLLink *link = RwLinkListGetFirstLLLink(list);
    if (link == RwLinkListGetTerminator(list)) {
        return nullptr;
    }
    RwFramedObject *object = RwLLLinkGetData(link, RwFramedObject, lFrame);
    return object->object.type == rpLIGHT ? reinterpret_cast<RpLight *>(object) : nullptr;
}

// The light position (or direction) in the mesh's object space.
RwV3d LightInObjectSpace(RwFrame *frame)
{
    D3DMATRIX world = {};
    RwD3D8GetTransform(D3DTS_WORLD, &world);
    RwMatrix worldMatrix;
    worldMatrix.right = {world.m[0][0], world.m[0][1], world.m[0][2]};
    worldMatrix.up = {world.m[1][0], world.m[1][1], world.m[1][2]};
    worldMatrix.at = {world.m[2][0], world.m[2][1], world.m[2][2]};
    worldMatrix.pos = {world.m[3][0], world.m[3][1], world.m[3][2]};
    worldMatrix.flags = 0;
    worldMatrix.pad1 = worldMatrix.pad2 = worldMatrix.pad3 = 0;
    RwMatrix objectSpace;
    RwMatrixInvert(&objectSpace, &worldMatrix);
    RwMatrix *ltm = RwFrameGetLTM(frame);
    RpLight *light = FirstLight(frame);
    const RwInt32 lightType = light != nullptr ? light->object.object.subType : 0;
    RwV3d q;
    if (lightType == rpLIGHTDIRECTIONAL || lightType == rpLIGHTSPOT || lightType == rpLIGHTSPOTSOFT) {
        RwV3d direction = {-ltm->at.x, -ltm->at.y, -ltm->at.z};
        RwV3dTransformDirections(&q, &direction, 1, &objectSpace);
    } else {
        RwV3dTransformPoints(&q, &ltm->pos, 1, &objectSpace);
    }
    return q;
}

struct VertexView {
    const RwUInt8 *base;
    RwUInt32 stride;
    SourceLayout layout;

    RwV3d Position(RwUInt32 i) const
    {
        RwV3d p;
        std::memcpy(&p, base + i * stride, sizeof(p));
        return p;
    }
    RwV3d Normal(RwUInt32 i) const
    {
        RwV3d n = {0.0f, 0.0f, 0.0f};
        if (layout.normal != ~0u) {
            std::memcpy(&n, base + i * stride + layout.normal, sizeof(n));
        }
        return n;
    }
    RwUInt32 Colour(RwUInt32 i) const
    {
        RwUInt32 c = 0xFFFFFFFFu;
        if (layout.colour != ~0u) {
            std::memcpy(&c, base + i * stride + layout.colour, sizeof(c));
        }
        return c;
    }
    void UV(RwUInt32 i, RwReal *u, RwReal *v) const
    {
        RwReal uv[2];
        std::memcpy(uv, base + i * stride + layout.uv, sizeof(uv));
        *u = uv[0];
        *v = uv[1];
    }
};

void WriteVertex(const VertexView &view, RwUInt32 i, RwUInt32 i1, RwUInt32 i2, const RwV3d &q, RwReal scale,
                 MatFXBumpVertex *out)
{
    const RwV3d p = view.Position(i);
    const RwV3d n = view.Normal(i);
    RwReal u, v, u1, v1, u2, v2;
    view.UV(i, &u, &v);
    view.UV(i1, &u1, &v1);
    view.UV(i2, &u2, &v2);
    const RwV3d l = Normalise(Sub(q, p));
    const RwV3d dp1 = Sub(view.Position(i1), p);
    const RwV3d dp2 = Sub(view.Position(i2), p);
    const RwReal dv1 = v1 - v;
    const RwReal dv2 = v2 - v;
    const RwV3d t = Normalise({dv2 * dp1.x - dv1 * dp2.x, dv2 * dp1.y - dv1 * dp2.y, dv2 * dp1.z - dv1 * dp2.z});
    const RwV3d b = Cross(t, n);
    out->position = p;
    out->normal = n;
    out->colour = view.Colour(i);
    out->u0 = u;
    out->v0 = v;
    out->u1 = u - Dot(t, l) * scale;
    out->v1 = v - Dot(b, l) * scale;
}

// The other two corners of the triangle that position `k` of a primitive
// list or strip starts, in an order that keeps the winding.
void Neighbours(RwUInt32 primitiveType, RwUInt32 k, RwUInt32 count, RwUInt32 *a, RwUInt32 *b)
{
    if (primitiveType == D3DPT_TRIANGLESTRIP) {
        RwUInt32 first = k + 2 < count ? k : (count >= 3 ? count - 3 : 0);
        RwUInt32 corners[3] = {first, first + 1, first + 2};
        if (first & 1u) {
            std::swap(corners[1], corners[2]);
        }
        RwUInt32 at = k == corners[0] ? 0 : (k == corners[1] ? 1 : 2);
        *a = corners[(at + 1) % 3];
        *b = corners[(at + 2) % 3];
        return;
    }
    RwUInt32 first = k - k % 3;
    *a = first + (k % 3 + 1) % 3;
    *b = first + (k % 3 + 2) % 3;
}

}  // namespace

RwBool RpMatFXD3D8BumpMapVertices(const RpD3D8MeshInstance *mesh, MatFXBumpVertex *out)
{
    const RpMatFXEffectData *pass = RpMatFXMaterialGetPass(mesh->material, rpMATFXEFFECTBUMPMAP);
    if (pass == nullptr || mesh->vertexBuffer == nullptr || mesh->numVertices == 0) {
        return FALSE;
    }
    const RwReal scale = pass->data.bumpMap.invBumpWidth * pass->data.bumpMap.coef;
    RwFrame *frame = pass->data.bumpMap.frame;
    if (frame == nullptr) {
        RwCamera *camera = RwCameraGetCurrentCamera();
        frame = camera != nullptr ? RwCameraGetFrame(camera) : nullptr;
    }
    const RwV3d q = frame != nullptr ? LightInObjectSpace(frame) : RwV3d{0.0f, 0.0f, 0.0f};
    BYTE *bytes = nullptr;
    const RwUInt32 first = mesh->baseIndex;
    if (mesh->vertexBuffer->Lock(first * mesh->stride, mesh->numVertices * mesh->stride, &bytes, D3DLOCK_READONLY) <
        0) {
        return FALSE;
    }
    VertexView view = {bytes, mesh->stride, LayoutOf(mesh->vertexShader)};
    if (mesh->indexBuffer == nullptr) {
        for (RwUInt32 k = 0; k < mesh->numVertices; ++k) {
            RwUInt32 a = 0, b = 0;
            Neighbours(mesh->primitiveType, k, mesh->numVertices, &a, &b);
            WriteVertex(view, k, a, b, q, scale, &out[k]);
        }
        mesh->vertexBuffer->Unlock();
        return TRUE;
    }
    BYTE *indexBytes = nullptr;
    if (mesh->indexBuffer->Lock(0, mesh->numIndices * sizeof(RwUInt16), &indexBytes, D3DLOCK_READONLY) < 0) {
        mesh->vertexBuffer->Unlock();
        return FALSE;
    }
    const auto *indices = reinterpret_cast<const RwUInt16 *>(indexBytes);
    std::vector<RwUInt8> done(mesh->numVertices, 0);
    for (RwUInt32 k = 0; k < mesh->numIndices; ++k) {
        const RwUInt32 vertex = indices[k];
        if (vertex >= mesh->numVertices || done[vertex]) {
            continue;
        }
        RwUInt32 a = 0, b = 0;
        Neighbours(mesh->primitiveType, k, mesh->numIndices, &a, &b);
        if (indices[a] >= mesh->numVertices || indices[b] >= mesh->numVertices) {
            continue;
        }
        WriteVertex(view, vertex, indices[a], indices[b], q, scale, &out[vertex]);
        done[vertex] = 1;
    }
    mesh->indexBuffer->Unlock();
    mesh->vertexBuffer->Unlock();
    return TRUE;
}

void MatFXRenderBumpMap(const RpD3D8MeshInstance *mesh, RwUInt32 flags, RwTexture *baseTexture,
                        RwTexture *bumpedTexture, RwTexture *envTexture)
{
    if (bumpedTexture == nullptr && (baseTexture == nullptr || !RwD3D8TextureHasAlpha(baseTexture))) {
        MatFXRenderPlain(mesh, flags);
        return;
    }
    IDirect3DVertexBuffer8 *buffer = nullptr;
    void *data = nullptr;
    RwUInt32 baseVertex = 0;
    if (!RwD3D8LockDynamicVertices(sizeof(MatFXBumpVertex), mesh->numVertices, &buffer, &data, &baseVertex)) {
        return;
    }
    std::memset(data, 0, sizeof(MatFXBumpVertex) * mesh->numVertices);
    const RwBool filled = RpMatFXD3D8BumpMapVertices(mesh, static_cast<MatFXBumpVertex *>(data));
    RwD3D8UnlockVertexBuffer(buffer);
    if (!filled) {
        return;
    }
    RwTexture *drawn = bumpedTexture != nullptr ? bumpedTexture : baseTexture;
    RwD3D8SetTexture(drawn, 0);
    RwD3D8SetVertexShader(kMatFXBumpFVF);
    RwD3D8SetStreamSource(0, buffer, sizeof(MatFXBumpVertex));
    RpD3D8MeshInstance bumpMesh = *mesh;
    bumpMesh.baseIndex = baseVertex;
    const RpMatFXD3D8Routes &routes = *RpMatFXD3D8GetRoutes();
    RpMatFXMaterialData *record = RpMatFXMaterialGetData(mesh->material);
    const RpMatFXEnvMapData *env = record != nullptr && record->data[1].effectType == rpMATFXEFFECTENVMAP
                                       ? &record->data[1].data.envMap
                                       : nullptr;
    RwBool envDrawn = FALSE;
    RwD3D8SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    if (routes.pixelShaders[0] == 0) {
        MatFXSavedBlend saved = MatFXSaveBlend();
        RwUInt32 zwrite = 0;
        RwD3D8GetRenderState(D3DRS_ZWRITEENABLE, &zwrite);
        RwD3D8SetVertexAlpha(TRUE);
        RwD3D8SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        RwD3D8SetSrcBlend(rwBLENDINVSRCALPHA);
        RwD3D8SetDestBlend(rwBLENDZERO);
        RwD3D8SetPixelShader(0);
        MatFXDrawMeshPrimitives(&bumpMesh);
        RwD3D8SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        RwD3D8SetSrcBlend(rwBLENDSRCALPHA);
        RwD3D8SetDestBlend(rwBLENDONE);
        RwD3D8SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        RwD3D8SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 1);
        MatFXDrawMeshPrimitives(&bumpMesh);
        RwD3D8SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        RwD3D8SetRenderState(D3DRS_ZWRITEENABLE, zwrite);
        RwD3D8SetVertexAlpha(FALSE);
        MatFXRestoreBlend(saved);
    } else {
        RwD3D8SetVertexAlpha(FALSE);
        RwD3D8SetTexture(drawn, 1);
        RwUInt32 blending = 0, alphaTest = 0;
        RwD3D8GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
        RwD3D8GetRenderState(D3DRS_ALPHATESTENABLE, &alphaTest);
        RwD3D8SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        RwD3D8SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        RwUInt32 shader = routes.pixelShaders[0];
        RwBool envStage = FALSE;
        if (envTexture != nullptr && env != nullptr && routes.pixelShaders[3] != 0) {
            const RwUInt32 c = MatFXEnvCoefficientByte(env->coef);
            envDrawn = TRUE;
            if (c != 0) {
                const RwReal constant[4] = {env->coef, env->coef, env->coef, env->coef};
                RwD3D8SetPixelShaderConstant(0, constant, 1);
                MatFXEnvMapTextureSetup(envTexture, 2, env->frame);
                envStage = TRUE;
                shader = routes.pixelShaders[3];
                if (env->useFrameBufferAlpha) {
                    shader = RwD3D8TextureHasAlpha(envTexture) ? routes.pixelShaders[4] : routes.pixelShaders[5];
                }
            }
        }
        RwD3D8SetPixelShader(shader);
        MatFXDrawMeshPrimitives(&bumpMesh);
        RwD3D8SetPixelShader(0);
        if (envStage) {
            RwD3D8SetTexture(nullptr, 2);
            RwD3D8SetTextureStageState(2, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
            RwD3D8SetTextureStageState(2, D3DTSS_TEXCOORDINDEX, 2);
        }
        RwD3D8SetRenderState(D3DRS_ALPHABLENDENABLE, blending);
        RwD3D8SetRenderState(D3DRS_ALPHATESTENABLE, alphaTest);
        RwD3D8SetTexture(nullptr, 1);
    }
    if (envTexture != nullptr && !envDrawn) {
        MatFXRenderEnvMap(mesh, flags, 1, baseTexture, envTexture);
    }
}
